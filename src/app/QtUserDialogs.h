#pragma once

#include "table/UserDialogs.h"

#include <memory>

class QWidget;
class QMessageBox;
class QCoreApplication;

namespace tabulix {

enum class MessageKind { Information, Question, Confirmation, QuestionWithCancel, Error };

// Builds the message box the program shows for a text of one kind, not yet
// shown: caption, icon and standard buttons of that kind.
std::unique_ptr<QMessageBox> makeMessageBox(MessageKind kind, std::string_view text,
                                            QWidget* parent);

// Loads Qt's own Japanese translation so that standard buttons read はい,
// いいえ, キャンセル and OK. Returns whether it was found.
bool installJapaneseTranslation(QCoreApplication& app);

// The real dialogs: message boxes and file dialogs over `parent`.
class QtUserDialogs final : public UserDialogs {
public:
    explicit QtUserDialogs(QWidget* parent = nullptr) : parent_(parent) {}
    // The window the dialogs are modal over.
    void setParentWindow(QWidget* parent) { parent_ = parent; }

    void information(std::string_view text) override;
    bool question(std::string_view text) override;
    bool confirm(std::string_view text) override;
    Answer questionYesNoCancel(std::string_view text) override;
    void error(std::string_view text) override;
    std::optional<std::string> openFile(const FileDialogRequest& request) override;
    std::optional<std::string> saveFile(const FileDialogRequest& request) override;

private:
    int run(MessageKind kind, std::string_view text);
    QWidget* parent_;
};

} // namespace tabulix
