#pragma once

#include "csv/TextEncoding.h"

#include <string>

namespace tabulix {

struct EditSession;
struct Table;
class StringGrid;

// Marks on rows and columns: kept in their records, painted green, carried
// with their lines and never written into the table's file. The marked data
// (marked rows and columns, all of one kind when none of it is marked) can
// be printed or saved.

enum class MarkAction { Set, Clear, ClearAll };

// The rows (columns) of the selection marked or unmarked; clear all asks
// first and unmarks every data row (column).
void MarkRows(EditSession& s, MarkAction action);
void MarkColumns(EditSession& s, MarkAction action);

// A double click on a line's header flips its mark.
void FlipRowMark(Table& table, int row);
void FlipColumnMark(Table& table, int col);
// The number of marked columns, kept in the table for the drawing.
void RecountMarkedColumns(Table& table);

// `work` becomes the fixed rows and columns of the table with the chosen
// rows and columns packed after them, in the table's order, with their
// sizes and texts (row numbers and column numbers as the table shows them).
// False, with `work` untouched, when nothing is marked.
bool BuildMarkedData(const Table& table, StringGrid& work);

// The save of the marked data: the file asked for (from "Path_SelectFile",
// which takes the chosen path) and the data written in `encoding`.
void SaveMarkedData(EditSession& s, StringGrid& work, std::string& pathSelectFile,
                    const std::string& pathEditFile, const std::string& programFolder,
                    TextEncoding encoding);

} // namespace tabulix
