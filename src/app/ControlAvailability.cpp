#include "app/ControlAvailability.h"

#include <QString>
#include <algorithm>
#include <iterator>

namespace tabulix {

namespace {
// Object names of the controls and menu items whose commands exist.
constexpr const char16_t* kBuilt[] = {
    u"Grid",         u"Mn_InitClear",  u"Mn_Exit",     u"Mn_FixedRowSEQ", u"Mn_ConfPaste",
    u"Mn_ConfClear", u"Mn_ConfInsert", u"Mn_ConfCopy", u"Mn_ConfMove",    u"Mn_ConfDelete",
    u"Btn_OpenCsv",  u"Mn_FileOpen",   u"Btn_Save",    u"Mn_FileSave",    u"Btn_OpenBoard",
    u"Mn_BardOpen",  u"Cmb_Bunri",     u"Cmb_Moji",    u"Mn_RecEtc",
};
} // namespace

bool isCommandBuilt(QStringView objectName) {
    return std::any_of(std::begin(kBuilt), std::end(kBuilt),
                       [&](const char16_t* name) { return objectName == QStringView(name); });
}

} // namespace tabulix
