#include "ScriptedDialogs.h"

#include "app/TFm_CsvEtc.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace tabulix {
namespace {

const char* const kUpdateQuestion = "動作環境の定義を更新します。\r\n\r\nよろしいですか？";
const char* const kUpdatedNotice = "動作環境の定義を更新しました。";

class OptionsDialogTest : public ::testing::Test {
protected:
    void open() {
        dialog = std::make_unique<TFm_CsvEtc>(dialogs, zoneSign);
        dialog->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
    }
    void TearDown() override { EXPECT_TRUE(dialogs.scriptUsedUp()); }

    template <class T> T* child(const char* name) const {
        T* found = dialog->findChild<T*>(QString::fromUtf8(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QComboBox* list() const { return child<QComboBox>("Cmb_ZoneSign"); }
    void click(const char* button) { child<QPushButton>(button)->click(); }
    std::vector<std::string> kinds() const {
        std::vector<std::string> out;
        for (const auto& s : dialogs.shown())
            out.push_back(s.kind);
        return out;
    }

    ScriptedDialogs dialogs;
    int zoneSign = 0;
    std::unique_ptr<TFm_CsvEtc> dialog;
};

TEST_F(OptionsDialogTest, ShowsItsControlsWithTheirTexts) {
    open();
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("動作環境の定義"));
    auto* pages = child<QTabWidget>("PageCtl");
    ASSERT_EQ(pages->count(), 1);
    EXPECT_EQ(pages->tabText(0), QStringLiteral("バイナリ出力時"));
    EXPECT_EQ(pages->currentWidget(), child<QWidget>("TabSheet1"));
    EXPECT_EQ(child<QGroupBox>("GroupBox1")->title(), QStringLiteral("COBOL"));
    EXPECT_EQ(child<QLabel>("Label1")->text(), QStringLiteral("ZONE,PACKの"));
    EXPECT_EQ(child<QLabel>("Label2")->text(), QStringLiteral("符号形式"));
    ASSERT_EQ(list()->count(), 2);
    EXPECT_EQ(list()->itemText(0), QStringLiteral(" IBM-EBCDIC (F/C/D)"));
    EXPECT_EQ(list()->itemText(1), QStringLiteral(" ASCII-MicroFocus (3/7)"));
    EXPECT_EQ(child<QPushButton>("Btn_Update")->text(), QStringLiteral("更新"));
    EXPECT_EQ(child<QPushButton>("Btn_Close")->text(), QStringLiteral("終了"));
    EXPECT_EQ(child<QMenu>("Mn_File")->title(), QStringLiteral("File(&F)"));
    EXPECT_EQ(child<QAction>("Mn_Exit")->text(), QStringLiteral("終了(&X)"));
    EXPECT_EQ(dialog->palette().color(QPalette::Window), QColor(0x5F, 0x5F, 0x5F));
}

TEST_F(OptionsDialogTest, ListShowsTheStoredSetting) {
    const struct {
        int stored;
        int shown;
    } cases[] = {{0, 0}, {1, 1}, {2, 0}, {-1, 0}};
    for (const auto& c : cases) {
        zoneSign = c.stored;
        open();
        EXPECT_EQ(list()->currentIndex(), c.shown) << c.stored;
        EXPECT_EQ(zoneSign, c.stored) << "opening changes nothing";
    }
}

TEST_F(OptionsDialogTest, BasePanelIsInsetByEightPixels) {
    open();
    dialog->resize(500, 320);
    QApplication::processEvents();
    const QWidget* base = child<QWidget>("pnlBase");
    const QWidget* client = base->parentWidget();
    EXPECT_EQ(base->geometry(), QRect(8, 8, client->width() - 16, client->height() - 16));
    EXPECT_GT(client->height(), 100);
    EXPECT_EQ(client->palette().color(QPalette::Window), QColor(0x5F, 0x5F, 0x5F));
}

TEST_F(OptionsDialogTest, UpdateConfirmedStoresTheChoice) {
    open();
    list()->setCurrentIndex(1);
    dialogs.answer(Answer::Yes);
    click("Btn_Update");
    EXPECT_EQ(zoneSign, 1);
    EXPECT_EQ(dialogs.messages(), (std::vector<std::string>{kUpdateQuestion, kUpdatedNotice}));
    EXPECT_EQ(kinds(), (std::vector<std::string>{"confirm", "information"}));
    EXPECT_TRUE(dialog->isVisible()) << "the dialog stays open after an update";

    click("Btn_Close");
    open();
    EXPECT_EQ(list()->currentIndex(), 1) << "the next opening shows the stored choice";
}

TEST_F(OptionsDialogTest, UpdateDeclinedKeepsTheSetting) {
    open();
    list()->setCurrentIndex(1);
    dialogs.answer(Answer::No);
    click("Btn_Update");
    EXPECT_EQ(zoneSign, 0);
    EXPECT_EQ(dialogs.messages(), std::vector<std::string>{kUpdateQuestion});
}

TEST_F(OptionsDialogTest, ClosingWithoutUpdateDiscardsTheChoice) {
    for (const bool byMenu : {false, true}) {
        zoneSign = 0;
        open();
        list()->setCurrentIndex(1);
        if (byMenu)
            child<QAction>("Mn_Exit")->trigger();
        else
            click("Btn_Close");
        EXPECT_FALSE(dialog->isVisible());
        EXPECT_EQ(zoneSign, 0);
    }
    EXPECT_TRUE(dialogs.shown().empty());
}

TEST_F(OptionsDialogTest, ModalRunEndsWithTheCloseButton) {
    zoneSign = 1;
    dialog = std::make_unique<TFm_CsvEtc>(dialogs, zoneSign);
    QTimer::singleShot(0, dialog.get(), [this] {
        list()->setCurrentIndex(0);
        dialogs.answer(Answer::Yes);
        click("Btn_Update");
        click("Btn_Close");
    });
    EXPECT_EQ(dialog->exec(), QDialog::Rejected);
    EXPECT_EQ(zoneSign, 0);
    EXPECT_EQ(dialogs.messages(), (std::vector<std::string>{kUpdateQuestion, kUpdatedNotice}));
}

} // namespace
} // namespace tabulix
