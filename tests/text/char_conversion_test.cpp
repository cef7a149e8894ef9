#include "text/CharConversion.h"

#include "text/DisplayWidth.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

namespace tabulix {
namespace {

using Conversion = std::string (*)(std::string_view);

struct ConversionCase {
    const char* name;
    Conversion convert;
    std::string_view input;
    std::string_view expected;
};

class CharConversion : public ::testing::TestWithParam<ConversionCase> {};

TEST_P(CharConversion, GivesTheExpectedText) {
    EXPECT_EQ(GetParam().convert(GetParam().input), GetParam().expected);
}

// Raw-byte code points U+10F000 and U+10FFFF, which hold undecodable file bytes.
#define RAW_FIRST "\xF4\x8F\x80\x80"
#define RAW_LAST "\xF4\x8F\xBF\xBF"

INSTANTIATE_TEST_SUITE_P(
    Cases, CharConversion,
    ::testing::Values(
        ConversionCase{"FullMixed", ToFullWidth, "ｱｲｳ123abc", "アイウ１２３ａｂｃ"},
        ConversionCase{"FullSemiVoiced", ToFullWidth, "ﾊﾟ", "パ"},
        ConversionCase{"FullVoicedRows", ToFullWidth, "ｶﾞｷﾞﾁﾞﾂﾞﾃﾞﾄﾞﾊﾞﾎﾞﾋﾟﾎﾟｳﾞ", "ガギヂヅデドバボピポヴ"},
        ConversionCase{"FullMarkWithoutVoicedForm", ToFullWidth, "ｯﾞｱﾞｶﾟﾝﾟ", "ッ゛ア゛カ゜ン゜"},
        ConversionCase{"FullLoneAndDoubledMarks", ToFullWidth, "ﾞﾟﾊﾞﾞ", "゛゜バ゛"},
        ConversionCase{"FullAsciiEnds", ToFullWidth, " !\"'\\~", "　！＂＇＼～"},
        ConversionCase{"FullKanaPunctuation", ToFullWidth, "｡｢｣､･ｰｦｧｯﾜﾝ", "。「」、・ーヲァッワン"},
        ConversionCase{"FullKeepsOthers", ToFullWidth, "漢字あア¥￥’”\t\r\n\x7F", "漢字あア¥￥’”\t\r\n\x7F"},
        ConversionCase{"FullEmpty", ToFullWidth, "", ""},
        ConversionCase{"FullRawBytes", ToFullWidth, RAW_FIRST "a" RAW_LAST "ｱ", RAW_FIRST "ａ" RAW_LAST "ア"},
        ConversionCase{"FullInvalidBytes", ToFullWidth, "\xFF" "1\xEF\xBD", "\xFF" "１\xEF\xBD"},
        ConversionCase{"FullKanaBeforeBrokenMark", ToFullWidth, "ｶ\xEF\xBE", "カ\xEF\xBE"},
        ConversionCase{"HalfMixed", ToHalfWidth, "アイウ１２３ａｂｃ", "ｱｲｳ123abc"},
        ConversionCase{"HalfVoiced", ToHalfWidth, "パガヴヂポ", "ﾊﾟｶﾞｳﾞﾁﾞﾎﾟ"},
        ConversionCase{"HalfAsciiEnds", ToHalfWidth, "　！＂＇＼～", " !\"'\\~"},
        ConversionCase{"HalfKanaPunctuation", ToHalfWidth, "。「」、・ー゛゜ヲッ", "｡｢｣､･ｰﾞﾟｦｯ"},
        ConversionCase{"HalfKeepsWithoutHalfForm", ToHalfWidth, "ヶヵヮヰヱヷヽひらがな漢字￥¥’”｟ｱ",
                       "ヶヵヮヰヱヷヽひらがな漢字￥¥’”｟ｱ"},
        ConversionCase{"HalfEmpty", ToHalfWidth, "", ""},
        ConversionCase{"HalfRawBytes", ToHalfWidth, RAW_FIRST "Ａ" RAW_LAST, RAW_FIRST "A" RAW_LAST},
        ConversionCase{"HalfInvalidBytes", ToHalfWidth, "\x80Ａ\xE3\x82", "\x80" "A\xE3\x82"},
        ConversionCase{"KataWords", ToKatakana, "ひらがな", "ヒラガナ"},
        ConversionCase{"KataEnds", ToKatakana, "ぁゔゕゖゝゞ", "ァヴヵヶヽヾ"},
        ConversionCase{"KataKeepsOthers", ToKatakana, "ゟ゛ーｱa漢カ", "ゟ゛ーｱa漢カ"},
        ConversionCase{"KataEmpty", ToKatakana, "", ""},
        ConversionCase{"KataRawAndInvalid", ToKatakana, RAW_LAST "あ\xC3", RAW_LAST "ア\xC3"},
        ConversionCase{"HiraWords", ToHiragana, "ヒラガナ", "ひらがな"},
        ConversionCase{"HiraEnds", ToHiragana, "ヴァヵヶヽヾ", "ゔぁゕゖゝゞ"},
        ConversionCase{"HiraKeepsOthers", ToHiragana, "ヷヺヿ・ーｱ漢あ", "ヷヺヿ・ーｱ漢あ"},
        ConversionCase{"HiraEmpty", ToHiragana, "", ""},
        ConversionCase{"HiraRawAndInvalid", ToHiragana, RAW_FIRST "ア\xF4\x90\x80\x80",
                       RAW_FIRST "あ\xF4\x90\x80\x80"}),
    [](const ::testing::TestParamInfo<ConversionCase>& info) { return std::string(info.param.name); });

std::string utf8(char32_t c) {
    std::string s;
    appendUtf8(s, c);
    return s;
}

// Every pair of half-width characters (so every katakana with every mark)
// comes back from full width unchanged.
TEST(CharConversionRoundTrip, HalfWidthPairsSurviveFullAndBack) {
    std::vector<std::string> half;
    for (char32_t c = 0x20; c <= 0x7E; ++c) half.push_back(utf8(c));
    for (char32_t c = 0xFF61; c <= 0xFF9F; ++c) half.push_back(utf8(c));
    for (const std::string& a : half) {
        for (const std::string& b : half) {
            const std::string text = a + b;
            ASSERT_EQ(ToHalfWidth(ToFullWidth(text)), text) << text;
        }
    }
}

// Each full-width character with a half-width form comes back unchanged, and
// the set of them is exactly the blank, the 63 half-width katakana and punctuation
// counterparts and the 26 voiced and semi-voiced katakana (カ..ト and ハ..ホ
// voiced, ハ..ホ semi-voiced, ヴ).
TEST(CharConversionRoundTrip, FullWidthFormsSurviveHalfAndBack) {
    int withHalfForm = 0;
    for (char32_t c = 0x3000; c <= 0x30FF; ++c) {
        const std::string text = utf8(c);
        const std::string half = ToHalfWidth(text);
        if (half == text) continue;
        ++withHalfForm;
        EXPECT_EQ(ToFullWidth(half), text) << text;
    }
    EXPECT_EQ(withHalfForm, 1 + 63 + 26);
    for (char32_t c = 0xFF01; c <= 0xFF5E; ++c) EXPECT_EQ(ToFullWidth(ToHalfWidth(utf8(c))), utf8(c));
}

TEST(CharConversionRoundTrip, KanaScriptsSurviveBothWays) {
    std::string hiragana;
    for (char32_t c = 0x3041; c <= 0x3096; ++c) hiragana += utf8(c);
    hiragana += "ゝゞ";
    const std::string katakana = ToKatakana(hiragana);
    EXPECT_EQ(ToKatakana(katakana), katakana);
    EXPECT_EQ(ToHiragana(katakana), hiragana);
    EXPECT_EQ(ToHiragana(hiragana), hiragana);
    EXPECT_EQ(codePointCount(katakana), codePointCount(hiragana));
}

// No length limit: far past the 1023 bytes of a fixed buffer, and composing
// marks never split a character at any position.
TEST(CharConversionLength, LongTextsConvertWhole) {
    std::string half;
    std::string full;
    for (int i = 0; i < 1000; ++i) {
        half += "ｶﾞx";
        full += "ガｘ";
    }
    EXPECT_EQ(ToFullWidth(half), full);
    EXPECT_EQ(ToHalfWidth(full), half);
}

} // namespace
} // namespace tabulix
