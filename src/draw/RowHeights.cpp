#include "draw/RowHeights.h"

#include "draw/DisplayText.h"
#include "table/StringGrid.h"
#include "table/WidthRule.h"
#include "text/DisplayWidth.h"
#include "text/RunAlongside.h"
#include "text/TextHelpers.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tabulix {

namespace {

constexpr std::size_t kUnlimited = std::numeric_limits<std::size_t>::max();

// The most units that still fit on one line of the column, found with the
// same arithmetic as FoldedLineCount so the shortcut never disagrees with it.
std::size_t oneLineCapacity(int colWidth, double charWidth) {
    if (colWidth <= 0 || charWidth <= 0) return kUnlimited;
    auto fits = [&](std::size_t units) { return FoldedLineCount(units, colWidth, charWidth) == 1; };
    auto units = static_cast<std::size_t>(colWidth / charWidth);
    while (units > 0 && !fits(units))
        --units;
    while (fits(units + 1))
        ++units;
    return units;
}

// Three-byte sequences that are well-formed whatever their second byte
// (leads E1..EC, EE..EF: no overlong forms, no surrogates).
bool plainThreeByteLead(unsigned char b) {
    return (b >= 0xE1 && b <= 0xEC) || b == 0xEE || b == 0xEF;
}

bool continuation(unsigned char b) {
    return (b & 0xC0) == 0x80;
}

// Units of one character of a display line: half-width katakana and the
// line-break mark take one, every other character two.
int threeByteUnits(char32_t c) {
    return (c >= 0xFF61 && c <= 0xFF9F) || c == 0x21B5 ? 1 : 2;
}

} // namespace

std::size_t DisplayLineUnits(std::string_view text) {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t n = text.size();
    std::size_t units = 0;
    for (std::size_t i = 0; i < n;) {
        const unsigned char b = p[i];
        if (b < 0x80) { // a CR LF pair is one line break
            i += b == '\r' && i + 1 < n && p[i + 1] == '\n' ? 2 : 1;
            ++units;
        } else if (plainThreeByteLead(b) && i + 2 < n && continuation(p[i + 1]) &&
                   continuation(p[i + 2])) {
            const char32_t c = (char32_t{b} & 0x0F) << 12 | (char32_t{p[i + 1]} & 0x3F) << 6 |
                               (char32_t{p[i + 2]} & 0x3F);
            units += static_cast<std::size_t>(threeByteUnits(c));
            i += 3;
        } else { // anything else by the general rules, one character at a time
            const std::size_t length = decodeUtf8(text, i).length;
            units += cellDisplayUnits(text.substr(i, length));
            i += length;
        }
    }
    return units;
}

namespace {

bool hasLineBreak(std::string_view text) {
    return text.find('\n') != std::string_view::npos || text.find('\r') != std::string_view::npos;
}

// Lines of a folded display text that holds line breaks: each of its lines
// folds on its own, and lines of blanks after the last text are not drawn,
// so they do not count (the first line always does, as for any text).
int foldedTextLines(std::string_view text, int colWidth, double charWidth) {
    if (colWidth <= 0) return 1; // a hidden column shows nothing
    int lines = 0;
    int blankLines = 0; // counted only when text follows them
    std::size_t pos = 0;
    for (bool first = true;; first = false) {
        const std::size_t end = text.find_first_of("\r\n", pos);
        const std::string_view line =
            text.substr(pos, end == std::string_view::npos ? end : end - pos);
        const int folded = FoldedLineCount(DisplayLineUnits(line), colWidth, charWidth);
        if (first || !TrimBlanks(line).empty()) {
            lines += blankLines + folded;
            blankLines = 0;
        } else {
            blankLines += folded;
        }
        if (end == std::string_view::npos) return lines;
        pos = end + LineBreakLength(text, end);
    }
}

// Whether a text's display units may exceed `capacity` and need counting.
// Valid UTF-8 never has more units than bytes, but an invalid byte shows as a
// two-unit U+FFFD, so only an ASCII text is known by its length; the date
// editing turns 6 digits into 8 units and 8 digits into 10 (texts of 6 to 24
// bytes only). Trimming only shortens.
[[gnu::always_inline]] inline bool mayExceed(std::string_view text, std::size_t capacity,
                                             bool dateEdit) {
    const std::size_t bytes = text.size();
    if (bytes > capacity) return true;
    const bool datable = dateEdit && bytes >= 6 && bytes <= 24;
    if (2 * bytes <= capacity && (!datable || capacity >= 10)) return false; // most cells
    if (!datable) {
        // Units equal bytes unless a byte is not ASCII: one pass, no branch
        // per byte.
        unsigned char any = 0;
        for (const char c : text)
            any |= static_cast<unsigned char>(c);
        return any >= 0x80;
    }
    std::size_t digits = 0;
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) return true;
        digits += c >= '0' && c <= '9';
    }
    const std::size_t dated = !datable      ? bytes
                              : digits == 6 ? std::max<std::size_t>(bytes, 8)
                              : digits == 8 ? std::max<std::size_t>(bytes, 10)
                                            : bytes;
    return dated > capacity;
}

class RowFolder {
public:
    RowFolder(const StringGrid& grid, const DisplayOptions& options, double charWidth,
              std::span<const int> longestUnits)
        : grid_(grid), options_(options), charWidth_(charWidth), cap_(FoldLineCap(options)) {
        capacity_.resize(static_cast<std::size_t>(grid.colCount()));
        for (int col = 0; col < grid.colCount(); ++col)
            capacity_[col] = oneLineCapacity(grid.colWidth(col), charWidth);
        // Row numbers grow with the row, so the last row's number is the
        // longest: when it fits, every shown number does.
        numbersFit_ = grid.showsRowNumbers() && !capacity_.empty() &&
                      !mayExceed(grid.cell(0, grid.rowCount() - 1), capacity_[0], options.dateEdit);
        for (int col = 1; col < grid.colCount(); ++col) {
            // A hidden column shows nothing to fold.
            const bool allFit = capacity_[col] == kUnlimited ||
                                (static_cast<std::size_t>(col) < longestUnits.size() &&
                                 longestUnits[col] >= 0 &&
                                 static_cast<std::size_t>(longestUnits[col]) <= capacity_[col]);
            if (!allFit) mayFold_.push_back(col);
        }
    }

    int linesOf(int row) {
        // A text with a line break folds line by line, so it is always
        // counted; only rows with control characters may hold one. Other rows
        // are looked at only in the columns whose longest text may not fit
        // (and column 0, unless it shows a row number that fits).
        const bool breaks = grid_.rowHasControlChars(row);
        const bool numberFits = numbersFit_ && row > 0;
        if (!breaks && numberFits && mayFold_.empty()) return 1;
        // The stored texts in one look at the row (empty cells after them
        // never fold).
        grid_.rowCells(row, cells_);
        const int upTo = std::min(grid_.colCount(), std::max(static_cast<int>(cells_.size()), 1));
        if (breaks) return linesWithBreaks(row, numberFits ? 1 : 0, upTo);
        int lines = numberFits ? 1 : linesOfText(0, grid_.cell(0, row), false, 1);
        for (auto col = mayFold_.begin(); col != mayFold_.end() && *col < upTo; ++col) {
            if (cap_ > 0 && lines >= cap_) break;
            lines = linesOfText(*col, cells_[*col], false, lines);
        }
        return cap_ > 0 ? std::min(lines, cap_) : lines;
    }

private:
    // Every column from `firstCol` of the row whose cells_ were just read.
    int linesWithBreaks(int row, int firstCol, int upTo) {
        int lines = 1;
        for (int col = firstCol; col < upTo; ++col) {
            lines = linesOfText(col, col == 0 ? grid_.cell(0, row) : cells_[col], true, lines);
            if (cap_ > 0 && lines >= cap_) return cap_;
        }
        return lines;
    }

    // The larger of `lines` and the lines `text` takes in column `col`.
    int linesOfText(int col, std::string_view text, bool breaks, int lines) {
        if (!mayExceed(text, capacity_[col], options_.dateEdit) && !(breaks && hasLineBreak(text)))
            return lines;
        const std::string_view shown = DisplayTextView(text, options_, scratch_);
        const int colWidth = grid_.colWidth(col);
        return std::max(lines,
                        breaks ? foldedTextLines(shown, colWidth, charWidth_)
                               : FoldedLineCount(DisplayLineUnits(shown), colWidth, charWidth_));
    }

    const StringGrid& grid_;
    const DisplayOptions& options_;
    double charWidth_;
    int cap_;
    std::vector<std::size_t> capacity_;
    std::vector<int> mayFold_; // columns from 1 whose texts may not fit on one line
    std::vector<std::string_view> cells_;
    bool numbersFit_ = false;
    std::string scratch_;
};

} // namespace

int FoldedLineCount(std::size_t units, int colWidth, double charWidth) {
    const double textWidth = static_cast<double>(units) * charWidth;
    // One line exactly when the drawing shows the text on one line.
    if (colWidth <= 0 || units == 0 || textWidth <= colWidth - kCellTextMargin) return 1;
    const double lines = textWidth / colWidth + 1;
    return lines >= std::numeric_limits<int>::max() ? std::numeric_limits<int>::max()
                                                    : std::max(2, static_cast<int>(lines));
}

int FoldedRowHeight(int lines, int charHeight) {
    // trunc(h (lines + 4) / 10 + lines h) with whole numbers: exact.
    const std::int64_t h = charHeight;
    const std::int64_t n = lines;
    const std::int64_t height = h * (n + 4) / 10 + n * h;
    return height >= std::numeric_limits<int>::max() ? std::numeric_limits<int>::max()
                                                     : static_cast<int>(height);
}

void ComputeRowHeights(StringGrid& grid, const DisplayOptions& options, double charWidth,
                       int charHeight, std::span<const int> longestUnits) {
    const int standard = grid.defaultRowHeight();
    if (!Folds(options)) {
        grid.setDefaultRowHeight(standard); // every row at once, one notice
        return;
    }
    // The lines of every row are counted in two halves at once on a large
    // table (each row on its own), then the heights are set in one go.
    const int rows = grid.rowCount();
    std::vector<int> lines(static_cast<std::size_t>(rows));
    const auto count = [&](int from, int to) {
        RowFolder folder(grid, options, charWidth, longestUnits);
        for (int row = from; row < to; ++row)
            lines[row] = folder.linesOf(row);
    };
    constexpr int kHalvesFrom = 100000;
    const int half = rows >= kHalvesFrom ? rows / 2 : rows;
    RunAlongside(half < rows ? 2 : 1, [&](std::size_t k) {
        if (k == 0)
            count(0, half);
        else
            count(half, rows);
    });
    StringGrid::Batch batch(grid);
    for (int row = 0; row < rows; ++row)
        grid.setRowHeight(row, lines[row] > 1 ? FoldedRowHeight(lines[row], charHeight) : standard);
}

} // namespace tabulix
