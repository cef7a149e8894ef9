#include "text/MemoText.h"

namespace tabulix {

std::string MemoTextOf(std::string_view cell) {
    std::string out;
    out.reserve(cell.size());
    for (std::size_t i = 0; i < cell.size(); ++i) {
        const char c = cell[i];
        if (c == '\r') {
            out += '\n';
            if (i + 1 < cell.size() && cell[i + 1] == '\n') ++i;
        } else {
            out += c;
        }
    }
    return out;
}

std::string CellTextFromMemo(std::string_view oldText, std::string_view memoText) {
    if (MemoTextOf(oldText) == memoText) return std::string(oldText);
    std::string out;
    out.reserve(memoText.size() + 16);
    for (const char c : memoText) {
        if (c == '\n')
            out += "\r\n";
        else
            out += c;
    }
    return out;
}

} // namespace tabulix
