// Files read and written again: a cell nobody edited comes back with the same
// bytes, and a kept invalid byte never joins its neighbour.
#include "TestFiles.h"
#include "csv/CsvParser.h"
#include "csv/CsvWriter.h"
#include "csv/FileReading.h"
#include "table/StringGrid.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <unistd.h>

namespace tabulix {
namespace {

namespace fs = std::filesystem;
using E = TextEncoding;
using Cells = std::vector<std::vector<std::string>>;

class TextRoundTrip : public testing::Test {
protected:
    void SetUp() override {
        dir_ = makeTemporaryFolder("tabulix-trip");
        ASSERT_FALSE(dir_.empty());
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string path(const std::string& name) const { return (dir_ / name).string(); }

    static void put(const std::string& file, std::string_view bytes) {
        std::ofstream(file, std::ios::binary) << bytes;
    }
    static std::string content(const std::string& file) {
        return ReadFileBytes(file).value_or("<unreadable>");
    }

    // The cells of a file as the program reads them, every row as wide as the
    // widest (as saving writes them).
    static Cells cellsOf(const std::string& file, Separator sep,
                         std::optional<E> forced = std::nullopt) {
        const std::optional<TextFile> text = ReadTextFile(file, forced);
        if (!text) return {{"<unreadable>"}};
        Cells cells;
        ParseRecords(text->text(), sep, [&](std::span<const std::string> fields) {
            cells.emplace_back(fields.begin(), fields.end());
        });
        std::size_t width = 1;
        for (const auto& row : cells)
            width = std::max(width, row.size());
        for (auto& row : cells)
            row.resize(width);
        return cells;
    }

    static StringGrid gridOf(const Cells& cells) {
        const std::size_t width = cells.empty() ? 1 : cells.front().size();
        StringGrid grid(static_cast<int>(width) + 2, static_cast<int>(cells.size()) + 1);
        grid.setFixedCols(2);
        for (std::size_t r = 0; r < cells.size(); ++r)
            for (std::size_t c = 0; c < cells[r].size(); ++c)
                grid.setCell(static_cast<int>(c) + 2, static_cast<int>(r) + 1, cells[r][c]);
        return grid;
    }

    fs::path dir_;
};

std::string rawCp932(unsigned char byte) {
    return {'\xF4', '\x8F', static_cast<char>(0xBC | byte >> 6),
            static_cast<char>(0x80 | (byte & 0x3F))};
}

// A file read and saved in its own encoding: the saved file reads as the same
// cells, and where it was already in the writer's form it is the same bytes.
TEST_F(TextRoundTrip, KeptBytesStayApartFromTheirNeighbours) {
    struct Case {
        std::string bytes;
        char sep;
        std::string saved; // the bytes of the saved file
    };
    const std::string le = "\xFF\xFE";
    const std::vector<Case> cases = {
        {"\"x\x8E\"|y\r\n", '|', "\"x\x8E\"|y\r\n"},         // x\x8E|y would read as x旨y
        {"\"\x96\"\xD4\r\n", ',', "\"\x96\"\xD4\r\n"},       // \x96\xD4 would read as 網
        {"\"\x96\"\xD4\"q\r\n", ',', "\"\x96\"\xD4\"q\r\n"}, // text after the quote
        {"\"a\x81\"\x80,b\r\n", ',', "\"a\x81\"\x80,b\r\n"},
        {"\"\x81\"\"\"\x40@\r\n", '@', "\"\x81\"\"\"\x40@\r\n"},
        {"a\x8E,b\x80\r\n", ',', "a\x8E,b\x80\r\n"}, // nothing to keep apart
        {"\x87\x90@\xED\x40\r\n", '@', "\x87\x90@\xED\x40\r\n"},
        {"\"\xE3\"\x81\x82,z\r\n", ',', "\"\xE3\"\x81\x82,z\r\n"}, // UTF-8 あ
        {"\"\xE3\x81\"|\r\n", '|', "\xE3\x81|\r\n"},
        {le + std::string("\"\0\x3D\xD8\"\0\x00\xDE\r\0\n\0", 12), ',',
         le + std::string("\"\0\x3D\xD8\"\0\x00\xDE\r\0\n\0", 12)}, // halves of 😀
        // A file never starts with what reads as a byte order mark.
        {"\"\xEF\xBB\xBF"
         "a\",b\r\n",
         ',',
         "\"\xEF\xBB\xBF"
         "a\",b\r\n"}, // U+FEFF in UTF-8
        {"\"\xEF\xBB\xBF\"\r\n\x82\xA0\r\n", ',', "\"\xEF\xBB\xBF\"\r\n\x82\xA0\r\n"}, // CP932
    };
    for (const Case& c : cases) {
        const std::string source = path("source.csv");
        const std::string saved = path("saved.csv");
        put(source, c.bytes);
        const Separator sep = Separator::of(c.sep);
        const Cells cells = cellsOf(source, sep);
        const std::optional<TextFile> text = ReadTextFile(source);
        ASSERT_TRUE(text);
        ASSERT_EQ(WriteTable(gridOf(cells), saved, sep, text->encoding()), WriteTableResult::Ok)
            << testing::PrintToString(c.bytes);
        EXPECT_EQ(content(saved), c.saved) << testing::PrintToString(c.bytes);
        EXPECT_EQ(cellsOf(saved, sep), cells) << testing::PrintToString(c.bytes);
    }
}

// A kept byte that joins text which cannot follow a closing quote (it holds
// the separator) cannot be written: the old file stays and the cell is told.
TEST_F(TextRoundTrip, KeptBytesThatCannotBeKeptApartAreReported) {
    StringGrid grid = gridOf({{"ok", "ok"}, {"ok", rawCp932(0x96) + "ﾔ,x"}});
    const std::string target = path("t.csv");
    put(target, "old");
    TextPosition where;
    EXPECT_EQ(WriteTable(grid, target, Separator::of(','), E::ShiftJis, &where),
              WriteTableResult::Unencodable);
    EXPECT_EQ(where.row, 2);
    EXPECT_EQ(where.col, 3);
    EXPECT_EQ(content(target), "old");
    // Two joins in one cell cannot be kept apart either.
    grid.setCell(3, 2, rawCp932(0x96) + "ﾔ" + rawCp932(0x96) + "ﾔ");
    EXPECT_EQ(WriteTable(grid, target, Separator::of(','), E::ShiftJis, &where),
              WriteTableResult::Unencodable);
    // A character Shift_JIS lacks is told by its cell too.
    grid.setCell(3, 2, "ok");
    grid.setCell(2, 1, "😀");
    EXPECT_EQ(WriteTable(grid, target, Separator::of(','), E::ShiftJis, &where),
              WriteTableResult::Unencodable);
    EXPECT_EQ(where.row, 1);
    EXPECT_EQ(where.col, 2);
    EXPECT_EQ(content(target), "old");
}

// Random files of quotes, separators, line ends, lead and trail bytes: what
// is saved reads back as the same cells, and a file the writer would have
// written itself comes back byte for byte.
TEST_F(TextRoundTrip, RandomFilesReadBackAsTheSameCells) {
    const std::string alphabet = "\"\",,||@@\t \r\na\x8E\x96\x81\x87\x90\x80\xD4\xE3\x82\xED\x40";
    std::mt19937 rng(10);
    int written = 0;
    for (int round = 0; round < 3000; ++round) {
        std::string bytes;
        const int length = static_cast<int>(rng() % 16);
        for (int i = 0; i < length; ++i)
            bytes += alphabet[rng() % alphabet.size()];
        const std::string source = path("r.csv");
        const std::string saved = path("s.csv");
        put(source, bytes);
        const Separator sep = Separator::of(",|@\t "[rng() % 5]);
        const std::optional<TextFile> text = ReadTextFile(source);
        ASSERT_TRUE(text);
        const Cells cells = cellsOf(source, sep);
        TextPosition where;
        const WriteTableResult result =
            WriteTable(gridOf(cells), saved, sep, text->encoding(), &where);
        if (result == WriteTableResult::Unencodable) {
            // Only a cell holding kept bytes can be refused.
            const std::string& cell = cells.at(where.row - 1).at(where.col - 2);
            EXPECT_TRUE(HasRawBytes(cell)) << testing::PrintToString(bytes);
            continue;
        }
        ASSERT_EQ(result, WriteTableResult::Ok);
        ++written;
        ASSERT_EQ(cellsOf(saved, sep, text->encoding()), cells)
            << testing::PrintToString(bytes) << " sep " << int(sep.character());
        // Saved once more: nothing changes any more.
        const std::string again = path("a.csv");
        ASSERT_EQ(
            WriteTable(gridOf(cellsOf(saved, sep, text->encoding())), again, sep, text->encoding()),
            WriteTableResult::Ok);
        EXPECT_EQ(content(again), content(saved)) << testing::PrintToString(bytes);
    }
    EXPECT_GT(written, 2500);
}

// A misdetected UTF-8 file (one Latin-1 byte) is read as CP932 and saved
// byte for byte.
TEST_F(TextRoundTrip, MisdetectedFileIsSavedByteForByte) {
    const std::string bytes = "id,name\r\n1,한국어\r\n2,caf\xE9\r\n";
    const std::string source = path("k.csv");
    put(source, bytes);
    const std::optional<TextFile> text = ReadTextFile(source);
    ASSERT_TRUE(text);
    EXPECT_EQ(text->encoding(), E::ShiftJis);
    ASSERT_EQ(WriteTable(gridOf(cellsOf(source, Separator::of(','))), source, Separator::of(','),
                         E::ShiftJis),
              WriteTableResult::Ok);
    EXPECT_EQ(content(source), bytes);
}

TEST_F(TextRoundTrip, NulEndsByteTextAndIsTold) {
    struct Case {
        std::string bytes;
        std::string text;
        bool endedAtNul;
        E encoding;
    };
    const std::vector<Case> cases = {
        {std::string("a,b\r\nc\0d\r\n", 10), "a,b\r\nc", true, E::Utf8},
        {std::string("\x93\x8C\0\xFF", 4), "東", true, E::ShiftJis},
        {std::string("\0", 1), "", true, E::Utf8},
        {"a,b\r\n", "a,b\r\n", false, E::Utf8},
        {std::string("\xFF\xFE"
                     "a\0\t\0b\0",
                     8),
         "a\tb", false, E::Utf16Le},
        {std::string("\xFE\xFF\0a\0\0\0b", 8), "a", true, E::Utf16Be},
    };
    for (const Case& c : cases) {
        put(path("n.csv"), c.bytes);
        const std::optional<TextFile> text = ReadTextFile(path("n.csv"));
        ASSERT_TRUE(text);
        EXPECT_EQ(text->text(), c.text) << testing::PrintToString(c.bytes);
        EXPECT_EQ(text->endedAtNul(), c.endedAtNul) << testing::PrintToString(c.bytes);
        EXPECT_EQ(text->encoding(), c.encoding) << testing::PrintToString(c.bytes);
    }
    // A forced UTF-16 follows the BOM, little-endian without one.
    put(path("n.csv"), std::string("\xFE\xFF\0x", 4));
    EXPECT_EQ(ReadTextFile(path("n.csv"), E::Utf16Le)->encoding(), E::Utf16Be);
    put(path("n.csv"), std::string("x\0", 2));
    EXPECT_EQ(ReadTextFile(path("n.csv"), E::Utf16Le)->text(), "x");
    put(path("n.csv"), std::string("\xFF\xFEx\0", 4));
    EXPECT_EQ(ReadTextFile(path("n.csv"), E::ShiftJis)->encoding(), E::ShiftJis);
}

// Excel's "Unicode テキスト": UTF-16 LE with BOM, tab-separated.
TEST_F(TextRoundTrip, Utf16TextIsReadAndSavedBack) {
    std::string bytes = "\xFF\xFE";
    for (const char16_t unit : std::u16string(u"名前\t点数\r\n山田\t\"9,0\"\r\n😀\t\r\n")) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    const std::string file = path("u.txt");
    put(file, bytes);
    const Cells cells = cellsOf(file, Separator::of('\t'));
    EXPECT_EQ(cells, (Cells{{"名前", "点数"}, {"山田", "9,0"}, {"😀", ""}}));
    ASSERT_EQ(WriteTable(gridOf(cells), file, Separator::of('\t'), E::Utf16Le),
              WriteTableResult::Ok);
    EXPECT_EQ(content(file), bytes);
}

// A row far longer than the pieces the writer works in (quotes to double,
// kept bytes, wide characters across piece ends) is written as a table of
// short rows would be.
TEST_F(TextRoundTrip, HugeRowIsWrittenInPieces) {
    std::string huge;
    while (huge.size() < (std::size_t{5} << 20))
        huge += "表\"x" + rawCp932(0x80) + "ｶ,";
    std::string plain; // without kept CP932 bytes, for UTF-16
    while (plain.size() < (std::size_t{5} << 20))
        plain += "表\"x😀ｶ,";
    for (const E encoding : {E::ShiftJis, E::Utf16Be}) {
        const std::string& cell = encoding == E::ShiftJis ? huge : plain;
        const StringGrid grid = gridOf({{"a", "b"}, {cell, "y"}, {"z", cell}});
        const std::string whole = EncodeTable(grid, 2, Separator::of(','));
        const std::string target = path("h.csv");
        ASSERT_EQ(WriteTable(grid, target, Separator::of(','), encoding), WriteTableResult::Ok);
        EXPECT_TRUE(content(target) == *EncodeText(whole, encoding));
    }
    // A character the encoding lacks in the middle of the huge cell.
    StringGrid grid = gridOf({{"a", huge.substr(0, 3 << 20) + "😀" + huge.substr(3 << 20)}});
    put(path("h.csv"), "old");
    TextPosition where;
    EXPECT_EQ(WriteTable(grid, path("h.csv"), Separator::of(','), E::ShiftJis, &where),
              WriteTableResult::Unencodable);
    EXPECT_EQ(where.row, 1);
    EXPECT_EQ(where.col, 3);
    EXPECT_EQ(content(path("h.csv")), "old");
}

} // namespace
} // namespace tabulix
