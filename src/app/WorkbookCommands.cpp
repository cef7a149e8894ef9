// The main window's side of opening a worksheet: the open dialog, the sheet
// window and the load of the sheet's lines as if from a CSV file.
#include "app/TFm_Tabulix01.h"

#include "app/ToolPanels.h"
#include "settings/InstalledProgram.h"
#include "table/UserDialogs.h"
#include "text/TextHelpers.h"
#include "workbook/TfrmCsvExcel.h"
#include "workbook/Workbook.h"
#include "workbook/WorkbookRequest.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QPushButton>

namespace tabulix {

void TFm_Tabulix01::connectWorkbookCommands() {
    connect(controls_.Btn_Excel, &QPushButton::clicked, this, &TFm_Tabulix01::Btn_ExcelClick);
    connect(action("Mn_ExcelOpen"), &QAction::triggered, this, &TFm_Tabulix01::Btn_ExcelClick);
}

void TFm_Tabulix01::Btn_ExcelClick() {
    if (!offerSave()) return;
    const auto path = dialogs_.openFile(OpenWorkbookRequest(
        settings_.pathExcelFile,
        DialogStartFolder(QCoreApplication::applicationDirPath().toStdString())));
    if (path) ReadWorkbook(*path);
}

bool TFm_Tabulix01::ReadWorkbook(const std::string& path) {
    settings_.pathExcelFile = std::string(TrimBlanks(path));
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    OpenedWorkbook opened = OpenWorkbook(path);
    QGuiApplication::restoreOverrideCursor();
    if (!opened.book) {
        dialogs_.error(WorkbookFailureMessage(path, opened.problem));
        return false;
    }
    std::string lines;
    bool readDone = false;
    {
        TfrmCsvExcel sheets(*opened.book, path, lines, dialogs_, kReferenceComboHeight * 2 / 5, this);
        sheets.exec();
        readDone = sheets.readDone();
    }
    opened.book.reset();
    if (!readDone) return false;

    // The lines are comma-separated whatever separator is chosen for saving.
    beginLongWork(QStringLiteral(" ＣＳＶファイルの読み込み中です。"));
    const Separator kept = separator_;
    const std::string keptPath = fileInf_.path;
    const bool keptExists = fileInf_.exists;
    const TextEncoding keptEncoding = tableEncoding_;
    separator_ = Separator::of(',');
    fileInf_.path = path;
    fileInf_.exists = true;
    tableEncoding_ = TextEncoding::Utf8;
    const bool loaded = loadText(lines, false);
    separator_ = kept;
    if (!loaded) {
        // Too large for the grid or the memory: the old table stays.
        fileInf_.path = keptPath;
        fileInf_.exists = keptExists;
        tableEncoding_ = keptEncoding;
    }
    endLongWork();
    if (!loaded) dialogs_.error(WorkbookFailureMessage(path, WorkbookProblem::TooLargeForTable));
    return loaded;
}

} // namespace tabulix
