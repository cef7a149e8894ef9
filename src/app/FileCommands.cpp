// The main window's file commands: open a CSV file, open the clipboard, save.
#include "app/TFm_Tabulix01.h"

#include "draw/BreakShade.h"
#include "draw/ColumnWidths.h"
#include "csv/CsvDialogRequests.h"
#include "csv/CsvParser.h"
#include "csv/CsvWriter.h"
#include "csv/FileReading.h"
#include "csv/ReadAhead.h"
#include "settings/CommandLine.h"
#include "settings/InstalledProgram.h"
#include "table/FixedColumn.h"
#include "table/TableLayout.h"
#include "csv/TableLoader.h"
#include "table/UserDialogs.h"
#include "text/DisplayWidth.h"
#include "text/TextHelpers.h"
#include "workbook/Workbook.h"
#include "view/GridFont.h"
#include "view/GridWidget.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>

#include <filesystem>

namespace tabulix {

namespace {

const char* const kSaveQuestion = "内容が変更されています。\r\n\r\n保存しますか？";
const char* const kWriteFailed = "出力ファイルの作成に失敗しました。";
const char* const kInPlaceWithoutCopy =
    "このファイルは直接上書きして保存します。\r\n元の内容の控えを作成できません。\r\n"
    "保存に失敗すると元の内容は失われます。\r\n\r\n保存しますか？";
const char* const kUnencodable =
    "Shift_JIS で保存できない文字があります。\r\n\r\nUTF-8 で保存しますか？";
const char* const kEmptyClipboard = "現在、クリップボードにデータはありません。";
const char* const kInUse = "\r\n★\r\n★ これは現在編集中か又は他で使用中のファイルです。\r\n★"
                           "\r\n\r\n   PATH = ";
const char* const kUnreadable = "ファイルを読み込めませんでした。\r\n\r\n   PATH = ";
const char* const kClipboardUnreadable = "クリップボードの内容を読み込めませんでした。";
const char* const kEndedAtNul = "ファイルの途中に NUL 文字があります。\r\n\r\n"
                                "NUL 文字から後の内容は読み込んでいません。\r\n\r\n   PATH = ";

// The write failure, with what became of the file it was to replace.
std::string writeFailedMessage(const WriteResult& result) {
    const std::string failed = kWriteFailed;
    switch (result.oldFile) {
    case OldFile::None:
        break;
    case OldFile::Unchanged:
        return failed + "\r\n\r\n元のファイルは変更されていません。";
    case OldFile::Restored:
        return failed + "\r\n\r\n元のファイルは保存前の内容に戻しました。";
    case OldFile::NotRestored:
        if (result.copy.empty())
            return failed + "\r\n\r\n元のファイルは途中まで書き換えられています。";
        return failed +
               "\r\n\r\n元のファイルを保存前の内容に戻せませんでした。\r\n"
               "保存前の内容は下記に残っています。\r\n\r\n   PATH = " +
               PathForDisplay(result.copy);
    }
    return failed;
}

std::string programFolder() {
    return DialogStartFolder(QCoreApplication::applicationDirPath().toStdString());
}

QString encodingName(TextEncoding encoding) {
    switch (encoding) {
    case TextEncoding::ShiftJis:
        return QStringLiteral("Shift_JIS");
    case TextEncoding::Utf8:
        return QStringLiteral("UTF-8");
    case TextEncoding::Utf8Bom:
        return QStringLiteral("UTF-8 (BOM付)");
    case TextEncoding::Utf16Le:
        return QStringLiteral("UTF-16LE (BOM付)");
    case TextEncoding::Utf16Be:
        return QStringLiteral("UTF-16BE (BOM付)");
    }
    return {};
}

// The message for a cell that cannot be written in the encoding; row and
// column are the line and field of the file.
std::string cannotWriteMessage(TextEncoding encoding, const TextPosition& where) {
    return encodingName(encoding).toStdString() + " で保存できない文字があります。\r\n\r\n   " +
           std::to_string(where.row) + " 行目 、 " + std::to_string(where.col - kFirstDataCol + 1) +
           " 列目\r\n\r\nファイルは書き込んでいません。";
}

} // namespace

void TFm_Tabulix01::connectFileCommands() {
    const ToolControls& c = controls_;
    connect(c.Btn_OpenCsv, &QPushButton::clicked, this, &TFm_Tabulix01::Btn_OpenCsvClick);
    connect(action("Mn_FileOpen"), &QAction::triggered, this, &TFm_Tabulix01::Btn_OpenCsvClick);
    connect(c.Btn_OpenBoard, &QPushButton::clicked, this, &TFm_Tabulix01::Btn_OpenBoardClick);
    connect(action("Mn_BardOpen"), &QAction::triggered, this, &TFm_Tabulix01::Btn_OpenBoardClick);
    connect(c.Btn_Save, &QPushButton::clicked, this, [this] { Mn_FileSaveClick(true); });
    connect(action("Mn_FileSave"), &QAction::triggered, this, [this] { Mn_FileSaveClick(false); });
    connect(c.Cmb_Bunri, &QComboBox::activated, this, &TFm_Tabulix01::Cmb_BunriClick);
    connect(c.Cmb_Moji, &QComboBox::activated, this, [this] { grid_->setFocus(); });
}

void TFm_Tabulix01::Cmb_BunriClick() {
    const int index = controls_.Cmb_Bunri->currentIndex();
    if (index >= 0) separator_ = separatorTable()[index].separator;
    grid_->setFocus();
}

std::optional<TextEncoding> TFm_Tabulix01::chosenEncoding() const {
    switch (controls_.Cmb_Moji->currentIndex()) {
    case 1:
        return TextEncoding::ShiftJis;
    case 2:
        return TextEncoding::Utf8;
    case 3:
        return TextEncoding::Utf8Bom;
    case 4:
        return TextEncoding::Utf16Le; // the byte order follows the file
    default:
        return std::nullopt;
    }
}

void TFm_Tabulix01::showTableEncoding() {
    controls_.Lab_Moji->setText(encodingName(tableEncoding_));
}

bool TFm_Tabulix01::offerSave() {
    if (!modified_ || !dialogs_.question(kSaveQuestion)) return true;
    return Mn_FileSaveClick(false) != SaveOutcome::Failed;
}

bool TFm_Tabulix01::saveBeforeLeaving() {
    return Mn_FileSaveClick(false) != SaveOutcome::Failed;
}

void TFm_Tabulix01::Btn_OpenCsvClick() {
    if (!offerSave()) return;
    const auto path =
        dialogs_.openFile(OpenCsvRequest(fileInf_.path, settings_.pathEditFile, programFolder()));
    if (path) LoadFile(*path);
}

bool TFm_Tabulix01::OpenByName(const std::string& path) {
    if (std::filesystem::is_directory(path)) {
        settings_.pathEditFile = (std::filesystem::path(path) / "*").string();
        return false;
    }
    if (!CanReadFile(path)) {
        dialogs_.information(kInUse + PathForDisplay(path));
        return false;
    }
    return LoadFile(path);
}

void TFm_Tabulix01::beginLongWork(const QString& caption) {
    SetControlsEnabled(false);
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    grid_->hide();
    setBaseCaption(caption);
    repaint();
}

void TFm_Tabulix01::endLongWork() {
    controls_.pnlMsg->clear();
    setBaseCaption({});
    SetControlsEnabled(true);
    QGuiApplication::restoreOverrideCursor();
    setGridShown(true);
}

bool TFm_Tabulix01::LoadFile(const std::string& path) {
    // Read first: a file that cannot be read changes nothing.
    beginLongWork(QStringLiteral(" ＣＳＶファイルの読み込み中です。"));
    std::optional<AheadRead> ahead = takeReadAhead(path);
    const std::optional<TextFile> file =
        ahead ? std::optional<TextFile>(ahead->file) : ReadTextFile(path, chosenEncoding());
    if (!file) {
        endLongWork();
        dialogs_.information(kUnreadable + PathForDisplay(path));
        return false;
    }
    settings_.pathEditFile = path;
    const bool keptExists = fileInf_.exists;
    const std::string keptPath = fileInf_.path;
    const TextEncoding keptEncoding = tableEncoding_;
    fileInf_.exists = true;
    fileInf_.path = path;
    tableEncoding_ = file->encoding();
    if (!loadText(file->text(), false, &*file, ahead ? &*ahead : nullptr)) {
        // Too large for the grid or the memory: the old table stays.
        fileInf_.exists = keptExists;
        fileInf_.path = keptPath;
        tableEncoding_ = keptEncoding;
        endLongWork();
        dialogs_.information(kUnreadable + PathForDisplay(path));
        return false;
    }
    if (!file->intact()) {
        // Another program cut the file short during the load: the rows read
        // are not the file, so none of them is shown.
        fileInf_.exists = false;
        fileInf_.path.clear();
        loadText({}, false);
        endLongWork();
        dialogs_.information(kUnreadable + PathForDisplay(path));
        return false;
    }
    endLongWork();
    if (file->endedAtNul()) dialogs_.information(kEndedAtNul + PathForDisplay(path));
    return true;
}

void TFm_Tabulix01::showProgress(std::size_t done, std::size_t total) {
    setBaseCaption(QStringLiteral(" 読み込み中 ... ") + QString::number(done) +
                   QStringLiteral(" / ") + QString::number(total));
    // Painting is limited to once per 50 ms so that huge loads are not slowed.
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (now - lastProgressPaint_ < 50) return;
    lastProgressPaint_ = now;
    // Only the panel that shows the caption: the rest of the window is as
    // it was, and painting it all would hold the load up.
    repaintBaseCaption();
}

std::optional<AheadRead> TFm_Tabulix01::takeReadAhead(const std::string& path) {
    std::optional<AheadRead> ahead = readAhead_->take(
        path, chosenEncoding(), separator_,
        [this](std::size_t done, std::size_t total) { showProgress(done, total); });
    // A table filled otherwise than this load fills it, or whose fill failed
    // part way, came from a text let go by now: the file is read afresh.
    if (ahead && ahead->filledAs && (!ahead->table || *ahead->filledAs != loadSetupWith({})))
        return std::nullopt;
    return ahead;
}

// The load proper, once the text is there: the table is rebuilt from it.
bool TFm_Tabulix01::loadText(std::string_view text, bool modified, const TextFile* source,
                             AheadRead* ahead) {
    lastProgressPaint_ = 0;
    const LoadSetup setup = loadSetupWith({});
    const LoadProgress progress = [this](std::size_t done, std::size_t total) {
        showProgress(done, total);
    };
    const ConsumedText consumed = [source](std::string_view part) {
        if (source) source->letGo(part);
    };
    std::optional<std::size_t> records;
    std::optional<LoadedLayout> laidOutAs;
    if (ahead && ahead->table) {
        AdoptTable(table_, std::move(*ahead->table));
        records = ahead->records;
        if (ahead->laidOut) laidOutAs = aheadLayout_;
    } else if (ahead) {
        records = FillPlanned(table_, std::move(ahead->plan), setup.metrics, progress,
                              setup.layout, LoadLimits::ofMachine(), consumed);
    } else {
        records = FillTable(table_, text, separator_, setup.metrics, progress, setup.layout,
                            LoadLimits::ofMachine(), consumed);
    }
    if (!records) return false;
    edit_.headerMode = HeaderMode::Cells;
    fileInf_.loaded = true;
    controls_.Lab_Records->clear();
    controls_.Lab_Fields->clear();
    events_.historyCleared();
    modified_ = modified;
    edit_.forgetForReset();
    fileInf_.lineCount = static_cast<int>(*records);
    controls_.Cmb_FixedCol->clear();
    controls_.Cmb_FixedCol->addItem(QStringLiteral(" 無し"));
    afterFill(laidOutAs);
    return true;
}

void TFm_Tabulix01::afterFill(const std::optional<LoadedLayout>& laidOutAs) {
    QComboBox* fixedCol = controls_.Cmb_FixedCol;
    fixedCol->clear();
    for (const std::string& item : FixedColumnItems(table_.grid))
        fixedCol->addItem(QString::fromStdString(item));
    if (controls_.Cmb_LimColLen->currentIndex() < 0)
        controls_.Cmb_LimColLen->setCurrentIndex(kWidthLimitFallbackItem);
    readDisplayOptions();
    const LoadedLayout layout = loadedLayoutWith({});
    fixedCol->setCurrentIndex(FixedColumnItemFor(table_.grid, layout.fixedColumnItem));
    settings_.cmbFixedCol = fixedCol->currentIndex();
    settings_.cmbFixedKeta = controls_.Cmb_FixedKeta->currentIndex();
    // A table laid out ahead exactly so is left as it is.
    if (laidOutAs != layout) LayOutLoadedTable(table_, layout);
    RefreshCaption();
    showTableEncoding();
    RenumberRows();

    grid_->setCurrentCellSilently(kFirstDataCol, table_.grid.fixedRows());
    edit_.mouseDownCol = kFirstDataCol;
    edit_.mouseDownRow = table_.grid.fixedRows();
    events_.tableReset();
    // The message panel's own look again, whatever a command gave it.
    QLabel* message = controls_.pnlMsg;
    QPalette palette = message->palette();
    palette.setColor(QPalette::Window, palette.color(QPalette::Button));
    palette.setColor(QPalette::WindowText, Qt::blue);
    message->setAutoFillBackground(true);
    message->setPalette(palette);
    events_.columnsChanged();
    events_.resultsStale(false);
}

WriteTableResult TFm_Tabulix01::writeTable(const std::string& path, TextEncoding encoding,
                                           TextPosition* unwritable) {
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const WriteTableResult result =
        WriteTable(table_.grid, path, separator_, encoding, unwritable);
    QGuiApplication::restoreOverrideCursor();
    return result;
}

TFm_Tabulix01::SaveOutcome TFm_Tabulix01::Mn_FileSaveClick(bool fromButton) {
    std::string name = fileInf_.path;
    const bool named = !TrimBlanks(name).empty();
    // A table read from a workbook is saved through the dialog, proposed as
    // a .csv beside it, so the workbook itself is never overwritten.
    const bool workbook = named && IsWorkbookFile(name);
    if (fromButton && named && !workbook) {
        if (!dialogs_.confirm("編集中の内容を下記のファイル名で保存します。\r\n\r\n     PATH = " +
                              PathForDisplay(name)))
            return SaveOutcome::Cancelled;
    } else {
        const std::string start =
            workbook ? std::filesystem::path(name).replace_extension(".csv").string() : name;
        const auto chosen =
            dialogs_.saveFile(SaveCsvRequest(start, settings_.pathEditFile, programFolder()));
        if (!chosen || chosen->empty()) return SaveOutcome::Cancelled;
        name = WithCsvExtension(*chosen);
        if (IsWorkbookFile(name)) {
            dialogs_.information("このファイルは Excel のファイルなので上書きしません。\r\n\r\n     PATH = " +
                                 PathForDisplay(name));
            return SaveOutcome::Failed;
        }
    }
    TextEncoding encoding = chosenEncoding().value_or(tableEncoding_);
    const WriteSession session([this](const std::string&) {
        QGuiApplication::restoreOverrideCursor();
        const bool yes = dialogs_.question(kInPlaceWithoutCopy);
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        return yes;
    });
    if (IsUtf16(encoding) && IsUtf16(tableEncoding_)) encoding = tableEncoding_;
    TextPosition where;
    WriteTableResult result = writeTable(name, encoding, &where);
    // Nothing was written. UTF-8 holds every character, but not the bytes a
    // Shift_JIS file held that are no characters: the question is only for
    // characters that Shift_JIS lacks.
    if (result == WriteTableResult::Unencodable && encoding == TextEncoding::ShiftJis &&
        CanEncode(table_.grid.cell(where.col, where.row), TextEncoding::Utf8)) {
        if (!dialogs_.question(kUnencodable)) return SaveOutcome::Failed;
        encoding = TextEncoding::Utf8;
        result = writeTable(name, encoding, &where);
    }
    if (result == WriteTableResult::Unencodable) {
        dialogs_.information(cannotWriteMessage(encoding, where));
        return SaveOutcome::Failed;
    }
    if (result != WriteTableResult::Ok) {
        if (!session.lastResult().declined)
            dialogs_.information(writeFailedMessage(session.lastResult()));
        return SaveOutcome::Failed;
    }
    settings_.pathEditFile = name;
    fileInf_.path = name;
    tableEncoding_ = encoding;
    RefreshCaption();
    showTableEncoding();
    modified_ = false;
    events_.historyCleared();
    return SaveOutcome::Saved;
}

void TFm_Tabulix01::Btn_OpenBoardClick() {
    OpenClipboard(false, {});
}

void TFm_Tabulix01::OpenClipboard(bool fromCommandLine, const std::string& caption) {
    beginLongWork(QStringLiteral(" クリップボードの読み込み中です。"));
    const Separator kept = separator_;
    const std::string text = clipboard_.text();
    if (text.find('\t') != std::string::npos) separator_ = Separator::of('\t');
    const std::size_t lines = CountRecords(text, separator_);
    bool go = true;
    if (!fromCommandLine) {
        if (lines == 0) {
            dialogs_.information(kEmptyClipboard);
            go = false;
        } else {
            go = dialogs_.question("現在のクリップボードの内容を 【 読み込み 】 ます。\r\n\r\n"
                                   "   先頭内容 → " +
                                   TextPreview(text, 20) + "\r\n\r\n          行数 ： " +
                                   std::to_string(lines) + " 行") &&
                 offerSave();
        }
    }
    if (go) {
        const std::string keptPath = fileInf_.path;
        const bool keptExists = fileInf_.exists;
        const TextEncoding keptEncoding = tableEncoding_;
        fileInf_.path = caption;
        fileInf_.exists = false;
        tableEncoding_ = TextEncoding::Utf8;
        if (!loadText(text, !fromCommandLine)) {
            // Too large: the old table stays with its file.
            fileInf_.path = keptPath;
            fileInf_.exists = keptExists;
            tableEncoding_ = keptEncoding;
            dialogs_.information(kClipboardUnreadable);
        }
    }
    separator_ = kept;
    endLongWork();
}

} // namespace tabulix
