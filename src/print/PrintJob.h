#pragma once

#include "settings/PrintSettings.h"

#include <array>
#include <functional>
#include <string>

namespace tabulix {

class StringGrid;

// What a caller hands the print preview. The grid is not owned; it must
// outlive the print data made from it.
struct PrintJob {
    const StringGrid* sourceGrid = nullptr; // SourceGrid
    std::array<std::string, 4> titleLines;  // header title lines 1-4
    std::string appTitle;                   // window caption prefix
    bool tableMode = true;                  // false: a plain text document (help browser)
    bool mainWindowMode = false;            // numbering, file name, date and page options honoured
    int initialRows = 0;                    // data rows laid out at first; 0 or less: all
    int maxCellLines = 0;                   // text lines drawn in one cell; 0: no limit
    PrintSettings printSettings;
    int sourceFontHeight = 14; // character height of the source grid's font, pixels
};

// Width and line height of "A" in a font of the given character height.
struct CharBox {
    int width = 0;
    int height = 0;
};
using FontMeasure = std::function<CharBox(int pixelHeight)>;

// The printer's page in its own pixels, and its resolution.
struct Paper {
    int width = 4960; // A4 portrait at 600 dpi
    int height = 7016;
    int dpi = 600;
};

} // namespace tabulix
