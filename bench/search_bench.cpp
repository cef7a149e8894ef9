// The search over a generated 1,000,000 × 10 table: two words with AND, 10 %
// of the rows holding both (in either letter case), 5 % only one of them.
// Measured on the display-free search and through the search window (its
// progress and event handling included).
#include "BenchRandom.h"
#include "OffscreenBenchmarks.h"
#include "search/SearchResults.h"
#include "search/SearchWords.h"
#include "search/TFm_Tabulix02.h"
#include "table/StringGrid.h"
#include "table/TableEvents.h"
#include "FixedAnswerDialogs.h"
#include "view/GridWidget.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tabulix {
namespace {

constexpr int kRows = 1'000'000;
constexpr int kDataCols = 10;

// 1 to 9 letters and digits, a Japanese word now and then.
std::string makeText(Lcg& rng) {
    static constexpr std::array<std::string_view, 6> kJapanese = {"東京", "大阪", "名古屋",
                                                                  "札幌", "ｶﾅ",   "会員"};
    if (rng.next() % 8 == 0) return std::string(kJapanese[rng.next() % kJapanese.size()]);
    std::string text;
    const int length = 1 + static_cast<int>(rng.next() % 9);
    for (int i = 0; i < length; ++i)
        text += static_cast<char>(i % 3 == 2 ? '0' + rng.next() % 10 : 'a' + rng.next() % 26);
    return text;
}

// The main table's shape: row numbers and the fixed-column display, one
// header row.
StringGrid& table() {
    static StringGrid grid = [] {
        StringGrid g(kDataCols + 2, kRows + 2);
        g.setFixedCols(2);
        g.setFixedRows(2);
        g.showRowNumbers(1);
        Lcg rng{7};
        std::vector<std::string> texts(kDataCols + 2);
        std::vector<std::string_view> views(texts.size());
        const StringGrid::BulkFill fill(g, static_cast<std::size_t>(kRows) * kDataCols * 8);
        for (int r = 1; r < g.rowCount(); ++r) {
            for (int c = 2; c < g.colCount(); ++c)
                texts[c] = makeText(rng);
            const std::uint32_t kind = rng.next() % 100;
            if (kind < 10) { // both words
                texts[3] = kind % 2 ? "Tokyo Tower" : "to TOKYO";
                texts[8] = kind % 3 ? "central" : "CENTRAL park";
            } else if (kind < 15) { // one word only
                texts[5] = "tokyo";
            }
            for (std::size_t i = 0; i < texts.size(); ++i)
                views[i] = texts[i];
            g.fillRow(r, views);
        }
        return g;
    }();
    return grid;
}

void BM_SearchTwoWordsAnd(benchmark::State& state) {
    const StringGrid& source = table();
    StringGrid results, hits;
    int found = 0;
    for (auto _ : state) {
        WordMatcher matcher(SplitSearchWords("tokyo Central"), MatchMode::And);
        LayoutResults(source, results, hits);
        found = RunSearch(source, results, hits, matcher, [](int, int) { return true; });
        benchmark::DoNotOptimize(found);
    }
    state.counters["found"] = found;
}
BENCHMARK(BM_SearchTwoWordsAnd)->Unit(benchmark::kMillisecond);

void BM_SearchJapaneseWordOr(benchmark::State& state) {
    const StringGrid& source = table();
    StringGrid results, hits;
    int found = 0;
    for (auto _ : state) {
        WordMatcher matcher(SplitSearchWords("名古屋　札幌"), MatchMode::Or);
        LayoutResults(source, results, hits);
        found = RunSearch(source, results, hits, matcher, [](int, int) { return true; });
        benchmark::DoNotOptimize(found);
    }
    state.counters["found"] = found;
}
BENCHMARK(BM_SearchJapaneseWordOr)->Unit(benchmark::kMillisecond);

// Every cell read, folded and searched, nothing copied.
void BM_SearchNoHit(benchmark::State& state) {
    const StringGrid& source = table();
    StringGrid results, hits;
    for (auto _ : state) {
        WordMatcher matcher(SplitSearchWords("Osaka"), MatchMode::Or);
        LayoutResults(source, results, hits);
        benchmark::DoNotOptimize(
            RunSearch(source, results, hits, matcher, [](int, int) { return true; }));
    }
}
BENCHMARK(BM_SearchNoHit)->Unit(benchmark::kMillisecond);

// The whole command through the window: progress every 500 rows, events
// let through, the first hit selected and jumped to in the main grid.
void BM_SearchWindowTwoWordsAnd(benchmark::State& state) {
    StringGrid& source = table();
    GridWidget view;
    view.setGrid(&source);
    view.resize(800, 600);
    TableEvents events;
    FixedAnswerDialogs dialogs{false};
    std::string pathSelectFile;
    TFm_Tabulix02 window(SearchSource{source, &view, events, dialogs, pathSelectFile,
                                      [] { return Separator::of(','); },
                                      [] { return TextEncoding::Utf8; }, 8, {}, {}, {}});
    window.show();
    QApplication::processEvents();
    window.findChild<QLineEdit*>(QStringLiteral("Edt_Word"))
        ->setText(QStringLiteral("tokyo Central"));
    QPushButton* exec = window.findChild<QPushButton*>(QStringLiteral("Btn_Exec"));
    for (auto _ : state)
        exec->click();
    state.counters["found"] = window.findChild<QLabel*>(QStringLiteral("Lab_Records"))
                                  ->text()
                                  .remove(QLatin1Char(','))
                                  .toDouble();
    view.setGrid(nullptr);
}
BENCHMARK(BM_SearchWindowTwoWordsAnd)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace tabulix

int main(int argc, char** argv) {
    tabulix::OffscreenBenchmarks benchmarks(argc, argv);
    return benchmarks.argumentsKnown() ? benchmarks.run() : 1;
}
