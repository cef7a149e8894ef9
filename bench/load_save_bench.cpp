// End-to-end load and save of a generated CSV file: read, decode, parse,
// fill, column widths and break shades; then write it back. Prints MB/s and,
// for comparison, a raw read of the same file into memory, done last.
//
//   load_save_bench [rows] [fields]     (default 1,000,000 x 10)
#include "draw/BreakShade.h"
#include "draw/ColumnWidths.h"
#include "csv/CsvWriter.h"
#include "csv/FileReading.h"
#include "table/Table.h"
#include "table/TableLayout.h"
#include "csv/TableLoader.h"

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

const char* const kWords[] = {"東京", "大阪",       "山田 太郎",   "ｶﾀｶﾅ",
                              "会員", "2024/03/15", "名古屋市中区"};

std::string makeField(std::mt19937& rng) {
    switch (rng() % 8) {
    case 0:
        return kWords[rng() % 7];
    case 1:
        return "\"quoted, " + std::to_string(rng() % 100000) + "\"";
    default: {
        std::string s;
        const int n = 1 + static_cast<int>(rng() % 9);
        for (int i = 0; i < n; ++i)
            s += static_cast<char>('a' + rng() % 26);
        return s;
    }
    }
}

void writeCsv(const fs::path& path, long rows, int fields) {
    std::mt19937 rng(42);
    std::ofstream out(path, std::ios::binary);
    std::string line;
    for (long r = 0; r < rows; ++r) {
        line.clear();
        for (int f = 0; f < fields; ++f) {
            if (f) line += ',';
            line += makeField(rng);
        }
        line += "\r\n";
        out << line;
    }
}

double seconds(Clock::time_point from) {
    return std::chrono::duration<double>(Clock::now() - from).count();
}

long peakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

} // namespace

int main(int argc, char** argv) {
    const long rows = argc > 1 ? std::atol(argv[1]) : 1'000'000;
    const int fields = argc > 2 ? std::atoi(argv[2]) : 10;
    const fs::path file = fs::temp_directory_path() / "tabulix-load-bench.csv";
    const fs::path saved = fs::temp_directory_path() / "tabulix-save-bench.csv";
    writeCsv(file, rows, fields);
    const double mb = static_cast<double>(fs::file_size(file)) / 1e6;
    std::printf("file: %ld rows x %d fields, %.1f MB\n", rows, fields, mb);
    const long before = peakMegabytes();

    auto t = Clock::now();
    tabulix::Table table;
    {
        auto text = tabulix::ReadTextFile(file.string());
        const tabulix::ResetMetrics metrics{7.0, 21, 25, false};
        tabulix::FillTable(table, text->text(), tabulix::Separator::of(','), metrics, {});
    }
    const double fillSeconds = seconds(t);
    tabulix::RecomputeBreakShadesAlongside(table, [&table] {
        tabulix::ComputeColumnWidths(table.grid, table.colRecords,
                                     tabulix::WidthRule{7.0, 25, false});
    });
    const double loadSeconds = seconds(t);
    const long loadPeak = peakMegabytes();
    std::printf("load:       %7.3f s  %7.1f MB/s  (fill %.3f s, widths and shades %.3f s)\n",
                loadSeconds, mb / loadSeconds, fillSeconds, loadSeconds - fillSeconds);
    std::printf("rows in the grid: %d, columns: %d\n", table.grid.rowCount() - 1,
                table.grid.colCount() - 2);

    t = Clock::now();
    const auto result = tabulix::WriteTable(table.grid, saved.string(), tabulix::Separator::of(','),
                                            tabulix::TextEncoding::Utf8);
    const double saveSeconds = seconds(t);
    const double savedMb = static_cast<double>(fs::file_size(saved)) / 1e6;
    std::printf("save:       %7.3f s  %7.1f MB/s  (%.1f MB, %s)\n", saveSeconds,
                savedMb / saveSeconds, savedMb,
                result == tabulix::WriteTableResult::Ok ? "ok" : "FAILED");

    // Last, so that its copy of the file is no part of the load's memory.
    t = Clock::now();
    const auto raw = tabulix::ReadFileBytes(file.string());
    const double rawSeconds = seconds(t);
    std::printf("raw read:   %7.3f s  %7.1f MB/s\n", rawSeconds, mb / rawSeconds);

    std::printf("peak memory: load %ld MB (%.2f x the file; %ld MB before loading), "
                "whole run %ld MB (save and raw copy included)\n",
                loadPeak, static_cast<double>(loadPeak) / mb, before, peakMegabytes());
    fs::remove(file);
    fs::remove(saved);
    return raw && result == tabulix::WriteTableResult::Ok ? 0 : 1;
}
