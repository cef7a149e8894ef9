#pragma once

class QWidget;

namespace tabulix {

class PrinterChoice;

// The printer set-up: printer, paper size and orientation. On OK the choice
// holds the new printer with the chosen paper; false when cancelled.
bool RunPrinterSetUp(PrinterChoice& choice, QWidget* parent);

} // namespace tabulix
