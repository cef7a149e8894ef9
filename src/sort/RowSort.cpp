#include "sort/RowSort.h"

#include "table/StringGrid.h"
#include "table/Table.h"
#include "table/TableLayout.h"
#include "text/RunAlongside.h"
#include "text/TextHelpers.h"

#include <QCollator>
#include <QCollatorSortKey>
#include <QLocale>
#include <QString>

#include <algorithm>
#include <atomic>
#include <numeric>
#include <unordered_map>

namespace tabulix {

QCollator SortCollator() {
    QLocale locale = QLocale::system();
    if (locale.language() == QLocale::C) locale = QLocale(QLocale::Japanese, QLocale::Japan);
    QCollator collator(locale);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(false);
    collator.setIgnorePunctuation(false);
    return collator;
}

namespace {

// Texts already given a key in one key column, while they repeat often
// enough to pay for the look-up (a column of place names, of codes); a column
// of mostly different texts stops asking after a trial.
class RepeatedTexts {
public:
    // The index in the key list of the earlier key for `text`, or -1 after
    // remembering `next` as its index.
    std::ptrdiff_t find(std::string_view text, std::size_t next) {
        if (!active_) return -1;
        const auto [at, added] = seen_.try_emplace(text, next);
        hits_ += added ? 0 : 1;
        // Every trial's worth of rows: fewer than one in four repeated stops it.
        if (++lookups_ % kTrialRows == 0 && hits_ * 4 < lookups_) {
            active_ = false;
            seen_ = {};
        }
        return added ? -1 : static_cast<std::ptrdiff_t>(at->second);
    }

private:
    static constexpr std::size_t kTrialRows = 8192;
    std::unordered_map<std::string_view, std::size_t> seen_;
    std::size_t lookups_ = 0;
    std::size_t hits_ = 0;
    bool active_ = true;
};

// The collation keys of a band of data rows, row after row, one key per key
// column: computed once per row (a repeated text shares its key), then
// compared as plain bytes.
class KeyBuilder {
public:
    KeyBuilder(const StringGrid& grid, std::span<const int> keyCols, std::atomic<bool>& stop)
        : grid_(grid), keyCols_(keyCols), stop_(stop), collator_(SortCollator()),
          repeats_(keyCols.size()) {}

    // Rows [from, to); `progress` (on this thread only) at every progress point.
    bool build(int from, int to, const SortProgress* progress) {
        keys_.reserve(static_cast<std::size_t>(to - from) * keyCols_.size());
        for (int r = from; r < to; ++r) {
            if (r % kSortProgressInterval == 0 && !checkpoint(r, progress)) return false;
            for (std::size_t k = 0; k < keyCols_.size(); ++k)
                addKey(TrimBlanks(grid_.cell(keyCols_[k], r)), repeats_[k]);
        }
        return true;
    }
    std::vector<QCollatorSortKey>& keys() { return keys_; }

private:
    // The texts stay in the grid, which nothing changes while the keys are built.
    void addKey(std::string_view text, RepeatedTexts& repeats) {
        if (const std::ptrdiff_t earlier = repeats.find(text, keys_.size()); earlier >= 0)
            keys_.push_back(keys_[static_cast<std::size_t>(earlier)]);
        else
            keys_.push_back(collator_.sortKey(QString::fromUtf8(text)));
    }
    bool checkpoint(int r, const SortProgress* progress) {
        if (progress && !(*progress)("Step 1", r, grid_.rowCount())) stop_ = true;
        return !stop_;
    }

    const StringGrid& grid_;
    std::span<const int> keyCols_;
    std::atomic<bool>& stop_;
    QCollator collator_;
    std::vector<RepeatedTexts> repeats_;
    std::vector<QCollatorSortKey> keys_;
};

// Orders data-row positions by their keys, then by position, so the sort is
// stable whatever algorithm runs it.
struct KeyOrder {
    const std::vector<QCollatorSortKey>& keys;
    std::size_t width;
    bool operator()(int a, int b) const {
        const QCollatorSortKey* ka = &keys[static_cast<std::size_t>(a) * width];
        const QCollatorSortKey* kb = &keys[static_cast<std::size_t>(b) * width];
        for (std::size_t k = 0; k < width; ++k)
            if (const int c = ka[k].compare(kb[k]); c != 0) return c < 0;
        return a < b;
    }
};

// Both halves on their own core, then one merge.
void sortPositions(std::vector<int>& positions, const KeyOrder& order) {
    const auto mid = positions.begin() + static_cast<std::ptrdiff_t>(positions.size() / 2);
    RunAlongside(2, [&](std::size_t k) {
        if (k == 0)
            std::sort(positions.begin(), mid, order);
        else
            std::sort(mid, positions.end(), order);
    });
    std::inplace_merge(positions.begin(), mid, positions.end(), order);
}

} // namespace

std::optional<std::vector<int>> SortedRowOrder(const StringGrid& grid, std::span<const int> keyCols,
                                               const SortProgress& report) {
    const SortProgress progress =
        report ? report : [](std::string_view, long long, long long) { return true; };
    const int first = grid.fixedRows();
    const int count = std::max(0, grid.rowCount() - first);
    if (count == 0 || keyCols.empty()) {
        std::vector<int> order(static_cast<std::size_t>(count));
        std::iota(order.begin(), order.end(), first);
        return order;
    }
    // The second core builds the keys of the lower half of the rows.
    const int mid = first + count / 2;
    std::atomic<bool> stop = false;
    KeyBuilder upper(grid, keyCols, stop);
    KeyBuilder lower(grid, keyCols, stop);
    RunAlongside(2, [&](std::size_t k) {
        if (k == 1)
            lower.build(mid, grid.rowCount(), nullptr);
        else if (!upper.build(first, mid, &progress))
            stop = true;
    });
    if (stop) return std::nullopt;

    std::vector<QCollatorSortKey>& keys = upper.keys();
    keys.reserve(static_cast<std::size_t>(count) * keyCols.size());
    for (QCollatorSortKey& key : lower.keys())
        keys.push_back(std::move(key));
    if (!progress("Step 4", 0, count)) return std::nullopt;
    std::vector<int> positions(static_cast<std::size_t>(count));
    std::iota(positions.begin(), positions.end(), 0);
    sortPositions(positions, KeyOrder{keys, keyCols.size()});
    for (int& p : positions)
        p += first;
    return positions;
}

void ApplyRowOrder(Table& table, std::span<const int> order) {
    StringGrid& grid = table.grid;
    const int first = grid.fixedRows();
    StringGrid::Batch batch(grid);
    grid.permuteRows(first, order);
    if (table.rowRecords.size() < static_cast<std::size_t>(grid.rowCount())) return;
    std::vector<RowRecord> records(order.size());
    for (std::size_t j = 0; j < order.size(); ++j)
        records[j] = table.rowRecords[static_cast<std::size_t>(order[j])];
    std::copy(records.begin(), records.end(), table.rowRecords.begin() + first);
}

void MoveKeyColumns(Table& table, std::span<const int> keyCols, const SortProgress& progress) {
    StringGrid& grid = table.grid;
    const int colCount = grid.colCount();
    // order[c]: the column that goes to c. Key i goes to the i-th data column;
    // the columns between shift right behind it.
    std::vector<int> order(static_cast<std::size_t>(colCount));
    std::iota(order.begin(), order.end(), 0);
    const int total = static_cast<int>(keyCols.size());
    for (int i = 0; i < total; ++i) {
        if (progress) progress("Last Step", i + 1, total);
        const int target = grid.fixedCols() + i;
        if (target >= colCount) break;
        const auto at = std::find(order.begin() + target, order.end(), keyCols[i]);
        if (at == order.end()) continue;
        std::rotate(order.begin() + target, at, at + 1);
    }
    StringGrid::Batch batch(grid);
    grid.permuteCols(order);
    if (table.colRecords.size() == static_cast<std::size_t>(colCount)) {
        std::vector<ColumnRecord> records(order.size());
        for (std::size_t c = 0; c < order.size(); ++c)
            records[c] = table.colRecords[static_cast<std::size_t>(order[c])];
        table.colRecords.swap(records);
    }
    RenumberColumns(grid);
}

} // namespace tabulix
