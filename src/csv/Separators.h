#pragma once

#include <span>
#include <string>
#include <string_view>

namespace tabulix {

// A field separator: an ASCII character, or none (each line is one field).
// "None" is its own value and never a character.
class Separator {
public:
    constexpr Separator() = default;
    static constexpr Separator none() { return Separator(); }
    static constexpr Separator of(char c) { return Separator(c); }

    constexpr bool isNone() const { return !has_; }
    constexpr char character() const { return c_; }
    constexpr bool operator==(const Separator&) const = default;

private:
    constexpr explicit Separator(char c) : c_(c), has_(true) {}
    char c_ = 0;
    bool has_ = false;
};

struct SeparatorEntry {
    std::string_view name;
    Separator separator;
};

// The separators offered to the user, in list order; item 1 (comma) is the
// default choice.
std::span<const SeparatorEntry> separatorTable();

// The separator list's item text: one blank before a name longer than one
// character, two before a one-character name.
std::string separatorItemText(const SeparatorEntry& entry);

inline constexpr int kDefaultSeparatorIndex = 1;

} // namespace tabulix
