#pragma once

#include "csv/Separators.h"
#include "table/WidthRule.h"

namespace tabulix {

struct Table;
struct EditState;
struct CellRange;
struct DisplayOptions;
class UndoHistory;
class UserDialogs;
class Clipboard;

// The Confirm menu's check items.
enum class ConfirmItem { Paste, Clear, Insert, Copy, Move, Delete };

// What the editing commands need from the window that shows the table: the
// grid view's cursor, selection and scroll position, the refreshes that
// follow a change, and the settings that steer a command. The main window
// implements it; the tests script it.
class EditHost {
public:
    virtual ~EditHost() = default;

    virtual int currentCol() const = 0;
    virtual int currentRow() const = 0;
    // Moves the current cell without any side effect and collapses the
    // selection onto it.
    virtual void setCurrentCell(int col, int row) = 0;
    virtual void setSelection(int left, int top, int right, int bottom) = 0;
    // The selection rectangle (normalised, data cells only).
    virtual CellRange selection() const = 0;
    virtual int topRow() const = 0;
    virtual int leftCol() const = 0;
    virtual int lastVisibleRow() const = 0;
    virtual int lastVisibleCol() const = 0;
    virtual void setTopRow(int row) = 0;
    virtual void setLeftCol(int col) = 0;
    virtual void repaint() = 0;
    virtual void focusGrid() = 0;
    virtual void setBusy(bool busy) = 0;

    // After a change of the column structure: column numbers, fixed-column
    // list and display, counters, the windows' column lists, caption.
    virtual void refreshColumns() = 0;
    // After rows were inserted, deleted or moved: row numbers from `fromRow`
    // down (rows above keep theirs), header rows, counters, stale results.
    virtual void rowsChanged(int fromRow) = 0;
    // Column 1 of rows first .. first + count - 1 from the chosen column.
    virtual void refillFixedColumn(int first, int count) = 0;

    virtual bool modified() const = 0;
    virtual void setModified(bool modified) = 0;
    virtual bool breakShades() const = 0;
    virtual bool confirmChecked(ConfirmItem item) const = 0;
    virtual WidthRule widthRule() const = 0;
    // How cells show their text, for the width an edited cell needs.
    virtual DisplayOptions displayOptions() const = 0;
    virtual Separator separator() const = 0;
    virtual void setSeparator(Separator separator) = 0;
    // The undo items' captions follow the history.
    virtual void historyChanged() = 0;
};

// Everything an editing command works on.
struct EditSession {
    Table& table;
    EditState& edit;
    UndoHistory& history;
    EditHost& host;
    UserDialogs& dialogs;
};

} // namespace tabulix
