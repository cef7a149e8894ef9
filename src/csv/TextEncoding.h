#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace tabulix {

// The encodings a table is read in and saved in. ShiftJis is Microsoft's
// CP932 (NEC and IBM extensions included), converted by glibc iconv with its
// tables: a character with two codes is written with the preferred one (an
// NEC-selected IBM extension as the IBM extension), and the usual
// non-Microsoft forms are written as the Microsoft character they stand for
// (U+301C WAVE DASH as 0x8160, which reads back as U+FF5E). YEN SIGN and
// OVERLINE are not held: their bytes would read back as "\" and "~".
// Utf16Le and Utf16Be always carry their BOM (Excel's "Unicode テキスト").
enum class TextEncoding { ShiftJis, Utf8, Utf8Bom, Utf16Le, Utf16Be };

constexpr bool IsUtf16(TextEncoding e) {
    return e == TextEncoding::Utf16Le || e == TextEncoding::Utf16Be;
}

// Bytes that are invalid in the encoding a text is decoded with are kept, one
// code point per byte (per unit for UTF-16), in a reserved private-use range
// that records which encoding rejected them:
//   U+10F000 + unit - 0xD800  a UTF-16 unit that is half a surrogate pair
//   U+10F800 + byte           the odd last byte of a UTF-16 file
//   U+10FE00 + byte           a byte that is not valid UTF-8
//   U+10FF00 + byte           a byte that is not valid CP932
// Encoding to that same encoding writes the byte back unchanged; another
// encoding cannot hold it (it would turn into a different character there).
// A CP932 code whose character is written with other bytes (CP932 has two
// codes for some characters; a misdetected file) is kept as its two bytes
// too, so that a text nobody edited is written back byte for byte. A UTF-8
// file that holds one of these code points literally keeps its four bytes as
// four raw bytes, so no file ever changes through this mapping.
inline constexpr char32_t kRawUtf16UnitBase = 0x10F000;
inline constexpr char32_t kRawUtf16ByteBase = 0x10F800;
inline constexpr char32_t kRawUtf8ByteBase = 0x10FE00;
inline constexpr char32_t kRawCp932ByteBase = 0x10FF00;

// A kept invalid byte or unit (drawn as U+FFFD).
constexpr bool IsRawByteCodePoint(char32_t c) {
    return (c >= kRawUtf16UnitBase && c <= kRawUtf16ByteBase + 0xFF) ||
           (c >= kRawUtf8ByteBase && c <= kRawCp932ByteBase + 0xFF);
}

// What decoding bytes as UTF-8 would do, in one scan: hand them back as they
// are (Clean), keep the raw-byte code points they hold literally as raw
// bytes (HasRawLiteral), or they are not UTF-8 at all (Invalid). A BOM is
// an ordinary character here.
enum class Utf8State { Clean, HasRawLiteral, Invalid };
Utf8State ScanUtf8(std::string_view bytes);

// UTF-8 with BOM or UTF-16 when the bytes start with the BOM of one,
// otherwise UTF-8 when all of them are valid UTF-8, otherwise CP932.
TextEncoding DetectEncoding(std::string_view bytes);

// The UTF-16 encoding whose BOM starts the bytes, if any.
std::optional<TextEncoding> Utf16ByBom(std::string_view bytes);

// UTF-8 text of the bytes. Utf8Bom and UTF-16 drop a leading BOM; Utf8 keeps
// it as U+FEFF. Invalid bytes become raw-byte code points (see above). Takes the
// bytes by value: valid UTF-8 is handed back without a copy.
std::string DecodeText(std::string bytes, TextEncoding encoding);

// A text in memory that `owner` keeps alive.
struct OwnedText {
    std::shared_ptr<const void> owner;
    std::string_view text;
};

// DecodeText of CP932 bytes, written once into memory of its own: the bytes
// can stay where they are (a mapped file) and no copy is made. A large text
// is decoded in two pieces on two threads.
OwnedText DecodeCp932(std::string_view bytes);

// The plain byte-by-byte CP932 decode that the fast one above (and
// DecodeText) must match byte for byte.
std::string DecodeCp932Reference(std::string_view bytes);

// The bytes of a UTF-8 text in the encoding (a BOM in front for Utf8Bom), or
// nullopt when the encoding cannot hold one of its characters. Bytes of the
// text that are not valid UTF-8 themselves go out unchanged as UTF-8 and
// cannot be held by CP932. Takes the text by value: a UTF-8 text that needs no
// change is handed back without a copy.
std::optional<std::string> EncodeText(std::string utf8, TextEncoding encoding);

// EncodeText for a piece of a longer text, appended to `out` and without the
// BOM; false when the encoding cannot hold one of its characters (`out` then
// holds part of the piece). Pieces cut between lines encode as the whole.
bool AppendEncoded(std::string_view utf8, TextEncoding encoding, std::string& out);

// The bytes that start a file in the encoding (empty for ShiftJis and Utf8).
std::string_view ByteOrderMark(TextEncoding encoding);

// Whether EncodeText would succeed, without building the bytes.
bool CanEncode(std::string_view utf8, TextEncoding encoding);

// A file name (bytes) for showing: as it is when it is UTF-8, otherwise read
// as CP932 (names from Windows archives), bytes that are no character shown
// as U+FFFD. The name itself stays bytes; this is only for the eye.
std::string PathForDisplay(std::string_view path);

// Whether the text holds a kept invalid byte or unit.
bool HasRawBytes(std::string_view utf8);

// A text as the grid shows it: kept CP932 byte pairs that are a character
// (codes kept as bytes because another code writes the same character, such
// as 髙 or 﨑) show as that character, other kept bytes as U+FFFD. Only for
// drawing; the cell keeps its bytes.
std::string ShownText(std::string_view utf8);

// Where a kept byte of the text would join what follows it once written, so
// that reading the bytes back gives another character (a CP932 lead byte
// before a trail byte, a UTF-8 lead before continuation bytes, half a UTF-16
// surrogate pair before the other half): the offset of the first such raw-byte
// code point, or npos. `after` is the text written right after this one.
std::size_t RawByteJoinAt(std::string_view utf8, std::string_view after = {});

} // namespace tabulix
