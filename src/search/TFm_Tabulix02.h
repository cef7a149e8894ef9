#pragma once

#include "csv/Separators.h"
#include "csv/TextEncoding.h"
#include "search/FindHistory.h"
#include "search/SearchResults.h"
#include "table/StringGrid.h"
#include "table/TableEvents.h"

#include <QMainWindow>

#include <array>
#include <functional>
#include <span>
#include <string>

class QAction;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPainter;
class QPushButton;
class QRadioButton;
class QRect;

namespace tabulix {

class GridWidget;
class UserDialogs;
struct CellState;

// What the search window uses of the main window.
struct SearchSource {
    StringGrid& grid; // the table grid it searches (never changed here)
    GridWidget* view; // the main grid widget, moved by a jump
    TableEvents& events;
    UserDialogs& dialogs;
    std::string& pathSelectFile; // the file last used for results
    std::function<Separator()> separator;
    std::function<TextEncoding()> encoding;
    int margin = 8; // of the base panel from the window's edges
    // Told where a jump landed (column, row), so that the single-row editor
    // can show that row.
    std::function<void(int col, int row)> jumped;
    // Prints the results grid with four heading lines (the main window's
    // print preview); the table's file name for the first line.
    std::function<void(StringGrid& results, const std::array<std::string, 4>& titles)> print;
    std::function<std::string()> fileName;
};

// The search window "Tabulix 検索": finds the rows of the table that hold the
// words typed, lists them in its own results grid with the hit cells in blue,
// jumps from a hit into the main grid, saves the results and keeps the word
// history. It is created once and only hidden when closed; the matching and
// the results are display-free code beside it.
class TFm_Tabulix02 : public QMainWindow, private TableListener {
    Q_OBJECT

public:
    TFm_Tabulix02(SearchSource source, QWidget* parent = nullptr);
    ~TFm_Tabulix02() override;

    // Empties the results (and the word when asked); a running search stops.
    void ResetResults(bool clearWord);
    void Mn_PrintClick();
    void LoadFindHistory(std::span<const std::string> words);
    void StoreFindHistory(std::span<std::string> words) const;
    const FindHistoryList& findHistory() const { return history_; }

    StringGrid& Grid() { return results_; }
    const StringGrid& FlgGrid() const { return hits_; }
    GridWidget* gridWidget() const { return Grid_; }
    bool searching() const { return searching_; }

    void Btn_ExecClick();
    void Btn_StopClick();
    void Btn_ClearClick();
    void Cmb_FindWordClick(int index);
    void Btn_PriorClick();
    void Btn_NextClick();
    void Btn_RowPriorClick();
    void Btn_RowNextClick();
    void GridDblClick();
    void Mn_FileSaveClick();
    void Mn_FindHistoryClearClick();
    void Mn_ExitClick();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void tableReset() override { ResetResults(false); }
    void resultsStale(bool clearWord) override { ResetResults(clearWord); }

    void buildMenu();
    QWidget* buildTopPanel(QWidget* parent);
    QGroupBox* buildWordGroup(QWidget* parent);
    void placeWordControls();
    void connectControls();
    void beginSearch();
    bool showProgress(int row, int found);
    void endSearch(int found);
    void setNavigationEnabled(bool on);
    void showHistory();
    ResultCell currentResult() const;
    void selectResult(ResultCell cell);
    void GridDrawCell(QPainter& painter, int col, int row, const QRect& rect, CellState state);

    SearchSource source_;
    StringGrid results_{1, 1};
    StringGrid hits_{1, 1};
    FindHistoryList history_;
    bool searching_ = false;
    bool resetWhileSearching_ = false;
    bool firstShow_ = true;
    bool nextFromRowStart_ = false; // the next-hit step after a search counts the current cell
    QString savedGuide_;
    qint64 lastProgressPaint_ = 0;

    QWidget* client_ = nullptr;
    QWidget* pnlBase_ = nullptr;
    QPushButton* Btn_Exit_ = nullptr;
    QRadioButton* Rdo_AND_ = nullptr;
    QRadioButton* Rdo_OR_ = nullptr;
    QGroupBox* wordGroup_ = nullptr;
    QPushButton* Btn_Clear_ = nullptr;
    QLineEdit* Edt_Word_ = nullptr;
    QComboBox* Cmb_FindWord_ = nullptr;
    QPushButton* Btn_Exec_ = nullptr;
    QPushButton* Btn_Stop_ = nullptr;
    QLabel* Lab_Records_ = nullptr;
    QPushButton* Btn_RowPrior_ = nullptr;
    QPushButton* Btn_RowNext_ = nullptr;
    QPushButton* Btn_Prior_ = nullptr;
    QPushButton* Btn_Next_ = nullptr;
    QLabel* Lab_Guide_ = nullptr;
    GridWidget* Grid_ = nullptr;
    QAction* Mn_FileSave_ = nullptr;
    QAction* Mn_Exit_ = nullptr;
    QAction* Mn_Print_ = nullptr;
    QAction* Mn_FindHistoryClear_ = nullptr;
};

} // namespace tabulix
