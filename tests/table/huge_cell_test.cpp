#include "draw/ColumnWidths.h"
#include "table/Table.h"
#include "table/TableLayout.h"
#include "table/WidthRule.h"

#include <gtest/gtest.h>

#include <sys/mman.h>

namespace tabulix {
namespace {

// A cell of 2 GiB: its length no longer fits an int. The column still grows
// to the width limit rather than staying at the minimum.
TEST(HugeCell, ColumnWidthSaturatesAtTheLimit) {
    constexpr std::size_t kBytes = (std::size_t{1} << 31) + 8;
    // Untouched anonymous memory reads as zero bytes without being made
    // resident; only the grid's copy costs memory.
    void* memory = mmap(nullptr, kBytes, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(memory, MAP_FAILED);
    Table t;
    ResetTable(t, 2, 1, ResetMetrics{7.0, 21, 25, false});
    t.grid.setCell(2, 1, std::string_view(static_cast<const char*>(memory), kBytes));
    munmap(memory, kBytes);
    ASSERT_EQ(t.grid.cell(2, 1).size(), kBytes);
    ComputeColumnWidths(t.grid, t.colRecords, WidthRule{7.0, 25, false});
    EXPECT_EQ(t.grid.colWidth(2), 175); // the limit of 25 "A" widths
    EXPECT_EQ(t.colRecords[2].width, 175);
    EXPECT_EQ(t.grid.colWidth(3), 35); // the empty column keeps the minimum
}

} // namespace
} // namespace tabulix
