#include "search/FindHistory.h"

#include "text/TextHelpers.h"

#include <algorithm>

namespace tabulix {

std::string StripHistoryNumber(std::string_view item) {
    const std::size_t point = item.find('.');
    if (point == std::string_view::npos) return std::string(item);
    return std::string(TrimBlanks(item.substr(point + 1)));
}

void FindHistoryList::Add(std::string_view text) {
    const std::string word(TrimBlanks(text));
    if (word.empty()) return;
    std::erase_if(items_,
                  [&](const std::string& item) { return StripHistoryNumber(item) == word; });
    if (items_.size() >= kMaxItems) items_.pop_back();
    items_.insert(items_.begin(), "1." + word);
    renumber();
}

void FindHistoryList::Load(std::span<const std::string> words) {
    items_.clear();
    for (std::size_t i = 0; i < words.size() && i < kMaxItems; ++i) {
        const std::string_view word = TrimBlanks(words[i]);
        if (word.empty()) break;
        items_.push_back(" " + std::to_string(i + 1) + ". " + std::string(word));
    }
}

void FindHistoryList::Store(std::span<std::string> words) const {
    for (std::size_t i = 0; i < words.size(); ++i)
        words[i] = i < items_.size() ? StripHistoryNumber(items_[i]) : std::string();
}

void FindHistoryList::renumber() {
    for (std::size_t i = 0; i < items_.size(); ++i)
        items_[i] = " " + std::to_string(i + 1) + ". " + StripHistoryNumber(items_[i]);
}

} // namespace tabulix
