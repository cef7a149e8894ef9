#pragma once

namespace tabulix {

struct EditSession;
class StringGrid;

// The Edit menu's undo: takes back the newest command, and in the same step
// the one before it when the newest was chained to it (an import's added
// columns, a move's deletion half). A command that no longer fits the table
// (the table was cleared since) is not applied: the history is cleared
// instead, so nothing is ever written outside the table.
void Mn_UndoClick(EditSession& s);

// Undoes one command; true when it was chained to the one before it.
bool UndoOneStep(EditSession& s);

// Clears the undo history and tells the host.
void ClearHistory(EditSession& s, bool clearHighlight);

} // namespace tabulix
