// Throughput of the CSV codec: parsing, counting records, encoding a table,
// and the text encodings, on generated data.
#include "csv/CsvParser.h"
#include "csv/CsvWriter.h"
#include "csv/FileReading.h"
#include "csv/TableLoader.h"
#include "table/Table.h"
#include "table/TableLayout.h"
#include "table/StringGrid.h"
#include "csv/TextEncoding.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace tabulix;

// About 50 MB of short fields, ten to a record; one field in eight is quoted
// (with a separator, a doubled quote or a line break inside), one in eight is
// Japanese.
const std::string& csvText() {
    static const std::string text = [] {
        std::mt19937 rng(50);
        const std::vector<std::string> plain = {"12", "345", "abc", "2024-06-01", "x", "", "-7.5"};
        const std::vector<std::string> quoted = {"\"a,b\"", "\"say \"\"hi\"\"\"",
                                                 "\"two\r\nlines\""};
        const std::vector<std::string> japanese = {"東京都", "ｶﾀｶﾅ", "日本語テキスト"};
        std::string out;
        out.reserve(52'000'000);
        while (out.size() < 50'000'000) {
            for (int f = 0; f < 10; ++f) {
                if (f > 0) out += ',';
                const unsigned kind = rng() % 8;
                if (kind == 0)
                    out += quoted[rng() % quoted.size()];
                else if (kind == 1)
                    out += japanese[rng() % japanese.size()];
                else
                    out += plain[rng() % plain.size()];
            }
            out += "\r\n";
        }
        return out;
    }();
    return text;
}

void BM_ParseRecords(benchmark::State& state) {
    const std::string& text = csvText();
    for (auto _ : state) {
        std::size_t fields = 0;
        ParseRecords(text, Separator::of(','),
                     [&](std::span<const std::string> record) { fields += record.size(); });
        benchmark::DoNotOptimize(fields);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ParseRecords)->Unit(benchmark::kMillisecond);

// The load of a text already in memory, in its two steps: its records counted
// in pieces (argument 0), then the table filled from that plan on both cores
// (argument 1), with fresh row blocks each time as a load has.
void BM_LoadInMemory(benchmark::State& state) {
    const std::string& text = csvText();
    const ResetMetrics metrics{7.0, 21, 25, false};
    for (auto _ : state) {
        LoadPlan plan = PlanLoad(text, Separator::of(','));
        if (state.range(0) == 0) {
            benchmark::DoNotOptimize(plan.records());
            continue;
        }
        state.PauseTiming();
        {
            Table table;
            state.ResumeTiming();
            FillPlanned(table, std::move(plan), metrics, {}, LoadedRowLayout{});
            state.PauseTiming();
        } // the table goes untimed
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_LoadInMemory)->Arg(0)->Arg(1)->UseRealTime()->Unit(benchmark::kMillisecond);

void BM_ParseRecordViews(benchmark::State& state) {
    const std::string& text = csvText();
    for (auto _ : state) {
        std::size_t fields = 0;
        ParseRecordViews(text, Separator::of(','), [&](std::span<const std::string_view> record) {
            fields += record.size();
        });
        benchmark::DoNotOptimize(fields);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ParseRecordViews)->Unit(benchmark::kMillisecond);

void BM_CountRecords(benchmark::State& state) {
    const std::string& text = csvText();
    for (auto _ : state)
        benchmark::DoNotOptimize(CountRecords(text, Separator::of(',')));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_CountRecords)->Unit(benchmark::kMillisecond);

// 1,000,000 data rows of 20 data columns behind the two fixed columns.
const StringGrid& bigGrid() {
    static const StringGrid grid = [] {
        constexpr int kRows = 1'000'000;
        constexpr int kCols = 20;
        StringGrid g(kCols + 2, kRows + 1);
        g.setFixedCols(2);
        const std::vector<std::string> texts = {"12",         "abc", "東京都",     "a,b",
                                                "say \"hi\"", "",    "2024-06-01", "x y"};
        std::mt19937 rng(20);
        std::vector<std::string_view> row(kCols + 2);
        std::string number;
        for (int r = 1; r <= kRows; ++r) {
            number = std::to_string(r);
            row[0] = number;
            for (int c = 2; c < kCols + 2; ++c)
                row[c] = texts[rng() % texts.size()];
            g.setRow(r, row);
        }
        return g;
    }();
    return grid;
}

void BM_EncodeTable(benchmark::State& state) {
    const StringGrid& grid = bigGrid();
    std::size_t bytes = 0;
    for (auto _ : state) {
        const std::string text = EncodeTable(grid, 2, Separator::of(','));
        bytes = text.size();
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
    state.counters["rows/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * (grid.rowCount() - 1),
                           benchmark::Counter::kIsRate);
}
BENCHMARK(BM_EncodeTable)->Unit(benchmark::kMillisecond);

void BM_DetectAndDecodeUtf8(benchmark::State& state) {
    const std::string& text = csvText();
    for (auto _ : state) {
        state.PauseTiming();
        std::string bytes = text; // as read from a file, handed over
        state.ResumeTiming();
        const TextEncoding encoding = DetectEncoding(bytes);
        benchmark::DoNotOptimize(DecodeText(std::move(bytes), encoding).size());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_DetectAndDecodeUtf8)->Unit(benchmark::kMillisecond);

const std::string& cp932Text() {
    static const std::string bytes = *EncodeText(csvText(), TextEncoding::ShiftJis);
    return bytes;
}

// About 50 MB of Japanese only: ten fields a line of kanji, kana, half-width
// katakana and full-width digits.
const std::string& japaneseCp932Text() {
    static const std::string bytes = [] {
        std::mt19937 rng(932);
        const std::vector<std::string> words = {"東京都", "ｶﾀｶﾅ", "日本語テキスト", "名古屋市中区",
                                                "山田　太郎", "２０２４年", "髙橋"};
        std::string out;
        out.reserve(52'000'000);
        while (out.size() < 50'000'000) {
            for (int f = 0; f < 10; ++f) {
                if (f > 0) out += ',';
                out += words[rng() % words.size()];
            }
            out += "\r\n";
        }
        return *EncodeText(out, TextEncoding::ShiftJis);
    }();
    return bytes;
}

const std::string& cp932Bench(const benchmark::State& state) {
    return state.range(0) == 0 ? cp932Text() : japaneseCp932Text();
}

// Argument 0: the table text above in CP932; 1: Japanese only. Real time:
// a large text is decoded on two threads.
void BM_DecodeCp932(benchmark::State& state) {
    const std::string& bytes = cp932Bench(state);
    for (auto _ : state)
        benchmark::DoNotOptimize(DecodeText(bytes, TextEncoding::ShiftJis).size());
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_DecodeCp932)->Arg(0)->Arg(1)->UseRealTime()->Unit(benchmark::kMillisecond);

// As a file is read: from the bytes in place into memory of the text's own.
void BM_DecodeCp932Owned(benchmark::State& state) {
    const std::string& bytes = cp932Bench(state);
    for (auto _ : state)
        benchmark::DoNotOptimize(DecodeCp932(bytes).text.size());
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_DecodeCp932Owned)->Arg(0)->Arg(1)->UseRealTime()->Unit(benchmark::kMillisecond);

// The plain decode the fast one is checked against, as a file was read
// before: the bytes copied, then decoded.
void BM_DecodeCp932Reference(benchmark::State& state) {
    const std::string& bytes = cp932Bench(state);
    for (auto _ : state) {
        const std::string copy = bytes;
        benchmark::DoNotOptimize(DecodeCp932Reference(copy).size());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_DecodeCp932Reference)->Arg(0)->Arg(1)->UseRealTime()->Unit(benchmark::kMillisecond);

// A CP932 file of the table text read to its text as a load does (mapped,
// scanned, decoded), against a plain read of the same file into memory.
// Argument 0: ReadTextFile; 1: the plain read.
void BM_ReadCp932File(benchmark::State& state) {
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() / "tabulix-csv-bench-cp932.csv";
    std::ofstream(path, std::ios::binary) << cp932Text();
    for (auto _ : state) {
        if (state.range(0) == 0)
            benchmark::DoNotOptimize(ReadTextFile(path.string())->text().size());
        else
            benchmark::DoNotOptimize(ReadFileBytes(path.string())->size());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * cp932Text().size()));
    std::filesystem::remove(path);
}
BENCHMARK(BM_ReadCp932File)->Arg(0)->Arg(1)->UseRealTime()->Unit(benchmark::kMillisecond);

void BM_EncodeCp932(benchmark::State& state) {
    const std::string& text = csvText();
    for (auto _ : state) {
        state.PauseTiming();
        std::string utf8 = text; // a table text, handed over as WriteTable does
        state.ResumeTiming();
        benchmark::DoNotOptimize(EncodeText(std::move(utf8), TextEncoding::ShiftJis)->size());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_EncodeCp932)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
