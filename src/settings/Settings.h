#pragma once

#include "settings/PrintSettings.h"

#include <array>
#include <string>

namespace tabulix {

// Entries of the search window's word history, newest first.
inline constexpr int kFindWordCount = 101;

// The user's choices kept between runs, with their defaults. Item indexes are
// the list positions of the tool-panel combo boxes (-1: nothing selected).
struct Settings {
    int windowTop = -1;
    int windowLeft = -1;
    int windowWidth = -1;
    int windowHeight = -1;
    std::string pathEditFile;
    std::string pathExcelFile;
    std::string pathSelectFile;
    std::string pathInsertFile;
    int winSta = 0;

    bool fixedCenter = true;
    bool dataCenter = false;
    bool trimSpace = false;
    bool dateEdit = false;
    bool breakColor = true;
    bool karaGyoColor = true;
    bool karaGyoBlack = false;
    bool confPaste = true;
    bool confClear = true;
    bool confInsert = true;
    bool confCopy = true;
    bool confMove = true;
    bool confDelete = true;
    bool fixedRowSEQ = false;

    int cmbFixedKeta = 16;
    int cmbFixedCol = 0;
    int cmbFixedRows = 1;
    int cmbKomRow = 1;
    int cmbLimColLen = 10;
    int cmbFold = 0;
    int cmbCrNext = 4;
    int cmbBunri = 1;
    int cmbMoji = 0; // text encoding chosen for reading
    int cmbZoneSign = 0;
    int cmbVertKomKeta = 24;

    std::array<std::string, kFindWordCount> findWords;

    PrintSettings printMain;    // the main window's print settings
    PrintSettings printBrowser; // the document browser's print settings

    bool operator==(const Settings&) const = default;
};

} // namespace tabulix
