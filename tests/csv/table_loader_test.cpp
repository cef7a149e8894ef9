#include "table/FixedColumn.h"
#include "table/Table.h"
#include "table/RowNumberTexts.h"
#include "table/TableLayout.h"
#include "csv/TableLoader.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

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

// One line of a million fields loads in one pass, every column numbered.
TEST(FillTable, OneLineOfAMillionFields) {
    constexpr int kFields = 1'000'000;
    std::string text;
    text.reserve(8 * kFields);
    for (int i = 0; i < kFields; ++i)
        text += (i ? "," : "") + std::to_string(i);
    text += "\r\nlast\r\n";
    Table t;
    ASSERT_EQ(FillTable(t, text, Separator::of(','), kMetrics, {}), 2u);
    const StringGrid& g = t.grid;
    ASSERT_EQ(g.colCount(), kFields + kFixedColCount);
    EXPECT_EQ(t.colRecords.size(), static_cast<std::size_t>(kFields + kFixedColCount));
    EXPECT_EQ(g.cell(0, 0), "No.");
    EXPECT_EQ(g.cell(2, 0), "1");
    EXPECT_EQ(g.cell(kFields + 1, 0), std::to_string(kFields));
    EXPECT_EQ(g.cell(kFields + 1, 1), std::to_string(kFields - 1));
    EXPECT_EQ(g.cell(2, 2), "last");
    EXPECT_EQ(g.cell(3, 2), "");
}

// A text beyond the limits is refused and the table stays as it was.
TEST(FillTable, BeyondTheLimitsTheOldTableStays) {
    const std::string text = "a,b\r\nc,d,e\r\n\r\n"; // three records, at most three fields
    const LoadLimits roomy{3, 3, LoadBytesNeeded(text.size(), 3)};
    struct Case {
        const char* what;
        LoadLimits limits;
        bool loads;
    };
    const Case cases[] = {
        {"at every limit", roomy, true},
        {"one record too many", {2, 3, roomy.memoryBytes}, false},
        {"one field too many", {3, 2, roomy.memoryBytes}, false},
        {"one byte short of memory", {3, 3, roomy.memoryBytes - 1}, false},
    };
    for (const Case& c : cases) {
        Table t;
        ASSERT_TRUE(FillTable(t, "old,table\r\n", Separator::of(','), kMetrics, {}));
        t.rowRecords[1].marked = true;
        int changes = 0;
        t.grid.setChangeListener([&](StringGrid::Change) { ++changes; });
        const auto records =
            FillTable(t, text, Separator::of(','), kMetrics, {}, LoadedRowLayout{}, c.limits);
        if (c.loads) {
            EXPECT_EQ(records, 3u) << c.what;
            EXPECT_EQ(t.grid.cell(4, 2), "e") << c.what;
            EXPECT_FALSE(t.rowRecords[1].marked) << c.what;
            continue;
        }
        EXPECT_FALSE(records) << c.what;
        EXPECT_EQ(changes, 0) << c.what;
        EXPECT_EQ(t.grid.rowCount(), 2) << c.what;
        EXPECT_EQ(t.grid.colCount(), 4) << c.what;
        EXPECT_EQ(t.grid.cell(3, 1), "table") << c.what;
        EXPECT_EQ(t.grid.cell(3, 0), "2") << c.what;
        EXPECT_TRUE(t.rowRecords[1].marked) << c.what;
        EXPECT_EQ(t.colRecords.size(), 4u) << c.what;
    }
}

#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
// An allocation that fails part way through a fill (here: an address-space
// limit far below what two million rows need) refuses the load instead of
// ending the program. Run in a child process, whose limit goes with it.
TEST(FillTable, AllocationFailureLeavesTheOldTable) {
    const std::string text(2'000'000, '\n');
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        Table t;
        bool ok = FillTable(t, "kept\r\n", Separator::of(','), kMetrics, {}).has_value();
        long pages = 0;
        std::ifstream("/proc/self/statm") >> pages;
        const rlim_t now = static_cast<rlim_t>(pages) * static_cast<rlim_t>(sysconf(_SC_PAGESIZE));
        const rlimit limit{now + (32u << 20), now + (32u << 20)};
        ok = ok && setrlimit(RLIMIT_AS, &limit) == 0;
        LoadLimits unlimited = LoadLimits::ofMachine();
        unlimited.memoryBytes = UINT64_MAX;
        ok = ok &&
             !FillTable(t, text, Separator::of(','), kMetrics, {}, LoadedRowLayout{}, unlimited);
        ok = ok && t.grid.rowCount() == 2 && t.grid.cell(2, 1) == "kept";
        _exit(ok ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}
#endif

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
// A text that changes between the count and the fill (another program
// rewriting a mapped file) is refused, wherever a piece gains or loses a
// record: no piece writes into another's rows, and the old table stays.
TEST(FillTable, ATextChangedAfterItsCountIsRefusedAndTheOldTableStays) {
    std::string line = "alpha,beta,gamma\r\n";
    std::string text;
    while (text.size() < (std::size_t{3} << 20))
        text += line;
    const std::size_t lines = text.size() / line.size();
    for (const std::size_t at : {std::size_t{10}, lines / 2 + 7, lines - 3}) {
        for (const bool gains : {true, false}) {
            std::string changing = text;
            LoadPlan plan = PlanLoad(changing, Separator::of(','));
            ASSERT_GE(plan.pieces.size(), 2u);
            // Another line end in the middle of a line, or one taken away.
            const std::size_t start = at * line.size();
            if (gains)
                changing[start + 7] = '\n';
            else
                changing.replace(start + line.size() - 2, 2, "xx");
            Table table;
            table.grid.setCell(2, 1, "old");
            EXPECT_FALSE(FillPlanned(table, std::move(plan), kMetrics, {}, {}))
                << "line " << at << (gains ? " gains" : " loses") << " a record";
            EXPECT_EQ(table.grid.cell(2, 1), "old");
        }
    }
}

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
