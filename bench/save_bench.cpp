// Saving a generated table, and what bounds it: the encoding of the rows
// alone (EncodeTable, in memory), the safe writer alone (the encoded bytes
// written through it in 1 MiB pieces, synced as every save is), and the save
// itself (WriteTable) in UTF-8, CP932 and UTF-16. Each figure is the median
// of several runs.
//
//   save_bench [rows] [fields] [runs]     (default 1,000,000 x 10, 5 runs)
#include "BenchRandom.h"
#include "csv/CsvWriter.h"
#include "csv/FileWriting.h"
#include "table/StringGrid.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

// Mixed ASCII, Japanese and fields that need quotes, as in load_save_bench.
std::string makeField(tabulix::Lcg& rng) {
    switch (rng.next() % 8) {
    case 0:
        return tabulix::kMixedWords[rng.next() % tabulix::kMixedWordCount];
    case 1:
        return "quoted, \"" + std::to_string(rng.next() % 100000) + "\"";
    default: {
        std::string s;
        const unsigned n = 1 + rng.next() % 9;
        for (unsigned i = 0; i < n; ++i)
            s += static_cast<char>('a' + rng.next() % 26);
        return s;
    }
    }
}

// A grid like a loaded table: a fixed first column, then the fields.
void fillGrid(tabulix::StringGrid& grid, int rows, int fields) {
    grid.setColCount(fields + 1);
    grid.setRowCount(rows + 1);
    grid.setFixedCols(1);
    tabulix::Lcg rng{42};
    std::vector<std::string> texts(static_cast<std::size_t>(fields) + 1);
    for (int row = 1; row <= rows; ++row) {
        for (int f = 1; f <= fields; ++f)
            texts[static_cast<std::size_t>(f)] = makeField(rng);
        grid.setRow(row, texts);
    }
}

// The median seconds of `runs` runs of `work`.
double median(int runs, const std::function<void()>& work) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const auto start = Clock::now();
        work();
        times.push_back(std::chrono::duration<double>(Clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void report(const char* what, double seconds, double megabytes) {
    std::printf("%-22s %7.3f s  %7.1f MB/s  (%.1f MB)\n", what, seconds, megabytes / seconds,
                megabytes);
}

} // namespace

int main(int argc, char** argv) {
    const int rows = argc > 1 ? std::atoi(argv[1]) : 1'000'000;
    const int fields = argc > 2 ? std::atoi(argv[2]) : 10;
    const int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 5;
    const fs::path saved = fs::temp_directory_path() / "tabulix-save-bench.csv";
    tabulix::StringGrid grid;
    fillGrid(grid, rows, fields);
    const tabulix::Separator comma = tabulix::Separator::of(',');

    std::string text;
    const double encode = median(runs, [&] { text = tabulix::EncodeTable(grid, 1, comma); });
    const double mb = static_cast<double>(text.size()) / 1e6;
    std::printf("table: %d rows x %d fields, %.1f MB as UTF-8\n", rows, fields, mb);
    report("encode rows (memory)", encode, mb);

    bool ok = true;
    const double write = median(runs, [&] {
        ok = tabulix::WriteFileAtomically(
                 saved.string(),
                 [&](const tabulix::ByteSink& sink) {
                     for (std::size_t at = 0; at < text.size(); at += std::size_t{1} << 20)
                         if (!sink(std::string_view(text).substr(at, std::size_t{1} << 20)))
                             return false;
                     return true;
                 })
                 .ok() &&
             ok;
    });
    report("write bytes (synced)", write, mb);
    text = {};

    const struct {
        const char* name;
        tabulix::TextEncoding encoding;
    } saves[] = {{"save UTF-8", tabulix::TextEncoding::Utf8},
                 {"save CP932", tabulix::TextEncoding::ShiftJis},
                 {"save UTF-16LE", tabulix::TextEncoding::Utf16Le}};
    for (const auto& save : saves) {
        const double seconds = median(runs, [&] {
            ok = tabulix::WriteTable(grid, saved.string(), comma, save.encoding) ==
                     tabulix::WriteTableResult::Ok &&
                 ok;
        });
        report(save.name, seconds, static_cast<double>(fs::file_size(saved)) / 1e6);
    }
    fs::remove(saved);
    if (!ok) std::printf("a save FAILED\n");
    return ok ? 0 : 1;
}
