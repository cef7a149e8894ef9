#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace tabulix {

// Shade bits cover grid columns 0..128; later columns have no shade.
inline constexpr int kShadeColumns = 129;
inline constexpr int kShadeBytes = 17;

// One per grid row, moved with its row.
struct RowRecord {
    bool marked = false;
    std::array<std::uint8_t, kShadeBytes> shade{};
};

// One per grid column, moved with its column.
struct ColumnRecord {
    bool visible = true;
    bool marked = false;
    int width = 0;      // normal width, restored when a suppressed column is shown again
    int savedWidth = 0; // kept while printing narrows suppressed columns to 0
};

// The one file information record of the run.
struct TCsvFileInf {
    bool exists = false;
    bool loaded = false;
    std::string path;
    std::vector<std::string> lines;
    std::vector<std::string> fields;
    int lineCount = 0;
    int currentLine = 0;

    // Forgets that the lines belong to the table; the lines stay until the
    // next load replaces them.
    void clear();
};

} // namespace tabulix
