#pragma once

class QFont;

namespace tabulix {

// The one font of every grid: a monospaced CJK face, so that a wide
// character is exactly two "A" widths and widths counted in display units
// match what is drawn.
QFont gridFont();

// One display unit in whole pixels (wA): the width of "A" in the grid font,
// rounded. Widths, folding and drawing all use it, and the grid draws every
// character in a slot of exactly its units times this width, so a text of n
// units is n * wA pixels wide whatever the font's own advances (6.984 for "A"
// at the grid's size).
double gridCharWidth();

// Height of "A" in the grid font (the line height used when folding).
int gridCharHeight();

} // namespace tabulix
