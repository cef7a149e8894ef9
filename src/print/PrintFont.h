#pragma once

#include "print/PrintJob.h"

class QFont;

namespace tabulix {

// The print font: the grid's monospaced CJK face at a character height in
// pixels of the device it draws on.
QFont printFont(int pixelHeight);
// The header panels' font, 12 pixels at screen size.
QFont headerFont(int pixelHeight = 12);
// Measures "A" in the print font, for the print data.
FontMeasure printFontMeasure();

} // namespace tabulix
