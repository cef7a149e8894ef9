#pragma once

#include "csv/TableLoader.h"
#include "table/Table.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace tabulix::fuzz {

// Limits that keep one run small and never read the machine's memory state,
// so that every run of an input behaves the same.
inline LoadLimits fuzzLimits() {
    return LoadLimits{1u << 20, 1u << 20, std::uint64_t{1} << 30};
}

inline const ResetMetrics kMetrics{7.0, 21, 25, false};

// Stops the run with a message naming what broke; libFuzzer keeps the input.
[[noreturn]] inline void fail(const char* what, std::string_view detail = {}) {
    std::fprintf(stderr, "fuzz check failed: %s %.*s\n", what, static_cast<int>(detail.size()),
                 detail.data());
    std::abort();
}

inline void check(bool ok, const char* what, std::string_view detail = {}) {
    if (!ok) fail(what, detail);
}

// The data cells of two tables are the same, and so are their sizes.
inline void checkSameCells(const Table& a, const Table& b, const char* what) {
    const StringGrid& x = a.grid;
    const StringGrid& y = b.grid;
    check(x.rowCount() == y.rowCount(), what, "row count");
    check(x.colCount() == y.colCount(), what, "column count");
    for (int r = 1; r < x.rowCount(); ++r)
        for (int c = kFirstDataCol; c < x.colCount(); ++c)
            check(x.cell(c, r) == y.cell(c, r), what, x.cell(c, r));
}

} // namespace tabulix::fuzz
