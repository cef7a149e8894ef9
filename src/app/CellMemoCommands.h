#pragma once

#include <QObject>

class QInputMethodEvent;

namespace tabulix {

class TFm_Tabulix01;
class CellMemo;
struct EditSession;

// Opens the cell memo over the grid's current cell and commits what was
// typed when it is left; after Enter or Escape the cursor moves on as the
// "ｶｰｿﾙ 移動" list says. Japanese typed through an input method opens the
// memo and goes on in it.
class CellMemoCommands : public QObject {
    Q_OBJECT

public:
    CellMemoCommands(TFm_Tabulix01& window, EditSession& session);

    CellMemo* memo() const { return memo_; }
    void openMemo();
    // Commits an open memo now, as leaving it would.
    void finishEditing();

private:
    void memoLeft(bool byKey);
    bool inputMethod(QInputMethodEvent* event);
    QRect memoRect(int col, int row) const;

    TFm_Tabulix01& window_;
    EditSession& session_;
    CellMemo* memo_ = nullptr;
    int col_ = -1;
    int row_ = -1;
};

} // namespace tabulix
