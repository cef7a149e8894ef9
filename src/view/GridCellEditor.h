#pragma once

#include <QObject>

class QInputMethodEvent;

namespace tabulix {

class GridWidget;
class CellMemo;

// Typing into a grid that is edited as plain text (the search results): a
// typed character or an input-method composition opens the cell memo over
// the current cell on its text, and leaving the memo writes the text into
// the grid's cell (line breaks kept, an unchanged cell left as it was).
class GridCellEditor : public QObject {
    Q_OBJECT

public:
    explicit GridCellEditor(GridWidget* grid);
    ~GridCellEditor() override;

    CellMemo* memo() const { return memo_; }
    void openMemo();

Q_SIGNALS:
    void cellEdited(int col, int row);

private:
    void memoLeft();
    bool inputMethod(QInputMethodEvent* event);

    GridWidget* grid_;
    CellMemo* memo_;
    int col_ = -1;
    int row_ = -1;
};

} // namespace tabulix
