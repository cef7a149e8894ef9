// The Save menu of the preview: the print data as CSV/text or as an HTML page,
// saved under a chosen name or shown in the desktop's browser.
#include "print/TfrmGridPrint_01.h"

#include "csv/FileWriting.h"
#include "print/PrintData.h"
#include "print/PrintExport.h"
#include "settings/InstalledProgram.h"
#include "table/UserDialogs.h"
#include "text/TextHelpers.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFile>
#include <QGuiApplication>
#include <QUrl>

#include <filesystem>
#include <optional>

namespace tabulix {

namespace {

// The hourglass while a file is made, taken back on every way out.
class WaitCursor {
public:
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

std::string localPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

bool openInBrowser(const std::string& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QFile::decodeName(path.c_str())));
}

// The chosen name, trimmed; nothing when cancelled or blank.
std::optional<std::string> chosen(UserDialogs& dialogs, const FileDialogRequest& request) {
    const std::optional<std::string> answer = dialogs.saveFile(request);
    if (!answer) return std::nullopt;
    const std::string_view name = TrimBlanks(*answer);
    if (name.empty()) return std::nullopt;
    return std::string(name);
}

} // namespace

void TfrmGridPrint_01::setExportPlaces(std::string programFile, std::string cacheFolder) {
    programFile_ = std::move(programFile);
    cacheFolder_ = std::move(cacheFolder);
}

std::string TfrmGridPrint_01::programFolder() const {
    if (!programFile_.empty())
        return DialogStartFolder(std::filesystem::path(programFile_).parent_path().string());
    return DialogStartFolder(localPath(QCoreApplication::applicationDirPath()));
}

bool TfrmGridPrint_01::writeExport(const std::string& path, const std::string& bytes) {
    bool ok = false;
    {
        WaitCursor wait;
        ok = !path.empty() && WriteFileAtomically(path, bytes).ok();
    }
    if (!ok) dialogs_.information(kExportFailedMessage);
    return ok;
}

void TfrmGridPrint_01::Mn_SaveCsvClick() {
    PrintSettings& s = data_->settings();
    const auto path = chosen(dialogs_, PrintCsvRequest(s, job_.tableMode, programFolder()));
    if (!path) return;
    s.savePath = *path;
    std::string bytes;
    {
        WaitCursor wait;
        bytes = PrintDataCsv(*data_);
    }
    writeExport(*path, bytes);
}

void TfrmGridPrint_01::Mn_SaveHtmlClick() {
    PrintSettings& s = data_->settings();
    const auto path = chosen(dialogs_, PrintHtmlRequest(s, programFolder()));
    if (!path) return;
    s.htmlPath = *path;
    std::string bytes;
    {
        WaitCursor wait;
        bytes = PrintDataHtml(*data_);
    }
    writeExport(*path, bytes);
}

// The page goes to the temporary file, which stays when the launch fails.
void TfrmGridPrint_01::Mn_ExecHtmlClick() {
    const std::string program =
        programFile_.empty() ? localPath(QCoreApplication::applicationFilePath()) : programFile_;
    const std::string cache = programFile_.empty() ? UserCacheFolder() : cacheFolder_;
    const std::string path = TemporaryHtmlPath(program, cache);
    std::string bytes;
    {
        WaitCursor wait;
        bytes = PrintDataHtml(*data_);
    }
    if (!writeExport(path, bytes)) return;
    const HtmlOpener& open = opener_ ? opener_ : HtmlOpener(openInBrowser);
    if (!open(path)) dialogs_.information(kBrowserFailedMessage);
}

} // namespace tabulix
