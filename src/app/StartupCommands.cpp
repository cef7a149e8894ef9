// The main window's start and end: the command-line argument, dropped files,
// and the settings kept between runs.
#include "app/TFm_Tabulix01.h"

#include "app/HelpCommands.h"
#include "help/TFm_Browse.h"

#include "app/TFm_CsvEtc.h"
#include "search/TFm_Tabulix02.h"
#include "csv/ReadAhead.h"
#include "settings/CommandLine.h"
#include "settings/SettingsFile.h"
#include "table/UserDialogs.h"
#include "view/GridFont.h"
#include "view/GridWidget.h"

#include <QAction>
#include <QByteArray>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QMimeData>
#include <QUrl>

#include <cstdio>
#include <filesystem>

namespace tabulix {

namespace {

const char* const kSaveQuestion = "内容が変更されています。\r\n\r\n保存しますか？";

bool containsClipboardRequest(const std::string& target) {
    return QString::fromStdString(target).contains(QStringLiteral("Key:ClipBoard"),
                                                   Qt::CaseInsensitive);
}

} // namespace

void TFm_Tabulix01::applyCommandLineKeys(const CommandLine& keys) {
    const ToolControls& c = controls_;
    if (keys.fixedRows && *keys.fixedRows >= 0)
        c.Cmb_FixedRows->setCurrentIndex(fixedRowsItemWith(keys));
    if (keys.fixedRowSEQ) action("Mn_FixedRowSEQ")->setChecked(*keys.fixedRowSEQ);
    if (keys.separatorIndex) {
        c.Cmb_Bunri->setCurrentIndex(*keys.separatorIndex);
        separator_ = separatorWith(keys);
    }
}

int TFm_Tabulix01::fixedRowsItemWith(const CommandLine& keys) const {
    const QComboBox* fixedRows = controls_.Cmb_FixedRows;
    if (!keys.fixedRows || *keys.fixedRows < 0) return fixedRows->currentIndex();
    return *keys.fixedRows < fixedRows->count() ? *keys.fixedRows : -1;
}

Separator TFm_Tabulix01::separatorWith(const CommandLine& keys) const {
    return keys.separatorIndex ? separatorTable()[*keys.separatorIndex].separator : separator_;
}

LoadSetup TFm_Tabulix01::loadSetupWith(const CommandLine& keys) const {
    ResetMetrics metrics = resetMetrics();
    metrics.noSeparator = separatorWith(keys).isNone();
    // Laid out at once as afterFill will lay the rows out (see FillTable).
    const LoadedRowLayout layout{
        RowNumbering{keys.fixedRowSEQ.value_or(menuChecked("Mn_FixedRowSEQ")),
                     std::max(0, fixedRowsItemWith(keys))},
        std::max(0, settings_.cmbFixedCol)};
    return {metrics, layout};
}

LoadedLayout TFm_Tabulix01::loadedLayoutWith(const CommandLine& keys) const {
    WidthRule widths = widthRule();
    widths.noSeparator = separatorWith(keys).isNone();
    return {settings_.cmbFixedCol, controls_.Cmb_FixedKeta->currentIndex(),
            fixedRowsItemWith(keys), widths, displayOptionsNow(), gridCharHeight()};
}

void TFm_Tabulix01::CommandLineHandler(const std::string& argument) {
    raise();
    activateWindow();
    const CommandLine keys = ParseCommandLine(argument);
    applyCommandLineKeys(keys);
    if (keys.clipboard || containsClipboardRequest(keys.target)) {
        OpenClipboard(true, keys.clipCaption);
        return;
    }
    if (modified_ && dialogs_.question(kSaveQuestion) &&
        Mn_FileSaveClick(false) == SaveOutcome::Failed)
        return;
    const std::string target = WithoutTrailingSlashes(keys.target);
    const bool folder = std::filesystem::is_directory(target);
    if (!OpenByName(target) && !folder) return;
    if (!keys.caption.empty()) {
        captionOverride_ = QString::fromStdString(keys.caption);
        RefreshCaption();
    }
}

void TFm_Tabulix01::readStartFileAhead() {
    if (!startArgument_) return;
    const CommandLine keys = ParseCommandLine(*startArgument_);
    if (keys.clipboard || containsClipboardRequest(keys.target)) return;
    // As the handler will load it and the window lay it out, once it has
    // applied the keys.
    aheadLayout_ = loadedLayoutWith(keys);
    readAhead_->start(WithoutTrailingSlashes(keys.target), chosenEncoding(), separatorWith(keys),
                      loadSetupWith(keys), LoadLimits::ofMachine(),
                      [layout = *aheadLayout_](Table& table) { LayOutLoadedTable(table, layout); });
}

void TFm_Tabulix01::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

// Only the first of several dropped files is opened, as if it had been the
// program's argument; its path is quoted so that commas in it survive.
void TFm_Tabulix01::dropEvent(QDropEvent* event) {
    event->acceptProposedAction();
    openDropped(event->mimeData()->urls());
}

void TFm_Tabulix01::openDropped(const QList<QUrl>& urls) {
    finishCellEdit();
    if (urls.isEmpty() || !urls.first().isLocalFile()) return;
    // The path's bytes, also where they are not UTF-8 (names from Windows
    // archives): toLocalFile() would turn such bytes into U+FFFD.
    const std::string path =
        QByteArray::fromPercentEncoding(urls.first().path(QUrl::FullyEncoded).toLatin1())
            .toStdString();
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    CommandLineHandler(QuoteDroppedPath(path));
    QGuiApplication::restoreOverrideCursor();
}

void TFm_Tabulix01::rememberWindowRect() {
    if (windowState() & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen)) return;
    const QRect r = geometry();
    settings_.windowTop = r.top();
    settings_.windowLeft = r.left();
    settings_.windowWidth = r.width();
    settings_.windowHeight = r.height();
}

void TFm_Tabulix01::CollectSettings() {
    Settings& s = settings_;
    const ToolControls& c = controls_;
    s.winSta = isMaximized() ? 1 : 0;
    s.cmbFixedKeta = c.Cmb_FixedKeta->currentIndex();
    // A list of " 無し" alone (no table loaded) keeps the stored choice for
    // the next load.
    if (c.Cmb_FixedCol->count() > 1) s.cmbFixedCol = c.Cmb_FixedCol->currentIndex();
    s.cmbFixedRows = c.Cmb_FixedRows->currentIndex();
    s.cmbKomRow = c.Cmb_KomRow->currentIndex();
    s.cmbLimColLen = c.Cmb_LimColLen->currentIndex();
    s.cmbFold = c.Cmb_Fold->currentIndex();
    s.cmbCrNext = c.Cmb_CrNext->currentIndex();
    s.cmbBunri = c.Cmb_Bunri->currentIndex();
    s.cmbMoji = c.Cmb_Moji->currentIndex();
    s.printBrowser = help_->browser()->printSettings();
    const std::pair<const char*, bool*> checks[] = {
        {"Mn_FixedCenter", &s.fixedCenter},   {"Mn_DataCenter", &s.dataCenter},
        {"Mn_TrimSpace", &s.trimSpace},       {"Mn_DateEdit", &s.dateEdit},
        {"Mn_BreakColor", &s.breakColor},     {"Mn_KaraGyoColor", &s.karaGyoColor},
        {"Mn_KaraGyoBlack", &s.karaGyoBlack}, {"Mn_FixedRowSEQ", &s.fixedRowSEQ},
        {"Mn_ConfPaste", &s.confPaste},       {"Mn_ConfClear", &s.confClear},
        {"Mn_ConfInsert", &s.confInsert},     {"Mn_ConfCopy", &s.confCopy},
        {"Mn_ConfMove", &s.confMove},         {"Mn_ConfDelete", &s.confDelete}};
    for (const auto& [name, value] : checks)
        *value = menuChecked(name);
    search_->StoreFindHistory(s.findWords);
}

void TFm_Tabulix01::writeSettingsFile() {
    if (settingsFile_.empty()) return;
    std::string reason;
    if (!SaveSettings(settings_, settingsFile_, &reason))
        std::fprintf(stderr, "tabulix: the settings could not be written to %s: %s\n",
                     settingsFile_.c_str(), reason.c_str());
}

void TFm_Tabulix01::Mn_RecEtcClick() {
    TFm_CsvEtc dialog(dialogs_, settings_.cmbZoneSign, this);
    dialog.exec();
}

} // namespace tabulix
