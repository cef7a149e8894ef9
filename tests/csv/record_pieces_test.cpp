#include "csv/ByteScan.h"
#include "csv/CsvParser.h"
#include "csv/FileReading.h"
#include "csv/RecordPieces.h"
#include "csv/RecordScanner.h"
#include "csv/TableLoader.h"
#include "csv/TextEncoding.h"
#include "table/Table.h"
#include "table/TableLayout.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace tabulix {
namespace {

using Records = std::vector<std::vector<std::string>>;

Records wholeParse(std::string_view text, Separator sep) {
    Records out;
    ParseRecords(text, sep, [&](std::span<const std::string> fields) {
        out.emplace_back(fields.begin(), fields.end());
    });
    return out;
}

// The records of every piece read on its own, one after the other.
Records pieceParse(std::string_view text, Separator sep, const std::vector<RecordPiece>& pieces) {
    Records out;
    std::size_t at = 0;
    for (const RecordPiece& piece : pieces) {
        EXPECT_EQ(piece.begin, at);
        at = piece.end;
        RecordScanner scanner(text.substr(piece.begin, piece.end - piece.begin), sep,
                              piece.quotes);
        std::size_t records = 0;
        while (scanner.next()) {
            const auto fields = scanner.fields();
            out.emplace_back(fields.begin(), fields.end());
            ++records;
        }
        EXPECT_EQ(records, piece.records);
    }
    EXPECT_EQ(at, text.size());
    return out;
}

TEST(ByteScan, EveryVectorWidthAndTheFinderAgreeWithThePlainLoop) {
    std::mt19937 rng(7);
    const char alphabet[] = {',', '"', '\r', '\n', 'a', '\t', '\0', '\x82', '\xA0', ' '};
    std::string text(300, 'x');
    for (char& c : text)
        c = alphabet[rng() % sizeof alphabet];
    const StopBytes stops{',', '"', '\r', '\n'};
    for (std::size_t at = 0; at + 64 <= text.size(); ++at) {
        const std::uint64_t plain = StopMaskPlain(text.data() + at, stops);
        EXPECT_EQ(StopMaskSse2(text.data() + at, stops), plain) << at;
        if (ProcessorHasAvx2()) {
            EXPECT_EQ(StopMaskAvx2(text.data() + at, stops), plain) << at;
        }
    }
    // The finder from every start, over texts ending at every offset of a
    // window, including no stop byte at all in the tail.
    for (std::size_t size : {0u, 1u, 63u, 64u, 65u, 127u, 128u, 200u, 300u}) {
        const std::string_view part = std::string_view(text).substr(0, size);
        StopFinder finder(part, stops);
        for (std::size_t from = 0; from <= size; ++from) {
            const std::size_t expected = std::min(part.find_first_of(",\"\r\n", from), size);
            EXPECT_EQ(finder.next(from), expected) << size << " " << from;
        }
    }
    const std::string plain(130, 'a');
    StopFinder none(plain, stops);
    EXPECT_EQ(none.next(0), plain.size());
}

// Texts that put every kind of trouble near every place a piece may be
// guessed to start: quoted line breaks, doubled quotes, CR LF pairs split
// across the guess, lone CRs, blank records, multibyte and invalid bytes,
// an unclosed quote and the blank separator's runs.
TEST(SplitRecords, PiecesReadTheRecordsOfTheWholeTextWhereverTheyAreCut) {
    const std::string tricky =
        "a,\"b\r\nc\",d\r\n\"x\"\"y\",\"\"\r\n\r\n \t\r\n東京,ｶﾀ\xFF\xFE,\"改\n行\"\r"
        "e  f,\"g\"h,\"\"\"\"\n\"quoted, sep\",z\r\n,,\r\n\"open\r\nrest,of\r\nit";
    const std::string closedAgain = tricky.substr(0, tricky.size() - 20) + "\"\r\nlast";
    // Quotes that would pair up if the unclosed one before them were missed.
    const std::string quotesOff = "\"open\r\nb,\"\"\r\nc,\"\"x\r\nd\r\n";
    for (const std::string& text : {tricky, closedAgain, quotesOff}) {
        for (const Separator sep : {Separator::of(','), Separator::of('\t'), Separator::of(' '),
                                    Separator::of('"'), Separator::none()}) {
            const Records expected = wholeParse(text, sep);
            for (std::size_t cut = 0; cut <= text.size(); ++cut) {
                for (const std::vector<std::size_t>& near :
                     {std::vector<std::size_t>{cut}, std::vector<std::size_t>{cut, cut + 1, cut + 5},
                      std::vector<std::size_t>{cut / 3, cut / 2, cut}}) {
                    const auto pieces = SplitRecordsNear(text, sep, near);
                    ASSERT_EQ(pieceParse(text, sep, pieces), expected)
                        << "cut " << cut << " separator " << static_cast<int>(sep.character());
                }
            }
        }
    }
}

// A generated text of a few megabytes, read whole by the plain grammar and
// loaded in pieces on every core, must give the same table cell for cell;
// the same for the text saved as CP932 and read back from a file.
std::string generatedText(char sep, std::mt19937& rng) {
    const char* const words[] = {"東京", "ｶﾀｶﾅ", "plain", "", " ", "名古屋市中区", "x"};
    std::string text;
    while (text.size() < (std::size_t{5} << 19)) {
        const int fields = 1 + static_cast<int>(rng() % 12);
        for (int f = 0; f < fields; ++f) {
            if (f > 0) text += sep;
            switch (rng() % 6) {
            case 0:
                text += "\"q" + std::string(1, sep) + "\"\"\r\n" + words[rng() % 7] + "\"";
                break;
            case 1:
                text += "\"tail\"after";
                break;
            default:
                text += words[rng() % 7];
            }
        }
        text += rng() % 4 == 0 ? "\n" : "\r\n";
    }
    return text;
}

// The table's rows as records: each row's cells up to its last non-empty
// one, as the whole parse gives them (it keeps trailing empty fields, so
// those are trimmed on both sides).
Records trimmed(Records records) {
    for (auto& record : records)
        while (!record.empty() && record.back().empty())
            record.pop_back();
    return records;
}

Records tableRecords(const Table& table) {
    Records out;
    for (int r = 1; r < table.grid.rowCount(); ++r) {
        std::vector<std::string>& record = out.emplace_back();
        for (int c = kFirstDataCol; c < table.grid.colCount(); ++c)
            record.push_back(table.grid.cellText(c, r));
    }
    return trimmed(std::move(out));
}

void expectSameTable(const Table& table, const Records& records) {
    EXPECT_EQ(tableRecords(table), trimmed(records));
}

TEST(FillTable, LoadInPiecesEqualsTheWholeParseForEverySeparatorAndEncoding) {
    std::mt19937 rng(11);
    const ResetMetrics metrics{7.0, 21, 25, false};
    const std::filesystem::path folder = makeTemporaryFolder("tabulix-pieces");
    for (const SeparatorEntry& entry : separatorTable()) {
        const Separator separator = entry.separator;
        const char sep = separator.isNone() ? ',' : separator.character();
        const std::string text = generatedText(sep, rng);
        ASSERT_GT(SplitRecords(text, separator, 4).size(), 1u);
        const Records expected = wholeParse(text, separator);
        Table table;
        std::size_t lastDone = 0;
        const auto loaded = FillTable(table, text, separator, metrics,
                                      [&](std::size_t done, std::size_t total) {
                                          EXPECT_GE(done, lastDone);
                                          EXPECT_LE(done, total);
                                          EXPECT_EQ(done % 1000, 1u);
                                          lastDone = done;
                                      });
        ASSERT_EQ(loaded, expected.size());
        expectSameTable(table, expected);

        const std::string path = (folder / "cp932.csv").string();
        writeBytes(path, *EncodeText(text, TextEncoding::ShiftJis));
        const auto file = ReadTextFile(path);
        ASSERT_TRUE(file);
        ASSERT_EQ(file->encoding(), TextEncoding::ShiftJis);
        Table fromFile;
        ASSERT_EQ(FillTable(fromFile, file->text(), separator, metrics, {}, {},
                            LoadLimits::ofMachine(),
                            [&](std::string_view part) { file->letGo(part); }),
                  expected.size());
        expectSameTable(fromFile, expected);
    }
    std::filesystem::remove_all(folder);
}

TEST(FillTable, AMappedFileLetGoWhileLoadingStillLoadsWhole) {
    std::mt19937 rng(3);
    const std::string text = generatedText(',', rng) + generatedText(',', rng) +
                             generatedText(',', rng) + generatedText(',', rng);
    const std::filesystem::path folder = makeTemporaryFolder("tabulix-letgo");
    const std::string path = (folder / "utf8.csv").string();
    writeBytes(path, text);
    const auto file = ReadTextFile(path);
    ASSERT_TRUE(file);
    Table table;
    ASSERT_TRUE(FillTable(table, file->text(), Separator::of(','), {7.0, 21, 25, false}, {}, {},
                          LoadLimits::ofMachine(),
                          [&](std::string_view part) { file->letGo(part); }));
    expectSameTable(table, wholeParse(text, Separator::of(',')));
    // The pages let go read from the file again should they be touched.
    EXPECT_EQ(file->text(), text);
    std::filesystem::remove_all(folder);
}

} // namespace
} // namespace tabulix
