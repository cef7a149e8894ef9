#pragma once

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
};

// The break-shade bits of the rows, for grid columns 0..128: each row takes
// the bytes the table's columns need (two for a table of ten columns), not
// the seventeen of the widest table. They stay at their row index when rows
// move: every change of rows recomputes the shades from its first changed
// row, and the rows above it keep theirs.
class ShadeBits {
public:
    bool test(int row, int col) const;
    void set(int row, int col, bool on);
    // Room for rows 0 .. rows - 1 and columns 0 .. cols - 1 (at most 129),
    // keeping the bits there are; it never shrinks.
    void fit(int rows, int cols);
    void clear();

    int rowCount() const { return rows_; }
    // Bytes per row: bit c of a row is bit (7 - c % 8) of its byte c / 8.
    int stride() const { return stride_; }
    std::uint8_t* row(int r) { return bits_.data() + static_cast<std::size_t>(r) * stride_; }

private:
    int rows_ = 0;
    int stride_ = 0;
    std::vector<std::uint8_t> bits_;
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
