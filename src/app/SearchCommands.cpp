// The main window's side of the search window: creating it and showing it.
#include "app/TFm_Tabulix01.h"

#include "app/EditCommands.h"
#include "app/PrintCommands.h"
#include "app/SingleRowEditor.h"

#include "search/TFm_Tabulix02.h"

#include <QComboBox>
#include <QPushButton>

namespace tabulix {

void TFm_Tabulix01::createSearchWindow() {
    search_ =
        new TFm_Tabulix02(SearchSource{table_.grid, grid_, events_, dialogs_,
                                       settings_.pathSelectFile, [this] { return separator_; },
                                       [this] { return chosenEncoding().value_or(tableEncoding_); },
                                       controls_.Cmb_Kijyun->height() * 2 / 5,
                                       [this](int col, int row) {
                                           editCommands_->rowEditor().showRow(row, col - 1);
                                       },
                                       [this](StringGrid& results, const PrintTitles& titles) {
                                           print_->printSearchResults(results, titles);
                                       },
                                       [this] { return fileInf_.path; }},
                          this);
    connect(controls_.Btn_Select, &QPushButton::clicked, this, &TFm_Tabulix01::Btn_SelectClick);
}

void TFm_Tabulix01::Btn_SelectClick() {
    search_->show();
    search_->raise();
    search_->activateWindow();
}

} // namespace tabulix
