// Numbers as the sheet shows them under their format codes.
#include "workbook/NumberFormat.h"

#include <gtest/gtest.h>

namespace tabulix {
namespace {

struct FormatCase {
    double value;
    const char* code;
    const char* shown;
};

TEST(NumberFormat, ShowsNumbersAsTheSheetDoes) {
    const FormatCase cases[] = {
        // General: integers without a point, others in at most 15 digits.
        {42, "", "42"},
        {-7.25, "General", "-7.25"},
        {0.1 + 0.2, "", "0.3"},
        {1.0 / 3, "", "0.333333333333333"},
        {123456789012345, "", "123456789012345"},
        {1e20, "", "1E+20"},
        {-0.0, "", "0"},
        // Fixed decimals, thousands, percentages, scientific.
        {1234.5, "#,##0.00", "1,234.50"},
        {-1234.5, "#,##0.00", "-1,234.50"},
        {1234567, "#,##0", "1,234,567"},
        {0.5, "0", "1"},
        {2.5, "0.0", "2.5"},
        {0.125, "0%", "13%"},
        {0.125, "0.00%", "12.50%"},
        {12345.678, "0.00E+00", "1.23E+04"},
        {0.000123, "0.0E+00", "1.2E-04"},
        {1.5, "#.##", "1.5"},
        {1234567, "#,##0,", "1,235"},
        // Sections: negative and zero, currency, literals.
        {-5, "#,##0;[Red](#,##0)", "(5)"},
        {0, "0.0;-0.0;\"ゼロ\"", "ゼロ"},
        {1500, "[$¥-411]#,##0", "¥1,500"},
        {3, "0\"個\"", "3個"},
        {12, "\\$0_)", "$12 "},
        // Dates and times (serial 45322 is 2024-01-31).
        {45322, "yyyy/m/d", "2024/1/31"},
        {45322, "yyyy\"年\"m\"月\"d\"日\"", "2024年1月31日"},
        {45322, "mmm dd", "Jan 31"},
        {45322, "dddd, mmmm d, yy", "Wednesday, January 31, 24"},
        {45322, "m/d(aaa)", "1/31(水)"},
        {45322, "ggge年m月d日", "令和6年1月31日"},
        {0.378819444444444, "hh:mm:ss", "09:05:30"},
        {0.378819444444444, "h:mm AM/PM", "9:05 AM"},
        {0.999305555555556, "h:mm", "23:59"},
        {45322.75, "yyyy/m/d h:mm", "2024/1/31 18:00"},
        {1.5, "[h]:mm:ss", "36:00:00"},
        {0.0000115740740740741, "mm:ss.0", "00:01.0"},
        {60, "yyyy/m/d", "1900/2/29"},
        {61, "yyyy/m/d", "1900/3/1"},
        // Beyond what is shown faithfully: General.
        {0.5, "# ?/?;@", "0.5"},
        {150, "[>100]0;0.0", "150"},
        {-1, "yyyy/m/d", "-1"},
    };
    for (const FormatCase& c : cases)
        EXPECT_EQ(FormatNumber(c.value, c.code), c.shown) << c.value << " in " << c.code;
}

TEST(NumberFormat, CountsFrom1904WhenTheWorkbookDoes) {
    EXPECT_EQ(FormatNumber(0, "yyyy/m/d", true), "1904/1/1");
    EXPECT_EQ(FormatNumber(43860, "yyyy/m/d", true), "2024/1/31");
}

TEST(NumberFormat, KnowsTheBuiltInFormats) {
    EXPECT_EQ(FormatNumber(45322, BuiltinFormatCode(14)), "2024/1/31");
    EXPECT_EQ(FormatNumber(0.125, BuiltinFormatCode(10)), "12.50%");
    EXPECT_EQ(FormatNumber(1234.5, BuiltinFormatCode(4)), "1,234.50");
    EXPECT_EQ(FormatNumber(45322, BuiltinFormatCode(56)), "2024年1月31日");
    EXPECT_EQ(BuiltinFormatCode(0), "");
    EXPECT_EQ(BuiltinFormatCode(163), "");
}

} // namespace
} // namespace tabulix
