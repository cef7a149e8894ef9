#include "workbook/WorkbookRequest.h"

#include "csv/CsvDialogRequests.h"
#include "text/TextHelpers.h"

#include <filesystem>

namespace tabulix {

FileDialogRequest OpenWorkbookRequest(std::string_view lastWorkbookPath,
                                      std::string_view programFolder) {
    std::string folder =
        std::filesystem::path(std::string(TrimBlanks(lastWorkbookPath))).parent_path().string();
    if (folder.empty()) folder = std::string(programFolder);
    return FileDialogRequest{"読み込む Excel ファイルを選択して下さい。",
                             QtNameFilters("(*.xlsx; *.xlsm; *.xls; *.ods)|*.xlsx; *.xlsm; *.xls; "
                                           "*.ods|(*.xls)|*.xls|(*.*)|*.*"),
                             folder,
                             {},
                             {}};
}

} // namespace tabulix
