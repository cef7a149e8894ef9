#include "csv/TextEncoding.h"

#include "text/DisplayWidth.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace tabulix {
namespace {

const std::string kBom = "\xEF\xBB\xBF";

using E = TextEncoding;

std::string utf8Of(char32_t c) {
    std::string out;
    appendUtf8(out, c);
    return out;
}

std::string rawUtf8(unsigned char byte) {
    return utf8Of(kRawUtf8ByteBase + byte);
}
std::string rawCp932(unsigned char byte) {
    return utf8Of(kRawCp932ByteBase + byte);
}

TEST(TextEncoding, Detection) {
    struct Case {
        std::string bytes;
        TextEncoding expected;
    };
    const std::vector<Case> cases = {
        {"", E::Utf8},
        {"plain ascii,1,2\r\n", E::Utf8},
        {kBom, E::Utf8Bom},
        {kBom + "a,b", E::Utf8Bom},
        {kBom + "\xFF", E::Utf8Bom},
        {"東京,ｶﾅ,😀", E::Utf8},
        {"\x93\x8C\x8B\x9E", E::ShiftJis}, // 東京 in CP932
        {"\xB1\xB2\xB3", E::ShiftJis},     // half-width katakana
        {"\xC0\x80", E::ShiftJis},         // overlong NUL
        {"\xE0\x80\xAF", E::ShiftJis},     // overlong slash
        {"\xED\xA0\x80", E::ShiftJis},     // surrogate
        {"\xF4\x90\x80\x80", E::ShiftJis}, // beyond U+10FFFF
        {"abc\xE3\x81", E::ShiftJis},      // truncated at the end
        {"\x80", E::ShiftJis},             // stray continuation
        {"\xEF\xBB", E::ShiftJis},         // half a BOM
        {"\xF4\x8F\xBC\x81", E::Utf8},     // a raw-byte code point literally
    };
    for (const Case& c : cases)
        EXPECT_EQ(DetectEncoding(c.bytes), c.expected) << testing::PrintToString(c.bytes);
}

// An invalid byte at every position of a text longer than the eight-byte
// stride of the ASCII scan.
TEST(TextEncoding, InvalidByteAtEveryOffsetIsFoundAndKept) {
    for (std::size_t at = 0; at < 40; ++at) {
        std::string bytes(40, 'a');
        bytes[at] = '\xFF';
        EXPECT_EQ(DetectEncoding(bytes), E::ShiftJis) << at;
        const std::string text = DecodeText(bytes, E::Utf8);
        EXPECT_EQ(text, std::string(at, 'a') + rawUtf8(0xFF) + std::string(39 - at, 'a'));
        EXPECT_EQ(EncodeText(text, E::Utf8), bytes);
    }
}

struct Cp932Case {
    std::string bytes;
    std::string text;
};

TEST(TextEncoding, Cp932Characters) {
    const std::vector<Cp932Case> cases = {
        {"abc,1\r\n", "abc,1\r\n"},
        {"\x5C\x7E", "\\~"},
        {"\x93\x8C\x8B\x9E", "東京"},
        {"\x82\xA0\x83\x94", "あヴ"},
        {"\xB1\xB2\xDF\xA1", "ｱｲﾟ｡"},         // half-width katakana
        {"\x87\x40\x87\x54\x87\x5F", "①Ⅰ㍉"}, // NEC special characters
        {"\xFA\x40\xFC\x4B", "ⅰ黑"},          // IBM extensions
        {"\x88\x9F\xEA\xA4", "亜熙"},         // first and last kanji
        {"\x81\x5F\x81\x60\x81\x5C", "＼～―"},
        {"\xF0\x40\xF9\xFC", "\uE000\uE757"}, // user-defined area
    };
    for (const Cp932Case& c : cases) {
        EXPECT_EQ(DecodeText(c.bytes, E::ShiftJis), c.text) << testing::PrintToString(c.bytes);
        EXPECT_EQ(EncodeText(c.text, E::ShiftJis), c.bytes) << c.text;
        EXPECT_TRUE(CanEncode(c.text, E::ShiftJis)) << c.text;
    }
}

// CP932 has two codes for some characters; reading either gives the character,
// writing uses the one iconv prefers.
TEST(TextEncoding, Cp932CharactersWithTwoFormsWriteThePreferredCode) {
    EXPECT_EQ(DecodeText("\xED\x40", E::ShiftJis), "纊"); // NEC-selected IBM extension
    EXPECT_EQ(DecodeText("\xFA\x5C", E::ShiftJis), "纊"); // IBM extension
    EXPECT_EQ(EncodeText("纊", E::ShiftJis), "\xFA\x5C");
    EXPECT_EQ(DecodeText("\x87\x90", E::ShiftJis), "≒");
    EXPECT_EQ(EncodeText("≒", E::ShiftJis), "\x81\xE0");
    // The JIS form of a character is written as its Microsoft code.
    EXPECT_EQ(EncodeText("〜—", E::ShiftJis), "\x81\x60\x81\x5C");
    EXPECT_EQ(DecodeText("\x81\x60\x81\x5C", E::ShiftJis), "～―");
}

// Every one- and two-byte sequence: whatever is read can be written, and what
// is written reads as the same text. Bytes change only where CP932 has two
// codes for a character.
TEST(TextEncoding, EveryCp932SequenceSurvivesAWrite) {
    int changed = 0;
    for (int first = 0; first < 256; ++first) {
        for (int second = -1; second < 256; ++second) {
            std::string bytes(1, static_cast<char>(first));
            if (second >= 0) bytes += static_cast<char>(second);
            const std::string text = DecodeText(bytes, E::ShiftJis);
            const std::optional<std::string> written = EncodeText(text, E::ShiftJis);
            ASSERT_TRUE(written) << testing::PrintToString(bytes);
            ASSERT_EQ(DecodeText(*written, E::ShiftJis), text) << testing::PrintToString(bytes);
            if (*written == bytes) continue;
            ++changed;
            EXPECT_TRUE(first == 0x87 || first == 0xED || first == 0xEE || first == 0xFA ||
                        first == 0xFB || first == 0xFC)
                << testing::PrintToString(bytes);
        }
    }
    EXPECT_GT(changed, 0);
}

TEST(TextEncoding, InvalidCp932BytesAreKeptAndWrittenBack) {
    const std::vector<Cp932Case> cases = {
        {"\x80", rawCp932(0x80)},
        {"\xA0\xFD\xFE\xFF", rawCp932(0xA0) + rawCp932(0xFD) + rawCp932(0xFE) + rawCp932(0xFF)},
        {"a\x81", "a" + rawCp932(0x81)},      // lead byte at the end
        {"\x81\x20z", rawCp932(0x81) + " z"}, // lead byte before an ASCII byte
        {"\x81\x0A", rawCp932(0x81) + "\n"},  // the line break survives
        {"\xEF\x40", rawCp932(0xEF) + "@"},   // unassigned code
        {"\x93\x8C\x80\x8B\x9E", "東" + rawCp932(0x80) + "京"},
    };
    for (const Cp932Case& c : cases) {
        EXPECT_EQ(DecodeText(c.bytes, E::ShiftJis), c.text) << testing::PrintToString(c.bytes);
        EXPECT_EQ(EncodeText(c.text, E::ShiftJis), c.bytes) << testing::PrintToString(c.bytes);
    }
}

TEST(TextEncoding, InvalidUtf8BytesAreKeptAndWrittenBack) {
    const std::string bytes = "a\xFF\xC0\x80\xED\xA0\x80"
                              "b\xE3\x81";
    const std::string text = DecodeText(bytes, E::Utf8);
    EXPECT_EQ(text, "a" + rawUtf8(0xFF) + rawUtf8(0xC0) + rawUtf8(0x80) + rawUtf8(0xED) +
                        rawUtf8(0xA0) + rawUtf8(0x80) + "b" + rawUtf8(0xE3) + rawUtf8(0x81));
    EXPECT_EQ(EncodeText(text, E::Utf8), bytes);
    EXPECT_EQ(EncodeText(text, E::Utf8Bom), kBom + bytes);
    // A raw-byte code point in a file keeps its four bytes.
    const std::string literal = "\xF4\x8F\xBC\x81";
    EXPECT_EQ(DecodeText(literal, E::Utf8),
              rawUtf8(0xF4) + rawUtf8(0x8F) + rawUtf8(0xBC) + rawUtf8(0x81));
    EXPECT_EQ(EncodeText(DecodeText(literal, E::Utf8), E::Utf8), literal);
    // Every kept byte is a code point the drawing recognises.
    for (int byte = 0x80; byte < 0x100; ++byte) {
        const std::string kept = DecodeText(std::string(1, static_cast<char>(byte)), E::Utf8);
        EXPECT_TRUE(IsRawByteCodePoint(decodeUtf8(kept, 0).codePoint)) << byte;
    }
    EXPECT_FALSE(IsRawByteCodePoint(U'\uFFFD'));
}

// Random bytes read and written in the same encoding come back byte for byte.
// For CP932 the lead bytes are those without duplicate codes.
TEST(TextEncoding, RandomBytesRoundTripExactly) {
    std::mt19937 rng(932);
    std::vector<unsigned char> cp932Leads = {0x80, 0xA0, 0xFD, 0xFE, 0xFF, 0xEB, 0xEC};
    for (int b = 0x81; b <= 0x86; ++b)
        cp932Leads.push_back(static_cast<unsigned char>(b));
    for (int b = 0x88; b <= 0xEA; ++b)
        cp932Leads.push_back(static_cast<unsigned char>(b));
    for (int round = 0; round < 3000; ++round) {
        std::string anyBytes;
        std::string cp932Bytes;
        const int length = static_cast<int>(rng() % 24);
        for (int i = 0; i < length; ++i) {
            anyBytes += static_cast<char>(rng() % 256);
            const unsigned choice = rng() % 3;
            if (choice == 0)
                cp932Bytes += static_cast<char>(rng() % 128);
            else if (choice == 1)
                cp932Bytes += static_cast<char>(0xA1 + rng() % 63);
            else
                cp932Bytes += static_cast<char>(cp932Leads[rng() % cp932Leads.size()]);
        }
        EXPECT_EQ(EncodeText(DecodeText(anyBytes, E::Utf8), E::Utf8), anyBytes);
        EXPECT_EQ(EncodeText(DecodeText(cp932Bytes, E::ShiftJis), E::ShiftJis), cp932Bytes)
            << testing::PrintToString(cp932Bytes);
    }
}

TEST(TextEncoding, RawBytesBelongToTheEncodingThatKeptThem) {
    const std::string fromCp932 = "x" + rawCp932(0x80);
    EXPECT_EQ(EncodeText(fromCp932, E::Utf8), std::nullopt);
    EXPECT_EQ(EncodeText(fromCp932, E::Utf8Bom), std::nullopt);
    EXPECT_FALSE(CanEncode(fromCp932, E::Utf8));
    EXPECT_TRUE(CanEncode(fromCp932, E::ShiftJis));

    const std::string fromUtf8 = "x" + rawUtf8(0xFF);
    EXPECT_EQ(EncodeText(fromUtf8, E::ShiftJis), std::nullopt);
    EXPECT_FALSE(CanEncode(fromUtf8, E::ShiftJis));
    EXPECT_TRUE(CanEncode(fromUtf8, E::Utf8));
}

TEST(TextEncoding, CharactersCp932CannotHoldAreRefused) {
    const std::string longAscii(100000, 'a');
    for (const std::string& text :
         {std::string("😀"), std::string("é"), std::string("한국"), std::string("東京😀"),
          std::string("¥"), std::string("‾"), longAscii + "€" + longAscii, std::string("\xFF")}) {
        EXPECT_EQ(EncodeText(text, E::ShiftJis), std::nullopt) << text.substr(0, 20);
        EXPECT_FALSE(CanEncode(text, E::ShiftJis)) << text.substr(0, 20);
        EXPECT_TRUE(CanEncode(text, E::Utf8));
    }
    EXPECT_TRUE(CanEncode(longAscii + "東京ｱ①" + longAscii, E::ShiftJis));
}

TEST(TextEncoding, ByteOrderMark) {
    EXPECT_EQ(DecodeText(kBom + "a", E::Utf8Bom), "a");
    EXPECT_EQ(DecodeText("a", E::Utf8Bom), "a");
    EXPECT_EQ(DecodeText(kBom + "a", E::Utf8), "\uFEFFa");
    EXPECT_EQ(EncodeText("a", E::Utf8Bom), kBom + "a");
    EXPECT_EQ(EncodeText("", E::Utf8Bom), kBom);
    EXPECT_EQ(EncodeText("", E::Utf8), "");
    EXPECT_EQ(EncodeText("", E::ShiftJis), "");
}

} // namespace
} // namespace tabulix
