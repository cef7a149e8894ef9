// Memory and speed of the cell store on a generated table of short texts.
#include "BenchRandom.h"
#include "table/StringGrid.h"

#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <malloc.h>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tabulix {
namespace {

constexpr int kRows = 1'000'000;
constexpr int kCols = 20;

// 1 to 12 characters; about one text in six is Japanese (3 bytes a character).
std::string makeText(Lcg& rng) {
    static constexpr std::array<std::string_view, 8> kJapanese = {"日", "本", "語", "表",
                                                                  "あ", "イ", "ｶ",  "ー"};
    const int length = 1 + static_cast<int>(rng.next() % 12);
    const bool japanese = rng.next() % 6 == 0;
    std::string text;
    for (int i = 0; i < length; ++i) {
        if (japanese)
            text += kJapanese[rng.next() % kJapanese.size()];
        else
            text += static_cast<char>('0' + rng.next() % 75);
    }
    return text;
}

// Distinct texts drawn from by index; generating 20 million strings would
// measure the generator, not the grid.
const std::vector<std::string>& textPool() {
    static const std::vector<std::string> pool = [] {
        Lcg rng{12345};
        std::vector<std::string> out(1 << 16);
        for (auto& text : out)
            text = makeText(rng);
        return out;
    }();
    return pool;
}

void fill(StringGrid& grid) {
    const auto& pool = textPool();
    Lcg rng{42};
    std::array<std::string_view, kCols> row;
    for (int r = 0; r < grid.rowCount(); ++r) {
        for (auto& text : row)
            text = pool[rng.next() % pool.size()];
        grid.setRow(r, std::span<const std::string_view>(row));
    }
}

std::unique_ptr<StringGrid> filledGrid() {
    auto grid = std::make_unique<StringGrid>(kCols, kRows);
    fill(*grid);
    return grid;
}

// Bytes the allocator has handed out, large (mmapped) arrays included.
std::size_t heapInUse() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

// The end offsets of every stored cell: 1, 2 or 4 bytes each, by the text
// size of the row, up to its last cell with text.
std::size_t offsetBytes(const StringGrid& grid) {
    std::size_t total = 0;
    for (int row = 0; row < grid.rowCount(); ++row) {
        std::size_t text = 0;
        int stored = 0;
        for (int col = 0; col < grid.colCount(); ++col) {
            const std::size_t size = grid.cell(col, row).size();
            text += size;
            if (size > 0) stored = col + 1;
        }
        const std::size_t width = text <= 0xFF ? 1 : text <= 0xFFFF ? 2 : 4;
        total += width * static_cast<std::size_t>(stored);
    }
    return total;
}

void BM_Fill1Mx20(benchmark::State& state) {
    textPool();
    std::unique_ptr<StringGrid> grid;
    std::size_t heapUsed = 0;
    for (auto _ : state) {
        state.PauseTiming();
        grid.reset();
        const std::size_t before = heapInUse();
        state.ResumeTiming();
        grid = filledGrid();
        // A view asks for the geometry at once, which builds the height index.
        benchmark::DoNotOptimize(grid->totalHeight());
        state.PauseTiming();
        heapUsed = heapInUse() - before;
        state.ResumeTiming();
    }
    const double cells = double{kRows} * kCols;
    const double overhead = static_cast<double>(grid->overheadBytes());
    const double text = static_cast<double>(grid->textBytes());
    // Each cell costs its end offset, as wide as its row's text needs; the
    // rest is per row (header, allocator header and slack, row handle,
    // height, height index).
    const double perCellPart = static_cast<double>(offsetBytes(*grid));
    state.counters["overhead_per_cell"] = overhead / cells;
    state.counters["row_fixed_overhead"] = (overhead - perCellPart) / kRows;
    state.counters["overhead_MB"] = overhead / 1e6;
    state.counters["text_MB"] = text / 1e6;
    state.counters["text_per_cell"] = text / cells;
    // Cross-check against the allocator's own count of bytes in use.
    state.counters["heap_minus_text_per_cell"] = (static_cast<double>(heapUsed) - text) / cells;
    state.SetItemsProcessed(state.iterations() * kRows * kCols);
}
BENCHMARK(BM_Fill1Mx20)->Unit(benchmark::kMillisecond)->Iterations(3);

const StringGrid& sharedGrid() {
    static const std::unique_ptr<StringGrid> grid = filledGrid();
    return *grid;
}

void BM_ReadAllCells(benchmark::State& state) {
    const StringGrid& grid = sharedGrid();
    for (auto _ : state) {
        std::size_t bytes = 0;
        for (int r = 0; r < grid.rowCount(); ++r)
            for (int c = 0; c < grid.colCount(); ++c)
                bytes += grid.cell(c, r).size();
        benchmark::DoNotOptimize(bytes);
    }
    state.SetItemsProcessed(state.iterations() * kRows * kCols);
}
BENCHMARK(BM_ReadAllCells)->Unit(benchmark::kMillisecond);

void BM_SetCellInFilledRow(benchmark::State& state) {
    StringGrid grid(kCols, 1024);
    fill(grid);
    Lcg rng{7};
    const auto& pool = textPool();
    for (auto _ : state) {
        const std::uint32_t pick = rng.next();
        grid.setCell(pick % kCols, (pick >> 8) % 1024, pool[pick % pool.size()]);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SetCellInFilledRow);

// Heights as after folding: mostly one line, some several, some hidden rows.
StringGrid& heightGrid() {
    static StringGrid grid = [] {
        StringGrid g(1, kRows);
        Lcg rng{99};
        for (int r = 0; r < kRows; ++r) {
            const std::uint32_t pick = rng.next() % 16;
            g.setRowHeight(r, pick == 0 ? 0 : pick < 12 ? 24 : 24 * static_cast<int>(pick - 10));
        }
        return g;
    }();
    return grid;
}

void BM_RowAtVariedHeights(benchmark::State& state) {
    const StringGrid& grid = heightGrid();
    const std::int64_t total = grid.totalHeight();
    Lcg rng{3};
    for (auto _ : state) {
        const std::int64_t y = static_cast<std::int64_t>(
            ((std::uint64_t{rng.next()} << 16) ^ rng.next()) % static_cast<std::uint64_t>(total));
        benchmark::DoNotOptimize(grid.rowAt(y));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RowAtVariedHeights);

void BM_RowTopVariedHeights(benchmark::State& state) {
    const StringGrid& grid = heightGrid();
    Lcg rng{5};
    for (auto _ : state)
        benchmark::DoNotOptimize(grid.rowTop(static_cast<int>(rng.next() % kRows)));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RowTopVariedHeights);

// A height change followed by a lookup: the index is updated in place.
void BM_SetRowHeightThenRowAt(benchmark::State& state) {
    StringGrid& grid = heightGrid();
    Lcg rng{11};
    for (auto _ : state) {
        const std::uint32_t pick = rng.next();
        grid.setRowHeight(static_cast<int>(pick % kRows), 24 * static_cast<int>(pick >> 30));
        benchmark::DoNotOptimize(grid.rowAt(grid.totalHeight() / 2));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SetRowHeightThenRowAt);

} // namespace
} // namespace tabulix

BENCHMARK_MAIN();
