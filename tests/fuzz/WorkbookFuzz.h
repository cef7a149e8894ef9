#pragma once

// What every workbook fuzz target checks of an opened workbook: each sheet
// reads or is refused with a reason, and what is read loads as a table.
#include "FuzzSupport.h"
#include "StoredZip.h"

#include "workbook/Workbook.h"

namespace tabulix::fuzz {

// Small limits, so that one input stays one quick run.
inline const WorkbookLimits kWorkbookLimits{1u << 20, 20000};

inline void checkWorkbook(const OpenedWorkbook& opened) {
    check((opened.book == nullptr) == (opened.problem != WorkbookProblem::None), "open result");
    if (!opened.book) return;
    const std::size_t sheets = opened.book->sheetNames().size();
    for (std::size_t i = 0; i < sheets && i < 3; ++i) {
        const SheetText sheet = opened.book->readSheet(i);
        if (sheet.problem != WorkbookProblem::None) {
            check(sheet.lines.empty(), "refused sheet with lines");
            continue;
        }
        check(sheet.lines.empty() || sheet.lines.ends_with("\r\n"), "last line end");
        // A sheet far down is one of many empty lines: loading it proves little.
        if (sheet.lines.size() > (1u << 16)) continue;
        Table table;
        const auto records = FillTable(table, sheet.lines, Separator::of(','), kMetrics, {},
                                       LoadedRowLayout{}, fuzzLimits());
        check(records.has_value(), "sheet does not load");
    }
}

} // namespace tabulix::fuzz
