#include "app/ControlAvailability.h"

#include <QString>
#include <algorithm>
#include <iterator>

namespace tabulix {

namespace {
// Object names of the controls and menu items whose commands exist.
constexpr const char16_t* kBuilt[] = {
    u"Grid",
    u"Mn_InitClear",
    u"Mn_Exit",
    u"Mn_FixedRowSEQ",
    u"Mn_ConfPaste",
    u"Mn_ConfClear",
    u"Mn_ConfInsert",
    u"Mn_ConfCopy",
    u"Mn_ConfMove",
    u"Mn_ConfDelete",
    u"Btn_OpenCsv",
    u"Mn_FileOpen",
    u"Btn_Save",
    u"Mn_FileSave",
    u"Btn_OpenBoard",
    u"Mn_BardOpen",
    u"Cmb_Bunri",
    u"Cmb_Moji",
    u"Mn_RecEtc",
    u"Cmb_FixedCol",
    u"Cmb_FixedKeta",
    u"Cmb_FixedRows",
    u"Cmb_KomRow",
    u"Cmb_LimColLen",
    u"Cmb_Fold",
    u"Btn_ReFold",
    u"Cmb_CrNext",
    u"scbMinVert",
    u"scbMinHorz",
    u"Chk_MoveRow",
    u"Chk_MoveCol",
    u"Chk_RowSize",
    u"Mn_FixedCenter",
    u"Mn_DataCenter",
    u"Mn_TrimSpace",
    u"Mn_DateEdit",
    u"Mn_BreakColor",
    u"Mn_KaraGyoColor",
    u"Mn_KaraGyoBlack",
    u"Mn_GridSilver",
    u"Mn_GridWhite",
    // Row and column commands of the header menus and the cell menu, undo.
    u"Mn_Undo",
    u"Pm_RowClipGroup",
    u"Pm_RowClipMove",
    u"Pm_RowClipCopy",
    u"Pm_RowInsert",
    u"Pm_RowCopy",
    u"Pm_RowDelete",
    u"Pm_RowImport",
    u"Pm_RowInsertFile",
    u"Pm_RowInsertBoard",
    u"Pm_RowMin",
    u"Pm_ColClipGroup",
    u"Pm_ColClipMove",
    u"Pm_ColClipCopy",
    u"Pm_ColInsert",
    u"Pm_ColCopy",
    u"Pm_ColDelete",
    u"Pm_ColView",
    u"Pm_ColViewON",
    u"Pm_ColViewOFF",
    u"Pm_ColMin",
    u"Pm_RangeRowInsert2",
    u"Pm_RangeRowCopy2",
    u"Pm_RangeRowDelete2",
    // Range commands: clip, paste, release, clear and conversions.
    u"Pm_RangeClip",
    u"Pm_RangeClipPaste",
    u"Pm_RangeClipClr",
    u"Pm_RangeClear",
    u"Pm_StrConvert",
    u"Pm_StrCvtHanToZen",
    u"Pm_StrCvtZenToHan",
    u"Pm_StrCvtHiraToKata",
    u"Pm_StrCvtKataToHira",
    u"Pm_RowClip",
    u"Pm_RowClipPaste",
    u"Pm_RowClipClr",
    u"Pm_ColClip",
    u"Pm_ColClipPaste",
    u"Pm_ColClipClr",
    // The search window.
    u"Btn_Select",
    // Opening a worksheet of a workbook.
    u"Btn_Excel",
    u"Mn_ExcelOpen",
};
} // namespace

bool isCommandBuilt(QStringView objectName) {
    return std::any_of(std::begin(kBuilt), std::end(kBuilt),
                       [&](const char16_t* name) { return objectName == QStringView(name); });
}

} // namespace tabulix
