#include "ScriptedDialogs.h"

#include <gtest/gtest.h>

namespace tabulix {

std::vector<std::string> ScriptedDialogs::messages() const {
    std::vector<std::string> texts;
    for (const Shown& s : shown_)
        if (s.kind != "open" && s.kind != "save") texts.push_back(s.text);
    return texts;
}

Answer ScriptedDialogs::next(Answer fallback) {
    if (answers_.empty()) {
        ADD_FAILURE() << "unscripted question: " << shown_.back().text;
        return fallback;
    }
    const Answer a = answers_.front();
    answers_.pop_front();
    return a;
}

void ScriptedDialogs::information(std::string_view text) {
    shown_.push_back({"information", std::string(text)});
}

bool ScriptedDialogs::question(std::string_view text) {
    shown_.push_back({"question", std::string(text)});
    return next(Answer::No) == Answer::Yes;
}

bool ScriptedDialogs::confirm(std::string_view text) {
    shown_.push_back({"confirm", std::string(text)});
    return next(Answer::No) == Answer::Yes;
}

Answer ScriptedDialogs::questionYesNoCancel(std::string_view text) {
    shown_.push_back({"yesNoCancel", std::string(text)});
    return next(Answer::Cancel);
}

void ScriptedDialogs::error(std::string_view text) {
    shown_.push_back({"error", std::string(text)});
}

std::optional<std::string> ScriptedDialogs::nextFile(const char* kind,
                                                     const FileDialogRequest& request) {
    shown_.push_back({kind, request.title, request});
    if (files_.empty()) {
        ADD_FAILURE() << "unscripted file dialog: " << request.title;
        return std::nullopt;
    }
    auto path = files_.front();
    files_.pop_front();
    return path;
}

std::optional<std::string> ScriptedDialogs::openFile(const FileDialogRequest& request) {
    return nextFile("open", request);
}

std::optional<std::string> ScriptedDialogs::saveFile(const FileDialogRequest& request) {
    return nextFile("save", request);
}

} // namespace tabulix
