// The main window's row and column commands and undo: menus, keys and mouse
// presses turned into calls of the editing commands.
#include "app/EditCommands.h"

#include "app/ControlAvailability.h"
#include "app/TFm_Tabulix01.h"
#include "edit/EditSession.h"
#include "edit/LineCommands.h"
#include "edit/RowColumnCores.h"
#include "edit/RowImport.h"
#include "edit/UndoCommand.h"
#include "edit/UndoHistory.h"
#include "table/FixedColumn.h"
#include "table/TableLayout.h"
#include "table/UserDialogs.h"
#include "view/GridFont.h"
#include "view/GridWidget.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>

namespace tabulix {

// The window as the editing commands see it.
class EditCommands::Host final : public EditHost {
public:
    explicit Host(TFm_Tabulix01& w) : w_(w) {}

    GridWidget& grid() const { return *w_.gridWidget(); }
    int currentCol() const override { return grid().currentCol(); }
    int currentRow() const override { return grid().currentRow(); }
    void setCurrentCell(int col, int row) override { grid().setCurrentCellSilently(col, row); }
    void setSelection(int left, int top, int right, int bottom) override {
        grid().setSelection(left, top, right, bottom);
    }
    int topRow() const override { return grid().topRow(); }
    int leftCol() const override { return grid().leftCol(); }
    int lastVisibleRow() const override {
        return grid().topRow() + std::max(grid().visibleRowCount(), 1) - 1;
    }
    int lastVisibleCol() const override {
        return grid().leftCol() + std::max(grid().visibleColCount(), 1) - 1;
    }
    void setTopRow(int row) override { grid().setTopRow(row); }
    void setLeftCol(int col) override { grid().setLeftCol(col); }
    void repaint() override { grid().viewport()->update(); }
    void focusGrid() override {
        if (grid().isVisible()) grid().setFocus();
    }
    void setBusy(bool busy) override {
        if (busy) {
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
            ++busy_;
        } else if (busy_ > 0) {
            QGuiApplication::restoreOverrideCursor();
            --busy_;
        }
    }
    void refreshColumns() override { w_.RefreshColumns(); }
    // Column 0 shows each row's number by itself, so nothing is rewritten.
    void rowsChanged(int) override { w_.RenumberRows(); }
    void refillFixedColumn(int first, int count) override {
        StringGrid& g = w_.Grid();
        const int k = w_.controls().Cmb_FixedCol->currentIndex();
        const int col = k + 1;
        const bool exists = k > 0 && col < g.colCount();
        std::string text;
        StringGrid::Batch batch(g);
        for (int r = std::max(first, 1); r < first + count && r < g.rowCount(); ++r) {
            text.clear();
            if (exists) FixedColumnText(g.cell(col, r), text);
            g.setCell(1, r, text);
        }
    }
    bool modified() const override { return w_.modified(); }
    void setModified(bool modified) override { w_.setModified(modified); }
    bool breakShades() const override { return w_.menuChecked("Mn_BreakColor"); }
    bool confirmChecked(ConfirmItem item) const override {
        static const char* const names[] = {"Mn_ConfPaste", "Mn_ConfClear", "Mn_ConfInsert",
                                            "Mn_ConfCopy",  "Mn_ConfMove",  "Mn_ConfDelete"};
        return w_.menuChecked(names[static_cast<int>(item)]);
    }
    WidthRule widthRule() const override {
        const ResetMetrics m = w_.resetMetrics();
        return WidthRule{m.charWidth, m.widthLimit, m.noSeparator};
    }
    Separator separator() const override { return w_.separator(); }
    void setSeparator(Separator separator) override { w_.setSeparator(separator); }
    void historyChanged() override {
        if (commands_) commands_->updateUndoMenu();
    }

    EditCommands* commands_ = nullptr;

private:
    TFm_Tabulix01& w_;
    int busy_ = 0;
};

// Loads and saves empty the history.
class EditCommands::Listener final : public TableListener {
public:
    explicit Listener(EditCommands& commands) : commands_(commands) {}
    void historyCleared() override { commands_.clearHistory(); }

private:
    EditCommands& commands_;
};

EditCommands::EditCommands(TFm_Tabulix01& window)
    : QObject(&window), window_(window), host_(std::make_unique<Host>(window)),
      history_(std::make_unique<UndoHistory>()),
      session_(std::make_unique<EditSession>(
          EditSession{window.table(), window.editState(), *history_, *host_, window.dialogs()})),
      listener_(std::make_unique<Listener>(*this)) {
    host_->commands_ = this;
    menus_ = buildPopupMenus(&window);
    for (QMenu* menu : {menus_.pmGrid, menus_.pmFixedRow, menus_.pmFixedCol})
        for (QAction* a : menu->findChildren<QAction*>())
            if (!a->objectName().isEmpty() && !isCommandBuilt(a->objectName()))
                a->setEnabled(false);
    connectMenus();
    window.tableEvents().subscribe(listener_.get());
    GridWidget* grid = window.gridWidget();
    connect(grid, &GridWidget::mousePressed, this, &EditCommands::GridMouseDown);
    connect(grid, &GridWidget::mouseMoved, this, &EditCommands::GridMouseMove);
    connect(grid, &GridWidget::mouseReleased, this, [this] { rangeFollowsMouse_ = false; });
    connect(grid, &GridWidget::currentCellChanged, this,
            [this] { window_.editState().forgetClick(); });
    connect(grid, &GridWidget::rowMoved, this,
            [this](int from, int to) { LineDragged(*session_, Axis::Rows, from, to); });
    connect(grid, &GridWidget::colMoved, this,
            [this](int from, int to) { LineDragged(*session_, Axis::Columns, from, to); });
    grid->setKeyHook([this](QKeyEvent* event) { return GridKeyDown(event->key()); });
    updateUndoMenu();
}

EditCommands::~EditCommands() {
    window_.tableEvents().unsubscribe(listener_.get());
    window_.gridWidget()->setKeyHook({});
}

UndoHistory& EditCommands::history() {
    return *history_;
}

EditSession& EditCommands::session() {
    return *session_;
}

QAction* EditCommands::popupAction(const char* objectName) const {
    const QString name = QString::fromUtf8(objectName);
    for (QMenu* menu : {menus_.pmGrid, menus_.pmFixedRow, menus_.pmFixedCol})
        for (QAction* a : menu->findChildren<QAction*>())
            if (a->objectName() == name) return a;
    return nullptr;
}

void EditCommands::connectMenus() {
    const std::pair<const char*, void (EditCommands::*)()> items[] = {
        {"Pm_RowInsert", &EditCommands::Pm_RowInsertClick},
        {"Pm_RowCopy", &EditCommands::Pm_RowCopyClick},
        {"Pm_RowDelete", &EditCommands::Pm_RowDeleteClick},
        {"Pm_RowClipMove", &EditCommands::Pm_RowClipMoveClick},
        {"Pm_RowClipCopy", &EditCommands::Pm_RowClipCopyClick},
        {"Pm_RowMin", &EditCommands::Pm_RowMinClick},
        {"Pm_ColInsert", &EditCommands::Pm_ColInsertClick},
        {"Pm_ColCopy", &EditCommands::Pm_ColCopyClick},
        {"Pm_ColDelete", &EditCommands::Pm_ColDeleteClick},
        {"Pm_ColClipMove", &EditCommands::Pm_ColClipMoveClick},
        {"Pm_ColClipCopy", &EditCommands::Pm_ColClipCopyClick},
        {"Pm_ColMin", &EditCommands::Pm_ColMinClick},
    };
    for (const auto& [name, handler] : items)
        connect(popupAction(name), &QAction::triggered, this, handler);
    connect(popupAction("Pm_RowInsertFile"), &QAction::triggered, this,
            [this] { Pm_RowInsertFileClick(true); });
    connect(popupAction("Pm_RowInsertBoard"), &QAction::triggered, this,
            [this] { Pm_RowInsertFileClick(false); });
    connect(popupAction("Pm_ColViewON"), &QAction::triggered, this,
            [this] { Pm_ColViewONClick(false); });
    connect(popupAction("Pm_ColViewOFF"), &QAction::triggered, this,
            [this] { Pm_ColViewONClick(true); });
    connect(popupAction("Pm_RangeRowInsert2"), &QAction::triggered, this,
            [this] { Pm_RangeRowClick(RangeRowCommand::Insert); });
    connect(popupAction("Pm_RangeRowCopy2"), &QAction::triggered, this,
            [this] { Pm_RangeRowClick(RangeRowCommand::Copy); });
    connect(popupAction("Pm_RangeRowDelete2"), &QAction::triggered, this,
            [this] { Pm_RangeRowClick(RangeRowCommand::Delete); });
    connect(window_.action("Mn_Undo"), &QAction::triggered, this, &EditCommands::Mn_UndoClick);
}

void EditCommands::Pm_RowInsertClick() {
    InsertLines(*session_, Axis::Rows);
}
void EditCommands::Pm_RowCopyClick() {
    CopyLines(*session_, Axis::Rows, CopyWording::Selection);
}
void EditCommands::Pm_RowDeleteClick() {
    DeleteLines(*session_, Axis::Rows);
}
void EditCommands::Pm_RowClipMoveClick() {
    MoveClippedLines(*session_, Axis::Rows);
}
void EditCommands::Pm_RowClipCopyClick() {
    CopyClippedLines(*session_, Axis::Rows);
}
void EditCommands::Pm_ColInsertClick() {
    InsertLines(*session_, Axis::Columns);
}
void EditCommands::Pm_ColCopyClick() {
    CopyLines(*session_, Axis::Columns, CopyWording::Selection);
}
void EditCommands::Pm_ColDeleteClick() {
    DeleteLines(*session_, Axis::Columns);
}
void EditCommands::Pm_ColClipMoveClick() {
    MoveClippedLines(*session_, Axis::Columns);
}
void EditCommands::Pm_ColClipCopyClick() {
    CopyClippedLines(*session_, Axis::Columns);
}

void EditCommands::Pm_ColViewONClick(bool show) {
    ColumnDisplay(*session_, show, gridCharWidth());
}

void EditCommands::Pm_RowMinClick() {
    RangeStart(*session_, Axis::Rows);
    rangeFollowsMouse_ = true;
}

void EditCommands::Pm_ColMinClick() {
    RangeStart(*session_, Axis::Columns);
    rangeFollowsMouse_ = true;
}

void EditCommands::Pm_RowInsertFileClick(bool fromFile) {
    ImportSource source;
    source.fromFile = fromFile;
    if (!fromFile) source.clipboardText = window_.clipboard().text();
    source.selectFilePath = &window_.settings().pathSelectFile;
    source.programFolder = QCoreApplication::applicationDirPath().toStdString();
    ImportRows(*session_, source);
}

void EditCommands::Pm_RangeRowClick(RangeRowCommand command) {
    EditState& edit = window_.editState();
    const QRect sel = window_.gridWidget()->selection();
    if (sel.isEmpty()) return;
    edit.clickRow = sel.top();
    edit.clickCol = sel.left();
    edit.operationRange =
        CellRange{kFirstDataCol, sel.top(), window_.Grid().colCount() - 1, sel.bottom()};
    edit.operationAxis = HeaderMode::RowHeader;
    edit.headerMode = HeaderMode::RowHeader;
    switch (command) {
    case RangeRowCommand::Insert:
        InsertLines(*session_, Axis::Rows);
        break;
    case RangeRowCommand::Copy:
        CopyLines(*session_, Axis::Rows, CopyWording::Selection);
        break;
    case RangeRowCommand::Delete:
        DeleteLines(*session_, Axis::Rows);
        break;
    }
    edit.headerMode = HeaderMode::Cells;
}

void EditCommands::Mn_UndoClick() {
    tabulix::Mn_UndoClick(*session_);
}

void EditCommands::updateUndoMenu() {
    const UndoCaptions captions = UndoMenuCaptions(*history_);
    QAction* undo = window_.action("Mn_Undo");
    undo->setText(QString::fromStdString(captions.main));
    undo->setEnabled(captions.mainEnabled && isCommandBuilt(undo->objectName()));
}

void EditCommands::clearHistory() {
    ClearHistory(*session_, true);
}

void EditCommands::removeUndoHighlight() {
    EditState& edit = window_.editState();
    if (!edit.undoHighlight.hasColumns() && !edit.undoHighlight.hasRows()) return;
    edit.undoHighlight.clear();
    host_->repaint();
}

void EditCommands::enable(const char* name, bool on) {
    if (QAction* a = popupAction(name)) a->setEnabled(on && isCommandBuilt(a->objectName()));
}

void EditCommands::prepareRowMenu() {
    const EditState& edit = window_.editState();
    const bool rowClip = edit.clipKind == ClipKind::Rows && edit.clipRange.hasColumns();
    const bool oneRow = window_.gridWidget()->selection().height() <= 1;
    enable("Pm_RowInsertBoard", oneRow && !window_.clipboard().text().empty());
    enable("Pm_RowInsertFile", oneRow);
    enable("Pm_RowMin", oneRow);
    enable("Pm_RowClip", true);
    for (const char* name : {"Pm_RowClipPaste", "Pm_RowClipCopy", "Pm_RowClipMove"})
        enable(name, rowClip);
    enable("Pm_RowClipClr", edit.clipRange.hasColumns() || !window_.clipboard().text().empty());
}

void EditCommands::prepareColMenu() {
    const EditState& edit = window_.editState();
    const bool colClip = edit.clipKind == ClipKind::Columns && edit.clipRange.hasColumns();
    enable("Pm_ColMin", window_.gridWidget()->selection().width() <= 1);
    enable("Pm_ColClip", true);
    for (const char* name : {"Pm_ColClipPaste", "Pm_ColClipCopy", "Pm_ColClipMove"})
        enable(name, colClip);
    enable("Pm_ColClipClr", edit.clipRange.hasColumns() || !window_.clipboard().text().empty());
}

// A press chooses the header mode, the clicked line and the menu; a right
// press opens that menu.
void EditCommands::GridMouseDown(const GridMouse& mouse) {
    removeUndoHighlight();
    EditState& edit = window_.editState();
    GridWidget* grid = window_.gridWidget();
    const StringGrid& g = window_.Grid();
    const int col = mouse.cell.col;
    const int row = mouse.cell.row;
    if (col >= g.fixedCols() && row >= g.fixedRows())
        edit.rememberedView = ViewPosition{grid->leftCol(), grid->topRow(), col, row};
    edit.clickCol = col;
    edit.clickRow = row;
    const bool right = mouse.button == Qt::RightButton;
    const bool colHeader = row >= 0 && row < g.fixedRows() && col >= kFirstDataCol;
    const bool rowHeader = col >= 0 && col < kFixedColCount && row >= 1;
    QMenu* popup = menus_.pmGrid;
    bool automatic = true;
    edit.previousHeaderMode = edit.headerMode;
    edit.headerMode = HeaderMode::Cells;
    const ToolControls& c = window_.controls();
    if (colHeader) {
        popup = menus_.pmFixedCol;
        edit.headerMode = edit.previousHeaderMode = HeaderMode::ColumnHeader;
    } else if (edit.previousHeaderMode == HeaderMode::ColumnHeader && right) {
        popup = menus_.pmFixedCol;
        edit.headerMode = HeaderMode::ColumnHeader;
    }
    if (rowHeader) {
        popup = menus_.pmFixedRow;
        edit.headerMode = edit.previousHeaderMode = HeaderMode::RowHeader;
    } else if (edit.previousHeaderMode == HeaderMode::RowHeader && right) {
        popup = menus_.pmFixedRow;
        edit.headerMode = HeaderMode::RowHeader;
    }
    if (popup == menus_.pmFixedCol && c.Chk_MoveCol->isChecked()) automatic = false;
    if (popup == menus_.pmFixedRow && c.Chk_MoveRow->isChecked()) automatic = false;
    if (edit.headerMode == HeaderMode::Cells &&
        (row < g.fixedRows() || (col >= 0 && col < g.fixedCols())))
        automatic = false;
    if (edit.headerMode == HeaderMode::Cells || !right) {
        edit.operationRange.clear();
        edit.operationAxis = HeaderMode::Cells;
    }
    if (edit.headerMode == HeaderMode::RowHeader && !c.Chk_MoveRow->isChecked() &&
        !edit.operationRange.hasRows()) {
        RangeStart(*session_, Axis::Rows);
        rangeFollowsMouse_ = !right;
    } else if (edit.headerMode == HeaderMode::ColumnHeader && !c.Chk_MoveCol->isChecked() &&
               !edit.operationRange.hasColumns()) {
        RangeStart(*session_, Axis::Columns);
        rangeFollowsMouse_ = !right;
    }
    if (!right || !automatic) return;
    host_->repaint();
    if (popup == menus_.pmFixedRow) prepareRowMenu();
    if (popup == menus_.pmFixedCol) prepareColMenu();
    popup->popup(grid->viewport()->mapToGlobal(mouse.pos));
}

// While a header range is being chosen, its end follows the pointer.
void EditCommands::GridMouseMove(const GridMouse& mouse) {
    if (!rangeFollowsMouse_ || !(mouse.buttons & Qt::LeftButton)) return;
    EditState& edit = window_.editState();
    const StringGrid& g = window_.Grid();
    CellRange& range = edit.operationRange;
    if (edit.headerMode == HeaderMode::RowHeader && range.hasRows()) {
        const int row = mouse.cell.row;
        if (row < g.fixedRows() || row >= g.rowCount() || row == range.bottom) return;
        range.bottom = row;
        const CellRange n = range.normalised();
        window_.gridWidget()->setSelection(kFirstDataCol, n.top, g.colCount() - 1, n.bottom);
    } else if (edit.headerMode == HeaderMode::ColumnHeader && range.hasColumns()) {
        const int col = mouse.cell.col;
        if (col < kFirstDataCol || col >= g.colCount() || col == range.right) return;
        range.right = col;
        const CellRange n = range.normalised();
        window_.gridWidget()->setSelection(n.left, g.fixedRows(), n.right, g.rowCount() - 1);
    }
}

// Insert and Delete act by header mode; any key removes the undo highlight.
bool EditCommands::GridKeyDown(int key) {
    removeUndoHighlight();
    const HeaderMode mode = window_.editState().headerMode;
    if (key == Qt::Key_Insert) {
        if (mode == HeaderMode::RowHeader)
            Pm_RowInsertClick();
        else if (mode == HeaderMode::ColumnHeader)
            Pm_ColInsertClick();
        else
            Pm_RangeRowClick(RangeRowCommand::Insert);
        return true;
    }
    if (key == Qt::Key_Delete) {
        if (mode == HeaderMode::RowHeader)
            Pm_RowDeleteClick();
        else if (mode == HeaderMode::ColumnHeader)
            Pm_ColDeleteClick();
        else
            Pm_RangeRowClick(RangeRowCommand::Delete);
        return true;
    }
    return false;
}

} // namespace tabulix
