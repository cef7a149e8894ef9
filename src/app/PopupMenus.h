#pragma once

class QMenu;
class QWidget;

namespace tabulix {

// The grid's three pop-up menus with every item, object name and caption.
// Handlers are connected by the window; items whose commands are not built
// are disabled by the availability mask.
struct PopupMenus {
    QMenu* pmGrid = nullptr;
    QMenu* pmFixedRow = nullptr;
    QMenu* pmFixedCol = nullptr;
};

PopupMenus buildPopupMenus(QWidget* parent);

} // namespace tabulix
