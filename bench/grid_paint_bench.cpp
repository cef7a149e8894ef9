// Time to paint one full viewport (1600 x 1000 px) of the grid widget on a
// table of a million rows of short texts, at the top, middle and bottom.
#include "table/StringGrid.h"
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
constexpr int kCols = 20;

// A small deterministic generator, so every run paints the same table.
struct Lcg {
    std::uint64_t state;
    std::uint32_t next() {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<std::uint32_t>(state >> 33);
    }
};

// 1 to 12 characters; about one text in four is Japanese, some mixed.
std::string makeText(Lcg& rng) {
    static constexpr std::array<std::string_view, 10> kJapanese = {"日", "本", "語", "表", "あ",
                                                                   "イ", "ｶ",  "ー", "東", "京"};
    const int length = 1 + static_cast<int>(rng.next() % 12);
    const std::uint32_t kind = rng.next() % 8;
    std::string text;
    for (int i = 0; i < length; ++i) {
        const bool japanese = kind < 2 || (kind == 2 && i % 2 == 0);
        if (japanese)
            text += kJapanese[rng.next() % kJapanese.size()];
        else
            text += static_cast<char>('0' + rng.next() % 75);
    }
    return text;
}

// The main table's layout: row numbers and a fixed-column display at the
// left, column numbers on top, data columns 13.5 "A" wide (12 characters).
struct PaintFixture {
    StringGrid grid{kCols, kRows};
    GridWidget widget;

    PaintFixture() {
        grid.setFixedCols(2);
        grid.setFixedRows(1);
        const double charWidth = gridCharWidth();
        grid.setColWidth(0, static_cast<int>(8 * charWidth));
        grid.setColWidth(1, static_cast<int>(10 * charWidth));
        for (int col = 2; col < kCols; ++col)
            grid.setColWidth(col, static_cast<int>(13.5 * charWidth));
        fill();
        widget.resize(1600, 1000);
        widget.setGrid(&grid);
        widget.show();
        QApplication::processEvents();
    }

    void fill() {
        Lcg rng{7};
        std::vector<std::string> pool(1 << 14);
        for (auto& text : pool)
            text = makeText(rng);
        std::vector<std::string_view> row(kCols);
        std::string number;
        for (int r = 0; r < kRows; ++r) {
            number = std::to_string(r);
            row[0] = number;
            for (int c = 1; c < kCols; ++c)
                row[c] = pool[rng.next() % pool.size()];
            grid.setRow(r, std::span<const std::string_view>(row));
        }
    }
};

PaintFixture* fixture = nullptr;

int topRowFor(int where) {
    const int last = kRows - 1;
    return where == 0 ? 1 : where == 1 ? last / 2 : last;
}

void paint(benchmark::State& state) {
    GridWidget& widget = fixture->widget;
    widget.setTopRow(topRowFor(static_cast<int>(state.range(0))));
    widget.setCurrentCellSilently(5, widget.topRow() + 3);
    QImage image(widget.size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        widget.render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["cells"] = (widget.visibleRowCount() + 1) * (widget.visibleColCount() + 2);
    state.counters["topRow"] = widget.topRow();
}

// Standard drawing.
void BM_PaintViewport(benchmark::State& state) {
    fixture->widget.setDrawCellHook({});
    paint(state);
}

// Through a draw-cell hook that falls back to the standard look, as the main
// window draws: adds the clip and painter save/restore per cell.
void BM_PaintViewportHook(benchmark::State& state) {
    GridWidget& widget = fixture->widget;
    widget.setDrawCellHook(
        [&widget](QPainter& painter, int col, int row, const QRect& rect, CellState cellState) {
            widget.drawDefaultCell(painter, col, row, rect, cellState);
        });
    paint(state);
    widget.setDrawCellHook({});
}

BENCHMARK(BM_PaintViewport)
    ->ArgName("top_middle_bottom")
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PaintViewportHook)
    ->ArgName("top_middle_bottom")
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond);

} // namespace
} // namespace tabulix

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    tabulix::PaintFixture fixture;
    tabulix::fixture = &fixture;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    tabulix::fixture = nullptr;
    return 0;
}
