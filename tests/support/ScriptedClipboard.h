#pragma once

#include "table/UserDialogs.h"

namespace tabulix {

// A clipboard of its own, so tests never touch the system's.
class ScriptedClipboard final : public Clipboard {
public:
    std::string text() const override { return text_; }
    void setText(std::string_view text) override { text_ = std::string(text); }
    void clear() override { text_.clear(); }

private:
    std::string text_;
};

} // namespace tabulix
