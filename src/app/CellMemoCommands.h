#pragma once

#include "table/TableEvents.h"

#include <QObject>

class QInputMethodEvent;

namespace tabulix {

class TFm_Tabulix01;
class CellMemo;
class GridWidget;
class SingleRowEditor;
struct EditSession;

// Opens the cell memo over the grid's current cell and commits what was
// typed when it is left; after Enter or Escape the cursor moves on as the
// "ｶｰｿﾙ 移動" list says. Japanese typed through an input method opens the
// memo and goes on in it.
class CellMemoCommands : public QObject, private TableListener {
    Q_OBJECT

public:
    // Its parent must go before the window's table does.
    CellMemoCommands(TFm_Tabulix01& window, EditSession& session, QObject* parent);
    ~CellMemoCommands() override;

    CellMemo* memo() const { return memo_; }
    // While the single-row editor is open the memo edits its content lines.
    void setRowEditor(SingleRowEditor* editor);
    void openMemo();
    // Commits an open memo now, as leaving it would.
    void finishEditing();

private:
    void memoLeft(bool byKey);
    // A table replaced under an open memo: its cell is gone, nothing is
    // committed.
    void tableReset() override;
    bool inputMethod(QInputMethodEvent* event);
    bool inRowEditor() const;

    TFm_Tabulix01& window_;
    EditSession& session_;
    CellMemo* memo_ = nullptr;
    int col_ = -1;
    int row_ = -1;
    bool discard_ = false;
    bool onRowEditor_ = false; // the open memo edits a line of the single-row editor
    SingleRowEditor* rowEditor_ = nullptr;
};

} // namespace tabulix
