#pragma once

#include "csv/Separators.h"
#include "csv/TextEncoding.h"

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <system_error>

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

struct WriteResult {
    std::error_code error; // what failed; empty after a successful write
    bool ok() const { return !error; }
};

// Replaces the file at `path` by `bytes` so that a failure never damages it:
// the bytes go to a temporary file beside the real file (symbolic links are
// followed to it), which takes the file's mode and owner, is synced and then
// renamed over it. Where the folder is not writable but the file is, the file
// is overwritten in place (room is reserved first, so a full disk fails before
// anything changes). A file we may not write is not replaced. On failure the
// old file is intact and no temporary file is left.
WriteResult WriteFileAtomically(const std::string& path, std::string_view bytes);

// Takes the next piece of a file's bytes; false when it could not be written.
using ByteSink = std::function<bool(std::string_view)>;
// Hands all of a file's bytes to the sink, piece by piece; false to stop (a
// sink's failure, or the source's own reason).
using ByteSource = std::function<bool(const ByteSink&)>;

// The same for bytes made while they are written, so that they never need to
// be in memory at once. A source that stops leaves the old file intact; its
// own stop is reported as operation_canceled.
WriteResult WriteFileAtomically(const std::string& path, const ByteSource& source);

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
// safely, a piece at a time (a huge row too). When the encoding cannot hold a
// character of a cell, or a kept invalid byte of a cell cannot be kept apart
// from its neighbour, the old file stays as it was and `unwritable` (when
// given) tells the cell.
WriteTableResult WriteTable(const StringGrid& grid, const std::string& path, Separator sep,
                            TextEncoding encoding, TextPosition* unwritable = nullptr);

} // namespace tabulix
