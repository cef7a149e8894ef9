#include "sort/SortLists.h"

#include "table/StringGrid.h"
#include "text/TextHelpers.h"

#include <algorithm>
#include <charconv>

namespace tabulix {

std::string ColumnName(const StringGrid& grid, int col, int nameRow) {
    // Past the last row there is no name (the row count bounds the rows, not
    // the column count).
    if (nameRow <= 0 || nameRow >= grid.rowCount()) return {};
    return grid.cellText(col, nameRow);
}

std::vector<std::string> ColumnListItems(const StringGrid& grid, int nameRow) {
    std::vector<std::string> items;
    for (int col = grid.fixedCols(); col < grid.colCount(); ++col) {
        const int number = col - grid.fixedCols() + 1;
        items.push_back(PadLeft(' ', std::to_string(number), 4) + ". " +
                        ColumnName(grid, col, nameRow));
    }
    return items;
}

int KeyColumnOfItem(std::string_view item, int fixedCols) {
    const std::string_view digits = TrimBlanks(item.substr(0, item.find('.')));
    int number = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    if (error != std::errc() || end != digits.data() + digits.size() || number <= 0) return -1;
    return number + fixedCols - 1;
}

std::optional<std::string> AddSortKey(std::vector<std::string>& keys, const std::string& item) {
    if (keys.size() >= static_cast<std::size_t>(kMaxSortKeys))
        return "選択可能な列数は最大で " + std::to_string(kMaxSortKeys) + " 列です。";
    if (std::find(keys.begin(), keys.end(), item) != keys.end())
        return "既に同じ列が選択されています。\r\n\r\n    ＞" + item;
    keys.push_back(item);
    return std::nullopt;
}

int MoveSortKey(std::vector<std::string>& keys, int dragged, int target) {
    const int count = static_cast<int>(keys.size());
    if (target < 0 || target >= count) target = count - 1;
    if (dragged < 0 || dragged >= count || target == dragged) return -1;
    std::string text = keys[dragged];
    if (target < dragged) {
        keys.insert(keys.begin() + target, std::move(text));
        keys.erase(keys.begin() + dragged + 1);
    } else {
        keys.insert(keys.begin() + target + 1, std::move(text));
        keys.erase(keys.begin() + dragged);
    }
    return target;
}

} // namespace tabulix
