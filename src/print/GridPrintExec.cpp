// The print run of the preview: the confirmation, the pages onto the
// printer (or into a PDF file) and the return to the preview.
#include "print/TfrmGridPrint_01.h"

#include "print/PageImage.h"
#include "print/PagePainter.h"
#include "print/PrintData.h"
#include "print/PrinterChoice.h"
#include "table/UserDialogs.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>

#include <algorithm>

namespace tabulix {

namespace {

constexpr std::string_view kPrintNotStarted = "印刷を開始できませんでした。";

} // namespace

void TfrmGridPrint_01::Btn_PrintExecClick() {
    int first = PageNumber(edtPageMin_->text().toStdString()).value_or(lastMin_);
    int last = PageNumber(edtPageMax_->text().toStdString()).value_or(lastMax_);
    if (last < first) {
        const QString text = edtPageMin_->text();
        edtPageMin_->setText(edtPageMax_->text());
        edtPageMax_->setText(text);
        std::swap(first, last);
    }
    if (!data_->complete() && !dialogs_.confirm(kNotCompleteQuestion)) return;
    const QString minText = edtPageMin_->text(), maxText = edtPageMax_->text();
    if (!dialogs_.confirm(PrintConfirmation(minText.toStdString(), maxText.toStdString(),
                                            last == pageCount(), facts_)))
        return;
    if (data_->refuseForLargeCell()) return;
    if (printers_.isPdf()) {
        FileDialogRequest request{"PDF ファイルへ印刷", "PDF (*.pdf)", {}, {}, "pdf"};
        const auto path = dialogs_.saveFile(request);
        if (!path) return;
        printers_.printer().setOutputFileName(QString::fromStdString(*path));
    }
    printRun(first, last);

    data_->setPreviewMode(true);
    data_->computeMetrics();
    data_->layout(2);
    makeImage(true);
    edtPageMin_->setText(minText);
    edtPageMax_->setText(maxText);
    lastMin_ = first;
    lastMax_ = last;
    const int page = std::clamp(first, std::min(1, pageCount()), pageCount());
    {
        const QSignalBlocker block(scrPage_);
        scrPage_->setValue(page - 1);
    }
    currentPage_ = page;
    drawPage(true);
    afterPage(false);
    edtPageMax_->setText(maxText);
}

void TfrmGridPrint_01::printRun(int first, int last) {
    data_->setPreviewMode(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const QSize area = ScrBox_->viewport()->size();
    lblPrintMsg_->move(area.width() / 4, area.height() / 4);
    lblPrintMsg_->setText(QString::fromUtf8(kPrintingText.data(),
                                            static_cast<qsizetype>(kPrintingText.size())));
    lblPrintMsg_->adjustSize();
    lblPrintMsg_->show();
    pnlImage_->hide();
    data_->setPaper(printers_.paper());
    data_->computeMetrics();
    takeDateTime();
    if (first <= 0) {
        first = 1;
        last = pageCount();
    }
    printing_ = true;
    setBusy(true);
    ScrBox_->setEnabled(true);
    grpPrinter_->setEnabled(true);
    for (QWidget* w : grpPrinter_->findChildren<QWidget*>())
        w->setEnabled(false);
    Btn_PrintStop_->setEnabled(true);
    Btn_PrintStop_->show();
    Btn_PrintStop_->raise();
    if (!printPages(first, last)) dialogs_.information(kPrintNotStarted);
    pnlImage_->show();
    printing_ = false;
    Btn_PrintStop_->hide();
    setBusy(false);
    for (QWidget* w : grpPrinter_->findChildren<QWidget*>())
        w->setEnabled(true);
    QApplication::restoreOverrideCursor();
    lblPrintMsg_->clear();
    lblPrintMsg_->hide();
}

// Pages first to last on the printer's layout (the preview's at 95 %); the
// stop button ends the document after a new page.
bool TfrmGridPrint_01::printPages(int first, int last) {
    if (last < first) return true;
    data_->layout(1);
    QPrinter& printer = printers_.printer();
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    for (int i = first; i <= last; ++i) {
        QCoreApplication::processEvents();
        if (!printing_) {
            if (dialogs_.question(kStopQuestion)) {
                printer.newPage();
                break;
            }
            printing_ = true;
        }
        lblPrintMsg_->setText(QStringLiteral("グリッドを印刷中です...   PAGE  %1 / %2 ")
                                  .arg(i)
                                  .arg(pageCount()));
        lblPrintMsg_->adjustSize();
        painter_->drawPage(painter, i, 1.0);
        if (i < last) printer.newPage();
    }
    painter.end();
    return true;
}

} // namespace tabulix
