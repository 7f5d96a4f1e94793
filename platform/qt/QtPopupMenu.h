#pragma once

#include "platform/PopupMenu.h"

namespace quorvel {

class QtPopupMenu final : public PopupMenu {
public:
    int popupAtCursor(const std::vector<MenuEntry>& entries) override;
};

}  // namespace quorvel
