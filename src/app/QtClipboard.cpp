#include "app/QtClipboard.h"

#include <QClipboard>
#include <QGuiApplication>

namespace tabulix {

std::string QtClipboard::text() const {
    return QGuiApplication::clipboard()->text().toStdString();
}

void QtClipboard::setText(std::string_view text) {
    QGuiApplication::clipboard()->setText(
        QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

void QtClipboard::clear() {
    QGuiApplication::clipboard()->clear();
}

} // namespace tabulix
