#include "search/SearchWords.h"

#include "table/StringGrid.h"
#include "text/TextHelpers.h"

#include <algorithm>
#include <array>

namespace tabulix {

namespace {

constexpr std::string_view kWideBlank = "\u3000";

// Full-width Latin letters are U+FF21..U+FF3A (EF BC A1..BA) upper and
// U+FF41..U+FF5A (EF BD 81..9A) lower: folding changes the last two bytes.
constexpr unsigned char kWideLead = 0xEF;
constexpr unsigned char kWideLowerMid = 0xBD;
constexpr unsigned char kWideUpperMid = 0xBC;

bool isWideLower(std::string_view t, std::size_t i) {
    return i + 2 < t.size() && static_cast<unsigned char>(t[i + 1]) == kWideLowerMid &&
           static_cast<unsigned char>(t[i + 2]) >= 0x81 &&
           static_cast<unsigned char>(t[i + 2]) <= 0x9A;
}

bool isWideUpper(std::string_view t, std::size_t i) {
    return i + 2 < t.size() && static_cast<unsigned char>(t[i + 1]) == kWideUpperMid &&
           static_cast<unsigned char>(t[i + 2]) >= 0xA1 &&
           static_cast<unsigned char>(t[i + 2]) <= 0xBA;
}

const std::array<char, 256> kUpper = [] {
    std::array<char, 256> table{};
    for (int b = 0; b < 256; ++b)
        table[b] = static_cast<char>(b >= 'a' && b <= 'z' ? b - 'a' + 'A' : b);
    return table;
}();

// Whether folding can change a cell for this word: it holds a letter.
bool holdsLetter(std::string_view word) {
    for (std::size_t i = 0; i < word.size(); ++i) {
        const unsigned char b = static_cast<unsigned char>(word[i]);
        if ((b >= 'A' && b <= 'Z') || (b == kWideLead && isWideUpper(word, i))) return true;
    }
    return false;
}

} // namespace

std::vector<std::string> SplitSearchWords(std::string_view text) {
    std::string rest = std::string(TrimBlanks(text)) + std::string(kWideBlank);
    std::vector<std::string> words;
    std::string_view view = rest;
    for (;;) {
        std::size_t at = view.find(' ');
        std::size_t width = 1;
        if (at == std::string_view::npos) {
            at = view.find(kWideBlank);
            width = kWideBlank.size();
        }
        if (at == std::string_view::npos) break;
        const std::string_view word = TrimBlanks(view.substr(0, at));
        if (!word.empty()) words.emplace_back(word);
        view.remove_prefix(at + width);
    }
    return words;
}

void FoldCaseInto(std::string_view text, std::string& out) {
    out.resize(text.size());
    char* dst = out.data();
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char b = static_cast<unsigned char>(text[i]);
        if (b != kWideLead || !isWideLower(text, i)) {
            dst[i] = kUpper[b];
            continue;
        }
        dst[i] = text[i];
        dst[i + 1] = static_cast<char>(kWideUpperMid);
        dst[i + 2] = static_cast<char>(static_cast<unsigned char>(text[i + 2]) + 0x20);
        i += 2;
    }
}

WordMatcher::WordMatcher(const std::vector<std::string>& words, MatchMode mode) : mode_(mode) {
    std::string folded;
    for (const std::string& w : words) {
        FoldCaseInto(w, folded);
        fold_ = fold_ || holdsLetter(folded);
        words_.push_back(folded);
    }
    shortest_ = words_.empty() ? 0 : std::ranges::min(words_, {}, &std::string::size).size();
    marks_.assign(words_.size(), 0);
}

bool WordMatcher::MatchRow(const StringGrid& grid, int row, std::vector<char>& hitCols) {
    const int cols = grid.colCount();
    hitCols.assign(static_cast<std::size_t>(cols), 0);
    if (words_.empty()) return false;
    std::fill(marks_.begin(), marks_.end(), 0);
    for (int j = grid.fixedCols(); j < cols; ++j) {
        std::string_view hay = grid.cell(j, row);
        if (hay.size() < shortest_) continue;
        if (fold_) {
            FoldCaseInto(hay, buffer_);
            hay = buffer_;
        }
        for (std::size_t w = 0; w < words_.size(); ++w)
            if (hay.find(words_[w]) != std::string_view::npos) {
                hitCols[j] = 1;
                marks_[w] = 1;
            }
    }
    const auto marked = static_cast<std::size_t>(std::count(marks_.begin(), marks_.end(), 1));
    return marked > 0 && (mode_ == MatchMode::Or || marked == words_.size());
}

} // namespace tabulix
