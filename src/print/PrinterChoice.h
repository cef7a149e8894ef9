#pragma once

#include "print/PrintJob.h"
#include "print/PrintTexts.h"

#include <QStringList>

#include <memory>
#include <optional>
#include <string>

class QPrinter;

namespace tabulix {

// The printers the preview offers: the system's printers, then the always
// present "PDF ファイル" printer, so that a stored index of a system printer
// stays valid. Holds the chosen printer with its paper and orientation.
class PrinterChoice {
public:
    // The system's printer names, in the order the index refers to.
    static QStringList systemPrinters();
    static QString pdfPrinterName();

    explicit PrinterChoice(QStringList printers = systemPrinters(), bool withPdf = true);
    ~PrinterChoice();
    PrinterChoice(const PrinterChoice&) = delete;
    PrinterChoice& operator=(const PrinterChoice&) = delete;

    int count() const { return static_cast<int>(names_.size()); }
    const QStringList& names() const { return names_; }
    // Below 0 or beyond the list: the system's default printer, or the PDF
    // printer when the system names none of its own.
    void select(int index);
    int index() const { return index_; }
    bool isPdf() const;

    // The printer to draw on; its paper and orientation may be changed.
    QPrinter& printer() { return *printer_; }
    // Description, paper name and orientation word; nothing without a printer.
    std::optional<PrinterFacts> read() const;
    // The saved paper and orientation, where they name one.
    void applySaved(const std::string& paper, const std::string& orientation);
    void setPaper(PaperKind kind);
    void setOrientation(Orientation orientation);
    // The printable area in printer pixels and the printer's resolution.
    Paper paper() const;

private:
    QStringList names_;
    int systemCount_ = 0;
    int index_ = -1;
    std::unique_ptr<QPrinter> printer_;
};

} // namespace tabulix
