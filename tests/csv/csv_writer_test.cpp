#include "csv/CsvWriter.h"

#include "table/StringGrid.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tabulix {
namespace {

const Separator kComma = Separator::of(',');
const Separator kTab = Separator::of('\t');
const Separator kBlank = Separator::of(' ');
const Separator kBar = Separator::of('|');

struct RowCase {
    Separator sep;
    std::vector<std::string_view> fields;
    std::string_view line;
};

TEST(CsvWriter, EncodeCsvRowGolden) {
    const std::vector<RowCase> cases = {
        {kComma, {"a", "b,c", "d"}, "a,\"b,c\",d"},
        {kComma, {"He said \"hi\", ok"}, "\"He said \"\"hi\"\", ok\""},
        {kComma, {"\"x"}, "\"\"\"x\""},
        {kComma, {"x\r\ny", "p\rq", "s\nt"}, "\"x\r\ny\",\"p\rq\",\"s\nt\""},
        {kComma, {"a", "", ""}, "a,,"},
        {kComma, {"", ""}, ","},
        {kComma, {}, ""},
        {kComma, {" a b ", "東京", "ｶﾅ"}, " a b ,東京,ｶﾅ"},
        {kTab, {"a,b", "c"}, "\"a,b\"\tc"},
        {kTab, {"a\tb", "c d"}, "\"a\tb\"\tc d"},
        {kBar, {"a|b", "c,d", "e"}, "\"a|b\"|\"c,d\"|e"},
        {kBlank, {"", "a b", "c", ""}, "\"\" \"a b\" c \"\""},
        {kBlank, {"a\tb"}, "a\tb"},
        {Separator::none(), {"a", "b,c", "\"q\"", "\r\n"}, "ab,c\"q\"\r\n"},
    };
    for (const RowCase& c : cases)
        EXPECT_EQ(EncodeCsvRow(c.fields, c.sep), c.line) << testing::PrintToString(c.fields);
}

// A reader takes a line of blanks and control characters for a record without
// fields, so such a line that carries text is written with a quote.
TEST(CsvWriter, BlankLinesThatCarryTextAreQuoted) {
    const std::vector<RowCase> cases = {
        {kComma, {" "}, "\" \""},
        {kComma, {"\x01", " "}, "\x01, "},
        {kTab, {"", " "}, "\t\" \""},
        {kTab, {"", ""}, "\t"},
        {kBlank, {"\t"}, "\"\t\""},
        {kComma, {""}, ""},
        {Separator::none(), {" ", "\t"}, " \t"},
    };
    for (const RowCase& c : cases)
        EXPECT_EQ(EncodeCsvRow(c.fields, c.sep), c.line) << testing::PrintToString(c.fields);
}

// Grid of the main window's shape: column 0 numbers, column 1 the fixed
// column display, row 0 column numbers.
StringGrid mainGrid(const std::vector<std::vector<std::string>>& rows, int dataCols) {
    StringGrid grid(dataCols + 2, static_cast<int>(rows.size()) + 1);
    grid.setFixedCols(2);
    for (int c = 2; c < dataCols + 2; ++c)
        grid.setCell(c, 0, std::to_string(c - 1));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        grid.setCell(0, r + 1, std::to_string(r + 1));
        grid.setCell(1, r + 1, "fixed");
        for (int c = 0; c < static_cast<int>(rows[r].size()); ++c)
            grid.setCell(c + 2, r + 1, rows[r][c]);
    }
    return grid;
}

TEST(CsvWriter, EncodeTableWritesDataRowsAndColumnsOnly) {
    const StringGrid grid = mainGrid({{"a", "b,c", "d"}, {"e"}, {}, {"", "", "f"}}, 3);
    EXPECT_EQ(EncodeTable(grid, 2, kComma), "a,\"b,c\",d\r\ne,,\r\n,,\r\n,,f\r\n");
    EXPECT_EQ(EncodeTable(grid, 2, kBlank),
              "a \"b,c\" d\r\ne \"\" \"\"\r\n\"\" \"\" \"\"\r\n\"\" \"\" f\r\n");
    EXPECT_EQ(EncodeTable(grid, 2, Separator::none()), "ab,cd\r\ne\r\n\r\nf\r\n");
}

TEST(CsvWriter, EncodeTableEdgeShapes) {
    EXPECT_EQ(EncodeTable(mainGrid({}, 3), 2, kComma), "");
    const StringGrid oneColumn = mainGrid({{""}, {"x"}}, 1);
    EXPECT_EQ(EncodeTable(oneColumn, 2, kComma), "\r\nx\r\n");
    // Nothing left beside the fixed columns: empty lines, one per row.
    EXPECT_EQ(EncodeTable(oneColumn, 5, kComma), "\r\n\r\n");
    EXPECT_EQ(EncodeTable(oneColumn, 0, kComma), "1,fixed,\r\n2,fixed,x\r\n");
}

} // namespace
} // namespace tabulix
