#pragma once

#include "platform/MessageDialog.h"
#include "platform/windows/SystemHeaders.h"

namespace quorvel {

// The system's message box, owned by the given window (or by none).
class WinMessageDialog final : public MessageDialog {
public:
    explicit WinMessageDialog(HWND owner = nullptr) : owner_(owner) {}

    void inform(const std::string& title, const std::string& text) override;

private:
    HWND owner_;
};

}  // namespace quorvel
