#include "view/WindowHelpers.h"

#include <QApplication>
#include <QFontMetrics>
#include <QImage>
#include <QListWidget>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QWidget>

#include <gtest/gtest.h>

namespace tabulix {
namespace {

TEST(InsetPanel, PlacesPanelInsideTheMargin) {
    QWidget window;
    window.resize(300, 200);
    auto* panel = new QWidget(&window);
    InsetPanel(&window, panel, 5);
    EXPECT_EQ(panel->geometry(), QRect(5, 5, 290, 190));
    InsetPanel(&window, panel, 0);
    EXPECT_EQ(panel->geometry(), QRect(0, 0, 300, 200));
}

TEST(InsetPanel, MarginLargerThanTheWindowGivesAnEmptyPanel) {
    QWidget window;
    window.resize(20, 10);
    auto* panel = new QWidget(&window);
    InsetPanel(&window, panel, 8);
    EXPECT_EQ(panel->pos(), QPoint(8, 8));
    EXPECT_EQ(panel->size(), QSize(4, 0));
}

QRect availableArea(const QWidget& window) {
    return window.screen()->availableGeometry();
}

TEST(CentreOnScreen, TruncatesTheHalfDifference) {
    QWidget window;
    const QRect area = availableArea(window);
    window.resize(area.width() - 101, area.height() - 51);
    CentreOnScreen(&window);
    // (101 / 2) and (51 / 2) truncated.
    EXPECT_EQ(window.pos(), area.topLeft() + QPoint(50, 25));
}

TEST(CentreOnScreen, WindowLargerThanTheScreenTruncatesTowardsZero) {
    QWidget window;
    const QRect area = availableArea(window);
    window.resize(area.width() + 3, area.height() + 5);
    CentreOnScreen(&window);
    EXPECT_EQ(window.pos(), area.topLeft() + QPoint(-1, -2));
}

TEST(SizeToScreen, TruncatesTheFractionsThenCentres) {
    QWidget window;
    const QRect area = availableArea(window);
    SizeToScreen(&window, 0.333, 0.5);
    const QSize expected(static_cast<int>(0.333 * area.width()),
                         static_cast<int>(0.5 * area.height()));
    EXPECT_EQ(window.size(), expected);
    EXPECT_EQ(window.pos(), area.topLeft() + QPoint((area.width() - expected.width()) / 2,
                                                    (area.height() - expected.height()) / 2));
}

TEST(DrawFrame, RaisedOnePixelBorder) {
    QImage image(8, 6, QImage::Format_RGB32);
    image.fill(Qt::black);
    const QColor light(Qt::white);
    const QColor dark(Qt::gray);
    QRect inner;
    {
        QPainter painter(&image);
        inner = DrawFrame(painter, QRect(1, 1, 6, 4), light, dark);
    }
    EXPECT_EQ(inner, QRect(2, 2, 4, 2));
    const auto at = [&](int x, int y) { return QColor(image.pixel(x, y)); };
    EXPECT_EQ(at(1, 1), light);             // top-left corner
    EXPECT_EQ(at(5, 1), light);             // top edge
    EXPECT_EQ(at(1, 3), light);             // left edge
    EXPECT_EQ(at(6, 1), dark);              // top-right corner
    EXPECT_EQ(at(6, 3), dark);              // right edge
    EXPECT_EQ(at(1, 4), dark);              // bottom-left corner
    EXPECT_EQ(at(6, 4), dark);              // bottom-right corner
    EXPECT_EQ(at(3, 4), dark);              // bottom edge
    EXPECT_EQ(at(3, 2), QColor(Qt::black)); // inside untouched
    EXPECT_EQ(at(0, 0), QColor(Qt::black)); // outside untouched
    EXPECT_EQ(at(7, 5), QColor(Qt::black));
}

TEST(DrawFrame, EmptyRectangleDrawsNothing) {
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    DrawFrame(painter, QRect(1, 1, 0, 3), Qt::white, Qt::white);
    painter.end();
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(QColor(image.pixel(x, y)), QColor(Qt::black));
}

TEST(FitListWidth, ScrollsOverOneAndAHalfTimesTheWidestText) {
    QListWidget list;
    list.addItems({QStringLiteral("短い"), QStringLiteral("ずっと長い項目のテキスト"),
                   QStringLiteral("mid")});
    const QFontMetrics metrics(list.font());
    const int widest = metrics.horizontalAdvance(QStringLiteral("ずっと長い項目のテキスト"));
    const int extent = FitListWidth(&list);
    EXPECT_EQ(extent, static_cast<int>(1.5 * widest));

    list.resize(extent / 2, 200);
    list.show();
    QApplication::processEvents();
    const int viewportWidth = list.viewport()->width();
    EXPECT_EQ(list.horizontalScrollBar()->maximum(), extent - viewportWidth);
    EXPECT_GT(list.sizeHintForRow(0), 0);

    // Wide enough: nothing to scroll.
    list.resize(extent + 100, 200);
    QApplication::processEvents();
    EXPECT_EQ(list.horizontalScrollBar()->maximum(), 0);
}

TEST(FitListWidth, EmptyListHasNoExtent) {
    QListWidget list;
    EXPECT_EQ(FitListWidth(&list), 0);
}

} // namespace
} // namespace tabulix
