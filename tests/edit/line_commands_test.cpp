#include "EditFixture.h"

#include "edit/LineCommands.h"
#include "edit/UndoCommand.h"

#include <gtest/gtest.h>

namespace tabulix {
namespace {

using Texts = std::vector<std::string>;

// Everything undo must bring back: cells, heights, widths, records, flag.
struct Snapshot {
    std::vector<Texts> cells;
    std::vector<int> heights;
    std::vector<int> widths;
    std::vector<bool> rowMarks;
    std::vector<bool> colMarks;
    bool modified;
    bool operator==(const Snapshot&) const = default;
};

// Field by field, so that a failure shows what differs.
void PrintTo(const Snapshot& s, std::ostream* os) {
    *os << ::testing::PrintToString(s.cells) << " h" << ::testing::PrintToString(s.heights) << " w"
        << ::testing::PrintToString(s.widths) << " rm" << ::testing::PrintToString(s.rowMarks)
        << " cm" << ::testing::PrintToString(s.colMarks) << " mod" << s.modified;
}

Snapshot snap(const EditBench& b) {
    Snapshot s;
    const StringGrid& g = b.table.grid;
    for (int r = 0; r < g.rowCount(); ++r) {
        Texts row;
        for (int c = 0; c < g.colCount(); ++c)
            row.push_back(g.cellText(c, r));
        s.cells.push_back(row);
        s.heights.push_back(g.rowHeight(r));
        s.rowMarks.push_back(b.table.rowRecords[r].marked);
    }
    for (int c = 0; c < g.colCount(); ++c) {
        s.widths.push_back(g.colWidth(c));
        s.colMarks.push_back(b.table.colRecords[c].marked);
    }
    s.modified = b.host.isModified;
    return s;
}

TEST(InsertLines, TargetInsideAndOutsideTheRange) {
    struct Case {
        int clicked;
        int rangeFirst, rangeLast; // 0: no range
        Texts expected;
        const char* question; // nullptr: none asked
    };
    const Case cases[] = {
        {12,
         5,
         7,
         {"r1c1", "r2c1", "r3c1", "r4c1", "r5c1", "r6c1", "r7c1", "r8c1", "r9c1", "r10c1", "r11c1",
          "", "", "", "r12c1"},
         "【 新規挿入 】\r\n\r\n    選択範囲の行数分だけ指定行に空行を挿入します。\r\n\r\n    3 "
         "行    →    行番号 ： 12"},
        {6,
         5,
         7,
         {"r1c1", "r2c1", "r3c1", "r4c1", "", "", "", "r5c1", "r6c1", "r7c1", "r8c1", "r9c1",
          "r10c1", "r11c1", "r12c1"},
         "【 新規挿入 】\r\n\r\n    選択範囲の行数分だけ指定行に空行を挿入します。\r\n\r\n    3 "
         "行    →    行番号 ： 5"},
        {2,
         0,
         0,
         {"r1c1", "", "r2c1", "r3c1", "r4c1", "r5c1", "r6c1", "r7c1", "r8c1", "r9c1", "r10c1",
          "r11c1", "r12c1"},
         nullptr},
    };
    for (const Case& c : cases) {
        EditBench b(2, 12);
        b.clickRow(c.clicked);
        if (c.rangeFirst) b.rowRange(c.rangeFirst, c.rangeLast);
        b.table.rowRecords[c.clicked].marked = true;
        if (c.question) b.dialogs.answer(Answer::Yes);
        InsertLines(b.session, Axis::Rows);
        EXPECT_EQ(FirstColumn(b.table), c.expected) << c.clicked;
        EXPECT_EQ(b.dialogs.messages(), c.question ? Texts{c.question} : Texts{});
        EXPECT_EQ(b.table.rowRecords.size(), static_cast<std::size_t>(b.table.grid.rowCount()));
        // The new rows are the range and the selection; the mark stayed with its row.
        const int first = c.rangeFirst && c.clicked <= c.rangeLast ? c.rangeFirst : c.clicked;
        EXPECT_EQ(b.edit.operationRange.top, first);
        EXPECT_EQ(b.host.selected.top, first);
        const int marked = c.clicked + (c.rangeFirst ? 3 : 1);
        EXPECT_TRUE(b.table.rowRecords[marked].marked);
        EXPECT_FALSE(b.table.rowRecords[first].marked);
        EXPECT_TRUE(b.host.isModified);
        EXPECT_EQ(b.table.grid.cellText(0, b.table.grid.rowCount() - 1),
                  std::to_string(b.table.grid.rowCount() - 1));
        // Undo takes them out again and shows nothing changed.
        const bool modifiedBefore = false;
        Mn_UndoClick(b.session);
        EXPECT_EQ(b.table.grid.rowCount(), 13);
        EXPECT_EQ(FirstColumn(b.table).back(), "r12c1");
        EXPECT_EQ(b.host.isModified, modifiedBefore);
        EXPECT_TRUE(b.history.empty());
    }
}

TEST(CopyLines, ConfirmsOnlySeveralAndKeepsMarksAndHeights) {
    EditBench b(3, 6);
    b.table.rowRecords[2].marked = true;
    b.clickRow(5);
    // Row 2 onto row 5: one row needs no question.
    b.clickRow(2);
    b.edit.clickRow = 5;
    b.rowRange(2, 2);
    CopyLines(b.session, Axis::Rows, CopyWording::Selection);
    EXPECT_TRUE(b.dialogs.messages().empty());
    EXPECT_EQ(FirstColumn(b.table),
              (Texts{"r1c1", "r2c1", "r3c1", "r4c1", "r2c1", "r5c1", "r6c1"}));
    EXPECT_TRUE(b.table.rowRecords[5].marked);
    EXPECT_EQ(b.table.grid.rowHeight(5), 22);
    EXPECT_EQ(b.table.grid.cellText(0, 5), "5");
    EXPECT_EQ(b.edit.operationRange.top, 5);
    EXPECT_EQ(b.edit.operationRange.bottom, 5);

    // Two rows ask, with the source and target numbers.
    b.rowRange(1, 2);
    b.edit.clickRow = 7;
    b.dialogs.answer(Answer::Yes);
    CopyLines(b.session, Axis::Rows, CopyWording::Selection);
    EXPECT_EQ(
        b.dialogs.messages().back(),
        "【 複写 】\r\n\r\n   選択範囲の行を指定行に挿入して複写します。\r\n\r\n   行番号 ： 1 "
        "～ 2    →   7");
    EXPECT_EQ(FirstColumn(b.table),
              (Texts{"r1c1", "r2c1", "r3c1", "r4c1", "r2c1", "r5c1", "r1c1", "r2c1", "r6c1"}));
    EXPECT_TRUE(b.table.rowRecords[8].marked);
    EXPECT_EQ(b.table.grid.rowHeight(7), 21);

    // Declined: nothing changes; with the item unchecked nothing is asked.
    const Snapshot before = snap(b);
    b.rowRange(1, 2);
    b.edit.clickRow = 4;
    b.dialogs.answer(Answer::No);
    EXPECT_EQ(CopyLines(b.session, Axis::Rows, CopyWording::Selection), -1);
    EXPECT_EQ(snap(b), before);
    EXPECT_FALSE(b.edit.confirmHighlight.active());
    b.host.confirm[static_cast<int>(ConfirmItem::Copy)] = false;
    b.rowRange(1, 2);
    CopyLines(b.session, Axis::Rows, CopyWording::Selection);
    EXPECT_EQ(b.table.grid.rowCount(), 12);

    // Undo of each copy, newest first, gives back the table step by step.
    Mn_UndoClick(b.session);
    EXPECT_EQ(snap(b), before);
    Mn_UndoClick(b.session);
    Mn_UndoClick(b.session);
    EXPECT_EQ(FirstColumn(b.table), (Texts{"r1c1", "r2c1", "r3c1", "r4c1", "r5c1", "r6c1"}));
    EXPECT_FALSE(b.host.isModified);
}

TEST(DeleteLines, WordingRefusalAndUndo) {
    EditBench b(2, 5);
    b.table.rowRecords[3].marked = true;
    b.host.isModified = true;
    b.history.clear();
    const Snapshot original = snap(b);
    // One row, asked with its number.
    b.clickRow(3);
    b.dialogs.answer(Answer::Yes);
    DeleteLines(b.session, Axis::Rows);
    EXPECT_EQ(b.dialogs.messages().back(),
              "【 削除 】\r\n\r\n    この行を削除します。\r\n\r\n    行番号 = 3");
    EXPECT_EQ(FirstColumn(b.table), (Texts{"r1c1", "r2c1", "r4c1", "r5c1"}));
    // A range: the clicked row does not matter.
    b.host.isModified = false;
    b.clickRow(1);
    b.rowRange(2, 3);
    b.dialogs.answer(Answer::Yes);
    DeleteLines(b.session, Axis::Rows);
    EXPECT_EQ(b.dialogs.messages().back(),
              "【 削除 】\r\n\r\n    選択範囲の行を削除します。\r\n\r\n    行番号 ： 2 ～ 3");
    EXPECT_EQ(FirstColumn(b.table), (Texts{"r1c1", "r5c1"}));
    EXPECT_FALSE(b.edit.operationRange.hasRows());
    // Deleting all that is left is refused, with nothing asked.
    b.rowRange(1, 2);
    DeleteLines(b.session, Axis::Rows);
    EXPECT_EQ(b.dialogs.messages().back(), "すべての行を削除することはできません。");
    EXPECT_FALSE(b.edit.confirmHighlight.active());
    b.clickRow(1);
    b.edit.operationRange.clear();
    b.dialogs.answer(Answer::Yes);
    DeleteLines(b.session, Axis::Rows);
    EXPECT_EQ(b.table.grid.rowCount(), 2);
    b.clickRow(1);
    DeleteLines(b.session, Axis::Rows);
    EXPECT_EQ(b.dialogs.messages().back(), "すべての行を削除することはできません。");
    // Undo back to the start: cells, heights, marks and the modified flag.
    EXPECT_EQ(UndoMenuCaptions(b.history).main, "元に戻す  #3  【行削除】");
    Mn_UndoClick(b.session);
    Mn_UndoClick(b.session);
    EXPECT_EQ(b.edit.undoHighlight.top, 2);
    EXPECT_EQ(b.edit.undoHighlight.bottom, 3);
    EXPECT_EQ(b.host.selected.top, 2);
    EXPECT_FALSE(b.host.isModified);
    Mn_UndoClick(b.session);
    EXPECT_EQ(snap(b), original);
    EXPECT_TRUE(b.history.empty());
}

TEST(ColumnCommands, InsertCopyDeleteAndUndo) {
    EditBench b(4, 3);
    b.table.colRecords[3].marked = true;
    const Snapshot original = snap(b);
    // Insert before column 3 (data column 2): one empty column, 12 "A" wide.
    b.clickCol(3);
    InsertLines(b.session, Axis::Columns);
    EXPECT_EQ(FirstRow(b.table), (Texts{"r1c1", "", "r1c2", "r1c3", "r1c4"}));
    EXPECT_EQ(b.table.grid.cellText(6, 0), "5");
    EXPECT_EQ(b.table.grid.colWidth(3), 84 + 10);
    EXPECT_EQ(b.host.col, 3);
    // Copy two columns asks with the column wording.
    b.colRange(4, 5);
    b.edit.clickCol = 2;
    b.dialogs.answer(Answer::Yes);
    CopyLines(b.session, Axis::Columns, CopyWording::Selection);
    EXPECT_EQ(
        b.dialogs.messages().back(),
        "【 複写 】\r\n\r\n   選択範囲の列を指定列に挿入して複写します。\r\n\r\n    列番号 ： 3 "
        "～ 4    →   1");
    EXPECT_EQ(FirstRow(b.table), (Texts{"r1c2", "r1c3", "r1c1", "", "r1c2", "r1c3", "r1c4"}));
    EXPECT_TRUE(b.table.colRecords[2].marked);
    EXPECT_EQ(b.table.grid.colWidth(2), 53);
    // Delete one: the column wording; the last data column is refused.
    b.edit.operationRange.clear();
    b.clickCol(5);
    b.dialogs.answer(Answer::Yes);
    DeleteLines(b.session, Axis::Columns);
    EXPECT_EQ(b.dialogs.messages().back(),
              "【 削除 】\r\n\r\n    この列を削除します。\r\n\r\n    列番号 = 4");
    b.colRange(2, 7);
    DeleteLines(b.session, Axis::Columns);
    EXPECT_EQ(b.dialogs.messages().back(), "すべての列を削除することはできません。");
    b.colRange(2, 6);
    b.dialogs.answer(Answer::Yes);
    DeleteLines(b.session, Axis::Columns);
    EXPECT_EQ(FirstRow(b.table), (Texts{"r1c4"}));
    EXPECT_EQ(b.dialogs.messages().back(),
              "【 削除 】\r\n\r\n    選択範囲の列を削除します。\r\n\r\n    列番号 ： 1 ～ 5");
    while (!b.history.empty())
        Mn_UndoClick(b.session);
    EXPECT_EQ(snap(b), original);
}

TEST(MoveClippedLines, TargetsBelowAboveAndInside) {
    struct Case {
        int target;
        Texts expected;
        int clipTop;
    };
    const Case cases[] = {
        {10,
         {"r1c1", "r2c1", "r5c1", "r6c1", "r7c1", "r8c1", "r9c1", "r3c1", "r4c1", "r10c1", "r11c1",
          "r12c1"},
         8},
        {1,
         {"r3c1", "r4c1", "r1c1", "r2c1", "r5c1", "r6c1", "r7c1", "r8c1", "r9c1", "r10c1", "r11c1",
          "r12c1"},
         1},
        {4,
         {"r1c1", "r2c1", "r3c1", "r4c1", "r5c1", "r6c1", "r7c1", "r8c1", "r9c1", "r10c1", "r11c1",
          "r12c1"},
         3},
    };
    for (const Case& c : cases) {
        EditBench b(2, 12);
        b.table.rowRecords[4].marked = true;
        const Snapshot original = snap(b);
        b.edit.clipRange = CellRange{2, 3, 3, 4};
        b.edit.clipKind = ClipKind::Rows;
        b.clickRow(c.target);
        b.dialogs.answer(Answer::Yes);
        MoveClippedLines(b.session, Axis::Rows);
        EXPECT_EQ(
            b.dialogs.messages().back(),
            "【 移動 】\r\n\r\n   クリップされた行を指定行に移動します。\r\n\r\n   行番号 ： 3 ～ "
            "4    →   " +
                std::to_string(c.target == 4 ? 3 : c.target));
        EXPECT_EQ(FirstColumn(b.table), c.expected) << c.target;
        EXPECT_EQ(b.edit.clipRange.top, c.clipTop);
        EXPECT_EQ(b.edit.clipRange.bottom, c.clipTop + 1);
        EXPECT_EQ(b.edit.clipKind, ClipKind::Rows);
        EXPECT_TRUE(b.table.rowRecords[c.clipTop + 1].marked);
        EXPECT_FALSE(b.edit.operationRange.hasRows());
        // One undo takes back both halves and releases the clip.
        EXPECT_EQ(UndoMenuCaptions(b.history).main, "元に戻す  #2  【行移動】");
        Mn_UndoClick(b.session);
        EXPECT_EQ(snap(b), original);
        EXPECT_TRUE(b.history.empty());
        EXPECT_EQ(b.edit.clipKind, ClipKind::None);
        EXPECT_FALSE(b.edit.clipRange.hasColumns());
    }
    // Declined: table and clip stay.
    EditBench b(2, 6);
    const Snapshot original = snap(b);
    b.edit.clipRange = CellRange{2, 3, 3, 4};
    b.edit.clipKind = ClipKind::Rows;
    b.clickRow(6);
    b.dialogs.answer(Answer::No);
    MoveClippedLines(b.session, Axis::Rows);
    EXPECT_EQ(snap(b), original);
    EXPECT_EQ(b.edit.clipRange.top, 3);
    EXPECT_TRUE(b.history.empty());
}

TEST(MoveClippedLines, ColumnsAndTheClipCopy) {
    EditBench b(5, 2);
    const Snapshot original = snap(b);
    b.edit.clipRange = CellRange{2, 1, 3, 2};
    b.edit.clipKind = ClipKind::Columns;
    b.clickCol(6);
    b.dialogs.answer(Answer::Yes);
    MoveClippedLines(b.session, Axis::Columns);
    EXPECT_EQ(FirstRow(b.table), (Texts{"r1c3", "r1c4", "r1c1", "r1c2", "r1c5"}));
    EXPECT_EQ(b.edit.clipRange.left, 4);
    EXPECT_EQ(b.edit.clipRange.right, 5);
    EXPECT_EQ(b.table.grid.colWidth(4), 52);
    Mn_UndoClick(b.session);
    EXPECT_EQ(snap(b), original);
    // The clip copy keeps the clip.
    b.edit.clipRange = CellRange{3, 1, 3, 2};
    b.edit.clipKind = ClipKind::Columns;
    b.clickCol(2);
    CopyClippedLines(b.session, Axis::Columns);
    EXPECT_EQ(FirstRow(b.table), (Texts{"r1c2", "r1c1", "r1c2", "r1c3", "r1c4", "r1c5"}));
    EXPECT_EQ(b.edit.clipRange.left, 3);
}

TEST(LineDragged, RowsAndColumnsAndTheirUndo) {
    EditBench b(3, 5);
    b.table.rowRecords[2].marked = true;
    const Snapshot original = snap(b);
    // The grid reports the drop; the row, its record and its number follow.
    LineDragged(b.session, Axis::Rows, 2, 4);
    EXPECT_EQ(FirstColumn(b.table), (Texts{"r1c1", "r3c1", "r4c1", "r2c1", "r5c1"}));
    EXPECT_TRUE(b.table.rowRecords[4].marked);
    EXPECT_EQ(b.table.grid.cellText(0, 4), "4");
    EXPECT_EQ(UndoMenuCaptions(b.history).main, "元に戻す  #1  【行移動】");
    LineDragged(b.session, Axis::Columns, 4, 2);
    EXPECT_EQ(FirstRow(b.table), (Texts{"r1c3", "r1c1", "r1c2"}));
    EXPECT_EQ(b.table.grid.cellText(2, 0), "1");
    Mn_UndoClick(b.session);
    Mn_UndoClick(b.session);
    EXPECT_EQ(snap(b), original);
    EXPECT_EQ(b.edit.undoHighlight.top, 2);
}

TEST(Undo, AStepThatNoLongerFitsClearsTheHistory) {
    EditBench b(3, 8);
    b.rowRange(5, 7);
    b.dialogs.answer(Answer::Yes);
    DeleteLines(b.session, Axis::Rows);
    b.clickCol(4);
    b.dialogs.answer(Answer::Yes);
    DeleteLines(b.session, Axis::Columns);
    // The table is cleared to one row and column (as the File menu does).
    ResetTable(b.table, 0, 0, ResetMetrics{});
    const Snapshot cleared = snap(b);
    Mn_UndoClick(b.session);
    // Restoring column 4 of a one-column table would write outside it.
    EXPECT_EQ(snap(b), cleared);
    EXPECT_TRUE(b.history.empty());
    EXPECT_FALSE(UndoMenuCaptions(b.history).mainEnabled);
}

TEST(ColumnDisplay, SuppressAndShowAgain) {
    EditBench b(4, 2);
    b.colRange(3, 4);
    ColumnDisplay(b.session, false, 7.0);
    EXPECT_EQ(b.table.grid.colWidth(3), 7);
    EXPECT_EQ(b.table.grid.colWidth(4), 7);
    EXPECT_FALSE(b.table.colRecords[4].visible);
    EXPECT_FALSE(b.edit.operationRange.hasColumns());
    b.clickCol(4);
    ColumnDisplay(b.session, true, 7.0);
    EXPECT_EQ(b.table.grid.colWidth(4), 54);
    EXPECT_EQ(b.table.grid.colWidth(3), 7);
    EXPECT_TRUE(b.table.colRecords[4].visible);
}

TEST(InsertLines, WithNothingClickedActsOnTheCurrentLine) {
    EditBench b(2, 4);
    b.host.row = 3;
    b.host.col = 3;
    InsertLines(b.session, Axis::Rows);
    EXPECT_EQ(FirstColumn(b.table), (Texts{"r1c1", "r2c1", "", "r3c1", "r4c1"}));
    b.edit.forgetClick();
    b.edit.operationRange.clear();
    b.host.col = 3;
    b.dialogs.answer(Answer::Yes);
    DeleteLines(b.session, Axis::Columns);
    EXPECT_EQ(FirstRow(b.table), (Texts{"r1c1"}));
}

} // namespace
} // namespace tabulix

namespace tabulix {
namespace {

// The range and cell kinds are recorded by the range commands and the memo;
// their undo writes the saved texts back and shows them.
TEST(Undo, RangeAndCellTextsComeBack) {
    EditBench b(4, 4);
    const Snapshot original = snap(b);
    b.history.recordRange(HistKind::RangePaste, CellRange{3, 2, 4, 3}, b.table.grid, false);
    for (int r = 2; r <= 3; ++r)
        for (int c = 3; c <= 4; ++c)
            b.table.grid.setCell(c, r, "pasted");
    b.host.isModified = true;
    b.history.recordCell(HistKind::CellEdit, 5, 4, b.table.grid, true);
    b.table.grid.setCell(5, 4, "edited");
    EXPECT_EQ(UndoMenuCaptions(b.history).main, "元に戻す  #2  【r4c4】");
    Mn_UndoClick(b.session);
    EXPECT_EQ(b.table.grid.cellText(5, 4), "r4c4");
    EXPECT_EQ(b.edit.undoHighlight.left, 5);
    EXPECT_EQ(b.edit.undoHighlight.top, 4);
    EXPECT_TRUE(b.host.isModified);
    Mn_UndoClick(b.session);
    EXPECT_EQ(snap(b), original);
    EXPECT_EQ(b.host.selected.left, 3);
    EXPECT_EQ(b.host.selected.bottom, 3);
    EXPECT_EQ(UndoMenuCaptions(b.history).main, "元に戻す");
}

} // namespace
} // namespace tabulix
