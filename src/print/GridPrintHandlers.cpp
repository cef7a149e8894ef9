// The preview's handlers: paging, zoom, cell scale, margins, shades and the
// full creation of the print data.
#include "print/TfrmGridPrint_01.h"

#include "print/PrintData.h"
#include "print/PrinterChoice.h"
#include "table/UserDialogs.h"

#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>

#include <algorithm>

namespace tabulix {

void TfrmGridPrint_01::btnPageDwClick(int step) {
    const int page = currentPage_ + step;
    if (page < 1 || page > pageCount()) return;
    scrPage_->setValue(page - 1);
}

void TfrmGridPrint_01::scrPageChange(int position) {
    if (pageCount() == 0) return;
    showPage(position + 1, false);
}

// Digits, backspace and escape only; Enter ends the edit (editingFinished).
bool TfrmGridPrint_01::edtPageMinKeyPress(QLineEdit*, QKeyEvent* event) {
    if (event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Escape) return false;
    const QString text = event->text();
    if (text.isEmpty() || !text.at(0).isPrint()) return false;
    return !std::all_of(text.begin(), text.end(),
                        [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); });
}

// A page edit holds a page of the document; an empty or unreadable text
// keeps the page it showed before.
void TfrmGridPrint_01::edtPageMinExit(QLineEdit* edit) {
    int& last = edit == edtPageMin_ ? lastMin_ : lastMax_;
    const int value = std::clamp(PageNumber(edit->text().toStdString()).value_or(last), 1,
                                 std::max(1, pageCount()));
    last = value;
    edit->setText(QStringLiteral(" %1").arg(value));
    if (edit == edtPageMin_ && value != currentPage_ && pageCount() > 0) {
        const QSignalBlocker block(scrPage_);
        scrPage_->setValue(value - 1);
        showPage(value, false);
    }
}

void TfrmGridPrint_01::Cmb_ScaleClick() {
    redraw();
}

void TfrmGridPrint_01::Cmb_ResetSclClick() {
    data_->settings().cmbResetScl = Cmb_ResetScl_->currentIndex();
    Cmb_Scale_->setCurrentIndex(Cmb_ResetScl_->currentIndex());
    redraw();
}

// Fit to the window, 100 % and the restore zoom in turn, skipping the one
// already shown.
void TfrmGridPrint_01::Btn_DispModeClick() {
    const int modes[3] = {kFitIndex, kHundredIndex, Cmb_ResetScl_->currentIndex()};
    dispMode_ = (dispMode_ + 1) % 3;
    if (Cmb_Scale_->currentIndex() == modes[dispMode_]) dispMode_ = (dispMode_ + 1) % 3;
    Cmb_Scale_->setCurrentIndex(modes[dispMode_]);
    redraw();
}

// A scale that gives cells larger than the paper is taken back, with the
// offer of the smallest scale.
void TfrmGridPrint_01::btnFontDwClick(int direction) {
    if (!data_->confirmSizeChange()) return;
    PrintSettings& s = data_->settings();
    const int old = s.cellScale;
    const int next = NextCellScale(job_.sourceFontHeight, old, direction);
    if (next == old) return;
    s.cellScale = next;
    rebuild();
    if (!data_->largeCellError()) return;
    s.cellScale = old;
    if (dialogs_.question(kScaleBackQuestion)) s.cellScale = 10;
    rebuild();
}

void TfrmGridPrint_01::Cmb_CellWayClick() {
    PrintSettings& s = data_->settings();
    const int index = Cmb_CellWay_->currentIndex();
    if (index == s.cmbCellWay) return;
    if (!data_->confirmSizeChange()) {
        Cmb_CellWay_->setCurrentIndex(s.cmbCellWay);
        return;
    }
    if (index == 1) {
        manualCellScale_ = s.cellScale;
        s.cellScale = 100;
    } else {
        s.cellScale = manualCellScale_;
    }
    s.cmbCellWay = index;
    rebuild();
}

void TfrmGridPrint_01::Cmb_MgnUpClick() {
    data_->settings().cmbMgnUp = Cmb_MgnUp_->currentIndex();
    data_->settings().cmbMgnLeft = Cmb_MgnLeft_->currentIndex();
    rebuild();
}

void TfrmGridPrint_01::btnGrayDwClick(int step) {
    const int index = Cmb_Gray_->currentIndex() + step;
    if (index < 0 || index > 255) return;
    Cmb_Gray_->setCurrentIndex(index);
    applyGray();
}

void TfrmGridPrint_01::applyGray() {
    data_->settings().cmbGray = Cmb_Gray_->currentIndex();
    drawPage(true);
}

void TfrmGridPrint_01::Mn_BreakColorClick() {
    if (data_->settings().breakColor) data_->computeBreakFlags();
    redraw();
}

// Only the stop button reacts while every row is laid out.
void TfrmGridPrint_01::Btn_DataCreateClick() {
    setBusy(true);
    grpCellRate_->setEnabled(true);
    for (QWidget* w : grpCellRate_->findChildren<QWidget*>())
        w->setEnabled(false);
    Btn_CreateStop_->setEnabled(true);
    Btn_CreateStop_->show();
    Btn_CreateStop_->raise();
    data_->createAll();
    Btn_CreateStop_->hide();
    for (QWidget* w : grpCellRate_->findChildren<QWidget*>())
        w->setEnabled(true);
    setBusy(false);
    showPage(1, true);
}

void TfrmGridPrint_01::Btn_PrtSetClick() {
    const PrinterFacts before = facts_;
    if (!setUp_(printers_, this)) return;
    if (!readPrinter()) return;
    data_->settings().printerIndex = printers_.index();
    if (facts_ == before) return;
    rebuild();
}

} // namespace tabulix
