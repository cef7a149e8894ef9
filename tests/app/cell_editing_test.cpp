// Editing through the main window: the cell memo, the clip keys and the
// header presses, driven by key and mouse events on the grid.
#include "WindowTest.h"

#include "app/CellMemoCommands.h"
#include "app/EditCommands.h"
#include "edit/EditState.h"
#include "view/CellMemo.h"
#include "view/GridWidget.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QMenu>
#include <QTest>

#include <fstream>

namespace tabulix {
namespace {

class CellEditingTest : public WindowTest {
protected:
    void SetUp() override {
        makeFolder();
        openWindow();
        window->resize(1000, 760);
        std::ofstream out(path("t.csv"), std::ios::binary);
        out << "h1,h2,h3,h4\r\na2,b2,c2,\"p\nq\"\r\n";
        for (int r = 3; r <= 40; ++r)
            out << "a" << r << ",b" << r << ",c" << r << ",d" << r << "\r\n";
        out.close();
        ASSERT_TRUE(window->LoadFile(path("t.csv")));
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        grid()->setFocus();
        QApplication::processEvents();
    }

    GridWidget* grid() const { return window->gridWidget(); }
    CellMemo* memo() const { return window->editCommands().memo().memo(); }
    QWidget* viewport() const { return grid()->viewport(); }
    QPoint centre(int col, int row) const { return grid()->cellRect(col, row).center(); }
    void click(int col, int row, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mousePress(viewport(), button, {}, centre(col, row));
        QTest::mouseRelease(viewport(), button, {}, centre(col, row));
    }
    void key(int k, Qt::KeyboardModifiers mods = {}) {
        QTest::keyClick(QApplication::focusWidget(), static_cast<Qt::Key>(k), mods);
    }
    QMenu* openMenu() const {
        const PopupMenus& m = window->editCommands().menus();
        for (QMenu* menu : {m.pmGrid, m.pmFixedRow, m.pmFixedCol})
            if (menu->isVisible()) return menu;
        return nullptr;
    }
    void closeMenu() {
        if (QMenu* m = openMenu()) m->hide();
    }
    const EditState& edit() const { return window->editState(); }
};

// Typing opens the memo on the old text, Enter commits and moves on, an
// unchanged multi-line cell is left byte for byte, Shift+Enter types a break.
TEST_F(CellEditingTest, TheMemoEditsACellAndMovesOn) {
    window->controls().Cmb_CrNext->setCurrentIndex(4); // " 右へ"
    click(3, 2);
    QTest::keyClick(grid(), Qt::Key_Z);
    ASSERT_TRUE(memo()->isVisible());
    EXPECT_EQ(memo()->memoText(), "b2"); // the letter opens it, it is not typed
    EXPECT_TRUE(memo()->hasFocus());
    QTest::keyClicks(memo(), QStringLiteral("x"));
    key(Qt::Key_Return);
    EXPECT_FALSE(memo()->isVisible());
    EXPECT_EQ(cell(3, 2), "b2x");
    EXPECT_TRUE(window->modified());
    EXPECT_EQ(window->action("Mn_Undo")->text(), QStringLiteral("元に戻す  #1  【b2】"));
    EXPECT_EQ(grid()->currentCol(), 4);
    EXPECT_TRUE(grid()->hasFocus());

    // The multi-line cell, opened with Enter and left with Escape.
    window->setModified(false);
    click(5, 2);
    key(Qt::Key_Return);
    ASSERT_TRUE(memo()->isVisible());
    EXPECT_EQ(memo()->memoText(), "p\nq");
    EXPECT_EQ(memo()->toPlainText(), QStringLiteral("p\nq"));
    key(Qt::Key_Escape);
    EXPECT_EQ(cell(5, 2), "p\nq");
    EXPECT_FALSE(window->modified());
    EXPECT_EQ(grid()->currentCol(), 2); // last column: first data column, next row
    EXPECT_EQ(grid()->currentRow(), 3);

    // A line break typed with Shift+Enter is stored as CR LF.
    click(2, 3);
    key(Qt::Key_Return);
    key(Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClicks(memo(), QStringLiteral("y"));
    key(Qt::Key_Return);
    EXPECT_EQ(cell(2, 3), "a3\r\ny");

    // Leaving it by clicking elsewhere commits too.
    click(3, 5);
    key(Qt::Key_Return);
    QTest::keyClicks(memo(), QStringLiteral("!"));
    click(2, 8);
    EXPECT_FALSE(memo()->isVisible());
    EXPECT_EQ(cell(3, 5), "b5!");
    window->action("Mn_Undo")->trigger();
    EXPECT_EQ(cell(3, 5), "b5");

    // A control that takes no focus still ends the memo before it acts.
    click(3, 5);
    key(Qt::Key_Return);
    ASSERT_TRUE(memo()->isVisible());
    QTest::keyClicks(memo(), QStringLiteral("?"));
    ASSERT_EQ(memo()->memoText(), "b5?");
    QTest::mouseClick(window->controls().Chk_MoveRow, Qt::LeftButton);
    EXPECT_FALSE(memo()->isVisible());
    EXPECT_EQ(cell(3, 5), "b5?");
}

// Placed over the cell, shifted up at the bottom, silver on a white grid.
TEST_F(CellEditingTest, TheMemoSitsOverItsCell) {
    click(3, 2);
    key(Qt::Key_Return);
    const QPoint cellTop = viewport()->mapTo(memo()->parentWidget(), grid()->cellRect(3, 2).topLeft());
    EXPECT_EQ(memo()->geometry().topLeft(), cellTop);
    EXPECT_EQ(memo()->width(), window->Grid().colWidth(3) + 1);
    EXPECT_EQ(memo()->palette().color(QPalette::Base), QColor(Qt::white));
    key(Qt::Key_Escape);

    window->action("Mn_GridWhite")->trigger();
    const int last = grid()->topRow() + grid()->visibleRowCount() - 1;
    grid()->setCurrentCell(2, last);
    key(Qt::Key_Return);
    EXPECT_EQ(memo()->geometry().bottom(), grid()->geometry().bottom());
    EXPECT_EQ(memo()->palette().color(QPalette::Base), QColor(0xC0, 0xC0, 0xC0));
    key(Qt::Key_Escape);
}

// A composition starting on the grid opens the memo and goes on in it.
TEST_F(CellEditingTest, InputMethodTextReachesTheMemo) {
    click(2, 4);
    QInputMethodEvent preedit(QStringLiteral("にほん"), {});
    QApplication::sendEvent(grid(), &preedit);
    ASSERT_TRUE(memo()->isVisible());
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("日本"));
    QApplication::sendEvent(memo(), &commit);
    key(Qt::Key_Return);
    EXPECT_EQ(cell(2, 4), "a4日本");
}

// Ctrl+C clips the selection, Ctrl+V pastes it after the question, Escape
// releases it; with a row clip Ctrl+V pastes at the first data column.
TEST_F(CellEditingTest, ClipKeysCopyPasteAndRelease) {
    click(2, 2);
    grid()->setSelection(2, 2, 3, 3);
    key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboard.text(), "a2,b2\r\na3,b3");
    EXPECT_EQ(edit().clipKind, ClipKind::CellRange);
    click(4, 10);
    dialogs.answer(Answer::Yes);
    key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(dialogs.messages().back(),
              "【 貼り付け 】\r\n\r\n   クリップされた内容をカーソル位置の範囲に貼り付けます。");
    EXPECT_EQ(cell(4, 10), "a2");
    EXPECT_EQ(cell(5, 11), "b3");
    EXPECT_EQ(grid()->selection(), QRect(QPoint(4, 10), QPoint(5, 11)));
    key(Qt::Key_Escape);
    EXPECT_EQ(clipboard.text(), "");
    EXPECT_EQ(edit().clipKind, ClipKind::None);
    key(Qt::Key_Escape); // nothing left to release: nothing happens

    click(0, 6, Qt::LeftButton); // row header: row-header mode, row 6 chosen
    key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(edit().clipKind, ClipKind::Rows);
    click(4, 12);
    dialogs.answer(Answer::Yes);
    key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(cell(2, 12), "a6");
    EXPECT_EQ(cell(5, 12), "d6");
}

// Header presses choose ranges and menus.
TEST_F(CellEditingTest, HeaderPressesChooseTheRangeAndTheMenu) {
    QTest::mousePress(viewport(), Qt::LeftButton, {}, centre(0, 5));
    QMouseEvent move(QEvent::MouseMove, centre(0, 9), viewport()->mapToGlobal(centre(0, 9)),
                     Qt::NoButton, Qt::LeftButton, {});
    QApplication::sendEvent(viewport(), &move);
    ASSERT_GE(grid()->visibleRowCount(), 12);
    QTest::qWait(80); // a few drag-scroll ticks
    QTest::mouseRelease(viewport(), Qt::LeftButton, {}, centre(0, 9));
    EXPECT_EQ(edit().operationRange.normalised().top, 5);
    EXPECT_EQ(edit().operationRange.normalised().bottom, 9);
    EXPECT_EQ(grid()->selection(), QRect(QPoint(2, 5), QPoint(5, 9)));
    click(0, 7, Qt::RightButton);
    EXPECT_EQ(openMenu(), window->editCommands().menus().pmFixedRow);
    EXPECT_EQ(edit().operationRange.normalised().bottom, 9);
    closeMenu();

    // A press without a drag keeps one row.
    QTest::mousePress(viewport(), Qt::LeftButton, {}, centre(0, 3));
    QTest::qWait(60);
    QTest::mouseRelease(viewport(), Qt::LeftButton, {}, centre(0, 3));
    EXPECT_EQ(edit().operationRange.normalised().top, 3);
    EXPECT_EQ(edit().operationRange.normalised().bottom, 3);

    // Columns chosen, then a right click in the cells keeps column mode.
    click(3, 0);
    click(4, 6, Qt::RightButton);
    EXPECT_EQ(openMenu(), window->editCommands().menus().pmFixedCol);
    EXPECT_EQ(edit().headerMode, HeaderMode::ColumnHeader);
    closeMenu();

    click(3, 7);
    click(0, 0, Qt::RightButton); // the corner opens nothing
    EXPECT_EQ(openMenu(), nullptr);

    // A double click on a data cell opens the memo.
    click(3, 7);
    QTest::mouseDClick(viewport(), Qt::LeftButton, {}, centre(3, 7));
    EXPECT_TRUE(memo()->isVisible());
    EXPECT_EQ(memo()->memoText(), "b7");
    key(Qt::Key_Escape);

    // Double clicks on headers flip marks.
    click(0, 4);
    QTest::mouseDClick(viewport(), Qt::LeftButton, {}, centre(0, 4));
    EXPECT_TRUE(window->table().rowRecords[4].marked);
    click(3, 0);
    QTest::mouseDClick(viewport(), Qt::LeftButton, {}, centre(3, 0));
    EXPECT_TRUE(window->table().colRecords[3].marked);
    EXPECT_EQ(window->table().markedColCount, 1);
    EXPECT_FALSE(memo()->isVisible());
}

} // namespace
} // namespace tabulix
