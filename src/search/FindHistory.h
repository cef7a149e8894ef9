#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tabulix {

// The word of a history item: the trimmed text after its first "." (the item
// is " n. word"); an item without "." is its own word.
std::string StripHistoryNumber(std::string_view item);

// The find-word history as the search window lists it: items " 1. newest",
// " 2. ..." without duplicates, at most 101.
class FindHistoryList {
public:
    static constexpr std::size_t kMaxItems = 101;

    const std::vector<std::string>& items() const { return items_; }

    // The trimmed text goes to the top; an equal word (compared exactly) is
    // taken out first and the oldest item drops off a full list. An empty
    // text changes nothing.
    void Add(std::string_view text);
    // The stored words, newest first, up to the first empty one.
    void Load(std::span<const std::string> words);
    void Clear() { items_.clear(); }
    // The words without their numbers into `words`; the remaining entries
    // become empty.
    void Store(std::span<std::string> words) const;

private:
    void renumber();

    std::vector<std::string> items_;
};

} // namespace tabulix
