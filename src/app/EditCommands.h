#pragma once

#include "app/PopupMenus.h"
#include "edit/RangeCommands.h"

#include <QObject>
#include <QPoint>

#include <memory>

class QAction;
class QKeyEvent;

namespace tabulix {

class TFm_Tabulix01;
class UndoHistory;
struct EditSession;
struct GridMouse;
class CellMemoCommands;
class SingleRowEditor;

// The window side of the row and column commands and of undo: the grid's
// pop-up menus, the Edit menu's undo item, the Insert and Delete keys, the
// presses that choose header mode and the dragged rows and columns. Each
// handler turns the event into a call of the display-free commands.
class EditCommands : public QObject {
    Q_OBJECT

public:
    explicit EditCommands(TFm_Tabulix01& window);
    ~EditCommands() override;

    UndoHistory& history();
    EditSession& session();
    const PopupMenus& menus() const { return menus_; }
    QAction* popupAction(const char* objectName) const;

    void Pm_RowInsertClick();
    void Pm_RowCopyClick();
    void Pm_RowDeleteClick();
    void Pm_RowClipMoveClick();
    void Pm_RowClipCopyClick();
    void Pm_RowInsertFileClick(bool fromFile);
    void Pm_RowMinClick();
    void Pm_ColInsertClick();
    void Pm_ColCopyClick();
    void Pm_ColDeleteClick();
    void Pm_ColClipMoveClick();
    void Pm_ColClipCopyClick();
    void Pm_ColViewONClick(bool show);
    void Pm_ColMinClick();
    // The cell menu's row items: the selection's rows as the range.
    enum class RangeRowCommand { Insert, Copy, Delete };
    void Pm_RangeRowClick(RangeRowCommand command);
    void Mn_UndoClick();
    void Mn_MarkSaveClick();

    // The cell menu's range commands and the clip items of the header menus.
    void Pm_RangeClipClick(ClipKind kind);
    void Pm_RangeClipPasteClick(PasteOrigin origin);
    void Pm_RangeClipClrClick();
    void Pm_RangeClearClick();
    void Pm_StrCvtHanToZenClick(Conversion conversion, const QAction* item);

    CellMemoCommands& memo() { return *memo_; }
    SingleRowEditor& rowEditor() { return *rowEditor_; }

    // The undo items' captions and states from the history.
    void updateUndoMenu();
    // Empties the history (a load, a save) and removes the undo highlight.
    void clearHistory();

    // Grid events.
    void GridMouseDown(const GridMouse& mouse);
    void GridMouseMove(const GridMouse& mouse);
    void GridMouseUp();
    void GridSelectCell();
    void GridDblClick(const GridMouse& mouse);
    // Key presses before the grid sees them; true when handled.
    bool GridKeyDown(QKeyEvent* event);
    void GridTimerTimer();
    // Enabled states of the menus' items for the coming pop-up.
    void prepareGridMenu();
    void prepareMenus();
    void prepareRowMenu();
    void prepareColMenu();

private:
    class Host;
    class Listener;
    void connectMenus();
    void connectRangeMenus();
    void connectGrid();
    bool clipKey(const QKeyEvent* event);
    bool itemEnabled(const char* name) const;
    void startRangeDrag(const GridMouse& mouse);
    void dragStep(bool rows);
    void removeUndoHighlight();
    void enable(const char* name, bool on);

    TFm_Tabulix01& window_;
    std::unique_ptr<Host> host_;
    std::unique_ptr<UndoHistory> history_;
    std::unique_ptr<EditSession> session_;
    std::unique_ptr<Listener> listener_;
    std::unique_ptr<ClipStore> clip_;
    CellMemoCommands* memo_ = nullptr;
    SingleRowEditor* rowEditor_ = nullptr;
    PopupMenus menus_;
    // The drag that chooses a header range: press and pointer positions.
    QPoint pressPoint_;
    QPoint pointerPoint_;
    // Alt pressed with no other key since: its release opens the memo.
    bool altAlone_ = false;
};

} // namespace tabulix
