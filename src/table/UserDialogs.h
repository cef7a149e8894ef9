#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tabulix {

enum class Answer { Yes, No, Cancel };

// What a file dialog shows: its title, the name filters (Qt form, separated
// by ";;"), the start folder and the proposed file name.
struct FileDialogRequest {
    std::string title;
    std::string filter;
    std::string folder;
    std::string name;
    std::string defaultSuffix; // added by the save dialog to a name without one
};

// Everything the program asks or tells the user. Texts are UTF-8 and kept as
// written ("\r\n" is a line break). The program shows real message boxes; the
// tests answer from a script and record every text.
class UserDialogs {
public:
    virtual ~UserDialogs() = default;

    // Notice: caption "確認", information icon, OK.
    virtual void information(std::string_view text) = 0;
    // Question: caption "確認", question icon, Yes/No.
    virtual bool question(std::string_view text) = 0;
    // Confirmation dialog: caption "確認", Yes/No.
    virtual bool confirm(std::string_view text) = 0;
    // Question with Yes/No/Cancel (the exit prompt).
    virtual Answer questionYesNoCancel(std::string_view text) = 0;
    // Error: caption "エラー", error icon, OK.
    virtual void error(std::string_view text) = 0;
    // Open dialog for an existing file; nothing when cancelled.
    virtual std::optional<std::string> openFile(const FileDialogRequest& request) = 0;
    // Save dialog that asks before overwriting; nothing when cancelled.
    virtual std::optional<std::string> saveFile(const FileDialogRequest& request) = 0;
};

// The system clipboard's text.
class Clipboard {
public:
    virtual ~Clipboard() = default;
    virtual std::string text() const = 0;
    // Whether it holds text, without fetching it.
    virtual bool hasText() const { return !text().empty(); }
    virtual void setText(std::string_view text) = 0;
    virtual void clear() = 0;
};

} // namespace tabulix
