#include "search/ResultsFile.h"

#include "csv/CsvDialogRequests.h"
#include "text/TextHelpers.h"

#include <filesystem>

namespace tabulix {

FileDialogRequest SaveResultsRequest(std::string_view pathSelectFile,
                                     std::string_view programFolder) {
    namespace fs = std::filesystem;
    const std::string_view remembered = TrimBlanks(pathSelectFile);
    const fs::path name = remembered.empty() ? fs::path(std::string(programFolder)) / "*.csv"
                                             : fs::path(std::string(remembered));
    const std::string extension = name.extension().string();
    std::string filters;
    if (!extension.empty() && extension != ".")
        filters = "(*" + extension + ")|*" + extension + "|";
    filters += "(*.csv)|*.csv|(*.csv; *.txt)|*.csv; *.txt|(*.txt)|*.txt|(*.*)|*.*";
    return FileDialogRequest{"検索結果を指定のファイル名で保存します。", QtNameFilters(filters),
                             name.parent_path().string(), name.filename().string(), "csv"};
}

} // namespace tabulix
