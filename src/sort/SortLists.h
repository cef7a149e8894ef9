#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tabulix {

class StringGrid;

// The lists of the sort window and of the column display selection, without
// any widget.

inline constexpr int kMaxSortKeys = 100;

// The name of grid column `col`: its text in the column-name row `nameRow`
// (the item of the column-name list); empty for row 0 or a row the grid
// does not have.
std::string ColumnName(const StringGrid& grid, int col, int nameRow);

// One item per data column: the column number right-aligned in 4, ". ", the
// column's name.
std::vector<std::string> ColumnListItems(const StringGrid& grid, int nameRow);

// The grid column an item of the column (or key) list stands for: the number
// before the first "." plus the fixed columns, less one; -1 when unreadable.
int KeyColumnOfItem(std::string_view item, int fixedCols);

// Appends `item` to the keys unless the list is full or holds it already;
// then the refusal's message.
std::optional<std::string> AddSortKey(std::vector<std::string>& keys, const std::string& item);

// Moves the dragged key `dragged` to the key under the drop point `target`
// (-1 below the last key: to the end). Returns the moved key's new index, or
// -1 when nothing moved.
int MoveSortKey(std::vector<std::string>& keys, int dragged, int target);

} // namespace tabulix
