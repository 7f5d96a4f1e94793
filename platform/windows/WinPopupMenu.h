#pragma once

#include "platform/PopupMenu.h"
#include "platform/windows/SystemHeaders.h"

namespace quorvel {

// The system's pop-up menu, owned by a window that takes the keyboard while it is open.
class WinPopupMenu final : public PopupMenu {
public:
    explicit WinPopupMenu(HWND owner) : owner_(owner) {}

    int popupAtCursor(const std::vector<MenuEntry>& entries) override;

private:
    HWND owner_;
};

// The menu's flags for one entry: a separator, or a string that may carry a check mark.
UINT MenuItemFlags(const MenuEntry& entry);

}  // namespace quorvel
