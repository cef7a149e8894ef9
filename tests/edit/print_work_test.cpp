// What the print entries hand to the preview.
#include "EditFixture.h"

#include "edit/PrintWork.h"

namespace tabulix {
namespace {

std::vector<std::string> column(const StringGrid& g, int c) {
    std::vector<std::string> out;
    for (int r = 0; r < g.rowCount(); ++r)
        out.push_back(g.cellText(c, r));
    return out;
}

TEST(PrintWork, RowsColumnsAndRangesKeepTheFixedLines) {
    EditBench b(4, 10); // data rows 1..10, row 1 fixed as a header row
    StringGrid& g = b.table.grid;
    g.setFixedRows(2);
    StringGrid work;
    BuildRowsWork(g, {5, 6, 7, 8, 9}, work);
    EXPECT_EQ(column(work, 0), (std::vector<std::string>{"No.", "1", "5", "6", "7", "8", "9"}));
    EXPECT_EQ(work.rowHeight(2), g.rowHeight(5));
    EXPECT_EQ(work.fixedRows(), 2);
    BuildRowsWork(g, {1}, work); // a fixed row alone adds nothing
    EXPECT_EQ(work.rowCount(), 2);

    BuildColumnsWork(g, {3, 5}, work);
    EXPECT_EQ(work.colCount(), 4);
    EXPECT_EQ(work.cellText(3, 4), "r4c4");
    EXPECT_EQ(work.colWidth(3), g.colWidth(5));

    BuildRangeWork(g, 4, 3, 5, 4, work);
    EXPECT_EQ(work.colCount(), 4);
    EXPECT_EQ(work.rowCount(), 4);
    EXPECT_EQ(work.cellText(2, 2), "r3c3");
    EXPECT_EQ(work.cellText(3, 3), "r4c4");
    EXPECT_EQ(work.cellText(0, 3), "4");

    EXPECT_EQ(TablePrintTitles(" /d/a.csv ")[0], "File.Name:  /d/a.csv");
    EXPECT_EQ(SingleRowPrintTitles("/d/a.csv", 12)[1], "  行No.  :  12");
}

TEST(PrintWork, SuppressedColumnsArePrintedAtWidthZeroAndWidthsComeBack) {
    EditBench b(4, 120);
    Table& t = b.table;
    t.colRecords[3].visible = false;
    const int before = t.grid.colWidth(3);
    PreparePrintWidths(t, 7.0, false);
    EXPECT_EQ(t.grid.colWidth(3), 0);
    EXPECT_EQ(t.grid.colWidth(0), 7 * 5); // "120" plus two
    EXPECT_EQ(t.grid.colWidth(1), 0);     // no fixed column chosen
    RestorePrintWidths(t);
    EXPECT_EQ(t.grid.colWidth(3), before);

    StringGrid work;
    BuildColumnsWork(t.grid, {3, 4}, work);
    PrepareWorkForPrint(work, t, 7.0, true);
    EXPECT_EQ(work.colWidth(2), 0); // table column 3, suppressed
    EXPECT_GT(work.colWidth(3), 0);
    EXPECT_GT(work.colWidth(1), 0);

    StringGrid vert(3, 2);
    vert.setColWidth(2, 500);
    vert.setCell(2, 1, "abc");
    BuildSingleRowWork(vert, work, 7.0);
    EXPECT_EQ(work.colWidth(2), 35);
}

} // namespace
} // namespace tabulix
