#pragma once

#include "table/UserDialogs.h"

#include <optional>
#include <string>
#include <string_view>

namespace tabulix {

// Answers every question of a command the same way (Yes, or No and Cancel),
// picks no file and shows nothing: the benchmarks time commands, not dialogs.
class FixedAnswerDialogs final : public UserDialogs {
public:
    explicit FixedAnswerDialogs(bool yes) : yes_(yes) {}

    void information(std::string_view) override {}
    bool question(std::string_view) override { return yes_; }
    bool confirm(std::string_view) override { return yes_; }
    Answer questionYesNoCancel(std::string_view) override {
        return yes_ ? Answer::Yes : Answer::Cancel;
    }
    void error(std::string_view) override {}
    std::optional<std::string> openFile(const FileDialogRequest&) override { return {}; }
    std::optional<std::string> saveFile(const FileDialogRequest&) override { return {}; }

private:
    bool yes_;
};

} // namespace tabulix
