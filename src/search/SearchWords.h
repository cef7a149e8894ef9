#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tabulix {

class StringGrid;

// The words of a search text. The text is trimmed and split at half-width
// blanks; only a text (rest) without any half-width blank is split at
// full-width blanks, so "P　Q R" gives "P　Q" and "R" while "P　Q" gives "P"
// and "Q". Each piece is trimmed; empty pieces are dropped.
std::vector<std::string> SplitSearchWords(std::string_view text);

// `text` with ASCII letters and full-width Latin letters upper-cased, written
// into `out` (which keeps its capacity between calls). Every other byte is
// kept, so the result is exactly as long as the text.
void FoldCaseInto(std::string_view text, std::string& out);

enum class MatchMode { And, Or };

// Tests rows for the words: a word is found in a cell when it occurs in the
// cell text without regard to the case of ASCII and full-width Latin letters.
// UTF-8 never lets a match start inside a character. Only data columns
// (from the grid's fixed columns on) are searched.
class WordMatcher {
public:
    WordMatcher(const std::vector<std::string>& words, MatchMode mode);

    bool empty() const { return words_.empty(); }

    // Whether row `row` matches: with OR when any word is found in it, with
    // AND when every word is found, each in any of its cells. hitCols gets one
    // entry per grid column, true where a word was found in that cell.
    bool MatchRow(const StringGrid& grid, int row, std::vector<char>& hitCols);

private:
    std::vector<std::string> words_; // folded
    MatchMode mode_;
    bool fold_ = false; // some word holds a letter, so cells need folding
    std::size_t shortest_ = 0;
    std::string buffer_;
    std::vector<char> marks_;
};

} // namespace tabulix
