#include "edit/DragScroll.h"

#include <cstdlib>

namespace tabulix {

DragStep DragScrollStep(const DragAxis& a) {
    if (std::abs(a.pointer - a.press) < a.threshold) return {};
    if (a.pointer <= a.firstEdge && a.first > a.fixedCount) return {DragMove::ScrollBack, -1};
    if (a.pointer >= a.lastEdge && a.lastVisible < a.lastLine)
        return {DragMove::ScrollOn, a.lastVisible};
    if (a.hover >= a.fixedCount && a.hover <= a.lastLine) return {DragMove::Follow, a.hover};
    return {};
}

} // namespace tabulix
