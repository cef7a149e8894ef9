// Tabulix: a table editor for delimited text files.
#include "app/QtClipboard.h"
#include "app/QtUserDialogs.h"
#include "settings/Settings.h"
#include "app/TFm_Tabulix01.h"
#include "settings/CommandLine.h"
#include "settings/SettingsFile.h"

#include <QApplication>
#include <QIcon>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    // Answered without a window (or a display).
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        std::fputs(tabulix::CommandLineUsage().c_str(), stdout);
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::puts("Tabulix " TABULIX_VERSION);
        return 0;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tabulix"));
    // Ties the windows to the installed desktop entry and its icon.
    QApplication::setDesktopFileName(QStringLiteral("tabulix"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("tabulix")));
    tabulix::installJapaneseTranslation(app);

    tabulix::QtClipboard clipboard;
    tabulix::QtUserDialogs dialogs;
    const std::string settingsFile = tabulix::SettingsFilePath().string();
    tabulix::TFm_Tabulix01 window(dialogs, clipboard, tabulix::LoadSettings(settingsFile));
    dialogs.setParentWindow(&window);
    window.setSettingsFile(settingsFile);
    // The argument's bytes as given (QApplication has taken out its own
    // options): a file name need not be UTF-8.
    if (argc > 1) window.setStartArgument(argv[1]);
    window.show();
    return QApplication::exec();
}
