#include "csv/TableLoader.h"

#include "csv/RecordPieces.h"
#include "csv/RecordScanner.h"
#include "table/FixedColumn.h"
#include "table/Table.h"
#include "table/TableLayout.h"
#include "text/RunAlongside.h"

#include <algorithm>
#include <atomic>
#include <climits>
#include <exception>
#include <fstream>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

namespace tabulix {

namespace {

// Thrown inside a fill when a record has more fields than allowed.
struct TooManyFields {};
// Thrown inside a fill when a piece holds other records than were counted:
// another program changed the mapped file in between. Its rows would spill
// into the next piece's.
struct TextChanged {};

// How the rows of a load are filled.
struct LoadFill {
    const LoadProgress& progress;
    const LoadedRowLayout& layout;
    std::size_t maxFields;
    const ConsumedText& consumed;
};

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

// What the lanes of a load share: the fill, how far they are and the first
// failure, which stops the others.
struct LoadLanes {
    std::vector<RecordPiece> pieces;
    std::vector<int> firstRows;
    std::vector<int> neededCols;
    std::vector<std::exception_ptr> failures;
    std::atomic<std::size_t> othersDone{0};
    std::atomic<bool> failed{false};
};

// Sheds the pages of the text that the reading has passed, in large steps,
// so that a mapped file does not stay in memory beside its table.
class ConsumedTracker {
public:
    ConsumedTracker(std::string_view piece, const ConsumedText& consumed)
        : piece_(piece), consumed_(consumed) {}
    void passed(std::size_t position) {
        constexpr std::size_t kStep = std::size_t{8} << 20;
        if (!consumed_ || position - released_ < kStep) return;
        consumed_(piece_.substr(released_, position - released_));
        released_ = position;
    }

private:
    std::string_view piece_;
    const ConsumedText& consumed_;
    std::size_t released_ = 0;
};

// Fills the rows of one piece through its lane of the fill.
void fillPiece(Table& table, StringGrid::BulkFill& fill, LoadLanes& lanes, std::size_t lane,
               std::string_view text, Separator sep, const LoadFill& how) {
    const RecordPiece& piece = lanes.pieces[lane];
    const std::string_view part = text.substr(piece.begin, piece.end - piece.begin);
    RecordScanner scanner(part, sep, piece.quotes);
    ConsumedTracker tracker(part, how.consumed);
    std::vector<std::string_view> cells(kFixedColCount);
    std::string fixedText;
    const std::size_t total = table.grid.rowCount() - 1;
    int row = lanes.firstRows[lane];
    std::size_t done = 0;
    int needed = kFixedColCount;
    while (scanner.next()) {
        if (done == piece.records) throw TextChanged{};
        if (done % 1000 == 0) {
            if (lanes.failed.load(std::memory_order_relaxed)) return;
            if (lane == 0 && how.progress)
                how.progress(done + lanes.othersDone.load(std::memory_order_relaxed) + 1, total);
            else if (done > 0 && lane != 0)
                lanes.othersDone.fetch_add(1000, std::memory_order_relaxed);
            tracker.passed(scanner.position());
        }
        const std::span<const std::string_view> fields = scanner.fields();
        if (fields.size() > how.maxFields) throw TooManyFields{};
        needed = std::max(needed, static_cast<int>(fields.size()) + kFixedColCount);
        // The fixed-column cell in front of the fields (column 0 shows the
        // row number by itself).
        cells[1] = {};
        if (how.layout.fixedColumn > 0) {
            const auto copied = static_cast<std::size_t>(how.layout.fixedColumn - 1);
            FixedColumnText(copied < fields.size() ? fields[copied] : std::string_view{},
                            fixedText);
            cells[1] = fixedText;
        }
        cells.resize(kFixedColCount);
        cells.insert(cells.end(), fields.begin(), fields.end());
        fill.fillRow(lane, row, cells);
        ++row;
        ++done;
    }
    if (done != piece.records) throw TextChanged{};
    lanes.neededCols[lane] = needed;
}

void fillPieces(Table& table, LoadLanes& lanes, std::string_view text, Separator sep,
                const LoadFill& how) {
    // The texts, and per record its row number and the block's header; the
    // separators the texts lose roughly pay for the cells' offsets.
    std::vector<std::size_t> laneBytes;
    for (const RecordPiece& piece : lanes.pieces)
        laneBytes.push_back(piece.end - piece.begin + piece.records * 16);
    std::optional<StringGrid::BulkFill> fill;
    if (laneBytes.size() == 1)
        fill.emplace(table.grid, laneBytes.front()); // a helper makes its memory ready
    else
        fill.emplace(table.grid, laneBytes);
    const std::size_t total = table.grid.rowCount() - 1;
    RunAlongside(
        lanes.pieces.size(),
        [&](std::size_t lane) {
            try {
                fillPiece(table, *fill, lanes, lane, text, sep, how);
            } catch (...) {
                lanes.failures[lane] = std::current_exception();
                lanes.failed.store(true);
            }
        },
        [&] {
            // Whole thousands, as every report: the first piece's are all in.
            const std::size_t first = lanes.pieces.front().records / 1000 * 1000;
            if (how.progress) how.progress(first + lanes.othersDone.load() + 1, total);
        });
    for (const std::exception_ptr& failure : lanes.failures)
        if (failure) std::rethrow_exception(failure);
}

void fillFresh(Table& table, LoadPlan plan, std::size_t total, const ResetMetrics& metrics,
               const LoadFill& how) {
    ResetTable(table, 0, static_cast<int>(total), metrics);
    LoadLanes lanes;
    lanes.pieces = std::move(plan.pieces);
    int row = 1;
    for (const RecordPiece& piece : lanes.pieces) {
        lanes.firstRows.push_back(row);
        row += static_cast<int>(piece.records);
    }
    lanes.neededCols.assign(lanes.pieces.size(), kFixedColCount);
    lanes.failures.resize(lanes.pieces.size());
    fillPieces(table, lanes, plan.text, plan.sep, how);
    const int needed = *std::max_element(lanes.neededCols.begin(), lanes.neededCols.end());
    if (needed > table.grid.colCount()) table.grid.setColCount(needed);
    // Only the count grew during the fill; row 0 gets its numbers now.
    const RowNumbering& numbering = how.layout.numbering;
    const long long headerRows =
        numbering.fromFixedRows
            ? 0
            : std::min<long long>(std::max(numbering.headerRows, 0), static_cast<long long>(total));
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
    // its handle (8), height (4), height index (8 at the most), row record and
    // shade bits (kShadeBytes at the most, for the widest table).
    constexpr std::uint64_t kPerRow = 16 + 8 + 4 + 8 + sizeof(RowRecord) + kShadeBytes;
    return std::uint64_t{textBytes} + std::uint64_t{records} * kPerRow;
}

std::optional<std::size_t> FillTable(Table& table, std::string_view text, Separator sep,
                                     const ResetMetrics& metrics, const LoadProgress& progress) {
    return FillTable(table, text, sep, metrics, progress, LoadedRowLayout{});
}

std::size_t LoadPlan::records() const {
    std::size_t total = 0;
    for (const RecordPiece& piece : pieces)
        total += piece.records;
    return total;
}

LoadPlan PlanLoad(std::string_view text, Separator sep) {
    LoadPlan plan{BeforeNul(text), sep, {}};
    plan.pieces = SplitRecords(plan.text, sep, PieceCountFor(plan.text.size()));
    return plan;
}

std::optional<std::size_t> FillTable(Table& table, std::string_view text, Separator sep,
                                     const ResetMetrics& metrics, const LoadProgress& progress,
                                     const LoadedRowLayout& layout, const LoadLimits& limits,
                                     const ConsumedText& consumed) {
    return FillPlanned(table, PlanLoad(text, sep), metrics, progress, layout, limits, consumed);
}

std::optional<std::size_t> FillPlanned(Table& table, LoadPlan plan, const ResetMetrics& metrics,
                                       const LoadProgress& progress,
                                       const LoadedRowLayout& layout, const LoadLimits& limits,
                                       const ConsumedText& consumed) {
    const std::size_t total = plan.records();
    if (total > limits.maxRecords || LoadBytesNeeded(plan.text.size(), total) > limits.memoryBytes)
        return std::nullopt;
    Table fresh;
    try {
        fillFresh(fresh, std::move(plan), total, metrics,
                  LoadFill{progress, layout, limits.maxFields, consumed});
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    } catch (const std::length_error&) { // a row beyond the grid's limits
        return std::nullopt;
    } catch (const TooManyFields&) {
        return std::nullopt;
    } catch (const TextChanged&) {
        return std::nullopt;
    }
    // Only now does the old table go.
    AdoptTable(table, std::move(fresh));
    return total;
}

void AdoptTable(Table& table, Table&& fresh) {
    table.grid = std::move(fresh.grid);
    table.rowRecords = std::move(fresh.rowRecords);
    table.shades = std::move(fresh.shades);
    table.colRecords = std::move(fresh.colRecords);
    table.markedColCount = fresh.markedColCount;
}

} // namespace tabulix
