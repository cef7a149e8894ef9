#pragma once

#include "settings/PrintSettings.h"

#include <QMainWindow>

#include <functional>
#include <string>
#include <vector>

class QAction;
class QComboBox;
class QMenuBar;
class QPlainTextEdit;
class QPushButton;

namespace tabulix {

class UserDialogs;

// The document browser "Browse": a stay-on-top window that shows the help
// documents of the main window's Help menu and files just written, and
// turns all help documents into one HTML file opened in the web browser.
// It lives for the whole run and is only hidden when closed.
class TFm_Browse : public QMainWindow {
    Q_OBJECT

public:
    // `openInBrowser` opens a file in the system's web browser; false when
    // that failed.
    using BrowserOpener = std::function<bool(const std::string& path)>;
    TFm_Browse(UserDialogs& dialogs, BrowserOpener openInBrowser, QWidget* parent = nullptr);

    void setBrowserOpener(BrowserOpener openInBrowser) { openInBrowser_ = std::move(openInBrowser); }
    void SetBrowseCaption(const QString& caption);
    // Adds sub-entry `subName` of top-level entry `topName` of `menu` to the
    // browse list; nothing when either is missing.
    void RegisterBrowseEntry(QMenuBar* menu, const QString& topName, const QString& subName);
    void ShowText(QAction* entry, const QString& heading, const std::string& text);
    void ShowTextFile(QAction* entry, const QString& heading, bool lineNumbers,
                      const std::string& path);

    void setPrintSettings(const PrintSettings& settings) { printSettings_ = settings; }
    const PrintSettings& printSettings() const { return printSettings_; }

    // What the display holds, and where the help HTML was last written.
    std::string displayedText() const;
    // The first title line of a print: the list's text when the list shows,
    // otherwise the caption.
    std::string printTitle() const;
    const std::string& htmlPath() const { return htmlPath_; }
    bool shownFlag() const { return shown_; }

    void Btn_HtmlClick();
    void Btn_WideClick();
    void cmbBrowseListClick(int index);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildWindow();
    void selectEntry(QAction* entry);
    void showDisplay(const QString& text);

    UserDialogs& dialogs_;
    BrowserOpener openInBrowser_;
    QString baseCaption_ = QStringLiteral("Browse");
    std::vector<QAction*> entries_;
    PrintSettings printSettings_;
    bool shown_ = false;
    int wideCount_ = 0;
    int savedWidth_ = 0;
    int headerHeight_ = 0;
    std::string htmlPath_;

    QWidget* pnlHed_ = nullptr;
    QPushButton* Btn_Html_ = nullptr;
    QPushButton* Btn_Wide_ = nullptr;
    QComboBox* cmbBrowseList_ = nullptr;
    QPlainTextEdit* RichEdit1_ = nullptr;
};

// A help document's file: beside the program when it is there, otherwise in
// the installed data folder (share/tabulix beside the program's bin folder).
std::string HelpDocumentPath(const std::string& programFolder, const std::string& name);

} // namespace tabulix
