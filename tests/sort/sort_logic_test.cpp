#include "sort/RowSort.h"
#include "sort/SortLists.h"
#include "table/Table.h"
#include "table/TableLayout.h"
#include "text/TextHelpers.h"

#include <QCollator>
#include <QString>

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>

#include <string>
#include <vector>

namespace tabulix {
namespace {

using Texts = std::vector<std::string>;

// A table of the given data rows below one header row (row 1 fixed).
Table makeTable(const std::vector<Texts>& rows, int headerRows = 0) {
    Table table;
    const int cols = rows.empty() ? 1 : static_cast<int>(rows.front().size());
    ResetTable(table, cols, static_cast<int>(rows.size()), ResetMetrics{});
    for (std::size_t r = 0; r < rows.size(); ++r)
        for (std::size_t c = 0; c < rows[r].size(); ++c)
            table.grid.setCell(kFirstDataCol + static_cast<int>(c), static_cast<int>(r) + 1,
                               rows[r][c]);
    ApplyFixedRows(table.grid, headerRows);
    return table;
}

Texts column(const Table& table, int dataCol) {
    Texts out;
    for (int r = 1; r < table.grid.rowCount(); ++r)
        out.push_back(table.grid.cellText(kFirstDataCol + dataCol, r));
    return out;
}

bool sortRows(Table& table, std::vector<int> keyCols) {
    const auto order = SortedRowOrder(table.grid, keyCols, {});
    if (!order) return false;
    ApplyRowOrder(table, *order);
    return true;
}

struct RowSortCase {
    const char* what;
    std::vector<Texts> rows;
    std::vector<int> keys; // data columns
    int headerRows;
    Texts firstColumnAfter;
};

class RowSortCases : public ::testing::TestWithParam<RowSortCase> {};

TEST_P(RowSortCases, SortsAscendingByTextStably) {
    const RowSortCase& c = GetParam();
    Table table = makeTable(c.rows, c.headerRows);
    std::vector<int> keys;
    for (int k : c.keys)
        keys.push_back(kFirstDataCol + k);
    ASSERT_TRUE(sortRows(table, keys));
    EXPECT_EQ(column(table, 0), c.firstColumnAfter) << c.what;
}

const Texts kNumbers = {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12"};

INSTANTIATE_TEST_SUITE_P(
    Cases, RowSortCases,
    ::testing::Values(
        RowSortCase{
            "numbers as text", {{"a", "2"}, {"b", "10"}, {"c", "9"}}, {1}, 0, {"b", "a", "c"}},
        // Rows 9 and 10 tie: the earlier row stays first, whatever its number's digits.
        RowSortCase{"letter case ignored, stable",
                    {{"r1", "x"},
                     {"r2", "x"},
                     {"r3", "x"},
                     {"r4", "x"},
                     {"r5", "x"},
                     {"r6", "x"},
                     {"r7", "x"},
                     {"r8", "x"},
                     {"r9", "abc"},
                     {"r10", "ABC"},
                     {"r11", "Abc"}},
                    {1},
                    0,
                    {"r9", "r10", "r11", "r1", "r2", "r3", "r4", "r5", "r6", "r7", "r8"}},
        RowSortCase{"blanks around a key ignored",
                    {{"a", "  b "}, {"b", "a"}, {"c", "\tc"}},
                    {1},
                    0,
                    {"b", "a", "c"}},
        RowSortCase{"second key decides ties of the first",
                    {{"a", "1", "z"}, {"b", "0", "y"}, {"c", "1", "a"}, {"d", "0", "b"}},
                    {1, 2},
                    0,
                    {"d", "b", "c", "a"}},
        RowSortCase{"keys in list order, not column order",
                    {{"a", "1", "z"}, {"b", "0", "y"}, {"c", "1", "a"}, {"d", "0", "b"}},
                    {2, 1},
                    0,
                    {"c", "d", "b", "a"}},
        RowSortCase{"a shorter key sorts before its extension",
                    {{"a", "abc"}, {"b", "ab"}, {"c", ""}, {"d", "abd"}},
                    {1},
                    0,
                    {"c", "b", "a", "d"}},
        RowSortCase{"fixed rows stay in place",
                    {{"head", "名前"}, {"a", "う"}, {"b", "あ"}, {"c", "い"}},
                    {1},
                    1,
                    {"head", "b", "c", "a"}},
        RowSortCase{"all rows but one fixed: nothing changes",
                    {{"x", "b"}, {"y", "a"}},
                    {1},
                    5,
                    {"x", "y"}}));

TEST(RowSort, RecordsHeightsAndNumbersTravelWithTheirRows) {
    Table table = makeTable({{"c"}, {"a"}, {"b"}});
    RenumberRows(table.grid, RowNumbering{});
    table.rowRecords[1].marked = true; // "c"
    table.grid.setRowHeight(1, 40);
    ASSERT_TRUE(sortRows(table, {kFirstDataCol}));
    EXPECT_EQ(column(table, 0), (Texts{"a", "b", "c"}));
    EXPECT_EQ(
        (Texts{table.grid.cellText(0, 1), table.grid.cellText(0, 2), table.grid.cellText(0, 3)}),
        (Texts{"1", "2", "3"}));
    EXPECT_FALSE(table.rowRecords[1].marked);
    EXPECT_TRUE(table.rowRecords[3].marked);
    EXPECT_EQ(table.grid.rowHeight(3), 40);
    EXPECT_EQ(table.grid.rowHeight(1), table.grid.defaultRowHeight());
}

// Against a plain stable sort that compares the texts themselves, on
// tables of few distinct texts (shared keys) and of mostly different ones.
TEST(RowSort, AgreesWithAStableSortOfTheTexts) {
    const QCollator collator = SortCollator();
    for (const int distinct : {5, 300, 1000000}) {
        std::mt19937 rng(static_cast<unsigned>(distinct));
        const char* const pieces[] = {"a", "B", "b", "あ", "ア", "10", "9", " ", "ｶ", "-"};
        std::vector<Texts> rows;
        for (int r = 0; r < 20000; ++r) {
            Texts row;
            for (int k = 0; k < 2; ++k) {
                std::mt19937 pick(static_cast<unsigned>(rng() % distinct));
                std::string text;
                for (unsigned n = pick() % 4 + 1; n > 0; --n)
                    text += pieces[pick() % 10];
                row.push_back(text);
            }
            rows.push_back(row);
        }
        Table table = makeTable(rows);
        const std::vector<int> keys{kFirstDataCol + 1, kFirstDataCol};
        const auto order = SortedRowOrder(table.grid, keys, {});
        ASSERT_TRUE(order.has_value());
        std::vector<int> expected(rows.size());
        std::iota(expected.begin(), expected.end(), 1);
        auto text = [&](int row, int col) {
            return QString::fromStdString(std::string(TrimBlanks(table.grid.cell(col, row))));
        };
        std::stable_sort(expected.begin(), expected.end(), [&](int a, int b) {
            for (int col : keys)
                if (const int c = collator.compare(text(a, col), text(b, col)); c != 0)
                    return c < 0;
            return false;
        });
        EXPECT_EQ(*order, expected) << distinct;
    }
}

TEST(RowSort, AStopLeavesTheTableUnchanged) {
    std::vector<Texts> rows;
    for (int r = 0; r < 5000; ++r)
        rows.push_back({std::to_string(5000 - r)});
    Table table = makeTable(rows);
    int calls = 0;
    const auto order = SortedRowOrder(table.grid, std::vector<int>{kFirstDataCol},
                                      [&](std::string_view step, long long, long long) {
                                          EXPECT_EQ(step, "Step 1");
                                          return ++calls < 2;
                                      });
    EXPECT_FALSE(order.has_value());
    EXPECT_EQ(table.grid.cellText(kFirstDataCol, 1), "5000");
}

TEST(KeyColumnMove, KeysGoToTheFrontInKeyOrderWithWidthsAndRecords) {
    Table table = makeTable({{"a", "b", "c", "d", "e"}, {"a2", "b2", "c2", "d2", "e2"}});
    RenumberColumns(table.grid);
    for (int c = kFirstDataCol; c < table.grid.colCount(); ++c) {
        table.grid.setColWidth(c, 10 * c);
        table.colRecords[c].width = 10 * c;
    }
    table.colRecords[kFirstDataCol + 3].visible = false;
    std::vector<std::string> steps;
    MoveKeyColumns(table, std::vector<int>{kFirstDataCol + 3, kFirstDataCol + 1},
                   [&](std::string_view step, long long i, long long total) {
                       steps.push_back(std::string(step) + " " + std::to_string(i) + "/" +
                                       std::to_string(total));
                       return true;
                   });
    Texts first, numbers;
    for (int c = kFirstDataCol; c < table.grid.colCount(); ++c) {
        first.push_back(table.grid.cellText(c, 1));
        numbers.push_back(table.grid.cellText(c, 0));
    }
    EXPECT_EQ(first, (Texts{"d", "b", "a", "c", "e"}));
    EXPECT_EQ(column(table, 1), (Texts{"b", "b2"}));
    EXPECT_EQ(numbers, (Texts{"1", "2", "3", "4", "5"}));
    EXPECT_EQ(table.grid.colWidth(kFirstDataCol), 10 * (kFirstDataCol + 3));
    EXPECT_FALSE(table.colRecords[kFirstDataCol].visible);
    EXPECT_EQ(table.colRecords[kFirstDataCol + 2].width, 10 * kFirstDataCol);
    EXPECT_EQ(steps, (std::vector<std::string>{"Last Step 1/2", "Last Step 2/2"}));
}

TEST(SortLists, ItemsNamesAndKeyColumns) {
    Table table = makeTable({{"番号", "氏名"}, {"1", "山田"}});
    table.grid.setColCount(kFirstDataCol + 10000);
    const auto items = ColumnListItems(table.grid, 1);
    ASSERT_EQ(items.size(), 10000u);
    EXPECT_EQ(items[0], "   1. 番号");
    EXPECT_EQ(items[1], "   2. 氏名");
    EXPECT_EQ(items[2], "   3. ");
    EXPECT_EQ(items[9999], "0000. "); // only the last four digits of 10000
    EXPECT_EQ(ColumnListItems(table.grid, 0)[0], "   1. ");
    EXPECT_EQ(ColumnListItems(table.grid, 9)[0], "   1. "); // no such row
    EXPECT_EQ(KeyColumnOfItem("  12. 名前. x", kFixedColCount), 13);
    EXPECT_EQ(KeyColumnOfItem("abc", kFixedColCount), -1);
}

TEST(SortLists, AddingKeysRefusesDuplicatesAndTheHundredAndFirst) {
    std::vector<std::string> keys;
    EXPECT_FALSE(AddSortKey(keys, "   1. a"));
    EXPECT_EQ(AddSortKey(keys, "   1. a"), "既に同じ列が選択されています。\r\n\r\n    ＞   1. a");
    for (int i = 2; i <= 100; ++i)
        EXPECT_FALSE(AddSortKey(keys, std::to_string(i)));
    EXPECT_EQ(AddSortKey(keys, "101"), "選択可能な列数は最大で 100 列です。");
    EXPECT_EQ(keys.size(), 100u);
}

TEST(SortLists, MovingAKeyPutsItWhereItWasDropped) {
    struct Case {
        int dragged, target;
        Texts after;
        int selected;
    };
    for (const Case& c :
         {Case{0, 2, {"b", "c", "a", "d"}, 2}, Case{3, 1, {"a", "d", "b", "c"}, 1},
          Case{1, -1, {"a", "c", "d", "b"}, 3}, Case{2, 2, {"a", "b", "c", "d"}, -1},
          Case{-1, 0, {"a", "b", "c", "d"}, -1}}) {
        std::vector<std::string> keys{"a", "b", "c", "d"};
        EXPECT_EQ(MoveSortKey(keys, c.dragged, c.target), c.selected);
        EXPECT_EQ(keys, c.after);
    }
}

} // namespace
} // namespace tabulix
