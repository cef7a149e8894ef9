#include "PrintTestTables.h"
#include "TestFiles.h"

#include "print/PrintExport.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tabulix {
namespace {

struct Laid {
    PrintData data;
    Laid(const PrintJob& job, AnsweringDialogs& dialogs) : data(job, fixedMeasure(), dialogs) {
        data.setPaper(screenPaper());
        data.build();
        data.computeBreakFlags();
        data.rebuild();
    }
};

PrintJob mainJob(const StringGrid& grid) {
    PrintJob job = printJob(grid);
    job.mainWindowMode = true;
    job.printSettings.breakColor = false;
    return job;
}

// The table rows of a page: the text of every cell, without its opening tag.
std::vector<std::vector<std::string>> tableRows(const std::string& html) {
    std::vector<std::vector<std::string>> rows;
    std::size_t at = 0;
    while ((at = html.find("\r\n", at)) != std::string::npos) {
        at += 2;
        const std::size_t end = html.find("\r\n", at);
        const std::string line = html.substr(at, end - at);
        if (line == "<TR>") rows.emplace_back();
        if (line.rfind("  <TD", 0) != 0 || rows.empty()) continue;
        std::size_t open = line.find('>') + 1;
        if (line.compare(open, 5, "<Pre>") == 0) open += 5;
        rows.back().push_back(line.substr(open, line.size() - 5 - open));
    }
    return rows;
}

TEST(PrintExport, CsvHoldsEveryCellAndQuotesOnlyWhereNeeded) {
    StringGrid grid = printGrid(2, 2);
    grid.setCell(2, 1, "a,b");
    grid.setCell(3, 1, "say \"hi\"");
    grid.setCell(2, 2, "\"x\",y");
    grid.setCell(3, 2, "two\r\nlines");
    AnsweringDialogs dialogs;
    PrintJob job = mainJob(grid);
    job.printSettings.printRowNo = false;
    job.printSettings.printColNo = false;
    Laid laid(job, dialogs);
    EXPECT_EQ(PrintDataCsv(laid.data), "0-0,0-1,0-2,0-3\r\n"
                                       "1-0,1-1,\"a,b\",say \"hi\"\r\n"
                                       "2-0,2-1,\"\"\"x\"\",y\",\"two\r\nlines\"\r\n");
}

TEST(PrintExport, NumberingOffLeavesTheHtmlWithoutNumbers) {
    const StringGrid grid = printGrid(2, 2);
    AnsweringDialogs dialogs;
    PrintJob job = mainJob(grid);
    Laid on(job, dialogs);
    const auto withNumbers = tableRows(PrintDataHtml(on.data));
    ASSERT_EQ(withNumbers.size(), 4u); // heading, two rows, heading again
    EXPECT_EQ(withNumbers[1], (std::vector<std::string>{"1-0", "1-1", "1-2", "1-3", "　"}));
    job.printSettings.printRowNo = false;
    job.printSettings.printColNo = false;
    Laid off(job, dialogs);
    EXPECT_EQ(tableRows(PrintDataHtml(off.data)),
              (std::vector<std::vector<std::string>>{{"1-1", "1-2", "1-3", "　"},
                                                     {"2-1", "2-2", "2-3", "　"}}));
}

TEST(PrintExport, HeadingRepeatsEveryTwentyDataRowsAndAtTheEnd) {
    for (const int rows : {45, 40}) {
        const StringGrid grid = printGrid(1, rows);
        AnsweringDialogs dialogs;
        Laid laid(mainJob(grid), dialogs);
        std::vector<std::string> firstCells;
        for (const auto& row : tableRows(PrintDataHtml(laid.data))) firstCells.push_back(row[0]);
        std::vector<std::string> expected{"0-0"};
        for (int r = 1; r <= rows; ++r) {
            expected.push_back(std::to_string(r) + "-0");
            if (r % 20 == 0 || r == rows) expected.push_back("0-0");
        }
        EXPECT_EQ(firstCells, expected) << rows;
    }
}

TEST(PrintExport, CellTextsAreWrappedEscapedAndNeverEmpty) {
    StringGrid grid = printGrid(3, 3);
    grid.setColWidth(4, 400);
    grid.setCell(2, 1, "");
    grid.setCell(3, 1, "   ");
    grid.setCell(4, 1, "<script>alert(\"x&y\")</script>");
    grid.setCell(2, 2, "abcdefghijklmnopqrst"); // 14 units fit a column 100 wide
    AnsweringDialogs dialogs;
    PrintJob job = mainJob(grid);
    job.titleLines[0] = "File.Name:  /tmp/<a&b>.csv";
    Laid laid(job, dialogs);
    const std::string html = PrintDataHtml(laid.data);
    const auto rows = tableRows(html);
    EXPECT_EQ(rows[1], (std::vector<std::string>{
                           "1-0", "1-1", "　", "　",
                           "&lt;script&gt;alert(&quot;x&amp;y&quot;)&lt;/script&gt;", "　"}));
    EXPECT_EQ(rows[2][2], "abcdefghijklmn<BR>opqrst");
    EXPECT_NE(html.find("\r\n  File.Name:  /tmp/&lt;a&amp;b&gt;.csv<BR>\r\n"), std::string::npos);
    EXPECT_EQ(html.find("<script"), std::string::npos);
    EXPECT_NE(html.find("charset=UTF-8\">\r\n"), std::string::npos);
    EXPECT_NE(html.find("\r\n  <TD Class=CellsLeftSilver nowrap><Pre>2-3</TD>\r\n"),
              std::string::npos);
    EXPECT_NE(html.find("\r\n  <TD Class=FixedsCenter nowrap>2-1</TD>\r\n"), std::string::npos);
    EXPECT_EQ(html.substr(html.size() - 9), "</HTML>\r\n");
    for (std::size_t i = html.find('\n'); i != std::string::npos; i = html.find('\n', i + 1))
        ASSERT_EQ(html[i - 1], '\r') << i;

    job.maxCellLines = 1;
    job.printSettings.dataCenter = true;
    Laid capped(job, dialogs);
    EXPECT_NE(PrintDataHtml(capped.data)
                  .find("\r\n  <TD Class=CellsCenterSilver nowrap>abcdefghijklmn</TD>\r\n"),
              std::string::npos);
}

// Empty rows and breaks: the empty-row shade wins over a break.
TEST(PrintExport, EmptyRowsAndBreaksChooseTheCellClass) {
    StringGrid grid = printGrid(2, 3);
    grid.setCell(2, 2, "");
    grid.setCell(3, 2, "");
    struct Case {
        bool karaGyoBlack, dataCenter;
        std::string emptyRow, changed;
    } cases[] = {
        {false, false, "CellsLeftSilver nowrap><Pre>", "CellsLeftDark nowrap><Pre>"},
        {true, false, "CellsLeftBlack nowrap>", "CellsLeftDark nowrap><Pre>"},
        {true, true, "CellsCenterBlack nowrap>", "CellsCenterDark nowrap>"},
    };
    for (const Case& c : cases) {
        AnsweringDialogs dialogs;
        PrintJob job = mainJob(grid);
        job.printSettings.breakColor = true;
        job.printSettings.karaGyoBlack = c.karaGyoBlack;
        job.printSettings.dataCenter = c.dataCenter;
        Laid laid(job, dialogs);
        const std::string html = PrintDataHtml(laid.data);
        EXPECT_NE(html.find("  <TD Class=" + c.emptyRow + "　</TD>"), std::string::npos);
        EXPECT_NE(html.find("  <TD Class=" + c.changed + "3-2</TD>"), std::string::npos);
    }
}

TEST(PrintExport, TextDocumentIsOnePreformattedCell) {
    StringGrid grid(1, 2);
    grid.setFixedCols(0);
    grid.setFixedRows(0);
    grid.setCell(0, 0, "first <line>");
    grid.setCell(0, 1, "second");
    AnsweringDialogs dialogs;
    PrintJob job = printJob(grid);
    job.tableMode = false;
    Laid laid(job, dialogs);
    EXPECT_NE(PrintDataHtml(laid.data)
                  .find("\r\n<TD Class=CellsLeftSilver nowrap ColSpan=1>\r\n<PRE>\r\n"
                        "first &lt;line&gt;\r\nsecond\r\n</PRE>\r\n</TD>\r\n"),
              std::string::npos);
}

TEST(PrintExport, DialogsProposeTheStoredPaths) {
    PrintSettings s;
    FileDialogRequest csv = PrintCsvRequest(s, true, "/opt/tabulix");
    EXPECT_EQ(csv.folder, "/opt/tabulix");
    EXPECT_EQ(csv.name, "*.csv");
    EXPECT_EQ(csv.title, "印刷データをＣＳＶ形式で保存します。");
    EXPECT_EQ(csv.filter.substr(0, 16), "(*.csv);;(*.csv)");
    EXPECT_EQ(PrintCsvRequest(s, false, "/opt").title, "表示内容をを Text File で保存します。");
    s.savePath = "/home/u/out/list.txt";
    csv = PrintCsvRequest(s, true, "/opt/tabulix");
    EXPECT_EQ(csv.folder, "/home/u/out");
    EXPECT_EQ(csv.name, "list.txt");
    FileDialogRequest html = PrintHtmlRequest(s, "/opt/tabulix");
    EXPECT_EQ(html.folder, "/home/u/out");
    EXPECT_EQ(html.name, "*.html");
    EXPECT_EQ(html.defaultSuffix, "html");
    EXPECT_EQ(html.title, "印刷データをＨＴＭＬ形式で保存します。");
    s.htmlPath = " /srv/page.htm ";
    EXPECT_EQ(PrintHtmlRequest(s, "/opt").name, "page.htm");
}

TEST(PrintExport, TemporaryPageBesideTheProgramOrInTheCache) {
    const std::filesystem::path dir = makeTemporaryFolder("tabulix-export");
    ASSERT_FALSE(dir.empty());
    EXPECT_EQ(TemporaryHtmlPath((dir / "tabulix").string(), "/unused"),
              (dir / "tabulix_Temp.Html").string());
    const std::filesystem::path cache = dir / "cache" / "tabulix";
    EXPECT_EQ(TemporaryHtmlPath("/nonexistent-folder/bin/tabulix.bin", cache.string()),
              (cache / "tabulix_Temp.Html").string());
    EXPECT_TRUE(std::filesystem::is_directory(cache));
    EXPECT_EQ(TemporaryHtmlPath("/nonexistent-folder/tabulix", ""), "");
    std::filesystem::remove_all(dir);
}

} // namespace
} // namespace tabulix
