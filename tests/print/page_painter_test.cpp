#include "PrintTestTables.h"
#include "print/PagePainter.h"
#include "print/PrintFont.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace tabulix {
namespace {

// Print data of `grid` on an 800 × 1000 sheet at screen resolution, without
// margins beyond the fixed 5 mm and a header of 24 (one title line: 40).
struct Printed {
    AnsweringDialogs dialogs;
    PrintData data;
    PagePainter painter{data};

    Printed(const StringGrid& grid, const std::function<void(PrintJob&)>& adjust = {},
            Paper paper = screenPaper())
        : data(makeJob(grid, adjust), printFontMeasure(), dialogs) {
        data.setPaper(paper);
        data.build();
        data.computeBreakFlags();
        data.rebuild();
        painter.setDateTime("2026/12/08", "11:30:05");
    }
    static PrintJob makeJob(const StringGrid& grid, const std::function<void(PrintJob&)>& adjust) {
        PrintJob job = printJob(grid);
        job.mainWindowMode = true;
        job.titleLines[0] = "File.Name:  /home/u/会員名簿.csv";
        if (adjust) adjust(job);
        return job;
    }

    QImage render(int page, double zoom = 1.0, const char* png = nullptr) {
        const PageMetrics& m = data.metrics();
        QImage image(static_cast<int>(m.sheetWidth * zoom), static_cast<int>(m.sheetHeight * zoom),
                     QImage::Format_RGB32);
        image.fill(Qt::darkGray);
        QPainter p(&image);
        painter.drawPage(p, page, zoom);
        p.end();
        if (png) image.save(QString::fromUtf8(png));
        return image;
    }
    // Device point of layout point (x, y) at zoom 1.
    QPoint at(int x, int y) const {
        return {x + data.metrics().leftMargin, y + data.metrics().topMargin};
    }
};

int grey(const QImage& image, QPoint p) {
    return qGray(image.pixel(p));
}

TEST(PagePainter, LineKindsOfOrdinaryCellsAndFixedOutlines) {
    const StringGrid grid = printGrid(3, 5);
    struct Case {
        int lineKind;
        int dataEdge; // grey of the line between data cells (3, 2) and (4, 2)
    };
    for (const Case& c : {Case{0, 255}, Case{1, 0}}) {
        Printed printed(grid, [&](PrintJob& job) {
            job.printSettings.cmbLineKind = c.lineKind;
            job.printSettings.breakColor = false;
        });
        const QImage image = printed.render(1);
        EXPECT_EQ(grey(image, printed.at(300, 50)), c.dataEdge) << c.lineKind;
        EXPECT_EQ(grey(image, printed.at(250, 40)), c.dataEdge) << c.lineKind;
        EXPECT_EQ(grey(image, printed.at(25, 40)), 0) << c.lineKind;  // fixed column
        EXPECT_EQ(grey(image, printed.at(150, 20)), 0) << c.lineKind; // under the fixed row
    }
}

TEST(PagePainter, ShadesOfBreaksAndEmptyRows) {
    StringGrid grid = printGrid(2, 5);
    const std::vector<std::string> values = {"A", "A", "B", "", "B"};
    for (int r = 1; r <= 5; ++r)
        grid.setCell(2, r, values[static_cast<std::size_t>(r - 1)]);
    for (int r = 1; r <= 5; ++r)
        grid.setCell(3, r, r == 4 ? "" : "x");
    struct Case {
        bool light, dark;
        int row4; // the empty row
    };
    for (const Case& c :
         {Case{false, false, 255}, Case{true, false, 232}, Case{false, true, 192}}) {
        Printed printed(grid, [&](PrintJob& job) {
            job.printSettings.karaGyoColor = c.light;
            job.printSettings.karaGyoBlack = c.dark;
        });
        const QImage image = printed.render(1);
        const auto fill = [&](int col, int row) {
            const CellLayout& cell = printed.data.cell(col, row);
            return grey(image, printed.at(cell.right - 3, cell.bottom - 3));
        };
        EXPECT_EQ(fill(2, 1), 232); // differs from the column number
        EXPECT_EQ(fill(2, 2), 232);
        EXPECT_EQ(fill(2, 3), 255);
        EXPECT_EQ(fill(2, 4), c.row4);
        EXPECT_EQ(fill(2, 5), 232);
        EXPECT_EQ(fill(1, 3), 192); // fixed column
    }
}

// Rows of the cell's inner area holding ink, counted as runs.
int textLines(const QImage& image, const QRect& box) {
    int lines = 0;
    bool inLine = false;
    for (int y = box.top(); y <= box.bottom(); ++y) {
        bool ink = false;
        for (int x = box.left(); x <= box.right() && !ink; ++x)
            ink = qGray(image.pixel(x, y)) < 128;
        if (ink && !inLine) ++lines;
        inLine = ink;
    }
    return lines;
}

TEST(PagePainter, LongTextIsDrawnInAtMostMaxCellLines) {
    StringGrid grid = printGrid(2, 3);
    grid.setColWidth(2, 200);
    grid.setCell(2, 2, std::string(100, 'W') + "日本語のテキスト");
    for (const int maxLines : {3, 0}) {
        Printed printed(grid, [&](PrintJob& job) {
            job.maxCellLines = maxLines;
            job.printSettings.breakColor = false;
            job.printSettings.cmbLineKind = 0;
            job.printSettings.dataCenter = maxLines == 0;
        });
        const CellLayout& cell = printed.data.cell(2, 2);
        const QImage image =
            printed.render(1, 1.0, maxLines ? "/tmp/print-maxlines.png" : "/tmp/print-wrapped.png");
        const QRect inner(printed.at(cell.left + 4, cell.top + 2),
                          printed.at(cell.right - 4, cell.bottom - 1));
        EXPECT_EQ(textLines(image, inner), maxLines ? 3 : 5) << maxLines;
    }
}

TEST(PagePainter, DateLineKeepsToTheRightEdgeAtEveryZoom) {
    const StringGrid grid = printGrid(3, 5);
    Printed printed(grid);
    const int w = printed.data.metrics().printableWidth;
    for (const double zoom : {0.5, 1.0, 2.0, 3.0}) {
        const QImage image =
            printed.render(1, zoom, zoom == 2.0 ? "/tmp/print-zoom2.png" : nullptr);
        int right = -1;
        for (int y = 2; y < static_cast<int>(printed.data.metrics().topMargin * zoom) - 2; ++y)
            for (int x = 2; x < image.width() - 2; ++x) {
                const QRgb p = image.pixel(x, y);
                if (qRed(p) < 128 && qBlue(p) < 128) right = std::max(right, x);
            }
        // The text ends two "A" widths (about 14 pixels) before W.
        EXPECT_NEAR(right / zoom, w - 14, 6) << zoom;
    }
}

TEST(PagePainter, FixedRowsAndColumnsOnEveryBandAndPage) {
    const auto plain = [](PrintJob& job) { job.printSettings.breakColor = false; };
    const StringGrid narrow = printGrid(12, 10);
    Printed stacked(narrow, plain);
    const QImage page1 = stacked.render(1, 1.0, "/tmp/print-two-bands.png");
    const int band2 = stacked.data.cell(8, 0).top;            // 256
    EXPECT_EQ(grey(page1, stacked.at(4, band2 + 10)), 192);   // corner
    EXPECT_EQ(grey(page1, stacked.at(4, band2 + 35)), 192);   // fixed column
    EXPECT_EQ(grey(page1, stacked.at(195, band2 + 15)), 192); // fixed row over band 2's columns
    EXPECT_EQ(grey(page1, stacked.at(150, band2 - 1)), 0);    // band 2's frame
    EXPECT_EQ(stacked.data.page(1).bands[1].top, band2);

    const StringGrid tall = printGrid(12, 100);
    Printed paged(tall, plain);
    for (int page = 2; page <= 4; ++page) {
        const QImage image = paged.render(page, 1.0, page == 4 ? "/tmp/print-page4.png" : nullptr);
        EXPECT_EQ(grey(image, paged.at(4, 15)), 192) << page;   // corner
        EXPECT_EQ(grey(image, paged.at(195, 15)), 192) << page; // fixed row
        EXPECT_EQ(grey(image, paged.at(4, 45)), 192) << page;   // fixed column
        EXPECT_EQ(grey(image, paged.at(195, 35)), 255) << page; // a data cell
    }
}

TEST(PagePainter, OnePageModeDrawsAtHalfSize) {
    const StringGrid grid = printGrid(15, 30);
    Printed printed(
        grid,
        [](PrintJob& job) {
            job.printSettings.cmbCellWay = 1;
            job.printSettings.breakColor = false;
        },
        screenPaper(818, 1000));
    const QImage image = printed.render(1, 1.0, "/tmp/print-one-page.png");
    EXPECT_EQ(grey(image, printed.at(800, 35)), 0);   // the band frame at 1600 × 0.5
    EXPECT_EQ(grey(image, printed.at(805, 35)), 255); // nothing beyond it
    EXPECT_EQ(grey(image, printed.at(700, 310)), 0);  // 31 rows of 10
    EXPECT_EQ(grey(image, printed.at(700, 314)), 255);
}

} // namespace
} // namespace tabulix

namespace tabulix {
namespace {

// A printer at 240 dpi (2.5 × the screen): the preview layout at 95 % of its
// proportional size, margins converted alone, pens of 3 and frames of 6.
TEST(PagePainter, PrintingDrawsThePreviewLayoutAt95Percent) {
    const StringGrid grid = printGrid(6, 10);
    Printed printed(grid, {}, Paper{2000, 2500, 240});
    const int right = printed.data.cell(7, 10).right; // 700 in preview
    const int bottom = printed.data.cell(7, 10).bottom;
    printed.data.setPreviewMode(false);
    printed.data.computeMetrics();
    printed.data.layout(1);
    const PageMetrics& m = printed.data.metrics();
    QImage image(2000, 2500, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    printed.painter.drawPage(p, 1);
    p.end();
    image.scaled(800, 1000, Qt::KeepAspectRatio, Qt::SmoothTransformation)
        .save(QStringLiteral("/tmp/print-printer.png"));
    const int x = m.leftMargin + static_cast<int>(static_cast<int>(right * 2.5) * 0.95);
    const int y = m.topMargin + static_cast<int>(static_cast<int>(bottom * 2.5) * 0.95);
    EXPECT_EQ(m.topMargin, 100); // a header of 24 + 16 at 2.5
    EXPECT_EQ(qGray(image.pixel(x, y - 100)), 0);
    EXPECT_EQ(qGray(image.pixel(x + 2, y - 100)), 0); // a frame 6 wide
    EXPECT_EQ(qGray(image.pixel(x + 8, y - 100)), 255);
    printed.data.setPreviewMode(true);
    printed.data.computeMetrics();
    printed.data.layout(2);
    EXPECT_EQ(printed.data.cell(7, 10).right, right);
}

} // namespace
} // namespace tabulix
