#include "draw/DisplayText.h"

#include "text/DisplayWidth.h"
#include "text/TextHelpers.h"

#include <cstddef>
#include <utility>

namespace tabulix {

namespace {

constexpr char32_t kLineBreakMarkChar = U'\u21B5';

// A 6- or 8-unit text of 6 or 8 digits written as a date into `out`.
bool editDate(std::string_view text, std::string& out) {
    // Eight units take at most 24 bytes (three-byte half-width katakana).
    if (text.size() < 6 || text.size() > 24) return false;
    const std::size_t units = displayUnits(text);
    if (units != 6 && units != 8) return false;
    const std::string d = DigitsOnly(text);
    if (d.size() == 6) {
        out.assign(d, 0, 2).append(1, '/').append(d, 2, 2).append(1, '/').append(d, 4, 2);
        return true;
    }
    if (d.size() == 8) {
        out.assign(d, 0, 4).append(1, '/').append(d, 4, 2).append(1, '/').append(d, 6, 2);
        return true;
    }
    return false;
}

// Blanks and line breaks only: nothing more would show.
bool restIsBlank(std::string_view text, std::size_t pos) {
    for (; pos < text.size(); ++pos) {
        if (static_cast<unsigned char>(text[pos]) > 0x20) return false;
    }
    return true;
}

// Collects characters into lines of exactly n units.
class LineFolder {
public:
    LineFolder(std::size_t n, std::size_t maxLines) : n_(n), maxLines_(maxLines) {}

    bool full() const { return lines_.size() >= maxLines_; }

    // False when the lines filled up before the character found a place.
    bool put(std::string_view bytes, std::size_t width) {
        if (used_ > 0 && used_ + width > n_) {
            current_.append(n_ - used_, ' ');
            endLine();
            if (full()) return false;
        }
        current_.append(bytes);
        used_ += width;
        wrapped_ = used_ >= n_;
        if (wrapped_) endLine();
        return true;
    }

    // A line break of the text: the next character starts a line, which it
    // does anyway right after a line filled up.
    bool breakLine() {
        if (wrapped_) {
            wrapped_ = false;
            return true;
        }
        endLine();
        return !full();
    }

    std::vector<std::string> finish(bool trimEnd) {
        if (!current_.empty()) endLine();
        while (trimEnd && !lines_.empty()) {
            const std::size_t kept = TrimRightBlanks(lines_.back()).size();
            lines_.back().resize(kept);
            if (kept > 0) break;
            lines_.pop_back();
        }
        return std::move(lines_);
    }

private:
    void endLine() {
        lines_.push_back(std::move(current_));
        current_.clear();
        used_ = 0;
    }

    std::size_t n_;
    std::size_t maxLines_;
    std::size_t used_ = 0;
    bool wrapped_ = false; // the last line ended full and nothing came since
    std::string current_;
    std::vector<std::string> lines_;
};

} // namespace

std::size_t LineBreakLength(std::string_view text, std::size_t pos) {
    if (text[pos] == '\n') return 1;
    if (text[pos] != '\r') return 0;
    return pos + 1 < text.size() && text[pos + 1] == '\n' ? 2 : 1;
}

bool Folds(const DisplayOptions& options) {
    return options.foldItem == kFoldAuto || options.foldItem >= 2;
}

int FoldLineCap(const DisplayOptions& options) {
    return options.foldItem >= 2 ? options.foldItem : 0;
}

std::string_view DisplayTextView(std::string_view text, const DisplayOptions& options,
                                 std::string& scratch) {
    if (options.trimSpace) text = TrimBlanks(text);
    if (options.dateEdit && editDate(text, scratch)) return scratch;
    return text;
}

std::string DisplayText(std::string_view text, const DisplayOptions& options) {
    std::string scratch;
    const std::string_view shown = DisplayTextView(text, options, scratch);
    return shown.data() == scratch.data() ? scratch : std::string(shown);
}

std::vector<std::string> FoldDisplayText(std::string_view text, int n, int maxLines) {
    if (n < 1 || maxLines < 1) return {};
    const auto lineUnits = static_cast<std::size_t>(n);
    // Most cells fit on their first line: no line break, at most n bytes and
    // n units (an invalid byte is one byte but a two-unit U+FFFD).
    if (text.size() <= lineUnits && text.find_first_of("\r\n") == std::string_view::npos &&
        displayUnits(text) <= lineUnits) {
        const std::string_view line = TrimRightBlanks(text);
        return line.empty() ? std::vector<std::string>{}
                            : std::vector<std::string>{std::string(line)};
    }
    LineFolder folder(lineUnits, static_cast<std::size_t>(maxLines));
    std::size_t pos = 0;
    while (pos < text.size() && !folder.full()) {
        if (const std::size_t breakLength = LineBreakLength(text, pos)) {
            pos += breakLength;
            folder.breakLine();
            continue;
        }
        const DecodedChar ch = decodeUtf8(text, pos);
        const bool mark = ch.valid && ch.codePoint == kLineBreakMarkChar;
        if (folder.put(text.substr(pos, ch.length),
                       mark ? 1 : static_cast<std::size_t>(displayWidth(ch))))
            pos += ch.length;
    }
    return folder.finish(restIsBlank(text, pos));
}

} // namespace tabulix
