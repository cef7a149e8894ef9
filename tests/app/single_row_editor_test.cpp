// The single-row editor walked through the main window: opening on a cell,
// editing lines through the memo, its undo item, moving between rows and
// closing.
#include "WindowTest.h"

#include "app/CellMemoCommands.h"
#include "app/EditCommands.h"
#include "app/SingleRowEditor.h"
#include "view/CellMemo.h"
#include "view/GridWidget.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include <fstream>

namespace tabulix {
namespace {

class SingleRowEditorTest : public WindowTest {
protected:
    void SetUp() override {
        makeFolder();
        openWindow();
        window->resize(1000, 760);
        std::ofstream out(path("t.csv"), std::ios::binary);
        out << "番号,名前,地区,会費,備考,メモ\r\n";
        for (int r = 2; r <= 20; ++r)
            out << r << ",名前" << r << ",地区" << r << ",会費" << r << ",備考" << r
                << ",とても長いメモの文章です" << r << "\r\n";
        out.close();
        ASSERT_TRUE(window->LoadFile(path("t.csv")));
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }

    SingleRowEditor& editor() { return window->editCommands().rowEditor(); }
    GridWidget* vert() { return editor().vertWidget(); }
    CellMemo* memo() { return window->editCommands().memo().memo(); }
    QString label() {
        return window->findChild<QLabel*>(QStringLiteral("Lab_VertRowNo"))->text();
    }
    QAction* rowUndo() {
        return window->menuBar()->findChild<QAction*>(QStringLiteral("Mn2_Undo"));
    }
    void typeLine(const char* text, int key = Qt::Key_Return) {
        QTest::keyClick(vert(), Qt::Key_Return);
        ASSERT_TRUE(memo()->isVisible());
        memo()->selectAll();
        memo()->insertPlainText(QString::fromUtf8(text));
        QTest::keyClick(memo(), static_cast<Qt::Key>(key));
    }
    void stepRow(bool down) {
        window->findChild<QScrollBar*>(QStringLiteral("scbVertRowNo"))
            ->triggerAction(down ? QAbstractSlider::SliderSingleStepAdd
                                 : QAbstractSlider::SliderSingleStepSub);
    }
    std::string vertCell(int line) { return window->VertGrid().cellText(2, line); }
};

TEST_F(SingleRowEditorTest, EditingRowsLineByLine) {
    window->gridWidget()->setCurrentCell(5, 12);
    window->controls().Btn_VertGrid->click();
    ASSERT_TRUE(editor().isOpen());
    EXPECT_TRUE(vert()->isVisible());
    EXPECT_FALSE(window->gridWidget()->isVisible());
    EXPECT_EQ(editor().shownRow(), 12);
    EXPECT_EQ(vert()->currentRow(), 4);
    EXPECT_EQ(label(), QStringLiteral("[ 11 ]")); // one header row, not counted
    EXPECT_EQ(window->windowTitle(),
              QStringLiteral("Tabulix 単行編集   [ ") + QString::fromStdString(path("t.csv")) +
                  QStringLiteral(" ]"));
    EXPECT_EQ(window->VertGrid().cellText(1, 0), "列名 [1 行目]");
    EXPECT_EQ(window->VertGrid().cellText(1, 4), "会費");
    EXPECT_EQ(vertCell(4), "会費12");

    // Three edits: the single-row undo item counts them and names the last
    // old text's first 20 units; Escape commits like Enter.
    typeLine("a");
    typeLine("b");
    typeLine("c", Qt::Key_Escape);
    EXPECT_EQ(vertCell(4), "a");
    EXPECT_EQ(vertCell(6), "c");
    EXPECT_EQ(rowUndo()->text(), QStringLiteral("元に戻す  #3  【とても長いメモの文章】"));
    EXPECT_TRUE(rowUndo()->isEnabled());
    EXPECT_EQ(cell(5, 12), "会費12"); // the table changes when the row is left
    rowUndo()->trigger();
    EXPECT_EQ(vertCell(6), "とても長いメモの文章です12");
    EXPECT_EQ(rowUndo()->text(), QStringLiteral("元に戻す  #2  【備考12】"));

    stepRow(true);
    EXPECT_EQ(editor().shownRow(), 13);
    EXPECT_EQ(cell(5, 12), "a");
    EXPECT_EQ(cell(6, 12), "b");
    EXPECT_TRUE(window->modified());
    EXPECT_FALSE(rowUndo()->isEnabled());

    // The editor's conversion asks about the one cell and is undone by its
    // own undo item.
    vert()->setCurrentCell(2, 6);
    dialogs.answer(Answer::Yes);
    window->findChild<QAction*>(QStringLiteral("pm2_StrCvtHiraToKata"))->trigger();
    EXPECT_EQ(dialogs.messages().back(), "カーソル位置のセルの文字変換を行います。\r\n\r\n"
                                         "      【  全角ひらがな → 全角カタカナ 】");
    EXPECT_EQ(vertCell(6), "トテモ長イメモノ文章デス13");
    EXPECT_EQ(rowUndo()->text(), QStringLiteral("元に戻す  #1  【とても長いメモの文章】"));

    // Row 1, the fixed name row, can be reached and edited.
    for (int i = 0; i < 20; ++i)
        stepRow(false);
    EXPECT_EQ(editor().shownRow(), 1);
    EXPECT_EQ(label(), QStringLiteral("[ 0 ]"));
    vert()->setCurrentCell(2, 2);
    typeLine("氏名");
    // Closing the main window closes the editor only; the cursor goes to the
    // first data row.
    window->close();
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(editor().isOpen());
    EXPECT_TRUE(window->gridWidget()->isVisible());
    EXPECT_EQ(cell(3, 1), "氏名");
    EXPECT_EQ(window->gridWidget()->currentRow(), 2);
    EXPECT_EQ(window->gridWidget()->currentCol(), 4);
    EXPECT_TRUE(window->menuBar()->findChild<QMenu*>(QStringLiteral("Mn_File"))->menuAction()->isVisible());
    EXPECT_FALSE(window->menuBar()->findChild<QMenu*>(QStringLiteral("EditE1"))->menuAction()->isVisible());
}

} // namespace
} // namespace tabulix
