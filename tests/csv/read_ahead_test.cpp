#include "csv/FileReading.h"
#include "csv/ReadAhead.h"
#include "csv/TableLoader.h"
#include "table/Table.h"
#include "table/TableLayout.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <unistd.h>

namespace tabulix {
namespace {

namespace fs = std::filesystem;

const ResetMetrics kMetrics{7.0, 21, 25, false};

void writeFile(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// Large enough to be read in pieces, with quoted line breaks and separators.
std::string generatedCsv(unsigned seed) {
    static const char* const fields[] = {"abc",  "\"a,b\"", "\"line\nbreak\"",
                                         "漢字", "",        "\"\"\"\""};
    std::mt19937 rng(seed);
    std::string text;
    while (text.size() < (std::size_t{3} << 20)) {
        for (int f = 0; f < 6; ++f)
            text += std::string(f ? "," : "") + fields[rng() % std::size(fields)];
        text += "\r\n";
    }
    return text;
}

void expectSameTables(const Table& a, const Table& b) {
    ASSERT_EQ(a.grid.rowCount(), b.grid.rowCount());
    ASSERT_EQ(a.grid.colCount(), b.grid.colCount());
    for (int r = 0; r < a.grid.rowCount(); ++r)
        for (int c = 0; c < a.grid.colCount(); ++c)
            ASSERT_EQ(a.grid.cell(c, r), b.grid.cell(c, r)) << "row " << r << " col " << c;
}

class ReadAheadTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("tabulix-read-ahead-" + std::to_string(::getpid()));
        fs::create_directories(dir_);
        file_ = dir_ / "表.csv";
        writeFile(file_, generatedCsv(1));
    }
    void TearDown() override { fs::remove_all(dir_); }

    fs::path dir_;
    fs::path file_;
    const Separator comma_ = Separator::of(',');
};

// A filled table is laid out on the read-ahead's thread; a layout that fails
// leaves the table whole and marked not laid out; an unfilled read has none.
TEST_F(ReadAheadTest, AFilledTableIsLaidOutAheadOrLeftWholeWhenTheLayoutFails) {
    const LoadSetup setup{kMetrics, {}};
    Table direct;
    ASSERT_TRUE(FillTable(direct, ReadTextFile(file_.string())->text(), comma_, kMetrics, {}));
    for (const char* const how : {"laid out", "failing", "not filled"}) {
        const bool fails = how == std::string("failing");
        const bool filled = how != std::string("not filled");
        ReadAhead ahead;
        int calls = 0; // read once the take has waited for the thread
        ahead.start(file_.string(), std::nullopt, comma_,
                    filled ? std::optional<LoadSetup>(setup) : std::nullopt,
                    LoadLimits::ofMachine(), [&](Table& table) {
                        ++calls;
                        table.grid.setColWidth(2, 77);
                        if (fails) throw std::bad_alloc();
                    });
        std::optional<AheadRead> read = ahead.take(file_.string(), std::nullopt, comma_);
        ASSERT_TRUE(read) << how;
        EXPECT_EQ(calls, filled ? 1 : 0) << how;
        EXPECT_EQ(read->laidOut, filled && !fails) << how;
        if (filled) {
            ASSERT_TRUE(read->table);
            expectSameTables(*read->table, direct);
        }
    }
}

// The read taken by the load is the file's text, and the planned fill, or
// the fill done ahead, gives the table a load of it gives.
TEST_F(ReadAheadTest, TheTakenReadLoadsAsTheFileItself) {
    const std::optional<TextFile> direct = ReadTextFile(file_.string());
    ASSERT_TRUE(direct);
    Table loaded;
    const LoadSetup setup{kMetrics, LoadedRowLayout{RowNumbering{false, 1}, 3}};
    const std::optional<std::size_t> records =
        FillTable(loaded, direct->text(), comma_, setup.metrics, {}, setup.layout);
    ASSERT_TRUE(records);
    for (const bool filled : {false, true}) {
        ReadAhead ahead;
        ahead.start(file_.string(), std::nullopt, comma_,
                    filled ? std::optional<LoadSetup>(setup) : std::nullopt);
        std::optional<AheadRead> read = ahead.take(file_.string(), std::nullopt, comma_,
                                                   [&](std::size_t done, std::size_t total) {
                                                       EXPECT_EQ(total, *records);
                                                       EXPECT_LE(done, total);
                                                   });
        ASSERT_TRUE(read);
        EXPECT_EQ(read->file.encoding(), direct->encoding());
        Table planned;
        if (filled) {
            ASSERT_EQ(read->filledAs, setup);
            ASSERT_TRUE(read->table);
            EXPECT_EQ(read->records, *records);
            AdoptTable(planned, std::move(*read->table));
        } else {
            EXPECT_EQ(read->file.text(), direct->text());
            EXPECT_GE(read->plan.pieces.size(), 2u);
            EXPECT_FALSE(read->filledAs);
            ASSERT_EQ(FillPlanned(planned, std::move(read->plan), setup.metrics, {}, setup.layout),
                      records);
        }
        expectSameTables(planned, loaded);
        // Taken once only.
        EXPECT_FALSE(ahead.take(file_.string(), std::nullopt, comma_));
    }
}

// Large enough for the fill to let text go before its end, and ending in a
// record of seven fields.
std::string largeCsv() {
    std::string text = generatedCsv(3);
    while (text.size() < (std::size_t{24} << 20))
        text += text;
    return text + "1,2,3,4,5,6,7\r\n";
}

// A fill ahead refused before it began leaves a plan the load can use; one
// that failed part way, after letting text go, leaves nothing to fill from.
TEST_F(ReadAheadTest, ARefusedFillLeavesAPlanOnlyWhileTheTextIsWhole) {
    writeFile(file_, largeCsv()); // the last record one field over the limit below
    const LoadSetup setup{kMetrics, LoadedRowLayout{}};
    const LoadLimits machine = LoadLimits::ofMachine();
    const struct {
        const char* name;
        LoadLimits limits;
        bool planLeft;
    } cases[] = {
        {"too many records", LoadLimits{10, machine.maxFields, machine.memoryBytes}, true},
        {"too little memory", LoadLimits{machine.maxRecords, machine.maxFields, 1000}, true},
        {"a record too wide", LoadLimits{machine.maxRecords, 6, machine.memoryBytes}, false},
    };
    for (const auto& c : cases) {
        ReadAhead ahead;
        ahead.start(file_.string(), std::nullopt, comma_, setup, c.limits);
        std::optional<AheadRead> read = ahead.take(file_.string(), std::nullopt, comma_);
        ASSERT_TRUE(read) << c.name;
        EXPECT_FALSE(read->table) << c.name;
        EXPECT_EQ(!read->filledAs, c.planLeft) << c.name;
        if (!c.planLeft) continue;
        Table planned;
        ASSERT_TRUE(FillPlanned(planned, std::move(read->plan), kMetrics, {}, LoadedRowLayout{}))
            << c.name;
        EXPECT_EQ(planned.grid.cell(8, planned.grid.rowCount() - 1), "7") << c.name;
    }
}

// A fill given up stops (through its progress) and leaves nothing; the next
// read ahead is whole.
TEST_F(ReadAheadTest, AFillGivenUpStopsAndTheNextIsWhole) {
    writeFile(file_, largeCsv());
    const LoadSetup setup{kMetrics, LoadedRowLayout{}};
    ReadAhead ahead;
    for (int round = 0; round < 3; ++round) {
        ahead.start(file_.string(), std::nullopt, comma_, setup);
        if (round == 1) {
            EXPECT_FALSE(ahead.take((dir_ / "other.csv").string(), std::nullopt, comma_));
        }
        ahead.drop();
        EXPECT_FALSE(ahead.take(file_.string(), std::nullopt, comma_));
    }
    ahead.start(file_.string(), std::nullopt, comma_, setup);
    std::optional<AheadRead> read = ahead.take(file_.string(), std::nullopt, comma_);
    ASSERT_TRUE(read);
    ASSERT_TRUE(read->table);
    const std::optional<TextFile> direct = ReadTextFile(file_.string());
    Table loaded;
    ASSERT_EQ(FillTable(loaded, direct->text(), comma_, kMetrics, {}, LoadedRowLayout{}),
              read->records);
    expectSameTables(*read->table, loaded);
}

// Whatever differs from the read, the load reads the file itself.
TEST_F(ReadAheadTest, NotTakenWhenTheLoadOrTheFileDiffers) {
    const std::string other = (dir_ / "other.csv").string();
    writeFile(other, "a,b\r\n");
    const struct {
        const char* name;
        std::function<void()> change;
        std::string path;
        std::optional<TextEncoding> forced;
        Separator sep;
    } cases[] = {
        {"another file", [] {}, other, std::nullopt, comma_},
        {"another encoding", [] {}, file_.string(), TextEncoding::ShiftJis, comma_},
        {"another separator", [] {}, file_.string(), std::nullopt, Separator::of('\t')},
        {"rewritten", [&] { writeFile(file_, generatedCsv(2)); }, file_.string(), std::nullopt,
         comma_},
        {"cut short", [&] { fs::resize_file(file_, 100); }, file_.string(), std::nullopt, comma_},
        {"replaced",
         [&] {
             writeFile(dir_ / "new.csv", generatedCsv(1));
             fs::rename(dir_ / "new.csv", file_);
         },
         file_.string(), std::nullopt, comma_},
        {"removed", [&] { fs::remove(file_); }, file_.string(), std::nullopt, comma_},
    };
    for (const auto& c : cases) {
        writeFile(file_, generatedCsv(1));
        ReadAhead ahead;
        ahead.start(file_.string(), std::nullopt, comma_, LoadSetup{kMetrics, {}});
        c.change();
        // Another load is not shown this one's progress while it waits.
        const bool otherLoad = c.path != file_.string() || c.forced || c.sep != comma_;
        EXPECT_FALSE(ahead.take(c.path, c.forced, c.sep, [&](std::size_t, std::size_t) {
            EXPECT_FALSE(otherLoad) << c.name;
        })) << c.name;
    }
    ReadAhead dropped;
    dropped.start(file_.string(), std::nullopt, comma_);
    dropped.drop();
    EXPECT_FALSE(dropped.take(file_.string(), std::nullopt, comma_));
    ReadAhead folder;
    folder.start(dir_.string(), std::nullopt, comma_);
    EXPECT_FALSE(folder.take(dir_.string(), std::nullopt, comma_));
}

} // namespace
} // namespace tabulix
