#pragma once

#include <string>
#include <string_view>

namespace tabulix {

// The texts of row numbers 1, 2, 3 .. ("1,234,567"), formatted once and kept
// for the life of the program in one store that every grid shares. A grid
// that shows row numbers points into it, so inserting, deleting or moving
// rows renumbers nothing.

// The text of n: digits with a comma every three, empty for n <= 0.
std::string RowNumberText(long long n);

// Makes the texts of 1 .. upTo available. Called where rows are added, never
// while other threads read the store.
void PrepareRowNumberTexts(long long upTo);

// The text of n (empty for n <= 0). n must have been prepared; the view
// stays valid for the life of the program.
std::string_view RowNumberTextView(long long n);

} // namespace tabulix
