#include "text/DisplayWidth.h"

namespace tabulix {

namespace {

bool isContinuation(unsigned char b) {
    return (b & 0xC0) == 0x80;
}

constexpr DecodedChar kInvalidByte{kReplacementChar, 1, false};

// Sequence length announced by a lead byte, with the smallest code point that
// length may encode (to reject overlong forms); 0 for a byte that cannot lead.
struct LeadInfo {
    std::size_t length;
    char32_t minimum;
    char32_t bits;
};

LeadInfo leadInfo(unsigned char b) {
    if (b < 0x80) return {1, 0, b};
    if ((b & 0xE0) == 0xC0) return {2, 0x80, static_cast<char32_t>(b & 0x1F)};
    if ((b & 0xF0) == 0xE0) return {3, 0x800, static_cast<char32_t>(b & 0x0F)};
    if ((b & 0xF8) == 0xF0) return {4, 0x10000, static_cast<char32_t>(b & 0x07)};
    return {0, 0, 0};
}

bool isSurrogate(char32_t c) {
    return c >= 0xD800 && c <= 0xDFFF;
}

} // namespace

DecodedChar decodeUtf8(std::string_view text, std::size_t pos) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    const LeadInfo info = leadInfo(lead);
    if (info.length == 0 || pos + info.length > text.size()) return kInvalidByte;
    char32_t c = info.bits;
    for (std::size_t i = 1; i < info.length; ++i) {
        const auto b = static_cast<unsigned char>(text[pos + i]);
        if (!isContinuation(b)) return kInvalidByte;
        c = (c << 6) | (b & 0x3F);
    }
    if (c < info.minimum || c > 0x10FFFF || isSurrogate(c)) return kInvalidByte;
    return {c, info.length, true};
}

void appendUtf8(std::string& out, char32_t c) {
    if (c > 0x10FFFF || isSurrogate(c)) c = kReplacementChar;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

int displayWidth(char32_t c) {
    if (c <= 0x7F) return 1;
    if (c >= 0xFF61 && c <= 0xFF9F) return 1;
    return 2;
}

std::size_t displayUnits(std::string_view text) {
    std::size_t units = 0;
    for (std::size_t pos = 0; pos < text.size();) {
        const DecodedChar ch = decodeUtf8(text, pos);
        units += static_cast<std::size_t>(displayWidth(ch));
        pos += ch.length;
    }
    return units;
}

std::size_t codePointCount(std::string_view text) {
    std::size_t count = 0;
    for (std::size_t pos = 0; pos < text.size(); ++count)
        pos += decodeUtf8(text, pos).length;
    return count;
}

std::string_view headUnits(std::string_view text, std::size_t n) {
    std::size_t units = 0;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const DecodedChar ch = decodeUtf8(text, pos);
        const auto width = static_cast<std::size_t>(displayWidth(ch));
        if (units + width > n) break;
        units += width;
        pos += ch.length;
    }
    return text.substr(0, pos);
}

std::string_view tailUnits(std::string_view text, std::size_t n) {
    // Characters are found from the front (a stray byte cannot be told from
    // the back), dropping them until the rest fits.
    std::size_t rest = displayUnits(text);
    std::size_t pos = 0;
    while (rest > n) {
        const DecodedChar ch = decodeUtf8(text, pos);
        rest -= static_cast<std::size_t>(displayWidth(ch));
        pos += ch.length;
    }
    return text.substr(pos);
}

} // namespace tabulix
