#pragma once

class QFont;

namespace tabulix {

// The one font of every grid: a monospaced CJK face, so that a wide
// character is exactly two "A" widths and widths counted in display units
// match what is drawn.
QFont gridFont();

// Width of "A" in the grid font (wA), unrounded: column widths are computed
// from it and truncated only at the end.
double gridCharWidth();

// Height of "A" in the grid font (the line height used when folding).
int gridCharHeight();

} // namespace tabulix
