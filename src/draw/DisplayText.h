#pragma once

#include <climits>
#include <string>
#include <string_view>
#include <vector>

namespace tabulix {

// The View menu's display options and the folding choice, as the cell drawing,
// the row heights and the print data read them.
struct DisplayOptions {
    bool fixedCenter = true;   // header rows centred in data columns
    bool dataCenter = false;   // data cells centred
    bool trimSpace = false;    // blanks and control characters off both ends
    bool dateEdit = false;     // 6- and 8-unit numbers shown as dates
    bool breakColor = true;    // break shading of data cells
    bool karaGyoColor = true;  // empty rows in the light colour
    bool karaGyoBlack = false; // empty rows in the dark colour
    bool whiteGrid = false;    // grid background white instead of silver
    int foldItem = 0;          // folding item: 0 automatic, 1 none, n (2..30) at most n lines
    bool operator==(const DisplayOptions&) const = default;
};

inline constexpr int kFoldAuto = 0;
inline constexpr int kFoldNone = 1;

// Whether long texts fold over several lines. No item chosen (a negative
// item) folds nothing, so every row keeps one line.
bool Folds(const DisplayOptions& options);
// The most lines a folded row may take; 0 for no limit.
int FoldLineCap(const DisplayOptions& options);

// What a cell shows for its stored text: trimmed when trimSpace, and a text of
// 6 or 8 units holding 6 or 8 digits shown as "dd/dd/dd" or "dddd/dd/dd" when
// dateEdit. The digits are not checked as a date.
std::string DisplayText(std::string_view text, const DisplayOptions& options);
// The same without a copy: a view into `text`, or into `scratch` when the date
// editing rewrote it. Valid while both live unchanged.
std::string_view DisplayTextView(std::string_view text, const DisplayOptions& options,
                                 std::string& scratch);

// Bytes of the line break at `pos` (CR LF is one, of 2 bytes), 0 for none.
std::size_t LineBreakLength(std::string_view text, std::size_t pos);

// A display text cut into lines of `n` units for folded drawing. Each line
// of the text (CR, LF and CR LF end one) starts a display line; a wide
// character that would straddle a line end moves to the next line and a
// blank fills its place. Blanks and line breaks at the end of the whole text
// are dropped (and with them trailing lines of blanks only). At most `maxLines`
// lines are made, so a long text costs only what is shown. With n = 1 a wide
// character still gets a line of its own rather than vanishing.
std::vector<std::string> FoldDisplayText(std::string_view text, int n, int maxLines = INT_MAX);

} // namespace tabulix
