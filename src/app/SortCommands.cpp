// The main window's side of the sort window: opening it in its two modes,
// and what a sort asks of the table's owner.
#include "app/TFm_Tabulix01.h"

#include "app/ToolPanels.h"
#include "draw/BreakShade.h"
#include "sort/SortHost.h"
#include "sort/TFm_CsvFunc.h"
#include "view/GridFont.h"
#include "view/GridWidget.h"

#include <QComboBox>
#include <QMenuBar>
#include <QPushButton>

namespace tabulix {

namespace {

class MainSortHost final : public SortHost {
public:
    explicit MainSortHost(TFm_Tabulix01& window) : window_(window) {}

    Table& table() override { return window_.table(); }
    TableEvents& tableEvents() override { return window_.tableEvents(); }
    UserDialogs& dialogs() override { return window_.dialogs(); }
    int nameRow() const override { return window_.controls().Cmb_KomRow->currentIndex(); }
    std::string nameRowCaption() const override {
        return window_.controls().Cmb_KomRow->currentText().toStdString();
    }
    double charWidth() const override { return gridCharWidth(); }
    int defaultRowHeight() const override { return window_.Grid().defaultRowHeight(); }
    int referenceHeight() const override { return window_.controls().Cmb_Kijyun->height(); }
    void forgetClick() override { window_.editState().forgetClick(); }
    void repaintGrid() override { window_.gridWidget()->viewport()->update(); }
    void setSorting(bool on) override {
        window_.SetControlsEnabled(!on);
        window_.menuBar()->setEnabled(!on);
        window_.setGridShown(!on);
    }
    // The shades are kept per column position, so moved columns need them
    // afresh as much as moved rows do.
    void sortFinished() override {
        window_.RefreshColumns();
        if (window_.menuChecked("Mn_BreakColor")) RecomputeBreakShades(window_.table(), -1, 0);
        window_.setModified(true);
        repaintGrid();
    }
    void bringForward() override {
        if (!window_.isVisible()) return;
        window_.raise();
        window_.activateWindow();
        if (window_.gridWidget()->isVisible()) window_.gridWidget()->setFocus();
    }

private:
    TFm_Tabulix01& window_;
};

} // namespace

void TFm_Tabulix01::connectSortCommands() {
    csvFunc_ = new TFm_CsvFunc(std::make_unique<MainSortHost>(*this), this);
    connect(controls_.Btn_Sort, &QPushButton::clicked, this, &TFm_Tabulix01::Btn_SortClick);
    connect(controls_.Btn_ViewCol, &QPushButton::clicked, this, &TFm_Tabulix01::Btn_ViewColClick);
}

void TFm_Tabulix01::Btn_SortClick() {
    csvFunc_->open(TFm_CsvFunc::Mode::Sort);
}

void TFm_Tabulix01::Btn_ViewColClick() {
    csvFunc_->open(TFm_CsvFunc::Mode::ColumnDisplay);
}

} // namespace tabulix
