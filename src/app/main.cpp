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
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() > 1) window.setStartArgument(arguments.at(1).toStdString());
    window.show();
    return QApplication::exec();
}
