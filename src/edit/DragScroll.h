#pragma once

namespace tabulix {

// One step of choosing a header range by dragging, along one axis (rows:
// vertical pixels, columns: horizontal). Pixel positions are in the grid
// view; line indexes are grid indexes.
struct DragAxis {
    int press = 0;       // where the button went down
    int pointer = 0;     // where the pointer is now
    int threshold = 0;   // a drag shorter than this changes nothing
    int firstEdge = 0;   // leading edge of the first scrollable line shown
    int lastEdge = 0;    // trailing edge of the last fully visible line
    int first = 0;       // first scrollable line shown
    int lastVisible = 0; // last fully visible line
    int fixedCount = 0;  // fixed lines before the scrollable ones
    int lastLine = 0;    // the grid's last line
    int hover = -1;      // line under the pointer, -1 for none
};

enum class DragMove { None, ScrollBack, ScrollOn, Follow };

// What the step does: scroll back one line (the range then ends at the new
// first line), scroll on one line (the range ends at `end`, the last line
// that was visible), follow the pointer to `end`, or nothing.
struct DragStep {
    DragMove move = DragMove::None;
    int end = -1;
};

DragStep DragScrollStep(const DragAxis& axis);

} // namespace tabulix
