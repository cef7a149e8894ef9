// The window side of the range commands: the cell menu's clip, paste,
// release, clear and conversion items and the clip items of the header menus.
#include "app/EditCommands.h"

#include "app/CellMemoCommands.h"
#include "app/ControlAvailability.h"
#include "app/TFm_Tabulix01.h"
#include "edit/EditSession.h"
#include "table/UserDialogs.h"

#include <QAction>

namespace tabulix {

void EditCommands::connectRangeMenus() {
    const std::pair<const char*, ClipKind> clips[] = {{"Pm_RangeClip", ClipKind::CellRange},
                                                      {"Pm_RowClip", ClipKind::Rows},
                                                      {"Pm_ColClip", ClipKind::Columns}};
    for (const auto& [name, kind] : clips)
        connect(popupAction(name), &QAction::triggered, this,
                [this, kind = kind] { Pm_RangeClipClick(kind); });
    const std::pair<const char*, PasteOrigin> pastes[] = {
        {"Pm_RangeClipPaste", PasteOrigin::Cursor},
        {"Pm_RowClipPaste", PasteOrigin::RowStart},
        {"Pm_ColClipPaste", PasteOrigin::ColumnStart}};
    for (const auto& [name, origin] : pastes)
        connect(popupAction(name), &QAction::triggered, this,
                [this, origin = origin] { Pm_RangeClipPasteClick(origin); });
    for (const char* name : {"Pm_RangeClipClr", "Pm_RowClipClr", "Pm_ColClipClr"})
        connect(popupAction(name), &QAction::triggered, this,
                &EditCommands::Pm_RangeClipClrClick);
    connect(popupAction("Pm_RangeClear"), &QAction::triggered, this,
            &EditCommands::Pm_RangeClearClick);
    for (const ConversionItem& kind : kConversionItems) {
        QAction* item = popupAction(("Pm_StrCvt" + std::string(kind.nameEnd)).c_str());
        connect(item, &QAction::triggered, this, [this, item, conversion = kind.conversion] {
            Pm_StrCvtHanToZenClick(conversion, item);
        });
    }
}

void EditCommands::Pm_RangeClipClick(ClipKind kind) {
    ClipSelection(*session_, *clip_, kind);
}

void EditCommands::Pm_RangeClipPasteClick(PasteOrigin origin) {
    PasteClip(*session_, *clip_, origin);
}

void EditCommands::Pm_RangeClipClrClick() {
    ReleaseClip(*session_, *clip_);
}

void EditCommands::Pm_RangeClearClick() {
    ClearSelection(*session_, *clip_);
}

void EditCommands::Pm_StrCvtHanToZenClick(Conversion conversion, const QAction* item) {
    ConvertSelection(*session_, conversion, ConversionLabel(item->text().toStdString()));
}

void EditCommands::prepareGridMenu() {
    const bool source =
        window_.editState().clipKind != ClipKind::None || window_.clipboard().hasText();
    enable("Pm_RangeClip", true);
    enable("Pm_RangeClipPaste", source);
    enable("Pm_RangeClipClr", source);
}

} // namespace tabulix
