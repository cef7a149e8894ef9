// The memo's text rules, its commit, where the cursor goes after it, and the
// drag-scroll step of header ranges.
#include "EditFixture.h"

#include "edit/CellEdit.h"
#include "edit/DragScroll.h"
#include "edit/UndoCommand.h"

namespace tabulix {
namespace {

TEST(CellEdit, MemoKeepsLineBreaksAndAnUnchangedCellByteForByte) {
    struct Case {
        std::string cell;
        std::string memo;   // what the memo shows
        std::string edited; // what the user leaves in it
        std::string stored;
    };
    const Case cases[] = {
        {"plain", "plain", "plain", "plain"},
        {"a\nb", "a\nb", "a\nb", "a\nb"},             // LF cell left alone stays LF
        {"a\rb\r\nc", "a\nb\nc", "a\nb\nc", "a\rb\r\nc"}, // mixed breaks kept too
        {"a\nb", "a\nb", "a\nbc", "a\r\nbc"},          // an edited cell gets CR LF
        {"", "", "x\ny", "x\r\ny"},                    // a typed break is CR LF
        {"nbsp\u00A0here", "nbsp\u00A0here", "nbsp\u00A0here!", "nbsp\u00A0here!"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MemoTextOf(c.cell), c.memo);
        EXPECT_EQ(CellTextFromMemo(c.cell, c.edited), c.stored);
    }
}

TEST(CellEdit, CommitRecordsUndoWidensTheColumnAndSkipsNoChange) {
    EditBench b(3, 4);
    StringGrid& g = b.table.grid;
    g.setCell(3, 2, "one\ntwo");
    const int width = g.colWidth(3);
    EXPECT_FALSE(CommitCellEdit(b.session, 3, 2, "one\ntwo"));
    EXPECT_TRUE(b.history.empty());
    EXPECT_FALSE(b.host.isModified);

    ASSERT_TRUE(CommitCellEdit(b.session, 3, 2, "a much longer text than before"));
    EXPECT_EQ(g.cellText(3, 2), "a much longer text than before");
    EXPECT_GT(g.colWidth(3), width);
    EXPECT_EQ(b.table.colRecords[3].width, g.colWidth(3));
    EXPECT_TRUE(b.host.isModified);
    EXPECT_EQ(HistLabel(b.history.newest()), "one\ntwo");

    // A suppressed column stays narrow; only its kept width grows.
    b.table.colRecords[4].visible = false;
    g.setColWidth(4, 7);
    ASSERT_TRUE(CommitCellEdit(b.session, 4, 1, "another long text for a hidden column"));
    EXPECT_EQ(g.colWidth(4), 7);
    EXPECT_GT(b.table.colRecords[4].width, 100);

    Mn_UndoClick(b.session);
    Mn_UndoClick(b.session);
    EXPECT_EQ(g.cellText(3, 2), "one\ntwo");
    EXPECT_FALSE(b.host.isModified);
}

TEST(CellEdit, CursorAfterTheMemoFollowsTheChosenMove) {
    // 4 data columns (2..5), rows 1..6 with row 1 fixed as a header row.
    StringGrid g(6, 7);
    g.setFixedCols(2);
    g.setFixedRows(2);
    struct Case {
        int item;
        CellPosition at;
        CellPosition next;
    };
    const Case cases[] = {
        {0, {3, 3}, {3, 3}}, {1, {3, 3}, {3, 2}}, {1, {3, 2}, {3, 2}}, {2, {3, 3}, {3, 4}},
        {2, {3, 6}, {3, 6}}, {3, {3, 3}, {2, 3}}, {3, {2, 3}, {5, 2}}, {3, {2, 2}, {5, 2}},
        {4, {3, 3}, {4, 3}}, {4, {5, 3}, {2, 4}}, {4, {5, 6}, {2, 6}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CellAfterMemo(c.item, c.at, g), c.next) << c.item << " " << c.at.col;
}

TEST(DragScroll, RangeFollowsThePointerAndScrollsAtTheEdges) {
    // Rows of 20 px, one fixed row; rows 1..10 shown of 100, rows 11+ below.
    DragAxis base;
    base.press = 30;
    base.threshold = 10;
    base.firstEdge = 20;
    base.lastEdge = 220;
    base.first = 1;
    base.lastVisible = 10;
    base.fixedCount = 1;
    base.lastLine = 99;
    struct Case {
        int pointer;
        int hover;
        int first;
        int lastVisible;
        DragMove move;
        int end;
    };
    const Case cases[] = {
        {35, 1, 1, 10, DragMove::None, -1},         // less than half a row: nothing
        {110, 5, 1, 10, DragMove::Follow, 5},       // within the view: follow
        {230, -1, 1, 10, DragMove::ScrollOn, 10},   // below the last row: scroll on
        {230, -1, 90, 99, DragMove::None, -1},      // the last row is shown: stay
        {10, 0, 5, 14, DragMove::ScrollBack, -1},   // over the header: scroll back
        {10, 0, 1, 10, DragMove::None, -1},         // already at the top
    };
    for (const Case& c : cases) {
        DragAxis a = base;
        a.pointer = c.pointer;
        a.hover = c.hover;
        a.first = c.first;
        a.lastVisible = c.lastVisible;
        const DragStep step = DragScrollStep(a);
        EXPECT_EQ(step.move, c.move) << c.pointer;
        if (c.move != DragMove::ScrollBack) {
            EXPECT_EQ(step.end, c.end) << c.pointer;
        }
    }
}

} // namespace
} // namespace tabulix
