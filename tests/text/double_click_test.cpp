#include "text/DoubleClick.h"

#include <gtest/gtest.h>

namespace tabulix {
namespace {

using namespace std::chrono_literals;
using Clock = TIsDClick::Clock;

const Clock::time_point kStart = Clock::time_point(1000h);

TEST(IsDoubleClick, FreshDetectorHasNoPreviousCell) {
    TIsDClick state(500ms, kStart);
    EXPECT_EQ(state.lastCol, -1);
    EXPECT_EQ(state.lastRow, -1);
    EXPECT_FALSE(IsDoubleClick(state, 0, 0, kStart + 10ms));
}

struct ClickCase {
    const char* name;
    int col2;
    int row2;
    Clock::duration gap;
    bool isDouble;
};

class SecondClick : public ::testing::TestWithParam<ClickCase> {};

TEST_P(SecondClick, SameCellWithinTheInterval) {
    const ClickCase& c = GetParam();
    TIsDClick state(500ms, kStart);
    EXPECT_FALSE(IsDoubleClick(state, 3, 7, kStart + 1s));
    EXPECT_EQ(IsDoubleClick(state, c.col2, c.row2, kStart + 1s + c.gap), c.isDouble);
}

INSTANTIATE_TEST_SUITE_P(Cases, SecondClick,
                         ::testing::Values(ClickCase{"SameCell400ms", 3, 7, 400ms, true},
                                           ClickCase{"SameCell600ms", 3, 7, 600ms, false},
                                           ClickCase{"JustBelowInterval", 3, 7, 499999us, true},
                                           ClickCase{"ExactlyTheInterval", 3, 7, 500ms, false},
                                           ClickCase{"SameInstant", 3, 7, 0ms, true},
                                           ClickCase{"OtherColumn", 4, 7, 100ms, false},
                                           ClickCase{"OtherRow", 3, 8, 100ms, false},
                                           // A wall clock would have wrapped at midnight and seen a
                                           // tiny or negative gap here.
                                           ClickCase{"ADayLessAMoment", 3, 7, 24h - 100ms, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(IsDoubleClick, EveryClickBecomesThePrevious) {
    TIsDClick state(500ms, kStart);
    const Clock::time_point t = kStart + 1s;
    EXPECT_FALSE(IsDoubleClick(state, 1, 1, t));
    EXPECT_FALSE(IsDoubleClick(state, 2, 1, t + 100ms));
    EXPECT_EQ(state.lastCol, 2);
    EXPECT_EQ(state.lastRow, 1);
    EXPECT_EQ(state.lastTime, t + 100ms);
    EXPECT_TRUE(IsDoubleClick(state, 2, 1, t + 200ms));
}

TEST(IsDoubleClick, QuickTripleClickCountsTwice) {
    TIsDClick state(500ms, kStart);
    const Clock::time_point t = kStart + 1s;
    EXPECT_FALSE(IsDoubleClick(state, 5, 5, t));
    EXPECT_TRUE(IsDoubleClick(state, 5, 5, t + 200ms));
    EXPECT_TRUE(IsDoubleClick(state, 5, 5, t + 400ms));
}

TEST(IsDoubleClick, IntervalIsConfigurable) {
    TIsDClick state(250ms, kStart);
    EXPECT_FALSE(IsDoubleClick(state, 0, 0, kStart + 1s));
    EXPECT_FALSE(IsDoubleClick(state, 0, 0, kStart + 1s + 300ms));
    EXPECT_EQ(TIsDClick().interval, 500ms);
}

TEST(IsDoubleClick, RealClockTwoImmediateClicks) {
    TIsDClick state;
    EXPECT_FALSE(IsDoubleClick(state, 1, 2));
    EXPECT_TRUE(IsDoubleClick(state, 1, 2));
}

} // namespace
} // namespace tabulix
