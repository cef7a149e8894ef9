#pragma once

#include <QStringView>

namespace tabulix {

// Whether the command behind a control or menu item (by object name) is
// built. A control whose command is not built stays disabled whatever
// enabling asks for, so nothing is ever wired to a fake.
bool isCommandBuilt(QStringView objectName);

} // namespace tabulix
