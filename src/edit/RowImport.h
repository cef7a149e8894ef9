#pragma once

#include <string>

namespace tabulix {

struct EditSession;

// Where the rows of an import come from.
struct ImportSource {
    bool fromFile = false;
    std::string clipboardText; // the clipboard's text when not from a file
    // The remembered "Path_SelectFile" (updated with the chosen file) and the
    // program's folder for the open dialog.
    std::string* selectFilePath = nullptr;
    std::string programFolder;
};

// Inserts the records of a CSV file or of the clipboard text at the clicked
// row, each split by the record grammar with the current separator (a TAB
// separator when the text holds a TAB, restored afterwards). Lines wider than
// the table may add columns after one question.
void ImportRows(EditSession& s, const ImportSource& source);

} // namespace tabulix
