#include "csv/TextEncoding.h"

#include "text/RunAlongside.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <iconv.h>
#include <sys/mman.h>
#include <utility>
#include <vector>

namespace tabulix {

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

unsigned char byteAt(std::string_view text, std::size_t p) {
    return static_cast<unsigned char>(text[p]);
}

// The high bit of each of eight bytes: set in a byte that is not ASCII.
constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;

// End of the run of ASCII bytes starting at p; 32 bytes at a time where the
// processor has vectors (SSE2 on every x86-64), then eight.
std::size_t asciiRunEnd(std::string_view text, std::size_t p) {
#ifdef __SSE2__
    // The high bits of the bytes say where the run ends, to the byte.
    while (p + 32 <= text.size()) {
        const auto* at = reinterpret_cast<const __m128i*>(text.data() + p);
        const auto high = static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_loadu_si128(at))) |
                          static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_loadu_si128(at + 1)))
                              << 16;
        if (high != 0) return p + static_cast<std::size_t>(std::countr_zero(high));
        p += 32;
    }
#endif
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

// A raw-byte code point (U+10F000..U+10F8FF or U+10FE00..U+10FFFF:
// F4 8F 80..A3 or B8..BF, then 80..BF) at p.
bool rawByteAt(std::string_view text, std::size_t p) {
    if (p + 3 >= text.size() || byteAt(text, p) != 0xF4 || byteAt(text, p + 1) != 0x8F)
        return false;
    const unsigned char third = byteAt(text, p + 2);
    const unsigned char fourth = byteAt(text, p + 3);
    return ((third >= 0x80 && third <= 0xA3) || third >= 0xB8) && fourth >= 0x80 &&
           fourth <= 0xBF;
}

enum class RawKind { Utf16Unit, Utf16Byte, Utf8, Cp932 };

struct RawByte {
    unsigned value; // the byte, or the UTF-16 unit
    RawKind kind;
};

RawByte rawByteValue(std::string_view text, std::size_t p) {
    const char32_t c = 0x10F000 | ((byteAt(text, p + 2) & 0x3Fu) << 6) | (byteAt(text, p + 3) & 0x3Fu);
    if (c >= kRawCp932ByteBase) return {static_cast<unsigned>(c - kRawCp932ByteBase), RawKind::Cp932};
    if (c >= kRawUtf8ByteBase) return {static_cast<unsigned>(c - kRawUtf8ByteBase), RawKind::Utf8};
    if (c >= kRawUtf16ByteBase)
        return {static_cast<unsigned>(c - kRawUtf16ByteBase), RawKind::Utf16Byte};
    return {static_cast<unsigned>(c - kRawUtf16UnitBase + 0xD800), RawKind::Utf16Unit};
}

void appendCodePoint(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

void appendRawByte(std::string& out, char32_t base, unsigned char byte) {
    appendCodePoint(out, base + byte);
}

// The code point of the well-formed sequence of `length` bytes at p.
char32_t codePointAt(std::string_view text, std::size_t p, std::size_t length) {
    const unsigned char lead = byteAt(text, p);
    if (length == 1) return lead;
    char32_t c = lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i)
        c = (c << 6) | (byteAt(text, p + i) & 0x3Fu);
    return c;
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
// as the bytes they stand for; false at one that another encoding kept.
bool appendUtf8(std::string_view text, std::string& out) {
    std::size_t runStart = 0;
    for (std::size_t p = text.find('\xF4'); p != std::string_view::npos; p = text.find('\xF4', p)) {
        if (!rawByteAt(text, p)) {
            ++p;
            continue;
        }
        const RawByte raw = rawByteValue(text, p);
        if (raw.kind != RawKind::Utf8) return false;
        out.append(text.substr(runStart, p - runStart));
        out.push_back(static_cast<char>(raw.value));
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

    // The whole of `from` converted, or nullopt.
    std::optional<std::string> convert(std::string_view from) {
        const char* in = from.data();
        std::size_t left = from.size();
        std::string out;
        if (!run(in, left, &out)) {
            iconv(cd_, nullptr, nullptr, nullptr, nullptr);
            return std::nullopt;
        }
        return out;
    }

private:
    iconv_t cd_;
};

bool isCp932Lead(unsigned char b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// What reading a CP932 code gives: its character (at most three UTF-8
// bytes), nothing (not a character), or the code kept as its bytes because
// writing the character would give other bytes.
struct Cp932Code {
    static constexpr std::uint8_t kKeptAsBytes = 0xFF;
    std::uint8_t length = 0; // 0: not a character
    char utf8[3] = {};
};

// Every one- and two-byte CP932 code, worked out once with iconv in both
// directions, so that reading is a table look-up that also knows which codes
// would not come back as the bytes read.
class Cp932Table {
public:
    Cp932Table() : pairs_(128 * 256) {
        Converter decoder("UTF-8", "CP932");
        Converter encoder("CP932", "UTF-8");
        const auto fill = [&](Cp932Code& code, std::string_view bytes) {
            const std::optional<std::string> text = decoder.convert(bytes);
            if (!text || text->empty()) return;
            if (text->size() > sizeof code.utf8 || encoder.convert(*text) != bytes) {
                code.length = Cp932Code::kKeptAsBytes;
                return;
            }
            code.length = static_cast<std::uint8_t>(text->size());
            std::memcpy(code.utf8, text->data(), text->size());
        };
        for (int byte = 0x80; byte < 0x100; ++byte) {
            if (isCp932Lead(static_cast<unsigned char>(byte))) {
                for (int trail = 0x40; trail <= 0xFC; ++trail) {
                    const char bytes[2] = {static_cast<char>(byte), static_cast<char>(trail)};
                    fill(pairs_[(byte - 0x80) * 256 + trail], std::string_view(bytes, 2));
                }
            } else {
                const char single = static_cast<char>(byte);
                fill(singles_[byte - 0x80], std::string_view(&single, 1));
            }
        }
    }

    const Cp932Code& pair(unsigned char lead, unsigned char trail) const {
        return pairs_[(lead - 0x80) * 256 + trail];
    }
    const Cp932Code& single(unsigned char byte) const { return singles_[byte - 0x80]; }

private:
    std::vector<Cp932Code> pairs_;
    Cp932Code singles_[128];
};

const Cp932Table& cp932Table() {
    static const Cp932Table table;
    return table;
}

// One step of reading CP932 at a byte, given the byte after it, packed in
// one word: the UTF-8 bytes it gives (bytes 0..3: a character, or the
// raw-byte code point of a byte that is no character), how many (byte 4),
// whether it reads the byte after it too (byte 5), and whether that is a
// code kept as its two bytes, whose second raw-byte code point follows
// (byte 6).
using Cp932Step = std::uint64_t;

constexpr Cp932Step packStep(std::uint32_t utf8, unsigned length, bool pair, bool kept) {
    return utf8 | Cp932Step{length} << 32 | Cp932Step{pair} << 40 | Cp932Step{kept} << 48;
}
constexpr unsigned stepLength(Cp932Step step) {
    return static_cast<unsigned>(step >> 32) & 0xFF;
}
constexpr bool stepReadsPair(Cp932Step step) {
    return ((step >> 40) & 1) != 0;
}
constexpr bool stepKept(Cp932Step step) {
    return ((step >> 48) & 1) != 0;
}

void putRawByte(char* out, unsigned char byte) {
    // U+10FF00 + byte in UTF-8.
    out[0] = static_cast<char>(0xF4);
    out[1] = static_cast<char>(0x8F);
    out[2] = static_cast<char>(0xBC | (byte >> 6));
    out[3] = static_cast<char>(0x80 | (byte & 0x3F));
}

// The bytes as a word that, stored, writes them in their order.
std::uint32_t wordOf(const char* bytes, std::size_t length) {
    char four[4] = {};
    std::memcpy(four, bytes, length);
    std::uint32_t word;
    std::memcpy(&word, four, 4);
    return word;
}

// Every step, so that decoding takes one look-up a byte: the 128 ASCII bytes
// first, then every byte of 0x80..0xFF with every byte after it. For the
// last byte of a text the byte after it is taken as 0x00, which no code has
// as its trail.
class Cp932Steps {
public:
    Cp932Steps() : steps_(128 + 128 * 256), sizes_(steps_.size()) {
        for (unsigned ascii = 0; ascii < 0x80; ++ascii)
            steps_[ascii] = packStep(ascii, 1, false, false);
        const Cp932Table& table = cp932Table();
        for (int first = 0x80; first < 0x100; ++first) {
            const auto byte = static_cast<unsigned char>(first);
            char raw[4];
            putRawByte(raw, byte);
            for (int second = 0; second < 0x100; ++second) {
                const auto trail = static_cast<unsigned char>(second);
                const Cp932Code& code =
                    isCp932Lead(byte) ? table.pair(byte, trail) : table.single(byte);
                const bool character = code.length != 0 && code.length != Cp932Code::kKeptAsBytes;
                const bool kept = isCp932Lead(byte) && code.length == Cp932Code::kKeptAsBytes;
                const bool pair = isCp932Lead(byte) && (character || kept);
                steps_[index(byte, trail)] =
                    character ? packStep(wordOf(code.utf8, code.length), code.length, pair, false)
                              : packStep(wordOf(raw, 4), 4, pair, kept);
            }
        }
        for (std::size_t i = 0; i < steps_.size(); ++i) {
            const Cp932Step step = steps_[i];
            sizes_[i] = static_cast<std::uint8_t>((stepLength(step) + (stepKept(step) ? 4 : 0)) |
                                                  (stepReadsPair(step) ? kReadsPair : 0));
        }
    }

    // A size's bit that tells that the step reads the byte after it too.
    static constexpr unsigned kReadsPair = 0x10;

    Cp932Step at(unsigned char first, unsigned char second) const {
        return steps_[index(first, second)];
    }
    // How many UTF-8 bytes the step gives in all, with kReadsPair: for
    // counting, from a table an eighth the size.
    unsigned sizeAt(unsigned char first, unsigned char second) const {
        return sizes_[index(first, second)];
    }

private:
    static std::size_t index(unsigned first, unsigned second) {
        return first < 0x80 ? first : ((first << 8) | second) - 0x8000 + 128;
    }

    std::vector<Cp932Step> steps_;
    std::vector<std::uint8_t> sizes_;
};

const Cp932Steps& cp932Steps() {
    static const Cp932Steps steps;
    return steps;
}

// How many of the sixteen bytes at p are ASCII before the first that is not.
std::size_t asciiRun(const unsigned char* p) {
    std::uint64_t low;
    std::uint64_t high;
    std::memcpy(&low, p, 8);
    std::memcpy(&high, p + 8, 8);
    const auto firstHigh = [](std::uint64_t highs) {
        const int bits = std::endian::native == std::endian::little ? std::countr_zero(highs)
                                                                    : std::countl_zero(highs);
        return static_cast<std::size_t>(bits) / 8;
    };
    if ((low & kHighBits) != 0) return firstHigh(low & kHighBits);
    if ((high & kHighBits) != 0) return 8 + firstHigh(high & kHighBits);
    return 16;
}

// Decodes CP932 bytes into `out` (Write) or only counts the UTF-8 bytes that
// would give; returns that count.
//
// Every byte is looked up, whether a character starts there or not: what
// tells where the next one starts is a single bit carried from byte to byte
// (a byte after a lead byte that read its trail starts none), so no byte
// waits for the look-up of the one before it. A byte where no character
// starts adds nothing, and what it wrote is overwritten by the next one.
// While more than sixteen bytes remain every write fits (no byte decodes
// shorter than itself), so writes may run past a step's own bytes and ASCII
// is copied sixteen bytes at a time; the last bytes are written exactly, so
// that the text of a piece never spills into the next piece's.
template <bool Write>
std::size_t walkCp932(std::string_view bytes, char* out) {
    const Cp932Steps& steps = cp932Steps();
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* const end = p + bytes.size();
    std::size_t n = 0;
    bool starts = true; // a character starts at p
    while (end - p >= 32) {
        if (starts) {
            // The ASCII in front, copied whole.
            const std::size_t run = asciiRun(p);
            if constexpr (Write) std::memcpy(out + n, p, 16);
            p += run;
            n += run;
            if (run != 0) continue; // and check again what remains
        }
        if constexpr (!Write) {
            for (const unsigned char* const blockEnd = p + 16; p < blockEnd; ++p) {
                const unsigned size = steps.sizeAt(p[0], p[1]);
                n += starts ? size & ~Cp932Steps::kReadsPair : 0;
                starts = !(starts && (size & Cp932Steps::kReadsPair) != 0);
            }
            continue;
        }
        for (const unsigned char* const blockEnd = p + 16; p < blockEnd; ++p) {
            const Cp932Step step = steps.at(p[0], p[1]);
            if constexpr (Write) {
                const auto utf8 = static_cast<std::uint32_t>(step);
                std::memcpy(out + n, &utf8, 4);
            }
            const std::size_t length = starts ? stepLength(step) : 0;
            if (starts && stepKept(step)) [[unlikely]] {
                if constexpr (Write) putRawByte(out + n + 4, p[1]);
                n += 4;
            }
            n += length;
            starts = !(starts && stepReadsPair(step));
        }
    }
    if (!starts) ++p; // the trail of the code before
    for (; p < end; ++p) {
        const Cp932Step step = steps.at(p[0], p + 1 < end ? p[1] : 0);
        const unsigned length = stepLength(step);
        if constexpr (Write) {
            const auto utf8 = static_cast<std::uint32_t>(step);
            std::memcpy(out + n, &utf8, length);
        }
        n += length;
        if (stepKept(step)) {
            if constexpr (Write) putRawByte(out + n, p[1]);
            n += 4;
        }
        if (stepReadsPair(step)) ++p;
    }
    return n;
}

// The bytes in two pieces cut after a line break near the middle, for large
// texts; otherwise all in the first. A line break is never part of a CP932
// code (trail bytes are 0x40..0xFC), so the pieces decode as the whole.
std::pair<std::string_view, std::string_view> cp932Pieces(std::string_view bytes) {
    constexpr std::size_t kPiecesFrom = std::size_t{1} << 20;
    if (bytes.size() < kPiecesFrom) return {bytes, {}};
    std::size_t cut = bytes.find('\n', bytes.size() / 2);
    if (cut == std::string_view::npos) cut = bytes.rfind('\n', bytes.size() / 2);
    if (cut == std::string_view::npos) return {bytes, {}};
    return {bytes.substr(0, cut + 1), bytes.substr(cut + 1)};
}

// Decodes CP932 bytes into the memory `allocate(size)` gives for exactly
// their UTF-8 size: counted first, then written once, a large text in two
// pieces on two threads.
template <class Allocate>
void decodeCp932(std::string_view bytes, Allocate&& allocate) {
    // Named pieces rather than a structured binding: lambdas below use them.
    const auto pieces = cp932Pieces(bytes);
    const std::string_view first = pieces.first;
    const std::string_view second = pieces.second;
    if (second.empty()) {
        walkCp932<true>(first, allocate(walkCp932<false>(first, nullptr)));
        return;
    }
    cp932Steps(); // built here, where a failure can be thrown, not on the helper
    std::size_t firstSize = 0;
    std::size_t secondSize = 0;
    RunAlongside(2, [&](std::size_t k) {
        (k == 0 ? firstSize : secondSize) = walkCp932<false>(k == 0 ? first : second, nullptr);
    });
    char* const out = allocate(firstSize + secondSize);
    RunAlongside(2, [&](std::size_t k) {
        walkCp932<true>(k == 0 ? first : second, k == 0 ? out : out + firstSize);
    });
}

std::string decodeCp932(std::string_view bytes) {
    std::string out;
    decodeCp932(bytes, [&](std::size_t size) {
        out.resize(size);
        return out.data();
    });
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
            if (raw.kind != RawKind::Cp932) return false;
            if (out != nullptr) out->push_back(static_cast<char>(raw.value));
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

constexpr std::string_view kBomLe = "\xFF\xFE";
constexpr std::string_view kBomBe = "\xFE\xFF";

void appendUnit(std::string& out, unsigned unit, bool bigEndian) {
    const char high = static_cast<char>(unit >> 8);
    const char low = static_cast<char>(unit & 0xFF);
    out.push_back(bigEndian ? high : low);
    out.push_back(bigEndian ? low : high);
}

std::string decodeUtf16(std::string_view bytes, bool bigEndian) {
    if (bytes.starts_with(bigEndian ? kBomBe : kBomLe)) bytes.remove_prefix(2);
    std::string out;
    out.reserve(bytes.size());
    const auto unitAt = [&](std::size_t p) -> unsigned {
        const unsigned a = byteAt(bytes, p);
        const unsigned b = byteAt(bytes, p + 1);
        return bigEndian ? (a << 8) | b : (b << 8) | a;
    };
    std::size_t p = 0;
    for (; p + 1 < bytes.size(); p += 2) {
        const unsigned unit = unitAt(p);
        if (unit < 0xD800 || unit > 0xDFFF) {
            appendCodePoint(out, unit);
            continue;
        }
        if (unit <= 0xDBFF && p + 3 < bytes.size()) {
            const unsigned low = unitAt(p + 2);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                appendCodePoint(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
                p += 2;
                continue;
            }
        }
        appendCodePoint(out, kRawUtf16UnitBase + (unit - 0xD800));
    }
    if (p < bytes.size()) appendRawByte(out, kRawUtf16ByteBase, byteAt(bytes, p));
    return out;
}

// Encodes into *out when out is set; false at a byte kept by another
// encoding, the odd last byte of a file (it would shift every byte after
// it), or bytes that are not UTF-8.
bool encodeUtf16(std::string_view text, bool bigEndian, std::string* out) {
    std::size_t p = 0;
    while (p < text.size()) {
        const std::size_t length = sequenceLength(text, p);
        if (length == 0) return false;
        if (length == 4 && rawByteAt(text, p)) {
            const RawByte raw = rawByteValue(text, p);
            if (raw.kind != RawKind::Utf16Unit) return false;
            if (out != nullptr) appendUnit(*out, raw.value, bigEndian);
            p += 4;
            continue;
        }
        const char32_t c = codePointAt(text, p, length);
        p += length;
        if (out == nullptr) continue;
        if (c < 0x10000) {
            appendUnit(*out, c, bigEndian);
        } else {
            appendUnit(*out, 0xD800 + ((c - 0x10000) >> 10), bigEndian);
            appendUnit(*out, 0xDC00 + ((c - 0x10000) & 0x3FF), bigEndian);
        }
    }
    return true;
}

bool hasBom(std::string_view bytes) {
    return bytes.starts_with(kBom);
}

// The first CP932 byte the character `c` (UTF-8, one character) is written
// with, and whether it is a kept byte; nullopt when CP932 cannot write it.
struct FirstByte {
    unsigned char byte;
    bool raw;
};
std::optional<FirstByte> firstCp932Byte(std::string_view c) {
    if (c.empty()) return std::nullopt;
    if (byteAt(c, 0) < 0x80) return FirstByte{byteAt(c, 0), false};
    if (rawByteAt(c, 0)) {
        const RawByte raw = rawByteValue(c, 0);
        if (raw.kind != RawKind::Cp932) return std::nullopt;
        return FirstByte{static_cast<unsigned char>(raw.value), true};
    }
    if (readsBackAsAscii(c)) return std::nullopt;
    // Opened once per thread: a misdetected file asks this for many bytes.
    thread_local Converter converter("CP932", "UTF-8");
    const std::optional<std::string> bytes = converter.convert(c);
    if (!bytes || bytes->empty()) return std::nullopt;
    return FirstByte{static_cast<unsigned char>((*bytes)[0]), false};
}

// The character at p of text + after (one byte where the text is not UTF-8);
// empty at the end.
std::string_view characterAt(std::string_view text, std::string_view after, std::size_t p) {
    std::string_view source = text;
    if (p >= text.size()) {
        source = after;
        p -= text.size();
    }
    if (p >= source.size()) return {};
    const std::size_t length = sequenceLength(source, p);
    return source.substr(p, length == 0 ? 1 : length);
}

// Whether the raw byte at p, written, joins what follows it (see
// RawByteJoinAt).
bool rawByteJoins(std::string_view text, std::string_view after, std::size_t p) {
    const RawByte raw = rawByteValue(text, p);
    const std::string_view next = characterAt(text, after, p + 4);
    if (next.empty()) return false;
    switch (raw.kind) {
    case RawKind::Cp932: {
        if (!isCp932Lead(static_cast<unsigned char>(raw.value))) return false;
        const std::optional<FirstByte> trail = firstCp932Byte(next);
        if (!trail) return false;
        const Cp932Code& code =
            cp932Table().pair(static_cast<unsigned char>(raw.value), trail->byte);
        // A code kept as bytes reads back as the same two kept bytes.
        if (code.length == Cp932Code::kKeptAsBytes) return !trail->raw;
        return code.length != 0;
    }
    case RawKind::Utf8: {
        if (raw.value < 0xC2 || raw.value > 0xF4) return false;
        // Only kept bytes can continue a sequence: a character starts none.
        std::string window(1, static_cast<char>(raw.value));
        for (std::size_t q = p + 4; window.size() < 4;) {
            const std::string_view c = characterAt(text, after, q);
            if (c.size() != 4 || !rawByteAt(c, 0)) break;
            const RawByte following = rawByteValue(c, 0);
            if (following.kind != RawKind::Utf8) break;
            window.push_back(static_cast<char>(following.value));
            q += 4;
        }
        return sequenceLength(window, 0) != 0 && !rawByteAt(window, 0);
    }
    case RawKind::Utf16Unit: {
        if (raw.value > 0xDBFF || next.size() != 4 || !rawByteAt(next, 0)) return false;
        const RawByte following = rawByteValue(next, 0);
        return following.kind == RawKind::Utf16Unit && following.value >= 0xDC00;
    }
    case RawKind::Utf16Byte:
        return false;
    }
    return false;
}

} // namespace

std::string DecodeCp932Reference(std::string_view bytes) {
    const Cp932Table& table = cp932Table();
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 2);
    std::size_t p = 0;
    for (;;) {
        const std::size_t asciiEnd = asciiRunEnd(bytes, p);
        out.append(bytes.substr(p, asciiEnd - p));
        p = asciiEnd;
        if (p == bytes.size()) break;
        const unsigned char byte = byteAt(bytes, p);
        if (isCp932Lead(byte) && p + 1 < bytes.size()) {
            const unsigned char trail = byteAt(bytes, p + 1);
            const Cp932Code& code = table.pair(byte, trail);
            if (code.length == Cp932Code::kKeptAsBytes) {
                appendRawByte(out, kRawCp932ByteBase, byte);
                appendRawByte(out, kRawCp932ByteBase, trail);
                p += 2;
                continue;
            }
            if (code.length != 0) {
                out.append(code.utf8, code.length);
                p += 2;
                continue;
            }
        } else if (!isCp932Lead(byte)) {
            const Cp932Code& code = table.single(byte);
            if (code.length != 0 && code.length != Cp932Code::kKeptAsBytes) {
                out.append(code.utf8, code.length);
                ++p;
                continue;
            }
        }
        appendRawByte(out, kRawCp932ByteBase, byte);
        ++p;
    }
    return out;
}

Utf8State ScanUtf8(std::string_view text) {
    Utf8State state = Utf8State::Clean;
    std::size_t p = asciiRunEnd(text, 0);
    while (p < text.size()) {
        const std::size_t length = sequenceLength(text, p);
        if (length == 0) return Utf8State::Invalid;
        if (length == 4 && rawByteAt(text, p)) state = Utf8State::HasRawLiteral;
        p += length;
        // Japanese text is runs of multibyte characters: look for ASCII again
        // only after one.
        if (p < text.size() && byteAt(text, p) < 0x80) p = asciiRunEnd(text, p);
    }
    return state;
}

std::optional<TextEncoding> Utf16ByBom(std::string_view bytes) {
    if (bytes.starts_with(kBomLe)) return TextEncoding::Utf16Le;
    if (bytes.starts_with(kBomBe)) return TextEncoding::Utf16Be;
    return std::nullopt;
}

TextEncoding DetectEncoding(std::string_view bytes) {
    if (hasBom(bytes)) return TextEncoding::Utf8Bom;
    if (const std::optional<TextEncoding> utf16 = Utf16ByBom(bytes)) return *utf16;
    return ScanUtf8(bytes) == Utf8State::Invalid ? TextEncoding::ShiftJis : TextEncoding::Utf8;
}

std::string DecodeText(std::string bytes, TextEncoding encoding) {
    switch (encoding) {
    case TextEncoding::ShiftJis:
        return decodeCp932(bytes);
    case TextEncoding::Utf16Le:
    case TextEncoding::Utf16Be:
        return decodeUtf16(bytes, encoding == TextEncoding::Utf16Be);
    case TextEncoding::Utf8:
    case TextEncoding::Utf8Bom:
        break;
    }
    const bool dropBom = encoding == TextEncoding::Utf8Bom && hasBom(bytes);
    return decodeUtf8(std::move(bytes), dropBom ? kBom.size() : 0);
}

OwnedText DecodeCp932(std::string_view bytes) {
    std::shared_ptr<char[]> buffer;
    std::size_t size = 0;
    decodeCp932(bytes, [&](std::size_t n) {
        // Pages of its own, not filled first: a page is touched only when the
        // text is written, and a reader may let pages go once it is done.
        void* memory = n == 0 ? MAP_FAILED
                              : ::mmap(nullptr, n, PROT_READ | PROT_WRITE,
                                       MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (memory == MAP_FAILED) {
            buffer.reset(new char[std::max<std::size_t>(n, 1)]);
        } else {
            buffer = std::shared_ptr<char[]>(static_cast<char*>(memory),
                                             [n](char* pages) { ::munmap(pages, n); });
        }
        size = n;
        return buffer.get();
    });
    const std::string_view text(buffer.get(), size);
    return {std::move(buffer), text};
}

std::optional<std::string> EncodeText(std::string utf8, TextEncoding encoding) {
    if (encoding == TextEncoding::Utf8 || encoding == TextEncoding::Utf8Bom)
        return encodeUtf8(std::move(utf8), encoding == TextEncoding::Utf8Bom);
    std::string out(ByteOrderMark(encoding));
    out.reserve(IsUtf16(encoding) ? 2 * utf8.size() + 2 : utf8.size());
    if (!AppendEncoded(utf8, encoding, out)) return std::nullopt;
    return out;
}

bool AppendEncoded(std::string_view utf8, TextEncoding encoding, std::string& out) {
    switch (encoding) {
    case TextEncoding::ShiftJis:
        return encodeCp932(utf8, &out);
    case TextEncoding::Utf16Le:
    case TextEncoding::Utf16Be:
        return encodeUtf16(utf8, encoding == TextEncoding::Utf16Be, &out);
    case TextEncoding::Utf8:
    case TextEncoding::Utf8Bom:
        break;
    }
    return appendUtf8(utf8, out);
}

std::string_view ByteOrderMark(TextEncoding encoding) {
    switch (encoding) {
    case TextEncoding::Utf8Bom:
        return kBom;
    case TextEncoding::Utf16Le:
        return kBomLe;
    case TextEncoding::Utf16Be:
        return kBomBe;
    case TextEncoding::ShiftJis:
    case TextEncoding::Utf8:
        break;
    }
    return {};
}

bool CanEncode(std::string_view utf8, TextEncoding encoding) {
    switch (encoding) {
    case TextEncoding::ShiftJis:
        return encodeCp932(utf8, nullptr);
    case TextEncoding::Utf16Le:
    case TextEncoding::Utf16Be:
        return encodeUtf16(utf8, false, nullptr);
    case TextEncoding::Utf8:
    case TextEncoding::Utf8Bom:
        break;
    }
    for (std::size_t p = utf8.find('\xF4'); p != std::string_view::npos;
         p = utf8.find('\xF4', p + 1)) {
        if (rawByteAt(utf8, p) && rawByteValue(utf8, p).kind != RawKind::Utf8) return false;
    }
    return true;
}

std::string PathForDisplay(std::string_view path) {
    if (ScanUtf8(path) != Utf8State::Invalid) return std::string(path);
    const std::string text = decodeCp932(path);
    std::string out;
    out.reserve(text.size());
    for (std::size_t p = 0; p < text.size(); ++p) {
        if (rawByteAt(text, p)) {
            out.append("\uFFFD");
            p += 3;
        } else {
            out.push_back(text[p]);
        }
    }
    return out;
}

bool HasRawBytes(std::string_view utf8) {
    for (std::size_t p = utf8.find('\xF4'); p != std::string_view::npos;
         p = utf8.find('\xF4', p + 1)) {
        if (rawByteAt(utf8, p)) return true;
    }
    return false;
}

std::size_t RawByteJoinAt(std::string_view utf8, std::string_view after) {
    // The second byte of a CP932 code kept as its two bytes is read as its
    // trail, never as a lead of its own.
    std::size_t trailAt = std::string_view::npos;
    for (std::size_t p = utf8.find('\xF4'); p != std::string_view::npos;
         p = utf8.find('\xF4', p + 1)) {
        if (!rawByteAt(utf8, p) || p == trailAt) continue;
        if (rawByteJoins(utf8, after, p)) return p;
        const RawByte raw = rawByteValue(utf8, p);
        if (raw.kind == RawKind::Cp932 && isCp932Lead(static_cast<unsigned char>(raw.value)) &&
            rawByteAt(utf8, p + 4)) {
            const RawByte next = rawByteValue(utf8, p + 4);
            if (next.kind == RawKind::Cp932 &&
                cp932Table()
                        .pair(static_cast<unsigned char>(raw.value),
                              static_cast<unsigned char>(next.value))
                        .length == Cp932Code::kKeptAsBytes)
                trailAt = p + 4;
        }
    }
    return std::string_view::npos;
}

std::string ShownText(std::string_view utf8) {
    // Every kept byte is a code point of U+10F000..U+10FFFF: F4 8F in UTF-8.
    if (utf8.find("\xF4\x8F") == std::string_view::npos) return std::string(utf8);
    std::string out;
    out.reserve(utf8.size());
    Converter decoder("UTF-8", "CP932");
    std::size_t p = 0;
    while (p < utf8.size()) {
        if (!rawByteAt(utf8, p)) {
            const std::size_t length = std::max<std::size_t>(sequenceLength(utf8, p), 1);
            out.append(utf8.substr(p, length));
            p += length;
            continue;
        }
        const RawByte first = rawByteValue(utf8, p);
        const std::size_t next = p + 4;
        if (first.kind == RawKind::Cp932 && next < utf8.size() && rawByteAt(utf8, next)) {
            const RawByte second = rawByteValue(utf8, next);
            if (second.kind == RawKind::Cp932) {
                const char pair[2] = {static_cast<char>(first.value), static_cast<char>(second.value)};
                const char* in = pair;
                std::size_t left = 2;
                std::string decoded;
                if (decoder.run(in, left, &decoded) && !decoded.empty()) {
                    out += decoded;
                    p = next + 4;
                    continue;
                }
            }
        }
        out += "\uFFFD";
        p += 4;
    }
    return out;
}

} // namespace tabulix
