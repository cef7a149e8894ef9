#include "text/DisplayWidth.h"
#include "text/TextHelpers.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace tabulix {
namespace {

struct Case {
    std::string_view in;
    std::string_view out;
};

TEST(FormatThousands, GroupsOfThreeFromTheRight) {
    for (const Case& c : {Case{"", ""}, Case{"1", "1"}, Case{"100", "100"}, Case{"1000", "1,000"},
                          Case{"123456", "123,456"}, Case{"1234567", "1,234,567"},
                          Case{"12345678901", "12,345,678,901"}})
        EXPECT_EQ(FormatThousands(c.in), c.out) << c.in;
}

TEST(FormatThousands, CountsCharactersNotBytes) {
    EXPECT_EQ(FormatThousands("１２３４"), "１,２３４");
}

TEST(DigitsOnly, KeepsAsciiDigitsOnly) {
    for (const Case& c : {Case{"", ""}, Case{"abc", ""}, Case{"1,234", "1234"},
                          Case{" -0x9f ", "09"}, Case{"２０２４年3月", "3"}})
        EXPECT_EQ(DigitsOnly(c.in), c.out) << c.in;
}

TEST(TrimBlanks, RemovesSpacesAndControlsAtTheEnds) {
    const std::string_view text = " \t\r\na b\x01 \x1F";
    EXPECT_EQ(TrimBlanks(text), "a b");
    EXPECT_EQ(TrimLeftBlanks(text), "a b\x01 \x1F");
    EXPECT_EQ(TrimRightBlanks(text), " \t\r\na b");
    EXPECT_EQ(TrimBlanks("   "), "");
    EXPECT_EQ(TrimBlanks(""), "");
    // The ideographic space is a character, not a blank.
    EXPECT_EQ(TrimBlanks("\u3000x\u3000"), "\u3000x\u3000");
}

struct PadCase {
    char pad;
    std::string_view text;
    int width;
    std::string_view left;
    std::string_view right;
};

class Pad : public ::testing::TestWithParam<PadCase> {};

TEST_P(Pad, LeftAndRight) {
    const PadCase& c = GetParam();
    EXPECT_EQ(PadLeft(c.pad, c.text, c.width), c.left);
    EXPECT_EQ(PadRight(c.pad, c.text, c.width), c.right);
    if (c.width > 0) {
        EXPECT_EQ(displayUnits(PadLeft(c.pad, c.text, c.width)), static_cast<std::size_t>(c.width));
        EXPECT_EQ(displayUnits(PadRight(c.pad, c.text, c.width)),
                  static_cast<std::size_t>(c.width));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Pad,
    ::testing::Values(PadCase{'0', " 42 ", 5, "00042", "42000"}, PadCase{'0', " 42 ", 1, "2", "4"},
                      PadCase{' ', "abc", 5, "  abc", "abc  "},
                      PadCase{' ', "abc", 3, "abc", "abc"}, PadCase{' ', "", 2, "  ", "  "},
                      PadCase{' ', "abc", 0, "", ""}, PadCase{' ', "abc", -3, "", ""},
                      PadCase{'*', "漢字", 6, "**漢字", "漢字**"},
                      PadCase{'*', "漢字", 4, "漢字", "漢字"},
                      // A wide character straddling the cut gives way to a pad.
                      PadCase{'*', "漢字", 3, "*字", "漢*"}, PadCase{'*', "a漢b", 2, "*b", "a*"},
                      PadCase{'*', "漢", 1, "*", "*"}, PadCase{'0', "ｱｲｳ", 4, "0ｱｲｳ", "ｱｲｳ0"}));

TEST(ReplaceAll, ReplacesEveryOccurrence) {
    EXPECT_EQ(ReplaceAll("a,b,,c", ",", ";"), "a;b;;c");
    EXPECT_EQ(ReplaceAll("aaaa", "aa", "b"), "bb");
    EXPECT_EQ(ReplaceAll("abc", "x", "y"), "abc");
    EXPECT_EQ(ReplaceAll("", "x", "y"), "");
    EXPECT_EQ(ReplaceAll("a--b", "--", ""), "ab");
}

TEST(ReplaceAll, ReplacementContainingThePatternEnds) {
    EXPECT_EQ(ReplaceAll("a\"b\"", "\"", "\"\""), "a\"\"b\"\"");
    EXPECT_EQ(ReplaceAll("xx", "x", "xx"), "xxxx");
}

TEST(ReplaceAll, EmptyPatternChangesNothing) {
    EXPECT_EQ(ReplaceAll("abc", "", "z"), "abc");
}

TEST(ReplaceAll, MultibyteText) {
    EXPECT_EQ(ReplaceAll("東京都東京", "東京", "大阪"), "大阪都大阪");
    EXPECT_EQ(ReplaceAll("漢字\r\n", "\r\n", "↵"), "漢字↵");
}

TEST(ReplaceAll, MatchesOnlyOnCharacterBoundaries) {
    // A lone continuation byte is a valid pattern byte-wise but must not hit
    // the inside of a character.
    EXPECT_EQ(ReplaceAll("あ", "\x81", "X"), "あ");
    EXPECT_EQ(ReplaceAll("a\x81", "\x81", "X"), "aX");
}

TEST(Quote, EnclosesInDoubleQuotes) {
    EXPECT_EQ(Quote(""), "\"\"");
    EXPECT_EQ(Quote("a b"), "\"a b\"");
    EXPECT_EQ(Quote("say \"hi\""), "\"say \"hi\"\"");
}

TEST(ByteKinds, OneKindPerDisplayUnit) {
    for (const Case& c : {Case{"", ""}, Case{"ab", "00"}, Case{"a漢b", "0120"},
                          Case{"漢字", "1212"}, Case{"ｱｲ", "00"}, Case{"a\x82", "012"}}) {
        EXPECT_EQ(ByteKinds(c.in), c.out) << c.in;
        EXPECT_EQ(ByteKinds(c.in).size(), displayUnits(c.in));
    }
}

struct WrapCase {
    std::string_view text;
    int n;
    bool trimBoth;
    std::string_view out;
};

class Wrap : public ::testing::TestWithParam<WrapCase> {};

TEST_P(Wrap, LinesOfExactlyNUnits) {
    const WrapCase& c = GetParam();
    EXPECT_EQ(WrapFixed(c.text, c.n, c.trimBoth), c.out);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Wrap,
    ::testing::Values(
        // "ab" and a wide character, n = 3: the wide one moves down, a blank fills.
        WrapCase{"ab漢", 3, false, "ab 漢"}, WrapCase{"abcdef", 3, false, "abcdef"},
        WrapCase{"abcdefg", 3, false, "abcdefg"}, WrapCase{"漢字", 2, false, "漢字"},
        WrapCase{"a漢字", 2, false, "a 漢字"}, WrapCase{"a漢字", 4, false, "a漢 字"},
        WrapCase{"ｱｲｳｴ", 3, false, "ｱｲｳｴ"}, WrapCase{"  ab  ", 3, false, "  ab"},
        WrapCase{"  ab  ", 3, true, "ab"}, WrapCase{"", 3, false, ""},
        WrapCase{"abc", 1, false, ""}, WrapCase{"abc", 0, true, ""}, WrapCase{"abc", -2, false, ""},
        // An invalid byte is kept and wraps like a wide character.
        WrapCase{"a\x82", 2, false, "a \x82"}));

TEST(Bits, MostSignificantBitFirst) {
    std::array<std::uint8_t, 2> bits{};
    SetBit(bits, 0, true);
    SetBit(bits, 9, true);
    SetBit(bits, 15, true);
    EXPECT_EQ(bits[0], 0x80);
    EXPECT_EQ(bits[1], 0x41);
    EXPECT_TRUE(TestBit(bits, 0));
    EXPECT_FALSE(TestBit(bits, 1));
    EXPECT_TRUE(TestBit(bits, 9));
    EXPECT_TRUE(TestBit(bits, 15));
    SetBit(bits, 9, false);
    EXPECT_EQ(bits[1], 0x01);
    EXPECT_FALSE(TestBit(bits, 9));
}

TEST(Bits, OutsideTheArrayReadsFalseAndIsNotWritten) {
    std::array<std::uint8_t, 3> bits{0xFF, 0xFF, 0x00};
    const std::span<std::uint8_t> firstTwo(bits.data(), 2);
    SetBit(firstTwo, 16, true);
    SetBit(firstTwo, -1, true);
    EXPECT_EQ(bits[2], 0x00);
    EXPECT_FALSE(TestBit(firstTwo, 16));
    EXPECT_FALSE(TestBit(firstTwo, -1));
    EXPECT_FALSE(TestBit(std::span<const std::uint8_t>(), 0));
}

TEST(FlattenLineBreaks, EachBreakBecomesOneMark) {
    for (const Case& c : {Case{"", ""}, Case{"ab", "ab"}, Case{"a\r\nb", "a↵b"},
                          Case{"a\rb", "a↵b"}, Case{"a\nb", "a↵b"}, Case{"a\n\rb", "a↵↵b"},
                          Case{"\r\n\r\n", "↵↵"}, Case{"a\r\r\nb", "a↵↵b"}, Case{"漢\n", "漢↵"}})
        EXPECT_EQ(FlattenLineBreaks(c.in), c.out) << c.in;
}

TEST(CellDisplayUnits, LineBreakMarkCountsOne) {
    EXPECT_EQ(cellDisplayUnits(""), 0u);
    EXPECT_EQ(cellDisplayUnits("ab"), 2u);
    EXPECT_EQ(cellDisplayUnits("a\r\nb"), 3u);
    EXPECT_EQ(cellDisplayUnits("a\rb\nc"), 5u);
    EXPECT_EQ(cellDisplayUnits("漢\n字"), 5u);
    EXPECT_EQ(cellDisplayUnits("\x82\n"), 3u);
    // The general width of the mark stays 2; only cell text counts it 1.
    EXPECT_EQ(displayUnits("↵"), 2u);
    for (std::string_view text : {"a\r\nb", "x\ry\nz", "漢\r\n\r\n字", "↵"})
        EXPECT_EQ(cellDisplayUnits(FlattenLineBreaks(text)), cellDisplayUnits(text)) << text;
}

// Long texts are counted eight ASCII bytes at a time: a line break or a
// wide character at any offset of such a step still counts as it does alone,
// also a CR at the end of one step and its LF at the start of the next.
TEST(CellDisplayUnits, LongTextsCountAsTheirPieces) {
    for (std::size_t at = 0; at <= 24; ++at)
        for (const std::string_view piece : {"\r\n", "\r", "\n", "漢", "\x82", "↵", "\t", "ｶ"}) {
            std::string text(24, 'a');
            text.insert(at, piece);
            EXPECT_EQ(cellDisplayUnits(text), 24 + cellDisplayUnits(piece)) << at << " " << piece;
        }
    EXPECT_EQ(cellDisplayUnits(std::string(7, 'a') + "\r\n" + std::string(9, 'b')), 17u);
}

} // namespace
} // namespace tabulix
