#include "EditFixture.h"

#include "edit/UndoHistory.h"

#include <gtest/gtest.h>

namespace tabulix {
namespace {

TEST(UndoHistory, LabelsAndCaptionsByKind) {
    struct Case {
        HistKind kind;
        const char* label;
    };
    const Case cases[] = {
        {HistKind::DeleteRows, "行削除"},
        {HistKind::InsertRows, "行挿入"},
        {HistKind::CopyRows, "行複写"},
        {HistKind::DeleteCols, "列削除"},
        {HistKind::InsertCols, "列挿入"},
        {HistKind::ImportCols, "列挿入"},
        {HistKind::CopyCols, "列複写"},
        {HistKind::RangeClear, "範囲クリアー"},
        {HistKind::RangeConvert, "範囲文字変換"},
        {HistKind::RangePaste, "範囲貼り付け"},
        {HistKind::DragRow, "行移動"},
        {HistKind::DragCol, "列移動"},
        {HistKind::MoveRows, "行移動"},
        {HistKind::MoveCols, "列移動"},
    };
    for (const Case& c : cases) {
        THistCtl command;
        command.kind = c.kind;
        EXPECT_EQ(HistLabel(command), c.label) << static_cast<int>(c.kind);
    }
    // Cell edits name the first 20 display units of the old text; a wide
    // character is never split.
    THistCtl edit;
    edit.kind = HistKind::CellEdit;
    edit.oldText = "abcdefghijklmnopqrstuvwxyz";
    EXPECT_EQ(HistLabel(edit), "abcdefghijklmnopqrst");
    edit.oldText = "ａｂｃｄｅｆｇｈｉｊｋ";
    EXPECT_EQ(HistLabel(edit), "ａｂｃｄｅｆｇｈｉｊ");
    edit.oldText = "123456789ａｂｃｄｅ";
    EXPECT_EQ(HistLabel(edit), "123456789ａｂｃｄｅ");
    edit.oldText = "1234567890ａｂｃｄｅｆ";
    EXPECT_EQ(HistLabel(edit), "1234567890ａｂｃｄｅ");

    UndoHistory history;
    EXPECT_EQ(UndoMenuCaptions(history).main, "元に戻す");
    EXPECT_FALSE(UndoMenuCaptions(history).mainEnabled);
    Table table;
    FillTable(table, 3, 5);
    history.recordLines(HistKind::InsertRows, 2, 1, table, false);
    history.recordLines(HistKind::DeleteRows, 2, 2, table, false);
    const UndoCaptions captions = UndoMenuCaptions(history);
    EXPECT_EQ(captions.main, "元に戻す  #2  【行削除】");
    EXPECT_TRUE(captions.mainEnabled);
    EXPECT_FALSE(captions.rowEditorEnabled);
    EXPECT_EQ(captions.rowEditor, "元に戻す");
}

TEST(UndoHistory, DepthLimitKeepsTheNewest64) {
    Table table;
    FillTable(table, 3, 5);
    UndoHistory history;
    for (int i = 0; i < 70; ++i)
        history.recordLines(HistKind::DeleteRows, 1 + i % 5, 1, table, i % 2 == 0);
    EXPECT_EQ(history.size(), 64);
    EXPECT_EQ(UndoMenuCaptions(history).main, "元に戻す  #64  【行削除】");
    // The oldest kept is the seventh recorded; every command kept its items.
    EXPECT_EQ(history.commands().front().start, 1 + 6 % 5);
    int undone = 0;
    while (!history.empty()) {
        EXPECT_EQ(history.newest().count, 1);
        EXPECT_EQ(history.attributes(0).height, 20 + history.newest().start);
        history.popNewest();
        ++undone;
        if (!history.empty()) {
            EXPECT_EQ(UndoMenuCaptions(history).main,
                      "元に戻す  #" + std::to_string(64 - undone) + "  【行削除】");
        }
    }
    EXPECT_EQ(undone, 64);
}

TEST(UndoHistory, LimitNeverKeepsHalfAChainedCommand) {
    Table table;
    FillTable(table, 3, 5);
    UndoHistory history;
    history.recordLines(HistKind::CopyRows, 3, 1, table, false);
    history.recordLines(HistKind::MoveRows, 2, 1, table, false);
    for (int i = 0; i < 63; ++i)
        history.recordLines(HistKind::InsertRows, 1, 1, table, false);
    // The copy half fell out, so its deletion half went with it.
    EXPECT_EQ(history.size(), 63);
    EXPECT_EQ(history.commands().front().kind, HistKind::InsertRows);
}

TEST(UndoHistory, RowEditsCountOnlyAmongThemselvesAndDropTogether) {
    Table table;
    FillTable(table, 3, 5);
    UndoHistory history;
    history.recordLines(HistKind::InsertRows, 2, 1, table, false);
    for (const char* old : {"one", "two", "三番目のとても長いセルの文字列です"}) {
        table.grid.setCell(2, 1, old);
        history.recordCell(HistKind::RowEdit, 2, 1, table.grid, true);
    }
    UndoCaptions captions = UndoMenuCaptions(history);
    EXPECT_EQ(captions.rowEditor, "元に戻す  #3  【三番目のとても長いセ】");
    EXPECT_TRUE(captions.rowEditorEnabled);
    EXPECT_FALSE(captions.mainEnabled);
    history.dropRowEdits();
    captions = UndoMenuCaptions(history);
    EXPECT_FALSE(captions.rowEditorEnabled);
    EXPECT_EQ(captions.main, "元に戻す  #1  【行挿入】");
}

TEST(UndoHistory, SavedItemsOfEachRecording) {
    Table table;
    FillTable(table, 3, 4);
    table.colRecords[3].marked = true;
    UndoHistory history;
    history.recordRange(HistKind::RangeClear, CellRange{4, 3, 3, 9}, table.grid, true);
    // Clipped to the grid, normalised, row by row.
    EXPECT_EQ(history.newest().rect.bottom, 4);
    EXPECT_EQ(history.data(0).texts, (std::vector<std::string>{"r3c2", "r3c3", "r4c2", "r4c3"}));
    EXPECT_TRUE(history.newest().wasModified);
    history.recordLines(HistKind::DeleteCols, 3, 1, table, false);
    EXPECT_EQ(history.data(0).texts.size(), 5u);
    EXPECT_EQ(history.data(0).texts[0], "2");
    EXPECT_EQ(history.data(0).texts[2], "r2c2");
    EXPECT_TRUE(history.attributes(0).colRecord.marked);
    EXPECT_EQ(history.attributes(0).width, 53);
    history.recordMove(HistKind::DragRow, 2, 4, false);
    EXPECT_EQ(history.newest().cellCol, 2);
    EXPECT_EQ(history.newest().cellRow, 4);
    EXPECT_EQ(history.newest().count, 0);
    history.popNewest();
    history.popNewest();
    EXPECT_EQ(history.newest().kind, HistKind::RangeClear);
    EXPECT_EQ(history.data(0).texts.size(), 4u);
}

TEST(RowHandles, TakeCopyAndPutBack) {
    StringGrid grid(4, 3);
    grid.setCell(0, 1, "a");
    grid.setCell(3, 1, "長い");
    StringGrid::TakenRow taken = grid.takeRow(1);
    EXPECT_TRUE(grid.rowIsEmpty(1));
    EXPECT_EQ(taken.cellCount(), 4);
    EXPECT_EQ(taken.cell(3), "長い");
    EXPECT_EQ(taken.textBytes(), 7u);
    StringGrid::TakenRow copy = grid.copyOfRow(1);
    EXPECT_TRUE(copy.empty());
    grid.putRow(2, std::move(taken));
    EXPECT_EQ(grid.cellText(3, 2), "長い");
    // A narrower grid keeps only the texts it has columns for.
    StringGrid narrow(2, 1);
    narrow.putRow(0, grid.copyOfRow(2));
    EXPECT_EQ(narrow.cellText(0, 0), "a");
    EXPECT_EQ(grid.cellText(0, 2), "a");
    // Rows of a bulk fill leave as their own blocks and outlive a clear.
    StringGrid filled(2, 2);
    {
        StringGrid::BulkFill fill(filled, 64);
        const std::string_view texts[] = {"x", "y"};
        filled.fillRow(0, texts);
    }
    StringGrid::TakenRow carved = filled.takeRow(0);
    filled.clearCells();
    EXPECT_EQ(carved.cell(1), "y");
}

} // namespace
} // namespace tabulix
