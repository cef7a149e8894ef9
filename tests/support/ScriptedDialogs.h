#pragma once

#include "table/UserDialogs.h"

#include <deque>
#include <string>
#include <vector>

namespace tabulix {

// Answers the program's questions from a script and records every text shown.
// A question without a scripted answer fails the running test and is answered
// No (Cancel for three-way questions), so a test never hangs on a dialog.
class ScriptedDialogs final : public UserDialogs {
public:
    struct Shown {
        std::string
            kind; // "information", "question", "confirm", "yesNoCancel", "error", "open", "save"
        std::string text; // message text, or the dialog title
        FileDialogRequest request{};
    };

    void answer(Answer a) { answers_.push_back(a); }
    void answerFile(std::optional<std::string> path) { files_.push_back(std::move(path)); }

    const std::vector<Shown>& shown() const { return shown_; }
    // Texts of the message boxes only, in order.
    std::vector<std::string> messages() const;
    bool scriptUsedUp() const { return answers_.empty() && files_.empty(); }

    void information(std::string_view text) override;
    bool question(std::string_view text) override;
    bool confirm(std::string_view text) override;
    Answer questionYesNoCancel(std::string_view text) override;
    void error(std::string_view text) override;
    std::optional<std::string> openFile(const FileDialogRequest& request) override;
    std::optional<std::string> saveFile(const FileDialogRequest& request) override;

private:
    Answer next(Answer fallback);
    std::optional<std::string> nextFile(const char* kind, const FileDialogRequest& request);

    std::deque<Answer> answers_;
    std::deque<std::optional<std::string>> files_;
    std::vector<Shown> shown_;
};

} // namespace tabulix
