// The main window's view controls and View menu: how the table is laid out
// and drawn, never what it holds.
#include "app/TFm_Tabulix01.h"

#include "app/ControlAvailability.h"

#include "draw/BreakShade.h"
#include "draw/ColumnWidths.h"
#include "table/FixedColumn.h"
#include "draw/RowHeights.h"
#include "table/UserDialogs.h"
#include "view/CellPainter.h"
#include "view/GridFont.h"
#include "view/GridWidget.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QToolButton>

namespace tabulix {

namespace {

const char* const kBreakColorQuestion =
    "【 前行と変化したらセルの色を変える 】\r\n\r\nこの処理を行なうと編集時のレスポンスが遅くな"
    "ります。\r\n\r\nデータ数が多い時はこの処理はなるべく行なわなようにして下さい。\r\n\r\nこの処"
    "理を行なってもよろしいですか？";

} // namespace

void TFm_Tabulix01::connectViewCommands() {
    const ToolControls& c = controls_;
    connect(c.Cmb_FixedCol, &QComboBox::activated, this, &TFm_Tabulix01::Cmb_FixedColClick);
    connect(c.Cmb_FixedKeta, &QComboBox::activated, this, &TFm_Tabulix01::Cmb_FixedColClick);
    connect(c.Cmb_FixedRows, &QComboBox::activated, this, &TFm_Tabulix01::Cmb_FixedRowsClick);
    connect(c.Cmb_KomRow, &QComboBox::activated, this, &TFm_Tabulix01::Cmb_KomRowClick);
    connect(c.Cmb_LimColLen, &QComboBox::activated, this, &TFm_Tabulix01::Cmb_LimColLenClick);
    connect(c.Cmb_Fold, &QComboBox::activated, this, &TFm_Tabulix01::Cmb_FoldClick);
    connect(c.Btn_ReFold, &QToolButton::clicked, this, &TFm_Tabulix01::Cmb_FoldClick);
    connect(c.Cmb_CrNext, &QComboBox::activated, this, &TFm_Tabulix01::focusGrid);
    connect(c.scbMinVert, &QScrollBar::actionTriggered, this, &TFm_Tabulix01::scbMinVertScroll);
    connect(c.scbMinHorz, &QScrollBar::actionTriggered, this, &TFm_Tabulix01::scbMinHorzScroll);
    connect(c.Chk_MoveRow, &QCheckBox::clicked, this, &TFm_Tabulix01::Chk_MoveRowClick);
    connect(c.Chk_MoveCol, &QCheckBox::clicked, this, &TFm_Tabulix01::Chk_MoveColClick);
    connect(c.Chk_RowSize, &QCheckBox::clicked, this, &TFm_Tabulix01::Chk_RowSizeClick);
    for (const char* name : {"Mn_FixedCenter", "Mn_DataCenter", "Mn_TrimSpace", "Mn_DateEdit"})
        connect(action(name), &QAction::triggered, this, &TFm_Tabulix01::Mn_FixedCenterClick);
    connect(action("Mn_BreakColor"), &QAction::triggered, this, &TFm_Tabulix01::Mn_BreakColorClick);
    for (const char* name : {"Mn_KaraGyoColor", "Mn_KaraGyoBlack"}) {
        QAction* item = action(name);
        connect(item, &QAction::triggered, this, [this, item] { Mn_KaraGyoColorClick(item); });
    }
    for (const char* name : {"Mn_GridSilver", "Mn_GridWhite"}) {
        QAction* item = action(name);
        connect(item, &QAction::triggered, this, [this, item] { Mn_GridWhiteClick(item); });
    }
    c.scbMinVert->installEventFilter(this);
    c.scbMinHorz->installEventFilter(this);
    painter_ = new CellPainter(table_, edit_, displayOptions_, *grid_);
    painter_->setParent(this);
    painter_->installHook();
}

void TFm_Tabulix01::focusGrid() {
    if (grid_->isVisible()) grid_->setFocus();
}

// Display options are read once here, never while painting.
DisplayOptions TFm_Tabulix01::displayOptionsNow() const {
    DisplayOptions o;
    o.fixedCenter = menuChecked("Mn_FixedCenter");
    o.dataCenter = menuChecked("Mn_DataCenter");
    o.trimSpace = menuChecked("Mn_TrimSpace");
    o.dateEdit = menuChecked("Mn_DateEdit");
    o.breakColor = menuChecked("Mn_BreakColor");
    o.karaGyoColor = menuChecked("Mn_KaraGyoColor");
    o.karaGyoBlack = menuChecked("Mn_KaraGyoBlack");
    o.whiteGrid = menuChecked("Mn_GridWhite");
    o.foldItem =
        controls_.Cmb_Fold->currentIndex() < 0 ? kFoldAuto : controls_.Cmb_Fold->currentIndex();
    return o;
}

void TFm_Tabulix01::readDisplayOptions() {
    displayOptions_ = displayOptionsNow();
    const DisplayOptions& o = displayOptions_;
    grid_->setBackgroundColor(o.whiteGrid ? QColor(0xFF, 0xFF, 0xFF) : QColor(0xC0, 0xC0, 0xC0));
    grid_->viewport()->update();
}

void TFm_Tabulix01::Cmb_FixedColClick() {
    const int k = controls_.Cmb_FixedCol->currentIndex();
    const int keta = controls_.Cmb_FixedKeta->currentIndex();
    if (!firstShow_) {
        settings_.cmbFixedCol = k;
        settings_.cmbFixedKeta = keta;
    }
    SetUpFixedColumn(table_.grid, std::max(k, 0), std::max(keta, 0), gridCharWidth());
    FillFixedColumn(table_.grid, std::max(k, 0));
    focusGrid();
}

void TFm_Tabulix01::Cmb_FixedRowsClick() {
    if (controls_.Cmb_FixedRows->currentIndex() >= 0) {
        ApplyFixedRows(true);
        RenumberRows();
        // The shades start at the first data row, which has moved.
        if (menuChecked("Mn_BreakColor")) {
            RecomputeBreakShades(table_, -1, 0);
            grid_->viewport()->update();
        }
    }
    focusGrid();
}

void TFm_Tabulix01::Cmb_KomRowClick() {
    events_.columnsChanged();
    focusGrid();
}

void TFm_Tabulix01::ComputeRowHeights() {
    readDisplayOptions();
    tabulix::ComputeRowHeights(table_.grid, displayOptions_, gridCharWidth(), gridCharHeight());
}

void TFm_Tabulix01::ComputeWidthsAndHeights() {
    if (controls_.Cmb_LimColLen->currentIndex() < 0)
        controls_.Cmb_LimColLen->setCurrentIndex(kWidthLimitFallbackItem);
    readDisplayOptions();
    LayOutWidthsAndHeights(table_, widthRule(), displayOptions_, gridCharHeight());
}

WidthRule TFm_Tabulix01::widthRule() const {
    return WidthRule{gridCharWidth(), WidthLimitOfItem(controls_.Cmb_LimColLen->currentIndex()),
                     separator_.isNone()};
}

// Long layout work runs with the hourglass and the grid hidden, so it is not
// repainted half way.
void TFm_Tabulix01::relayoutWithGridHidden(void (TFm_Tabulix01::*work)()) {
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    grid_->hide();
    (this->*work)();
    grid_->show();
    QGuiApplication::restoreOverrideCursor();
    focusGrid();
}

void TFm_Tabulix01::Cmb_LimColLenClick() {
    relayoutWithGridHidden(&TFm_Tabulix01::ComputeWidthsAndHeights);
}

void TFm_Tabulix01::Cmb_FoldClick() {
    relayoutWithGridHidden(&TFm_Tabulix01::ComputeRowHeights);
}

// An arrow of the miniature bars moves the cursor by one; it never enters the
// header rows or the fixed columns.
void TFm_Tabulix01::scbMinVertScroll(int action) {
    const int row = grid_->currentRow();
    const int col = grid_->currentCol();
    if (action == QAbstractSlider::SliderSingleStepAdd && row < table_.grid.rowCount() - 1)
        grid_->setCurrentCell(col, row + 1);
    else if (action == QAbstractSlider::SliderSingleStepSub && row > table_.grid.fixedRows())
        grid_->setCurrentCell(col, row - 1);
    controls_.scbMinVert->setSliderPosition(0);
    focusGrid();
}

void TFm_Tabulix01::scbMinHorzScroll(int action) {
    const int row = grid_->currentRow();
    const int col = grid_->currentCol();
    if (action == QAbstractSlider::SliderSingleStepAdd && col < table_.grid.colCount() - 1)
        grid_->setCurrentCell(col + 1, row);
    else if (action == QAbstractSlider::SliderSingleStepSub && col > table_.grid.fixedCols())
        grid_->setCurrentCell(col - 1, row);
    controls_.scbMinHorz->setSliderPosition(0);
    focusGrid();
}

void TFm_Tabulix01::boldWhileChecked(QCheckBox* box) {
    QFont font = box->font();
    font.setBold(box->isChecked());
    box->setFont(font);
    edit_.forgetClick();
    edit_.operationRange.clear();
    focusGrid();
}

// The grid offers the header drag only while the move command exists.
void TFm_Tabulix01::Chk_MoveRowClick() {
    QCheckBox* box = controls_.Chk_MoveRow;
    grid_->setRowMovingEnabled(box->isChecked() && isCommandBuilt(box->objectName()));
    boldWhileChecked(box);
}

void TFm_Tabulix01::Chk_MoveColClick() {
    QCheckBox* box = controls_.Chk_MoveCol;
    grid_->setColMovingEnabled(box->isChecked() && isCommandBuilt(box->objectName()));
    boldWhileChecked(box);
}

void TFm_Tabulix01::Chk_RowSizeClick() {
    grid_->setRowSizingEnabled(controls_.Chk_RowSize->isChecked());
    boldWhileChecked(controls_.Chk_RowSize);
}

void TFm_Tabulix01::Mn_FixedCenterClick() {
    const bool dated = displayOptions_.dateEdit;
    readDisplayOptions();
    // Dates show two slashes more than their cells hold: the columns grow
    // to show them whole, as the width rule counts them.
    if (displayOptions_.dateEdit && !dated) {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        GrowColumnsForDisplayText(table_.grid, table_.colRecords, widthRule(), displayOptions_);
        QGuiApplication::restoreOverrideCursor();
    }
    focusGrid();
}

void TFm_Tabulix01::Mn_BreakColorClick() {
    QAction* item = action("Mn_BreakColor");
    // The item is already flipped by the click.
    if (item->isChecked()) {
        if (!breakColorWarned_ && !dialogs_.confirm(kBreakColorQuestion)) {
            item->setChecked(false);
            return;
        }
        breakColorWarned_ = true;
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        RecomputeBreakShades(table_, -1, 0);
        QGuiApplication::restoreOverrideCursor();
    }
    readDisplayOptions();
    focusGrid();
}

// The light and dark empty-row items are a radio pair that may leave neither
// checked: the click has flipped its item; the other one goes off.
void TFm_Tabulix01::Mn_KaraGyoColorClick(QAction* clicked) {
    QAction* other =
        action(clicked == action("Mn_KaraGyoColor") ? "Mn_KaraGyoBlack" : "Mn_KaraGyoColor");
    if (clicked->isChecked()) other->setChecked(false);
    readDisplayOptions();
    focusGrid();
}

void TFm_Tabulix01::Mn_GridWhiteClick(QAction* clicked) {
    clicked->setChecked(true);
    readDisplayOptions();
}

} // namespace tabulix
