#include "print/PageImage.h"

#include <QMouseEvent>
#include <QPainter>

namespace tabulix {

PageImage::PageImage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("imgPrn"));
}

bool PageImage::allocate(int width, int height, qint64 byteLimit) {
    if (width <= 0 || height <= 0) return false;
    if (image_.width() == width && image_.height() == height) return true;
    if (static_cast<qint64>(width) * height * 4 > byteLimit) return false;
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull()) return false;
    image_ = std::move(image);
    setFixedSize(width, height);
    return true;
}

void PageImage::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.drawImage(event->rect(), image_, event->rect());
}

void PageImage::mousePressEvent(QMouseEvent* event) {
    if (mouseDown) mouseDown(event->position().toPoint());
}

void PageImage::mouseMoveEvent(QMouseEvent* event) {
    if (mouseMove) mouseMove(event->position().toPoint(), event->buttons() & Qt::LeftButton);
}

void PageImage::mouseReleaseEvent(QMouseEvent*) {
    if (mouseUp) mouseUp();
}

void PageImage::mouseDoubleClickEvent(QMouseEvent*) {
    if (doubleClick) doubleClick();
}

} // namespace tabulix
