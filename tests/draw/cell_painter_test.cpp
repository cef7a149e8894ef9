// The cell painter installed as the grid widget's draw-cell hook, rendered
// into an image on the offscreen platform and checked pixel by pixel.
#include "edit/EditState.h"
#include "draw/BreakShade.h"
#include "draw/DisplayText.h"
#include "draw/RowHeights.h"
#include "table/Table.h"
#include "table/FixedColumn.h"
#include "table/TableLayout.h"
#include "table/WidthRule.h"
#include "text/TextHelpers.h"
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
    // Pixels differing from the fill inside a cell's frame, where a text goes.
    int textInk(const QImage& image, int col, int row) {
        const QRect rect = widget.cellRect(col, row);
        const QRgb background = fill(image, col, row);
        int count = 0;
        for (int y = rect.top() + 1; y < rect.bottom() - 1; ++y)
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

// The look of a cell never depends on the cursor or on a colour rule: every
// cell shows its display text, also where no rule applies and nothing folds.
TEST_F(CellPainterTest, EveryCellShowsItsDisplayText) {
    const int a = static_cast<int>(gridCharWidth());
    table.grid.setCell(3, 5, "      M");
    table.grid.setCell(4, 5, "20240315");
    table.grid.setCell(5, 5, "2024/03/15");
    for (const int col : {4, 5})
        table.grid.setColWidth(col, ColumnWidthForUnits(10, gridCharWidth()));
    options.foldItem = kFoldNone;
    options.trimSpace = true;
    options.dateEdit = true;
    options.breakColor = false;
    options.karaGyoColor = false;
    for (const bool breakColor : {false, true}) {
        options.breakColor = breakColor; // no rule, then the shading rule
        const QImage image = render();
        EXPECT_LT(firstInkX(image, 3, 5), 2 + a) << breakColor;
        EXPECT_EQ(image.copy(widget.cellRect(4, 5)), image.copy(widget.cellRect(5, 5)))
            << breakColor;
    }
    options.dataCenter = true;
    EXPECT_GT(firstInkX(render(), 3, 5), 2 + 3 * a);
}

// One exact unit: a text of n display units drawn in a column sized for n
// units shows every pixel it shows in a wide column, with folding on and off,
// left-aligned, centred (row numbers) and in the fixed-column display.
TEST_F(CellPainterTest, ATextOfNUnitsFitsAColumnSizedForNUnits) {
    EXPECT_EQ(gridCharWidth(), static_cast<int>(gridCharWidth()));
    const std::string texts[] = {"1,234,568", "WWWWMMMM", "日本語ｶﾅ", "a\tb\x01" "c", "20240315"};
    table.grid.setColWidth(5, 300); // the wide column to compare with
    for (const int fold : {kFoldNone, kFoldAuto})
        for (const std::string& text : texts) {
            options.foldItem = fold;
            const int width = ColumnWidthForUnits(static_cast<int>(cellDisplayUnits(text)),
                                                  gridCharWidth());
            table.grid.setCell(0, 3, text); // a row number, centred
            table.grid.setCell(3, 3, text);
            table.grid.setCell(5, 3, text);
            table.grid.setColWidth(0, 300);
            const int wideNumber = textInk(render(), 0, 3);
            table.grid.setColWidth(0, width);
            table.grid.setColWidth(3, width);
            refold();
            EXPECT_EQ(table.grid.rowHeight(3), 21) << text; // it does not fold
            const QImage narrow = render();
            const int wideCell = textInk(narrow, 5, 3);
            EXPECT_GT(wideCell, 0) << text;
            EXPECT_EQ(textInk(narrow, 0, 3), wideNumber) << text << " fold " << fold;
            EXPECT_EQ(textInk(narrow, 3, 3), wideCell) << text << " fold " << fold;
        }
}

// Row numbers from 1,000,000 on fit the number column as the table is laid
// out, and the fixed-column display shows a text exactly as wide as itself.
TEST_F(CellPainterTest, RowNumbersOfMillionsAndAFullFixedColumnDoNotFold) {
    options.foldItem = kFoldAuto;
    table.grid.setCell(0, 2, "1,234,568");
    SetUpFixedColumn(table.grid, 2, 6, gridCharWidth());
    table.grid.setCell(1, 2, " 12345"); // six units in a column of six
    refold();
    EXPECT_EQ(table.grid.rowHeight(2), 21);
    EXPECT_EQ(table.grid.rowHeight(0), 21);
    EXPECT_GT(textInk(render(), 1, 2), 0);
}

// A tab and the other control characters show as one visible mark each in
// their own unit, and the text after them stays in place.
TEST_F(CellPainterTest, ControlCharactersShowAsOneUnitMarks) {
    const int a = static_cast<int>(gridCharWidth());
    options.foldItem = kFoldNone;
    options.breakColor = false;
    options.karaGyoColor = false;
    table.grid.setColWidth(3, ColumnWidthForUnits(8, gridCharWidth()));
    const char* texts[] = {"x\tyz", "x\x01yz", "x\x7fyz", "x\nyz"};
    for (const char* text : texts) {
        table.grid.setCell(3, 6, text);
        table.grid.setCell(3, 7, "xQyz");
        const QImage image = render();
        const QRect cell = widget.cellRect(3, 6);
        // Columns of the cell holding ink, in units from the text's start.
        auto unitHasInk = [&](int row, int unit) {
            const QRect r = widget.cellRect(3, row);
            const QRgb paper = fill(image, 3, row);
            for (int x = r.left() + 2 + unit * a; x < r.left() + 2 + (unit + 1) * a; ++x)
                for (int y = r.top() + 1; y < r.bottom(); ++y)
                    if (image.pixel(x, y) != paper) return true;
            return false;
        };
        for (int unit = 0; unit < 4; ++unit)
            EXPECT_TRUE(unitHasInk(6, unit)) << unit << " of " << text;
        EXPECT_FALSE(unitHasInk(6, 4)) << text;
        // "y" and "z" where they are after any one-unit character.
        const QRect shown(cell.left() + 2 + 2 * a, cell.top(), 2 * a, cell.height() - 1);
        const QRect same(widget.cellRect(3, 7).left() + 2 + 2 * a, widget.cellRect(3, 7).top(),
                         2 * a, cell.height() - 1);
        EXPECT_EQ(image.copy(shown), image.copy(same)) << text;
    }
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
