#pragma once

#include "csv/Separators.h"
#include "table/UserDialogs.h"

#include <string>
#include <string_view>

namespace tabulix {

class StringGrid;

// The display-content output: a range of records (grid rows 1 ..) written
// as CSV lines without the fixed columns.

struct OutputRange {
    int first = 1;
    int last = 1;
};

// The range typed in the two fields: digits only (commas and everything
// else dropped), an empty second field taking the first, swapped when
// reversed, 0 read as 1, and both cut at the last record.
OutputRange ReadOutputRange(std::string_view firstField, std::string_view lastField,
                            int lastRecord);

// The proposed file: the table's path with its extension replaced by
// "_02.csv", or TABULIX.CSV in the program's folder for a table without one.
std::string DefaultOutputName(std::string_view tablePath, std::string_view programFolder);

FileDialogRequest OutputFileRequest(std::string_view tablePath, std::string_view programFolder);

// Record `row`'s line without the first `fixedCols` cells; empty for a row
// beyond the grid.
std::string OutputLine(const StringGrid& grid, int row, Separator sep);

std::string OutputQuestion(std::string_view path, const OutputRange& range);
// The notice after more than 1000 lines, which are then not shown.
std::string OutputDoneNotice(std::string_view path, const OutputRange& range);

} // namespace tabulix
