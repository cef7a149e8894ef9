#pragma once

namespace tabulix {

struct EditSession;
class StringGrid;
struct Table;

// Whole rows or whole columns: the row and column commands are one set of
// rules over either axis.
enum class Axis { Rows, Columns };

// Which copy wording the question uses.
enum class CopyWording { Selection, Clip, Move };

// The commands of the row- and column-header menus. Each acts on the
// operation range of its axis, or on the clicked line when there is none
// (the current line when nothing was clicked, as after a key press).
void InsertLines(EditSession& s, Axis axis);
// Copies the lines; returns the (adjusted) target, or -1 when declined.
int CopyLines(EditSession& s, Axis axis, CopyWording wording);
void DeleteLines(EditSession& s, Axis axis);
// Moves the clipped lines to the clicked line through a copy and a deletion.
void MoveClippedLines(EditSession& s, Axis axis);
// Copies the clipped lines to the clicked line; the clip stays.
void CopyClippedLines(EditSession& s, Axis axis);

// Whether the operation range holds lines of `axis`.
bool HasLineRange(const EditSession& s, Axis axis);

// A row (column) the grid moved by dragging from `from` to `to`: the records
// follow, numbers are refreshed and the move can be undone.
void LineDragged(EditSession& s, Axis axis, int from, int to);

// Shows (visible) or suppresses a column: a suppressed column is as wide as
// one "A"; shown again it takes its remembered width.
void SetColumnVisible(Table& table, int col, bool visible, double charWidth);
// The column display items: the operation range's columns or the clicked one.
void ColumnDisplay(EditSession& s, bool visible, double charWidth);

// The operation range becomes the clicked row (column) alone and the
// selection that whole line.
void RangeStart(EditSession& s, Axis axis);

} // namespace tabulix
