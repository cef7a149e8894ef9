#include "app/QtClipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace tabulix {

std::string QtClipboard::text() const {
    return QGuiApplication::clipboard()->text().toStdString();
}

bool QtClipboard::hasText() const {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return data && data->hasText();
}

void QtClipboard::setText(std::string_view text) {
    QGuiApplication::clipboard()->setText(
        QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

void QtClipboard::clear() {
    QGuiApplication::clipboard()->clear();
}

} // namespace tabulix
