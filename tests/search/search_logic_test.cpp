#include "search/FindHistory.h"
#include "search/ResultsFile.h"
#include "search/SearchResults.h"
#include "search/SearchWords.h"
#include "table/StringGrid.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace tabulix {
namespace {

using Words = std::vector<std::string>;

TEST(SearchWords, SplitAtHalfWidthBlanksFirstThenFullWidth) {
    const struct {
        const char* text;
        Words words;
    } cases[] = {
        {"  abc  ", {"abc"}},
        {"abc XYZ", {"abc", "XYZ"}},
        {"P　Q R", {"P　Q", "R"}},
        {"P　Q", {"P", "Q"}},
        {"R P　Q", {"R", "P", "Q"}},
        {"\tabc   def\r\n", {"abc", "def"}},
        {"　　", {}},
        {"", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SplitSearchWords(c.text), c.words) << c.text;
}

TEST(SearchWords, FoldingUpperCasesAsciiAndFullWidthLatinOnly) {
    std::string out;
    const std::pair<const char*, const char*> cases[] = {
        {"abcXYZ09", "ABCXYZ09"},   {"ａｂｚＡＺ", "ＡＢＺＡＺ"}, {"ｱいäß", "ｱいäß"}, {"", ""},
        {"x\xEF\xBD", "X\xEF\xBD"}, // a cut sequence is left alone
    };
    for (const auto& [text, folded] : cases) {
        FoldCaseInto(text, out);
        EXPECT_EQ(out, folded) << text;
    }
}

// Source table: row 0 column numbers, row 1 a fixed header, columns 0 and 1
// fixed (row numbers, fixed-column display).
StringGrid sourceTable(const std::vector<std::vector<std::string>>& data) {
    StringGrid g(5, static_cast<int>(data.size()) + 2);
    g.setFixedCols(2);
    g.setFixedRows(2);
    g.setRow(1, std::vector<std::string>{"", "head", "名前", "備考", "区分"});
    for (std::size_t r = 0; r < data.size(); ++r) {
        std::vector<std::string> row{std::to_string(r + 1), "fixedword"};
        row.insert(row.end(), data[r].begin(), data[r].end());
        g.setRow(static_cast<int>(r) + 2, row);
    }
    return g;
}

TEST(SearchWords, RowsMatchByModeAndOnlyInDataCells) {
    const StringGrid g = sourceTable({
        {"ABC", "xyz", ""},             // row 2: both words, different cells
        {"abc only", "ア", ""},         // row 3
        {"", "ＡＢＣ", "ａｂｃｘｙｚ"}, // row 4: full width letters are not ASCII ones
        {"ｶｱ", "", "xabcxyzx"},         // row 5: both in one cell
        {"", "", ""},                   // row 6
    });
    const struct {
        Words words;
        MatchMode mode;
        std::vector<int> rows;
    } cases[] = {
        {{"abc", "XYZ"}, MatchMode::And, {2, 5}},
        {{"abc", "XYZ"}, MatchMode::Or, {2, 3, 5}},
        {{"ａｂｃ"}, MatchMode::Or, {4}},
        {{"Ａｂｃ", "ｘＹｚ"}, MatchMode::And, {4}},
        {{"ｱ"}, MatchMode::Or, {5}},
        {{"ア"}, MatchMode::Or, {3}},
        {{"名前"}, MatchMode::Or, {}},      // only in the fixed header row
        {{"fixedword"}, MatchMode::Or, {}}, // only in the fixed column
        {{"3"}, MatchMode::Or, {}},         // only in the row numbers
        {{}, MatchMode::Or, {}},
    };
    for (const auto& c : cases) {
        WordMatcher m(c.words, c.mode);
        std::vector<int> rows;
        std::vector<char> hits;
        for (int r = g.fixedRows(); r < g.rowCount(); ++r)
            if (m.MatchRow(g, r, hits)) rows.push_back(r);
        EXPECT_EQ(rows, c.rows) << (c.words.empty() ? "" : c.words[0]);
    }
    WordMatcher m({"abc", "xyz"}, MatchMode::And);
    std::vector<char> hits;
    ASSERT_TRUE(m.MatchRow(g, 2, hits));
    EXPECT_EQ(hits, (std::vector<char>{0, 0, 1, 1, 0}));
}

TEST(SearchResults, ResultsCopyTheFixedRowsAndTheMatchingRowsWithTheirHits) {
    StringGrid g = sourceTable({{"abc", "x", ""}, {"no", "", ""}, {"", "", "ABC"}});
    g.setRow(0, std::vector<std::string>{"No.", "固定", "1", "2", "3"});
    g.setColWidth(3, 0);
    g.setDefaultRowHeight(30);
    StringGrid results, hits;
    LayoutResults(g, results, hits);
    WordMatcher m({"abc"}, MatchMode::Or);
    std::vector<int> progress;
    EXPECT_EQ(
        RunSearch(g, results, hits, m, [&](int r, int) { return progress.push_back(r), true; }), 2);
    EXPECT_TRUE(progress.empty());
    const std::vector<std::vector<std::string>> expected{
        {"", "No.", "固定", "1", "2", "3"},
        {"SEQ", "", "head", "名前", "備考", "区分"},
        {"1", "1", "fixedword", "abc", "x", ""},
        {"2", "3", "fixedword", "", "", "ABC"},
    };
    ASSERT_EQ(results.rowCount(), 4);
    EXPECT_EQ(results.colCount(), 6);
    EXPECT_EQ(results.fixedCols(), 3);
    EXPECT_EQ(results.fixedRows(), 2);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 6; ++c)
            EXPECT_EQ(results.cell(c, r), expected[r][c]) << c << "," << r;
    EXPECT_EQ(hits.cell(0, 2), "2");
    EXPECT_EQ(hits.cell(3, 2), "*");
    EXPECT_EQ(hits.cell(4, 2), "");
    EXPECT_EQ(hits.cell(0, 3), "4");
    EXPECT_EQ(hits.cell(5, 3), "*");
    EXPECT_EQ(results.colWidth(4), 0);
    EXPECT_EQ(results.rowHeight(3), 30);

    // Nothing found: the header rows and one empty row.
    WordMatcher none({"zzz"}, MatchMode::Or);
    LayoutResults(g, results, hits);
    EXPECT_EQ(RunSearch(g, results, hits, none, {}), 0);
    EXPECT_EQ(results.rowCount(), 3);
    EXPECT_TRUE(results.rowIsEmpty(2));
}

TEST(SearchResults, AStoppedSearchKeepsTheRowsFoundSoFar) {
    StringGrid g(3, 2000);
    g.setFixedCols(1);
    for (int r = 1; r < 2000; ++r)
        g.setCell(1, r, r % 2 ? "hit" : "miss");
    StringGrid results, hits;
    LayoutResults(g, results, hits);
    WordMatcher m({"HIT"}, MatchMode::Or);
    std::vector<std::pair<int, int>> progress;
    const int found = RunSearch(g, results, hits, m, [&](int row, int n) {
        progress.push_back({row, n});
        return row < 1000;
    });
    EXPECT_EQ(progress, (std::vector<std::pair<int, int>>{{500, 250}, {1000, 500}}));
    EXPECT_EQ(found, 500);
    EXPECT_EQ(results.rowCount(), 501);
    EXPECT_EQ(results.cell(0, 500), "500");
    EXPECT_EQ(hits.cell(0, 500), "999");
}

TEST(SearchResults, NextAndPriorHitWalkTheHitCellsInReadingOrder) {
    StringGrid hits(5, 4);
    hits.setFixedCols(2);
    hits.setFixedRows(1);
    hits.setCell(3, 1, "*");
    hits.setCell(2, 2, "*");
    hits.setCell(4, 2, "*");
    hits.setCell(0, 3, "7"); // the source row: no hit
    const struct {
        ResultCell from;
        bool fromRowStart;
        std::optional<ResultCell> next;
        std::optional<ResultCell> prior;
    } cases[] = {
        {{2, 1}, true, ResultCell{3, 1}, std::nullopt},
        {{3, 1}, true, ResultCell{3, 1}, std::nullopt},
        {{3, 1}, false, ResultCell{2, 2}, std::nullopt},
        {{2, 2}, false, ResultCell{4, 2}, ResultCell{3, 1}},
        {{4, 2}, false, std::nullopt, ResultCell{2, 2}},
        {{4, 3}, false, std::nullopt, ResultCell{4, 2}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(NextHit(hits, c.from, c.fromRowStart), c.next) << c.from.col << "," << c.from.row;
        EXPECT_EQ(PriorHit(hits, c.from), c.prior) << c.from.col << "," << c.from.row;
    }
}

TEST(SearchResults, TheJumpLeadsToTheSourceCellWhileItsRowExists) {
    StringGrid source(6, 10);
    source.setFixedCols(2);
    source.setFixedRows(2);
    StringGrid hits(7, 4);
    hits.setFixedCols(3);
    hits.setFixedRows(2);
    hits.setCell(0, 2, "2");
    hits.setCell(0, 3, "9");
    const auto first = JumpTargetOf(hits, source, {3, 2});
    ASSERT_TRUE(first);
    EXPECT_EQ(first->row, 2);
    EXPECT_EQ(first->topRow, 2); // row 1 is fixed
    EXPECT_EQ(first->col, 2);
    EXPECT_EQ(first->leftCol, 2);
    const auto later = JumpTargetOf(hits, source, {5, 3});
    ASSERT_TRUE(later);
    EXPECT_EQ(later->topRow, 8);
    EXPECT_EQ(later->col, 4);
    EXPECT_EQ(later->leftCol, 3);
    EXPECT_FALSE(JumpTargetOf(hits, source, {2, 2})); // a fixed column
    source.setRowCount(9);                            // row 9 is gone
    EXPECT_FALSE(JumpTargetOf(hits, source, {3, 3}));
}

TEST(FindHistory, NewestFirstWithoutDuplicatesAndAtMost101) {
    FindHistoryList h;
    h.Add("  alpha ");
    h.Add("beta");
    h.Add("");
    h.Add("alpha");
    h.Add("Beta");
    EXPECT_EQ(h.items(), (Words{" 1. Beta", " 2. alpha", " 3. beta"}));
    for (int i = 0; i < 120; ++i)
        h.Add("w" + std::to_string(i));
    ASSERT_EQ(h.items().size(), 101u);
    EXPECT_EQ(h.items().front(), " 1. w119");
    EXPECT_EQ(h.items().back(), " 101. w19");

    std::array<std::string, 101> stored;
    h.Store(stored);
    EXPECT_EQ(stored[0], "w119");
    EXPECT_EQ(stored[100], "w19");
    h.Clear();
    h.Store(stored);
    EXPECT_EQ(stored[0], "");

    stored[0] = " a.b ";
    stored[1] = "c";
    stored[3] = "after the gap";
    h.Load(stored);
    EXPECT_EQ(h.items(), (Words{" 1. a.b", " 2. c"}));
    EXPECT_EQ(StripHistoryNumber(h.items()[0]), "a.b");
    EXPECT_EQ(StripHistoryNumber("plain"), "plain");
}

TEST(ResultsFile, TheDialogStartsAtTheLastResultsFile) {
    const FileDialogRequest fresh = SaveResultsRequest("", "/opt/tabulix");
    EXPECT_EQ(fresh.title, "検索結果を指定のファイル名で保存します。");
    EXPECT_EQ(fresh.folder, "/opt/tabulix");
    EXPECT_EQ(fresh.name, "*.csv");
    EXPECT_EQ(fresh.defaultSuffix, "csv");
    const FileDialogRequest again = SaveResultsRequest("/data/hits.txt", "/opt/tabulix");
    EXPECT_EQ(again.folder, "/data");
    EXPECT_EQ(again.name, "hits.txt");
    EXPECT_EQ(again.filter.substr(0, 7), "(*.txt)");
}

} // namespace
} // namespace tabulix
