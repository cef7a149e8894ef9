// The preview's show sequence, its pages and its page image.
#include "print/TfrmGridPrint_01.h"

#include "print/PageImage.h"
#include "print/PagePainter.h"
#include "print/PrintData.h"
#include "print/PrinterChoice.h"
#include "table/UserDialogs.h"

#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>

#include <algorithm>
#include <cmath>

namespace tabulix {

namespace {

qint64 imageByteLimit = qint64(256) * 1024 * 1024;

QString qs(const std::string& text) {
    return QString::fromStdString(text);
}

QString pageText(int n) {
    return QStringLiteral(" %1").arg(n);
}

bool fivePaper(const std::string& name) {
    return name != "?";
}

} // namespace

void TfrmGridPrint_01::setImageByteLimit(qint64 bytes) {
    imageByteLimit = bytes;
}

void TfrmGridPrint_01::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (firstShowDone_) return;
    if (QLayout* layout = centralWidget()->layout()) layout->activate();
    showSequence();
}

// Run on the first show and by every rebuild a control asks for.
void TfrmGridPrint_01::showSequence() {
    if (!firstShowDone_) {
        firstShowDone_ = true;
        if (!firstShowSetup()) return;
    }
    if (noPrinter_) return;
    setBusy(true);
    takeDateTime();
    if (!readPrinter()) {
        setBusy(false);
        return;
    }
    Lbl_CreateSts_->setText(QStringLiteral("作成中"));
    Lbl_CreateSts_->setStyleSheet(QStringLiteral("color: darkblue;"));
    Mn_RecCount_->setText(QString());
    data_->rebuild(true);
    makeImage(true);
    setBusy(false);
    showPage(1, true);
}

bool TfrmGridPrint_01::firstShowSetup() {
    if (printers_.count() == 0) {
        enterNoPrinterState();
        return false;
    }
    PrintSettings& s = data_->settings();
    s.cmbColor = 0; // the Mono scheme
    if (!job_.tableMode) {
        Mn_SaveCsv_->setText(QStringLiteral("1. 表示内容を Text File で保存する"));
        for (QAction* a : {Mn_FixedCenter_, Mn_DataCenter_, Mn_TrimSpace_, Mn_DateEdit_,
                           Mn_KaraGyoColor_, Mn_KaraGyoBlack_})
            a->setEnabled(false);
        s.cmbCellWay = 0;
        grpCellRate_->hide();
        grpGray_->hide();
    }
    manualCellScale_ = s.cellScale;
    if (data_->onePageMode()) s.cellScale = 100;
    data_->setScreenDpi(logicalDpiY());
    applySavedPrinter();
    data_->build();
    applySettingsToControls();
    data_->computeBreakFlags();
    const int zoomIndex = Cmb_Scale_->currentIndex();
    dispMode_ = zoomIndex == Cmb_ResetScl_->currentIndex() ? -1 : zoomIndex == kFitIndex ? 0 : 1;
    return true;
}

void TfrmGridPrint_01::applySettingsToControls() {
    const PrintSettings& s = data_->settings();
    const auto index = [](QComboBox* c, int i) { c->setCurrentIndex(std::clamp(i, 0, c->count() - 1)); };
    index(Cmb_CellWay_, s.cmbCellWay);
    index(Cmb_Scale_, s.cmbScale);
    index(Cmb_ResetScl_, s.cmbResetScl);
    index(Cmb_LineKind_, s.cmbLineKind);
    index(Cmb_MgnLeft_, s.cmbMgnLeft);
    index(Cmb_MgnUp_, s.cmbMgnUp);
    index(Cmb_Gray_, s.cmbGray);
    zoomIndexInUse_ = Cmb_Scale_->currentIndex();
}

// Without any printer only File → 終了 remains.
void TfrmGridPrint_01::enterNoPrinterState() {
    noPrinter_ = true;
    dialogs_.error(kNoPrinterMessage);
    setStyleSheet(QStringLiteral("QMainWindow { background: gray; }"));
    pnlHed_->hide();
    ScrBox_->hide();
    for (QMenu* m : {mnSave_, mnView_, mnView2_})
        m->menuAction()->setVisible(false);
    Mn_RecCount_->setVisible(false);
}

void TfrmGridPrint_01::applySavedPrinter() {
    const PrintSettings& s = data_->settings();
    printers_.select(s.printerIndex);
    printers_.applySaved(s.prtPaper, s.prtOrient);
    if (readPrinter() && !fivePaper(facts_.paperName)) dialogs_.error(kFiveSizesMessage);
}

bool TfrmGridPrint_01::readPrinter() {
    const auto facts = printers_.read();
    if (!facts) {
        dialogs_.information(kPrinterInfoFailed);
        return false;
    }
    facts_ = *facts;
    data_->settings().prtPaper = facts_.paperName;
    data_->settings().prtOrient = facts_.orientation;
    data_->setPaper(printers_.paper());
    lblPrtInf_->setText(qs(PrinterLabel(facts_)));
    return true;
}

void TfrmGridPrint_01::takeDateTime() {
    const QDateTime now = QDateTime::currentDateTime();
    painter_->setDateTime(now.toString(QStringLiteral("yyyy/MM/dd")).toStdString(),
                          now.toString(QStringLiteral("HH:mm:ss")).toStdString());
}

void TfrmGridPrint_01::rebuild() {
    QScrollBar* h = ScrBox_->horizontalScrollBar();
    QScrollBar* v = ScrBox_->verticalScrollBar();
    const int x = h->value(), y = v->value();
    showSequence();
    h->setValue(x);
    v->setValue(y);
}

void TfrmGridPrint_01::redraw() {
    setBusy(true);
    ScrBox_->horizontalScrollBar()->setValue(0);
    ScrBox_->verticalScrollBar()->setValue(0);
    makeImage(true);
    zoomIndexInUse_ = Cmb_Scale_->currentIndex();
    data_->settings().cmbScale = zoomIndexInUse_;
    setBusy(false);
    drawPage(true);
    afterPage(false);
}

// After a layout the page is drawn from what was placed, even when a large
// cell stopped it; every later request shows the large-cell message instead.
void TfrmGridPrint_01::showPage(int page, bool relaid) {
    currentPage_ = std::clamp(page, std::min(1, pageCount()), pageCount());
    drawPage(!relaid);
    afterPage(relaid);
}

void TfrmGridPrint_01::drawPage(bool checkLargeCell) {
    if (checkLargeCell && data_->refuseForLargeCell()) return;
    QImage& image = imgPrn_->image();
    if (image.isNull()) return;
    QPainter painter(&image);
    painter_->drawPage(painter, currentPage_, zoom_);
    painter.end();
    imgPrn_->update();
}

void TfrmGridPrint_01::afterPage(bool relaid) {
    const PrintSettings& s = data_->settings();
    setWindowTitle(qs(job_.appTitle + "    " + job_.titleLines[0]));
    Lbl_CellScale_->setText(data_->onePageMode() ? QString()
                                                 : QStringLiteral("%1 %").arg(s.cellScale));
    lblPrtInf_->setText(qs(PrinterLabel(facts_)));
    const bool complete = data_->complete();
    Lbl_CreateSts_->setText(qs(data_->createStatus()));
    Lbl_CreateSts_->setStyleSheet(complete ? QStringLiteral("color: blue;")
                                           : QStringLiteral("color: red; background: white;"));
    Mn_RecCount_->setText(qs(data_->linesStatus()));
    grpPage_->setTitle(QStringLiteral(" PAGE  %1 / %2 ").arg(currentPage_).arg(pageCount()));
    if (relaid) {
        lastMax_ = pageCount();
        edtPageMax_->setText(pageText(lastMax_));
        const QSignalBlocker block(scrPage_);
        scrPage_->setRange(0, std::max(0, pageCount() - 1));
        scrPage_->setValue(currentPage_ - 1);
    }
    lastMin_ = currentPage_;
    edtPageMin_->setText(pageText(currentPage_));
    enableAfterPage();
}

void TfrmGridPrint_01::enableAfterPage() {
    setBusy(false);
    const bool text = !job_.tableMode;
    const int sourceRows = data_->grid().rowCount() - 1;
    Btn_DataCreate_->setEnabled(!text && job_.initialRows < sourceRows && !data_->complete());
    for (QWidget* w : std::initializer_list<QWidget*>{btnFontDw_, btnFontUp_, btnGrayDw_,
                                                      btnGrayUp_, Cmb_Gray_, Cmb_CellWay_,
                                                      Cmb_LineKind_})
        w->setEnabled(!text);
    Lbl_CreateSts_->setVisible(!text);
    if (data_->onePageMode()) {
        btnFontDw_->setEnabled(false);
        btnFontUp_->setEnabled(false);
    }
    Lbl_CellScale_->setEnabled(!text && !data_->onePageMode());
}

void TfrmGridPrint_01::setBusy(bool busy) {
    busy_ = busy;
    for (QWidget* w : std::initializer_list<QWidget*>{grpPage_, grpCellRate_, grpSacle_,
                                                      grpYohaku_, grpGray_, grpPrinter_, ScrBox_})
        w->setEnabled(!busy);
    menuBar()->setEnabled(!busy);
}

double TfrmGridPrint_01::zoomOf(int index) const {
    if (index != kFitIndex) return ZoomPercent(index) / 100.0;
    const PageMetrics& m = data_->metrics();
    const QSize area = ScrBox_->viewport()->size();
    return std::min(0.99 * area.width() / std::max(1, m.sheetWidth),
                    0.99 * area.height() / std::max(1, m.sheetHeight));
}

// The page image at the zoom chosen; when that size cannot be had the zoom
// is lowered by 0.1 until it can, the user is told, and the zoom list goes
// back from the zoom last in use to the first item that needs no lowering.
bool TfrmGridPrint_01::makeImage(bool wantMessage) {
    const double wanted = zoomOf(Cmb_Scale_->currentIndex());
    double z = wanted;
    int steps = 0;
    while (!tryImage(z)) {
        if (z <= 0.15) return false;
        // Counted in whole tenths, so that 3 lowered ten times reads 200 %.
        z = std::round((wanted - ++steps / 10.0) * 1e6) / 1e6;
    }
    const bool lowered = steps > 0;
    zoom_ = z;
    data_->settings().cmbScale = Cmb_Scale_->currentIndex();
    if (!lowered || !wantMessage) return true;
    dialogs_.information(ImageResourceMessage(z));
    int index = std::clamp(zoomIndexInUse_, 1, kZoomItems - 1);
    while (index > 1 && !tryImage(zoomOf(index)))
        --index;
    Cmb_Scale_->setCurrentIndex(index);
    data_->settings().cmbScale = index;
    if (tryImage(zoomOf(index))) zoom_ = zoomOf(index);
    else tryImage(zoom_);
    return true;
}

bool TfrmGridPrint_01::tryImage(double zoom) {
    const PageMetrics& m = data_->metrics();
    const auto t = [](double v) { return static_cast<int>(v); };
    if (!imgPrn_->allocate(t(zoom * m.sheetWidth), t(zoom * m.sheetHeight), imageByteLimit))
        return false;
    const QSize area = ScrBox_->viewport()->size();
    pnlImage_->resize(std::max(t(zoom * (m.sheetWidth + m.charWidth)), area.width()),
                      std::max(t(zoom * (m.sheetHeight + m.charWidth)), area.height()));
    return true;
}

} // namespace tabulix
