#pragma once

#include "app/PopupMenus.h"

#include <QObject>

#include <memory>

class QAction;

namespace tabulix {

class TFm_Tabulix01;
class UndoHistory;
struct EditSession;
struct GridMouse;

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

    // The undo items' captions and states from the history.
    void updateUndoMenu();
    // Empties the history (a load, a save) and removes the undo highlight.
    void clearHistory();

    // Grid events.
    void GridMouseDown(const GridMouse& mouse);
    void GridMouseMove(const GridMouse& mouse);
    bool GridKeyDown(int key);
    // Enabled states of the header menus' items for the coming pop-up.
    void prepareRowMenu();
    void prepareColMenu();

private:
    class Host;
    class Listener;
    void connectMenus();
    void removeUndoHighlight();
    void enable(const char* name, bool on);

    TFm_Tabulix01& window_;
    std::unique_ptr<Host> host_;
    std::unique_ptr<UndoHistory> history_;
    std::unique_ptr<EditSession> session_;
    std::unique_ptr<Listener> listener_;
    PopupMenus menus_;
    bool rangeFollowsMouse_ = false;
};

} // namespace tabulix
