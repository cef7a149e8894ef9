#include "edit/EditState.h"

#include <algorithm>

namespace tabulix {

bool CellRange::contains(int col, int row) const {
    if (left < 0 || top < 0) return false;
    const CellRange n = normalised();
    return col >= n.left && col <= n.right && row >= n.top && row <= n.bottom;
}

CellRange CellRange::normalised() const {
    return CellRange{std::min(left, right), std::min(top, bottom), std::max(left, right),
                     std::max(top, bottom)};
}

void EditState::forgetForReset() {
    forgetClick();
    operationRange.clear();
    clipRange.clear();
    clipKind = ClipKind::None;
    rememberedView.clear();
}

} // namespace tabulix
