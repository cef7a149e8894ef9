#include "csv/TableLoader.h"

#include "csv/CsvParser.h"
#include "table/FixedColumn.h"
#include "table/Table.h"
#include "table/TableLayout.h"

#include <algorithm>
#include <climits>
#include <fstream>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

namespace tabulix {

namespace {

// Thrown inside a fill when a record has more fields than allowed.
struct TooManyFields {};

// MemAvailable plus free swap from /proc/meminfo; no limit when unknown.
std::uint64_t availableMemory() {
    std::ifstream meminfo("/proc/meminfo");
    std::string name;
    std::uint64_t kib = 0;
    std::uint64_t total = 0;
    bool known = false;
    while (meminfo >> name >> kib) {
        if (name == "MemAvailable:" || name == "SwapFree:") {
            total += kib * 1024;
            known = known || name == "MemAvailable:";
        }
        meminfo.ignore(INT_MAX, '\n');
    }
    return known ? total : UINT64_MAX;
}

void fillFresh(Table& table, std::string_view text, Separator sep, std::size_t total,
               const ResetMetrics& metrics, const LoadProgress& progress,
               const LoadedRowLayout& layout, std::size_t maxFields) {
    ResetTable(table, 0, static_cast<int>(total), metrics);
    // The texts, and per record its row number and the block's header; the
    // separators the texts lose roughly pay for the cells' offsets.
    const StringGrid::BulkFill fill(table.grid, text.size() + total * 16);
    std::size_t done = 0;
    std::vector<std::string_view> cells;
    const RowNumbering& numbering = layout.numbering;
    const long long headerRows =
        numbering.fromFixedRows
            ? 0
            : std::min<long long>(std::max(numbering.headerRows, 0), static_cast<long long>(total));
    std::string fixedText;
    ParseRecordViews(text, sep, [&](std::span<const std::string_view> fields) {
        if (done % 1000 == 0 && progress) progress(done + 1, total);
        const int row = static_cast<int>(done) + 1;
        if (fields.size() > maxFields) throw TooManyFields{};
        // Only the count grows here; row 0 gets its numbers once at the end.
        const int needed = static_cast<int>(fields.size()) + kFixedColCount;
        if (needed > table.grid.colCount()) table.grid.setColCount(needed);
        // The fixed-column cell in front of the fields (column 0 shows the
        // row number by itself); one write per row, into the fill chunks.
        std::string_view fixed;
        if (layout.fixedColumn > 0) {
            const auto copied = static_cast<std::size_t>(layout.fixedColumn - 1);
            FixedColumnText(copied < fields.size() ? fields[copied] : std::string_view{},
                            fixedText);
            fixed = fixedText;
        }
        cells.assign({std::string_view{}, fixed});
        cells.insert(cells.end(), fields.begin(), fields.end());
        table.grid.fillRow(row, cells);
        ++done;
    });
    RenumberColumns(table.grid);
    table.grid.showRowNumbers(static_cast<int>(headerRows));
    ResetRecords(table);
}

} // namespace

LoadLimits LoadLimits::ofMachine() {
    return LoadLimits{static_cast<std::size_t>(INT_MAX) - 1,
                      static_cast<std::size_t>(StringGrid::kMaxRowCells) - kFixedColCount,
                      availableMemory()};
}

std::uint64_t LoadBytesNeeded(std::size_t textBytes, std::size_t records) {
    // Per row: its block's header, offsets and number in the fill chunk (16),
    // its handle (8), height (4), height index (8) and row record.
    constexpr std::uint64_t kPerRow = 16 + 8 + 4 + 8 + sizeof(RowRecord);
    return std::uint64_t{textBytes} + std::uint64_t{records} * kPerRow;
}

std::optional<std::size_t> FillTable(Table& table, std::string_view text, Separator sep,
                                     const ResetMetrics& metrics, const LoadProgress& progress) {
    return FillTable(table, text, sep, metrics, progress, LoadedRowLayout{});
}

std::optional<std::size_t> FillTable(Table& table, std::string_view text, Separator sep,
                                     const ResetMetrics& metrics, const LoadProgress& progress,
                                     const LoadedRowLayout& layout, const LoadLimits& limits) {
    const std::size_t total = CountRecords(text, sep);
    if (total > limits.maxRecords || LoadBytesNeeded(text.size(), total) > limits.memoryBytes)
        return std::nullopt;
    Table fresh;
    try {
        fillFresh(fresh, text, sep, total, metrics, progress, layout, limits.maxFields);
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    } catch (const std::length_error&) { // a row beyond the grid's limits
        return std::nullopt;
    } catch (const TooManyFields&) {
        return std::nullopt;
    }
    // Only now does the old table go.
    table.grid = std::move(fresh.grid);
    table.rowRecords = std::move(fresh.rowRecords);
    table.colRecords = std::move(fresh.colRecords);
    table.markedColCount = fresh.markedColCount;
    return total;
}

} // namespace tabulix
