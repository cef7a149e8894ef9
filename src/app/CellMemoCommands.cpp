#include "app/CellMemoCommands.h"

#include "app/SingleRowEditor.h"
#include "app/TFm_Tabulix01.h"
#include "edit/CellEdit.h"
#include "edit/EditSession.h"
#include "view/CellMemo.h"
#include "view/GridFont.h"
#include "view/GridWidget.h"

#include <QComboBox>
#include <QInputMethodEvent>

namespace tabulix {

CellMemoCommands::CellMemoCommands(TFm_Tabulix01& window, EditSession& session,
                                   QObject* parent)
    : QObject(parent), window_(window), session_(session),
      memo_(new CellMemo(window.gridWidget()->parentWidget())) {
    connect(memo_, &CellMemo::left, this, &CellMemoCommands::memoLeft);
    window.gridWidget()->setInputMethodHook(
        [this](QInputMethodEvent* event) { return inputMethod(event); });
    window.tableEvents().subscribe(this);
}

CellMemoCommands::~CellMemoCommands() {
    window_.tableEvents().unsubscribe(this);
    window_.gridWidget()->setInputMethodHook({});
    if (rowEditor_) rowEditor_->vertWidget()->setInputMethodHook({});
}

void CellMemoCommands::tableReset() {
    discard_ = true;
    memo_->leave();
    discard_ = false;
}

void CellMemoCommands::setRowEditor(SingleRowEditor* editor) {
    rowEditor_ = editor;
    editor->vertWidget()->setInputMethodHook(
        [this](QInputMethodEvent* event) { return inputMethod(event); });
}

bool CellMemoCommands::inRowEditor() const {
    return rowEditor_ && rowEditor_->isOpen();
}

void CellMemoCommands::openMemo() {
    const bool vert = inRowEditor();
    GridWidget* grid = vert ? rowEditor_->vertWidget() : window_.gridWidget();
    const StringGrid& g = vert ? window_.VertGrid() : window_.Grid();
    const int col = grid->currentCol();
    const int row = grid->currentRow();
    if (memo_->isOpen() || col < g.fixedCols() || row < g.fixedRows()) return;
    col_ = col;
    row_ = row;
    onRowEditor_ = vert;
    // Silver on a white grid, white on a silver one.
    const QColor base =
        window_.menuChecked("Mn_GridWhite") ? QColor(0xC0, 0xC0, 0xC0) : QColor(Qt::white);
    memo_->openOver(grid, col, row, MemoTextOf(g.cell(col, row)), base);
}

void CellMemoCommands::finishEditing() {
    memo_->leave();
}

void CellMemoCommands::memoLeft(bool byKey) {
    if (onRowEditor_ && rowEditor_) {
        if (rowEditor_->vertWidget()->isVisible()) rowEditor_->vertWidget()->setFocus();
        if (discard_) return;
        rowEditor_->commitMemo(row_, memo_->memoText());
        if (byKey) rowEditor_->advanceAfterMemo();
        return;
    }
    GridWidget* grid = window_.gridWidget();
    if (grid->isVisible()) grid->setFocus();
    if (discard_) return;
    CommitCellEdit(session_, col_, row_, memo_->memoText());
    if (!byKey) return;
    const int item = window_.controls().Cmb_CrNext->currentIndex();
    const CellPosition next = CellAfterMemo(item, {col_, row_}, window_.Grid());
    if (next != CellPosition{col_, row_}) {
        grid->setCurrentCell(next.col, next.row);
        grid->ensureVisible(next.col, next.row);
    }
}

// A composition starting on the grid opens the memo and continues there;
// text committed straight away is typed into the memo as well.
bool CellMemoCommands::inputMethod(QInputMethodEvent* event) {
    return memo_->takeOverComposition(event, [this] { openMemo(); });
}

} // namespace tabulix
