#include "app/PrintCommands.h"

#include "app/EditCommands.h"
#include "app/SingleRowEditor.h"
#include "app/TFm_Tabulix01.h"
#include "edit/Marking.h"
#include "print/TfrmGridPrint_01.h"
#include "table/UserDialogs.h"
#include "view/GridFont.h"
#include "view/GridWidget.h"

#include <QAction>
#include <QComboBox>
#include <QGuiApplication>

namespace tabulix {

PrintCommands::PrintCommands(TFm_Tabulix01& window) : QObject(&window), window_(window) {
    EditCommands& edit = window.editCommands();
    const std::pair<QAction*, void (PrintCommands::*)()> items[] = {
        {window.action("Mn_GridPrint"), &PrintCommands::Mn_GridPrintClick},
        {edit.popupAction("Pm_RowPrint"), &PrintCommands::Pm_RowPrintClick},
        {edit.popupAction("Pm_ColPrint"), &PrintCommands::Pm_ColPrintClick},
        {edit.popupAction("Pm_RangePrintCell"), &PrintCommands::Pm_RangePrintCellClick},
        {edit.popupAction("Pm_RangePrintRow"), &PrintCommands::Pm_RangePrintRowClick},
        {edit.popupAction("Pm_RangePrintCol"), &PrintCommands::Pm_RangePrintColClick},
        {window.action("Mn_MarkPrint"), &PrintCommands::Mn_MarkPrintClick},
        {edit.popupAction("Pm_RowMarkPrint"), &PrintCommands::Mn_MarkPrintClick},
        {edit.popupAction("Pm_ColMarkPrint"), &PrintCommands::Mn_MarkPrintClick},
        {window.action("Mn2_Printx"), &PrintCommands::Mn2_PrintxClick},
    };
    for (const auto& [item, handler] : items)
        if (item) connect(item, &QAction::triggered, this, handler);
}

void PrintCommands::OpenPrintPreview(const StringGrid& grid, const PrintTitles& titles,
                                     int initialRows) {
    PrintJob job;
    job.sourceGrid = &grid;
    job.titleLines = titles;
    job.appTitle = "Tabulix";
    job.tableMode = true;
    job.mainWindowMode = true;
    job.initialRows = initialRows;
    job.maxCellLines = window_.controls().Cmb_Fold->currentIndex();
    job.printSettings = window_.settings().printMain;
    job.sourceFontHeight = gridFont().pixelSize();
    window_.settings().printMain = RunPrintPreview(job, window_.dialogs(), &window_);
}

bool PrintCommands::fixedColumnShown() const {
    return window_.controls().Cmb_FixedCol->currentIndex() > 0;
}

// The whole table with its own widths changed for the paper and put back.
void PrintCommands::Mn_GridPrintClick() {
    window_.setGridShown(false);
    Table& table = window_.table();
    PreparePrintWidths(table, gridCharWidth(), fixedColumnShown());
    OpenPrintPreview(table.grid, TablePrintTitles(window_.fileInf().path), 100);
    RestorePrintWidths(table);
    window_.setBaseCaption({});
    window_.setGridShown(true);
}

void PrintCommands::printWork(int initialRows) {
    StringGrid& work = window_.WorkGrid();
    PrepareWorkForPrint(work, window_.table(), gridCharWidth(), fixedColumnShown());
    OpenPrintPreview(work, TablePrintTitles(window_.fileInf().path), initialRows);
    work = StringGrid(1, 1);
}

// The operation range's lines, or the clicked (else current) line.
std::vector<int> PrintCommands::lines(bool rows) const {
    const EditState& edit = window_.editState();
    const CellRange range = edit.operationRange.normalised();
    std::vector<int> out;
    const bool hasRange = rows ? range.hasRows() && edit.operationAxis == HeaderMode::RowHeader
                               : range.hasColumns() && edit.operationAxis == HeaderMode::ColumnHeader;
    if (hasRange) {
        for (int i = rows ? range.top : range.left; i <= (rows ? range.bottom : range.right); ++i)
            out.push_back(i);
        return out;
    }
    const GridWidget* grid = window_.gridWidget();
    const int clicked = rows ? edit.clickRow : edit.clickCol;
    out.push_back(clicked >= 0 ? clicked : rows ? grid->currentRow() : grid->currentCol());
    return out;
}

void PrintCommands::Pm_RowPrintClick() {
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    BuildRowsWork(window_.Grid(), lines(true), window_.WorkGrid());
    QGuiApplication::restoreOverrideCursor();
    printWork(100);
}

void PrintCommands::Pm_ColPrintClick() {
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    BuildColumnsWork(window_.Grid(), lines(false), window_.WorkGrid());
    QGuiApplication::restoreOverrideCursor();
    printWork(100);
}

void PrintCommands::Pm_RangePrintCellClick() {
    const QRect sel = window_.gridWidget()->selection();
    if (sel.isEmpty()) return;
    EditState& edit = window_.editState();
    edit.clickRow = sel.top();
    edit.clickCol = sel.left();
    edit.operationRange = CellRange{sel.left(), sel.top(), sel.right(), sel.bottom()};
    edit.headerMode = HeaderMode::Cells;
    BuildRangeWork(window_.Grid(), sel.left(), sel.top(), sel.right(), sel.bottom(),
                   window_.WorkGrid());
    printWork(100);
}

void PrintCommands::Pm_RangePrintRowClick() {
    const QRect sel = window_.gridWidget()->selection();
    if (sel.isEmpty()) return;
    EditState& edit = window_.editState();
    edit.clickRow = sel.top();
    edit.clickCol = sel.left();
    edit.operationRange = CellRange{kFirstDataCol, sel.top(), window_.Grid().colCount() - 1, sel.bottom()};
    edit.operationAxis = edit.headerMode = HeaderMode::RowHeader;
    Pm_RowPrintClick();
    edit.headerMode = HeaderMode::Cells;
}

void PrintCommands::Pm_RangePrintColClick() {
    const QRect sel = window_.gridWidget()->selection();
    if (sel.isEmpty()) return;
    EditState& edit = window_.editState();
    edit.clickRow = sel.top();
    edit.clickCol = sel.left();
    edit.operationRange = CellRange{sel.left(), window_.Grid().fixedRows(), sel.right(), window_.Grid().rowCount() - 1};
    edit.operationAxis = edit.headerMode = HeaderMode::ColumnHeader;
    Pm_ColPrintClick();
    edit.headerMode = HeaderMode::Cells;
}

void PrintCommands::Mn_MarkPrintClick() {
    if (!BuildMarkedData(window_.table(), window_.WorkGrid())) {
        window_.dialogs().information("現在、マーキングされたデータはありません。");
        return;
    }
    printWork(100);
}

// The single-row view as shown, with the row's grid index in line 2.
void PrintCommands::Mn2_PrintxClick() {
    SingleRowEditor& editor = window_.editCommands().rowEditor();
    if (!editor.isOpen()) return;
    editor.vertWidget()->hide();
    StringGrid& work = window_.WorkGrid();
    BuildSingleRowWork(window_.VertGrid(), work, gridCharWidth());
    OpenPrintPreview(work, SingleRowPrintTitles(window_.fileInf().path, editor.shownRow()), 300);
    work = StringGrid(1, 1);
    window_.setBaseCaption({});
    editor.vertWidget()->show();
}

void PrintCommands::printSearchResults(StringGrid& results, const PrintTitles& titles) {
    const Table& table = window_.table();
    std::vector<int> widths;
    for (int c = 0; c < results.colCount(); ++c)
        widths.push_back(results.colWidth(c));
    for (int c = 1; c < results.colCount(); ++c) {
        const int source = c - 1;
        if (source < static_cast<int>(table.colRecords.size()) &&
            !table.colRecords[static_cast<std::size_t>(source)].visible)
            results.setColWidth(c, 0);
    }
    const int last = results.rowCount() - 1;
    for (int c = 0; c < 2 && c < results.colCount(); ++c)
        results.setColWidth(c, PrintWidthForText(results.cell(c, last), gridCharWidth()));
    if (results.colCount() > 2) results.setColWidth(2, 0);
    OpenPrintPreview(results, titles, 100);
    for (int c = 0; c < results.colCount(); ++c)
        results.setColWidth(c, widths[static_cast<std::size_t>(c)]);
}

} // namespace tabulix
