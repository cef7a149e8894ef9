// The cell painter installed as the grid widget's draw-cell hook, rendered
// into an image on the offscreen platform and checked pixel by pixel.
#include "edit/EditState.h"
#include "draw/BreakShade.h"
#include "draw/DisplayText.h"
#include "draw/RowHeights.h"
#include "table/Table.h"
#include "table/TableLayout.h"
#include "view/CellPainter.h"
#include "view/GridFont.h"
#include "view/GridWidget.h"

#include <QImage>
#include <QTest>

#include <gtest/gtest.h>

#include <string>

namespace tabulix {
namespace {

constexpr QRgb kSilver = 0xFFC0C0C0;

// Data columns 2..5, ten "A" wide; rows 1..12.
class CellPainterTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetTable(table, 4, 12, ResetMetrics{gridCharWidth(), 21, 25, false});
        for (int col = 2; col <= 5; ++col)
            table.grid.setColWidth(col, static_cast<int>(10 * gridCharWidth()));
        widget.resize(700, 500);
        widget.setGrid(&table.grid);
        painter.installHook();
        widget.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&widget));
    }

    QImage render() {
        QImage image(widget.viewport()->size(), QImage::Format_RGB32);
        widget.viewport()->render(&image);
        return image;
    }
    // The pixel just inside the cell's top-left corner: inside the raised
    // frame, above and left of the text.
    QRgb fill(const QImage& image, int col, int row) {
        return image.pixel(widget.cellRect(col, row).topLeft() + QPoint(1, 1));
    }
    // Pixels in the rows [top, bottom) of the cell (cell coordinates) that
    // differ from the cell's fill.
    int ink(const QImage& image, int col, int row, int top, int bottom) {
        const QRect rect = widget.cellRect(col, row);
        const QRgb background = fill(image, col, row);
        int count = 0;
        for (int y = rect.top() + top; y < rect.top() + bottom && y < rect.bottom(); ++y)
            for (int x = rect.left() + 1; x < rect.right() - 1; ++x)
                count += image.pixel(x, y) != background;
        return count;
    }
    int inkIn(const QImage& image, int col, int row) {
        return ink(image, col, row, 1, widget.cellRect(col, row).height() - 1);
    }
    // The leftmost inked column of the cell, relative to its left edge.
    int firstInkX(const QImage& image, int col, int row) {
        const QRect rect = widget.cellRect(col, row);
        const QRgb background = fill(image, col, row);
        for (int x = rect.left() + 1; x < rect.right(); ++x)
            for (int y = rect.top() + 1; y < rect.bottom(); ++y)
                if (image.pixel(x, y) != background) return x - rect.left();
        return -1;
    }
    void refold() { ComputeRowHeights(table.grid, options, gridCharWidth(), gridCharHeight()); }

    Table table;
    EditState edit;
    DisplayOptions options;
    GridWidget widget; // after the table: it shows the table's grid
    CellPainter painter{table, edit, options, widget};
};

TEST_F(CellPainterTest, PaintsShadesCursorMarksAndFixedCells) {
    const char* column[] = {"A", "A", "B", "B", "", "B"};
    for (int row = 1; row <= 6; ++row)
        table.grid.setCell(2, row, column[row - 1]);
    for (int row = 7; row <= 12; ++row)
        table.grid.setCell(3, row, "x");
    RecomputeBreakShades(table, -1, 0);
    table.rowRecords[8].marked = true;
    widget.setCurrentCellSilently(4, 9);

    const QImage image = render();
    EXPECT_EQ(fill(image, 2, 1), 0xFFB0B0B0);
    EXPECT_EQ(fill(image, 2, 3), kSilver);
    EXPECT_EQ(fill(image, 2, 6), 0xFFB0B0B0);
    EXPECT_EQ(fill(image, 3, 5), 0xFFEFEFEF); // an empty row
    EXPECT_EQ(fill(image, 4, 9), 0xFF000080); // current cell
    EXPECT_EQ(fill(image, 5, 8), 0xFF008000); // marked row
    EXPECT_EQ(fill(image, 0, 8), 0xFF008000); // its row number
    EXPECT_EQ(fill(image, 0, 7), 0xFF808080); // a plain row number
    const QRect number = widget.cellRect(0, 7);
    EXPECT_EQ(image.pixel(number.topLeft()), 0xFFC0C0C0); // raised frame
    EXPECT_EQ(image.pixel(number.right(), number.center().y()), widget.gridLineColor().rgb());
    EXPECT_GT(inkIn(image, 0, 7), 0); // the row number is drawn
}

TEST_F(CellPainterTest, ClickedHeaderGetsAWhiteFrame) {
    edit.headerMode = HeaderMode::ColumnHeader;
    edit.clickCol = 3;
    const QImage image = render();
    const QRect header = widget.cellRect(3, 0);
    const QRect content = header.adjusted(0, 0, -1, -1);
    EXPECT_EQ(image.pixel(content.topLeft()), 0xFFFFFFFF);
    EXPECT_EQ(image.pixel(content.bottomRight()), 0xFFFFFFFF);
    EXPECT_EQ(image.pixel(widget.cellRect(4, 0).topLeft()), 0xFFC0C0C0);
    EXPECT_NE(image.pixel(widget.cellRect(4, 0).adjusted(0, 0, -1, -1).bottomRight()), 0xFFFFFFFF);
}

TEST_F(CellPainterTest, FoldedTextStopsAtTheCellsLastWholeLine) {
    const int h = gridCharHeight();
    table.grid.setCell(3, 2, std::string(25, 'M'));
    table.grid.setCell(3, 3, std::string(10, 'M')); // 9 units fit on a line
    options.foldItem = 2;
    refold();
    ASSERT_EQ(table.grid.rowHeight(2), FoldedRowHeight(2, h));
    ASSERT_EQ(table.grid.rowHeight(3), FoldedRowHeight(2, h));
    const QImage image = render();
    EXPECT_GT(ink(image, 3, 2, 2, 2 + h), 0);
    EXPECT_GT(ink(image, 3, 2, 2 + h, 2 + 2 * h), 0);
    EXPECT_EQ(ink(image, 3, 2, 2 + 2 * h, 1000), 0); // the third line would not end inside
    EXPECT_GT(ink(image, 3, 3, 2 + h, 2 + 2 * h), 0);

    options.foldItem = kFoldNone; // one line on the same tall row
    const QImage single = render();
    EXPECT_EQ(ink(single, 3, 2, 2, 2 + h / 2), 0);
    EXPECT_EQ(ink(single, 3, 2, 2 + 3 * h / 2, 1000), 0);
}

TEST_F(CellPainterTest, RowsOfTheDefaultHeightStillShowTheirFirstLineWhenFolding) {
    table.grid.setCell(3, 4, "Mx");
    options.foldItem = kFoldAuto;
    refold();
    ASSERT_EQ(table.grid.rowHeight(4), 21);
    const QImage image = render();
    EXPECT_GT(inkIn(image, 3, 4), 0);
    EXPECT_GT(inkIn(image, 0, 4), 0); // row number
    EXPECT_GT(inkIn(image, 3, 0), 0); // column number
}

TEST_F(CellPainterTest, StandardDrawingShowsTheStoredTextAndRulesTheDisplayText) {
    const int a = static_cast<int>(gridCharWidth());
    table.grid.setCell(3, 5, "      M");
    options.foldItem = kFoldNone;
    options.trimSpace = true;
    options.breakColor = false;
    options.karaGyoColor = false;
    EXPECT_GT(firstInkX(render(), 3, 5), 2 + 5 * a); // untrimmed: no rule applied

    options.breakColor = true;
    EXPECT_LT(firstInkX(render(), 3, 5), 2 + a);

    options.dataCenter = true;
    EXPECT_GT(firstInkX(render(), 3, 5), 2 + 3 * a);
}

// With no rule applied the cells keep the grid's standard look: pixel for
// pixel what the widget draws by itself, also when drawn again from the
// rendered-line cache and for texts far wider than the cell.
TEST_F(CellPainterTest, StandardCellsMatchTheWidgetsOwnDrawing) {
    const std::string texts[] = {"plain",       "日本語ｶﾅ", "a\r\nb\rc\nd",
                                 "bad\xff\xfe", "  x  ",    std::string(5000, 'W'),
                                 "20240315"};
    for (int row = 1; row <= 12; ++row)
        for (int col = 2; col <= 5; ++col)
            table.grid.setCell(col, row, texts[(row * 4 + col) % std::size(texts)]);
    options.foldItem = kFoldNone;
    options.breakColor = false;
    options.karaGyoColor = false;
    widget.setCurrentCellSilently(3, 2);
    const QImage first = render();
    const QImage again = render();
    widget.setDrawCellHook({});
    const QImage own = render();
    const QRect data(widget.cellRect(2, 1).topLeft(), widget.viewport()->rect().bottomRight());
    EXPECT_EQ(first.copy(data), own.copy(data));
    EXPECT_EQ(again.copy(data), own.copy(data));
}

} // namespace
} // namespace tabulix
