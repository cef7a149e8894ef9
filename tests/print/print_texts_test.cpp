#include "print/PrintTexts.h"

#include <gtest/gtest.h>

namespace tabulix {
namespace {

TEST(PrintTexts, SavedPaperAndOrientation) {
    struct Case {
        const char* saved;
        std::optional<PaperKind> paper;
    };
    const Case cases[] = {{"A4", PaperKind::A4}, {"a3", PaperKind::A3}, {"b5", PaperKind::B5},
                          {"A4 B4", PaperKind::B4}, {"B5/A3", PaperKind::B5},
                          {"Letter", std::nullopt}, {"", std::nullopt}};
    for (const Case& c : cases)
        EXPECT_EQ(PaperFromSaved(c.saved), c.paper) << c.saved;
    EXPECT_EQ(OrientationFromSaved("縦"), Orientation::Portrait);
    EXPECT_EQ(OrientationFromSaved("A4 横"), Orientation::Landscape);
    EXPECT_EQ(OrientationFromSaved("?"), std::nullopt);
    EXPECT_EQ(PaperName(PaperKind::Other), "?");
    EXPECT_EQ(PrinterLabel({" lp  HP  usb ", "B4", "横"}), "B4 横：lp  HP  usb");
}

TEST(PrintTexts, CellScaleSteps) {
    struct Case {
        int base, scale, direction, expected;
    };
    const Case cases[] = {
        {14, 100, -1, 99}, // 13.86 → 13 at once
        {14, 99, -1, 92},  // 93 still gives 13
        {14, 99, 1, 100},  {14, 100, 1, 108}, // 107 still gives 14
        {14, 10, -1, 10},  // 7 would give 0: the scale stays
        {1, 100, -1, 100}, {20, 5, -1, 5},
    };
    for (const Case& c : cases)
        EXPECT_EQ(NextCellScale(c.base, c.scale, c.direction), c.expected)
            << c.base << " " << c.scale << " " << c.direction;
}

TEST(PrintTexts, PageNumbersAndZoomItems) {
    EXPECT_EQ(PageNumber(" 12 "), 12);
    EXPECT_EQ(PageNumber("0"), 0);
    EXPECT_EQ(PageNumber(""), std::nullopt);
    EXPECT_EQ(PageNumber(" 1 2"), std::nullopt);
    EXPECT_EQ(PageNumber("99999999999"), std::nullopt);
    EXPECT_EQ(ZoomItem(0), " 10 %");
    EXPECT_EQ(ZoomItem(8), " 90 %");
    EXPECT_EQ(ZoomItem(9), " 画面に");
    EXPECT_EQ(ZoomItem(10), " 100 %");
    EXPECT_EQ(ZoomItem(100), " 1000 %");
    EXPECT_EQ(RestoreItem(15), " 150 ");
    EXPECT_EQ(RestoreItem(9), " 画面に");
    EXPECT_NE(ImageResourceMessage(1.99).find("( 199 % 以下 )\r\r ★"), std::string::npos);
}

} // namespace
} // namespace tabulix
