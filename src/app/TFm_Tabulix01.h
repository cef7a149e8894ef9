#pragma once

#include "settings/Settings.h"
#include "app/ToolPanels.h"
#include "edit/EditState.h"
#include "csv/CsvWriter.h"
#include "draw/DisplayText.h"
#include "draw/LoadedLayout.h"
#include "csv/Separators.h"
#include "table/Table.h"
#include "table/TableEvents.h"
#include "table/TableRecords.h"
#include "table/WidthRule.h"
#include "csv/TextEncoding.h"
#include "text/DoubleClick.h"

#include <QMainWindow>

#include <memory>
#include <optional>
#include <string>
#include <string_view>

class QAction;
class QCheckBox;
class QUrl;
class QTimer;

namespace tabulix {

class TextFile;
class ReadAhead;
struct AheadRead;
struct LoadSetup;

class CaptionPanel;
struct CommandLine;
class EditCommands;
class HelpCommands;
class PrintCommands;
class Clipboard;
class GridWidget;
class TFm_Tabulix02;
class TFm_CsvFunc;
class UserDialogs;
struct ResetMetrics;
struct RowNumbering;

// The main window: owns the table (the grid `Grid` with its row and column
// records), the file information, the modified flag, the current separator
// and the editing state. Commands live in plain functions over that state;
// this class turns events into calls of them.
class TFm_Tabulix01 : public QMainWindow {
    Q_OBJECT

public:
    TFm_Tabulix01(UserDialogs& dialogs, Clipboard& clipboard, Settings settings,
                  QWidget* parent = nullptr);
    ~TFm_Tabulix01() override;

    // The table and its state, for the commands and windows that work on it.
    Table& table() { return table_; }
    StringGrid& Grid() { return table_.grid; }
    GridWidget* gridWidget() const { return grid_; }
    // The drag-scroll step's 25 ms timer.
    QTimer* gridTimer() const { return GridTimer_; }
    TCsvFileInf& fileInf() { return fileInf_; }
    EditState& editState() { return edit_; }
    TableEvents& tableEvents() { return events_; }
    const ToolControls& controls() const { return controls_; }
    Settings& settings() { return settings_; }
    UserDialogs& dialogs() { return dialogs_; }
    Clipboard& clipboard() { return clipboard_; }
    Separator separator() const { return separator_; }
    void setSeparator(Separator separator) { separator_ = separator; }
    TIsDClick& doubleClick() { return doubleClick_; }
    StringGrid& CopyGrid() { return copyGrid_; }
    StringGrid& WorkGrid() { return workGrid_; }
    StringGrid& VertGrid() { return vertGrid_; }
    // Row and column commands, undo and the grid's pop-up menus.
    EditCommands& editCommands() { return *editCommands_; }
    // The Help menu, the document browser and the display-content output.
    HelpCommands& helpCommands() { return *help_; }
    // The print entries and the print preview.
    PrintCommands& printCommands() { return *print_; }
    // Commits what is typed in the cell memo before the table is read or
    // left by a path that does not move the focus (a drop, closing).
    void finishCellEdit();

    bool modified() const { return modified_; }
    void setModified(bool modified) { modified_ = modified; }
    void setCaptionOverride(const QString& caption) { captionOverride_ = caption; }

    // Empties the table to its start layout (one data row and column unless a
    // size is given) and tells the windows working on it.
    void ResetTable(int columns = 0, int rows = 0);
    void RefreshCaption();
    // Enables or disables the controls of long work together; a control whose
    // command is not built stays disabled.
    void SetControlsEnabled(bool on);
    // Rewrites the row numbers, re-applies the header rows without moving the
    // cursor and refreshes the counters.
    void RenumberRows();
    // After a change of the column structure: column numbers, fixed-column
    // list and display, counters, and the windows' column lists.
    void RefreshColumns();
    // Header rows from the fixed-rows list; optionally the cursor goes to the
    // first data cell below them.
    void ApplyFixedRows(bool moveCursor);
    // Status text shown in the base panel while the grid is hidden.
    void setBaseCaption(const QString& text);
    // Paints the caption panel alone at once (progress during long work).
    void repaintBaseCaption();
    QString baseCaption() const;
    void setGridShown(bool shown);

    // Settings into the controls (list selections and check marks).
    void ApplySettings();

    RowNumbering rowNumbering() const;
    ResetMetrics resetMetrics() const;
    QAction* action(const char* objectName) const;
    bool menuChecked(const char* objectName) const;

    // File commands.
    enum class SaveOutcome { Saved, Cancelled, Failed };
    void Btn_OpenCsvClick();
    // Reads the file and makes it the table; a file that cannot be read is
    // reported and leaves everything as it was.
    bool LoadFile(const std::string& path);
    // A file named on the command line or dropped: read once as a test, then
    // loaded; a folder only becomes the start of the next open dialog.
    bool OpenByName(const std::string& path);
    SaveOutcome Mn_FileSaveClick(bool fromButton);
    void Btn_OpenBoardClick();
    void OpenClipboard(bool fromCommandLine, const std::string& caption);
    void Cmb_BunriClick();
    // Opens one worksheet of a workbook as the table.
    void Btn_ExcelClick();
    // Reads the workbook and lets the user choose the sheet; false when
    // nothing was loaded.
    bool ReadWorkbook(const std::string& path);
    TextEncoding tableEncoding() const { return tableEncoding_; }
    // What a save writes: the chosen encoding, else the table's own.
    TextEncoding saveEncoding() const { return chosenEncoding().value_or(tableEncoding_); }

    // The command-line argument (or a dropped file's quoted path): a file, a
    // folder or the clipboard request, with layout keys.
    void CommandLineHandler(const std::string& argument);
    // The first program argument, handed to the command-line handler once the
    // window has been shown.
    void setStartArgument(std::optional<std::string> argument) {
        startArgument_ = std::move(argument);
    }
    // Starts reading and filling the file the first argument names (see
    // readAhead_).
    void readStartFileAhead();
    // Copies the controls into the settings (at exit).
    void CollectSettings();
    // Where the settings are written at exit; empty writes nothing.
    void setSettingsFile(std::string path) { settingsFile_ = std::move(path); }
    void Mn_RecEtcClick();
    // Files dropped on the window: the first one is opened.
    void openDropped(const QList<QUrl>& urls);

    // View controls and View menu.
    const DisplayOptions& displayOptions() const { return displayOptions_; }
    void Cmb_FixedColClick();
    void Cmb_FixedRowsClick();
    void Cmb_KomRowClick();
    void Cmb_LimColLenClick();
    void Cmb_FoldClick();
    void scbMinVertScroll(int action);
    void scbMinHorzScroll(int action);
    void Chk_MoveRowClick();
    void Chk_MoveColClick();
    void Chk_RowSizeClick();
    void Mn_FixedCenterClick();
    void Mn_BreakColorClick();
    void Mn_KaraGyoColorClick(QAction* clicked);
    void Mn_GridWhiteClick(QAction* clicked);
    // Column widths and row heights by the current view controls.
    void ComputeWidthsAndHeights();
    void ComputeRowHeights();
    // The column-width rule of the current limit and separator.
    WidthRule widthRule() const;

    // The search window, created at start and shown by Btn_Select.
    TFm_Tabulix02* searchWindow() const { return search_; }
    void Btn_SelectClick();
    // The sort window: sorting rows and columns, and the column display.
    TFm_CsvFunc* csvFunc() const { return csvFunc_; }
    void Btn_SortClick();
    void Btn_ViewColClick();

    // Menu commands.
    void Mn_InitClearClick();
    void Mn_ExitClick();
    void Mn_FixedRowSEQClick();

    // The save button follows the modified flag (run by SaveTimer).
    void SaveTimerTimer();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void buildWindow();
    void connectCommands();
    void createSearchWindow();
    void applyAvailability();
    void placeOnScreen();
    void firstShow();
    void MyTimerTimer();
    void InsetBasePanel();
    bool confirmClose();
    // Runs the menu's save command before the table is left; false when the
    // table could not be written, so that it is not thrown away.
    bool saveBeforeLeaving();
    // The save question of the commands that replace the table; false when
    // the table could not be saved, so the command must not go on.
    bool offerSave();
    // False when the text is too large: the old table then stays.
    // `source`, when given, is the file the text lies in: its pages are let
    // go as the load passes them.
    // `ahead`, when given, is `text` read ahead: planned, perhaps filled.
    bool loadText(std::string_view text, bool modified, const TextFile* source = nullptr,
                  AheadRead* ahead = nullptr);
    // The read ahead of `path`, when this load can take it.
    std::optional<AheadRead> takeReadAhead(const std::string& path);
    // What the argument's keys make of the controls a load reads (no keys:
    // the controls as they are).
    int fixedRowsItemWith(const CommandLine& keys) const;
    Separator separatorWith(const CommandLine& keys) const;
    LoadSetup loadSetupWith(const CommandLine& keys) const;
    LoadedLayout loadedLayoutWith(const CommandLine& keys) const;
    void beginLongWork(const QString& caption);
    void endLongWork();
    void showProgress(std::size_t done, std::size_t total);
    // The layout after a load; `laidOutAs` is the layout the table already
    // has (laid out ahead), if any.
    void afterFill(const std::optional<LoadedLayout>& laidOutAs);
    std::optional<TextEncoding> chosenEncoding() const;
    WriteTableResult writeTable(const std::string& path, TextEncoding encoding,
                                TextPosition* unwritable);
    void showTableEncoding();
    void connectFileCommands();
    void connectWorkbookCommands();
    void connectViewCommands();
    void connectSortCommands();
    void readDisplayOptions();
    DisplayOptions displayOptionsNow() const;
    void focusGrid();
    void boldWhileChecked(QCheckBox* box);
    void relayoutWithGridHidden(void (TFm_Tabulix01::*work)());
    void applyCommandLineKeys(const CommandLine& keys);
    void rememberWindowRect();
    void writeSettingsFile();

    UserDialogs& dialogs_;
    Clipboard& clipboard_;
    Settings settings_;

    Table table_;
    StringGrid copyGrid_{1, 1};
    StringGrid workGrid_{1, 1};
    StringGrid vertGrid_{1, 1};
    TCsvFileInf fileInf_;
    EditState edit_;
    TableEvents events_;
    TIsDClick doubleClick_;
    Separator separator_ = Separator::of(',');
    bool modified_ = false;
    TextEncoding tableEncoding_ = TextEncoding::Utf8;
    DisplayOptions displayOptions_;
    class CellPainter* painter_ = nullptr;
    qint64 lastProgressPaint_ = 0;
    bool firstShow_ = true;
    bool breakColorWarned_ = false;
    QString captionOverride_;
    std::optional<std::string> startArgument_;
    // The file of the first argument, read while the window waits to hand it
    // over.
    std::unique_ptr<ReadAhead> readAhead_;
    // The layout the read-ahead gives its table, when it lays it out.
    std::optional<LoadedLayout> aheadLayout_;
    std::string settingsFile_;

    ToolControls controls_;
    QWidget* client_ = nullptr;
    CaptionPanel* pnlBase_ = nullptr;
    GridWidget* grid_ = nullptr;
    EditCommands* editCommands_ = nullptr;
    TFm_Tabulix02* search_ = nullptr;
    TFm_CsvFunc* csvFunc_ = nullptr;
    HelpCommands* help_ = nullptr;
    PrintCommands* print_ = nullptr;
    QTimer* MyTimer_ = nullptr;
    QTimer* SaveTimer_ = nullptr;
    QTimer* GridTimer_ = nullptr;
};

} // namespace tabulix
