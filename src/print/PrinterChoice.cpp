#include "print/PrinterChoice.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>

namespace tabulix {

namespace {

constexpr int kPdfDpi = 600;
constexpr int kNameLimit = 128;

std::string limited(const QString& text) {
    return text.left(kNameLimit).toStdString();
}

QPageSize::PageSizeId pageSizeOf(PaperKind kind) {
    switch (kind) {
    case PaperKind::A3: return QPageSize::A3;
    case PaperKind::A5: return QPageSize::A5;
    case PaperKind::B4: return QPageSize::JisB4;
    case PaperKind::B5: return QPageSize::JisB5;
    case PaperKind::A4:
    case PaperKind::Other: break;
    }
    return QPageSize::A4;
}

PaperKind paperKindOf(QPageSize::PageSizeId id) {
    switch (id) {
    case QPageSize::A3: return PaperKind::A3;
    case QPageSize::A4: return PaperKind::A4;
    case QPageSize::A5: return PaperKind::A5;
    case QPageSize::JisB4: return PaperKind::B4;
    case QPageSize::JisB5: return PaperKind::B5;
    default: break;
    }
    return PaperKind::Other;
}

} // namespace

QStringList PrinterChoice::systemPrinters() {
    return QPrinterInfo::availablePrinterNames();
}

QString PrinterChoice::pdfPrinterName() {
    return QStringLiteral("PDF ファイル");
}

PrinterChoice::PrinterChoice(QStringList printers, bool withPdf)
    : names_(std::move(printers)), systemCount_(static_cast<int>(names_.size())) {
    if (withPdf) names_.append(pdfPrinterName());
}

PrinterChoice::~PrinterChoice() = default;

void PrinterChoice::select(int index) {
    if (index < 0 || index >= count()) {
        const int systemDefault =
            static_cast<int>(names_.indexOf(QPrinterInfo::defaultPrinterName()));
        index = systemDefault >= 0 && systemDefault < systemCount_ ? systemDefault : count() - 1;
    }
    // The same printer keeps its paper and orientation.
    if (index == index_ && printer_) return;
    index_ = index;
    if (index < 0) {
        printer_.reset();
        return;
    }
    if (isPdf()) {
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer_->setOutputFormat(QPrinter::PdfFormat);
        printer_->setResolution(kPdfDpi);
        printer_->setPageSize(QPageSize(QPageSize::A4));
        printer_->setPageOrientation(QPageLayout::Portrait);
    } else {
        const QPrinterInfo info = QPrinterInfo::printerInfo(names_[index]);
        printer_ = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    }
}

bool PrinterChoice::isPdf() const {
    return index_ >= systemCount_ && index_ < count();
}

std::optional<PrinterFacts> PrinterChoice::read() const {
    if (!printer_) return std::nullopt;
    PrinterFacts facts;
    if (isPdf()) {
        facts.description = limited(pdfPrinterName()) + " PDF FILE:";
    } else {
        const QPrinterInfo info = QPrinterInfo::printerInfo(names_[index_]);
        if (info.isNull()) return std::nullopt;
        facts.description = limited(info.printerName()) + " " + limited(info.makeAndModel()) +
                            " " + limited(info.location());
    }
    const QPageLayout layout = printer_->pageLayout();
    facts.paperName = PaperName(paperKindOf(layout.pageSize().id()));
    facts.orientation = OrientationWord(layout.orientation() == QPageLayout::Landscape
                                            ? Orientation::Landscape
                                            : Orientation::Portrait);
    return facts;
}

void PrinterChoice::applySaved(const std::string& paper, const std::string& orientation) {
    if (!printer_) return;
    if (const auto kind = PaperFromSaved(paper)) setPaper(*kind);
    if (const auto o = OrientationFromSaved(orientation)) setOrientation(*o);
}

void PrinterChoice::setPaper(PaperKind kind) {
    if (printer_) printer_->setPageSize(QPageSize(pageSizeOf(kind)));
}

void PrinterChoice::setOrientation(Orientation orientation) {
    if (!printer_) return;
    printer_->setPageOrientation(orientation == Orientation::Landscape ? QPageLayout::Landscape
                                                                       : QPageLayout::Portrait);
}

Paper PrinterChoice::paper() const {
    if (!printer_) return {};
    const int dpi = printer_->resolution();
    const QRect area = printer_->pageLayout().paintRectPixels(dpi);
    return Paper{area.width(), area.height(), dpi};
}

} // namespace tabulix
