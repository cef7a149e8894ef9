// Tabulix: a table editor for delimited text files.
#include "app/QtClipboard.h"
#include "app/QtUserDialogs.h"
#include "settings/Settings.h"
#include "app/TFm_Tabulix01.h"
#include "settings/SettingsFile.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tabulix"));
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
