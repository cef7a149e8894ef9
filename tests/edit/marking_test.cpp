// Marks on rows and columns and the marked data built from them.
#include "EditFixture.h"
#include "TestFiles.h"

#include "edit/LineCommands.h"
#include "edit/Marking.h"

namespace tabulix {
namespace {

std::vector<std::string> rowTexts(const StringGrid& g, int row) {
    std::vector<std::string> out;
    for (int c = 0; c < g.colCount(); ++c)
        out.push_back(g.cellText(c, row));
    return out;
}

// Table rows 1..8, columns 2..6 ("r<r>c<c>"), row 1 a fixed header row.
TEST(Marking, MarkedDataKeepsTheHeadersAndTheChosenLines) {
    struct Case {
        std::vector<int> rows;
        std::vector<int> cols;
        std::vector<std::string> secondRow; // the first chosen data row
        int rowCount;
        int colCount;
    };
    const Case cases[] = {
        {{3, 7}, {}, {"3", "", "r3c1", "r3c2", "r3c3", "r3c4", "r3c5"}, 4, 7},
        {{}, {3, 5}, {"2", "", "r2c2", "r2c4"}, 9, 4},
        {{3, 7}, {5}, {"3", "", "r3c4"}, 4, 3},
    };
    for (const Case& c : cases) {
        EditBench b(5, 8);
        b.table.grid.setFixedRows(2);
        for (int r : c.rows)
            FlipRowMark(b.table, r);
        for (int col : c.cols)
            FlipColumnMark(b.table, col);
        StringGrid work(1, 1);
        ASSERT_TRUE(BuildMarkedData(b.table, work));
        EXPECT_EQ(work.rowCount(), c.rowCount);
        EXPECT_EQ(work.colCount(), c.colCount);
        EXPECT_EQ(work.fixedRows(), 2);
        EXPECT_EQ(rowTexts(work, 2), c.secondRow);
        // Column numbers and widths as the table has them.
        const int firstCol = c.cols.empty() ? 2 : c.cols[0];
        EXPECT_EQ(work.cellText(2, 0), b.table.grid.cellText(firstCol, 0));
        EXPECT_EQ(work.colWidth(2), b.table.grid.colWidth(firstCol));
    }
    EditBench none(3, 3);
    StringGrid work(1, 1);
    EXPECT_FALSE(BuildMarkedData(none.table, work));
}

TEST(Marking, CommandsFollowTheSelectionAndMarksTravelWithRows) {
    EditBench b(4, 8);
    b.host.selected = CellRange{2, 3, 5, 4};
    MarkRows(b.session, MarkAction::Set);
    EXPECT_TRUE(b.table.rowRecords[3].marked);
    EXPECT_TRUE(b.table.rowRecords[4].marked);
    b.host.selected = CellRange{3, 1, 4, 8};
    MarkColumns(b.session, MarkAction::Set);
    EXPECT_EQ(b.table.markedColCount, 2);

    // A copied row is marked like its source.
    b.rowRange(3, 3);
    b.clickRow(3);
    b.host.confirm[static_cast<int>(ConfirmItem::Copy)] = false;
    CopyLines(b.session, Axis::Rows, CopyWording::Selection);
    EXPECT_TRUE(b.table.rowRecords[3].marked);
    EXPECT_TRUE(b.table.rowRecords[4].marked);

    b.dialogs.answer(Answer::No);
    MarkRows(b.session, MarkAction::ClearAll);
    EXPECT_EQ(b.dialogs.messages().back(),
              "すべての 【 行 】のマーキングを解除します。\r\n\r\nよろしいですか？");
    EXPECT_TRUE(b.table.rowRecords[3].marked);
    b.dialogs.answer(Answer::Yes);
    MarkColumns(b.session, MarkAction::ClearAll);
    EXPECT_EQ(b.table.markedColCount, 0);

    // Saved: the header row and the marked rows, all columns.
    const auto dir = makeTemporaryFolder("tabulix-marks");
    std::string selectFile;
    StringGrid work(1, 1);
    b.dialogs.answerFile((dir / "marks").string());
    SaveMarkedData(b.session, work, selectFile, "", dir.string(), TextEncoding::Utf8);
    EXPECT_EQ(b.dialogs.shown().back().text,
              "マーキングされたデータを指定のファイル名で保存します。");
    EXPECT_EQ(selectFile, (dir / "marks.csv").string());
    EXPECT_EQ(readBytes(selectFile), "r3c1,r3c2,r3c3,r3c4\r\nr3c1,r3c2,r3c3,r3c4\r\nr4c1,r4c2,r4c3,r4c4\r\n");
    std::filesystem::remove_all(dir);
}

} // namespace
} // namespace tabulix
