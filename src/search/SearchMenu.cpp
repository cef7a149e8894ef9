// The search window's menu: saving the results, clearing the word history.
#include "search/TFm_Tabulix02.h"

#include "text/TextHelpers.h"
#include "view/GridWidget.h"

#include "csv/CsvDialogRequests.h"
#include "csv/CsvWriter.h"
#include "search/ResultsFile.h"
#include "settings/InstalledProgram.h"
#include "table/UserDialogs.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>

namespace tabulix {

namespace {

const char* const kClearHistoryQuestion = " 検索履歴をクリアーします。\r\n\r\nよろしいですか？";
const char* const kWriteFailed = "出力ファイルの作成に失敗しました。";
const char* const kUnencodable =
    "Shift_JIS で保存できない文字があります。\r\n\r\nUTF-8 で保存しますか？";

QAction* addItem(QMenu* menu, const char* name, const char* caption) {
    QAction* action = menu->addAction(QString::fromUtf8(caption));
    action->setObjectName(QString::fromUtf8(name));
    return action;
}

} // namespace

void TFm_Tabulix02::buildMenu() {
    QMenuBar* bar = menuBar();
    QMenu* file = bar->addMenu(QStringLiteral("File(&F)"));
    Mn_FileSave_ = addItem(file, "Mn_FileSave", "1. CSVファイルとして保存する (&S)");
    Mn_Exit_ = addItem(file, "Mn_Exit", "2. 終了(&X)");
    QMenu* print = bar->addMenu(QStringLiteral("Print(&P)"));
    Mn_Print_ = addItem(print, "Mn_Print", "1. 印刷する");
    Mn_Print_->setEnabled(false); // until there are results
    QMenu* option = bar->addMenu(QStringLiteral("Option(&O)"));
    Mn_FindHistoryClear_ = addItem(option, "Mn_FindHistoryClear", "1. 検索履歴クリアー");
    connect(Mn_FileSave_, &QAction::triggered, this, &TFm_Tabulix02::Mn_FileSaveClick);
    connect(Mn_Exit_, &QAction::triggered, this, &TFm_Tabulix02::Mn_ExitClick);
    connect(Mn_Print_, &QAction::triggered, this, &TFm_Tabulix02::Mn_PrintClick);
    connect(Mn_FindHistoryClear_, &QAction::triggered, this,
            &TFm_Tabulix02::Mn_FindHistoryClearClick);
}

// The results without their number and fixed columns, in the table's
// separator and encoding.
void TFm_Tabulix02::Mn_FileSaveClick() {
    UserDialogs& dialogs = source_.dialogs;
    const auto chosen = dialogs.saveFile(SaveResultsRequest(
        source_.pathSelectFile,
        DialogStartFolder(QCoreApplication::applicationDirPath().toStdString())));
    if (!chosen || chosen->empty()) return;
    const std::string name = WithCsvExtension(*chosen);
    source_.pathSelectFile = name;
    TextEncoding encoding = source_.encoding();
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    WriteTableResult result = WriteTable(results_, name, source_.separator(), encoding);
    QGuiApplication::restoreOverrideCursor();
    if (result == WriteTableResult::Unencodable && encoding == TextEncoding::ShiftJis) {
        if (!dialogs.question(kUnencodable)) return;
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        result = WriteTable(results_, name, source_.separator(), TextEncoding::Utf8);
        QGuiApplication::restoreOverrideCursor();
    }
    if (result != WriteTableResult::Ok) dialogs.information(kWriteFailed);
    show();
}

void TFm_Tabulix02::Mn_FindHistoryClearClick() {
    if (!source_.dialogs.confirm(kClearHistoryQuestion)) return;
    history_.Clear();
    showHistory();
}

// The results through the main window's print preview, with the search's
// file, condition and words as heading lines.
void TFm_Tabulix02::Mn_PrintClick() {
    if (!source_.print) return;
    Grid_->hide();
    const std::array<std::string, 4> titles = {
        "File.Name  : " + std::string(TrimBlanks(source_.fileName ? source_.fileName() : std::string())),
        std::string("検索条件   : ") + (Rdo_OR_->isChecked() ? "OR" : "AND"),
        "検索文字列 : " + Edt_Word_->text().toStdString(), ""};
    source_.print(results_, titles);
    Grid_->show();
}

} // namespace tabulix
