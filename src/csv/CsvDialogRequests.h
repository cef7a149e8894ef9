#pragma once

#include "table/UserDialogs.h"

#include <string>
#include <string_view>

namespace tabulix {

// Where the open and save dialogs for CSV files start: the current file when
// there is one, otherwise the folder and extension of the last edited file,
// otherwise the program's folder and ".csv". The extension of that start
// comes first in the filter list.
FileDialogRequest OpenCsvRequest(std::string_view currentPath, std::string_view lastEditPath,
                                 std::string_view programFolder);
FileDialogRequest SaveCsvRequest(std::string_view currentPath, std::string_view lastEditPath,
                                 std::string_view programFolder);

// The filter list "desc|pattern|desc|pattern..." as Qt name filters separated
// by ";;": "(*.csv)|*.csv" gives "(*.csv)"; patterns are separated by blanks
// and "*.*" matches every file.
std::string QtNameFilters(std::string_view filterList);

// ".csv" appended to a file name without an extension.
std::string WithCsvExtension(std::string_view path);

} // namespace tabulix
