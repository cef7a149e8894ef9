#pragma once

#include <chrono>

namespace tabulix {

// Remembers the previous click on a grid to tell double clicks. A monotonic
// clock is used, so a double click across midnight (or a clock change) still
// counts and a click a day later never does.
struct TIsDClick {
    using Clock = std::chrono::steady_clock;

    explicit TIsDClick(std::chrono::milliseconds maxGap = std::chrono::milliseconds(500),
                       Clock::time_point created = Clock::now())
        : lastTime(created), interval(maxGap) {}

    int lastCol = -1;
    int lastRow = -1;
    Clock::time_point lastTime;
    std::chrono::milliseconds interval;
};

// True when (col, row) is the cell of the previous click and less than the
// interval has passed since it; in every case this click becomes the previous.
bool IsDoubleClick(TIsDClick& state, int col, int row);
bool IsDoubleClick(TIsDClick& state, int col, int row, TIsDClick::Clock::time_point now);

} // namespace tabulix
