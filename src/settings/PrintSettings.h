#pragma once

#include <string>

namespace tabulix {

// The print window's persistent choices. The settings file keeps two of
// them: the main window's under the key prefix "GP_", the document browser's
// under "GPB_" (each key is the prefix and the field's name as written in the
// comment). Item indexes are list positions of the print window's controls.
struct PrintSettings {
    int cellScale = 100;    // CellScale: font scale of the print data in percent
    int cmbColor = 0;       // Cmb_Color: colour scheme, kept; printing is always Mono
    int cmbCellWay = 0;     // Cmb_CellWay: " 手動で" / " １頁で"
    int cmbCalFont = 9;     // Cmb_Cal_Font: kept and stored only
    int cmbCalRateH = 9;    // Cmb_Cal_RateH: kept and stored only
    int cmbCalRateW = 19;   // Cmb_Cal_RateW: kept and stored only
    int cmbCalTime = 0;     // Cmb_Cal_Time: kept and stored only
    int cmbCalDateOnly = 0; // Cmb_Cal_DateOnly: kept and stored only
    int cmbGray = 192;      // Cmb_Gray: grey level 0-255 of the Mono scheme
    int cmbGray3 = 128;     // Cmb_Gray3: kept and stored only
    int cmbLineKind = 1;    // Cmb_LineKind: " 無し" / " 実線" / " 点線"
    int cmbMgnUp = 3;       // Cmb_MgnUp: top margin, index × 5 mm
    int cmbMgnLeft = 2;     // Cmb_MgnLeft: left margin, index × 5 mm
    int cmbScale = 9;       // Cmb_Scale: preview zoom (9 fits the window)
    int cmbResetScl = 15;   // Cmb_ResetScl: zoom restored on request (15 is 150)
    int printerIndex = -1;  // PrinterIndex: position in the printer list, -1 the default
    std::string prtOrient;  // Prt_Orient: "縦" or "横"
    std::string prtPaper;   // Prt_Paper: "A3", "A4", "A5", "B4" or "B5"
    std::string savePath;   // SavePath: last CSV/text output
    std::string htmlPath;   // HtmlPath: last HTML output

    // Menu checks of the print window, separate from the main window's.
    bool fixedCenter = true;    // FixedCenter
    bool dataCenter = false;    // DataCenter
    bool trimSpace = false;     // TrimSpace
    bool dateEdit = false;      // DateEdit
    bool breakColor = true;     // BreakColor
    bool karaGyoColor = false;  // KaraGyoColor
    bool karaGyoBlack = false;  // KaraGyoBlack
    bool printRowNo = true;     // PrintRowNo
    bool printColNo = true;     // PrintColNo
    bool printFileName = false; // PrintFileName
    bool printPathName = true;  // PrintPathName
    bool printDate = true;      // PrintDate
    bool printPage = true;      // PrintPage

    bool operator==(const PrintSettings&) const = default;
};

} // namespace tabulix
