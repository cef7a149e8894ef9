// The passes that run over the whole main table after a load (break shades,
// column widths, folded row heights, and all three as the load lays out) and the painting of one full viewport
// (1600 x 1000 px) through the cell painter with every display option on, on
// a table of a million rows and 20 data columns of 1 to 12 characters.
#include "BenchRandom.h"
#include "OffscreenBenchmarks.h"
#include "edit/EditState.h"
#include "draw/BreakShade.h"
#include "draw/ColumnWidths.h"
#include "draw/DisplayText.h"
#include "draw/LoadedLayout.h"
#include "draw/RowHeights.h"
#include "table/Table.h"
#include "table/TableLayout.h"
#include "text/RunAlongside.h"
#include "view/CellPainter.h"
#include "view/GridFont.h"
#include "view/GridWidget.h"

#include <QApplication>
#include <QImage>

#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tabulix {
namespace {

constexpr int kRows = 1'000'000;
constexpr int kDataCols = 20;
constexpr int kDefaultRowHeight = 21;

// 1 to 12 characters: about one text in four Japanese, some 6- and 8-digit
// numbers (date editing) and some with blanks around (trimming).
std::string makeText(Lcg& rng) {
    static constexpr std::array<std::string_view, 10> kJapanese = {"日", "本", "語", "表", "あ",
                                                                   "イ", "ｶ",  "ー", "東", "京"};
    const std::uint32_t kind = rng.next() % 16;
    if (kind == 0) return std::to_string(20000000 + rng.next() % 10000000);
    if (kind == 1) return std::to_string(100000 + rng.next() % 900000);
    const int length = 1 + static_cast<int>(rng.next() % 12);
    std::string text;
    for (int i = 0; i < length; ++i) {
        if (kind < 6)
            text += kJapanese[rng.next() % kJapanese.size()];
        else
            text += static_cast<char>('0' + rng.next() % 75);
    }
    return kind == 6 ? " " + text + " " : text;
}

DisplayOptions everyOption() {
    DisplayOptions options;
    options.fixedCenter = true;
    options.dataCenter = true;
    options.trimSpace = true;
    options.dateEdit = true;
    options.breakColor = true;
    options.karaGyoColor = true; // the light and dark colours exclude each other
    options.whiteGrid = true;
    options.foldItem = kFoldAuto;
    return options;
}

struct DrawFixture {
    Table table;
    EditState edit;
    DisplayOptions options = everyOption();
    GridWidget widget;
    CellPainter painter{table, edit, options, widget};

    DrawFixture() {
        ResetTable(table, kDataCols, kRows,
                   ResetMetrics{gridCharWidth(), kDefaultRowHeight, 25, false});
        fill();
        RenumberRows(table.grid, RowNumbering{});
        RenumberColumns(table.grid);
        ComputeColumnWidths(table.grid, table.colRecords, widthRule());
        RecomputeBreakShades(table, -1, 0);
        ComputeRowHeights(table.grid, options, gridCharWidth(), gridCharHeight());
        widget.resize(1600, 1000);
        widget.setGrid(&table.grid);
        painter.installHook();
        widget.show();
        QApplication::processEvents();
    }

    static WidthRule widthRule() { return WidthRule{gridCharWidth(), 25, false}; }

    // Every 40th row empty; a third of the cells repeat the one above, so
    // shades come in runs.
    void fill() {
        Lcg rng{7};
        std::vector<std::string> pool(1 << 14);
        for (auto& text : pool)
            text = makeText(rng);
        std::vector<std::string_view> row(kDataCols + 2), above(kDataCols + 2);
        for (int r = 1; r < kRows + 1; ++r) {
            if (r % 40 == 0) continue;
            for (int c = 2; c < kDataCols + 2; ++c)
                row[c] = rng.next() % 3 == 0 && !above[c].empty() ? above[c]
                                                                  : pool[rng.next() % pool.size()];
            table.grid.setRow(r, std::span<const std::string_view>(row));
            above = row;
        }
    }

    // A marked row and column, a clip range and a confirmation highlight
    // around row `top`, so that every colour rule has cells to paint.
    void decorate(int top) {
        for (RowRecord& record : table.rowRecords)
            record.marked = false;
        table.rowRecords[top + 5].marked = true;
        table.colRecords[4].marked = true;
        table.markedColCount = 1;
        edit.clipRange = CellRange{6, top + 10, 8, top + 14};
        edit.confirmHighlight = Highlight{CellRange{2, top + 20, 9, top + 20}, kHighlightInsert};
    }
};

DrawFixture* fixture = nullptr;

void BM_BreakShadesAllColumns(benchmark::State& state) {
    for (auto _ : state)
        RecomputeBreakShades(fixture->table, -1, 0);
}

void BM_ColumnWidths(benchmark::State& state) {
    for (auto _ : state)
        ComputeColumnWidths(fixture->table.grid, fixture->table.colRecords,
                            DrawFixture::widthRule());
}

// From default heights, as after a load; the widget stays attached, so every
// changed height reaches it. Argument 1: with what the widths pass measured,
// as the load does (argument 0: alone, as when the folding choice changes).
void BM_RowHeightsFoldAuto(benchmark::State& state) {
    StringGrid& grid = fixture->table.grid;
    const std::vector<int> longest =
        state.range(0) ? ComputeColumnWidths(grid, fixture->table.colRecords,
                                             DrawFixture::widthRule(), fixture->options)
                       : std::vector<int>{};
    for (auto _ : state) {
        state.PauseTiming();
        grid.setDefaultRowHeight(kDefaultRowHeight);
        state.ResumeTiming();
        ComputeRowHeights(grid, fixture->options, gridCharWidth(), gridCharHeight(), longest);
    }
    int folded = 0;
    for (int row = 0; row < grid.rowCount(); ++row)
        folded += grid.rowHeight(row) != kDefaultRowHeight;
    state.counters["foldedRows"] = folded;
    // The widths the painting benchmarks expect.
    if (state.range(0))
        ComputeColumnWidths(grid, fixture->table.colRecords, DrawFixture::widthRule());
}

// The widths, heights and shades after a load. Argument 0: as separate
// passes, the shades on a second core beside the widths and then the heights;
// argument 1: the widths and shades from one read of the rows in pieces on
// both cores, then the heights (what a load now does).
void BM_LayOutWidthsHeightsAndShades(benchmark::State& state) {
    Table& table = fixture->table;
    for (auto _ : state) {
        state.PauseTiming();
        table.grid.setDefaultRowHeight(kDefaultRowHeight);
        state.ResumeTiming();
        if (state.range(0)) {
            LayOutWidthsAndHeights(table, DrawFixture::widthRule(), fixture->options,
                                   gridCharHeight(), true);
            continue;
        }
        RunAlongside(2, [&](std::size_t k) {
            if (k == 1) return RecomputeBreakShades(table, -1, 0);
            const std::vector<int> longest = ComputeColumnWidths(
                table.grid, table.colRecords, DrawFixture::widthRule(), fixture->options);
            ComputeRowHeights(table.grid, fixture->options, gridCharWidth(), gridCharHeight(),
                              longest);
        });
    }
    // The widths the painting benchmarks expect.
    ComputeColumnWidths(table.grid, table.colRecords, DrawFixture::widthRule());
}

int topRowFor(int where) {
    return where == 0 ? 1 : where == 1 ? kRows / 2 : kRows;
}

void paint(benchmark::State& state, bool firstPaint) {
    GridWidget& widget = fixture->widget;
    widget.setTopRow(topRowFor(static_cast<int>(state.range(0))));
    fixture->decorate(widget.topRow());
    widget.setCurrentCellSilently(5, widget.topRow() + 3);
    QImage image(widget.size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        if (firstPaint) fixture->painter.clearTextCache();
        widget.render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["rows"] = widget.visibleRowCount() + 1;
    state.counters["cols"] = widget.visibleColCount() + 2;
}

// A repaint of what is on screen (cursor move, selection): the rendered
// lines are known.
void BM_PaintViewportAllOptions(benchmark::State& state) {
    paint(state, false);
}

// The first paint of rows never shown: every line is rendered.
void BM_PaintViewportAllOptionsFirstPaint(benchmark::State& state) {
    paint(state, true);
}

// For comparison: the widget's standard drawing of the same viewport.
void BM_PaintViewportWidgetStandard(benchmark::State& state) {
    fixture->widget.setDrawCellHook({});
    paint(state, false);
    fixture->painter.installHook();
}

BENCHMARK(BM_BreakShadesAllColumns)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ColumnWidths)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RowHeightsFoldAuto)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LayOutWidthsHeightsAndShades)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PaintViewportAllOptions)
    ->ArgName("top_middle_bottom")
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PaintViewportAllOptionsFirstPaint)
    ->ArgName("top_middle_bottom")
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PaintViewportWidgetStandard)
    ->ArgName("top_middle_bottom")
    ->Arg(1)
    ->Unit(benchmark::kMillisecond);

} // namespace
} // namespace tabulix

int main(int argc, char** argv) {
    tabulix::OffscreenBenchmarks benchmarks(argc, argv);
    if (!benchmarks.argumentsKnown()) return 1;
    tabulix::DrawFixture fixture;
    tabulix::fixture = &fixture;
    const int result = benchmarks.run();
    tabulix::fixture = nullptr;
    return result;
}
