// End-to-end load and save of a generated CSV file: read, decode, parse,
// fill, and the window's layout (fixed column, widths, row heights, break
// shades); then write it back. Prints MB/s and, for comparison, a plain read
// of the same file into fresh memory (before and after the load), with the
// load's time as a multiple of it.
//
//   load_save_bench [rows] [fields] [utf8|cp932]   (default 1,000,000 x 10, utf8)
//
// KEEP=1 in the environment keeps the generated file in the temporary folder;
// REUSE=1 loads the file kept there instead of writing a new one (for profiling
// the load alone).
#include "BenchRandom.h"
#include "draw/LoadedLayout.h"
#include "csv/CsvWriter.h"
#include "csv/FileReading.h"
#include "csv/TextEncoding.h"
#include "table/Table.h"
#include "table/TableLayout.h"
#include "csv/TableLoader.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

std::string makeField(std::mt19937& rng) {
    switch (rng() % 8) {
    case 0:
        return tabulix::kMixedWords[rng() % tabulix::kMixedWordCount];
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

void writeCsv(const fs::path& path, long rows, int fields, tabulix::TextEncoding encoding) {
    std::mt19937 rng(42);
    std::ofstream out(path, std::ios::binary);
    std::string text;
    std::string line;
    for (long r = 0; r < rows; ++r) {
        line.clear();
        for (int f = 0; f < fields; ++f) {
            if (f) line += ',';
            line += makeField(rng);
        }
        line += "\r\n";
        text += line;
        if (text.size() >= (1u << 20) || r + 1 == rows) {
            std::string bytes;
            tabulix::AppendEncoded(text, encoding, bytes);
            out << bytes;
            text.clear();
        }
    }
}

double seconds(Clock::time_point from) {
    return std::chrono::duration<double>(Clock::now() - from).count();
}

// A line of /proc/self/status in MB ("VmHWM:" the peak, "VmRSS:" now).
double statusMegabytes(const char* name) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(name, 0) == 0) return std::atof(line.c_str() + std::strlen(name)) / 1024.0;
    return 0;
}

void resetPeak() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

// The plain read: the file's bytes copied into fresh memory.
double plainRead(const fs::path& file) {
    const auto t = Clock::now();
    const auto raw = tabulix::ReadFileBytes(file.string());
    return raw ? seconds(t) : 0;
}

} // namespace

int main(int argc, char** argv) {
    const long rows = argc > 1 ? std::atol(argv[1]) : 1'000'000;
    const int fields = argc > 2 ? std::atoi(argv[2]) : 10;
    const bool cp932 = argc > 3 && std::strcmp(argv[3], "cp932") == 0;
    const auto encoding = cp932 ? tabulix::TextEncoding::ShiftJis : tabulix::TextEncoding::Utf8;
    const fs::path file = fs::temp_directory_path() / "tabulix-load-bench.csv";
    const fs::path saved = fs::temp_directory_path() / "tabulix-save-bench.csv";
    if (!std::getenv("REUSE") || !fs::exists(file)) writeCsv(file, rows, fields, encoding);
    const double mb = static_cast<double>(fs::file_size(file)) / 1e6;
    std::printf("file: %ld rows x %d fields, %.1f MB, %s\n", rows, fields, mb,
                cp932 ? "CP932" : "UTF-8");
    const double rawBefore = plainRead(file);

    const double rssBefore = statusMegabytes("VmRSS:");
    resetPeak();
    auto t = Clock::now();
    tabulix::Table table;
    {
        auto text = tabulix::ReadTextFile(file.string());
        const tabulix::ResetMetrics metrics{7.0, 21, 25, false};
        tabulix::FillTable(table, text->text(), tabulix::Separator::of(','), metrics, {}, {},
                           tabulix::LoadLimits::ofMachine(),
                           [&text](std::string_view part) { text->letGo(part); });
    }
    const double fillSeconds = seconds(t);
    tabulix::LoadedLayout layout;
    layout.fixedRowsItem = 0;
    layout.widths = tabulix::WidthRule{7.0, 25, false};
    layout.charHeight = 15;
    tabulix::LayOutLoadedTable(table, layout);
    const double loadSeconds = seconds(t);
    const double loadPeak = statusMegabytes("VmHWM:") - rssBefore;
    const double settled = statusMegabytes("VmRSS:") - rssBefore;
    std::printf("load:       %7.3f s  %7.1f MB/s  (fill %.3f s, layout %.3f s)\n",
                loadSeconds, mb / loadSeconds, fillSeconds, loadSeconds - fillSeconds);
    std::printf("rows in the grid: %d, columns: %d\n", table.grid.rowCount() - 1,
                table.grid.colCount() - 2);

    t = Clock::now();
    const auto result =
        tabulix::WriteTable(table.grid, saved.string(), tabulix::Separator::of(','), encoding);
    const double saveSeconds = seconds(t);
    const double savedMb = static_cast<double>(fs::file_size(saved)) / 1e6;
    std::printf("save:       %7.3f s  %7.1f MB/s  (%.1f MB, %s)\n", saveSeconds,
                savedMb / saveSeconds, savedMb,
                result == tabulix::WriteTableResult::Ok ? "ok" : "FAILED");

    const double rawAfter = plainRead(file);
    const double raw = (rawBefore + rawAfter) / 2;
    std::printf("plain read: %7.3f s  %7.1f MB/s  (before the load %.3f s, after %.3f s)\n", raw,
                mb / raw, rawBefore, rawAfter);
    std::printf("load / plain read: %.2f\n", loadSeconds / raw);
    std::printf("memory of the load: peak %.0f MB (%.2f x the file), settled table %.0f MB "
                "(%.2f x the file)\n",
                loadPeak, loadPeak / mb, settled, settled / mb);
    if (!std::getenv("KEEP")) fs::remove(file);
    fs::remove(saved);
    return rawAfter > 0 && result == tabulix::WriteTableResult::Ok ? 0 : 1;
}
