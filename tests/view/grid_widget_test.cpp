// The grid widget under the offscreen platform: scrolling, keyboard and mouse
// handling, hit testing on a large table with uneven sizes, and painting.
#include "table/StringGrid.h"
#include "view/GridWidget.h"

#include <QImage>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

namespace tabulix {
namespace {

constexpr int kCols = 12;
constexpr int kRows = 200;

// Laid out like the main table: two fixed columns, one fixed row, 64 x 24 cells.
class GridWidgetTest : public ::testing::Test {
protected:
    void SetUp() override {
        grid.setFixedCols(2);
        grid.setFixedRows(1);
        widget.resize(500, 300);
        widget.setGrid(&grid);
        widget.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&widget));
    }

    QWidget* view() { return widget.viewport(); }
    QPoint centre(int col, int row) { return widget.cellRect(col, row).center(); }
    void key(Qt::Key k, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(&widget, k, modifiers);
    }
    GridCell current() const { return {widget.currentCol(), widget.currentRow()}; }
    // Press, move in steps and release with the left button.
    void drag(QPoint from, QPoint to) {
        QTest::mousePress(view(), Qt::LeftButton, Qt::NoModifier, from);
        QTest::mouseMove(view(), (from + to) / 2);
        QTest::mouseMove(view(), to);
        QTest::mouseRelease(view(), Qt::LeftButton, Qt::NoModifier, to);
    }

    StringGrid grid{kCols, kRows}; // outlives the widget
    GridWidget widget;
};

// ---- scrolling -------------------------------------------------------------

TEST_F(GridWidgetTest, SetTopRowIsClampedSoTheLastRowEndsTheView) {
    widget.setTopRow(-5);
    EXPECT_EQ(widget.topRow(), 1);

    widget.setTopRow(kRows * 10);
    const int top = widget.topRow();
    const int avail = view()->height() - grid.rowHeight(0);
    EXPECT_LE(grid.totalHeight() - grid.rowTop(top), avail);
    EXPECT_GT(grid.totalHeight() - grid.rowTop(top - 1), avail);
    EXPECT_EQ(widget.verticalScrollBar()->maximum(), top);
    EXPECT_EQ(widget.verticalScrollBar()->value(), top);

    widget.setLeftCol(kCols);
    const int availWidth = view()->width() - 2 * 64;
    EXPECT_LE(grid.totalWidth() - grid.colLeft(widget.leftCol()), availWidth);
    EXPECT_GT(grid.totalWidth() - grid.colLeft(widget.leftCol() - 1), availWidth);
}

TEST_F(GridWidgetTest, ScrollingByOneSkipsHiddenRowsAndColumnsAndKeepsFixedOnesInPlace) {
    QSignalSpy scrolled(&widget, &GridWidget::topLeftChanged);
    grid.setRowHeight(3, 0);
    grid.setColWidth(3, 0);
    const QRect corner = widget.cellRect(0, 0);
    const QRect header = widget.cellRect(5, 0);

    widget.scrollRows(1);
    EXPECT_EQ(widget.topRow(), 2);
    widget.scrollRows(1);
    EXPECT_EQ(widget.topRow(), 4);
    widget.scrollRows(-1);
    EXPECT_EQ(widget.topRow(), 2);
    widget.scrollRows(-5);
    EXPECT_EQ(widget.topRow(), 1);
    widget.scrollRows(3);
    EXPECT_EQ(widget.topRow(), 5);

    widget.scrollCols(1);
    EXPECT_EQ(widget.leftCol(), 4);
    EXPECT_EQ(scrolled.count(), 6);

    EXPECT_EQ(widget.cellRect(0, 0), corner);
    EXPECT_EQ(widget.cellRect(0, 5), QRect(0, 24, 64, 24)); // row header follows the rows
    EXPECT_EQ(widget.cellRect(5, 0).top(), header.top());
    EXPECT_EQ(widget.cellRect(4, 5), QRect(128, 24, 64, 24));
    EXPECT_TRUE(widget.cellRect(4, 2).isEmpty()); // scrolled away under the fixed row
    EXPECT_TRUE(widget.cellRect(2, 5).isEmpty()); // scrolled away under the fixed columns
}

TEST_F(GridWidgetTest, VisibleRowCountCountsOnlyFullyVisibleRowsOfVariedHeights) {
    for (int row = 0; row < kRows; ++row)
        grid.setRowHeight(row, 10 + row * 7 % 40);
    const int avail = view()->height() - grid.rowHeight(0);
    for (const int top : {1, 17, 60, 150}) {
        widget.setTopRow(top);
        ASSERT_EQ(widget.topRow(), top);
        int expected = 0;
        for (int used = 0, row = top; row < kRows && used + grid.rowHeight(row) <= avail; ++row) {
            used += grid.rowHeight(row);
            ++expected;
        }
        EXPECT_EQ(widget.visibleRowCount(), expected) << "top " << top;
    }
}

TEST_F(GridWidgetTest, ScrollBarCountsRowsOfAMillionRowTable) {
    grid.setRowCount(1'000'000);
    QScrollBar* bar = widget.verticalScrollBar();
    EXPECT_EQ(bar->minimum(), 1);
    EXPECT_EQ(bar->maximum(), 1'000'000 - widget.visibleRowCount());
    bar->setValue(500'000);
    EXPECT_EQ(widget.topRow(), 500'000);
    EXPECT_EQ(widget.cellRect(2, 500'000).top(), 24);
    widget.setTopRow(123);
    EXPECT_EQ(bar->value(), 123);
}

// ---- keyboard ----------------------------------------------------------------

TEST_F(GridWidgetTest, ArrowsMoveSkippingHiddenCellsAndShiftExtendsFromTheAnchor) {
    QSignalSpy moved(&widget, &GridWidget::currentCellChanged);
    key(Qt::Key_Up);
    key(Qt::Key_Left);
    EXPECT_EQ(current(), (GridCell{2, 1})); // never into the fixed cells
    key(Qt::Key_Right);
    key(Qt::Key_Down);
    EXPECT_EQ(current(), (GridCell{3, 2}));
    EXPECT_EQ(moved.count(), 2);

    key(Qt::Key_Right, Qt::ShiftModifier);
    key(Qt::Key_Right, Qt::ShiftModifier);
    key(Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(current(), (GridCell{5, 3}));
    EXPECT_EQ(widget.selection(), QRect(QPoint(3, 2), QPoint(5, 3)));
    key(Qt::Key_Up, Qt::ShiftModifier);
    key(Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_EQ(widget.selection(), QRect(QPoint(3, 1), QPoint(5, 2)));

    key(Qt::Key_Left);
    EXPECT_EQ(current(), (GridCell{4, 1}));
    EXPECT_EQ(widget.selection(), QRect(4, 1, 1, 1));

    grid.setColWidth(3, 0); // hidden ones are stepped over
    grid.setRowHeight(2, 0);
    key(Qt::Key_Left);
    key(Qt::Key_Down);
    EXPECT_EQ(current(), (GridCell{2, 3}));
}

TEST_F(GridWidgetTest, HomeEndAndCtrlHomeEndReachTheShownCorners) {
    grid.setColWidth(kCols - 1, 0); // hidden last column
    widget.setCurrentCell(5, 7);
    key(Qt::Key_End);
    EXPECT_EQ(current(), (GridCell{kCols - 2, 7}));
    key(Qt::Key_Home);
    EXPECT_EQ(current(), (GridCell{2, 7}));

    key(Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(current(), (GridCell{kCols - 2, kRows - 1}));
    EXPECT_FALSE(widget.cellRect(kCols - 2, kRows - 1).isEmpty());
    EXPECT_GT(widget.topRow(), 100);

    key(Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(current(), (GridCell{2, 1}));
    EXPECT_EQ(widget.topRow(), 1);
    key(Qt::Key_End, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(widget.selection(), QRect(QPoint(2, 1), QPoint(kCols - 2, kRows - 1)));
}

TEST_F(GridWidgetTest, PageDownMovesCursorAndViewByAPageOfRows) {
    const int page = widget.visibleRowCount();
    ASSERT_GT(page, 2);
    widget.setCurrentCell(3, 2);
    key(Qt::Key_PageDown);
    EXPECT_EQ(current(), (GridCell{3, 2 + page}));
    EXPECT_EQ(widget.topRow(), 1 + page);
    key(Qt::Key_PageUp);
    EXPECT_EQ(current(), (GridCell{3, 2}));
    EXPECT_EQ(widget.topRow(), 1);
    for (int i = 0; i < kRows; ++i)
        key(Qt::Key_PageDown);
    EXPECT_EQ(widget.currentRow(), kRows - 1);
}

TEST_F(GridWidgetTest, SelectHookRefusesKeyboardAndMouseMoves) {
    std::vector<GridCell> asked;
    widget.setSelectCellHook([&](int col, int row) {
        asked.push_back({col, row});
        return col != 4;
    });
    QSignalSpy moved(&widget, &GridWidget::currentCellChanged);
    key(Qt::Key_Right);
    key(Qt::Key_Right);
    EXPECT_EQ(current(), (GridCell{3, 1}));
    QTest::mouseClick(view(), Qt::LeftButton, Qt::NoModifier, centre(4, 5));
    EXPECT_EQ(current(), (GridCell{3, 1}));
    EXPECT_EQ(moved.count(), 1);
    EXPECT_EQ(asked, (std::vector<GridCell>{{3, 1}, {4, 1}, {4, 5}}));
    EXPECT_FALSE(widget.setCurrentCell(4, 2));
    widget.setCurrentCellSilently(4, 2); // the owner itself is not asked
    EXPECT_EQ(current(), (GridCell{4, 2}));
}

TEST_F(GridWidgetTest, KeyHookSeesKeysFirst) {
    std::vector<int> keys;
    widget.setKeyHook([&](QKeyEvent* event) {
        keys.push_back(event->key());
        return event->key() == Qt::Key_Down;
    });
    key(Qt::Key_Down);
    EXPECT_EQ(current(), (GridCell{2, 1}));
    key(Qt::Key_Right);
    EXPECT_EQ(current(), (GridCell{3, 1}));
    EXPECT_EQ(keys, (std::vector<int>{Qt::Key_Down, Qt::Key_Right}));
}

TEST(GridWidgetFocus, TabReachesTheKeyHookBeforeMovingTheFocus) {
    StringGrid grid;
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* widget = new GridWidget;
    auto* next = new QLineEdit;
    layout->addWidget(widget);
    layout->addWidget(next);
    widget->setGrid(&grid);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    widget->setFocus();
    ASSERT_TRUE(widget->hasFocus());

    int tabs = 0;
    bool consume = true;
    widget->setKeyHook([&](QKeyEvent* event) {
        tabs += event->key() == Qt::Key_Tab;
        return consume;
    });
    QTest::keyClick(widget, Qt::Key_Tab);
    EXPECT_EQ(tabs, 1);
    EXPECT_TRUE(widget->hasFocus());
    consume = false;
    QTest::keyClick(widget, Qt::Key_Tab);
    EXPECT_EQ(tabs, 2);
    EXPECT_TRUE(next->hasFocus());
    widget->setGrid(nullptr);
}

TEST_F(GridWidgetTest, TypedTextIsReportedAndChangesNothing) {
    grid.setCell(2, 1, "old");
    QSignalSpy typed(&widget, &GridWidget::textTyped);
    QTest::keyClicks(&widget, QStringLiteral("a"));
    QKeyEvent kanji(QEvent::KeyPress, 0, Qt::NoModifier, QStringLiteral("日"));
    QApplication::sendEvent(&widget, &kanji);
    key(Qt::Key_A, Qt::ControlModifier);
    key(Qt::Key_Return);
    key(Qt::Key_Escape);
    ASSERT_EQ(typed.count(), 2);
    EXPECT_EQ(typed.at(0).at(0).toString(), QStringLiteral("a"));
    EXPECT_EQ(typed.at(1).at(0).toString(), QStringLiteral("日"));
    EXPECT_EQ(current(), (GridCell{2, 1}));
    EXPECT_EQ(grid.cell(2, 1), "old");
}

TEST_F(GridWidgetTest, InputMethodCompositionIsAnnouncedOnceAndItsCommitTyped) {
    QSignalSpy started(&widget, &GridWidget::compositionStarted);
    QSignalSpy typed(&widget, &GridWidget::textTyped);
    const auto send = [&](const QString& preedit, const QString& commit) {
        QInputMethodEvent event(preedit, {});
        event.setCommitString(commit);
        QApplication::sendEvent(&widget, &event);
    };
    send(QStringLiteral("に"), {});
    send(QStringLiteral("にほ"), {});
    EXPECT_EQ(started.count(), 1);
    send({}, QStringLiteral("日本"));
    ASSERT_EQ(typed.count(), 1);
    EXPECT_EQ(typed.at(0).at(0).toString(), QStringLiteral("日本"));
    send(QStringLiteral("ご"), {});
    EXPECT_EQ(started.count(), 2);
    EXPECT_TRUE(widget.testAttribute(Qt::WA_InputMethodEnabled));
}

// ---- mouse -------------------------------------------------------------------

TEST_F(GridWidgetTest, PressOnADataCellMovesTheCursorAndIsReported) {
    std::vector<GridMouse> presses;
    QObject::connect(&widget, &GridWidget::mousePressed,
                     [&](const GridMouse& m) { presses.push_back(m); });
    QSignalSpy moved(&widget, &GridWidget::currentCellChanged);
    QTest::mouseClick(view(), Qt::LeftButton, Qt::NoModifier, centre(4, 3));
    EXPECT_EQ(current(), (GridCell{4, 3}));
    ASSERT_EQ(moved.count(), 1);
    ASSERT_EQ(presses.size(), 1u);
    EXPECT_EQ(presses[0].cell, (GridCell{4, 3}));
    EXPECT_EQ(presses[0].button, Qt::LeftButton);

    grid.setColCount(4);
    const GridCell before = current();
    QTest::mouseClick(view(), Qt::LeftButton, Qt::NoModifier, QPoint(view()->width() - 2, 30));
    EXPECT_EQ(presses.back().cell, (GridCell{-1, 1})); // right of the last column
    EXPECT_EQ(current(), before);
}

TEST_F(GridWidgetTest, PressOnAFixedCellIsReportedWithoutMovingTheCursor) {
    QSignalSpy fixedPress(&widget, &GridWidget::fixedCellPressed);
    QTest::mouseClick(view(), Qt::LeftButton, Qt::NoModifier, centre(0, 5));
    QTest::mouseClick(view(), Qt::RightButton, Qt::ShiftModifier, centre(6, 0));
    EXPECT_EQ(current(), (GridCell{2, 1}));
    ASSERT_EQ(fixedPress.count(), 2);
    EXPECT_EQ(fixedPress.at(0).at(0).toInt(), 0);
    EXPECT_EQ(fixedPress.at(0).at(1).toInt(), 5);
    EXPECT_EQ(fixedPress.at(1).at(0).toInt(), 6);
    EXPECT_EQ(fixedPress.at(1).at(1).toInt(), 0);
    EXPECT_EQ(fixedPress.at(1).at(2).value<Qt::MouseButton>(), Qt::RightButton);
}

TEST_F(GridWidgetTest, DraggingAndShiftPressExtendTheSelection) {
    drag(centre(3, 2), centre(5, 4));
    EXPECT_EQ(current(), (GridCell{5, 4}));
    EXPECT_EQ(widget.selection(), QRect(QPoint(3, 2), QPoint(5, 4)));

    QTest::mouseClick(view(), Qt::LeftButton, Qt::NoModifier, centre(4, 6));
    EXPECT_EQ(widget.selection(), QRect(4, 6, 1, 1));
    QTest::mouseClick(view(), Qt::LeftButton, Qt::ShiftModifier, centre(2, 3));
    EXPECT_EQ(widget.selection(), QRect(QPoint(2, 3), QPoint(4, 6)));
}

TEST_F(GridWidgetTest, DraggingAColumnEdgeInTheHeaderResizesIt) {
    QSignalSpy resized(&widget, &GridWidget::columnResized);
    const QRect header = widget.cellRect(3, 0);
    const QPoint edge(header.right() + 1, header.center().y());
    QTest::mouseMove(view(), edge + QPoint(2, 0));
    EXPECT_EQ(view()->cursor().shape(), Qt::SplitHCursor);
    QTest::mouseMove(view(), header.center());
    EXPECT_EQ(view()->cursor().shape(), Qt::ArrowCursor);

    drag(edge + QPoint(-2, 0), edge + QPoint(28, 0));
    EXPECT_EQ(grid.colWidth(3), 94);
    ASSERT_EQ(resized.count(), 1);
    EXPECT_EQ(resized.at(0).at(0).toInt(), 3);
    EXPECT_EQ(resized.at(0).at(1).toInt(), 94);
    EXPECT_EQ(current(), (GridCell{2, 1}));

    // The same edge in a data row selects instead.
    const QPoint dataEdge(widget.cellRect(3, 4).right(), widget.cellRect(3, 4).center().y());
    drag(dataEdge, dataEdge + QPoint(30, 0));
    EXPECT_EQ(grid.colWidth(3), 94);
}

// A column dragged as narrow as it goes is widened again from wherever it is
// pressed, never by widening its neighbour instead.
TEST_F(GridWidgetTest, AColumnDraggedToItsSmallestCanBeWidenedAgain) {
    const QRect header = widget.cellRect(3, 0);
    drag(QPoint(header.right() + 1, 5), QPoint(header.left() - 40, 5));
    const int narrow = grid.colWidth(3);
    ASSERT_LT(narrow, 8);
    ASSERT_GT(narrow, 0);
    for (int offset = 0; offset < narrow; ++offset) {
        grid.setColWidth(3, narrow);
        const int left = widget.cellRect(3, 0).left();
        QTest::mouseMove(view(), QPoint(left + offset, 5));
        EXPECT_EQ(view()->cursor().shape(), Qt::SplitHCursor) << offset;
        drag(QPoint(left + offset, 5), QPoint(left + offset + 30, 5));
        EXPECT_EQ(grid.colWidth(3), narrow + 30) << offset;
        EXPECT_EQ(grid.colWidth(2), 64) << offset;
    }
    // Just left of it, the neighbour's edge is still there to grab.
    grid.setColWidth(3, narrow);
    const int left = widget.cellRect(3, 0).left();
    drag(QPoint(left - 2, 5), QPoint(left + 8, 5));
    EXPECT_EQ(grid.colWidth(2), 74);
    EXPECT_EQ(grid.colWidth(3), narrow);
}

TEST_F(GridWidgetTest, RowEdgesResizeOnlyWhenAllowed) {
    QSignalSpy resized(&widget, &GridWidget::rowResized);
    const QRect header = widget.cellRect(0, 3);
    const QPoint edge(header.center().x(), header.bottom() + 1);
    drag(edge, edge + QPoint(0, 10));
    EXPECT_EQ(grid.rowHeight(3), 24);

    widget.setRowSizingEnabled(true);
    drag(edge, edge + QPoint(0, 10));
    EXPECT_EQ(grid.rowHeight(3), 34);
    ASSERT_EQ(resized.count(), 1);
    EXPECT_EQ(resized.at(0).at(1).toInt(), 34);
}

TEST_F(GridWidgetTest, DraggingARowHeaderReportsTheMoveOnlyWhenAllowed) {
    for (int row = 0; row < kRows; ++row)
        grid.setCell(2, row, std::to_string(row));
    QSignalSpy moved(&widget, &GridWidget::rowMoved);
    drag(centre(0, 3), centre(0, 6));
    EXPECT_EQ(moved.count(), 0);

    widget.setRowMovingEnabled(true);
    drag(centre(1, 3), centre(1, 6));
    drag(centre(0, 6), centre(0, 2));
    drag(centre(0, 4), centre(0, 4) + QPoint(0, 5)); // within the row: no move
    ASSERT_EQ(moved.count(), 2);
    EXPECT_EQ(moved.at(0), (QList<QVariant>{3, 6}));
    EXPECT_EQ(moved.at(1), (QList<QVariant>{6, 2}));
    EXPECT_EQ(grid.cell(2, 3), "3"); // the owner moves the data
    EXPECT_EQ(current(), (GridCell{2, 1}));
}

TEST_F(GridWidgetTest, DraggingAColumnHeaderReportsTheMoveAndEdgesStillResize) {
    widget.setColMovingEnabled(true);
    QSignalSpy moved(&widget, &GridWidget::colMoved);
    QSignalSpy resized(&widget, &GridWidget::columnResized);
    drag(centre(5, 0), centre(3, 0));
    const QRect header = widget.cellRect(4, 0);
    drag(QPoint(header.right(), 5), QPoint(header.right() + 20, 5));
    ASSERT_EQ(moved.count(), 1);
    EXPECT_EQ(moved.at(0), (QList<QVariant>{5, 3}));
    EXPECT_EQ(resized.count(), 1);
}

// ---- hit testing ---------------------------------------------------------------

// The position of every shown item from a plain walk, to check the widget's
// logarithmic look-ups against.
struct Span {
    int index;
    int start;
    int end;
};

std::vector<Span> walk(int fixed, int first, int count, int extent, auto size) {
    std::vector<Span> spans;
    int pos = 0;
    for (int i = 0; i < count && pos < extent; i = (i + 1 == fixed ? first : i + 1)) {
        if (size(i) > 0) spans.push_back({i, pos, pos + size(i)});
        pos += size(i);
    }
    return spans;
}

int expectedAt(const std::vector<Span>& spans, int p, int extent) {
    if (p < 0 || p >= extent) return -1;
    for (const Span& span : spans)
        if (p >= span.start && p < span.end) return span.index;
    return -1;
}

TEST_F(GridWidgetTest, CellAtAndCellRectAgreeWithAWalkOnAMillionUnevenRows) {
    constexpr int rows = 1'000'000;
    widget.setGrid(nullptr); // one relayout instead of one per height
    grid.setRowCount(rows);
    const auto height = [](int row) { return row % 97 == 5 ? 0 : 16 + row * 37 % 29; };
    for (int row = 0; row < rows; ++row)
        grid.setRowHeight(row, height(row));
    grid.setColWidth(4, 0);
    grid.setColWidth(7, 0);
    grid.setColWidth(5, 130);
    widget.setGrid(&grid);
    const auto width = [&](int col) { return grid.colWidth(col); };

    for (const int top : {1, 5, 499'999, rows}) {
        widget.setTopRow(top);
        widget.setLeftCol(3);
        const auto rowSpans = walk(1, widget.topRow(), rows, view()->height(), height);
        const auto colSpans = walk(2, widget.leftCol(), kCols, view()->width(), width);
        for (int y = -2; y < view()->height() + 3; y += 3) {
            for (const int x : {-1, 10, 70, 130, 200, 333, 460, view()->width()}) {
                const GridCell cell = widget.cellAt(QPoint(x, y));
                ASSERT_EQ(cell.row, expectedAt(rowSpans, y, view()->height()))
                    << "top " << top << " y " << y;
                ASSERT_EQ(cell.col, expectedAt(colSpans, x, view()->width())) << "x " << x;
                if (cell.row >= 0 && cell.col >= 0) {
                    ASSERT_TRUE(widget.cellRect(cell.col, cell.row).contains(x, y));
                }
            }
        }
    }
    widget.setTopRow(6);
    EXPECT_EQ(widget.topRow(), 6);
    EXPECT_TRUE(widget.cellRect(3, 5).isEmpty());   // hidden row
    EXPECT_TRUE(widget.cellRect(4, 6).isEmpty());   // hidden column
    EXPECT_TRUE(widget.cellRect(3, 800).isEmpty()); // below the view
    EXPECT_EQ(widget.cellRect(3, 6).height(), height(6));
}

// ---- painting --------------------------------------------------------------------

QColor pixel(GridWidget& widget, const QImage& image, QPoint inViewport) {
    return image.pixelColor(widget.viewport()->mapTo(&widget, inViewport));
}

TEST_F(GridWidgetTest, RenderShowsTheCurrentCellInNavyAndTheStandardColours) {
    grid.setCell(5, 6, "text");
    widget.setCurrentCell(4, 3);
    QImage image(widget.size(), QImage::Format_RGB32);
    widget.render(&image);

    const QRect current = widget.cellRect(4, 3);
    EXPECT_EQ(pixel(widget, image, current.center()), QColor(0x00, 0x00, 0x80));
    EXPECT_EQ(pixel(widget, image, current.bottomRight()), QColor(Qt::black)); // grid line
    EXPECT_EQ(pixel(widget, image, centre(5, 3)), QColor(0xC0, 0xC0, 0xC0));
    EXPECT_EQ(pixel(widget, image, centre(0, 3)), QColor(0x80, 0x80, 0x80));
    EXPECT_EQ(pixel(widget, image, widget.cellRect(0, 3).topLeft()), QColor(0xC0, 0xC0, 0xC0));

    // Some text pixel is dark on the silver cell.
    const QRect text = widget.cellRect(5, 6);
    bool dark = false;
    for (int x = text.left() + 2; x < text.right() - 1; ++x)
        dark = dark || pixel(widget, image, QPoint(x, text.center().y())).lightness() < 100;
    EXPECT_TRUE(dark);

    widget.setBackgroundColor(Qt::white);
    widget.render(&image);
    EXPECT_EQ(pixel(widget, image, centre(5, 3)), QColor(Qt::white));
}

TEST_F(GridWidgetTest, DrawCellHookDrawsTheWholeCellClippedToIt) {
    std::vector<CellState> states(2);
    widget.setCurrentCell(4, 3);
    widget.setDrawCellHook(
        [&](QPainter& painter, int col, int row, const QRect& rect, CellState state) {
            if (col == 4 && row == 3) {
                states[0] = state;
                painter.fillRect(rect.adjusted(-20, -20, 20, 20), Qt::red);
                return;
            }
            if (col == 0 && row == 0) states[1] = state;
            widget.drawDefaultCell(painter, col, row, rect, state);
        });
    QImage image(widget.size(), QImage::Format_RGB32);
    widget.render(&image);
    EXPECT_EQ(pixel(widget, image, centre(4, 3)), QColor(Qt::red));
    EXPECT_EQ(pixel(widget, image, centre(5, 3)), QColor(0xC0, 0xC0, 0xC0));
    EXPECT_EQ(pixel(widget, image, widget.cellRect(4, 3).topLeft() - QPoint(1, 1)),
              QColor(Qt::black));
    EXPECT_TRUE(states[0].current && states[0].selected && !states[0].fixed);
    EXPECT_TRUE(states[1].fixed && states[1].inHeaderRow && states[1].inHeaderCol);
}

// Text is copied from cached glyph images when the cell has a solid fill and
// drawn directly otherwise; both must look alike and stay inside the cell.
class CellTextTest : public ::testing::Test {
protected:
    static constexpr QRgb kSilver = 0xFFC0C0C0;

    QImage draw(const QRect& cell, const QString& text, const QColor& background) {
        QImage image(260, 60, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.fillRect(cell, QColor(kSilver));
        widget.drawCellText(painter, cell, text, Qt::black, background);
        return image;
    }
    // Darkness summed over the image, and the first and last inked columns.
    static std::tuple<long, int, int> ink(const QImage& image) {
        long sum = 0;
        int first = image.width(), last = -1;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const int dark = std::max(0, 0xC0 - qGray(image.pixel(x, y)));
                sum += dark;
                if (dark > 0x40) {
                    first = std::min(first, x);
                    last = std::max(last, x);
                }
            }
        }
        return {sum, first, last};
    }

    GridWidget widget;
};

TEST_F(CellTextTest, CachedGlyphsDrawTheSameInkAsDirectText) {
    const QRect cell(10, 10, 220, 24);
    for (const QString& text : {QStringLiteral("Abc 123 xyz"), QStringLiteral("日本語のｶﾀｶﾅ表")}) {
        const auto [tiledSum, tiledFirst, tiledLast] = ink(draw(cell, text, QColor(kSilver)));
        const auto [directSum, directFirst, directLast] = ink(draw(cell, text, QColor()));
        ASSERT_GT(directSum, 0);
        EXPECT_NEAR(double(tiledSum) / directSum, 1.0, 0.1) << text.toStdString();
        EXPECT_NEAR(tiledFirst, directFirst, 1);
        EXPECT_NEAR(tiledLast, directLast, 2);
    }
}

TEST_F(CellTextTest, LongTextStaysInsideTheCellOnBothPaths) {
    const QRect cell(10, 10, 40, 12); // narrower and lower than the text
    const QString text = QStringLiteral("WWWWWWWWWW漢字漢字");
    for (const QColor& background : {QColor(kSilver), QColor()}) {
        const QImage image = draw(cell, text, background);
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const bool inContent =
                    x >= cell.left() && x < cell.right() && y >= cell.top() && y < cell.bottom();
                if (!inContent && cell.contains(x, y)) {
                    ASSERT_EQ(image.pixel(x, y), kSilver) << x << "," << y;
                } else if (!inContent) {
                    ASSERT_EQ(image.pixel(x, y), 0xFFFFFFFFu) << x << "," << y;
                }
            }
        }
        EXPECT_GT(std::get<0>(ink(image)), 0);
    }
}

TEST(GridWidgetDisplayLine, EveryLineBreakShowsAsOneMark) {
    EXPECT_EQ(GridWidget::displayLine("a\r\nb\nc\rd"), QStringLiteral("a↵b↵c↵d"));
    EXPECT_EQ(GridWidget::displayLine("\r\n\r\n"), QStringLiteral("↵↵"));
    EXPECT_EQ(GridWidget::displayLine("\n\r"), QStringLiteral("↵↵"));
    EXPECT_EQ(GridWidget::displayLine("日本\r\n"), QStringLiteral("日本↵"));
    EXPECT_EQ(GridWidget::displayLine("\xff"), QString(QChar(0xFFFD)));
}

// A huge cell is shown from its start, as far as any cell could show it,
// never cut inside a character.
TEST(GridWidgetDisplayLine, HugeTextsAreCutBeforeACharacter) {
    for (const std::string& unit : {std::string("x"), std::string("日"), std::string("ab😀")}) {
        std::string text;
        while (text.size() < 100000)
            text += unit;
        const QString line = GridWidget::displayLine(text);
        EXPECT_GE(line.size(), 4000);
        EXPECT_LE(line.size(), 16384);
        EXPECT_FALSE(line.contains(QChar(0xFFFD))) << unit;
        EXPECT_TRUE(QString::fromStdString(text).startsWith(line)) << unit;
    }
}

// ---- grid changes ----------------------------------------------------------------

TEST_F(GridWidgetTest, ShrinkingTheGridKeepsCursorAndViewInside) {
    widget.setCurrentCell(9, 150);
    widget.setSelection(9, 120, 11, 150);
    grid.setRowCount(50);
    grid.setColCount(6);
    EXPECT_EQ(current(), (GridCell{5, 49}));
    EXPECT_EQ(widget.selection(), QRect(QPoint(5, 49), QPoint(5, 49)));
    EXPECT_EQ(widget.verticalScrollBar()->maximum(), widget.topRow());
    EXPECT_FALSE(widget.cellRect(5, 49).isEmpty());
}

TEST_F(GridWidgetTest, ShowsAnotherGridThenNone) {
    widget.setTopRow(50);
    StringGrid other(4, 10);
    widget.setGrid(&other);
    EXPECT_EQ(current(), (GridCell{1, 1}));
    EXPECT_EQ(widget.topRow(), 1);
    other.setRowCount(1000);
    EXPECT_GT(widget.verticalScrollBar()->maximum(), 900);

    widget.setGrid(nullptr);
    QImage image(widget.size(), QImage::Format_RGB32);
    widget.render(&image);
    EXPECT_EQ(current(), (GridCell{}));
    EXPECT_EQ(widget.cellAt(QPoint(5, 5)), (GridCell{}));
    EXPECT_EQ(pixel(widget, image, QPoint(5, 5)), QColor(0xC0, 0xC0, 0xC0));
}

} // namespace
} // namespace tabulix
