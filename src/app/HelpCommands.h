#pragma once

#include <QObject>

#include <string>

class QAction;

namespace tabulix {

class TFm_Tabulix01;
class TFm_Browse;

// The main window's Help menu and the display-content output: the document
// browser is created at start, the Help entries are registered with it at
// the first showing, and each entry shows its document.
class HelpCommands : public QObject {
    Q_OBJECT

public:
    explicit HelpCommands(TFm_Tabulix01& window);

    TFm_Browse* browser() const { return browser_; }
    // Registers the Help menu's entries 2 to 7 with the browser.
    void registerEntries();

    void Mn_Help_DocumentClick(QAction* entry, const char* fileName);
    void Mn_Help_ColNameClick(QAction* entry);
    void Mn_OutputCsvClick();
    void Mn_PrintClick();

private:
    std::string programFolder() const;

    TFm_Tabulix01& window_;
    TFm_Browse* browser_ = nullptr;
};

} // namespace tabulix
