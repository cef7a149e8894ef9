#pragma once

#include "csv/Separators.h"
#include "edit/EditState.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace tabulix {

struct EditSession;
class StringGrid;
class Clipboard;

// The clip buffer `CopyGrid` and the system clipboard the range commands
// share with the window.
struct ClipStore {
    StringGrid& copyGrid;
    Clipboard& clipboard;
};

// The confirmation step of a command: `range` painted in `rgb` while the
// question is open (nothing painted for an empty range); true for Yes.
bool AskWithHighlight(EditSession& s, const CellRange& range, std::uint32_t rgb,
                      const std::string& text);

// Copies the selection into the clip buffer and onto the clipboard. Kinds 1
// to 3 (cells, rows, columns) make the selection the clip range; kind 0 (the
// cut of a range clear) leaves the clip range alone so that the next paste
// reads the clipboard.
void ClipSelection(EditSession& s, ClipStore& clip, ClipKind kind);

// Where a paste starts: the current cell, or its row's first data column (a
// row clip), or its column's first data row (a column clip).
enum class PasteOrigin { Cursor, RowStart, ColumnStart };

// Pastes the clip (or, without one, the clipboard text split by the record
// parser) at the origin. The table never grows: what lies beyond its last row
// or column is dropped.
void PasteClip(EditSession& s, ClipStore& clip, PasteOrigin origin);

// Empties the clipboard and forgets the clip.
void ReleaseClip(EditSession& s, ClipStore& clip);

// Clears the selected cells after cutting them to the clipboard.
void ClearSelection(EditSession& s, ClipStore& clip);

enum class Conversion { ToFullWidth, ToHalfWidth, ToKatakana, ToHiragana };

// The four conversion items in menu order, by the end of their names: the
// cell menu's are "Pm_StrCvt" + end, the single-row editor's "pm2_StrCvt" +
// end.
struct ConversionItem {
    const char* nameEnd;
    Conversion conversion;
};
inline constexpr ConversionItem kConversionItems[] = {
    {"HanToZen", Conversion::ToFullWidth},
    {"ZenToHan", Conversion::ToHalfWidth},
    {"HiraToKata", Conversion::ToKatakana},
    {"KataToHira", Conversion::ToHiragana},
};

// The label a conversion question quotes: the menu caption trimmed, without
// its first two characters ("1. 半角 → 全角" gives " 半角 → 全角").
std::string ConversionLabel(std::string_view caption);
std::string Convert(Conversion conversion, std::string_view text);

// Converts every selected cell after asking with `label`.
void ConvertSelection(EditSession& s, Conversion conversion, std::string_view label);

// The clipboard text of a clip: one line per row, each made by the record
// writer with the separator (cells simply joined without one), lines joined
// by CR LF without a break after the last.
std::string ClipText(const StringGrid& copy, Separator sep);

// A clipboard text as a plain grid: one row per record, as many columns as
// the longest record, shorter records padded with empty cells.
void ClipboardToGrid(std::string_view text, Separator sep, StringGrid& out);

} // namespace tabulix
