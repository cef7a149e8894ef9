// Saving a table whose one cell is huge: the writer streams such a row in
// pieces, so the memory the save adds stays small beside the cell.
//
//   huge_cell_save_bench [MiB]     (default 2048: a 2 GiB cell)
#include "csv/CsvWriter.h"
#include "table/StringGrid.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

// Peak resident memory since the last reset, in MB (Linux).
long peakMegabytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6) / 1024;
    return -1;
}

void resetPeak() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

} // namespace

int main(int argc, char** argv) {
    const std::size_t mib = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 2048;
    const auto saved = std::filesystem::temp_directory_path() / "tabulix-huge-cell.csv";
    tabulix::StringGrid grid(4, 3);
    grid.setFixedCols(2);
    {
        // Quotes to double and a comma, so the field is written quoted.
        std::string cell(mib << 20, 'x');
        for (std::size_t i = 0; i < cell.size(); i += 4096)
            cell[i] = i % 8192 ? '"' : ',';
        grid.setCell(2, 1, cell);
    }
    grid.setCell(3, 2, "after");
    resetPeak();
    const long before = peakMegabytes();
    const auto start = std::chrono::steady_clock::now();
    const auto result = tabulix::WriteTable(grid, saved.string(), tabulix::Separator::of(','),
                                            tabulix::TextEncoding::Utf8);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const long peak = peakMegabytes();
    std::printf("cell %zu MiB: save %.2f s, %s; resident before %ld MB, peak during save %ld MB "
                "(%.2f x the cell)\n",
                mib, seconds, result == tabulix::WriteTableResult::Ok ? "ok" : "FAILED", before,
                peak, static_cast<double>(peak) / static_cast<double>(mib * 1.048576));
    std::filesystem::remove(saved);
    return result == tabulix::WriteTableResult::Ok ? 0 : 1;
}
