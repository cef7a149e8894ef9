// The column display selection tab of the sort window: one line per data
// column, double-click to suppress or show it.
#include "sort/TFm_CsvFunc.h"

#include "edit/LineCommands.h"
#include "sort/SortHost.h"
#include "sort/SortLists.h"
#include "table/Table.h"
#include "table/UserDialogs.h"
#include "text/TextHelpers.h"
#include "view/GridFont.h"
#include "view/GridWidget.h"
#include "view/WindowHelpers.h"

#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace tabulix {

namespace {

const char* const kShowAll = "全列を  【表示対象】  にします。";
const char* const kHideAll = "全列を  【非表示】  にします。";
const char* const kSure = "\r\n\r\nよろしいですか？";
const QColor kFixedColour(0x80, 0x80, 0x80);
const QColor kSilver(0xC0, 0xC0, 0xC0);
const QColor kGrey(0x80, 0x80, 0x80);

QPushButton* displayButton(QWidget* parent, const char* name, const char* caption) {
    auto* button = new QPushButton(QString::fromUtf8(caption), parent);
    button->setObjectName(QString::fromUtf8(name));
    button->setAutoDefault(false);
    return button;
}

} // namespace

QWidget* TFm_CsvFunc::buildDisplayTab() {
    Tab_Print_ = new QWidget;
    Tab_Print_->setObjectName(QStringLiteral("Tab_Print"));
    auto* layout = new QVBoxLayout(Tab_Print_);
    auto* hint =
        new QLabel(QStringLiteral("ダブルクリックで列の表示を抑制できます。 [○：表示　×：非表示]"),
                   Tab_Print_);
    hint->setObjectName(QStringLiteral("Label2"));
    layout->addWidget(hint);
    PrintGrid_ = new GridWidget(Tab_Print_);
    PrintGrid_->setObjectName(QStringLiteral("PrintGrid"));
    PrintGrid_->setGrid(&displayGrid_);
    PrintGrid_->setFont(gridFont());
    PrintGrid_->setDrawCellHook(
        [this](QPainter& painter, int col, int row, const QRect& rect, CellState state) {
            drawDisplayCell(painter, col, row, rect, state.fixed);
        });
    layout->addWidget(PrintGrid_, 1);
    auto* buttons = new QHBoxLayout;
    Btn_PrintAll_ = displayButton(Tab_Print_, "Btn_PrintAll", "全列を表示");
    Btn_PrintOff_ = displayButton(Tab_Print_, "Btn_PrintOff", "全列を非表示");
    Btn_PrintEnd_ = displayButton(Tab_Print_, "Btn_PrintEnd", "終了");
    buttons->addWidget(Btn_PrintAll_);
    buttons->addWidget(Btn_PrintOff_);
    buttons->addStretch(1);
    buttons->addWidget(Btn_PrintEnd_);
    layout->addLayout(buttons);
    return Tab_Print_;
}

// Line i stands for the i-th data column of the table.
int TFm_CsvFunc::displayedColumn(int line) const {
    return host_->table().grid.fixedCols() + line - 1;
}

void TFm_CsvFunc::RebuildDisplayGrid() {
    const StringGrid& grid = host_->table().grid;
    const int w = static_cast<int>(gridCharWidth());
    // Let go first, so the list takes the new layout from its first line.
    PrintGrid_->setGrid(nullptr);
    displayGrid_ = StringGrid(2, std::max(2, grid.colCount() - grid.fixedCols() + 1));
    displayGrid_.setFixedCols(1);
    displayGrid_.setFixedRows(1);
    displayGrid_.setColWidth(0, 6 * w);
    displayGrid_.setColWidth(1, 50 * w);
    displayGrid_.setDefaultRowHeight(host_->defaultRowHeight());
    PrintGrid_->setGrid(&displayGrid_);
    PrintGrid_->setCurrentCellSilently(1, 1);
    selectedLine_ = 1;
    FillDisplayGrid();
}

void TFm_CsvFunc::FillDisplayGrid() {
    const StringGrid& grid = host_->table().grid;
    const int nameRow = host_->nameRow();
    displayGrid_.setCell(0, 0, "No.");
    displayGrid_.setCell(1, 0, nameRowHeader().toStdString());
    const int lines = grid.colCount() - grid.fixedCols();
    std::vector<std::string> texts(2);
    for (int line = 1; line <= lines; ++line) {
        const int col = displayedColumn(line);
        texts[0] = grid.cellText(col, 0);
        texts[1] = " " + ColumnName(grid, col, nameRow);
        displayGrid_.setRow(line, texts);
    }
    PrintGrid_->viewport()->update();
}

void TFm_CsvFunc::drawDisplayCell(QPainter& painter, int col, int row, const QRect& rect,
                                  bool fixed) {
    const QString text = GridWidget::displayLine(displayGrid_.cell(col, row));
    if (fixed) {
        painter.fillRect(rect, kFixedColour);
        painter.setPen(Qt::white);
        painter.drawText(rect, Qt::AlignCenter | Qt::TextSingleLine, text.trimmed());
        DrawFrame(painter, rect, kSilver, palette().color(QPalette::Dark));
        return;
    }
    const Table& table = host_->table();
    const auto x = static_cast<std::size_t>(displayedColumn(row));
    const bool visible = x >= table.colRecords.size() || table.colRecords[x].visible;
    const QColor background = visible ? QColor(Qt::white) : kSilver;
    painter.fillRect(rect, background);
    const QString line = (visible ? QStringLiteral(" ○") : QStringLiteral(" ×")) + text;
    PrintGrid_->drawTextLine(painter, rect.x() + 2, rect.y() + 2, line,
                             visible ? QColor(Qt::black) : kGrey, background, rect);
    PrintGrid_->drawCellBorder(painter, rect, false);
}

void TFm_CsvFunc::PrintGridSelectCell(int col, int row) {
    if (col >= 0 && row >= 0) selectedLine_ = row;
}

void TFm_CsvFunc::PrintGridDblClick() {
    if (selectedLine_ < 1) return;
    Table& table = host_->table();
    const int col = displayedColumn(selectedLine_);
    if (col >= table.grid.colCount() || col >= static_cast<int>(table.colRecords.size())) return;
    forgetMainClick();
    SetColumnVisible(table, col, !table.colRecords[static_cast<std::size_t>(col)].visible,
                     host_->charWidth());
    PrintGrid_->viewport()->update();
}

void TFm_CsvFunc::Btn_PrintAllClick(bool show) {
    if (!host_->dialogs().confirm(std::string(show ? kShowAll : kHideAll) + kSure)) return;
    forgetMainClick();
    Table& table = host_->table();
    for (int col = table.grid.fixedCols(); col < table.grid.colCount(); ++col)
        SetColumnVisible(table, col, show, host_->charWidth());
    PrintGrid_->viewport()->update();
}

} // namespace tabulix
