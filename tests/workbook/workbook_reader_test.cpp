// Reading workbooks: xlsx parts made here, ods content made here, and small
// files saved by LibreOffice from tests/workbook/data/sample.csv, made once
// with: soffice --headless --infilter="CSV:44,34,76,1,,1041,false,true"
//       --convert-to xlsx|ods|xls sample.csv
#include "WorkbookFiles.h"
#include "TestFiles.h"

#include "workbook/Workbook.h"

#include <gtest/gtest.h>

namespace tabulix {
namespace {

struct Read {
    WorkbookProblem problem = WorkbookProblem::None;
    std::vector<std::string> names;
    std::string lines;
};

Read readWorkbook(const std::filesystem::path& path, std::size_t sheet = 0,
                  const WorkbookLimits& limits = {}) {
    OpenedWorkbook opened = OpenWorkbook(path.string(), limits);
    if (!opened.book) return {opened.problem, {}, {}};
    Read read{WorkbookProblem::None, opened.book->sheetNames(), {}};
    if (sheet < read.names.size()) {
        SheetText text = opened.book->readSheet(sheet);
        read.problem = text.problem;
        read.lines = std::move(text.lines);
    }
    return read;
}

class WorkbookReader : public ::testing::Test {
protected:
    void SetUp() override {
        dir = makeTemporaryFolder("tabulix-workbook");
        ASSERT_FALSE(dir.empty());
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    Read readParts(const ZipParts& parts, std::size_t sheet = 0, const WorkbookLimits& limits = {}) {
        const auto path = dir / "book.xlsx";
        EXPECT_TRUE(writeZip(path, parts));
        return readWorkbook(path, sheet, limits);
    }
    Read readFromBytes(const std::string& bytes) {
        const auto path = dir / "book.xlsx";
        writeBytes(path, bytes);
        return readWorkbook(path);
    }

    std::filesystem::path dir;
};

const char* const kStyles =
    "<numFmts count=\"1\"><numFmt numFmtId=\"164\" formatCode=\"yyyy/mm/dd\"/></numFmts>"
    "<cellStyleXfs count=\"1\"><xf numFmtId=\"10\"/></cellStyleXfs>"
    "<cellXfs count=\"5\"><xf numFmtId=\"0\"/><xf numFmtId=\"164\"/><xf numFmtId=\"10\"/>"
    "<xf numFmtId=\"4\"/><xf numFmtId=\"21\"/></cellXfs>";

struct SheetCase {
    const char* what;
    const char* rows;
    const char* lines;
};

TEST_F(WorkbookReader, GivesEachCellAsTheSheetShowsIt) {
    const std::string strings =
        "<si><t>東京, 本社</t></si>"
        "<si><r><t>彼は\"</t></r><r><rPr><b/></rPr><t>はい\"</t></r><rPh sb=\"0\" eb=\"1\"><t>カレ</t></rPh></si>"
        "<si><t xml:space=\"preserve\"> 前後 </t></si>"
        "<si><t>一行目_x000D_\n二行目</t></si>";
    const SheetCase cases[] = {
        {"shared strings: runs, phonetic guides left out, blanks and line breaks kept",
         "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"B1\" t=\"s\"><v>1</v></c>"
         "<c r=\"C1\" t=\"s\"><v>2</v></c><c r=\"D1\" t=\"s\"><v>3</v></c></row>",
         "\"東京, 本社\",\"彼は\"\"はい\"\"\", 前後 ,\"一行目\r\n二行目\"\r\n"},
        {"booleans, errors, formulas by their cached values, inline strings",
         "<row r=\"1\"><c r=\"A1\" t=\"b\"><v>1</v></c><c r=\"B1\" t=\"b\"><v>0</v></c>"
         "<c r=\"C1\" t=\"e\"><v>#DIV/0!</v></c><c r=\"D1\" t=\"str\"><f>A1&amp;\"x\"</f><v>TRUEx</v></c>"
         "<c r=\"E1\" t=\"inlineStr\"><is><t>in</t><r><t>line</t></r></is></c>"
         "<c r=\"F1\"><f>1+1</f><v>2</v></c><c r=\"G1\" s=\"1\"/></row>",
         "TRUE,FALSE,#DIV/0!,TRUEx,inline,2\r\n"},
        {"sparse rows and columns from A1",
         "<row r=\"2\"><c r=\"C2\"><v>1</v></c></row>"
         "<row r=\"4\"><c r=\"A4\"><v>2</v></c><c r=\"E4\"><v>3.5</v></c></row>",
         "\r\n,,1\r\n\r\n2,,,,3.5\r\n"},
        {"number formats of the cell styles, not of the cell style records",
         "<row r=\"1\"><c r=\"A1\" s=\"1\"><v>45322</v></c><c r=\"B1\" s=\"2\"><v>0.125</v></c>"
         "<c r=\"C1\" s=\"3\"><v>1234.5</v></c><c r=\"D1\" s=\"4\"><v>0.378819444444444</v></c>"
         "<c r=\"E1\" s=\"0\"><v>0.125</v></c><c r=\"F1\" s=\"99\"><v>1e-3</v></c></row>",
         "2024/01/31,12.50%,\"1,234.50\",9:05:30,0.125,0.001\r\n"},
        {"cells and rows without references follow each other",
         "<row><c><v>1</v></c><c><v>2</v></c></row><row><c t=\"inlineStr\"><is><t>x</t></is></c></row>",
         "1,2\r\nx\r\n"},
        {"a sheet without cells", "", ""},
    };
    for (const SheetCase& c : cases) {
        const Read read = readParts(xlsxParts({{"Sheet1", c.rows}}, strings, kStyles));
        EXPECT_EQ(read.problem, WorkbookProblem::None) << c.what;
        EXPECT_EQ(read.lines, c.lines) << c.what;
    }
}

TEST_F(WorkbookReader, ListsTheWorksheetsInOrderAndReadsTheChosenOne) {
    const Read read = readParts(
        xlsxParts({{"売上", "<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>"},
                   {"Sheet &amp; 2", "<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>二</t></is></c></row>"},
                   {"merged",
                    "<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>top</t></is></c><c r=\"B1\"/></row>"
                    "<row r=\"2\"><c r=\"A2\"/><c r=\"B2\"/><c r=\"C2\"><v>9</v></c></row>",
                    "<mergeCells count=\"1\"><mergeCell ref=\"A1:B2\"/></mergeCells>"}}),
        2);
    EXPECT_EQ(read.names, (std::vector<std::string>{"売上", "Sheet & 2", "merged"}));
    EXPECT_EQ(read.lines, "top\r\n,,9\r\n");
    EXPECT_EQ(readParts(xlsxParts({{"a", ""}, {"b", "<row><c><v>7</v></c></row>"}}), 1).lines, "7\r\n");
}

TEST_F(WorkbookReader, TellsHowFarALongReadIs) {
    std::string rows;
    for (int r = 1; r <= 20000; ++r) rows += "<row><c><v>" + std::to_string(r) + "</v></c></row>";
    std::string table = "<table:table table:name=\"a\">";
    for (int r = 1; r <= 3000; ++r) table += "<table:table-row><table:table-cell><text:p>x</text:p></table:table-cell></table:table-row>";
    for (const ZipParts& parts : {xlsxParts({{"S", rows}}), odsParts(table + "</table:table>")}) {
        ASSERT_TRUE(writeZip(dir / "long.xlsx", parts));
        OpenedWorkbook opened = OpenWorkbook((dir / "long.xlsx").string());
        ASSERT_TRUE(opened.book);
        std::vector<std::pair<std::uint64_t, std::uint64_t>> told;
        opened.book->setProgress([&](std::uint64_t done, std::uint64_t total) { told.emplace_back(done, total); });
        EXPECT_EQ(opened.book->readSheet(0).problem, WorkbookProblem::None);
        ASSERT_GE(told.size(), 2u);
        for (std::size_t i = 0; i < told.size(); ++i) {
            EXPECT_LE(told[i].first, told[i].second);
            if (i > 0) {
                EXPECT_GT(told[i].first, told[i - 1].first);
            }
        }
    }
}

TEST_F(WorkbookReader, CountsDatesFrom1904WhenTheWorkbookSaysSo) {
    const Read read = readParts(xlsxParts({{"S", "<row><c s=\"1\"><v>43860</v></c></row>"}}, {},
                                          kStyles, "<workbookPr date1904=\"1\"/>"));
    EXPECT_EQ(read.lines, "2024/01/31\r\n");
}

TEST_F(WorkbookReader, TakesTheLastCellOfTheSheetButNothingBeyond) {
    const Read last = readParts(xlsxParts({{"S", "<row r=\"1048576\"><c r=\"XFD1048576\"><v>1</v></c></row>"}}));
    ASSERT_EQ(last.problem, WorkbookProblem::None);
    EXPECT_EQ(last.lines.size(), 1048575 * 2 + 16383 + 3);
    EXPECT_EQ(last.lines.substr(last.lines.size() - 6), ",,,1\r\n");
    for (const char* beyond : {"XFE1", "A1048577", "A0", "1A", "AAAAA1"})
        EXPECT_EQ(readParts(xlsxParts({{"S", std::string("<row><c r=\"") + beyond + "\"><v>1</v></c></row>"}}))
                      .problem,
                  WorkbookProblem::NotWorkbook)
            << beyond;
}

TEST_F(WorkbookReader, RefusesWhatIsNoReadableWorkbook) {
    const auto plain = xlsxParts({{"S", "<row><c t=\"s\"><v>0</v></c></row>"}});
    const auto outOfRange = xlsxParts({{"S", "<row><c t=\"s\"><v>5</v></c></row>"}}, "<si><t>a</t></si>");
    auto notUtf8 = xlsxParts({{"S", "<row><c t=\"inlineStr\"><is><t>\xFF\xFE</t></is></c></row>"}});
    auto document = xlsxParts({{"S", ""}});
    for (auto& [name, text] : document)
        if (name == "xl/workbook.xml") text = "<document><sheets><sheet name=\"x\" r:id=\"rId1\" "
                                              "xmlns:r=\"r\"/></sheets></document>";
    auto missingSheet = xlsxParts({{"S", ""}});
    std::erase_if(missingSheet, [](const auto& part) { return part.first == "xl/worksheets/sheet1.xml"; });
    EXPECT_EQ(readParts(plain).problem, WorkbookProblem::NotWorkbook) << "no shared strings";
    EXPECT_EQ(readParts(outOfRange).problem, WorkbookProblem::NotWorkbook) << "string index";
    EXPECT_EQ(readParts(notUtf8).problem, WorkbookProblem::NotWorkbook) << "not UTF-8";
    EXPECT_EQ(readParts(document).problem, WorkbookProblem::NotWorkbook) << "another document";
    EXPECT_EQ(readParts(missingSheet).problem, WorkbookProblem::NotWorkbook) << "missing sheet";
    EXPECT_EQ(readParts({{"readme.txt", "x"}}).problem, WorkbookProblem::NotWorkbook) << "other zip";

    EXPECT_EQ(readFromBytes("a,b\r\n1,2\r\n").problem, WorkbookProblem::NotWorkbook) << "a CSV file";
    EXPECT_EQ(readFromBytes("").problem, WorkbookProblem::NotWorkbook) << "empty";
    ASSERT_TRUE(writeZip(dir / "good.xlsx", xlsxParts({{"S", "<row><c><v>1</v></c></row>"}})));
    const std::string good = readBytes(dir / "good.xlsx");
    EXPECT_EQ(readFromBytes(good.substr(0, good.size() / 2)).problem, WorkbookProblem::NotWorkbook)
        << "truncated";
    std::string damaged = good;
    for (std::size_t i = 40; i < 200 && i < damaged.size(); ++i) damaged[i] = static_cast<char>(~damaged[i]);
    EXPECT_EQ(readFromBytes(damaged).problem, WorkbookProblem::NotWorkbook) << "damaged";
    EXPECT_EQ(readWorkbook("/nonexistent/book.xlsx").problem, WorkbookProblem::NotWorkbook);
    // A damaged .xls: cut short, or its records overwritten.
    const std::string xls = readBytes(std::filesystem::path(TABULIX_WORKBOOK_TEST_DATA) / "sample.xls");
    EXPECT_EQ(readFromBytes(xls.substr(0, 1536)).problem, WorkbookProblem::NotWorkbook) << "short xls";
    std::string scribbled = xls;
    for (std::size_t i = 1024; i < scribbled.size(); i += 7) scribbled[i] = '\xFF';
    EXPECT_NE(readFromBytes(scribbled).problem, WorkbookProblem::None) << "scribbled xls";
}

TEST_F(WorkbookReader, RefusesEncryptedWorkbooksAndSaysWhy) {
    std::string compound = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1" + std::string(504, '\0');
    for (char c : std::string("EncryptedPackage")) compound += std::string{c, '\0'};
    EXPECT_EQ(readFromBytes(compound + std::string(1000, '\0')).problem, WorkbookProblem::Encrypted);
    auto ods = odsParts("<table:table table:name=\"a\"/>");
    ods.emplace_back("META-INF/manifest.xml",
                     "<manifest:manifest><manifest:file-entry><manifest:encryption-data/>"
                     "</manifest:file-entry></manifest:manifest>");
    EXPECT_EQ(readParts(ods).problem, WorkbookProblem::Encrypted);
    EXPECT_EQ(WorkbookFailureMessage("/d/book.xlsx", WorkbookProblem::Encrypted),
              "このファイルは Excel で開けません。\r\n\r\n  PTAH = /d/book.xlsx\r\n\r\n"
              "パスワードで保護されたブックは読み込めません。");
    EXPECT_EQ(WorkbookFailureMessage("/d/book.xls", WorkbookProblem::ReaderMissing),
              "このマシンには Excel がインストールされていないので\r\n"
              "Excel ファイルのアクセスはできません。");
}

TEST_F(WorkbookReader, LimitsTheInflatedSizeAndTheCellCount) {
    const WorkbookLimits limits{1 << 20, 5};
    // A few kilobytes that inflate to 3 MB.
    const std::string padding(3 << 20, ' ');
    EXPECT_EQ(readParts(xlsxParts({{"S", "<row><c><v>1</v></c></row>" + padding}}), 0, limits).problem,
              WorkbookProblem::PartTooLarge);
    EXPECT_LT(std::filesystem::file_size(dir / "book.xlsx"), 20000u);
    std::string six;
    for (int i = 0; i < 6; ++i) six += "<c><v>" + std::to_string(i) + "</v></c>";
    EXPECT_EQ(readParts(xlsxParts({{"S", "<row>" + six + "</row>"}}), 0, limits).problem,
              WorkbookProblem::TooManyCells);
    EXPECT_EQ(readParts(odsParts("<table:table table:name=\"a\"><table:table-row table:number-rows-repeated="
                                 "\"1000000\"><table:table-cell><text:p>x</text:p></table:table-cell>"
                                 "</table:table-row></table:table>"),
                        0, limits)
                  .problem,
              WorkbookProblem::TooManyCells);
    EXPECT_EQ(WorkbookFailureMessage("b.xlsx", WorkbookProblem::PartTooLarge, limits),
              "このファイルは Excel で開けません。\r\n\r\n  PTAH = b.xlsx\r\n\r\n"
              "ブックの展開後の大きさが上限 (1 MB) を超えています。");
    EXPECT_EQ(WorkbookFailureMessage("b.xlsx", WorkbookProblem::TooManyCells, limits),
              "このファイルは Excel で開けません。\r\n\r\n  PTAH = b.xlsx\r\n\r\n"
              "シートのセルの数が上限 (5 個) を超えています。");
}

TEST_F(WorkbookReader, ReadsTheShownTextOfOdsCellsAndExpandsRepeatsOnlyWhereTheyHoldText) {
    const Read read = readParts(odsParts(
        "<table:table table:name=\"表1\">"
        "<table:table-column table:number-columns-repeated=\"3\"/>"
        "<table:table-row><table:table-cell office:value-type=\"string\"><text:p>a<text:s text:c=\"2\"/>"
        "<text:span>b</text:span></text:p><text:p>二行目</text:p></table:table-cell>"
        "<table:table-cell table:number-columns-repeated=\"2\"><text:p>x</text:p></table:table-cell>"
        "<table:table-cell table:number-columns-repeated=\"16000\"/></table:table-row>"
        "<table:table-row table:number-rows-repeated=\"2\"><table:table-cell "
        "table:number-columns-repeated=\"1024\"/></table:table-row>"
        "<table:table-header-rows><table:table-row table:number-rows-repeated=\"2\">"
        "<table:covered-table-cell table:number-columns-repeated=\"2\"/>"
        "<table:table-cell office:value-type=\"float\" office:value=\"1234.5\"><office:annotation>"
        "<text:p>memo</text:p></office:annotation><text:p>1,234.50</text:p></table:table-cell>"
        "</table:table-row></table:table-header-rows>"
        "<table:table-row table:number-rows-repeated=\"1048570\"><table:table-cell "
        "table:number-columns-repeated=\"1024\"/></table:table-row>"
        "</table:table><table:table table:name=\"空\"/>"));
    EXPECT_EQ(read.names, (std::vector<std::string>{"表1", "空"}));
    EXPECT_EQ(read.lines, "\"a  b\n二行目\",x,x\r\n\r\n\r\n,,\"1,234.50\"\r\n,,\"1,234.50\"\r\n");
    EXPECT_EQ(readParts(odsParts("<table:table table:name=\"a\"/><table:table table:name=\"空\"/>"), 1).lines, "");
    // Values written without their shown text.
    EXPECT_EQ(readParts(odsParts("<table:table table:name=\"a\"><table:table-row>"
                                 "<table:table-cell office:value-type=\"float\" office:value=\"2.50\"/>"
                                 "<table:table-cell office:value-type=\"date\" office:date-value=\"2024-01-31\"/>"
                                 "<table:table-cell office:value-type=\"boolean\" office:boolean-value=\"true\"/>"
                                 "<table:table-cell office:value-type=\"string\" office:string-value=\"s\"/>"
                                 "</table:table-row></table:table>"))
                  .lines,
              "2.5,2024-01-31,TRUE,s\r\n");
}

// Files saved by LibreOffice from sample.csv, as the spreadsheet shows them.
TEST(WorkbookFiles, ReadsWorkbooksSavedByASpreadsheetProgram) {
    const std::filesystem::path data = TABULIX_WORKBOOK_TEST_DATA;
    const std::string head = "名前,金額,日付,割合,時刻\r\n";
    struct FileCase {
        const char* name;
        const char* lines;
    } cases[] = {
        {"sample.xlsx", "\"東京, 本社\",1234.5,Jan 31,13%,09:05:30\r\n"
                        "\"彼は\"\"はい\"\"と言った\",42,Dec 01,3%,23:59:00\r\n改行なし,-7.25\r\n"},
        {"sample.ods", "\"東京, 本社\",1234.5,Jan 31,13%,09:05:30\r\n"
                       "\"彼は\"\"はい\"\"と言った\",42,Dec 01,3%,23:59:00\r\n改行なし,-7.25\r\n"},
        {"sample.xls", "\"東京, 本社\",1234.5,2024/1/31,0.125,9:05:30\r\n"
                       "\"彼は\"\"はい\"\"と言った\",42,2023/12/1,0.03,23:59:00\r\n改行なし,-7.25\r\n"},
    };
    for (const FileCase& c : cases) {
        const Read read = readWorkbook(data / c.name);
        EXPECT_EQ(read.problem, WorkbookProblem::None) << c.name;
        EXPECT_EQ(read.names.size(), 1u) << c.name;
        EXPECT_EQ(read.lines, head + c.lines) << c.name;
    }
}

} // namespace
} // namespace tabulix
