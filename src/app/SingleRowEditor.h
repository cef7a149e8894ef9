#pragma once

#include "edit/RangeCommands.h"
#include "edit/RowEditor.h"
#include "table/TableEvents.h"

#include <QObject>

class QAction;
class QComboBox;
class QGroupBox;
class QKeyEvent;
class QLabel;
class QMenu;
class QPainter;
class QPushButton;
class QScrollBar;
class QWidget;

namespace tabulix {

class TFm_Tabulix01;
class GridWidget;
struct EditSession;
struct CellState;
struct GridMouse;

// The single-row editor (単行編集): replaces the main grid by `VertGrid`, one
// line per data column of the shown row, with its own panel, menu bar items,
// pop-up menu and undo item. Its content lines are typed through the cell
// memo and written back into the table when the editor leaves the row.
class SingleRowEditor : public QObject, private TableListener {
    Q_OBJECT

public:
    // Its parent must go before the window's table does.
    SingleRowEditor(TFm_Tabulix01& window, EditSession& session, QObject* parent);
    ~SingleRowEditor() override;

    bool isOpen() const { return open_; }
    GridWidget* vertWidget() const { return vertGrid_; }
    int shownRow() const { return shownRow_; }

    void Btn_VertGridClick();
    void Btn_VertGridEndClick();
    // Shows table row `row` with the cursor on `line`.
    void showRow(int row, int line);
    void Mn2_UndoClick();
    void pm2_StrCvtHanToZenClick(Conversion conversion, const QAction* item);

    // The memo's side in the editor: its text into the current line, and the
    // cursor one line down after Enter or Escape.
    void commitMemo(int line, std::string_view memoText);
    void advanceAfterMemo();
    // The single-row undo item from the history.
    void updateUndoItem(const std::string& caption, bool enabled);

Q_SIGNALS:
    void memoRequested();

private:
    // A table replaced under the editor: its row is gone, nothing is written
    // back.
    void tableReset() override;
    void buildPanel(QWidget* base);
    void buildMenus();
    void connectGrid();
    void dropRowEdits();
    void writeBack();
    void setEditorShown(bool shown);
    void scbVertRowNoScroll(int action);
    void Cmb_VertKomKetaClick();
    void VertGridMouseDown(const GridMouse& mouse);
    void VertGridDblClick();
    bool VertGridKeyDown(QKeyEvent* event);
    void VertGridDrawCell(QPainter& painter, int col, int row, const QRect& rect, CellState state);
    void removeUndoHighlight();

    TFm_Tabulix01& window_;
    EditSession& session_;
    QWidget* pnlVertTop_ = nullptr;
    QPushButton* Btn_VertGridEnd_ = nullptr;
    QGroupBox* pnlVertRowNo_ = nullptr;
    QLabel* Lab_VertRowNo_ = nullptr;
    QScrollBar* scbVertRowNo_ = nullptr;
    QPushButton* Btn_VertSelect_ = nullptr;
    QComboBox* Cmb_VertKomKeta_ = nullptr;
    GridWidget* vertGrid_ = nullptr;
    QMenu* pmVertGrid_ = nullptr;
    QList<QAction*> mainMenu1_;
    QList<QAction*> mainMenu2_;
    QList<bool> menu1Visible_; // MainMenu1's items as they were before opening
    QAction* Mn2_Undo_ = nullptr;

    bool open_ = false;
    int shownRow_ = -1;
    int contentWidth_ = -1;
    std::string nameTitle_;
    bool undoHighlight_ = false;
    bool altAlone_ = false;
};

} // namespace tabulix
