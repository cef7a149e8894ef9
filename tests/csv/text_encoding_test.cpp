#include "TestFiles.h"
#include "csv/FileReading.h"
#include "csv/TextEncoding.h"

#include "text/DisplayWidth.h"

#include <gtest/gtest.h>

#include <filesystem>
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

// An invalid byte, or a valid character before one, at every position of a
// text longer than two strides of the ASCII scan (32 bytes at a time, then
// eight).
TEST(TextEncoding, InvalidByteAtEveryOffsetIsFoundAndKept) {
    constexpr std::size_t kLength = 80;
    for (std::size_t at = 0; at < kLength; ++at) {
        std::string bytes(kLength, 'a');
        bytes[at] = '\xFF';
        EXPECT_EQ(DetectEncoding(bytes), E::ShiftJis) << at;
        const std::string text = DecodeText(bytes, E::Utf8);
        EXPECT_EQ(text, std::string(at, 'a') + rawUtf8(0xFF) + std::string(kLength - 1 - at, 'a'));
        EXPECT_EQ(EncodeText(text, E::Utf8), bytes);
        // A character where the byte was is read as one, wherever it stands;
        // a stray byte after it is still found.
        const std::string valid = std::string(at, 'a') + "日" + std::string(kLength - at, 'a');
        EXPECT_EQ(DetectEncoding(valid), E::Utf8) << at;
        EXPECT_EQ(DecodeText(valid, E::Utf8), valid);
        EXPECT_EQ(DetectEncoding(valid + "日\x80" + "a"), E::ShiftJis) << at;
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

// CP932 has two codes for some characters and iconv writes one of them: the
// other code is kept as its two bytes, so that it is written back as read.
// A character typed in is written with the preferred code.
TEST(TextEncoding, Cp932CodesWrittenOtherwiseAreKeptAsTheirBytes) {
    const std::vector<Cp932Case> cases = {
        {"\x87\x90", rawCp932(0x87) + rawCp932(0x90)}, // NEC row 13 ≒ (JIS form 0x81E0)
        {"\xED\x40", rawCp932(0xED) + rawCp932(0x40)}, // NEC-selected IBM extension 纊
        {"\xEE\xD6", rawCp932(0xEE) + rawCp932(0xD6)}, // 靑, written as 0xFBF2 by iconv
        {"\xEE\xEF", rawCp932(0xEE) + rawCp932(0xEF)}, // ⅰ, the IBM extension 0xFA40
        {"\xFA\x4A", rawCp932(0xFA) + rawCp932(0x4A)}, // IBM Ⅰ, the NEC 0x8754
        {"\xFA\x5B", rawCp932(0xFA) + rawCp932(0x5B)}, // IBM ∵, the JIS 0x81E6
        {"a\x87\x90z", "a" + rawCp932(0x87) + rawCp932(0x90) + "z"},
        // UTF-8 Korean with one Latin-1 byte, taken for CP932.
        {"1,\xED\x95\x9C\xEA\xB5\xAD\xEC\x96\xB4\r\n2,caf\xE9\r\n",
         "1," + rawCp932(0xED) + rawCp932(0x95) + "懋ｵｭ" + rawCp932(0xEC) + "牟" +
             "\r\n2,caf" + rawCp932(0xE9) + "\r\n"},
    };
    for (const Cp932Case& c : cases) {
        EXPECT_EQ(DecodeText(c.bytes, E::ShiftJis), c.text) << testing::PrintToString(c.bytes);
        EXPECT_EQ(EncodeText(c.text, E::ShiftJis), c.bytes) << testing::PrintToString(c.bytes);
    }
    EXPECT_EQ(DecodeText("\xFA\x5C", E::ShiftJis), "纊"); // IBM extension
    EXPECT_EQ(EncodeText("纊", E::ShiftJis), "\xFA\x5C");
    EXPECT_EQ(DecodeText("\x81\xE0", E::ShiftJis), "≒");
    EXPECT_EQ(EncodeText("≒", E::ShiftJis), "\x81\xE0");
    // The JIS form of a character is written as its Microsoft code.
    EXPECT_EQ(EncodeText("〜—", E::ShiftJis), "\x81\x60\x81\x5C");
    EXPECT_EQ(DecodeText("\x81\x60\x81\x5C", E::ShiftJis), "～―");
}

// Every one- and two-byte sequence (and each followed by a third byte of
// every kind) is written back as read, and the text read again is the same.
TEST(TextEncoding, EveryCp932SequenceSurvivesAWrite) {
    for (int first = 0; first < 256; ++first) {
        for (int second = -1; second < 256; ++second) {
            for (const int third : {-1, 0x22, 0x40, 0x81, 0xA1}) {
                std::string bytes(1, static_cast<char>(first));
                if (second >= 0) bytes += static_cast<char>(second);
                if (third >= 0) bytes += static_cast<char>(third);
                const std::string text = DecodeText(bytes, E::ShiftJis);
                const std::optional<std::string> written = EncodeText(text, E::ShiftJis);
                ASSERT_TRUE(written) << testing::PrintToString(bytes);
                ASSERT_EQ(*written, bytes);
                ASSERT_EQ(DecodeText(*written, E::ShiftJis), text);
            }
        }
    }
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

// Random bytes read and written in the same encoding come back byte for byte
// (UTF-16 of an even length).
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
        EXPECT_EQ(EncodeText(DecodeText(anyBytes, E::ShiftJis), E::ShiftJis), anyBytes)
            << testing::PrintToString(anyBytes);
        const std::string utf16 = "\xFF\xFE" + anyBytes;
        EXPECT_EQ(EncodeText(DecodeText(utf16, E::Utf16Le), E::Utf16Le).value_or(utf16 + "?"),
                  utf16.size() % 2 == 0 ? utf16 : utf16 + "?")
            << testing::PrintToString(anyBytes);
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

std::string rawUtf16Unit(unsigned unit) {
    return utf8Of(kRawUtf16UnitBase + unit - 0xD800);
}

TEST(TextEncoding, Utf16WithByteOrderMark) {
    struct Case {
        std::string le; // the bytes after the BOM, little-endian
        std::string text;
    };
    const std::vector<Case> cases = {
        {std::string("a\0,\0\x68\x88\r\0\n\0", 10), "a,表\r\n"},
        {std::string("\x3D\xD8\x00\xDE", 4), "😀"},                          // surrogate pair
        {std::string("\x3D\xD8x\0", 4), rawUtf16Unit(0xD83D) + "x"},         // lone high half
        {std::string("\x00\xDE\x3D\xD8", 4), rawUtf16Unit(0xDE00) + rawUtf16Unit(0xD83D)},
        {std::string("a\0b", 3), "a" + utf8Of(kRawUtf16ByteBase + 'b')},     // odd last byte
        {std::string("\0\0a\0", 4), std::string("\0a", 2)},
    };
    for (const Case& c : cases) {
        std::string be;
        for (std::size_t i = 0; i + 1 < c.le.size(); i += 2)
            be += std::string{c.le[i + 1], c.le[i]};
        if (c.le.size() % 2) be += c.le.back();
        const std::string le = "\xFF\xFE" + c.le;
        be = "\xFE\xFF" + be;
        EXPECT_EQ(DetectEncoding(le), E::Utf16Le);
        EXPECT_EQ(DetectEncoding(be), E::Utf16Be);
        EXPECT_EQ(DecodeText(le, E::Utf16Le), c.text) << testing::PrintToString(c.le);
        EXPECT_EQ(DecodeText(be, E::Utf16Be), c.text) << testing::PrintToString(c.le);
        const bool odd = c.le.size() % 2 != 0; // an odd byte cannot be written in place
        EXPECT_EQ(EncodeText(c.text, E::Utf16Le), odd ? std::nullopt : std::optional(le));
        EXPECT_EQ(EncodeText(c.text, E::Utf16Be), odd ? std::nullopt : std::optional(be));
        for (int byte = 0; byte < 256; ++byte)
            EXPECT_TRUE(IsRawByteCodePoint(decodeUtf8(rawUtf16Unit(0xD800 + byte), 0).codePoint));
    }
    // Kept bytes belong to their encoding.
    EXPECT_EQ(EncodeText(rawCp932(0x80), E::Utf16Le), std::nullopt);
    EXPECT_EQ(EncodeText(rawUtf16Unit(0xD800), E::Utf8), std::nullopt);
    EXPECT_EQ(EncodeText(rawUtf16Unit(0xD800), E::ShiftJis), std::nullopt);
    EXPECT_FALSE(CanEncode(rawUtf16Unit(0xD800), E::Utf8));
    EXPECT_TRUE(CanEncode(rawUtf16Unit(0xD800) + "表😀", E::Utf16Be));
    // A UTF-8 file holding such a code point literally keeps its bytes.
    EXPECT_EQ(EncodeText(DecodeText(rawUtf16Unit(0xD800), E::Utf8), E::Utf8),
              rawUtf16Unit(0xD800));
    EXPECT_EQ(EncodeText("", E::Utf16Le), "\xFF\xFE");
}

// Where a kept byte would join what follows it once written.
TEST(TextEncoding, RawByteJoinAt) {
    const auto npos = std::string::npos;
    struct Case {
        std::string text;
        std::string after;
        std::size_t expected;
    };
    const std::vector<Case> cases = {
        {"x" + rawCp932(0x8E), "|", 1},                  // 0x8E7C is 旨
        {"x" + rawCp932(0x8E), "\"", npos},              // a quote is no trail byte
        {"x" + rawCp932(0x8E), "\r", npos},
        {"x" + rawCp932(0x8E), ",", npos},
        {rawCp932(0x96) + "ﾔ", "", 0},                   // 0x96D4 is 網
        {rawCp932(0x96) + "表", "", 0},                  // 0x96 0x95 is a character
        {rawCp932(0x87) + rawCp932(0x90), "@", npos},    // read back as the same two bytes
        {rawCp932(0x87) + "\u2252", "", 0},              // ≒ (0x81E0): 0x8781 is ∮
        {rawCp932(0xEF) + "@", "", npos},                // 0xEF40 is no character
        {rawCp932(0x80) + "@", "", npos},                // 0x80 leads nothing
        {rawCp932(0x81), "", npos},
        {rawUtf8(0xE3) + rawUtf8(0x81) + rawUtf8(0x82), "", 0}, // あ
        {rawUtf8(0xE3) + rawUtf8(0x81), "\"", npos},
        {rawUtf8(0xE3) + "\xE3\x81\x82", "", npos},
        {rawUtf8(0xF4) + rawUtf8(0x8F) + rawUtf8(0xBC) + rawUtf8(0x81), "", npos}, // a literal
        {"a" + rawUtf16Unit(0xD83D) + rawUtf16Unit(0xDE00), "", 1},
        {rawUtf16Unit(0xDE00) + rawUtf16Unit(0xD83D), "", npos},
        {"plain 表", "|", npos},
    };
    for (const Case& c : cases)
        EXPECT_EQ(RawByteJoinAt(c.text, c.after), c.expected)
            << testing::PrintToString(c.text) << " + " << c.after;
    EXPECT_TRUE(HasRawBytes("a" + rawCp932(0x80)));
    EXPECT_TRUE(HasRawBytes(rawUtf16Unit(0xDC00)));
    EXPECT_FALSE(HasRawBytes("表😀\xF4"));
}

TEST(TextEncoding, PathForDisplay) {
    EXPECT_EQ(PathForDisplay("/tmp/\x95\x5C.csv"), "/tmp/表.csv"); // a CP932 name
    EXPECT_EQ(PathForDisplay("/tmp/表.csv"), "/tmp/表.csv");
    EXPECT_EQ(PathForDisplay("/x\x80\x87\x90"), "/x\uFFFD\uFFFD\uFFFD");
    EXPECT_EQ(PathForDisplay(""), "");
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

namespace tabulix {
namespace {

// Codes kept as bytes show as their character; stray kept bytes as U+FFFD;
// the cell's text itself is not touched.
TEST(ShownText, KeptCp932PairsShowAsTheirCharacter) {
    const std::string cell = DecodeText(std::string("\xFB\xFC\x8B\xB4,\x81", 6), TextEncoding::ShiftJis);
    EXPECT_TRUE(HasRawBytes(cell));
    EXPECT_EQ(ShownText(cell), "髙橋,\uFFFD");
    EXPECT_EQ(ShownText("plain 文字"), "plain 文字");
}

// Generated CP932 of every kind: ASCII runs, a pair for every lead byte with
// any trail (assigned, unassigned, kept as bytes), half-width katakana, bytes
// that are no character, lead bytes before a line break and at the very end.
// Long enough to be decoded in two pieces, and cut so that a lead byte stands
// right before the line break where the pieces meet. Every fast decode gives
// the plain decode's text byte for byte, on the whole and on short pieces
// (the careful end of a decode), and the text is written back as read.
TEST(TextEncoding, FastCp932DecodeMatchesThePlainOne) {
    std::mt19937 rng(0x932);
    std::vector<unsigned char> leads;
    for (int b = 0x81; b <= 0xFC; ++b)
        if (b <= 0x9F || b >= 0xE0) leads.push_back(static_cast<unsigned char>(b));
    const std::string ascii = "ab,\"\r\n0 ~\\\t";
    const std::string others = "\x80\xA0\xFD\xFE\xFF"; // neither lead nor katakana
    std::string bytes;
    std::size_t lead = 0;
    while (bytes.size() < (std::size_t{3} << 19)) {
        switch (rng() % 6) {
        case 0:
            for (unsigned n = rng() % 40; n > 0; --n)
                bytes += ascii[rng() % ascii.size()];
            break;
        case 1:
        case 2: // every lead byte in turn, with any trail
            bytes += static_cast<char>(leads[lead++ % leads.size()]);
            bytes += static_cast<char>(0x40 + rng() % (0xFD - 0x40));
            break;
        case 3:
            bytes += static_cast<char>(0xA1 + rng() % (0xE0 - 0xA1));
            break;
        case 4:
            bytes += others[rng() % others.size()];
            break;
        default: // a lead byte without its trail
            bytes += static_cast<char>(leads[rng() % leads.size()]);
            bytes += "\n,"[rng() % 2];
        }
    }
    bytes += '\x9F';
    bytes[bytes.size() / 2 - 1] = '\x81'; // the pieces meet at the line break after it
    bytes[bytes.size() / 2] = '\n';
    ASSERT_EQ(bytes.find('\0'), std::string::npos);

    const std::string reference = DecodeCp932Reference(bytes);
    EXPECT_TRUE(DecodeText(bytes, E::ShiftJis) == reference); // no megabyte dumps
    EXPECT_TRUE(DecodeCp932(bytes).text == reference);
    EXPECT_TRUE(EncodeText(reference, E::ShiftJis) == bytes);
    for (std::size_t from = 0; from < 4096; from += 1 + rng() % 61) {
        const std::string piece = bytes.substr(from, rng() % 100);
        ASSERT_EQ(DecodeText(piece, E::ShiftJis), DecodeCp932Reference(piece))
            << testing::PrintToString(piece);
        ASSERT_EQ(DecodeCp932(piece).text, DecodeCp932Reference(piece));
    }

    // A file read: decoded in place, up to a NUL.
    const std::filesystem::path folder = makeTemporaryFolder("tabulix-cp932");
    ASSERT_FALSE(folder.empty());
    writeBytes(folder / "big.csv", bytes + std::string(1, '\0') + "\x93\x8C");
    const std::optional<TextFile> file = ReadTextFile((folder / "big.csv").string());
    ASSERT_TRUE(file);
    EXPECT_EQ(file->encoding(), E::ShiftJis);
    EXPECT_TRUE(file->endedAtNul());
    EXPECT_TRUE(file->text() == reference);
    std::filesystem::remove_all(folder);
}

} // namespace
} // namespace tabulix
