#pragma once

#include "table/UserDialogs.h"

#include <string_view>

namespace tabulix {

// The save dialog for search results: it starts at the file last used for
// results (or the program's folder and "*.csv"), offers that file's extension
// first, and adds ".csv" to a name without an extension.
FileDialogRequest SaveResultsRequest(std::string_view pathSelectFile,
                                     std::string_view programFolder);

} // namespace tabulix
