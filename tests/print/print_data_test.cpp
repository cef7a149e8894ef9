#include "PrintTestTables.h"
#include "print/PrintHeader.h"

#include <gtest/gtest.h>

namespace tabulix {
namespace {

struct Laid {
    PrintData data;
    LayoutResult result;
    Laid(const PrintJob& job, AnsweringDialogs& dialogs, Paper paper = screenPaper())
        : data(job, fixedMeasure(), dialogs) {
        data.setPaper(paper);
        data.build();
        data.computeBreakFlags();
        result = data.rebuild();
    }
};

// (page, band, left, top) of a cell.
std::vector<int> where(const PrintData& d, int col, int row) {
    const CellLayout& c = d.cell(col, row);
    return {c.page, c.band, c.left, c.top};
}

TEST(PrintData, PageMetricsFromMarginsAndHeader) {
    const StringGrid grid = printGrid(3, 3);
    AnsweringDialogs dialogs;
    PrintJob job = printJob(grid);
    job.printSettings.cmbMgnLeft = 2; // 10 mm
    job.printSettings.cmbMgnUp = 3;   // 15 mm
    job.titleLines = {"File.Name:  /tmp/a.csv", "", "x", ""};
    Laid laid(job, dialogs, Paper{4960, 7016, 600}); // A4 at 600 dpi
    const PageMetrics& m = laid.data.metrics();
    EXPECT_EQ(m.leftMargin, 37);
    EXPECT_EQ(m.headerHeight, 24 + 2 * 16);
    EXPECT_EQ(m.topMargin, 56 + 56);
    EXPECT_EQ(m.printableWidth, 793 - 37 - 18);
    EXPECT_EQ(m.printableHeight, 1122 - 112 - 18);
    EXPECT_EQ(m.sheetWidth, 793);
    EXPECT_EQ(m.bandGap, 36);
    EXPECT_EQ(laid.data.colWidth(2), 100); // source 93 + "A"
}

// Rows 0..46 fill page 1 (47 × 20 <= 958); later pages start below the room
// left for the fixed row.
TEST(PrintData, ColumnsThatFitGiveOneBandAPage) {
    const StringGrid grid = printGrid(6, 100);
    AnsweringDialogs dialogs;
    Laid laid(printJob(grid), dialogs);
    ASSERT_EQ(laid.result, LayoutResult::Done);
    PrintData& d = laid.data;
    ASSERT_EQ(d.pageCount(), 3);
    for (int p = 1; p <= 3; ++p)
        EXPECT_EQ(d.page(p).bandCount, 1);
    EXPECT_EQ(where(d, 7, 46), (std::vector<int>{1, 1, 600, 920}));
    EXPECT_EQ(where(d, 0, 47), (std::vector<int>{2, 1, 0, 20}));
    EXPECT_EQ(d.page(2).firstRow, 47);
    EXPECT_EQ(d.page(2).lastRow, 92);
    EXPECT_EQ(d.page(3).firstRow, 93);
    EXPECT_EQ(d.page(3).lastCol, 7);
    EXPECT_TRUE(d.complete());
    EXPECT_EQ(d.createStatus(), "作成済");
    EXPECT_EQ(d.linesStatus(), "[ Lines  100 / 100 ]");
}

TEST(PrintData, TwiceAsWideGivesTwoBandsStackedOrOnTheNextPage) {
    struct Case {
        int rows;
        std::vector<int> band2Cell; // where (8, 1) lies
        int pages;
    };
    // 11 rows: band 1 is 220 high, one more band at 220 + 36 fits under it.
    // 101 rows: band 1 fills the page, band 2 goes to page 2.
    for (const Case& c : {Case{10, {1, 2, 100, 276}, 1}, Case{100, {2, 1, 100, 20}, 6}}) {
        const StringGrid grid = printGrid(12, c.rows);
        AnsweringDialogs dialogs;
        Laid laid(printJob(grid), dialogs);
        PrintData& d = laid.data;
        EXPECT_EQ(d.pageCount(), c.pages) << c.rows;
        EXPECT_EQ(where(d, 8, 1), c.band2Cell) << c.rows;
        EXPECT_EQ(where(d, 7, 1)[0], 1);
        EXPECT_EQ(d.cell(7, 1).right, 800 - 100); // 6 data columns in band 1
        EXPECT_EQ(d.cell(13, 1).right, 700);      // shifted right by the fixed columns
    }
}

TEST(PrintData, LargeCellErrorKeepsThePagesBeforeIt) {
    AnsweringDialogs dialogs;
    StringGrid tall = printGrid(3, 100);
    tall.setCell(3, 60, std::string(2000, 'x')); // 151 lines of 18 in a column of 93
    Laid laid(printJob(tall), dialogs);
    EXPECT_EQ(laid.result, LayoutResult::LargeCellError);
    EXPECT_EQ(laid.data.pageCount(), 2);
    EXPECT_EQ(laid.data.rowsCreated(), 59);
    EXPECT_EQ(laid.data.page(2).lastRow, 59);
    EXPECT_TRUE(laid.data.refuseForLargeCell());
    EXPECT_EQ(dialogs.shown.back(), std::string(kLargeCellMessage));

    StringGrid wide = printGrid(3, 10);
    wide.setColWidth(1, 900); // fixed columns wider than the page
    Laid wideLaid(printJob(wide), dialogs);
    EXPECT_EQ(wideLaid.result, LayoutResult::LargeCellError);
    EXPECT_EQ(wideLaid.data.pageCount(), 1); // column 0 alone
    EXPECT_EQ(wideLaid.data.cell(1, 0).page, -1);
}

TEST(PrintData, TooWideColumnIsNarrowedToThePrintableWidth) {
    StringGrid grid = printGrid(3, 5);
    grid.setColWidth(3, 2000);
    AnsweringDialogs dialogs;
    Laid laid(printJob(grid), dialogs);
    EXPECT_EQ(laid.result, LayoutResult::Done);
    EXPECT_EQ(laid.data.colWidth(3), 782 - 100);
    // It takes a band of its own, right of the repeated fixed columns.
    EXPECT_EQ(where(laid.data, 3, 1), (std::vector<int>{1, 2, 100, 176}));
    EXPECT_EQ(laid.data.cell(3, 1).right, 782);
    EXPECT_EQ(laid.data.cell(4, 1).band, 3);
}

TEST(PrintData, RowHeightsWrapUpToMaxCellLines) {
    struct Case {
        int maxLines;
        int height;
    };
    // 40 "x" are 280 pixels in a column of 93: 1 + 3 = 4 lines of 18 above
    // the default row of 20.
    for (const Case& c : {Case{0, 3 * 18 + 20}, Case{3, 2 * 18 + 20}, Case{1, 20}}) {
        StringGrid grid = printGrid(3, 5);
        grid.setCell(2, 3, std::string(40, 'x'));
        grid.setCell(3, 3, "\xE6\x97\xA5\xE6\x9C\xAC"); // 4 units fit
        AnsweringDialogs dialogs;
        PrintJob job = printJob(grid);
        job.maxCellLines = c.maxLines;
        Laid laid(job, dialogs);
        EXPECT_EQ(laid.data.rowHeight(3), c.height) << c.maxLines;
        EXPECT_EQ(laid.data.rowHeight(2), 20);
    }
}

TEST(PrintData, PrintTextTrimsAndEditsDates) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"20261207", "2026/12/07"}, {"261207", "26/12/07"}, {"26-12-07", "26/12/07"},
        {"2612070", "2612070"},     {"  ab  ", "ab"},       {"a\r\nb", "a\u21B5b"},
    };
    StringGrid grid = printGrid(1, static_cast<int>(cases.size()));
    for (std::size_t i = 0; i < cases.size(); ++i)
        grid.setCell(2, static_cast<int>(i) + 1, cases[i].first);
    AnsweringDialogs dialogs;
    PrintJob job = printJob(grid);
    job.printSettings.trimSpace = true;
    job.printSettings.dateEdit = true;
    Laid laid(job, dialogs);
    for (std::size_t i = 0; i < cases.size(); ++i)
        EXPECT_EQ(laid.data.printText(2, static_cast<int>(i) + 1), cases[i].second)
            << cases[i].first;
}

TEST(PrintData, BreakColourFlipsAtChangesUpToColumn128) {
    StringGrid grid = printGrid(130, 5);
    const std::vector<std::string> values = {"A", "A", "B", "", "B"};
    for (int c = 2; c < grid.colCount(); ++c)
        for (int r = 1; r <= 5; ++r)
            grid.setCell(c, r, values[static_cast<std::size_t>(r - 1)]);
    grid.setCell(2, 0, "1");
    AnsweringDialogs dialogs;
    Laid laid(printJob(grid), dialogs);
    const auto bits = [&](int col) {
        std::string s;
        for (int r = 0; r <= 5; ++r)
            s += laid.data.breakBit(col, r) ? '1' : '0';
        return s;
    };
    EXPECT_EQ(bits(2), "011001");
    EXPECT_EQ(bits(128), "011001");
    EXPECT_EQ(bits(129), "000000");
    EXPECT_EQ(bits(131), "000000");
}

TEST(PrintData, OnePageModeFitsTheWidthAtHalfSize) {
    const StringGrid grid = printGrid(15, 100); // 100 + 1500 = 1600 wide
    AnsweringDialogs dialogs;
    PrintJob job = printJob(grid);
    job.printSettings.cmbCellWay = 1;
    job.printSettings.cellScale = 50; // ignored in the one-page mode
    Laid laid(job, dialogs, screenPaper(818, 1000));
    PrintData& d = laid.data;
    EXPECT_DOUBLE_EQ(d.fitFactor(), 0.5);
    EXPECT_EQ(d.printFontHeight(), 14);
    EXPECT_EQ(d.page(1).bandCount, 1);
    EXPECT_EQ(d.page(1).lastCol, 16);
    EXPECT_EQ(d.cell(16, 1).right, 1600);
    // Half-size rows: 95 rows of 20 (1900 × 0.5) fit 958.
    EXPECT_EQ(d.page(1).lastRow, 94);
    EXPECT_EQ(d.pageCount(), 2);
}

TEST(PrintData, CellScaleShrinksSizes) {
    const StringGrid grid = printGrid(3, 5);
    AnsweringDialogs dialogs;
    PrintJob job = printJob(grid);
    job.printSettings.cellScale = 50; // 7 pixels: ratio 2
    Laid laid(job, dialogs);
    EXPECT_EQ(laid.data.printFontHeight(), 7);
    EXPECT_EQ(laid.data.colWidth(2), 50);
    EXPECT_EQ(laid.data.rowHeight(1), 10);
    EXPECT_EQ(laid.data.metrics().bandGap, 2 * 11);
}

TEST(PrintData, NoPageHoldsMoreThan21Bands) {
    const StringGrid grid = printGrid(150, 1, 2); // bands of 4 + gap 36
    AnsweringDialogs dialogs;
    Laid laid(printJob(grid), dialogs);
    PrintData& d = laid.data;
    ASSERT_EQ(d.pageCount(), 2);
    EXPECT_EQ(d.page(1).bandCount, 21);
    EXPECT_EQ(d.page(2).bandCount, 4); // 150 columns in bands of 6 (first: 6 after the fixed)
    EXPECT_EQ(d.cell(2 + 6 * 21, 1).page, 2);
}

TEST(PrintData, PartialCreationThenFullCreationWithStop) {
    const StringGrid grid = printGrid(4, 12000);
    AnsweringDialogs dialogs;
    PrintJob job = printJob(grid);
    job.initialRows = 100;
    job.mainWindowMode = true;
    Laid laid(job, dialogs);
    PrintData& d = laid.data;
    EXPECT_EQ(d.rowsCreated(), 100);
    EXPECT_EQ(d.createStatus(), "作成要→");
    EXPECT_EQ(d.linesStatus(), "[ Lines  100 / 12000 ]");
    const int partialPages = d.pageCount();
    const CellLayout before = d.cell(3, 99);

    std::vector<std::string> progress;
    d.setProgress([&](std::string_view text) {
        progress.emplace_back(text);
        d.requestStop();
    });
    dialogs.answers = {true, true}; // create, then stop
    EXPECT_FALSE(d.createAll());
    EXPECT_EQ(dialogs.shown[0],
              "【 全件分の印刷データ作成 】\r\n\r\nデータ数が多いと相当時間がかかります。\r\n\r\n"
              "    行数: 12000    列数: 4\r\n\r\nよろしいですか？");
    EXPECT_EQ(dialogs.shown[1], "処理を中断しますか？");
    EXPECT_EQ(progress.front(), "[ Line  4900 / 12000 ]");
    EXPECT_EQ(d.pageCount(), partialPages);
    EXPECT_EQ(d.rowsCreated(), 100);
    EXPECT_EQ(d.cell(3, 99).top, before.top);
    EXPECT_EQ(d.cell(3, 5000).page, -1);

    // Declining the stop goes on to the end, as an uninterrupted run would.
    dialogs.answers = {true, false, false, false, false, false, false, false};
    EXPECT_TRUE(d.createAll());
    EXPECT_TRUE(d.complete());
    AnsweringDialogs other;
    PrintJob whole = job;
    whole.initialRows = 0;
    Laid reference(whole, other);
    EXPECT_EQ(d.pageCount(), reference.data.pageCount());
    EXPECT_EQ(d.cell(5, 12000).top, reference.data.cell(5, 12000).top);
    EXPECT_EQ(d.cell(5, 12000).page, reference.data.cell(5, 12000).page);

    // Complete data that began partial asks before a size change.
    dialogs.answers = {false};
    EXPECT_FALSE(d.confirmSizeChange());
    EXPECT_EQ(dialogs.shown.back(), std::string(kSizeChangeQuestion));
}

TEST(PrintData, PrintingRestoresTheLayoutAt95PercentAndBack) {
    const StringGrid grid = printGrid(3, 10);
    AnsweringDialogs dialogs;
    Laid laid(printJob(grid), dialogs, Paper{5000, 6250, 600}); // 800 × 1000 at 96 dpi
    PrintData& d = laid.data;
    const CellLayout preview = d.cell(4, 10);
    d.setPreviewMode(false);
    d.computeMetrics();
    d.layout(1);
    EXPECT_EQ(d.cell(4, 10).left, static_cast<int>(static_cast<int>(preview.left * 6.25) * 0.95));
    EXPECT_EQ(d.cell(4, 10).bottom,
              static_cast<int>(static_cast<int>(preview.bottom * 6.25) * 0.95));
    EXPECT_EQ(d.metrics().leftMargin, 0);
    EXPECT_EQ(d.metrics().rightMargin, 118); // 5 mm at 600 dpi
    d.setPreviewMode(true);
    d.computeMetrics();
    d.layout(2);
    EXPECT_EQ(d.cell(4, 10).bottom, preview.bottom);
    EXPECT_EQ(d.pageCount(), 1);
}

TEST(PrintData, NumberingRowAndColumnFollowTheMenuChecks) {
    const StringGrid grid = printGrid(3, 5);
    AnsweringDialogs dialogs;
    PrintJob job = printJob(grid);
    job.mainWindowMode = true;
    job.printSettings.printRowNo = false;
    job.printSettings.printColNo = false;
    Laid laid(job, dialogs);
    EXPECT_EQ(laid.data.colWidth(0), 0);
    EXPECT_EQ(laid.data.rowHeight(0), 0);
    EXPECT_EQ(laid.data.cell(2, 1).left, 50);
    EXPECT_EQ(laid.data.cell(2, 1).top, 0);
    laid.data.settings().printRowNo = true;
    laid.data.rebuild();
    EXPECT_EQ(laid.data.cell(2, 1).left, 100);
}

TEST(PrintHeader, TitleAndDateLines) {
    PrintJob job;
    job.mainWindowMode = true;
    job.titleLines = {"File.Name:  /home/u/会員.csv", "Rows: 3", "", ""};
    PrintSettings s;
    EXPECT_EQ(HeaderTitleLines(job, s)[0], "File.Name:  /home/u/会員.csv");
    s.printFileName = true;
    s.printPathName = false;
    EXPECT_EQ(HeaderTitleLines(job, s)[0], "File.Name: 会員.csv");
    s.printFileName = false;
    EXPECT_EQ(HeaderTitleLines(job, s)[1], "");
    EXPECT_EQ(HeaderDateLine(job, s, "2026/12/08", "11:30:05", 2, 7),
              "   2026/12/08  11:30:05    PAGE  2 / 7");
    s.printDate = false;
    EXPECT_EQ(HeaderDateLine(job, s, "2026/12/08", "11:30:05", 2, 7), "    PAGE  2 / 7");
    s.printPage = false;
    EXPECT_EQ(HeaderDateLine(job, s, "2026/12/08", "11:30:05", 2, 7), "");
    job.mainWindowMode = false; // the document browser always shows both
    EXPECT_EQ(HeaderDateLine(job, s, "2026/12/08", "11:30:05", 1, 1),
              "   2026/12/08  11:30:05    PAGE  1 / 1");
    EXPECT_EQ(HeaderTitleLines(job, s)[0], "File.Name:  /home/u/会員.csv");
}

} // namespace
} // namespace tabulix

namespace tabulix {
namespace {

// The document browser: one column as wide as 96 % of the page, rows of
// 1.3 line heights per wrapped line, every row laid out.
TEST(PrintData, TextDocumentWrapsAtThePageWidth) {
    StringGrid grid(1, 4);
    grid.setFixedCols(0);
    grid.setFixedRows(0);
    grid.setCell(0, 1, std::string(250, 'x')); // 1750 pixels in 750
    AnsweringDialogs dialogs;
    PrintJob job = printJob(grid);
    job.tableMode = false;
    job.initialRows = 1;
    job.maxCellLines = 20;
    job.printSettings.cellScale = 40;
    PrintData data(job, fixedMeasure(), dialogs);
    data.setPaper(screenPaper());
    data.build();
    EXPECT_EQ(data.rebuild(), LayoutResult::Done);
    EXPECT_EQ(data.colWidth(0), static_cast<int>(0.96 * 782));
    EXPECT_EQ(data.rowHeight(0), static_cast<int>(18 * 1.3));
    EXPECT_EQ(data.rowHeight(1), static_cast<int>(3 * 18 * 1.3));
    EXPECT_EQ(data.printFontHeight(), 14);
    EXPECT_EQ(data.rowsCreated(), 3);
    EXPECT_EQ(data.linesStatus(), "[ Lines  3 ]");
    EXPECT_EQ(data.printText(0, 2), "");
}

} // namespace
} // namespace tabulix
