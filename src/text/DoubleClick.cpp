#include "text/DoubleClick.h"

namespace tabulix {

bool IsDoubleClick(TIsDClick& state, int col, int row) {
    return IsDoubleClick(state, col, row, TIsDClick::Clock::now());
}

bool IsDoubleClick(TIsDClick& state, int col, int row, TIsDClick::Clock::time_point now) {
    const auto elapsed = now - state.lastTime;
    const bool result = col == state.lastCol && row == state.lastRow && elapsed < state.interval;
    state.lastCol = col;
    state.lastRow = row;
    state.lastTime = now;
    return result;
}

} // namespace tabulix
