#pragma once

class QMenuBar;

namespace tabulix {

// Fills the main window's menu bar `MainMenu1`: every menu and item with its
// object name and caption; hidden items exist but are never shown. View and
// Confirm items are check items. Handlers are connected by the window.
void buildMainMenu(QMenuBar* bar);

} // namespace tabulix
