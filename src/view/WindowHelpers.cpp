#include "view/WindowHelpers.h"

#include <QColor>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QListWidget>
#include <QPainter>
#include <QRect>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace tabulix {

namespace {

QRect availableArea(const QWidget* window) {
    QScreen* screen = window->screen();
    if (screen == nullptr) screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->availableGeometry() : QRect();
}

} // namespace

void InsetPanel(QWidget* window, QWidget* panel, int margin) {
    const int width = std::max(0, window->width() - 2 * margin);
    const int height = std::max(0, window->height() - 2 * margin);
    panel->setGeometry(margin, margin, width, height);
}

void SizeToScreen(QWidget* window, double widthFraction, double heightFraction) {
    const QRect area = availableArea(window);
    // The fractions size the outer window; resize() sets the inside, so the
    // frame (known once the window is shown) is taken off.
    const QSize frameExtra = window->frameGeometry().size() - window->size();
    const int outerWidth = static_cast<int>(widthFraction * area.width());
    const int outerHeight = static_cast<int>(heightFraction * area.height());
    window->resize(std::max(0, outerWidth - frameExtra.width()),
                   std::max(0, outerHeight - frameExtra.height()));
    CentreOnScreen(window);
}

void CentreOnScreen(QWidget* window) {
    const QRect area = availableArea(window);
    const QSize outer = window->frameGeometry().size();
    // Integer division truncates towards zero, also for a window larger than
    // the screen.
    window->move(area.x() + (area.width() - outer.width()) / 2,
                 area.y() + (area.height() - outer.height()) / 2);
}

QRect DrawFrame(QPainter& painter, const QRect& rect, const QColor& topLeft,
                const QColor& bottomRight) {
    if (rect.isEmpty()) return rect;
    // Filled one-pixel strips: exact pixels whatever the pen and antialiasing.
    painter.fillRect(QRect(rect.left(), rect.top(), rect.width() - 1, 1), topLeft);
    painter.fillRect(QRect(rect.left(), rect.top(), 1, rect.height() - 1), topLeft);
    painter.fillRect(QRect(rect.right(), rect.top(), 1, rect.height()), bottomRight);
    painter.fillRect(QRect(rect.left(), rect.bottom(), rect.width(), 1), bottomRight);
    return rect.adjusted(1, 1, -1, -1);
}

int FitListWidth(QListWidget* list) {
    const QFontMetrics metrics(list->font());
    int widest = 0;
    for (int i = 0; i < list->count(); ++i)
        widest = std::max(widest, metrics.horizontalAdvance(list->item(i)->text()));
    const int extent = static_cast<int>(1.5 * widest);
    // A list view scrolls over the widest item size hint, so every row is
    // given the extent as its width (its height stays the natural one). This
    // is the list's scrollable width: the bar appears only when the view is
    // narrower.
    for (int i = 0; i < list->count(); ++i) {
        QListWidgetItem* item = list->item(i);
        item->setData(Qt::SizeHintRole, QVariant());
        item->setSizeHint(QSize(extent, list->sizeHintForRow(i)));
    }
    return extent;
}

} // namespace tabulix
