#include "table/StringGrid.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace tabulix {
namespace {

using Texts = std::vector<std::vector<std::string>>; // [row][col]

Texts contents(const StringGrid& grid) {
    Texts out(grid.rowCount(), std::vector<std::string>(grid.colCount()));
    for (int r = 0; r < grid.rowCount(); ++r)
        for (int c = 0; c < grid.colCount(); ++c)
            out[r][c] = grid.cellText(c, r);
    return out;
}

// Fills every cell with "c<col>r<row>" and gives row r the height r+1 and
// column c the width 10*(c+1), so that moves can be traced.
StringGrid tracedGrid(int cols, int rows) {
    StringGrid grid(cols, rows);
    for (int r = 0; r < rows; ++r) {
        grid.setRowHeight(r, r + 1);
        for (int c = 0; c < cols; ++c)
            grid.setCell(c, r, "c" + std::to_string(c) + "r" + std::to_string(r));
    }
    for (int c = 0; c < cols; ++c)
        grid.setColWidth(c, 10 * (c + 1));
    return grid;
}

std::vector<int> heights(const StringGrid& grid) {
    std::vector<int> out;
    for (int r = 0; r < grid.rowCount(); ++r)
        out.push_back(grid.rowHeight(r));
    return out;
}

std::vector<int> widths(const StringGrid& grid) {
    std::vector<int> out;
    for (int c = 0; c < grid.colCount(); ++c)
        out.push_back(grid.colWidth(c));
    return out;
}

// The row holding y by a linear scan over the heights.
int scanRowAt(const std::vector<int>& h, std::int64_t y) {
    std::int64_t top = 0;
    for (std::size_t r = 0; r < h.size(); ++r) {
        if (y >= top && y < top + h[r]) return static_cast<int>(r);
        top += h[r];
    }
    return -1;
}

void expectRowGeometry(const StringGrid& grid) {
    const std::vector<int> h = heights(grid);
    std::int64_t top = 0;
    for (int r = 0; r < grid.rowCount(); ++r) {
        ASSERT_EQ(grid.rowTop(r), top) << "row " << r;
        top += h[r];
    }
    ASSERT_EQ(grid.totalHeight(), top);
    for (std::int64_t y = -2; y <= top + 2; ++y)
        ASSERT_EQ(grid.rowAt(y), scanRowAt(h, y)) << "y " << y;
}

// ---- cells ------------------------------------------------------------------

TEST(StringGridCells, KeepsUtf8AndEmptyTextsExactly) {
    StringGrid grid(4, 3);
    const std::vector<std::string> texts = {"日本語", "", "ｱｲｳ\r\nabc", "😀x"};
    for (int c = 0; c < 4; ++c)
        grid.setCell(c, 1, texts[c]);
    for (int c = 0; c < 4; ++c)
        EXPECT_EQ(grid.cell(c, 1), texts[c]);
    EXPECT_EQ(grid.textBytes(), 9u + 14u + 5u);
    EXPECT_TRUE(grid.rowIsEmpty(0));
    EXPECT_FALSE(grid.rowIsEmpty(1));
    EXPECT_TRUE(grid.rowHasControlChars(1));
    EXPECT_FALSE(grid.rowHasControlChars(0));
    EXPECT_FALSE(grid.rowHasControlChars(3));

    grid.setCell(2, 1, "");
    EXPECT_EQ(grid.cell(2, 1), "");
    EXPECT_EQ(grid.cell(3, 1), "😀x");
    EXPECT_FALSE(grid.rowHasControlChars(1));
    grid.setCell(0, 1, "");
    grid.setCell(3, 1, "");
    EXPECT_TRUE(grid.rowIsEmpty(1));
    EXPECT_EQ(grid.textBytes(), 0u);
}

TEST(StringGridCells, OverwritesAtEveryPosition) {
    StringGrid grid(3, 1);
    const std::vector<std::string> row = {"a", "bb", "ccc"};
    grid.setRow(0, row);
    grid.setCell(1, 0, "長い長いテキスト");
    grid.setCell(0, 0, "");
    grid.setCell(2, 0, "z");
    EXPECT_EQ(contents(grid), (Texts{{"", "長い長いテキスト", "z"}}));
}

TEST(StringGridCells, OutOfRangeIsSafe) {
    StringGrid grid(2, 2);
    grid.setCell(0, 0, "x");
    int calls = 0;
    grid.setChangeListener([&](StringGrid::Change) { ++calls; });
    for (auto [c, r] : std::vector<std::pair<int, int>>{{-1, 0}, {0, -1}, {2, 0}, {0, 2}}) {
        EXPECT_EQ(grid.cell(c, r), "");
        grid.setCell(c, r, "y");
    }
    for (int i : {-1, 2, 1000}) {
        EXPECT_EQ(grid.colWidth(i), 0);
        EXPECT_EQ(grid.rowHeight(i), 0);
    }
    grid.setRow(-1, std::vector<std::string>{"a"});
    grid.setRow(2, std::vector<std::string>{"a"});
    grid.setRowHeight(5, 3);
    grid.setColWidth(-3, 3);
    grid.moveRow(0, 2);
    grid.moveCol(-1, 0);
    grid.deleteRows(2, 1);
    grid.insertCols(3, 1);
    EXPECT_TRUE(grid.rowIsEmpty(-1));
    EXPECT_TRUE(grid.rowIsEmpty(7));
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(contents(grid), (Texts{{"x", ""}, {"", ""}}));
}

TEST(StringGridCells, SetRowShorterOrLongerThanTheColumns) {
    StringGrid grid(3, 2);
    grid.setRow(0, std::vector<std::string>{"a", "b", "c"});
    grid.setRow(0, std::vector<std::string>{"ä"});
    EXPECT_EQ(contents(grid)[0], (std::vector<std::string>{"ä", "", ""}));

    const std::vector<std::string_view> views = {"1", "", "3", "4", "5"};
    grid.setRow(1, views);
    EXPECT_EQ(contents(grid)[1], (std::vector<std::string>{"1", "", "3"}));
    EXPECT_EQ(grid.textBytes(), 2u + 2u); // "4" and "5" are not stored

    grid.setRow(1, std::vector<std::string>{"", ""});
    EXPECT_TRUE(grid.rowIsEmpty(1));
}

TEST(StringGridCells, ShrinkThenGrowShowsEmptyCells) {
    StringGrid grid = tracedGrid(4, 4);
    grid.setColCount(2);
    grid.setRowCount(3);
    EXPECT_EQ(grid.textBytes(), 6u * 4u);
    grid.setColCount(4);
    grid.setRowCount(4);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_EQ(grid.cell(c, r).empty(), c >= 2 || r >= 3) << c << "," << r;
    EXPECT_EQ(widths(grid), (std::vector<int>{10, 20, 64, 64}));
    EXPECT_EQ(heights(grid), (std::vector<int>{1, 2, 3, 24}));
}

TEST(StringGridCells, ClearCellsKeepsCountsAndSizes) {
    StringGrid grid = tracedGrid(3, 3);
    grid.clearCells();
    EXPECT_EQ(contents(grid), Texts(3, std::vector<std::string>(3)));
    EXPECT_EQ(grid.textBytes(), 0u);
    EXPECT_EQ(heights(grid), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(widths(grid), (std::vector<int>{10, 20, 30}));
}

// ---- counts and sizes -------------------------------------------------------

TEST(StringGridCounts, FixedCountsStayBelowTheCounts) {
    struct Case {
        int cols, rows, fixedCols, fixedRows, wantCols, wantRows;
    };
    const Case cases[] = {
        {5, 5, 2, 3, 2, 3}, {5, 5, 5, 9, 4, 4}, {5, 5, -1, -7, 0, 0},
        {1, 1, 1, 1, 0, 0}, {0, 0, 3, 3, 0, 0}, {2, 8, 1, 7, 1, 7},
    };
    for (const Case& c : cases) {
        StringGrid grid(c.cols, c.rows);
        grid.setFixedCols(c.fixedCols);
        grid.setFixedRows(c.fixedRows);
        EXPECT_EQ(grid.fixedCols(), c.wantCols) << c.cols << "x" << c.rows;
        EXPECT_EQ(grid.fixedRows(), c.wantRows) << c.cols << "x" << c.rows;
    }
    EXPECT_EQ(StringGrid(1, 1).fixedRows(), 0);
    EXPECT_EQ(StringGrid().fixedCols(), 1);
}

TEST(StringGridCounts, FixedCountsShrinkWithTheCounts) {
    StringGrid grid(6, 6);
    grid.setFixedCols(4);
    grid.setFixedRows(5);
    grid.setRowCount(3);
    grid.deleteCols(0, 3);
    EXPECT_EQ(grid.fixedRows(), 2);
    EXPECT_EQ(grid.fixedCols(), 2);
    grid.deleteRows(0, 2);
    EXPECT_EQ(grid.fixedRows(), 0);
    grid.setRowCount(6);
    EXPECT_EQ(grid.fixedRows(), 0); // growing does not bring them back
}

TEST(StringGridCounts, NegativeCountsMeanEmpty) {
    StringGrid grid(-3, -1);
    EXPECT_EQ(grid.colCount(), 0);
    EXPECT_EQ(grid.rowCount(), 0);
    grid.setColCount(-5);
    EXPECT_EQ(grid.totalWidth(), 0);
    EXPECT_EQ(grid.rowAt(0), -1);
    EXPECT_EQ(grid.colAt(0), -1);
}

TEST(StringGridCounts, DefaultSizeAppliesToAllAndToLaterOnes) {
    StringGrid grid = tracedGrid(2, 2);
    grid.setDefaultRowHeight(17);
    grid.setDefaultColWidth(33);
    grid.setRowCount(3);
    grid.insertRows(0, 1);
    grid.insertCols(1, 1);
    grid.setColCount(4);
    EXPECT_EQ(heights(grid), std::vector<int>(4, 17));
    EXPECT_EQ(widths(grid), std::vector<int>(4, 33));
    EXPECT_EQ(grid.totalHeight(), 4 * 17);
    EXPECT_EQ(grid.colLeft(3), 3 * 33);
}

TEST(StringGridCounts, NegativeSizesBecomeZero) {
    StringGrid grid(2, 2);
    grid.setRowHeight(0, -5);
    grid.setColWidth(1, -5);
    EXPECT_EQ(grid.rowHeight(0), 0);
    EXPECT_EQ(grid.colWidth(1), 0);
    EXPECT_EQ(grid.rowTop(1), 0);
}

// ---- structure --------------------------------------------------------------

TEST(StringGridStructure, InsertAndDeleteRowsKeepTextsAndHeights) {
    StringGrid grid = tracedGrid(2, 4);
    grid.insertRows(1, 2);
    EXPECT_EQ(grid.rowCount(), 6);
    EXPECT_EQ(heights(grid), (std::vector<int>{1, 24, 24, 2, 3, 4}));
    EXPECT_EQ(grid.cell(1, 0), "c1r0");
    EXPECT_TRUE(grid.rowIsEmpty(1) && grid.rowIsEmpty(2));
    EXPECT_EQ(grid.cell(0, 3), "c0r1");
    grid.insertRows(6, 1); // at the end
    EXPECT_TRUE(grid.rowIsEmpty(6));

    grid.deleteRows(0, 2);
    EXPECT_EQ(heights(grid), (std::vector<int>{24, 2, 3, 4, 24}));
    EXPECT_EQ(grid.cell(0, 1), "c0r1");
    grid.deleteRows(3, 100); // clipped at the end
    EXPECT_EQ(grid.rowCount(), 3);
    EXPECT_EQ(grid.cell(1, 2), "c1r2");
    expectRowGeometry(grid);
}

TEST(StringGridStructure, InsertAndDeleteColsKeepTextsAndWidths) {
    StringGrid grid = tracedGrid(3, 2);
    grid.setCell(2, 1, ""); // a row with fewer stored cells than columns
    grid.insertCols(1, 2);
    EXPECT_EQ(contents(grid),
              (Texts{{"c0r0", "", "", "c1r0", "c2r0"}, {"c0r1", "", "", "c1r1", ""}}));
    EXPECT_EQ(widths(grid), (std::vector<int>{10, 64, 64, 20, 30}));
    grid.insertCols(5, 1);
    EXPECT_EQ(grid.colCount(), 6);
    EXPECT_EQ(grid.cell(5, 0), "");

    grid.deleteCols(0, 2);
    EXPECT_EQ(contents(grid), (Texts{{"", "c1r0", "c2r0", ""}, {"", "c1r1", "", ""}}));
    EXPECT_EQ(widths(grid), (std::vector<int>{64, 20, 30, 64}));
    grid.deleteCols(2, 50);
    EXPECT_EQ(contents(grid), (Texts{{"", "c1r0"}, {"", "c1r1"}}));
    EXPECT_EQ(grid.totalWidth(), 84);
}

struct MoveCase {
    int from, to;
    std::vector<int> order; // original index now at each position
};

const MoveCase kMoves[] = {
    {3, 0, {3, 0, 1, 2, 4}}, // to the front
    {0, 4, {1, 2, 3, 4, 0}}, // to the end
    {1, 2, {0, 2, 1, 3, 4}}, // forward by one
    {2, 1, {0, 2, 1, 3, 4}}, // backward by one
    {4, 0, {4, 0, 1, 2, 3}}, // last to front
    {2, 2, {0, 1, 2, 3, 4}}, // onto itself
};

TEST(StringGridStructure, MoveRowTakesTextAndHeight) {
    for (const MoveCase& m : kMoves) {
        StringGrid grid = tracedGrid(3, 5);
        grid.moveRow(m.from, m.to);
        for (int r = 0; r < 5; ++r) {
            const std::string orig = std::to_string(m.order[r]);
            EXPECT_EQ(grid.cell(2, r), "c2r" + orig) << m.from << "->" << m.to;
            EXPECT_EQ(grid.rowHeight(r), m.order[r] + 1) << m.from << "->" << m.to;
        }
        expectRowGeometry(grid);
    }
}

TEST(StringGridStructure, MoveColTakesTextsAndWidth) {
    for (const MoveCase& m : kMoves) {
        StringGrid grid = tracedGrid(5, 3);
        // Short stored rows: row 1 ends after column 1, row 2 is empty.
        grid.setRow(1, std::vector<std::string>{"c0r1", "c1r1"});
        grid.setRow(2, std::vector<std::string>{});
        grid.moveCol(m.from, m.to);
        for (int c = 0; c < 5; ++c) {
            const int orig = m.order[c];
            EXPECT_EQ(grid.cell(c, 0), "c" + std::to_string(orig) + "r0");
            EXPECT_EQ(grid.cell(c, 1), orig < 2 ? "c" + std::to_string(orig) + "r1" : "");
            EXPECT_EQ(grid.colWidth(c), 10 * (orig + 1)) << m.from << "->" << m.to;
        }
        EXPECT_TRUE(grid.rowIsEmpty(2));
    }
}

// ---- geometry ---------------------------------------------------------------

TEST(StringGridGeometry, RowAtMatchesAScanOnRandomHeights) {
    std::mt19937 rng(20240611);
    std::uniform_int_distribution<int> height(0, 4); // many zero rows
    for (int rows : {0, 1, 2, 7, 64, 100, 257}) {
        StringGrid grid(1, rows);
        for (int r = 0; r < rows; ++r)
            grid.setRowHeight(r, height(rng));
        expectRowGeometry(grid);
        if (rows == 0) continue;

        // In-place height updates on a built index.
        for (int i = 0; i < 20; ++i)
            grid.setRowHeight(static_cast<int>(rng() % rows), height(rng));
        expectRowGeometry(grid);

        grid.insertRows(static_cast<int>(rng() % rows), 3);
        grid.setRowHeight(0, 0);
        expectRowGeometry(grid);
        grid.deleteRows(static_cast<int>(rng() % grid.rowCount()), 5);
        grid.moveRow(0, grid.rowCount() - 1);
        expectRowGeometry(grid);
    }
}

TEST(StringGridGeometry, AllRowsOfHeightZero) {
    StringGrid grid(1, 5);
    grid.setDefaultRowHeight(0);
    EXPECT_EQ(grid.totalHeight(), 0);
    EXPECT_EQ(grid.rowAt(0), -1);
    grid.setRowHeight(4, 3);
    EXPECT_EQ(grid.rowAt(0), 4);
    EXPECT_EQ(grid.rowAt(2), 4);
    EXPECT_EQ(grid.rowAt(3), -1);
}

TEST(StringGridGeometry, NewGridHasDefaultSizesAndClampedEdges) {
    StringGrid grid(2, 3);
    EXPECT_EQ(heights(grid), std::vector<int>(3, 24));
    EXPECT_EQ(widths(grid), std::vector<int>(2, 64));
    EXPECT_EQ(grid.colLeft(-1), 0);
    EXPECT_EQ(grid.colLeft(5), 128);
    EXPECT_EQ(grid.rowTop(-4), 0);
    EXPECT_EQ(grid.rowTop(3), 72);
    EXPECT_EQ(grid.rowTop(99), 72);
}

TEST(StringGridGeometry, ColAtSkipsZeroWidthColumns) {
    StringGrid grid(6, 1);
    for (int c = 0; c < 6; ++c)
        grid.setColWidth(c, std::vector<int>{0, 5, 0, 0, 3, 0}[c]);
    const std::vector<std::pair<std::int64_t, int>> probes = {
        {-1, -1}, {0, 1}, {4, 1}, {5, 4}, {7, 4}, {8, -1}, {100, -1},
    };
    for (auto [x, col] : probes)
        EXPECT_EQ(grid.colAt(x), col) << "x " << x;
    EXPECT_EQ(grid.colLeft(4), 5);
    EXPECT_EQ(grid.colLeft(5), 8);
    EXPECT_EQ(grid.totalWidth(), 8);

    grid.setColWidth(0, 2);
    EXPECT_EQ(grid.colAt(1), 0);
    EXPECT_EQ(grid.colAt(2), 1);
    grid.setDefaultColWidth(0);
    EXPECT_EQ(grid.colAt(0), -1);
}

// ---- copies and notifications -----------------------------------------------

TEST(StringGridCopy, CopiesAreIndependent) {
    StringGrid original = tracedGrid(3, 3);
    original.setFixedCols(2);
    int originalCalls = 0;
    original.setChangeListener([&](StringGrid::Change) { ++originalCalls; });

    StringGrid copy(original);
    copy.setCell(0, 0, "changed");
    copy.setRowHeight(0, 50);
    copy.deleteCols(1, 1);
    EXPECT_EQ(original.cell(0, 0), "c0r0");
    EXPECT_EQ(original.rowHeight(0), 1);
    EXPECT_EQ(original.colCount(), 3);
    EXPECT_EQ(originalCalls, 0); // the copy has no listener

    StringGrid target(1, 1);
    int targetCalls = 0;
    target.setChangeListener([&](StringGrid::Change) { ++targetCalls; });
    target = original;
    EXPECT_EQ(targetCalls, 1);
    EXPECT_EQ(contents(target), contents(original));
    EXPECT_EQ(heights(target), heights(original));
    EXPECT_EQ(widths(target), widths(original));
    EXPECT_EQ(target.fixedCols(), 2);
    target.setCell(1, 1, "x");
    EXPECT_EQ(original.cell(1, 1), "c1r1");
    EXPECT_EQ(targetCalls, 2);
    EXPECT_EQ(originalCalls, 0);
    expectRowGeometry(target);
}

TEST(StringGridCopy, MovedFromGridIsEmptyAndUsable) {
    StringGrid source = tracedGrid(2, 2);
    StringGrid moved(std::move(source));
    EXPECT_EQ(moved.cell(1, 1), "c1r1");
    EXPECT_EQ(source.rowCount(), 0); // NOLINT(bugprone-use-after-move)
    source.setColCount(1);
    source.setRowCount(1);
    source.setCell(0, 0, "ok");
    EXPECT_EQ(source.cell(0, 0), "ok");

    StringGrid target;
    target = std::move(moved);
    EXPECT_EQ(target.cell(0, 1), "c0r1");
    EXPECT_EQ(target.totalHeight(), 3);
}

TEST(StringGridNotify, ReportsTheKindOfChange) {
    using Change = StringGrid::Change;
    struct Case {
        const char* name;
        void (*apply)(StringGrid&);
        Change want;
    };
    const Case cases[] = {
        {"setCell", [](StringGrid& g) { g.setCell(1, 1, "x"); }, Change::Cells},
        {"setRow", [](StringGrid& g) { g.setRow(0, std::vector<std::string>{"a"}); },
         Change::Cells},
        {"clearCells", [](StringGrid& g) { g.clearCells(); }, Change::Cells},
        {"fillRow", [](StringGrid& g) { g.fillRow(0, std::vector<std::string_view>{"a"}); },
         Change::Cells},
        {"setColCount", [](StringGrid& g) { g.setColCount(2); }, Change::Geometry},
        {"setRowCount", [](StringGrid& g) { g.setRowCount(9); }, Change::Geometry},
        {"setFixedRows", [](StringGrid& g) { g.setFixedRows(2); }, Change::Geometry},
        {"setFixedCols", [](StringGrid& g) { g.setFixedCols(0); }, Change::Geometry},
        {"setColWidth", [](StringGrid& g) { g.setColWidth(0, 1); }, Change::Geometry},
        {"setRowHeight", [](StringGrid& g) { g.setRowHeight(0, 1); }, Change::Geometry},
        {"setDefaultColWidth", [](StringGrid& g) { g.setDefaultColWidth(9); }, Change::Geometry},
        {"setDefaultRowHeight", [](StringGrid& g) { g.setDefaultRowHeight(9); }, Change::Geometry},
        {"insertRows", [](StringGrid& g) { g.insertRows(1, 1); }, Change::Geometry},
        {"deleteRows", [](StringGrid& g) { g.deleteRows(1, 1); }, Change::Geometry},
        {"insertCols", [](StringGrid& g) { g.insertCols(1, 1); }, Change::Geometry},
        {"deleteCols", [](StringGrid& g) { g.deleteCols(1, 1); }, Change::Geometry},
        {"moveRow", [](StringGrid& g) { g.moveRow(0, 3); }, Change::Geometry},
        {"moveCol", [](StringGrid& g) { g.moveCol(3, 0); }, Change::Geometry},
    };
    for (const Case& c : cases) {
        StringGrid grid(4, 4);
        std::vector<Change> seen;
        grid.setChangeListener([&](Change change) { seen.push_back(change); });
        c.apply(grid);
        EXPECT_EQ(seen, std::vector<Change>{c.want}) << c.name;
    }
}

// ---- against a plain model --------------------------------------------------

// A deliberately naive grid: a full matrix of strings plus size arrays.
struct Model {
    Texts cells;
    std::vector<int> rowH, colW;
    int cols = 0;

    void resizeCols(int n) {
        for (auto& row : cells)
            row.resize(n);
        colW.resize(n, 64);
        cols = n;
    }
};

std::string randomText(std::mt19937& rng) {
    static const std::vector<std::string> pieces = {"", "a", "xyz", "日本", "ｶﾅ", "\r\n", "é"};
    std::string out;
    for (unsigned i = rng() % 3; i > 0; --i)
        out += pieces[rng() % pieces.size()];
    return out;
}

TEST(StringGridModel, RandomEditsMatchAPlainMatrix) {
    std::mt19937 rng(7);
    StringGrid grid(3, 4);
    Model model{Texts(4, std::vector<std::string>(3)), std::vector<int>(4, 24),
                std::vector<int>(3, 64), 3};
    auto pick = [&](int n) { return n > 0 ? static_cast<int>(rng() % n) : 0; };

    for (int step = 0; step < 3000; ++step) {
        const int rows = static_cast<int>(model.cells.size());
        const int cols = model.cols;
        switch (rng() % 10) {
        case 0:
        case 1: {
            const int c = pick(cols), r = pick(rows);
            const std::string text = randomText(rng);
            grid.setCell(c, r, text);
            if (r < rows && c < cols) model.cells[r][c] = text;
            break;
        }
        case 2: {
            const int r = pick(rows);
            std::vector<std::string> texts(pick(cols + 3));
            for (auto& t : texts)
                t = randomText(rng);
            grid.setRow(r, texts);
            if (r < rows) {
                texts.resize(cols);
                model.cells[r] = texts;
            }
            break;
        }
        case 3: {
            const int at = pick(rows + 1), n = pick(3);
            grid.insertRows(at, n);
            model.cells.insert(model.cells.begin() + at, n, std::vector<std::string>(cols));
            model.rowH.insert(model.rowH.begin() + at, n, 24);
            break;
        }
        case 4: {
            if (rows < 2) break;
            const int at = pick(rows), n = std::min(pick(3), rows - at);
            grid.deleteRows(at, n);
            model.cells.erase(model.cells.begin() + at, model.cells.begin() + at + n);
            model.rowH.erase(model.rowH.begin() + at, model.rowH.begin() + at + n);
            break;
        }
        case 5: {
            const int at = pick(cols + 1), n = pick(2);
            grid.insertCols(at, n);
            for (auto& row : model.cells)
                row.insert(row.begin() + at, n, std::string());
            model.colW.insert(model.colW.begin() + at, n, 64);
            model.cols += n;
            break;
        }
        case 6: {
            if (cols < 2) break;
            const int at = pick(cols), n = std::min(pick(2) + 1, cols - at);
            grid.deleteCols(at, n);
            for (auto& row : model.cells)
                row.erase(row.begin() + at, row.begin() + at + n);
            model.colW.erase(model.colW.begin() + at, model.colW.begin() + at + n);
            model.cols -= n;
            break;
        }
        case 7: {
            const int from = pick(rows), to = pick(rows);
            grid.moveRow(from, to);
            if (rows > 0) {
                auto row = std::move(model.cells[from]);
                model.cells.erase(model.cells.begin() + from);
                model.cells.insert(model.cells.begin() + to, std::move(row));
                const int h = model.rowH[from];
                model.rowH.erase(model.rowH.begin() + from);
                model.rowH.insert(model.rowH.begin() + to, h);
            }
            break;
        }
        case 8: {
            const int from = pick(cols), to = pick(cols);
            grid.moveCol(from, to);
            if (cols > 0) {
                for (auto& row : model.cells) {
                    std::string text = std::move(row[from]);
                    row.erase(row.begin() + from);
                    row.insert(row.begin() + to, std::move(text));
                }
                const int w = model.colW[from];
                model.colW.erase(model.colW.begin() + from);
                model.colW.insert(model.colW.begin() + to, w);
            }
            break;
        }
        default: {
            if (rng() % 2) {
                const int n = std::clamp(cols + pick(5) - 2, 1, 8);
                grid.setColCount(n);
                model.resizeCols(n);
            } else {
                const int r = pick(rows), h = pick(4);
                grid.setRowHeight(r, h);
                if (r < rows) model.rowH[r] = h;
            }
            break;
        }
        }
        ASSERT_EQ(contents(grid), model.cells) << "step " << step;
        ASSERT_EQ(heights(grid), model.rowH) << "step " << step;
        ASSERT_EQ(widths(grid), model.colW) << "step " << step;
        std::size_t bytes = 0;
        for (const auto& row : model.cells)
            for (const auto& text : row)
                bytes += text.size();
        ASSERT_EQ(grid.textBytes(), bytes) << "step " << step;
        if (step % 50 == 0) expectRowGeometry(grid);
    }
}

} // namespace
} // namespace tabulix

namespace tabulix {
namespace {

TEST(StringGridBatch, NotifiesOnceWhenTheOutermostBatchEnds) {
    StringGrid grid(3, 100);
    std::vector<StringGrid::Change> seen;
    grid.setChangeListener([&](StringGrid::Change c) { seen.push_back(c); });
    {
        StringGrid::Batch outer(grid);
        for (int r = 0; r < 100; ++r)
            grid.setCell(1, r, "x");
        {
            StringGrid::Batch inner(grid);
            grid.setRowHeight(5, 40);
        }
        EXPECT_TRUE(seen.empty());
    }
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0], StringGrid::Change::Geometry);
    seen.clear();
    {
        StringGrid::Batch batch(grid);
        grid.setCell(2, 2, "y");
    }
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0], StringGrid::Change::Cells);
    seen.clear();
    { StringGrid::Batch idle(grid); }
    EXPECT_TRUE(seen.empty());
}

} // namespace
} // namespace tabulix

namespace tabulix {
namespace {

// ---- bulk fill --------------------------------------------------------------

// Cell (c, r) of a generated table: traceable, padded with "x" to `size`.
std::string fillText(int c, int r, std::size_t size) {
    std::string text = "c" + std::to_string(c) + "r" + std::to_string(r);
    text.resize(std::max(size, text.size()), 'x');
    return text;
}

void fillRowOf(StringGrid& grid, int r, const std::vector<std::string>& texts) {
    const std::vector<std::string_view> views(texts.begin(), texts.end());
    grid.fillRow(r, views);
}

// Fills every cell of `grid` with fillText inside one bulk fill expecting
// `expected` bytes; returns what the grid should hold.
Texts bulkFill(StringGrid& grid, std::size_t cellSize, std::size_t expected) {
    Texts want(grid.rowCount(), std::vector<std::string>(grid.colCount()));
    const StringGrid::BulkFill fill(grid, expected);
    for (int r = 0; r < grid.rowCount(); ++r) {
        for (int c = 0; c < grid.colCount(); ++c)
            want[r][c] = fillText(c, r, cellSize);
        fillRowOf(grid, r, want[r]);
    }
    return want;
}

// Fewer cell reads than contents() for large grids, and one failure at most.
void expectCells(const StringGrid& grid, const Texts& want) {
    ASSERT_EQ(grid.rowCount(), static_cast<int>(want.size()));
    for (int r = 0; r < grid.rowCount(); ++r)
        for (int c = 0; c < grid.colCount(); ++c)
            ASSERT_EQ(grid.cell(c, r), want[r][c]) << c << "," << r;
}

TEST(StringGridFill, FilledRowsReadLikeSetRows) {
    const std::vector<std::vector<std::string>> rows = {{"日本語", "", "ｱｲｳ\r\nabc"},
                                                        {"", "", ""},
                                                        {"a", "", "", ""},
                                                        {"1", "2", "3", "4", "5"},
                                                        {}};
    StringGrid filled(3, 5);
    StringGrid set(3, 5);
    for (int r = 0; r < 5; ++r) {
        fillRowOf(filled, r, rows[r]);
        set.setRow(r, rows[r]);
    }
    EXPECT_EQ(contents(filled), contents(set));
    EXPECT_EQ(filled.textBytes(), set.textBytes());
    for (int r = 0; r < 5; ++r)
        EXPECT_EQ(filled.rowIsEmpty(r), set.rowIsEmpty(r)) << r;
    EXPECT_TRUE(filled.rowIsEmpty(1));
    fillRowOf(filled, 5, {"outside"}); // ignored, like setRow
    fillRowOf(filled, -1, {"outside"});
    EXPECT_EQ(contents(filled), contents(set));
}

// Offsets are 1, 2 or 4 bytes wide depending on the row's text length.
TEST(StringGridFill, OffsetWidthsAtTheirLimits) {
    for (const std::size_t total : {3, 255, 256, 65535, 65536, 70001}) {
        const std::vector<std::string> texts = {std::string(total - 2, 'a'), "b", "c"};
        StringGrid set(3, 1);
        set.setRow(0, texts);
        StringGrid filled(3, 1);
        fillRowOf(filled, 0, texts);
        const StringGrid copy(filled);
        for (const StringGrid* grid : {&std::as_const(set), &std::as_const(filled), &copy}) {
            EXPECT_EQ(grid->cell(0, 0), texts[0]) << total;
            EXPECT_EQ(grid->cell(1, 0), "b") << total;
            EXPECT_EQ(grid->cell(2, 0), "c") << total;
            EXPECT_EQ(grid->textBytes(), total);
        }
        filled.setCell(1, 0, "bb"); // one byte more can need wider offsets
        EXPECT_EQ(filled.cell(0, 0), texts[0]) << total;
        EXPECT_EQ(filled.cell(1, 0), "bb") << total;
        EXPECT_EQ(filled.cell(2, 0), "c") << total;
    }
}

TEST(StringGridFill, EditsAfterAFill) {
    StringGrid grid(4, 30);
    Texts want = bulkFill(grid, 6, 0);
    grid.setCell(2, 3, "changed");
    want[3][2] = "changed";
    grid.setCell(3, 4, "");
    want[4][3] = "";
    grid.setRow(5, std::vector<std::string>{"new"});
    want[5] = {"new", "", "", ""};
    ASSERT_EQ(contents(grid), want);

    // Column edits rebuild every row from its old block.
    grid.insertCols(1, 1);
    grid.moveCol(0, 4);
    grid.deleteCols(2, 1);
    for (auto& row : want) {
        row.insert(row.begin() + 1, std::string());
        std::string first = row[0];
        row.erase(row.begin());
        row.insert(row.begin() + 4, first);
        row.erase(row.begin() + 2);
    }
    EXPECT_EQ(contents(grid), want);
    grid.setColCount(2);
    for (auto& row : want)
        row.resize(2);
    EXPECT_EQ(contents(grid), want);
}

TEST(StringGridFill, DeletingMovingAndInsertingFilledRows) {
    StringGrid grid = tracedGrid(3, 12);
    Texts want = bulkFill(grid, 5, 0);
    grid.deleteRows(2, 3);
    want.erase(want.begin() + 2, want.begin() + 5);
    grid.moveRow(0, 6);
    std::rotate(want.begin(), want.begin() + 1, want.begin() + 7);
    grid.moveRow(8, 1);
    std::rotate(want.begin() + 1, want.begin() + 8, want.begin() + 9);
    grid.insertRows(3, 2);
    want.insert(want.begin() + 3, 2, std::vector<std::string>(3));
    EXPECT_EQ(contents(grid), want);
    grid.setRowCount(4);
    want.resize(4);
    grid.setRowCount(6);
    want.resize(6, std::vector<std::string>(3));
    EXPECT_EQ(contents(grid), want);
    grid.deleteRows(0, 6);
    EXPECT_EQ(grid.rowCount(), 0);
    EXPECT_EQ(grid.textBytes(), 0u);
}

TEST(StringGridFill, CopiesOfAFilledGridAreIndependent) {
    std::optional<StringGrid> original(std::in_place, 3, 20);
    const Texts want = bulkFill(*original, 7, 0);
    StringGrid copy(*original);
    StringGrid assigned(1, 1);
    assigned = *original;
    // Clearing drops the original's chunks; filling again reuses the rows.
    original->clearCells();
    bulkFill(*original, 3, 0);
    original.reset();
    EXPECT_EQ(contents(copy), want);
    EXPECT_EQ(contents(assigned), want);
    copy.setCell(1, 1, "x");
    EXPECT_EQ(assigned.cell(1, 1), want[1][1]);
    // A copy's rows are ordinary blocks: dropping them one by one is fine.
    copy.deleteRows(0, 10);
    assigned.setRowCount(0);
    EXPECT_EQ(copy.cell(0, 0), want[10][0]);
}

TEST(StringGridFill, MovesKeepFilledRows) {
    StringGrid source(2, 10);
    const Texts want = bulkFill(source, 4, 0);
    StringGrid moved(std::move(source));
    EXPECT_EQ(contents(moved), want);
    source.setColCount(1); // NOLINT(bugprone-use-after-move)
    source.setRowCount(1);
    fillRowOf(source, 0, {"again"});
    EXPECT_EQ(source.cell(0, 0), "again");

    StringGrid target(2, 3);
    bulkFill(target, 9, 0);
    target = std::move(moved); // the target's own chunks go
    EXPECT_EQ(contents(target), want);
    target.setCell(0, 0, "edited");
    EXPECT_EQ(target.cell(1, 0), want[0][1]);
}

TEST(StringGridFill, ClearCellsThenFillAgain) {
    StringGrid grid(5, 2000);
    const std::size_t emptyOverhead = grid.overheadBytes();
    bulkFill(grid, 10, 0);
    EXPECT_GT(grid.overheadBytes(), emptyOverhead);
    grid.clearCells();
    EXPECT_EQ(grid.overheadBytes(), emptyOverhead); // the chunks are given back
    EXPECT_EQ(grid.textBytes(), 0u);
    EXPECT_TRUE(grid.rowIsEmpty(1999));
    const Texts want = bulkFill(grid, 3, 0);
    grid.setCell(4, 1999, "last");
    EXPECT_EQ(grid.cell(4, 1999), "last");
    EXPECT_EQ(grid.cell(3, 1999), want[1999][3]);
}

// A fill large enough for the helper thread; the chunk bytes that hold no
// live text count as overhead, also after the rows are rewritten.
TEST(StringGridFill, LargeFillCountsItsChunksHonestly) {
    constexpr int kRows = 50000, kCols = 4;
    constexpr std::size_t kCell = 100;
    // Per row: a header word, two-byte offsets and the texts.
    constexpr std::size_t kNeeded = kRows * (4 + 2 * kCols + kCols * kCell);
    StringGrid grid(kCols, kRows);
    const std::size_t emptyOverhead = grid.overheadBytes();
    const Texts want = bulkFill(grid, kCell, kNeeded);
    expectCells(grid, want);
    const std::size_t text = std::size_t{kRows} * kCols * kCell;
    ASSERT_EQ(grid.textBytes(), text);
    const std::size_t headers = std::size_t{kRows} * (4 + 2 * kCols);
    const std::size_t overhead = grid.overheadBytes() - emptyOverhead;
    EXPECT_GE(overhead, headers);
    EXPECT_LE(overhead, headers + (std::size_t{2} << 20)); // one large page unused at most

    for (int r = 0; r < kRows; ++r)
        grid.setRow(r, want[r]);
    expectCells(grid, want);
    EXPECT_GE(grid.overheadBytes() - emptyOverhead, overhead + text);
}

TEST(StringGridFill, EstimatesTooSmallOrTooLargeAndNoEstimate) {
    StringGrid small(2, 3000);
    // 3000 rows of 2 x 7000 bytes: about 40 MiB where 16 MiB are expected.
    expectCells(small, bulkFill(small, 7000, std::size_t{16} << 20));

    StringGrid large(2, 100);
    const std::size_t emptyOverhead = large.overheadBytes();
    const Texts want = bulkFill(large, 10, std::size_t{64} << 20);
    expectCells(large, want);
    // The unused end of the expected chunk is given back.
    EXPECT_LE(large.overheadBytes() - emptyOverhead, std::size_t{2} << 20);

    // Without a bulk fill, and rows larger than a chunk.
    StringGrid loose(1, 5);
    Texts looseWant(5);
    for (int r = 0; r < 5; ++r) {
        looseWant[r] = {fillText(0, r, std::size_t{3} << 20 << (r == 2 ? 2 : 0))};
        fillRowOf(loose, r, looseWant[r]);
    }
    expectCells(loose, looseWant);
}

TEST(StringGridFill, ClearCellsInTheMiddleOfABulkFill) {
    StringGrid grid(3, 100);
    {
        const StringGrid::BulkFill fill(grid, std::size_t{32} << 20);
        fillRowOf(grid, 0, {"before"});
        grid.clearCells();
        fillRowOf(grid, 1, {"after"});
    }
    EXPECT_EQ(grid.cell(0, 0), "");
    EXPECT_EQ(grid.cell(0, 1), "after");
    fillRowOf(grid, 2, {"later"});
    EXPECT_EQ(grid.cell(0, 2), "later");
}

} // namespace
} // namespace tabulix

// Column 0 of a numbered grid shows each row's number without storing it, so
// structural edits renumber nothing; the texts hold across the store's chunk
// boundaries and digit changes.
TEST(StringGridRowNumbers, FollowTheRowsWithoutRewriting) {
    const struct {
        long long n;
        const char* text;
    } texts[] = {{1, "1"},           {999, "999"},         {1000, "1,000"},
                 {65535, "65,535"},  {65536, "65,536"},    {65537, "65,537"},
                 {999999, "999,999"}, {1000000, "1,000,000"}, {1234568, "1,234,568"}};
    tabulix::StringGrid grid(3, 1300000);
    grid.showRowNumbers(0);
    for (const auto& t : texts)
        EXPECT_EQ(grid.cell(0, static_cast<int>(t.n)), t.text) << t.n;
    EXPECT_EQ(grid.cell(0, 0), "");

    tabulix::StringGrid small(3, 6);
    small.setCell(0, 0, "No.");
    small.setCell(2, 3, "c");
    small.showRowNumbers(2); // two header rows carry no number
    EXPECT_EQ(small.cell(0, 2), "");
    EXPECT_EQ(small.cell(0, 3), "1");
    small.setCell(0, 3, "x"); // ignored while the numbers show
    EXPECT_EQ(small.cell(0, 3), "1");
    small.insertRows(1, 2);
    EXPECT_EQ(small.cell(2, 5), "c");
    EXPECT_EQ(small.cell(0, 5), "3");
    EXPECT_EQ(small.cell(0, 7), "5");
    small.moveRow(5, 1);
    EXPECT_EQ(small.cell(2, 1), "c");
    EXPECT_EQ(small.cell(0, 1), "");
    const tabulix::StringGrid copy(small);
    EXPECT_EQ(copy.cell(0, 7), "5");
    EXPECT_EQ(copy.cell(0, 0), "No.");
}
