#include "table/FixedColumn.h"
#include "table/Table.h"
#include "table/TableLayout.h"
#include "csv/TableLoader.h"

#include <gtest/gtest.h>

namespace tabulix {
namespace {

const ResetMetrics kMetrics{7.0, 21, 25, false};

TEST(FillTable, RowsNumberedAndColumnsFromTheWidestRecord) {
    Table t;
    const auto n = FillTable(t, "a,b,c\r\n1,2,3,4,5\r\nx,y\r\n", Separator::of(','), kMetrics, {});
    EXPECT_EQ(n, 3u);
    const StringGrid& g = t.grid;
    EXPECT_EQ(g.rowCount(), 4);
    EXPECT_EQ(g.colCount(), 7);
    EXPECT_EQ(g.cell(0, 3), "3");
    EXPECT_EQ(g.cell(6, 0), "5");
    EXPECT_EQ(g.cell(6, 2), "5");
    EXPECT_EQ(g.cell(4, 3), "");
    EXPECT_EQ(t.rowRecords.size(), 4u);
    EXPECT_EQ(t.colRecords.size(), 7u);
}

TEST(FillTable, EmptyTextGivesOneEmptyCell) {
    Table t;
    EXPECT_EQ(FillTable(t, "", Separator::of(','), kMetrics, {}), 0u);
    EXPECT_EQ(t.grid.rowCount(), 2);
    EXPECT_EQ(t.grid.colCount(), 3);
    EXPECT_EQ(t.grid.cell(2, 1), "");
}

TEST(FillTable, BlankLineGivesAnEmptyRowAndNoSeparatorKeepsLines) {
    Table t;
    FillTable(t, "a b\r\n   \r\nc", Separator::of(' '), kMetrics, {});
    EXPECT_EQ(t.grid.rowCount(), 4);
    EXPECT_TRUE(t.grid.cell(2, 2).empty());
    EXPECT_EQ(t.grid.cell(0, 2), "2");
    FillTable(t, "a,b\nc", Separator::none(), kMetrics, {});
    EXPECT_EQ(t.grid.colCount(), 3);
    EXPECT_EQ(t.grid.cell(2, 1), "a,b");
}

TEST(FillTable, ProgressAtEveryThousandthRecord) {
    std::string text;
    for (int i = 0; i < 2500; ++i)
        text += "r" + std::to_string(i) + "\r\n";
    std::vector<std::pair<std::size_t, std::size_t>> calls;
    Table t;
    FillTable(t, text, Separator::of(','), kMetrics,
              [&](std::size_t done, std::size_t total) { calls.emplace_back(done, total); });
    const std::vector<std::pair<std::size_t, std::size_t>> expected{
        {1, 2500}, {1001, 2500}, {2001, 2500}};
    EXPECT_EQ(calls, expected);
    EXPECT_EQ(t.grid.cell(0, 2500), "2,500");
}

// Row numbers are counted up rather than formatted one by one; they must
// read as RowNumberText writes them, also where a digit or a separator is
// added.
TEST(FillTable, RowNumbersAcrossNewDigits) {
    std::string text;
    for (int i = 0; i < 10001; ++i)
        text += "r\r\n";
    Table t;
    ASSERT_EQ(FillTable(t, text, Separator::of(','), kMetrics, {}), 10001u);
    for (int r = 1; r <= 10001; ++r)
        ASSERT_EQ(t.grid.cell(0, r), RowNumberText(r)) << r;
    EXPECT_EQ(t.grid.cell(0, 10001), "10,001");
}

// Numbered and with the fixed column as the view will lay them out, so that
// the layout after the load leaves every loaded row alone.
TEST(FillTable, FixedColumnsAreFilledAsTheLayoutWillHaveThem) {
    const std::string text = "h1,H\r\nh2\r\na, x \r\nb,y\r\nc,z\r\n";
    for (const LoadedRowLayout layout :
         {LoadedRowLayout{{false, 2}, 0}, LoadedRowLayout{{true, 2}, 2},
          LoadedRowLayout{{false, 9}, 1}}) {
        Table t;
        FillTable(t, text, Separator::of(','), kMetrics, {}, layout);
        int changes = 0;
        t.grid.setChangeListener([&](StringGrid::Change) { ++changes; });
        const RowNumbering& n = layout.numbering;
        RenumberRows(t.grid, RowNumbering{n.fromFixedRows, std::min(n.headerRows, 5)});
        FillFixedColumn(t.grid, layout.fixedColumn);
        EXPECT_EQ(changes, 0) << n.headerRows << " " << layout.fixedColumn;
    }
    Table t;
    FillTable(t, text, Separator::of(','), kMetrics, {}, LoadedRowLayout{{false, 2}, 2});
    const std::vector<std::string> numbers{"", "", "1", "2", "3"};
    const std::vector<std::string> fixed{" H", " ", " x", " y", " z"};
    for (int r = 1; r <= 5; ++r) {
        EXPECT_EQ(t.grid.cell(0, r), numbers[r - 1]) << r;
        EXPECT_EQ(t.grid.cell(1, r), fixed[r - 1]) << r;
    }
}

// The loaded rows take edits, row moves and deletions, and a second load
// replaces them.
TEST(FillTable, LoadedRowsAreEditableAndReloadable) {
    Table t;
    FillTable(t, "a,b\r\n\"c \"\"d\"\"\",e\r\nf,g\r\n", Separator::of(','), kMetrics, {});
    EXPECT_EQ(t.grid.cell(2, 2), "c \"d\"");
    t.grid.setCell(3, 1, "edited");
    t.grid.moveRow(3, 1);
    t.grid.deleteRows(2, 1);
    ASSERT_EQ(t.grid.rowCount(), 3);
    EXPECT_EQ(t.grid.cell(2, 1), "f");
    EXPECT_EQ(t.grid.cell(3, 2), "e");
    FillTable(t, "x\r\n", Separator::of(','), kMetrics, {});
    EXPECT_EQ(t.grid.rowCount(), 2);
    EXPECT_EQ(t.grid.cell(2, 1), "x");
    EXPECT_EQ(t.grid.cell(0, 1), "1");
}

} // namespace
} // namespace tabulix

#include "csv/CsvWriter.h"
#include "csv/FileReading.h"

#include <filesystem>
#include <random>

namespace tabulix {
namespace {

std::string randomCell(std::mt19937& rng) {
    static const char* const pieces[] = {"a",    "\"", ",", "\t", " ", "\r\n", "\n",  "\r",
                                         "漢字", "ｶﾅ", "😀", "|",  ";", "x y",  "\"\""};
    std::string cell;
    const int n = static_cast<int>(rng() % 5);
    for (int i = 0; i < n; ++i)
        cell += pieces[rng() % std::size(pieces)];
    return cell;
}

// Any table saved with a separator and read back with it gives its cells back.
TEST(RoundTrip, SavedTablesReadBackCellForCell) {
    const auto file = std::filesystem::temp_directory_path() / "tabulix-round-trip.csv";
    std::mt19937 rng(7);
    for (const SeparatorEntry& entry : separatorTable()) {
        if (entry.separator.isNone()) continue;
        for (int round = 0; round < 5; ++round) {
            Table original;
            ResetTable(original, 4, 6, kMetrics);
            for (int r = 1; r <= 6; ++r)
                for (int c = 2; c < 6; ++c)
                    original.grid.setCell(c, r, randomCell(rng));
            original.grid.setCell(5, 6, "end"); // keeps the width of the last row
            ASSERT_EQ(WriteTable(original.grid, file.string(), entry.separator, TextEncoding::Utf8),
                      WriteTableResult::Ok);
            const auto text = ReadTextFile(file.string());
            ASSERT_TRUE(text);
            Table back;
            FillTable(back, text->text(), entry.separator, kMetrics, {});
            ASSERT_EQ(back.grid.rowCount(), 7) << entry.name;
            for (int r = 1; r <= 6; ++r)
                for (int c = 2; c < 6; ++c)
                    EXPECT_EQ(back.grid.cell(c, r), original.grid.cell(c, r))
                        << "separator " << entry.name << " row " << r << " col " << c;
        }
    }
    std::filesystem::remove(file);
}

} // namespace
} // namespace tabulix
