#include "text/TextHelpers.h"

#include "text/DisplayWidth.h"

#include <cstdint>
#include <cstring>

namespace tabulix {

namespace {

bool isBlank(char c) {
    return static_cast<unsigned char>(c) <= 0x20;
}

constexpr char32_t kLineBreakMarkChar = U'\u21B5';

// Byte length of a line break starting at pos, 0 when there is none.
std::size_t lineBreakLength(std::string_view text, std::size_t pos) {
    if (text[pos] == '\n') return 1;
    if (text[pos] != '\r') return 0;
    return pos + 1 < text.size() && text[pos + 1] == '\n' ? 2 : 1;
}

// Whether eight bytes are all ASCII and none is CR or LF.
bool plainAsciiWord(const char* p) {
    constexpr std::uint64_t kOnes = 0x0101010101010101u;
    constexpr std::uint64_t kHighs = 0x8080808080808080u;
    std::uint64_t word;
    std::memcpy(&word, p, sizeof word);
    const auto zeroBytes = [](std::uint64_t x) { return (x - kOnes) & ~x & kHighs; };
    return (word & kHighs) == 0 && zeroBytes(word ^ (kOnes * '\r')) == 0 &&
           zeroBytes(word ^ (kOnes * '\n')) == 0;
}

} // namespace

std::string FormatThousands(std::string_view text) {
    const std::size_t count = codePointCount(text);
    std::string out;
    out.reserve(text.size() + count / 3);
    std::size_t index = 0;
    for (std::size_t pos = 0; pos < text.size(); ++index) {
        if (index > 0 && (count - index) % 3 == 0) out += ',';
        const std::size_t length = decodeUtf8(text, pos).length;
        out.append(text.substr(pos, length));
        pos += length;
    }
    return out;
}

std::string DigitsOnly(std::string_view text) {
    std::string out;
    for (char c : text)
        if (c >= '0' && c <= '9') out += c;
    return out;
}

std::string_view TrimLeftBlanks(std::string_view text) {
    std::size_t first = 0;
    while (first < text.size() && isBlank(text[first]))
        ++first;
    return text.substr(first);
}

std::string_view TrimRightBlanks(std::string_view text) {
    std::size_t end = text.size();
    while (end > 0 && isBlank(text[end - 1]))
        --end;
    return text.substr(0, end);
}

std::string_view TrimBlanks(std::string_view text) {
    return TrimRightBlanks(TrimLeftBlanks(text));
}

std::string PadLeft(char pad, std::string_view text, int width) {
    if (width <= 0) return {};
    const auto units = static_cast<std::size_t>(width);
    const std::string_view kept = tailUnits(TrimBlanks(text), units);
    std::string out(units - displayUnits(kept), pad);
    out.append(kept);
    return out;
}

std::string PadRight(char pad, std::string_view text, int width) {
    if (width <= 0) return {};
    const auto units = static_cast<std::size_t>(width);
    const std::string_view kept = headUnits(TrimBlanks(text), units);
    std::string out(kept);
    out.append(units - displayUnits(kept), pad);
    return out;
}

std::string ReplaceAll(std::string_view text, std::string_view pattern,
                       std::string_view replacement) {
    if (pattern.empty()) return std::string(text);
    std::string out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        if (text.substr(pos).starts_with(pattern)) {
            out.append(replacement);
            pos += pattern.size();
            continue;
        }
        const std::size_t length = decodeUtf8(text, pos).length;
        out.append(text.substr(pos, length));
        pos += length;
    }
    return out;
}

std::string Quote(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 2);
    out += '"';
    out.append(text);
    out += '"';
    return out;
}

std::string ByteKinds(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        const DecodedChar ch = decodeUtf8(text, pos);
        out += displayWidth(ch) == 1 ? "0" : "12";
        pos += ch.length;
    }
    return out;
}

std::string WrapFixed(std::string_view text, int n, bool trimBoth) {
    if (n <= 1) return {};
    const auto lineUnits = static_cast<std::size_t>(n);
    std::string out;
    out.reserve(text.size() + text.size() / lineUnits + 1);
    std::size_t used = 0; // units on the current line
    for (std::size_t pos = 0; pos < text.size();) {
        const DecodedChar ch = decodeUtf8(text, pos);
        const auto width = static_cast<std::size_t>(displayWidth(ch));
        if (used + width > lineUnits) {
            out.append(lineUnits - used, ' ');
            used = 0;
        }
        out.append(text.substr(pos, ch.length));
        used = (used + width) % lineUnits;
        pos += ch.length;
    }
    const std::string_view trimmed = trimBoth ? TrimBlanks(out) : TrimRightBlanks(out);
    return std::string(trimmed);
}

bool TestBit(std::span<const std::uint8_t> bits, int c) {
    if (c < 0 || static_cast<std::size_t>(c / 8) >= bits.size()) return false;
    return (bits[static_cast<std::size_t>(c / 8)] & (128 >> (c % 8))) != 0;
}

void SetBit(std::span<std::uint8_t> bits, int c, bool value) {
    if (c < 0 || static_cast<std::size_t>(c / 8) >= bits.size()) return;
    const auto mask = static_cast<std::uint8_t>(128 >> (c % 8));
    std::uint8_t& byte = bits[static_cast<std::size_t>(c / 8)];
    byte = value ? static_cast<std::uint8_t>(byte | mask) : static_cast<std::uint8_t>(byte & ~mask);
}

std::string FlattenLineBreaks(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t breakLength = lineBreakLength(text, pos);
        if (breakLength > 0) {
            out.append(kLineBreakMark);
            pos += breakLength;
        } else {
            out += text[pos++];
        }
    }
    return out;
}

std::size_t cellDisplayUnits(std::string_view text) {
    std::size_t units = 0;
    for (std::size_t pos = 0; pos < text.size();) {
        // Eight ASCII bytes without CR or LF are eight units: a cell of
        // gigabytes is counted at memory speed.
        if (pos + 8 <= text.size() && plainAsciiWord(text.data() + pos)) {
            units += 8;
            pos += 8;
            continue;
        }
        const std::size_t breakLength = lineBreakLength(text, pos);
        if (breakLength > 0) {
            ++units;
            pos += breakLength;
            continue;
        }
        const DecodedChar ch = decodeUtf8(text, pos);
        units += ch.valid && ch.codePoint == kLineBreakMarkChar
                     ? 1
                     : static_cast<std::size_t>(displayWidth(ch));
        pos += ch.length;
    }
    return units;
}

std::string TextPreview(std::string_view text, std::size_t units) {
    std::string joined;
    // Each unit takes at most 4 bytes, and a break 2; enough for the cut.
    const std::size_t enough = units * 4 + 4;
    for (std::size_t i = 0; i < text.size() && joined.size() < enough; ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            joined += "\r\n";
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            joined += c;
        }
    }
    return std::string(headUnits(joined, units));
}

} // namespace tabulix
