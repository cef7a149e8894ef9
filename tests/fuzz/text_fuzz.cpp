// The width, cut, wrap and padding helpers on any text: widths agree with a
// character-by-character count, cuts stay within their width and never split
// a character, padding gives exactly the asked width.
#include "FuzzSupport.h"

#include "draw/DisplayText.h"
#include "text/DisplayWidth.h"
#include "text/TextHelpers.h"

#include <cstddef>
#include <cstdint>

using namespace tabulix;

namespace {

// cellDisplayUnits the plain way: one character at a time.
std::size_t unitsOneByOne(std::string_view text) {
    std::size_t units = 0;
    for (std::size_t pos = 0; pos < text.size();) {
        if (text[pos] == '\r' || text[pos] == '\n') {
            pos += text[pos] == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n' ? 2 : 1;
            ++units;
            continue;
        }
        const DecodedChar ch = decodeUtf8(text, pos);
        units += ch.valid && ch.codePoint == U'\u21B5' ? 1 : displayWidth(ch);
        pos += ch.length;
    }
    return units;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const int n = data[0] % 64;
    const bool trimBoth = data[1] & 1;
    const std::string_view text(reinterpret_cast<const char*>(data + 2), size - 2);

    fuzz::check(cellDisplayUnits(text) == unitsOneByOne(text), "cell units");
    fuzz::check(cellDisplayUnits(FlattenLineBreaks(text)) == cellDisplayUnits(text),
                "flattened units");
    const std::size_t units = displayUnits(text);

    const std::string_view head = headUnits(text, static_cast<std::size_t>(n));
    fuzz::check(text.starts_with(head) && displayUnits(head) <= static_cast<std::size_t>(n),
                "head");
    fuzz::check(head.size() == text.size() || displayUnits(head) + 2 > static_cast<std::size_t>(n),
                "head too short");
    const std::string_view tail = tailUnits(text, static_cast<std::size_t>(n));
    fuzz::check(text.ends_with(tail) && displayUnits(tail) <= static_cast<std::size_t>(n), "tail");
    fuzz::check(displayUnits(text.substr(0, text.size() - tail.size())) + displayUnits(tail) ==
                    units,
                "tail splits a character");

    for (const char pad : {' ', '0'}) {
        fuzz::check(displayUnits(PadLeft(pad, text, n)) == static_cast<std::size_t>(n), "PadLeft");
        fuzz::check(displayUnits(PadRight(pad, text, n)) == static_cast<std::size_t>(n),
                    "PadRight");
    }
    const std::string wrapped = WrapFixed(text, n, trimBoth);
    fuzz::check(displayUnits(wrapped) <= units + units / 2 + 1 || n <= 1, "wrap grows too much");
    fuzz::check(ByteKinds(text).size() == units, "byte kinds");

    const int maxLines = 1 + data[1] % 8;
    const auto lines = FoldDisplayText(text, n, maxLines);
    fuzz::check(lines.size() <= static_cast<std::size_t>(maxLines), "fold line count");
    for (const std::string& line : lines)
        fuzz::check(cellDisplayUnits(line) <= static_cast<std::size_t>(std::max(n, 2)),
                    "folded line too wide", line);
    FormatThousands(text);
    DigitsOnly(text);
    return 0;
}
