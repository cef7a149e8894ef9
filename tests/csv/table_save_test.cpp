// Saving a table of many pieces, made on other threads while the saving
// thread writes: the file must be the table encoded at once, whatever the
// separator and encoding, and a cell that cannot be written must be told
// exactly, the old file left as it was.
#include "TestFiles.h"
#include "csv/CsvWriter.h"
#include "csv/FileWriting.h"
#include "table/StringGrid.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace tabulix {
namespace {

namespace fs = std::filesystem;
using E = TextEncoding;

// A kept byte of a CP932 file.
std::string rawCp932(unsigned char byte) {
    return {'\xF4', '\x8F', static_cast<char>(0xBC | byte >> 6),
            static_cast<char>(0x80 | (byte & 0x3F))};
}

// A kept byte of a UTF-8 file.
std::string rawUtf8(unsigned char byte) {
    return {'\xF4', '\x8F', static_cast<char>(0xB8 | byte >> 6),
            static_cast<char>(0x80 | (byte & 0x3F))};
}

constexpr int kRows = 150000;

// Rows of texts every encoding holds, with separators, quotes and line ends
// at random places, and one row far longer than a piece whose characters
// are cut by the pieces' ends. Each row starts with a letter, so no line
// reads as blank.
StringGrid generatedGrid() {
    const std::vector<std::string> parts = {"a", "b", "東",   "ｶ",  "\"", ",",   "\t",
                                            ";", " ", "\r\n", "\n", "|",  "表x", "9"};
    StringGrid grid(8, kRows + 1);
    grid.setFixedCols(2);
    std::mt19937 rng(21);
    for (int row = 1; row <= kRows; ++row) {
        std::vector<std::string> texts(8);
        texts[0] = "fixed";
        for (int col = 2; col < 8; ++col) {
            std::string& text = texts[static_cast<std::size_t>(col)];
            if (col == 2) text = "a";
            for (int n = static_cast<int>(rng() % 24); n > 0; --n)
                text += parts[rng() % parts.size()];
        }
        grid.setRow(row, texts);
    }
    std::string huge;
    while (huge.size() < (std::size_t{5} << 20) / 2)
        huge += "東京\",ｶﾅ";
    grid.setCell(5, kRows / 2, huge);
    return grid;
}

class TableSave : public testing::Test {
protected:
    void SetUp() override {
        dir_ = makeTemporaryFolder("tabulix-table-save");
        ASSERT_FALSE(dir_.empty());
    }
    void TearDown() override {
        SetWriteStepHookForTesting({});
        fs::remove_all(dir_);
    }

    std::string path(const std::string& name) const { return (dir_ / name).string(); }

    std::vector<std::string> names() const {
        std::vector<std::string> found;
        for (const auto& entry : fs::directory_iterator(dir_))
            found.push_back(entry.path().filename().string());
        return found;
    }

    fs::path dir_;
};

TEST_F(TableSave, ManyPiecesAreTheWholeTableInEverySeparatorAndEncoding) {
    StringGrid grid = generatedGrid();
    const std::string target = path("t.csv");
    const auto check = [&](Separator sep, E encoding) {
        const std::string whole = EncodeTable(grid, 2, sep);
        ASSERT_GT(whole.size(), std::size_t{8} << 20);
        ASSERT_EQ(WriteTable(grid, target, sep, encoding), WriteTableResult::Ok);
        const std::optional<std::string> expected = EncodeText(whole, encoding);
        ASSERT_TRUE(expected);
        EXPECT_TRUE(readBytes(target) == *expected)
            << "separator " << static_cast<int>(sep.character()) << " encoding "
            << static_cast<int>(encoding);
    };
    for (const E encoding : {E::ShiftJis, E::Utf8, E::Utf8Bom, E::Utf16Le, E::Utf16Be})
        check(Separator::of(','), encoding);
    for (const Separator sep : {Separator::of('\t'), Separator::of(' '), Separator::of(';'),
                                Separator::of('|'), Separator::none()})
        check(sep, E::Utf8);
    // Kept bytes of a UTF-8 file in a late piece go back as their bytes.
    grid.setCell(3, kRows - 10, "a" + rawUtf8(0x80) + "b");
    check(Separator::of(','), E::Utf8Bom);
    EXPECT_EQ(names(), std::vector<std::string>{"t.csv"});
}

TEST_F(TableSave, TheFirstCellThatCannotBeWrittenIsToldAndTheOldFileStays) {
    const StringGrid base = generatedGrid();
    const std::string target = path("t.csv");
    const std::string unencodable = "😀";                   // Shift_JIS has no such character
    const std::string unwritable = rawCp932(0x96) + "ﾔ,x"; // a kept byte that joins "ﾔ"
    struct Case {
        std::vector<std::pair<TextPosition, std::string>> cells;
        TextPosition told;
    };
    const Case cases[] = {
        {{{{kRows - 3, 4}, unencodable}}, {kRows - 3, 4}},
        {{{{kRows - 2, 3}, unwritable}}, {kRows - 2, 3}},
        {{{{40000, 7}, unencodable}, {{120000, 2}, unwritable}}, {40000, 7}},
        {{{{40000, 6}, unwritable}, {{120000, 2}, unencodable}}, {40000, 6}},
        {{{{1, 2}, unencodable}, {{kRows, 7}, unwritable}}, {1, 2}},
    };
    for (const Case& c : cases) {
        StringGrid grid = base;
        for (const auto& [where, text] : c.cells)
            grid.setCell(where.col, where.row, text);
        writeBytes(target, "old");
        TextPosition told;
        EXPECT_EQ(WriteTable(grid, target, Separator::of(','), E::ShiftJis, &told),
                  WriteTableResult::Unencodable);
        EXPECT_EQ(told.row, c.told.row);
        EXPECT_EQ(told.col, c.told.col);
        EXPECT_EQ(readBytes(target), "old");
        EXPECT_EQ(names(), std::vector<std::string>{"t.csv"});
    }
}

TEST_F(TableSave, AWriteThatFailsPartWayStopsTheSaveAndKeepsTheOldFile) {
    const StringGrid grid = generatedGrid();
    const std::string target = path("t.csv");
    for (const int failing : {1, 3, 9}) {
        writeBytes(target, "old");
        int writes = 0;
        SetWriteStepHookForTesting([&](WriteStep step) {
            return step == WriteStep::Write && ++writes == failing ? ENOSPC : 0;
        });
        EXPECT_EQ(WriteTable(grid, target, Separator::of(','), E::Utf16Le),
                  WriteTableResult::Failed);
        SetWriteStepHookForTesting({});
        EXPECT_EQ(writes, failing);
        EXPECT_EQ(readBytes(target), "old");
        EXPECT_EQ(names(), std::vector<std::string>{"t.csv"});
    }
}

} // namespace
} // namespace tabulix
