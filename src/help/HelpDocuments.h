#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tabulix {

// The document browser's display-free side: the browse list's item texts,
// numbered lines, the built-in help text and the help HTML file.

// The list item of a menu caption: one blank and the caption; a caption with
// "&" keeps only what stands before the character preceding it, trimmed
// ("終了(&X)" gives " 終了").
std::string BrowseItemText(std::string_view caption);

// Each line (the text split at CR LF, CR or LF) as five digits with leading
// zeros (the last five of a longer number), one blank and the line, CR LF.
std::string NumberedLines(std::string_view text);
// The lines joined with CR LF, without a break after the last.
std::string JoinedLines(std::string_view text);

// How to type column names into the fixed header rows.
std::string ColumnNameHelpText();

// One page of the help HTML: the list text and the document shown for it.
struct HelpPage {
    std::string listText;
    std::string document;
};

// The whole help HTML file: index, one page per entry and the jump to
// `startPage` (the selected entry, 1-based; 0 for the index). Texts are
// escaped and the file is UTF-8, lines ended by CR LF. `windowCaption` gives
// the heading (up to its first "[").
std::string HelpHtml(std::string_view baseCaption, std::string_view windowCaption,
                     const std::vector<HelpPage>& pages, int startPage);

// `& < > "` as entities.
std::string EscapeHtml(std::string_view text);

// Where the help HTML goes: beside the program when that folder can be
// written and the program is not installed, otherwise in `cacheFolder` (made
// when missing); the name is the program's name without extension +
// "_Help.Html". Empty when neither can hold it.
std::string HelpHtmlPath(const std::string& programFolder, const std::string& programName,
                         const std::string& cacheFolder);

} // namespace tabulix
