#pragma once

#include <string>
#include <string_view>

namespace tabulix {

// The cell memo's text rules. A cell may hold line breaks; the memo shows
// each as a line.

// A cell's text as the memo shows it: every line break (CR LF, CR, LF) one LF.
std::string MemoTextOf(std::string_view cell);

// What a cell holds after the memo: the old text byte for byte when its lines
// were not changed (a cell read with LF breaks stays LF), otherwise the
// memo's lines joined by CR LF.
std::string CellTextFromMemo(std::string_view oldText, std::string_view memoText);

} // namespace tabulix
