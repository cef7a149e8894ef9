#pragma once

#include "table/UserDialogs.h"

#include <string>
#include <string_view>

namespace tabulix {

class PrintData;
struct PrintSettings;

inline constexpr std::string_view kExportFailedMessage = "出力ファイルの作成に失敗しました。";
inline constexpr std::string_view kBrowserFailedMessage = "ブラウザの起動を失敗しました。";

// The save dialogs of the print data: the stored path proposes the name;
// without one, the folder of the last CSV/text output, else the program's
// folder. The HTML dialog always proposes an HTML extension when it has no
// HTML path of its own, so that a page is never offered as a ".csv" file.
FileDialogRequest PrintCsvRequest(const PrintSettings& settings, bool tableMode,
                                  std::string_view programFolder);
FileDialogRequest PrintHtmlRequest(const PrintSettings& settings, std::string_view programFolder);

// Every row and column of the print data grid (zero-width ones included), one
// CR LF line a row, cells as they stand separated by ",". A cell holding a
// comma or a line break is enclosed in double quotes, its quotes doubled, so
// that the file reads back into the same cells.
std::string PrintDataCsv(const PrintData& data);

// `& < > "` as character references.
std::string HtmlEscape(std::string_view text);

// The print data as a UTF-8 HTML page: the style classes, the title lines,
// one table row for every printed row and one cell for every printed column,
// wrapped like the page, the heading rows repeated every 20 data rows and at
// the end. All texts are escaped. CR LF after every line.
std::string PrintDataHtml(const PrintData& data);

// The page shown in the browser: "<program name>_Temp.Html" beside the
// program when its folder is writable and the program is not installed,
// otherwise in `cacheFolder` (made when missing). Empty when neither can hold
// it.
std::string TemporaryHtmlPath(std::string_view programFile, std::string_view cacheFolder);

} // namespace tabulix
