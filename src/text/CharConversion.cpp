#include "text/CharConversion.h"

#include "text/DisplayWidth.h"

#include <array>
#include <cstddef>

namespace tabulix {

namespace {

constexpr char32_t kHalfKanaFirst = 0xFF61;
constexpr char32_t kHalfKanaLast = 0xFF9F;
constexpr char32_t kHalfVoicedMark = 0xFF9E;     // ﾞ
constexpr char32_t kHalfSemiVoicedMark = 0xFF9F; // ﾟ
constexpr char32_t kFullVoicedMark = 0x309B;     // ゛
constexpr char32_t kFullSemiVoicedMark = 0x309C; // ゜
constexpr char32_t kFullBlank = 0x3000;
constexpr char32_t kFullAsciiOffset = 0xFF01 - 0x21;
constexpr char32_t kKanaOffset = 0x30A1 - 0x3041;

// Full-width form of each half-width katakana U+FF61..U+FF9F, in code order.
constexpr std::array<char32_t, kHalfKanaLast - kHalfKanaFirst + 1> kHalfKanaToFull = {
    0x3002, 0x300C, 0x300D, 0x3001, 0x30FB, // ｡｢｣､･
    0x30F2,                                 // ｦ
    0x30A1, 0x30A3, 0x30A5, 0x30A7, 0x30A9, // ｧｨｩｪｫ
    0x30E3, 0x30E5, 0x30E7, 0x30C3,         // ｬｭｮｯ
    0x30FC,                                 // ｰ
    0x30A2, 0x30A4, 0x30A6, 0x30A8, 0x30AA, // ｱｲｳｴｵ
    0x30AB, 0x30AD, 0x30AF, 0x30B1, 0x30B3, // ｶｷｸｹｺ
    0x30B5, 0x30B7, 0x30B9, 0x30BB, 0x30BD, // ｻｼｽｾｿ
    0x30BF, 0x30C1, 0x30C4, 0x30C6, 0x30C8, // ﾀﾁﾂﾃﾄ
    0x30CA, 0x30CB, 0x30CC, 0x30CD, 0x30CE, // ﾅﾆﾇﾈﾉ
    0x30CF, 0x30D2, 0x30D5, 0x30D8, 0x30DB, // ﾊﾋﾌﾍﾎ
    0x30DE, 0x30DF, 0x30E0, 0x30E1, 0x30E2, // ﾏﾐﾑﾒﾓ
    0x30E4, 0x30E6, 0x30E8,                 // ﾔﾕﾖ
    0x30E9, 0x30EA, 0x30EB, 0x30EC, 0x30ED, // ﾗﾘﾙﾚﾛ
    0x30EF, 0x30F3,                         // ﾜﾝ
    kFullVoicedMark, kFullSemiVoicedMark,   // ﾞﾟ
};

bool isHalfKana(char32_t c) {
    return c >= kHalfKanaFirst && c <= kHalfKanaLast;
}

// Plain full-width katakana that takes a voiced mark: カ..ト, ハ..ホ, ウ. The
// voiced form is the next code point, except ウ → ヴ. ッ (U+30C3) sits inside
// the カ..ト run and takes none.
bool takesVoicedMark(char32_t full) {
    if (full >= 0x30AB && full <= 0x30C1) return (full - 0x30AB) % 2 == 0; // カ..チ
    if (full == 0x30C4 || full == 0x30C6 || full == 0x30C8) return true;   // ツテト
    if (full >= 0x30CF && full <= 0x30DB) return (full - 0x30CF) % 3 == 0; // ハ..ホ
    return full == 0x30A6;
}

// ハ..ホ take the semi-voiced mark; the semi-voiced form is two code points on.
bool takesSemiVoicedMark(char32_t full) {
    return full >= 0x30CF && full <= 0x30DB && (full - 0x30CF) % 3 == 0;
}

char32_t voicedForm(char32_t full) {
    return full == 0x30A6 ? 0x30F4 : full + 1;
}

// The half-width form of a full-width character, as one or two characters;
// `count` is 0 when it has none.
struct HalfForm {
    std::array<char32_t, 2> chars;
    int count;
};

// Every full-width katakana with a half-width spelling, indexed from U+3001.
// Built once from the half-to-full table and the voiced rows, so the two
// directions cannot disagree.
class FullToHalfTable {
public:
    static constexpr char32_t kFirst = 0x3001;
    static constexpr char32_t kLast = 0x30FC;

    FullToHalfTable() {
        for (char32_t half = kHalfKanaFirst; half <= kHalfKanaLast; ++half) {
            const char32_t full = kHalfKanaToFull[half - kHalfKanaFirst];
            set(full, {{half, 0}, 1});
            if (takesVoicedMark(full)) set(voicedForm(full), {{half, kHalfVoicedMark}, 2});
            if (takesSemiVoicedMark(full)) set(full + 2, {{half, kHalfSemiVoicedMark}, 2});
        }
    }

    HalfForm find(char32_t full) const {
        if (full < kFirst || full > kLast) return {{0, 0}, 0};
        return forms_[full - kFirst];
    }

private:
    void set(char32_t full, HalfForm form) { forms_[full - kFirst] = form; }

    std::array<HalfForm, kLast - kFirst + 1> forms_{};
};

const FullToHalfTable& fullToHalfTable() {
    static const FullToHalfTable table;
    return table;
}

// Walks the text one character at a time. `map` appends the converted form of
// a valid character and returns the number of bytes it consumed (which may
// include a following mark), or 0 to keep the character's own bytes. Invalid
// bytes are always kept as they are.
template <typename Map>
std::string convert(std::string_view text, Map map) {
    std::string out;
    out.reserve(text.size() + text.size() / 2);
    std::size_t pos = 0;
    while (pos < text.size()) {
        const DecodedChar ch = decodeUtf8(text, pos);
        std::size_t used = ch.valid ? map(ch, pos, out) : 0;
        if (used == 0) {
            out.append(text.substr(pos, ch.length));
            used = ch.length;
        }
        pos += used;
    }
    return out;
}

} // namespace

std::string ToFullWidth(std::string_view text) {
    return convert(text, [text](const DecodedChar& ch, std::size_t pos, std::string& out) {
        const char32_t c = ch.codePoint;
        if (c == U' ') {
            appendUtf8(out, kFullBlank);
            return ch.length;
        }
        if (c >= 0x21 && c <= 0x7E) {
            appendUtf8(out, c + kFullAsciiOffset);
            return ch.length;
        }
        if (!isHalfKana(c)) return std::size_t{0};
        const char32_t full = kHalfKanaToFull[c - kHalfKanaFirst];
        const std::size_t next = pos + ch.length;
        if (next < text.size()) {
            const DecodedChar mark = decodeUtf8(text, next);
            if (mark.valid && mark.codePoint == kHalfVoicedMark && takesVoicedMark(full)) {
                appendUtf8(out, voicedForm(full));
                return ch.length + mark.length;
            }
            if (mark.valid && mark.codePoint == kHalfSemiVoicedMark && takesSemiVoicedMark(full)) {
                appendUtf8(out, full + 2);
                return ch.length + mark.length;
            }
        }
        appendUtf8(out, full);
        return ch.length;
    });
}

std::string ToHalfWidth(std::string_view text) {
    const FullToHalfTable& table = fullToHalfTable();
    return convert(text, [&table](const DecodedChar& ch, std::size_t, std::string& out) {
        const char32_t c = ch.codePoint;
        if (c == kFullBlank) {
            out += ' ';
            return ch.length;
        }
        if (c >= 0xFF01 && c <= 0xFF5E) {
            out += static_cast<char>(c - kFullAsciiOffset);
            return ch.length;
        }
        const HalfForm form = table.find(c);
        for (int i = 0; i < form.count; ++i) appendUtf8(out, form.chars[i]);
        return form.count == 0 ? std::size_t{0} : ch.length;
    });
}

std::string ToKatakana(std::string_view text) {
    return convert(text, [](const DecodedChar& ch, std::size_t, std::string& out) {
        const char32_t c = ch.codePoint;
        if ((c >= 0x3041 && c <= 0x3096) || c == 0x309D || c == 0x309E) {
            appendUtf8(out, c + kKanaOffset);
            return ch.length;
        }
        return std::size_t{0};
    });
}

std::string ToHiragana(std::string_view text) {
    return convert(text, [](const DecodedChar& ch, std::size_t, std::string& out) {
        const char32_t c = ch.codePoint;
        if ((c >= 0x30A1 && c <= 0x30F6) || c == 0x30FD || c == 0x30FE) {
            appendUtf8(out, c - kKanaOffset);
            return ch.length;
        }
        return std::size_t{0};
    });
}

} // namespace tabulix
