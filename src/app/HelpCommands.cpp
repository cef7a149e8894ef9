#include "app/HelpCommands.h"

#include "app/TFm_CsvFixed.h"
#include "app/TFm_Tabulix01.h"
#include "help/HelpDocuments.h"
#include "edit/PrintWork.h"
#include "help/TFm_Browse.h"
#include "print/TfrmGridPrint_01.h"
#include "table/StringGrid.h"
#include "view/GridFont.h"

#include <QAction>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFile>
#include <QGuiApplication>
#include <QMenuBar>
#include <QUrl>

namespace tabulix {

namespace {

struct HelpDocument {
    const char* entry;
    const char* file;
};

constexpr HelpDocument kDocuments[] = {
    {"Mn_Help_Begin", "Doc_Tabulix_Begin.Txt"},   {"Mn_Help_Guide1", "Doc_Tabulix_Guide1.Txt"},
    {"Mn_Help_Guide2", "Doc_Tabulix_Guide2.Txt"}, {"Mn_Help_Guide3", "Doc_Tabulix_Guide3.Txt"},
    {"Mn_Help_History", "Doc_Tabulix_History.Txt"},
};

bool openInDesktopBrowser(const std::string& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QFile::decodeName(path.c_str())));
}

} // namespace

HelpCommands::HelpCommands(TFm_Tabulix01& window)
    : QObject(&window), window_(window),
      browser_(new TFm_Browse(window.dialogs(), openInDesktopBrowser, &window)) {
    browser_->SetBrowseCaption(QStringLiteral("Tabulix Browse"));
    browser_->setPrintSettings(window.settings().printBrowser);
    for (const HelpDocument& doc : kDocuments) {
        QAction* entry = window.action(doc.entry);
        const char* file = doc.file;
        connect(entry, &QAction::triggered, this,
                [this, entry, file] { Mn_Help_DocumentClick(entry, file); });
    }
    QAction* colName = window.action("Mn_Help_ColName");
    connect(colName, &QAction::triggered, this, [this, colName] { Mn_Help_ColNameClick(colName); });
    connect(window.action("Mn_OutputCsv"), &QAction::triggered, this,
            &HelpCommands::Mn_OutputCsvClick);
    connect(browser_->findChild<QAction*>(QStringLiteral("Mn_Print")), &QAction::triggered, this,
            &HelpCommands::Mn_PrintClick);
}

// The shown text through the print preview as a text document: one line a
// row, each after one blank.
void HelpCommands::Mn_PrintClick() {
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    StringGrid& work = window_.WorkGrid();
    BuildTextDocumentWork(browser_->displayedText(), work);
    PrintJob job;
    job.sourceGrid = &work;
    job.titleLines = {browser_->printTitle(), "", "", ""};
    job.tableMode = false;
    job.mainWindowMode = false;
    job.initialRows = 0;
    job.maxCellLines = 20;
    job.printSettings = browser_->printSettings();
    job.sourceFontHeight = gridFont().pixelSize();
    QGuiApplication::restoreOverrideCursor();
    browser_->setPrintSettings(RunPrintPreview(job, window_.dialogs(), browser_));
    work = StringGrid(1, 1);
}

void HelpCommands::registerEntries() {
    for (const char* name : {"Mn_Help_Begin", "Mn_Help_Guide1", "Mn_Help_Guide2", "Mn_Help_Guide3",
                             "Mn_Help_ColName", "Mn_Help_History"})
        browser_->RegisterBrowseEntry(window_.menuBar(), QStringLiteral("Mn_Help"),
                                      QString::fromUtf8(name));
}

std::string HelpCommands::programFolder() const {
    return QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString();
}

void HelpCommands::Mn_Help_DocumentClick(QAction* entry, const char* fileName) {
    browser_->ShowTextFile(entry, {}, false, HelpDocumentPath(programFolder(), fileName));
}

void HelpCommands::Mn_Help_ColNameClick(QAction* entry) {
    browser_->ShowText(entry, {}, ColumnNameHelpText());
}

void HelpCommands::Mn_OutputCsvClick() {
    TFm_CsvFixed output(window_, *browser_, &window_);
    output.exec();
    window_.raise();
}

} // namespace tabulix
