#pragma once

#include "csv/FileWriting.h"
#include "csv/Separators.h"
#include "csv/TextEncoding.h"

#include <span>
#include <string>
#include <string_view>

namespace tabulix {

class StringGrid;

// One line of delimited text, without its line end. Nothing is ever removed:
// a field is enclosed in quotes when it holds the separator, a comma, a quote,
// CR or LF, and its quotes are doubled; with the blank separator an empty
// field is written as `""`. A line that would consist of nothing but blanks
// and control characters although a field holds text gets its first such
// field quoted, because a reader takes a blank line for a record without
// fields. With Separator::none() the fields are joined as they are.
std::string EncodeCsvRow(std::span<const std::string_view> fields, Separator sep);

// Grid rows 1 .. rowCount - 1, each as one line of exactly colCount -
// fixedCols fields (the first fixedCols columns are not written), every line
// ending with CR LF, the last one included. Row 0 is never written.
std::string EncodeTable(const StringGrid& grid, int fixedCols, Separator sep);

enum class WriteTableResult {
    Ok,
    Unencodable, // a cell cannot be written in the encoding; nothing was written
    Failed,      // the file could not be written; the old file is intact
};

// A grid cell.
struct TextPosition {
    int row = 0;
    int col = 0;
};

// EncodeTable of the grid without its fixed columns, encoded and written
// safely, a piece at a time (a huge row too); a table of several batches of
// rows has its text made on two other threads meanwhile, reading the grid,
// which must not change until this returns. When the encoding cannot hold a
// character of a cell, or a kept invalid byte of a cell cannot be kept apart
// from its neighbour, the old file stays as it was and `unwritable` (when
// given) tells the cell.
WriteTableResult WriteTable(const StringGrid& grid, const std::string& path, Separator sep,
                            TextEncoding encoding, TextPosition* unwritable = nullptr);

} // namespace tabulix
