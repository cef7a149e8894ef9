#pragma once

#include "table/UserDialogs.h"

#include <string_view>

namespace tabulix {

// The open dialog for a workbook: it starts in the folder of the workbook
// read last (the program's folder before the first), and lists the
// workbook types first, then .xls files, then every file.
FileDialogRequest OpenWorkbookRequest(std::string_view lastWorkbookPath,
                                      std::string_view programFolder);

} // namespace tabulix
