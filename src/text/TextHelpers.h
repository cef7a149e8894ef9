#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace tabulix {

// Widths, lengths and cuts below count display units (see DisplayWidth.h);
// no helper ever splits a character.

// A comma before every group of three characters counted from the right,
// none in front: "1234567" -> "1,234,567".
std::string FormatThousands(std::string_view text);

// Only the bytes '0'..'9' are kept.
std::string DigitsOnly(std::string_view text);

// Blanks are bytes up to U+0020: the space and every control character.
std::string_view TrimBlanks(std::string_view text);
std::string_view TrimLeftBlanks(std::string_view text);
std::string_view TrimRightBlanks(std::string_view text);

// The trimmed text right-aligned in `width` units by `pad` (an ASCII
// character) in front. A longer text keeps its last units; when a wide
// character straddles the cut it is dropped and one more pad character keeps
// the result exactly `width` units.
std::string PadLeft(char pad, std::string_view text, int width);

// As PadLeft, left-aligned: pads behind, a longer text keeps its first units.
std::string PadRight(char pad, std::string_view text, int width);

// Every occurrence of `pattern` that starts on a character boundary is
// replaced. The scan goes on after each inserted replacement, so a replacement
// containing the pattern is fine. An empty pattern changes nothing.
std::string ReplaceAll(std::string_view text, std::string_view pattern,
                       std::string_view replacement);

// The text enclosed in double quotes (inner quotes are not doubled).
std::string Quote(std::string_view text);

// One kind per display unit: "0" for a one-unit character, "12" for a
// two-unit one; the result is as long as the text's display units.
std::string ByteKinds(std::string_view text);

// The text cut into lines of exactly n units, joined into one string: a wide
// character that would straddle a line end moves to the next line and a blank
// fills its place. Blanks are then trimmed from the end, or from both ends
// when `trimBoth`. n <= 1 gives an empty text.
std::string WrapFixed(std::string_view text, int n, bool trimBoth);

// Bit c lives in byte c / 8 under mask 128 >> (c % 8). Bits outside the array
// read as false and are not written.
bool TestBit(std::span<const std::uint8_t> bits, int c);
void SetBit(std::span<std::uint8_t> bits, int c, bool value);

// A line break (CR LF, lone CR or lone LF) is shown on one display line as a
// single "↵" (U+21B5).
inline constexpr std::string_view kLineBreakMark = "\u21B5";
std::string FlattenLineBreaks(std::string_view text);

// Display units of a cell text shown on one line: each line break shows as
// "↵", and that mark counts one unit on a display line although its general
// width would be 2. A literal "↵" counts 1 as well, so flattening first does
// not change the count.
std::size_t cellDisplayUnits(std::string_view text);

// The start of a clipboard text as the questions quote it: its lines joined
// with CR LF (every line break counted as one CR LF), cut after `units`
// display units without splitting a character.
std::string TextPreview(std::string_view text, std::size_t units);

} // namespace tabulix
