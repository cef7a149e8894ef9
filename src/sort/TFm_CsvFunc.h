#pragma once

#include "table/StringGrid.h"

#include <QMainWindow>

#include <memory>
#include <string>
#include <vector>

class QCheckBox;
class QLabel;
class QListWidget;
class QPushButton;
class QTabWidget;
class QWidget;

namespace tabulix {

class GridWidget;
class SortHost;

// The sort window: the key columns are dragged from the column list into the
// key list, then the rows are sorted and/or the key columns moved to the
// front (tab Tab_Sort); its second tab Tab_Print suppresses the display of
// chosen columns. Created once, hidden when closed.
class TFm_CsvFunc : public QMainWindow {
    Q_OBJECT

public:
    enum class Mode { Sort, ColumnDisplay };

    TFm_CsvFunc(std::unique_ptr<SortHost> host, QWidget* parent = nullptr);
    ~TFm_CsvFunc() override;

    // Shows the window in one of its two modes (caption and tab).
    void open(Mode mode);

    // Empties both lists and fills the column list and its header afresh.
    void RebuildColumnLists();
    // Lays the column display list out afresh and fills it.
    void RebuildDisplayGrid();
    void FillDisplayGrid();

    // Drops: a column-list item or a key (from `fromKeys`) on the key list at
    // key index `target` (-1 below the last key); a key on the column list.
    void LbxSortKeyDragDrop(bool fromKeys, int target);
    void LbxSelectionDragDrop();
    void Btn_SortClick();
    void Btn_StopClick();
    void Btn_SortEndClick();
    void PrintGridSelectCell(int col, int row);
    void PrintGridDblClick();
    void Btn_PrintAllClick(bool show);

    bool running() const { return running_; }
    QStringList keyItems() const;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class Listener;
    void buildWindow();
    QWidget* buildSortTab();
    QWidget* buildListPanel(const char* headerName, const QString& header, QListWidget* list);
    QWidget* buildOptionPanel();
    QWidget* buildDisplayTab();
    void connectControls();
    void setKeyItems(const std::vector<std::string>& keys, int selected);
    std::vector<std::string> keyTexts() const;
    std::vector<int> keyColumns() const;
    QString nameRowHeader() const;
    // The sort command's working part, between the question and the notice.
    bool runSort(bool rows, bool columns);
    bool showProgress(std::string_view step, long long i, long long total);
    void setRunning(bool on);
    void setStatus(const QString& text);
    void drawDisplayCell(QPainter& painter, int col, int row, const QRect& rect, bool fixed);
    int displayedColumn(int line) const;
    void forgetMainClick();

    std::unique_ptr<SortHost> host_;
    std::unique_ptr<Listener> listener_;
    bool running_ = false;
    bool stopped_ = false;
    bool placed_ = false;
    int draggedKey_ = -1;
    int selectedLine_ = 1;
    qint64 lastProgressPaint_ = 0;
    StringGrid displayGrid_{2, 2};

    QWidget* client_ = nullptr;
    QWidget* pnlBase_ = nullptr;
    QTabWidget* PageCtl_ = nullptr;
    QWidget* Tab_Sort_ = nullptr;
    QWidget* Tab_Print_ = nullptr;
    QListWidget* LbxSelection_ = nullptr;
    QListWidget* LbxSortKey_ = nullptr;
    QLabel* pnlSelection_ = nullptr;
    QCheckBox* Chk_RowSort_ = nullptr;
    QCheckBox* Chk_ColSort_ = nullptr;
    QPushButton* Btn_Sort_ = nullptr;
    QPushButton* Btn_Stop_ = nullptr;
    QPushButton* Btn_SortEnd_ = nullptr;
    QLabel* Lab_Msg_ = nullptr;
    GridWidget* PrintGrid_ = nullptr;
    QPushButton* Btn_PrintAll_ = nullptr;
    QPushButton* Btn_PrintOff_ = nullptr;
    QPushButton* Btn_PrintEnd_ = nullptr;
};

} // namespace tabulix
