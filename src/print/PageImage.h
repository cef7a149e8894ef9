#pragma once

#include <QImage>
#include <QWidget>

#include <functional>

namespace tabulix {

// imgPrn: the preview's page image, painted as it is, and the mouse that
// drags the page and turns it with a double click.
class PageImage : public QWidget {
public:
    explicit PageImage(QWidget* parent = nullptr);

    // A null image when memory for one of this size cannot be had.
    bool allocate(int width, int height, qint64 byteLimit);
    QImage& image() { return image_; }
    const QImage& image() const { return image_; }

    std::function<void(QPoint)> mouseDown;
    std::function<void(QPoint, bool leftHeld)> mouseMove;
    std::function<void()> mouseUp;
    std::function<void()> doubleClick;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QImage image_;
};

} // namespace tabulix
