#include "text/DisplayWidth.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace tabulix {
namespace {

struct WidthCase {
    char32_t c;
    int width;
};

class DisplayWidthOfChar : public ::testing::TestWithParam<WidthCase> {};

TEST_P(DisplayWidthOfChar, FollowsTheShiftJisByteLength) {
    EXPECT_EQ(displayWidth(GetParam().c), GetParam().width);
}

INSTANTIATE_TEST_SUITE_P(
    Boundaries, DisplayWidthOfChar,
    ::testing::Values(WidthCase{U'\0', 1}, WidthCase{U'A', 1}, WidthCase{U'\x7F', 1},
                      WidthCase{U'\x80', 2}, WidthCase{U'\u00E9', 2}, WidthCase{U'\u3042', 2}, // あ
                      WidthCase{U'\u6F22', 2}, // 漢
                      WidthCase{U'\uFF21', 2}, // full-width A
                      WidthCase{U'\uFF60', 2}, // just below half-width katakana
                      WidthCase{U'\uFF61', 1}, // ｡ first half-width katakana
                      WidthCase{U'\uFF71', 1}, // ｱ
                      WidthCase{U'\uFF9F', 1}, // ﾟ last half-width katakana
                      WidthCase{U'\uFFA0', 2}, // just above
                      WidthCase{U'\U0001F600', 2}, WidthCase{kReplacementChar, 2}));

struct DecodeCase {
    const char* name;
    std::string_view bytes;
    char32_t codePoint;
    std::size_t length;
    bool valid;
};

class DecodeFirstChar : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeFirstChar, GivesCodePointAndLength) {
    const DecodeCase& c = GetParam();
    const DecodedChar ch = decodeUtf8(c.bytes, 0);
    EXPECT_EQ(ch.codePoint, c.codePoint);
    EXPECT_EQ(ch.length, c.length);
    EXPECT_EQ(ch.valid, c.valid);
}

INSTANTIATE_TEST_SUITE_P(
    Utf8, DecodeFirstChar,
    ::testing::Values(
        DecodeCase{"Ascii", "A", U'A', 1, true},
        DecodeCase{"Nul", std::string_view("\0", 1), 0, 1, true},
        DecodeCase{"TwoBytes", "\xC3\xA9", U'\u00E9', 2, true},
        DecodeCase{"ThreeBytes", "\xE3\x81\x82", U'\u3042', 3, true},
        DecodeCase{"FourBytes", "\xF0\x9F\x98\x80", U'\U0001F600', 4, true},
        DecodeCase{"StrayContinuation", "\x80\x41", kReplacementChar, 1, false},
        DecodeCase{"TruncatedAtEnd", "\xE3\x81", kReplacementChar, 1, false},
        DecodeCase{"TruncatedBeforeAscii", "\xE3\x81\x41", kReplacementChar, 1, false},
        DecodeCase{"OverlongSlash", "\xC0\xAF", kReplacementChar, 1, false},
        DecodeCase{"OverlongThree", "\xE0\x80\xAF", kReplacementChar, 1, false},
        DecodeCase{"Surrogate", "\xED\xA0\x80", kReplacementChar, 1, false},
        DecodeCase{"AboveUnicode", "\xF4\x90\x80\x80", kReplacementChar, 1, false},
        DecodeCase{"FiveByteLead", "\xF8\x88\x80\x80\x80", kReplacementChar, 1, false},
        DecodeCase{"ByteFF", "\xFF", kReplacementChar, 1, false},
        // A CP932 "あ" read as UTF-8.
        DecodeCase{"ShiftJisBytes", "\x82\xA0", kReplacementChar, 1, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DecodeUtf8, ReadsFromTheGivenPosition) {
    const std::string_view text = "a\xE3\x81\x82z";
    EXPECT_EQ(decodeUtf8(text, 1).codePoint, U'\u3042');
    EXPECT_EQ(decodeUtf8(text, 4).codePoint, U'z');
    // Starting inside a character finds a stray continuation byte.
    EXPECT_FALSE(decodeUtf8(text, 2).valid);
}

TEST(AppendUtf8, RoundTripsThroughDecode) {
    for (char32_t c : {U'\0', U'A', U'\x7F', U'\x80', U'\u07FF', U'\u0800', U'\u3042', U'\uFFFF',
                       U'\U00010000', U'\U0010FFFF'}) {
        std::string out;
        appendUtf8(out, c);
        const DecodedChar ch = decodeUtf8(out, 0);
        EXPECT_TRUE(ch.valid) << static_cast<unsigned>(c);
        EXPECT_EQ(ch.codePoint, c);
        EXPECT_EQ(ch.length, out.size());
    }
}

TEST(AppendUtf8, WritesReplacementForImpossibleCodePoints) {
    std::string out;
    appendUtf8(out, 0xD800);
    appendUtf8(out, 0x110000);
    EXPECT_EQ(out, "\uFFFD\uFFFD");
}

struct TextCase {
    const char* name;
    std::string_view text;
    std::size_t units;
    std::size_t codePoints;
};

class TextMeasures : public ::testing::TestWithParam<TextCase> {};

TEST_P(TextMeasures, CountUnitsAndCodePoints) {
    EXPECT_EQ(displayUnits(GetParam().text), GetParam().units);
    EXPECT_EQ(codePointCount(GetParam().text), GetParam().codePoints);
}

INSTANTIATE_TEST_SUITE_P(Texts, TextMeasures,
                         ::testing::Values(TextCase{"Empty", "", 0, 0},
                                           TextCase{"Ascii", "abc", 3, 3},
                                           TextCase{"Kanji", "漢字", 4, 2},
                                           TextCase{"Mixed", "a漢b", 4, 3},
                                           TextCase{"HalfWidthKatakana", "ｶﾀｶﾅ", 4, 4},
                                           TextCase{"FullWidthKatakana", "カタカナ", 8, 4},
                                           TextCase{"Emoji", "\U0001F600", 2, 1},
                                           // Each invalid byte is one character shown as U+FFFD.
                                           TextCase{"InvalidBytes", "a\x82\xA0z", 6, 4},
                                           TextCase{"TruncatedSequence", "\xE3\x81", 4, 2}),
                         [](const auto& info) { return std::string(info.param.name); });

struct CutCase {
    const char* name;
    std::string_view text;
    std::size_t n;
    std::string_view head;
    std::string_view tail;
};

class CutToUnits : public ::testing::TestWithParam<CutCase> {};

TEST_P(CutToUnits, NeverSplitsACharacter) {
    EXPECT_EQ(headUnits(GetParam().text, GetParam().n), GetParam().head);
    EXPECT_EQ(tailUnits(GetParam().text, GetParam().n), GetParam().tail);
}

INSTANTIATE_TEST_SUITE_P(
    Cuts, CutToUnits,
    ::testing::Values(CutCase{"Empty", "", 3, "", ""}, CutCase{"Zero", "abc", 0, "", ""},
                      CutCase{"Fits", "abc", 3, "abc", "abc"},
                      CutCase{"Longer", "abcdef", 2, "ab", "ef"},
                      CutCase{"WideFitsExactly", "a漢b", 3, "a漢", "漢b"},
                      CutCase{"WideStraddles", "a漢b", 2, "a", "b"},
                      CutCase{"OnlyWideOddLimit", "漢字", 3, "漢", "字"},
                      CutCase{"OnlyWideTooSmall", "漢", 1, "", ""},
                      CutCase{"HalfWidthKatakana", "ｱｲｳ", 2, "ｱｲ", "ｲｳ"},
                      CutCase{"InvalidByteIsWide", "ab\x82", 3, "ab", "b\x82"},
                      CutCase{"InvalidByteStraddles", "a\x82", 2, "a", "\x82"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace tabulix
