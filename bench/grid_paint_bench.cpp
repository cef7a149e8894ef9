// Time to paint one full viewport (1600 x 1000 px) of the grid widget on a
// table of a million rows of short texts, at the top, middle and bottom
// (where: 0, 1, 2), with the standard drawing and through a draw-cell hook.
#include "BenchRandom.h"
#include "OffscreenBenchmarks.h"
#include "table/StringGrid.h"
#include "view/GridFont.h"
#include "view/GridWidget.h"

#include <QApplication>
#include <QImage>

#include <benchmark/benchmark.h>

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tabulix {
namespace {

constexpr int kRows = 1'000'000;
constexpr int kCols = 20;

// Japanese characters of every kind the tables hold: hiragana, katakana,
// half-width katakana and the first few hundred kanji, as UTF-8.
const std::vector<std::string>& japaneseChars() {
    static const std::vector<std::string> chars = [] {
        std::vector<std::string> out;
        const auto add = [&](char32_t from, char32_t to, char32_t step) {
            for (char32_t c = from; c <= to; c += step)
                out.push_back(QString::fromUcs4(&c, 1).toStdString());
        };
        add(U'\u3041', U'\u3093', 1);  // hiragana
        add(U'\u30A1', U'\u30F3', 1);  // katakana
        add(U'\uFF66', U'\uFF9D', 1);  // half-width katakana
        add(U'\u4E00', U'\u7FFF', 37); // kanji
        return out;
    }();
    return chars;
}

// 1 to 12 characters; a quarter Japanese, some mixed with ASCII.
std::string makeText(Lcg& rng) {
    const auto& japanese = japaneseChars();
    const int length = 1 + static_cast<int>(rng.next() % 12);
    const std::uint32_t kind = rng.next() % 8;
    std::string text;
    for (int i = 0; i < length; ++i) {
        const bool wide = kind < 2 || (kind == 2 && i % 2 == 0);
        if (wide)
            text += japanese[rng.next() % japanese.size()];
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

void useHook(bool on) {
    GridWidget& widget = fixture->widget;
    if (!on) {
        widget.setDrawCellHook({});
        return;
    }
    // As the main window draws: its own hook falling back to the standard look,
    // which adds a clip and a painter save/restore per cell.
    widget.setDrawCellHook(
        [&widget](QPainter& painter, int col, int row, const QRect& rect, CellState state) {
            widget.drawDefaultCell(painter, col, row, rect, state);
        });
}

// Paints one full viewport again and again at the top, middle or bottom.
void paintAt(benchmark::State& state, QWidget* target) {
    GridWidget& widget = fixture->widget;
    widget.setTopRow(topRowFor(static_cast<int>(state.range(0))));
    widget.setCurrentCellSilently(5, widget.topRow() + 3);
    QImage image(target->size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        target->render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["cells"] = (widget.visibleRowCount() + 2) * (widget.visibleColCount() + 3);
    state.counters["topRow"] = widget.topRow();
}

// The viewport is what repaints when the table scrolls.
void BM_PaintViewport(benchmark::State& state) {
    useHook(state.range(1) != 0);
    paintAt(state, fixture->widget.viewport());
    useHook(false);
}

// The whole widget: the viewport plus frame and scroll bars.
void BM_RenderWidget(benchmark::State& state) {
    useHook(state.range(1) != 0);
    paintAt(state, &fixture->widget);
    useHook(false);
}

// Page Down through the middle of the table: every paint shows new rows.
void BM_PageDownAndPaint(benchmark::State& state) {
    GridWidget& widget = fixture->widget;
    widget.setTopRow(kRows / 4);
    QImage image(widget.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        widget.setTopRow(widget.topRow() + widget.visibleRowCount());
        widget.viewport()->render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
}

void paintArgs(benchmark::internal::Benchmark* bench) {
    bench->ArgNames({"where", "hook"});
    for (int hook : {0, 1})
        for (int where : {0, 1, 2})
            bench->Args({where, hook});
    bench->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_PaintViewport)->Apply(paintArgs);
BENCHMARK(BM_RenderWidget)->Apply(paintArgs);
BENCHMARK(BM_PageDownAndPaint)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace tabulix

int main(int argc, char** argv) {
    tabulix::OffscreenBenchmarks benchmarks(argc, argv);
    if (!benchmarks.argumentsKnown()) return 1;
    tabulix::PaintFixture fixture;
    tabulix::fixture = &fixture;
    const int result = benchmarks.run();
    tabulix::fixture = nullptr;
    return result;
}
