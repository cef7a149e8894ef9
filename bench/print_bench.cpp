// The print data of a generated 100,000 × 10 table shaped like the main
// grid: the first layout of 100 rows when the preview opens, full creation of
// every row (time and peak memory), drawing one page into a preview image and
// printing ten pages into a PDF file, and the CSV and HTML output of all
// rows.
#include "BenchRandom.h"
#include "OffscreenBenchmarks.h"
#include "print/PagePainter.h"
#include "print/PrintData.h"
#include "print/PrintExport.h"
#include "print/PrintFont.h"
#include "print/PrinterChoice.h"
#include "table/StringGrid.h"
#include "FixedAnswerDialogs.h"

#include <QPrinter>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <array>
#include <filesystem>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tabulix {
namespace {

constexpr int kRows = 100'000;
constexpr int kDataCols = 10;

// 1 to 12 letters and digits, a Japanese word now and then, every 50th text
// long enough to wrap.
std::string makeText(Lcg& rng) {
    static constexpr std::array<std::string_view, 4> kJapanese = {"東京都千代田区", "大阪",
                                                                  "名古屋", "会員"};
    if (rng.next() % 8 == 0) return std::string(kJapanese[rng.next() % kJapanese.size()]);
    const int length = rng.next() % 50 == 0 ? 40 : 1 + static_cast<int>(rng.next() % 12);
    std::string text;
    for (int i = 0; i < length; ++i)
        text += static_cast<char>(i % 3 == 2 ? '0' + rng.next() % 10 : 'a' + rng.next() % 26);
    return text;
}

const StringGrid& table() {
    static const StringGrid grid = [] {
        StringGrid g(kDataCols + 2, kRows + 2);
        g.setFixedCols(2);
        g.setFixedRows(2);
        g.showRowNumbers(1);
        g.setDefaultRowHeight(24);
        g.setDefaultColWidth(91); // 13 "A" widths of 7
        g.setColWidth(0, 56);
        g.setColWidth(1, 0);
        Lcg rng{11};
        std::vector<std::string> texts(kDataCols + 2);
        std::vector<std::string_view> views(texts.size());
        for (int r = 0; r < g.rowCount(); ++r) {
            for (int c = 2; c < g.colCount(); ++c)
                texts[static_cast<std::size_t>(c)] = r == 0 ? std::to_string(c - 1) : makeText(rng);
            for (std::size_t i = 0; i < texts.size(); ++i)
                views[i] = texts[i];
            g.setRow(r, views);
        }
        return g;
    }();
    return grid;
}

PrintJob job(int initialRows) {
    PrintJob j;
    j.sourceGrid = &table();
    j.mainWindowMode = true;
    j.initialRows = initialRows;
    j.titleLines[0] = "File.Name:  /home/u/bench.csv";
    return j;
}

double peakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// What the preview does when it opens: the print data built, 100 rows laid out.
void BM_OpenWith100Rows(benchmark::State& state) {
    table();
    FixedAnswerDialogs dialogs{true};
    for (auto _ : state) {
        PrintData data(job(100), printFontMeasure(), dialogs);
        data.build();
        data.computeBreakFlags();
        data.rebuild();
        benchmark::DoNotOptimize(data.pageCount());
    }
}
BENCHMARK(BM_OpenWith100Rows)->Unit(benchmark::kMillisecond);

// Only the layout of the 100 rows (a rebuild that a control asks for).
void BM_Layout100Rows(benchmark::State& state) {
    FixedAnswerDialogs dialogs{true};
    PrintData data(job(100), printFontMeasure(), dialogs);
    data.build();
    for (auto _ : state) {
        data.rebuild();
        benchmark::DoNotOptimize(data.pageCount());
    }
}
BENCHMARK(BM_Layout100Rows)->Unit(benchmark::kMillisecond);

// Full creation of every row after the partial opening.
void BM_FullCreation(benchmark::State& state) {
    table();
    const double before = peakMegabytes();
    FixedAnswerDialogs dialogs{true};
    int pages = 0;
    for (auto _ : state) {
        state.PauseTiming();
        PrintData data(job(100), printFontMeasure(), dialogs);
        data.build();
        data.computeBreakFlags();
        data.rebuild();
        state.ResumeTiming();
        data.createAll();
        pages = data.pageCount();
    }
    state.counters["pages"] = pages;
    state.counters["table_MB"] = before;
    state.counters["peak_MB"] = peakMegabytes();
}
BENCHMARK(BM_FullCreation)->Unit(benchmark::kMillisecond)->Iterations(3);

// The Save menu's output of every row after full creation: the CSV text and
// the HTML page (wrapped, escaped), made in memory.
void BM_Export(benchmark::State& state) {
    FixedAnswerDialogs dialogs{true};
    PrintData data(job(100), printFontMeasure(), dialogs);
    data.build();
    data.computeBreakFlags();
    data.rebuild();
    data.createAll();
    std::size_t bytes = 0;
    for (auto _ : state) {
        const std::string text = state.range(0) == 0 ? PrintDataCsv(data) : PrintDataHtml(data);
        bytes = text.size();
    }
    state.counters["MB"] = static_cast<double>(bytes) / 1e6;
}
BENCHMARK(BM_Export)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

// One page drawn into the preview image at zoom 1 (an A4 sheet at 96 dpi).
void BM_DrawPage(benchmark::State& state) {
    FixedAnswerDialogs dialogs{true};
    PrintData data(job(0), printFontMeasure(), dialogs);
    data.build();
    data.computeBreakFlags();
    data.rebuild();
    PagePainter painter(data);
    painter.setDateTime("2026/12/08", "12:00:00");
    QImage image(data.metrics().sheetWidth, data.metrics().sheetHeight, QImage::Format_RGB32);
    const int page = static_cast<int>(state.range(0)) == 0 ? 1 : data.pageCount() / 2;
    for (auto _ : state) {
        QPainter p(&image);
        painter.drawPage(p, page, 1.0);
    }
    state.counters["pages"] = data.pageCount();
}
BENCHMARK(BM_DrawPage)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Ten pages printed into a PDF file at 600 dpi, as the preview's print run
// does: the layout in printer units, the pages, the return to the preview.
void BM_PrintTenPagesToPdf(benchmark::State& state) {
    FixedAnswerDialogs dialogs{true};
    PrinterChoice printers{QStringList{}};
    printers.select(-1);
    const std::string path = std::filesystem::temp_directory_path() / "tabulix-print-bench.pdf";
    printers.printer().setOutputFileName(QString::fromStdString(path));
    PrintData data(job(0), printFontMeasure(), dialogs);
    data.setPaper(printers.paper());
    data.build();
    data.computeBreakFlags();
    data.rebuild();
    PagePainter painter(data);
    painter.setDateTime("2026/12/08", "12:00:00");
    for (auto _ : state) {
        data.setPreviewMode(false);
        data.computeMetrics();
        data.layout(1);
        QPainter p(&printers.printer());
        for (int page = 1; page <= 10; ++page) {
            painter.drawPage(p, page, 1.0);
            if (page < 10) printers.printer().newPage();
        }
        p.end();
        data.setPreviewMode(true);
        data.computeMetrics();
        data.layout(2);
    }
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(path));
    std::filesystem::remove(path);
}
BENCHMARK(BM_PrintTenPagesToPdf)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace tabulix

int main(int argc, char** argv) {
    tabulix::OffscreenBenchmarks benchmarks(argc, argv);
    return benchmarks.argumentsKnown() ? benchmarks.run() : 1;
}
