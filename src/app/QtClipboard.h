#pragma once

#include "table/UserDialogs.h"

namespace tabulix {

// The system clipboard through Qt.
class QtClipboard final : public Clipboard {
public:
    std::string text() const override;
    bool hasText() const override;
    void setText(std::string_view text) override;
    void clear() override;
};

} // namespace tabulix
