#include "table/TableRecords.h"

namespace tabulix {

void TCsvFileInf::clear() {
    if (!loaded) return;
    loaded = false;
    currentLine = 0;
}

} // namespace tabulix
