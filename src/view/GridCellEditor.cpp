#include "view/GridCellEditor.h"

#include "table/StringGrid.h"
#include "text/MemoText.h"
#include "view/CellMemo.h"
#include "view/GridWidget.h"

#include <QInputMethodEvent>

namespace tabulix {

GridCellEditor::GridCellEditor(GridWidget* grid)
    : QObject(grid), grid_(grid), memo_(new CellMemo(grid->parentWidget())) {
    connect(grid, &GridWidget::textTyped, this, &GridCellEditor::openMemo);
    connect(memo_, &CellMemo::left, this, &GridCellEditor::memoLeft);
    grid->setInputMethodHook([this](QInputMethodEvent* event) { return inputMethod(event); });
}

GridCellEditor::~GridCellEditor() {
    grid_->setInputMethodHook({});
}

void GridCellEditor::openMemo() {
    const StringGrid* cells = grid_->grid();
    const int col = grid_->currentCol();
    const int row = grid_->currentRow();
    if (!cells || memo_->isOpen() || col < cells->fixedCols() || row < cells->fixedRows()) return;
    col_ = col;
    row_ = row;
    memo_->openOver(grid_, col, row, MemoTextOf(cells->cell(col, row)), Qt::white);
}

void GridCellEditor::memoLeft() {
    if (grid_->isVisible()) grid_->setFocus();
    StringGrid* cells = grid_->grid();
    if (!cells || col_ >= cells->colCount() || row_ >= cells->rowCount()) return;
    const std::string_view old = cells->cell(col_, row_);
    const std::string text = CellTextFromMemo(old, memo_->memoText());
    if (text == old) return;
    cells->setCell(col_, row_, text);
    grid_->viewport()->update();
    Q_EMIT cellEdited(col_, row_);
}

bool GridCellEditor::inputMethod(QInputMethodEvent* event) {
    return memo_->takeOverComposition(event, [this] { openMemo(); });
}

} // namespace tabulix
