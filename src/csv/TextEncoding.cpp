#include "csv/TextEncoding.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <iconv.h>
#include <utility>

namespace tabulix {

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

unsigned char byteAt(std::string_view text, std::size_t p) {
    return static_cast<unsigned char>(text[p]);
}

// End of the run of ASCII bytes starting at p; eight bytes at a time.
std::size_t asciiRunEnd(std::string_view text, std::size_t p) {
    constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;
    while (p + 8 <= text.size()) {
        std::uint64_t word;
        std::memcpy(&word, text.data() + p, 8);
        if (word & kHighBits) break;
        p += 8;
    }
    while (p < text.size() && byteAt(text, p) < 0x80)
        ++p;
    return p;
}

// Length of the well-formed UTF-8 sequence at p, 0 when the byte there does
// not start one (stray continuation, overlong form, surrogate, truncation,
// beyond U+10FFFF).
std::size_t sequenceLength(std::string_view text, std::size_t p) {
    const unsigned char lead = byteAt(text, p);
    const auto follows = [&](std::size_t i, unsigned char lo, unsigned char hi) {
        return p + i < text.size() && byteAt(text, p + i) >= lo && byteAt(text, p + i) <= hi;
    };
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) return follows(1, 0x80, 0xBF) ? 2 : 0;
    if (lead >= 0xE0 && lead <= 0xEF) {
        const unsigned char lo = lead == 0xE0 ? 0xA0 : 0x80;
        const unsigned char hi = lead == 0xED ? 0x9F : 0xBF;
        return follows(1, lo, hi) && follows(2, 0x80, 0xBF) ? 3 : 0;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        const unsigned char lo = lead == 0xF0 ? 0x90 : 0x80;
        const unsigned char hi = lead == 0xF4 ? 0x8F : 0xBF;
        return follows(1, lo, hi) && follows(2, 0x80, 0xBF) && follows(3, 0x80, 0xBF) ? 4 : 0;
    }
    return 0;
}

// A raw-byte code point (U+10FE00..U+10FFFF: F4 8F B8..BF 80..BF) at p.
bool rawByteAt(std::string_view text, std::size_t p) {
    return p + 3 < text.size() && byteAt(text, p) == 0xF4 && byteAt(text, p + 1) == 0x8F &&
           byteAt(text, p + 2) >= 0xB8 && byteAt(text, p + 3) >= 0x80 &&
           byteAt(text, p + 3) <= 0xBF;
}

struct RawByte {
    char value;
    bool fromCp932;
};

RawByte rawByteValue(std::string_view text, std::size_t p) {
    const unsigned char third = byteAt(text, p + 2);
    const unsigned value = ((third & 0x03u) << 6) | (byteAt(text, p + 3) & 0x3Fu);
    return {static_cast<char>(value), third >= 0xBC};
}

void appendRawByte(std::string& out, char32_t base, unsigned char byte) {
    const char32_t c = base + byte;
    const char bytes[4] = {static_cast<char>(0xF4), static_cast<char>(0x80 | ((c >> 12) & 0x3F)),
                           static_cast<char>(0x80 | ((c >> 6) & 0x3F)),
                           static_cast<char>(0x80 | (c & 0x3F))};
    out.append(bytes, 4);
}

std::string decodeUtf8(std::string&& owned, std::size_t skip) {
    const std::string_view bytes = std::string_view(owned).substr(skip);
    if (ScanUtf8(bytes) == Utf8State::Clean) {
        owned.erase(0, skip);
        return std::move(owned);
    }
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 4);
    std::size_t runStart = 0;
    std::size_t p = 0;
    while ((p = asciiRunEnd(bytes, p)) < bytes.size()) {
        const std::size_t length = sequenceLength(bytes, p);
        if (length != 0 && !rawByteAt(bytes, p)) {
            p += length;
            continue;
        }
        out.append(bytes.substr(runStart, p - runStart));
        // A literal raw-byte code point keeps all four bytes raw, so that
        // writing back reproduces them instead of one byte.
        const std::size_t kept = length == 0 ? 1 : length;
        for (std::size_t i = 0; i < kept; ++i)
            appendRawByte(out, kRawUtf8ByteBase, byteAt(bytes, p + i));
        p += kept;
        runStart = p;
    }
    out.append(bytes.substr(runStart));
    return out;
}

// Appends the UTF-8 text to *out with its raw-byte code points written back
// as the bytes they stand for; false at one that CP932 rejected.
bool appendUtf8(std::string_view text, std::string& out) {
    std::size_t runStart = 0;
    for (std::size_t p = text.find('\xF4'); p != std::string_view::npos; p = text.find('\xF4', p)) {
        if (!rawByteAt(text, p)) {
            ++p;
            continue;
        }
        const RawByte raw = rawByteValue(text, p);
        if (raw.fromCp932) return false;
        out.append(text.substr(runStart, p - runStart));
        out.push_back(raw.value);
        p += 4;
        runStart = p;
    }
    out.append(text.substr(runStart));
    return true;
}

std::optional<std::string> encodeUtf8(std::string text, bool bom) {
    if (text.find('\xF4') == std::string::npos) {
        if (bom) text.insert(0, kBom);
        return text;
    }
    std::string out;
    out.reserve(text.size() + kBom.size());
    if (bom) out.append(kBom);
    if (!appendUtf8(text, out)) return std::nullopt;
    return out;
}

class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (ok()) iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Converts [in, in + left) as far as it can, appending to *out when out
    // is set. Returns true when all was converted; otherwise `in` stops at the
    // first byte that could not be converted.
    bool run(const char*& in, std::size_t& left, std::string* out) {
        if (!ok()) return left == 0;
        while (left > 0) {
            char buffer[16384];
            char* next = buffer;
            std::size_t room = sizeof buffer;
            const std::size_t result = iconv(cd_, const_cast<char**>(&in), &left, &next, &room);
            if (out != nullptr) out->append(buffer, next - buffer);
            if (result != static_cast<std::size_t>(-1)) return true;
            if (errno != E2BIG) return false;
        }
        return true;
    }

private:
    iconv_t cd_;
};

bool isCp932Lead(unsigned char b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// End of the run of CP932 characters from p that are not plain ASCII: lead
// bytes take their trail byte with them, as a trail may be an ASCII byte.
std::size_t cp932RunEnd(std::string_view bytes, std::size_t p) {
    while (p < bytes.size() && byteAt(bytes, p) >= 0x80)
        p += isCp932Lead(byteAt(bytes, p)) && p + 1 < bytes.size() ? 2 : 1;
    return p;
}

// ASCII is the same in CP932 and UTF-8, so only the other runs go through
// iconv.
std::string decodeCp932(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 2);
    Converter converter("UTF-8", "CP932");
    std::size_t p = 0;
    while (p < bytes.size()) {
        const std::size_t asciiEnd = asciiRunEnd(bytes, p);
        out.append(bytes.substr(p, asciiEnd - p));
        p = asciiEnd;
        const std::size_t end = cp932RunEnd(bytes, p);
        const char* in = bytes.data() + p;
        std::size_t left = end - p;
        while (!converter.run(in, left, &out)) {
            appendRawByte(out, kRawCp932ByteBase, static_cast<unsigned char>(*in));
            ++in;
            --left;
        }
        p = end;
    }
    return out;
}

// iconv writes YEN SIGN and OVERLINE as the bytes of the backslash and the
// tilde, which read back as those: a silent change of character, so they
// count as not held by CP932. (Its other one-way mappings, such as WAVE DASH
// to the code of FULLWIDTH TILDE, stay within one Japanese character.)
bool readsBackAsAscii(std::string_view text) {
    return text.find("\u00A5") != std::string_view::npos ||
           text.find("\u203E") != std::string_view::npos;
}

// Encodes into *out when out is set; false when a character has no CP932 form.
bool encodeCp932(std::string_view text, std::string* out) {
    Converter converter("CP932", "UTF-8");
    std::size_t p = 0;
    while (p < text.size()) {
        const std::size_t asciiEnd = asciiRunEnd(text, p);
        if (out != nullptr) out->append(text.substr(p, asciiEnd - p));
        p = asciiEnd;
        if (p == text.size()) break;
        if (rawByteAt(text, p)) {
            const RawByte raw = rawByteValue(text, p);
            if (!raw.fromCp932) return false;
            if (out != nullptr) out->push_back(raw.value);
            p += 4;
            continue;
        }
        std::size_t end = p;
        while (end < text.size() && byteAt(text, end) >= 0x80 && !rawByteAt(text, end))
            ++end;
        if (readsBackAsAscii(text.substr(p, end - p))) return false;
        const char* in = text.data() + p;
        std::size_t left = end - p;
        if (!converter.run(in, left, out)) return false;
        p = end;
    }
    return true;
}

bool hasBom(std::string_view bytes) {
    return bytes.starts_with(kBom);
}

bool hasCp932RawByte(std::string_view text) {
    for (std::size_t p = text.find('\xF4'); p != std::string_view::npos;
         p = text.find('\xF4', p + 1)) {
        if (rawByteAt(text, p) && rawByteValue(text, p).fromCp932) return true;
    }
    return false;
}

} // namespace

Utf8State ScanUtf8(std::string_view text) {
    Utf8State state = Utf8State::Clean;
    std::size_t p = 0;
    while ((p = asciiRunEnd(text, p)) < text.size()) {
        const std::size_t length = sequenceLength(text, p);
        if (length == 0) return Utf8State::Invalid;
        if (rawByteAt(text, p)) state = Utf8State::HasRawLiteral;
        p += length;
    }
    return state;
}

TextEncoding DetectEncoding(std::string_view bytes) {
    if (hasBom(bytes)) return TextEncoding::Utf8Bom;
    return ScanUtf8(bytes) == Utf8State::Invalid ? TextEncoding::ShiftJis : TextEncoding::Utf8;
}

std::string DecodeText(std::string bytes, TextEncoding encoding) {
    if (encoding == TextEncoding::ShiftJis) return decodeCp932(bytes);
    const bool dropBom = encoding == TextEncoding::Utf8Bom && hasBom(bytes);
    return decodeUtf8(std::move(bytes), dropBom ? kBom.size() : 0);
}

std::optional<std::string> EncodeText(std::string utf8, TextEncoding encoding) {
    if (encoding != TextEncoding::ShiftJis)
        return encodeUtf8(std::move(utf8), encoding == TextEncoding::Utf8Bom);
    std::string out;
    out.reserve(utf8.size());
    if (!encodeCp932(utf8, &out)) return std::nullopt;
    return out;
}

bool AppendEncoded(std::string_view utf8, TextEncoding encoding, std::string& out) {
    if (encoding == TextEncoding::ShiftJis) return encodeCp932(utf8, &out);
    return appendUtf8(utf8, out);
}

std::string_view ByteOrderMark(TextEncoding encoding) {
    return encoding == TextEncoding::Utf8Bom ? kBom : std::string_view{};
}

bool CanEncode(std::string_view utf8, TextEncoding encoding) {
    if (encoding != TextEncoding::ShiftJis) return !hasCp932RawByte(utf8);
    return encodeCp932(utf8, nullptr);
}

} // namespace tabulix
