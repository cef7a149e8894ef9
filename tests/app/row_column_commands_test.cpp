#include "WindowTest.h"

#include "app/EditCommands.h"
#include "edit/EditState.h"
#include "edit/UndoHistory.h"
#include "view/GridWidget.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <fstream>

namespace tabulix {
namespace {

using Texts = std::vector<std::string>;

class RowColumnCommandsTest : public WindowTest {
protected:
    void SetUp() override {
        makeFolder();
        openWindow();
        std::ofstream(path("t.csv"), std::ios::binary)
            << "a1,b1,c1\r\na2,b2,c2\r\na3,b3,c3\r\na4,b4,c4\r\na5,b5,c5\r\na6,b6,c6\r\n";
        ASSERT_TRUE(window->LoadFile(path("t.csv")));
        QApplication::processEvents();
    }

    QPoint centre(int col, int row) const {
        return window->gridWidget()->cellRect(col, row).center();
    }
    void press(int col, int row, Qt::MouseButton button) {
        QWidget* viewport = window->gridWidget()->viewport();
        QTest::mousePress(viewport, button, {}, centre(col, row));
        QTest::mouseRelease(viewport, button, {}, centre(col, row));
    }
    // A left drag in the row header from one row to another.
    void dragRows(int from, int to) {
        QWidget* viewport = window->gridWidget()->viewport();
        QTest::mousePress(viewport, Qt::LeftButton, {}, centre(0, from));
        QMouseEvent move(QEvent::MouseMove, centre(0, to), viewport->mapToGlobal(centre(0, to)),
                         Qt::NoButton, Qt::LeftButton, {});
        QApplication::sendEvent(viewport, &move);
        window->editCommands().GridTimerTimer(); // one drag-scroll step
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, centre(0, to));
    }
    QMenu* openMenu() const {
        for (QMenu* m : {menus().pmGrid, menus().pmFixedRow, menus().pmFixedCol})
            if (m->isVisible()) return m;
        return nullptr;
    }
    const PopupMenus& menus() const { return window->editCommands().menus(); }
    QAction* item(const char* name) const { return window->editCommands().popupAction(name); }
    void choose(const char* name) {
        if (QMenu* m = openMenu()) m->hide();
        item(name)->trigger();
    }
    Texts column(int c) const {
        Texts out;
        for (int r = 1; r < window->Grid().rowCount(); ++r)
            out.push_back(cell(c, r));
        return out;
    }
    QString undoCaption() const { return window->action("Mn_Undo")->text(); }
};

// Right-click a row header, delete three rows, undo from the Edit menu.
TEST_F(RowColumnCommandsTest, DeleteThreeRowsThroughTheHeaderMenuAndUndo) {
    EXPECT_FALSE(window->action("Mn_Undo")->isEnabled());
    dragRows(3, 5);
    const EditState& edit = window->editState();
    EXPECT_EQ(edit.operationRange.normalised().top, 3);
    EXPECT_EQ(edit.operationRange.normalised().bottom, 5);
    EXPECT_EQ(window->gridWidget()->selection(), QRect(QPoint(2, 3), QPoint(4, 5)));
    press(0, 4, Qt::RightButton);
    ASSERT_EQ(openMenu(), menus().pmFixedRow);
    // The menu as it opens: title, built items enabled, later ones disabled.
    const QList<QAction*> actions = menus().pmFixedRow->actions();
    EXPECT_EQ(actions.first()->text(), QStringLiteral("< 行 処理 >"));
    EXPECT_FALSE(actions.first()->isEnabled());
    EXPECT_TRUE(item("Pm_RowDelete")->isEnabled());
    EXPECT_EQ(item("Pm_RowDelete")->text(), QStringLiteral("4. 削除"));
    EXPECT_TRUE(item("Pm_RowPrint")->isEnabled());
    EXPECT_TRUE(item("Pm_RowClip")->isEnabled());
    EXPECT_FALSE(item("Pm_RowClipMove")->isEnabled());    // no row clip
    EXPECT_FALSE(item("Pm_RowInsertBoard")->isEnabled()); // empty clipboard
    EXPECT_FALSE(item("Pm_RowMin")->isEnabled());         // three rows selected
    dialogs.answer(Answer::Yes);
    choose("Pm_RowDelete");
    EXPECT_EQ(dialogs.messages().back(),
              "【 削除 】\r\n\r\n    選択範囲の行を削除します。\r\n\r\n    行番号 ： 2 ～ 4");
    EXPECT_EQ(column(2), (Texts{"a1", "a2", "a6"}));
    // Row 1 is the header row, without a number.
    EXPECT_EQ(column(0), (Texts{"", "1", "2"}));
    EXPECT_EQ(window->controls().Lab_Records->text(), QStringLiteral("2"));
    EXPECT_TRUE(window->modified());
    EXPECT_EQ(undoCaption(), QStringLiteral("元に戻す  #1  【行削除】"));
    EXPECT_TRUE(window->action("Mn_Undo")->isEnabled());

    window->action("Mn_Undo")->trigger();
    EXPECT_EQ(column(2), (Texts{"a1", "a2", "a3", "a4", "a5", "a6"}));
    EXPECT_EQ(column(0), (Texts{"", "1", "2", "3", "4", "5"}));
    EXPECT_EQ(window->controls().Lab_Records->text(), QStringLiteral("5"));
    EXPECT_FALSE(window->modified());
    EXPECT_EQ(undoCaption(), QStringLiteral("元に戻す"));
    EXPECT_FALSE(window->action("Mn_Undo")->isEnabled());
    EXPECT_EQ(edit.undoHighlight.top, 3);
    EXPECT_EQ(edit.undoHighlight.bottom, 5);
    EXPECT_EQ(window->gridWidget()->selection(), QRect(QPoint(2, 3), QPoint(4, 5)));
    // The next key press takes the black highlight away.
    QTest::keyClick(window->gridWidget(), Qt::Key_Right);
    EXPECT_FALSE(edit.undoHighlight.hasRows());
}

TEST_F(RowColumnCommandsTest, ColumnMenuKeysAndTheCellMenuRowItems) {
    // Column header: insert one column, no question for one.
    press(3, 0, Qt::RightButton);
    ASSERT_EQ(openMenu(), menus().pmFixedCol);
    EXPECT_EQ(item("Pm_ColViewON")->text(), QStringLiteral("1. 抑制する"));
    EXPECT_TRUE(item("Pm_ColMark")->isEnabled());
    EXPECT_TRUE(item("Pm_ColMarkPrint")->isEnabled());
    choose("Pm_ColInsert");
    EXPECT_TRUE(dialogs.messages().empty());
    EXPECT_EQ(cell(3, 1), "");
    EXPECT_EQ(cell(4, 1), "b1");
    EXPECT_EQ(cell(5, 0), "4");
    EXPECT_EQ(window->controls().Lab_Fields->text(), QStringLiteral("4 "));
    // Suppress column 4 and show it again: a left press chooses it instead
    // of the inserted column.
    press(4, 0, Qt::LeftButton);
    press(4, 0, Qt::RightButton);
    const int width = window->Grid().colWidth(4);
    choose("Pm_ColViewON");
    EXPECT_LT(window->Grid().colWidth(4), width);
    press(4, 0, Qt::RightButton);
    choose("Pm_ColViewOFF");
    EXPECT_EQ(window->Grid().colWidth(4), width);
    // The Delete key in column-header mode deletes the clicked column.
    press(3, 0, Qt::LeftButton);
    dialogs.answer(Answer::Yes);
    QTest::keyClick(window->gridWidget(), Qt::Key_Delete);
    EXPECT_EQ(dialogs.messages().back(),
              "【 削除 】\r\n\r\n    この列を削除します。\r\n\r\n    列番号 = 2");
    EXPECT_EQ(cell(3, 1), "b1");
    // Cells mode: the Insert key inserts before the selection's rows.
    press(2, 2, Qt::LeftButton);
    QTest::keyClick(window->gridWidget(), Qt::Key_Insert);
    EXPECT_EQ(column(2), (Texts{"a1", "", "a2", "a3", "a4", "a5", "a6"}));
    // The cell menu's row copy: the selection's row, copied above itself.
    press(2, 4, Qt::LeftButton);
    press(2, 4, Qt::RightButton);
    ASSERT_EQ(openMenu(), menus().pmGrid);
    EXPECT_TRUE(item("Pm_RangeClip")->isEnabled());
    EXPECT_FALSE(item("Pm_RangeClipPaste")->isEnabled()); // no clip, empty clipboard
    choose("Pm_RangeRowCopy2");
    EXPECT_EQ(column(2), (Texts{"a1", "", "a2", "a3", "a3", "a4", "a5", "a6"}));
    EXPECT_EQ(window->editState().headerMode, HeaderMode::Cells);
    EXPECT_EQ(undoCaption(), QStringLiteral("元に戻す  #4  【行複写】"));
    for (int i = 0; i < 4; ++i)
        window->action("Mn_Undo")->trigger();
    EXPECT_EQ(column(2), (Texts{"a1", "a2", "a3", "a4", "a5", "a6"}));
    EXPECT_EQ(cell(3, 1), "b1");
    EXPECT_EQ(window->Grid().colCount(), 5);
    EXPECT_FALSE(window->modified());
}

TEST_F(RowColumnCommandsTest, ImportFromTheClipboardAndClearingAtSave) {
    clipboard.setText("x\ty,z\r\nw");
    press(0, 2, Qt::RightButton);
    ASSERT_EQ(openMenu(), menus().pmFixedRow);
    EXPECT_TRUE(item("Pm_RowInsertBoard")->isEnabled());
    dialogs.answer(Answer::Yes);
    choose("Pm_RowInsertBoard");
    EXPECT_EQ(dialogs.messages().back(),
              "現在のクリップボードの内容を 【 挿入 】 します。\r\n\r\n   先頭内容 → "
              "x\ty,z\r\nw\r\n\r\n   挿入行数 ： 2 行");
    EXPECT_EQ(column(2), (Texts{"a1", "x", "w", "a2", "a3", "a4", "a5", "a6"}));
    EXPECT_EQ(cell(3, 2), "y,z");
    EXPECT_EQ(window->separator(), Separator::of(','));
    EXPECT_EQ(undoCaption(), QStringLiteral("元に戻す  #1  【行挿入】"));
    // Saving empties the history.
    dialogs.answer(Answer::Yes);
    window->controls().Btn_Save->setEnabled(true);
    EXPECT_EQ(window->Mn_FileSaveClick(true), TFm_Tabulix01::SaveOutcome::Saved);
    EXPECT_EQ(undoCaption(), QStringLiteral("元に戻す"));
    EXPECT_FALSE(window->action("Mn_Undo")->isEnabled());
    EXPECT_TRUE(window->editCommands().history().empty());
}

TEST_F(RowColumnCommandsTest, DraggedRowIsRecordedAndUndone) {
    window->controls().Chk_MoveRow->click();
    ASSERT_TRUE(window->gridWidget()->rowMovingEnabled());
    Q_EMIT window->gridWidget()->rowMoved(2, 5);
    EXPECT_EQ(column(2), (Texts{"a1", "a3", "a4", "a5", "a2", "a6"}));
    EXPECT_EQ(column(0), (Texts{"", "1", "2", "3", "4", "5"}));
    EXPECT_EQ(undoCaption(), QStringLiteral("元に戻す  #1  【行移動】"));
    window->action("Mn_Undo")->trigger();
    EXPECT_EQ(column(2), (Texts{"a1", "a2", "a3", "a4", "a5", "a6"}));
}

} // namespace
} // namespace tabulix
