#pragma once

#include "edit/PrintWork.h"

#include <QObject>

namespace tabulix {

class TFm_Tabulix01;
class StringGrid;

// The main window's print entries: each hands the whole table, or the part
// of it copied into the work grid, to the print preview.
class PrintCommands : public QObject {
    Q_OBJECT

public:
    explicit PrintCommands(TFm_Tabulix01& window);

    // Opens the preview modally for `grid`; the main window's print settings
    // go in and come back.
    void OpenPrintPreview(const StringGrid& grid, const PrintTitles& titles, int initialRows);

    void Mn_GridPrintClick();
    void Pm_RowPrintClick();
    void Pm_ColPrintClick();
    void Pm_RangePrintCellClick();
    void Pm_RangePrintRowClick();
    void Pm_RangePrintColClick();
    void Mn_MarkPrintClick();
    void Mn2_PrintxClick();
    // The search results: suppressed table columns at width 0, the number
    // columns as wide as their last text, column 2 hidden; widths put back.
    void printSearchResults(StringGrid& results, const PrintTitles& titles);

private:
    void printWork(int initialRows);
    bool fixedColumnShown() const;
    std::vector<int> lines(bool rows) const;

    TFm_Tabulix01& window_;
};

} // namespace tabulix
