#pragma once

#include "csv/RecordPieces.h"
#include "csv/Separators.h"
#include "table/TableLayout.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

namespace tabulix {

struct Table;

// Told before record `done` (1-based) of `total` is filled, at every 1000th
// record starting with the first; on the thread that called the load. When
// the load reads several pieces at once, `done` counts the records of all of
// them, so it rises by about 1000 or more a time.
using LoadProgress = std::function<void(std::size_t done, std::size_t total)>;

// What a load may take. A text beyond them is refused rather than loaded in
// part or left to abort the program.
struct LoadLimits {
    std::size_t maxRecords;    // grid rows below the column numbers
    std::size_t maxFields;     // fields of one record
    std::uint64_t memoryBytes; // what the new table may need beside the old one

    // The grid's own limits and the memory the machine has available now.
    static LoadLimits ofMachine();
};

// What a load of `records` records from `textBytes` bytes of text needs in
// memory, about: the texts plus the per-row costs of the grid and records.
std::uint64_t LoadBytesNeeded(std::size_t textBytes, std::size_t records);

// Replaces the table with the records of `text`: one grid row per record with
// its row number, the column count the widest record's field count plus the
// fixed columns. No text gives one empty data row and column. Row and column
// records are made afresh; widths, heights and shades are left to the caller.
// Returns the number of records. The new table is built beside the old one:
// a text beyond the limits or the memory (too many records or fields, a row
// beyond the grid's limits, an allocation that fails) gives nullopt and
// leaves the table as it was.
std::optional<std::size_t> FillTable(Table& table, std::string_view text, Separator sep,
                                     const ResetMetrics& metrics, const LoadProgress& progress);

// What the fixed columns of the loaded rows will show once the view lays
// them out after the load. Filled in at once, so that the layout changes no
// row: a changed row would leave its loaded copy behind as dead memory.
struct LoadedRowLayout {
    RowNumbering numbering; // column 0, as RenumberRows (header rows clamped)
    int fixedColumn = 0;    // column 1, as FillFixedColumn for this item
    bool operator==(const LoadedRowLayout&) const = default;
};
// What a load fills its table with, besides the text: the sizes and the
// layout of the fixed columns.
struct LoadSetup {
    ResetMetrics metrics;
    LoadedRowLayout layout;
    bool operator==(const LoadSetup&) const = default;
};

// Told, from any thread of the load, that `part` of the text has been read
// and will not be read again: the owner of a mapped file may let its pages go.
using ConsumedText = std::function<void(std::string_view part)>;

// The text is read in pieces on every core at once when it is large; the
// rows, progress and result are the same as reading it in one go.
std::optional<std::size_t> FillTable(Table& table, std::string_view text, Separator sep,
                                     const ResetMetrics& metrics, const LoadProgress& progress,
                                     const LoadedRowLayout& layout,
                                     const LoadLimits& limits = LoadLimits::ofMachine(),
                                     const ConsumedText& consumed = {});

// What a load can know of its text before there is a table to fill: its
// records counted in pieces. Made on any thread, ahead of the load (while
// the window waits to hand over the program's argument).
struct LoadPlan {
    std::string_view text; // the planned text, cut at its NUL
    Separator sep;
    std::vector<RecordPiece> pieces;
    std::size_t records() const;
};
LoadPlan PlanLoad(std::string_view text, Separator sep);
// Makes `fresh`, filled beside it, the table (the old table goes).
void AdoptTable(Table& table, Table&& fresh);
// FillTable with the plan of this very text (the separator is the plan's).
std::optional<std::size_t> FillPlanned(Table& table, LoadPlan plan, const ResetMetrics& metrics,
                                       const LoadProgress& progress,
                                       const LoadedRowLayout& layout,
                                       const LoadLimits& limits = LoadLimits::ofMachine(),
                                       const ConsumedText& consumed = {});

} // namespace tabulix
