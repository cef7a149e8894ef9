#pragma once

#include <string>
#include <string_view>

namespace tabulix {

// The four character conversions of the "文字変換" commands. Each maps the
// Shift_JIS repertoire of half-width and full-width ASCII, blank and katakana,
// and of hiragana and katakana; every other character, the raw-byte code points
// that keep undecodable file bytes, and any invalid UTF-8 byte pass through
// unchanged. Texts of any length are converted.
//
// Yen and backslash: the half-width backslash pairs with "＼" (U+FF3C) only.
// "￥" (U+FFE5) and "¥" (U+00A5) are left alone, because "¥" is not a
// Shift_JIS character in this program's text model. Curly quotes (’ ”) are
// left alone too; only "＇" and "＂" pair with ' and ".

// Half-width ASCII 0x21..0x7E, the blank and half-width katakana become full
// width; a half-width katakana followed by "ﾞ" or "ﾟ" that has a voiced or
// semi-voiced form becomes that one character ("ｶﾞ" gives "ガ").
std::string ToFullWidth(std::string_view text);

// Full-width forms with a half-width form become half width; a voiced or
// semi-voiced katakana becomes two characters ("ガ" gives "ｶﾞ"). Full-width
// characters without a half-width form ("ヶ", "ヮ", hiragana) stay.
std::string ToHalfWidth(std::string_view text);

// Hiragana U+3041..U+3096 and "ゝ" "ゞ" become katakana.
std::string ToKatakana(std::string_view text);

// Katakana U+30A1..U+30F6 and "ヽ" "ヾ" become hiragana ("ヴ" gives "ゔ").
std::string ToHiragana(std::string_view text);

} // namespace tabulix
