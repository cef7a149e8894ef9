#include "WindowTest.h"

#include "app/QtUserDialogs.h"
#include "app/TFm_Tabulix01.h"
#include "view/GridWidget.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace tabulix {
namespace {

const char* const kSaveQuestion = "内容が変更されています。\r\n\r\n保存しますか？";

class MainWindowTest : public WindowTest {
protected:
    void SetUp() override { openWindow(); }
    QString title() const { return window->windowTitle(); }
};

TEST_F(MainWindowTest, StartsOnTheEmptyTable) {
    EXPECT_EQ(title(), QStringLiteral("Tabulix Ver 3.05  [  ]"));
    const StringGrid& g = window->Grid();
    EXPECT_EQ(g.colCount(), 3);
    EXPECT_EQ(g.rowCount(), 2);
    EXPECT_EQ(cell(0, 0), "No.");
    EXPECT_EQ(cell(0, 1), "1");
    EXPECT_EQ(cell(2, 0), "1");
    EXPECT_EQ(window->controls().Lab_Records->text(), QStringLiteral("1"));
    EXPECT_EQ(window->controls().Lab_Fields->text(), QStringLiteral("1 "));
    EXPECT_FALSE(window->modified());
    EXPECT_FALSE(window->controls().Btn_Save->isEnabled());
    EXPECT_EQ(window->gridWidget()->currentCol(), 2);
    EXPECT_EQ(window->gridWidget()->currentRow(), 1);
}

TEST_F(MainWindowTest, BasePanelIsInsetByTwoFifthsOfTheReferenceCombo) {
    window->resize(900, 700);
    QApplication::processEvents();
    const QWidget* base = window->findChild<QWidget*>(QStringLiteral("pnlBase"));
    const QWidget* client = window->centralWidget();
    ASSERT_TRUE(base && client);
    EXPECT_EQ(window->controls().Cmb_Kijyun->height(), 21);
    EXPECT_EQ(base->geometry(), QRect(8, 8, client->width() - 16, client->height() - 16));
}

TEST_F(MainWindowTest, MenusCarryTheirCaptionsAndHiddenItems) {
    const struct {
        const char* name;
        const char* caption;
        bool visible;
    } items[] = {
        {"Mn_FileOpen", "1. Csv ファイルを開く (&O)", true},
        {"Mn_ExcelOpen", "x. Excel ファイルを開く (&E)", false},
        {"Mn_InitClear", "5. 内容を初期化する (&I)", true},
        {"Mn_Undo", "元に戻す", true},
        {"Mn_OutputCsv", "x. 表示内容を ＣＳＶ で出力する (&C)", false},
        {"Mn_FixedRowSEQ", "8. 固定行から付番する", true},
        {"Mn_ConfDelete", "6. 行，列の 【 削除 】 時に確認を行う", true},
        {"Mn_Help_History", "7. Tabulix 改版履歴", true},
    };
    for (const auto& item : items) {
        QAction* a = window->action(item.name);
        ASSERT_NE(a, nullptr) << item.name;
        EXPECT_EQ(a->text(), QString::fromUtf8(item.caption)) << item.name;
        EXPECT_EQ(a->isVisible(), item.visible) << item.name;
    }
    const QMenu* option = window->menuBar()->findChild<QMenu*>(QStringLiteral("Mn_Option"));
    ASSERT_NE(option, nullptr);
    EXPECT_FALSE(option->menuAction()->isVisible());
    // Defaults of the check items.
    EXPECT_TRUE(window->menuChecked("Mn_FixedCenter"));
    EXPECT_TRUE(window->menuChecked("Mn_ConfPaste"));
    EXPECT_FALSE(window->menuChecked("Mn_FixedRowSEQ"));
}

TEST_F(MainWindowTest, ControlsFollowEnablingTogether) {
    window->SetControlsEnabled(false);
    window->SetControlsEnabled(true);
    EXPECT_TRUE(window->action("Mn_InitClear")->isEnabled());
    EXPECT_TRUE(window->action("Mn_ConfMove")->isEnabled());
    EXPECT_TRUE(window->gridWidget()->isEnabled());
    EXPECT_TRUE(window->action("Mn_GridPrint")->isEnabled());
    EXPECT_TRUE(window->controls().Btn_VertGrid->isEnabled());
    window->SetControlsEnabled(false);
    EXPECT_FALSE(window->action("Mn_ConfMove")->isEnabled());
    EXPECT_FALSE(window->gridWidget()->isEnabled());
    EXPECT_FALSE(window->controls().Cmb_Bunri->isEnabled());
    EXPECT_FALSE(window->controls().Cmb_Moji->isEnabled());
    window->SetControlsEnabled(true);
    EXPECT_TRUE(window->controls().Cmb_Moji->isEnabled());
}

TEST_F(MainWindowTest, ToolPanelListsHoldTheirItems) {
    const ToolControls& c = window->controls();
    EXPECT_EQ(c.Cmb_Bunri->count(), 23);
    EXPECT_EQ(c.Cmb_Bunri->itemText(0), QStringLiteral(" 無し"));
    EXPECT_EQ(c.Cmb_Bunri->itemText(1), QStringLiteral("  ,"));
    EXPECT_EQ(c.Cmb_Bunri->itemText(2), QStringLiteral(" TAB"));
    EXPECT_EQ(c.Cmb_Bunri->currentIndex(), 1);
    EXPECT_EQ(c.Cmb_LimColLen->count(), 39);
    EXPECT_EQ(c.Cmb_LimColLen->currentText(), QStringLiteral(" 24 桁"));
    EXPECT_EQ(c.Cmb_Fold->itemText(2), QStringLiteral(" 2 行"));
    EXPECT_EQ(c.Cmb_Fold->count(), 31);
    EXPECT_EQ(c.Cmb_FixedKeta->currentText(), QStringLiteral(" 16 桁"));
    EXPECT_EQ(c.Cmb_FixedRows->currentText(), QStringLiteral(" 1 行"));
    EXPECT_EQ(c.Cmb_KomRow->itemText(10), QStringLiteral(" 10 行目"));
    EXPECT_EQ(c.Cmb_CrNext->currentText(), QStringLiteral(" 右へ"));
    EXPECT_EQ(c.Cmb_FixedCol->count(), 1);
}

TEST_F(MainWindowTest, RenumberingFollowsHeaderRowsAndTheFromFixedRowsItem) {
    window->ResetTable(1, 1234569);
    window->controls().Cmb_FixedRows->setCurrentIndex(2);
    window->RenumberRows();
    EXPECT_EQ(window->Grid().fixedRows(), 3);
    EXPECT_EQ(cell(0, 1), "");
    EXPECT_EQ(cell(0, 2), "");
    EXPECT_EQ(cell(0, 3), "1");
    EXPECT_EQ(cell(0, 1234569), "1,234,567");
    EXPECT_EQ(window->controls().Lab_Records->text(), QStringLiteral("1,234,567"));

    window->action("Mn_FixedRowSEQ")->trigger();
    EXPECT_EQ(cell(0, 1), "1");
    EXPECT_EQ(cell(0, 2), "2");
    EXPECT_EQ(window->controls().Lab_Records->text(), QStringLiteral("1,234,569"));
}

TEST_F(MainWindowTest, InitClearAsksAndKeepsThePath) {
    window->fileInf().path = "/tmp/名簿.csv";
    window->ResetTable(3, 5);
    window->Grid().setCell(3, 4, "x");
    const char* question =
        "内容をクリアーして初期化します。\r\n\r\n (１行１列になる)\r\n\r\nよろしいですか？";

    dialogs.answer(Answer::No);
    window->action("Mn_InitClear")->trigger();
    EXPECT_EQ(dialogs.shown().back().kind, "confirm");
    EXPECT_EQ(dialogs.shown().back().text, question);
    EXPECT_EQ(cell(3, 4), "x");
    EXPECT_FALSE(window->modified());

    dialogs.answer(Answer::Yes);
    window->action("Mn_InitClear")->trigger();
    EXPECT_EQ(window->Grid().rowCount(), 2);
    EXPECT_EQ(window->Grid().colCount(), 3);
    EXPECT_TRUE(window->modified());
    EXPECT_EQ(title(), QStringLiteral("Tabulix Ver 3.05  [ /tmp/名簿.csv ]"));
}

TEST_F(MainWindowTest, ClosingAModifiedTableAsksAndCancelKeepsIt) {
    window->Grid().setCell(2, 1, "大事なデータ");
    window->setModified(true);

    dialogs.answer(Answer::Cancel);
    EXPECT_FALSE(window->close());
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_EQ(dialogs.shown().back().kind, "yesNoCancel");
    EXPECT_EQ(dialogs.shown().back().text, kSaveQuestion);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(cell(2, 1), "大事なデータ");
    EXPECT_TRUE(window->modified());

    dialogs.answer(Answer::No);
    EXPECT_TRUE(window->close());
    EXPECT_FALSE(window->isVisible());
}

TEST_F(MainWindowTest, SaveButtonFollowsTheModifiedFlagWithinItsTimer) {
    QPushButton* save = window->controls().Btn_Save;
    window->setModified(true);
    QTRY_VERIFY_WITH_TIMEOUT(save->isEnabled(), 1000);
    EXPECT_TRUE(save->font().bold());
    window->setModified(false);
    QTRY_VERIFY_WITH_TIMEOUT(!save->isEnabled(), 1000);
    EXPECT_FALSE(save->font().bold());
}

TEST_F(MainWindowTest, AnUnmodifiedTableClosesWithoutAsking) {
    EXPECT_TRUE(window->close());
    EXPECT_TRUE(dialogs.shown().empty());
}

TEST(MessageBoxes, KindsHaveTheirCaptionIconAndJapaneseButtons) {
    installJapaneseTranslation(*QCoreApplication::instance());
    auto info = makeMessageBox(MessageKind::Information, "a\r\nb", nullptr);
    EXPECT_EQ(info->windowTitle(), QStringLiteral("確認"));
    EXPECT_EQ(info->icon(), QMessageBox::Information);
    EXPECT_EQ(info->text(), QStringLiteral("a\nb"));
    EXPECT_EQ(info->button(QMessageBox::Ok)->text(), QStringLiteral("OK"));

    auto exitBox = makeMessageBox(MessageKind::QuestionWithCancel, kSaveQuestion, nullptr);
    EXPECT_EQ(exitBox->icon(), QMessageBox::Question);
    EXPECT_EQ(exitBox->button(QMessageBox::Yes)->text(), QStringLiteral("はい(&Y)"));
    EXPECT_EQ(exitBox->button(QMessageBox::No)->text(), QStringLiteral("いいえ(&N)"));
    EXPECT_EQ(exitBox->button(QMessageBox::Cancel)->text(), QStringLiteral("キャンセル"));

    auto error = makeMessageBox(MessageKind::Error, "x", nullptr);
    EXPECT_EQ(error->windowTitle(), QStringLiteral("エラー"));
    EXPECT_EQ(error->icon(), QMessageBox::Critical);
}

} // namespace
} // namespace tabulix
