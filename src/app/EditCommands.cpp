// The main window's row and column commands and undo: menus, keys and mouse
// presses turned into calls of the editing commands.
#include "app/EditCommands.h"

#include "app/CellMemoCommands.h"
#include "app/ControlAvailability.h"
#include "app/SingleRowEditor.h"
#include "app/TFm_Tabulix01.h"
#include "edit/DragScroll.h"
#include "edit/EditSession.h"
#include "edit/LineCommands.h"
#include "edit/Marking.h"
#include "edit/RowColumnCores.h"
#include "edit/RowImport.h"
#include "edit/UndoCommand.h"
#include "edit/UndoHistory.h"
#include "settings/InstalledProgram.h"
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
#include <QFile>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>

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
    CellRange selection() const override {
        const QRect r = grid().selection();
        if (r.isEmpty()) return {};
        return CellRange{r.left(), r.top(), r.right(), r.bottom()};
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
    DisplayOptions displayOptions() const override { return w_.displayOptions(); }
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
      listener_(std::make_unique<Listener>(*this)),
      clip_(std::make_unique<ClipStore>(ClipStore{window.CopyGrid(), window.clipboard()})) {
    host_->commands_ = this;
    menus_ = buildPopupMenus(&window);
    for (QMenu* menu : {menus_.pmGrid, menus_.pmFixedRow, menus_.pmFixedCol})
        for (QAction* a : menu->findChildren<QAction*>())
            if (!a->objectName().isEmpty() && !isCommandBuilt(a->objectName()))
                a->setEnabled(false);
    connectMenus();
    connectRangeMenus();
    window.tableEvents().subscribe(listener_.get());
    memo_ = new CellMemoCommands(window, *session_, this);
    rowEditor_ = new SingleRowEditor(window, *session_, this);
    memo_->setRowEditor(rowEditor_);
    connect(rowEditor_, &SingleRowEditor::memoRequested, memo_, &CellMemoCommands::openMemo);
    connect(window.controls().Btn_VertGrid, &QPushButton::clicked, rowEditor_,
            &SingleRowEditor::Btn_VertGridClick);
    connect(popupAction("Pm_DispVertGrid"), &QAction::triggered, rowEditor_,
            &SingleRowEditor::Btn_VertGridClick);
    connectGrid();
    updateUndoMenu();
}

void EditCommands::connectGrid() {
    GridWidget* grid = window_.gridWidget();
    connect(grid, &GridWidget::mousePressed, this, &EditCommands::GridMouseDown);
    connect(grid, &GridWidget::mouseMoved, this, &EditCommands::GridMouseMove);
    connect(grid, &GridWidget::mouseReleased, this, &EditCommands::GridMouseUp);
    connect(grid, &GridWidget::mouseDoubleClicked, this, &EditCommands::GridDblClick);
    connect(grid, &GridWidget::currentCellChanged, this,
            [this] { window_.editState().forgetClick(); });
    grid->setSelectCellHook([this](int, int) {
        GridSelectCell();
        return true;
    });
    connect(grid, &GridWidget::rowMoved, this,
            [this](int from, int to) { LineDragged(*session_, Axis::Rows, from, to); });
    connect(grid, &GridWidget::colMoved, this,
            [this](int from, int to) { LineDragged(*session_, Axis::Columns, from, to); });
    // A typed character opens the memo on the cell's text; it is not entered.
    connect(grid, &GridWidget::textTyped, this, [this] { memo_->openMemo(); });
    grid->setKeyHook([this](QKeyEvent* event) { return GridKeyDown(event); });
    connect(grid, &GridWidget::keyReleased, this, [this](int key) {
        if (key == Qt::Key_Alt && std::exchange(altAlone_, false)) memo_->openMemo();
    });
    connect(window_.gridTimer(), &QTimer::timeout, this, &EditCommands::GridTimerTimer);
}

EditCommands::~EditCommands() {
    window_.tableEvents().unsubscribe(listener_.get());
    window_.gridWidget()->setKeyHook({});
    window_.gridWidget()->setSelectCellHook({});
    window_.gridTimer()->stop();
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
    const std::pair<const char*, MarkAction> marks[] = {{"Set", MarkAction::Set},
                                                        {"Clear", MarkAction::Clear},
                                                        {"ClearAll", MarkAction::ClearAll}};
    for (const auto& [suffix, action] : marks) {
        connect(popupAction(("Pm_RowMark" + std::string(suffix)).c_str()), &QAction::triggered,
                this, [this, action = action] { MarkRows(*session_, action); });
        connect(popupAction(("Pm_ColMark" + std::string(suffix)).c_str()), &QAction::triggered,
                this, [this, action = action] { MarkColumns(*session_, action); });
    }
    for (QAction* save :
         {popupAction("Pm_RowMarkSave"), popupAction("Pm_ColMarkSave"), window_.action("Mn_MarkSave")})
        connect(save, &QAction::triggered, this, &EditCommands::Mn_MarkSaveClick);
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

// The range starts at the clicked line and follows the pointer until the
// next release in the grid.
void EditCommands::Pm_RowMinClick() {
    RangeStart(*session_, Axis::Rows);
    pressPoint_ = pointerPoint_ = window_.gridWidget()->viewport()->mapFromGlobal(QCursor::pos());
    window_.gridTimer()->start();
}

void EditCommands::Pm_ColMinClick() {
    RangeStart(*session_, Axis::Columns);
    pressPoint_ = pointerPoint_ = window_.gridWidget()->viewport()->mapFromGlobal(QCursor::pos());
    window_.gridTimer()->start();
}

void EditCommands::Pm_RowInsertFileClick(bool fromFile) {
    ImportSource source;
    source.fromFile = fromFile;
    if (!fromFile) source.clipboardText = window_.clipboard().text();
    source.selectFilePath = &window_.settings().pathSelectFile;
    source.programFolder = DialogStartFolder(QCoreApplication::applicationDirPath().toStdString());
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

void EditCommands::Mn_MarkSaveClick() {
    Settings& settings = window_.settings();
    const std::string folder =
        DialogStartFolder(QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString());
    SaveMarkedData(*session_, window_.WorkGrid(), settings.pathSelectFile, settings.pathEditFile,
                   folder, window_.saveEncoding());
}

void EditCommands::Mn_UndoClick() {
    tabulix::Mn_UndoClick(*session_);
}

void EditCommands::updateUndoMenu() {
    const UndoCaptions captions = UndoMenuCaptions(*history_);
    QAction* undo = window_.action("Mn_Undo");
    undo->setText(QString::fromStdString(captions.main));
    undo->setEnabled(captions.mainEnabled && isCommandBuilt(undo->objectName()));
    if (rowEditor_) rowEditor_->updateUndoItem(captions.rowEditor, captions.rowEditorEnabled);
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
    enable("Pm_RowInsertBoard", oneRow && window_.clipboard().hasText());
    enable("Pm_RowInsertFile", oneRow);
    enable("Pm_RowMin", oneRow);
    enable("Pm_RowClip", true);
    for (const char* name : {"Pm_RowClipPaste", "Pm_RowClipCopy", "Pm_RowClipMove"})
        enable(name, rowClip);
    enable("Pm_RowClipClr", edit.clipRange.hasColumns() || window_.clipboard().hasText());
}

void EditCommands::prepareColMenu() {
    const EditState& edit = window_.editState();
    const bool colClip = edit.clipKind == ClipKind::Columns && edit.clipRange.hasColumns();
    enable("Pm_ColMin", window_.gridWidget()->selection().width() <= 1);
    enable("Pm_ColClip", true);
    for (const char* name : {"Pm_ColClipPaste", "Pm_ColClipCopy", "Pm_ColClipMove"})
        enable(name, colClip);
    enable("Pm_ColClipClr", edit.clipRange.hasColumns() || window_.clipboard().hasText());
}

// A press chooses the header mode, the clicked line and the menu; a right
// press opens that menu.
void EditCommands::GridMouseDown(const GridMouse& mouse) {
    removeUndoHighlight();
    altAlone_ = false;
    EditState& edit = window_.editState();
    GridWidget* grid = window_.gridWidget();
    const StringGrid& g = window_.Grid();
    const int col = mouse.cell.col;
    const int row = mouse.cell.row;
    if (col >= g.fixedCols() && row >= g.fixedRows())
        edit.rememberedView = ViewPosition{grid->leftCol(), grid->topRow(), col, row};
    edit.clickCol = edit.mouseDownCol = col;
    edit.clickRow = edit.mouseDownRow = row;
    pressPoint_ = pointerPoint_ = mouse.pos;
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
    startRangeDrag(mouse);
    if (!right || !automatic) return;
    host_->repaint();
    if (popup == menus_.pmGrid) prepareGridMenu();
    if (popup == menus_.pmFixedRow) prepareRowMenu();
    if (popup == menus_.pmFixedCol) prepareColMenu();
    popup->popup(grid->viewport()->mapToGlobal(mouse.pos));
}

// A header press without a range starts one at the pressed line; the
// drag-scroll timer then extends it while the button is held.
void EditCommands::startRangeDrag(const GridMouse& mouse) {
    EditState& edit = window_.editState();
    const ToolControls& c = window_.controls();
    const bool left = mouse.button == Qt::LeftButton;
    if (edit.headerMode == HeaderMode::RowHeader && !c.Chk_MoveRow->isChecked() &&
        !edit.operationRange.hasRows()) {
        RangeStart(*session_, Axis::Rows);
        if (left) window_.gridTimer()->start();
    } else if (edit.headerMode == HeaderMode::ColumnHeader && !c.Chk_MoveCol->isChecked() &&
               !edit.operationRange.hasColumns()) {
        RangeStart(*session_, Axis::Columns);
        if (left) window_.gridTimer()->start();
    }
}

// Before the cursor moves, the view is remembered (the cursor returns there
// after a deletion), unless whole rows or columns are selected.
void EditCommands::GridSelectCell() {
    const GridWidget* grid = window_.gridWidget();
    const StringGrid& g = window_.Grid();
    const QRect sel = grid->selection();
    const bool wholeRows = sel.left() == kFirstDataCol && sel.right() == g.colCount() - 1;
    const bool wholeCols = sel.top() == g.fixedRows() && sel.bottom() == g.rowCount() - 1;
    if (!sel.isEmpty() && (wholeRows || wholeCols)) {
        window_.editState().forgetClick();
        return;
    }
    window_.editState().rememberedView =
        ViewPosition{grid->leftCol(), grid->topRow(), grid->currentCol(), grid->currentRow()};
}

// The pointer is remembered for the drag-scroll step; a column width the
// user dragged is kept in the column's record (a suppressed, one-"A"-wide
// column keeps its remembered width).
void EditCommands::GridMouseMove(const GridMouse& mouse) {
    pointerPoint_ = mouse.pos;
    Table& t = window_.table();
    const int col = mouse.cell.col;
    const int row = mouse.cell.row;
    if (row >= 0 && row < t.grid.fixedRows() && col >= kFirstDataCol &&
        col < static_cast<int>(t.colRecords.size()) &&
        t.grid.colWidth(col) > 2 * gridCharWidth())
        t.colRecords[static_cast<std::size_t>(col)].width = t.grid.colWidth(col);
}

void EditCommands::GridMouseUp() {
    window_.gridTimer()->stop();
}

void EditCommands::GridTimerTimer() {
    const HeaderMode mode = window_.editState().headerMode;
    if (mode == HeaderMode::RowHeader) dragStep(true);
    if (mode == HeaderMode::ColumnHeader) dragStep(false);
}

// One drag-scroll step along rows or columns: the range's far end (bottom
// or right) follows the pointer, and the view scrolls at its edges.
void EditCommands::dragStep(bool rows) {
    GridWidget* grid = window_.gridWidget();
    const StringGrid& g = window_.Grid();
    CellRange& range = window_.editState().operationRange;
    if (rows ? !range.hasRows() : !range.hasColumns()) return;
    const int count = rows ? g.rowCount() : g.colCount();
    const int fixed = rows ? g.fixedRows() : g.fixedCols();
    const int first = rows ? grid->topRow() : grid->leftCol();
    const int shown = rows ? grid->visibleRowCount() : grid->visibleColCount();
    const int last = std::min(first + std::max(shown, 1) - 1, count - 1);
    const QRect lastCell = rows ? grid->cellRect(kFirstDataCol, last) : grid->cellRect(last, 0);
    DragAxis a;
    a.press = rows ? pressPoint_.y() : pressPoint_.x();
    a.pointer = rows ? pointerPoint_.y() : pointerPoint_.x();
    a.threshold = g.rowHeight(0) / 2; // half a header row on both axes
    a.firstEdge = static_cast<int>(rows ? g.rowTop(fixed) : g.colLeft(fixed));
    a.lastEdge = lastCell.isEmpty() ? (rows ? grid->viewport()->height() : grid->viewport()->width())
                                    : (rows ? lastCell.bottom() : lastCell.right());
    a.first = first;
    a.lastVisible = last;
    a.fixedCount = fixed;
    a.lastLine = count - 1;
    const GridCell hover = grid->cellAt(pointerPoint_);
    a.hover = rows ? hover.row : hover.col;
    const DragStep step = DragScrollStep(a);
    int& end = rows ? range.bottom : range.right;
    const int before = end;
    switch (step.move) {
    case DragMove::None:
        return;
    case DragMove::ScrollBack:
        rows ? grid->scrollRows(-1) : grid->scrollCols(-1);
        end = rows ? grid->topRow() : grid->leftCol();
        break;
    case DragMove::ScrollOn:
        rows ? grid->scrollRows(1) : grid->scrollCols(1);
        end = step.end;
        break;
    case DragMove::Follow:
        end = step.end;
        break;
    }
    const CellRange n = range.normalised();
    const QRect want = rows ? QRect(QPoint(kFirstDataCol, n.top), QPoint(g.colCount() - 1, n.bottom))
                            : QRect(QPoint(n.left, g.fixedRows()), QPoint(n.right, g.rowCount() - 1));
    const bool touchesFixed = rows ? n.top < fixed : n.left < fixed;
    if (!touchesFixed && grid->selection() != want)
        grid->setSelection(want.left(), want.top(), want.right(), want.bottom());
    if (step.move != DragMove::Follow || before != end) host_->repaint();
}

// A double click on a line's header flips its mark; on a data cell it opens
// the memo.
void EditCommands::GridDblClick(const GridMouse&) {
    const EditState& edit = window_.editState();
    const StringGrid& g = window_.Grid();
    const int col = edit.mouseDownCol;
    const int row = edit.mouseDownRow;
    if (col >= 0 && col < kFixedColCount && row >= g.fixedRows()) {
        FlipRowMark(window_.table(), row);
        host_->repaint();
    } else if (row >= 0 && row < g.fixedRows() && col >= kFirstDataCol) {
        FlipColumnMark(window_.table(), col);
        window_.RefreshCaption();
        host_->repaint();
    } else if (col >= g.fixedCols() && row >= g.fixedRows()) {
        memo_->openMemo();
    }
}

bool EditCommands::itemEnabled(const char* name) const {
    const QAction* a = popupAction(name);
    return a && a->isEnabled();
}

// Ctrl+C clips by header mode, Ctrl+X clears the range, Ctrl+V pastes with
// the first paste item that is enabled.
bool EditCommands::clipKey(const QKeyEvent* event) {
    if ((event->modifiers() & ~Qt::KeypadModifier) != Qt::ControlModifier) return false;
    prepareMenus();
    const HeaderMode mode = window_.editState().headerMode;
    switch (event->key()) {
    case Qt::Key_C:
        Pm_RangeClipClick(mode == HeaderMode::RowHeader      ? ClipKind::Rows
                          : mode == HeaderMode::ColumnHeader ? ClipKind::Columns
                                                             : ClipKind::CellRange);
        return true;
    case Qt::Key_X:
        if (itemEnabled("Pm_RangeClear")) Pm_RangeClearClick();
        return true;
    case Qt::Key_V:
        if (itemEnabled("Pm_RowClipPaste"))
            Pm_RangeClipPasteClick(PasteOrigin::RowStart);
        else if (itemEnabled("Pm_ColClipPaste"))
            Pm_RangeClipPasteClick(PasteOrigin::ColumnStart);
        else if (itemEnabled("Pm_RangeClipPaste"))
            Pm_RangeClipPasteClick(PasteOrigin::Cursor);
        return true;
    default:
        return false;
    }
}

// The items' states as the keys consult them. (Only the keys that read
// them prepare the menus: asking the system clipboard on every cursor key
// would slow the cursor down.)
void EditCommands::prepareMenus() {
    prepareGridMenu();
    prepareRowMenu();
    prepareColMenu();
}

// Insert and Delete act by header mode, Escape releases the clip, Enter and
// the input keys open the memo; any key removes the undo highlight. Alt
// opens the memo when it is released alone, so that Alt+letter still reaches
// the menus.
bool EditCommands::GridKeyDown(QKeyEvent* event) {
    const int key = event->key();
    altAlone_ = key == Qt::Key_Alt && !event->isAutoRepeat();
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
    if (key == Qt::Key_Escape) {
        prepareMenus();
        if (itemEnabled("Pm_RangeClipClr") || itemEnabled("Pm_RowClipClr") ||
            itemEnabled("Pm_ColClipClr"))
            Pm_RangeClipClrClick();
        return true;
    }
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Muhenkan ||
        key == Qt::Key_Hiragana_Katakana) {
        memo_->openMemo();
        return true;
    }
    return clipKey(event);
}

} // namespace tabulix
