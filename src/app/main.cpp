// Tabulix: a table editor for delimited text files.
#include "app/QtClipboard.h"
#include "app/QtUserDialogs.h"
#include "app/Settings.h"
#include "app/TFm_Tabulix01.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tabulix"));
    tabulix::installJapaneseTranslation(app);

    tabulix::QtClipboard clipboard;
    tabulix::QtUserDialogs dialogs;
    tabulix::TFm_Tabulix01 window(dialogs, clipboard, tabulix::Settings{});
    dialogs.setParentWindow(&window);
    window.show();
    return QApplication::exec();
}
