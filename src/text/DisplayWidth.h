#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tabulix {

// What an invalid byte is shown as.
inline constexpr char32_t kReplacementChar = U'\uFFFD';

// One character of a UTF-8 text. An invalid byte (a stray continuation byte,
// a truncated, overlong or surrogate sequence, anything above U+10FFFF) is a
// character of its own: length 1, codePoint U+FFFD, valid false. The bytes
// themselves stay in the text so that they are written back unchanged.
struct DecodedChar {
    char32_t codePoint;
    std::size_t length; // bytes, at least 1
    bool valid;
};

// The character starting at byte `pos` (pos < text.size()).
DecodedChar decodeUtf8(std::string_view text, std::size_t pos);

// Appends the UTF-8 form of `c`; invalid code points append U+FFFD.
void appendUtf8(std::string& out, char32_t c);

// 1 for U+0000..U+007F and half-width katakana U+FF61..U+FF9F, 2 otherwise.
// For any text Shift_JIS can hold this is its Shift_JIS byte length.
int displayWidth(char32_t c);

// Width of a decoded character; an invalid byte is shown as U+FFFD, width 2.
inline int displayWidth(const DecodedChar& ch) {
    return ch.valid ? displayWidth(ch.codePoint) : 2;
}

std::size_t displayUnits(std::string_view text);
std::size_t codePointCount(std::string_view text);

// The longest front part of at most n display units; never splits a character,
// so the result may be one unit short of n.
std::string_view headUnits(std::string_view text, std::size_t n);

// The shortest back part that drops nothing but leading characters and fits in
// n display units; never splits a character.
std::string_view tailUnits(std::string_view text, std::size_t n);

} // namespace tabulix
