#pragma once

#include <string>

namespace tabulix {

struct Table;
class TableEvents;
class UserDialogs;

// What the sort window needs of the window that owns the table.
class SortHost {
public:
    virtual ~SortHost() = default;

    virtual Table& table() = 0;
    virtual TableEvents& tableEvents() = 0;
    virtual UserDialogs& dialogs() = 0;
    // The chosen item of the column-name list, and its text.
    virtual int nameRow() const = 0;
    virtual std::string nameRowCaption() const = 0;
    // Width of "A" and the default row height of the table's grid.
    virtual double charWidth() const = 0;
    virtual int defaultRowHeight() const = 0;
    // Height of the owner's reference combo box (the windows' margins).
    virtual int referenceHeight() const = 0;

    virtual void forgetClick() = 0;
    virtual void repaintGrid() = 0;
    // While a sort runs the owner takes no commands and hides its grid.
    virtual void setSorting(bool on) = 0;
    // The table was sorted: column numbers, the fixed-column chooser and
    // display, the break shades, the modified flag.
    virtual void sortFinished() = 0;
    // The owner comes forward with its grid focused.
    virtual void bringForward() = 0;
};

} // namespace tabulix
