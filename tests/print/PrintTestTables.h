#pragma once

#include "print/PrintData.h"
#include "table/StringGrid.h"
#include "table/UserDialogs.h"

#include <algorithm>
#include <deque>
#include <string>
#include <vector>

namespace tabulix {

// Answers questions from a script and records every text; an unscripted
// question is answered No.
class AnsweringDialogs final : public UserDialogs {
public:
    std::deque<bool> answers;
    std::vector<std::string> shown;

    void information(std::string_view text) override { shown.emplace_back(text); }
    bool question(std::string_view text) override {
        shown.emplace_back(text);
        if (answers.empty()) return false;
        const bool a = answers.front();
        answers.pop_front();
        return a;
    }
    bool confirm(std::string_view text) override { return question(text); }
    Answer questionYesNoCancel(std::string_view text) override {
        return question(text) ? Answer::Yes : Answer::No;
    }
    void error(std::string_view text) override { shown.emplace_back(text); }
    std::optional<std::string> openFile(const FileDialogRequest&) override { return {}; }
    std::optional<std::string> saveFile(const FileDialogRequest&) override { return {}; }
};

// "A" is half the font height wide and 4 pixels more than it high: 7 × 18 at
// the source height of 14.
inline FontMeasure fixedMeasure() {
    return [](int px) { return CharBox{std::max(1, px / 2), px + 4}; };
}

// A table laid out like the main grid: the row-number and fixed-column
// columns (print width 50 each), one fixed row, data columns of print width
// 100, rows 20 high; cell (c, r) holds "r-c".
inline StringGrid printGrid(int dataCols, int rows, int rowHeight = 20) {
    StringGrid g(dataCols + 2, rows + 1);
    g.setFixedCols(2);
    g.setFixedRows(1);
    g.setDefaultRowHeight(rowHeight);
    g.setDefaultColWidth(93);
    g.setColWidth(0, 43);
    g.setColWidth(1, 43);
    for (int r = 0; r <= rows; ++r)
        for (int c = 0; c < dataCols + 2; ++c)
            g.setCell(c, r, std::to_string(r) + "-" + std::to_string(c));
    return g;
}

// No margins beyond the fixed 5 mm (18 pixels at 96 dpi) and the header of
// 24: W = width - 18, Ht = height - 42.
inline PrintJob printJob(const StringGrid& grid) {
    PrintJob job;
    job.sourceGrid = &grid;
    job.printSettings.cmbMgnLeft = 0;
    job.printSettings.cmbMgnUp = 0;
    return job;
}

inline Paper screenPaper(int width = 800, int height = 1000) {
    return Paper{width, height, 96};
}

} // namespace tabulix
