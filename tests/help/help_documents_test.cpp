// The browser's text rules, the help HTML and the range output's rules.
#include "csv/RangeOutput.h"
#include "help/HelpDocuments.h"
#include "table/StringGrid.h"

#include <gtest/gtest.h>

namespace tabulix {
namespace {

TEST(HelpDocuments, ListTextsAndNumberedLines) {
    EXPECT_EQ(BrowseItemText("2. Tabulix 始めに "), " 2. Tabulix 始めに ");
    EXPECT_EQ(BrowseItemText("終了(&X)"), " 終了");
    EXPECT_EQ(BrowseItemText(" 印刷 (&P)"), " 印刷");
    EXPECT_EQ(NumberedLines("a\r\nb\nc"), "00001 a\r\n00002 b\r\n00003 c\r\n");
    EXPECT_EQ(NumberedLines(""), "");
    EXPECT_EQ(JoinedLines("a\nb\r\n"), "a\r\nb");
}

TEST(HelpDocuments, HtmlJumpsToTheChosenPageAndEscapesTexts) {
    const std::vector<HelpPage> pages = {{" 2. 始めに", ""},
                                         {" 3. ガイド", "if a < b && c > d \"q\""},
                                         {" 4. <script>", "<script>alert(1)</script>"}};
    const std::string html = HelpHtml("Tabulix Browse", "Tabulix Browse 4. ガイド [ /x ]", pages, 3);
    EXPECT_NE(html.find("charset=UTF-8"), std::string::npos);
    EXPECT_NE(html.find("<BODY OnLoad=LinkJump(\"#Page_3\") BGCOLOR=#5F5F5F"), std::string::npos);
    EXPECT_NE(html.find("<A name=\"Page_0\"></A>"), std::string::npos);
    EXPECT_NE(html.find("      Tabulix Browse 4. ガイド Help\r\n"), std::string::npos);
    EXPECT_NE(html.find("<A href=\"#Page_1\"> 始めに</A><BR>"), std::string::npos);
    EXPECT_NE(html.find("<Pre>\r\nif a &lt; b &amp;&amp; c &gt; d &quot;q&quot;</Pre>"),
              std::string::npos);
    EXPECT_EQ(html.find("<script>"), std::string::npos);
    EXPECT_NE(html.find("<Pre>\r\n</Pre>"), std::string::npos); // the empty document
    EXPECT_EQ(html.substr(html.size() - 9), "</HTML>\r\n");
    // Without a selected entry the index is shown.
    EXPECT_NE(HelpHtml("B", "B", pages, 0).find("<BODY  BGCOLOR"), std::string::npos);
}

TEST(RangeOutput, RangeFieldsAreReadAsNumbersWithinTheTable) {
    struct Case {
        const char* first;
        const char* last;
        int lastRecord;
        int a;
        int b;
    };
    const Case cases[] = {
        {"1", "5", 5, 1, 5},   {"9", "3", 5, 3, 5},        {"1,200", "", 5000, 1200, 1200},
        {"", "", 5, 1, 1},     {"0", "0", 5, 1, 1},        {"x7y", "2", 9, 2, 7},
        {"9", "8", 5, 5, 5},   {"99999999999", "1", 3, 1, 3},
    };
    for (const Case& c : cases) {
        const OutputRange r = ReadOutputRange(c.first, c.last, c.lastRecord);
        EXPECT_EQ(r.first, c.a) << c.first << " " << c.last;
        EXPECT_EQ(r.last, c.b) << c.first << " " << c.last;
    }
    EXPECT_EQ(DefaultOutputName("/data/list.csv", "/opt/t"), "/data/list_02.csv");
    EXPECT_EQ(DefaultOutputName("/data/名簿", "/opt/t"), "/data/名簿_02.csv");
    EXPECT_EQ(DefaultOutputName("", "/opt/t"), "/opt/t/TABULIX.CSV");

    StringGrid g(5, 3);
    g.setFixedCols(2);
    const std::string_view row[] = {"1", "fixed", "a,b", "c", "\"q\""};
    g.setRow(1, std::span<const std::string_view>(row));
    EXPECT_EQ(OutputLine(g, 1, Separator::of(',')), "\"a,b\",c,\"\"\"q\"\"\"");
    EXPECT_EQ(OutputLine(g, 7, Separator::of(',')), "");
}

} // namespace
} // namespace tabulix
