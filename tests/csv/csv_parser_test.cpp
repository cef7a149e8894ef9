#include "csv/CsvParser.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace tabulix {
namespace {

using Record = std::vector<std::string>;
using Records = std::vector<Record>;

const Separator kComma = Separator::of(',');
const Separator kTab = Separator::of('\t');
const Separator kBlank = Separator::of(' ');
const Separator kBar = Separator::of('|');
const Separator kNone = Separator::none();

// Every parse in these tests also checks that the copying and the viewing
// parse and the cheap count agree.
Records parse(std::string_view text, Separator sep) {
    Records out;
    ParseRecords(text, sep, [&](std::span<const std::string> fields) {
        out.emplace_back(fields.begin(), fields.end());
    });
    Records viewed;
    ParseRecordViews(text, sep, [&](std::span<const std::string_view> fields) {
        viewed.emplace_back(fields.begin(), fields.end());
    });
    EXPECT_EQ(viewed, out) << "text: " << testing::PrintToString(text);
    EXPECT_EQ(CountRecords(text, sep), out.size()) << "text: " << testing::PrintToString(text);
    return out;
}

struct GrammarCase {
    std::string text;
    Records expected;
};

void expectCases(Separator sep, const std::vector<GrammarCase>& cases) {
    for (const GrammarCase& c : cases)
        EXPECT_EQ(parse(c.text, sep), c.expected) << "text: " << testing::PrintToString(c.text);
}

TEST(CsvParser, CommaFieldGrammar) {
    expectCases(kComma, {
                            {"a,\"b,c\",d", {{"a", "b,c", "d"}}},
                            {"x\"ab\"y", {{"x\"ab\"y"}}},
                            {"\"a\"\"b\"", {{"a\"b"}}},
                            {"a,b,", {{"a", "b", ""}}},
                            {",,", {{"", "", ""}}},
                            {",a", {{"", "a"}}},
                            {"\"\"", {{""}}},
                            {"\"\",\"\"", {{"", ""}}},
                            {"\"\"\"\"", {{"\""}}},
                            {"\"ab\"cd", {{"abcd"}}},
                            {"\"ab\"c\"d", {{"abc\"d"}}},
                            {"a\"\"b", {{"a\"\"b"}}},
                            {" \"a,b\"", {{" \"a", "b\""}}},
                            {"a, b ,c", {{"a", " b ", "c"}}},
                            {"\"x\ty\"\t,z", {{"x\ty\t", "z"}}},
                            {"東京,\"大阪,京都\",ｶﾅ", {{"東京", "大阪,京都", "ｶﾅ"}}},
                        });
}

TEST(CsvParser, UnclosedQuoteIsTextFromThatQuoteOn) {
    expectCases(kComma, {
                            {"a,\"unfinished", {{"a", "\"unfinished"}}},
                            {"\"", {{"\""}}},
                            {"a,\"", {{"a", "\""}}},
                            {"\"\"\"", {{"\"\"\""}}},
                            {"\"a\"\",b", {{"\"a\"\"", "b"}}},
                            // The lines after the quote are read as plain lines.
                            {"\"a,b\nc,d\r\n", {{"\"a", "b"}, {"c", "d"}}},
                            // Quotes mean nothing from the backed-off quote on:
                            // "" stays two quotes.
                            {"\"u\n\"\"v\"\",w", {{"\"u"}, {"\"\"v\"\"", "w"}}},
                            // Records before the quote are not touched.
                            {"\"q\",r\ns,\"t\nu", {{"q", "r"}, {"s", "\"t"}, {"u"}}},
                        });
    // A quote that closes later, even lines later, is no unclosed quote.
    expectCases(kComma, {{"\"a\n\"b\"", {{"a\nb\""}}}});
}

TEST(CsvParser, QuotedFieldsSpanLinesAndKeepTheirLineBreaks) {
    expectCases(kComma, {
                            {"\"x\r\ny\",z\r\nnext", {{"x\r\ny", "z"}, {"next"}}},
                            {"\"x\ry\"", {{"x\ry"}}},
                            {"\"x\ny\"", {{"x\ny"}}},
                            {"a,\"\n\n\",b", {{"a", "\n\n", "b"}}},
                            {"\"\r\n\"\r\n", {{"\r\n"}}},
                        });
}

TEST(CsvParser, BlankSeparatorCollapsesRunsButKeepsExplicitEmptyFields) {
    expectCases(kBlank, {
                            {"  a   b ", {{"a", "b"}}},
                            {"a \"\" b", {{"a", "", "b"}}},
                            {"\"\" \"\"", {{"", ""}}},
                            {"\"a b\" c", {{"a b", "c"}}},
                            {"  \"x\"y z", {{"xy", "z"}}},
                            {"a\tb c", {{"a\tb", "c"}}},
                            {"a,b c", {{"a,b", "c"}}},
                            {"a  ", {{"a"}}},
                            {"a\"b c", {{"a\"b", "c"}}},
                            {"\" a", {{"\"", "a"}}},
                            {"x \"multi\r\nline\" y", {{"x", "multi\r\nline", "y"}}},
                        });
}

TEST(CsvParser, OtherSeparators) {
    expectCases(kTab, {
                          {"a\tb\t", {{"a", "b", ""}}},
                          {"\"a\tb\"\tc", {{"a\tb", "c"}}},
                          {"\ta", {{"", "a"}}},
                          {"a,b\tc", {{"a,b", "c"}}},
                          {"a b\t c", {{"a b", " c"}}},
                      });
    expectCases(kBar, {
                          {"a|\"b|c\"|", {{"a", "b|c", ""}}},
                          {"||", {{"", "", ""}}},
                          {"a,b|c", {{"a,b", "c"}}},
                      });
}

TEST(CsvParser, NoSeparatorTakesEachLineAsItStands) {
    expectCases(kNone, {
                           {"a,b", {{"a,b"}}},
                           {"\"x\",\"y", {{"\"x\",\"y"}}},
                           {"a\n\nb", {{"a"}, {""}, {"b"}}},
                           {"  \t", {{"  \t"}}},
                           {"\"a\nb\"", {{"\"a"}, {"b\""}}},
                           {"a\r\n", {{"a"}}},
                           {"\r\n", {{""}}},
                       });
}

TEST(CsvParser, BlankRecordsHaveNoFields) {
    for (const Separator sep : {kComma, kTab, kBlank, kBar}) {
        expectCases(sep, {
                             {"", {}},
                             {"   ", {{}}},
                             {"\t\x01 \x1f", {{}}},
                             {"\n", {{}}},
                             {"a\n \nb", {{"a"}, {}, {"b"}}},
                         });
    }
    // A separator that is not a blank makes the record non-blank.
    expectCases(kComma, {{" , ", {{" ", " "}}}});
}

TEST(CsvParser, LineEnds) {
    for (const Separator sep : {kComma, kBlank, kNone}) {
        const Record empty = sep.isNone() ? Record{""} : Record{};
        expectCases(sep, {
                             {"a\r\nb\nc\rd", {{"a"}, {"b"}, {"c"}, {"d"}}},
                             {"a\r\n", {{"a"}}},
                             {"a\n", {{"a"}}},
                             {"a\r", {{"a"}}},
                             {"a\n\n", {{"a"}, empty}},
                             {"\n\r", {empty, empty}},
                             {"\r\r\n", {empty, empty}},
                             {"\n\n\n", {empty, empty, empty}},
                             {"\r\n\r\n", {empty, empty}},
                         });
    }
}

TEST(CsvParser, NulEndsTheText) {
    using namespace std::string_literals;
    expectCases(kComma, {
                            {"a,b\0c,d\ne"s, {{"a", "b"}}},
                            {"\0abc"s, {}},
                            {"x\n\0\n"s, {{"x"}}},
                            // The quote closes after the NUL only: it is unclosed.
                            {"\"a\0b\""s, {{"\"a"}}},
                        });
    expectCases(kNone, {{"a\0b"s, {{"a"}}}});
}

TEST(CsvParser, QuotedFieldWithManyLineBreaks) {
    constexpr int kBreaks = 100000;
    std::string inner;
    for (int i = 0; i < kBreaks; ++i)
        inner += i % 2 ? "x\r\n" : "y\n";
    const std::string text = "head,\"" + inner + "\",tail\r\nnext\r\n";
    const Records records = parse(text, kComma);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0], (Record{"head", inner, "tail"}));
    EXPECT_EQ(records[1], Record{"next"});
}

TEST(CsvParser, LongSingleLine) {
    const std::string plain(30'000'000, 'p');
    std::string quoted;
    for (int i = 0; i < 1'000'000; ++i)
        quoted += "q,\"\"q\n";
    std::string text = plain + ",\"";
    for (const char c : quoted) {
        text += c;
        if (c == '"') text += '"';
    }
    text += "\",end";
    const Records records = parse(text, kComma);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0], (Record{plain, quoted, "end"}));
}

// Records whose special characters shift through every position of a small
// window, so that no byte position is treated differently.
TEST(CsvParser, SpecialCharactersAtEveryOffset) {
    const std::string tail = ",\"b,\"\"c\r\nd\",e\r\n\"\"\rf\n,\n";
    const Records tailRecords = {{"", "b,\"c\r\nd", "e"}, {""}, {"f"}, {"", ""}};
    for (std::size_t pad = 0; pad <= 40; ++pad) {
        const std::string head(pad, 'h');
        Records expected = tailRecords;
        expected[0][0] = head;
        EXPECT_EQ(parse(head + tail, kComma), expected) << "pad " << pad;
    }
    for (std::size_t pad = 0; pad <= 40; ++pad) {
        const std::string head(pad, ' ');
        EXPECT_EQ(parse(head + "\"a b\"  c\n" + head + "d", kBlank), (Records{{"a b", "c"}, {"d"}}))
            << "pad " << pad;
    }
}

// The fields of a quote-free line, by a plain split.
Record splitPlainLine(const std::string& line, Separator sep) {
    if (sep.isNone()) return {line};
    if (std::all_of(line.begin(), line.end(),
                    [](char c) { return static_cast<unsigned char>(c) <= ' '; }))
        return {};
    Record out{""};
    for (const char c : line) {
        if (c == sep.character())
            out.emplace_back();
        else
            out.back() += c;
    }
    if (sep == kBlank) std::erase(out, "");
    return out;
}

std::vector<std::string> physicalLines(const std::string& text) {
    std::vector<std::string> lines;
    std::string line;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') {
            line += text[i];
            continue;
        }
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        lines.push_back(line);
        line.clear();
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

TEST(CsvParser, QuoteFreeTextsSplitLikeAPlainSplit) {
    std::mt19937 rng(20240601);
    const std::vector<std::string> pieces = {"a", "あ", "ｶ",  ",",    "\t",  " ",
                                             "|", "\r", "\n", "\r\n", "\x01"};
    for (const Separator sep : {kComma, kTab, kBar, kBlank, kNone}) {
        for (int round = 0; round < 3000; ++round) {
            std::string text;
            const int length = static_cast<int>(rng() % 24);
            for (int i = 0; i < length; ++i)
                text += pieces[rng() % pieces.size()];
            Records expected;
            for (const std::string& line : physicalLines(text))
                expected.push_back(splitPlainLine(line, sep));
            ASSERT_EQ(parse(text, sep), expected) << testing::PrintToString(text);
        }
    }
}

std::string fromHex(const std::string& hex) {
    std::string out;
    if (hex == "-") return out;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        out += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    return out;
}

// Cases generated with Python's csv module (make_python_reference.py).
TEST(CsvParser, AgreesWithPythonCsvReference) {
    std::ifstream in(TABULIX_CSV_TEST_DATA "/python_csv_reference.txt");
    ASSERT_TRUE(in) << "reference data missing";
    std::string hexText;
    int cases = 0;
    while (in >> hexText) {
        const std::string text = fromHex(hexText);
        std::size_t recordCount = 0;
        in >> recordCount;
        Records expected(recordCount);
        for (Record& record : expected) {
            std::size_t fieldCount = 0;
            in >> fieldCount;
            for (std::size_t f = 0; f < fieldCount; ++f) {
                std::string hexField;
                in >> hexField;
                record.push_back(fromHex(hexField));
            }
        }
        EXPECT_EQ(parse(text, kComma), expected) << testing::PrintToString(text);
        ++cases;
    }
    EXPECT_EQ(cases, 600);
}

TEST(CsvParser, SplitLine) {
    EXPECT_EQ(SplitLine("file.csv,\"a,b\",Key:ClipBoard", kComma),
              (Record{"file.csv", "a,b", "Key:ClipBoard"}));
    EXPECT_EQ(SplitLine("", kComma), Record{});
    EXPECT_EQ(SplitLine("  ", kBlank), Record{});
    EXPECT_EQ(SplitLine("a,b\nc", kComma), (Record{"a", "b", "c"}));
    EXPECT_EQ(SplitLine("a,b", kNone), Record{"a,b"});
}

} // namespace
} // namespace tabulix
