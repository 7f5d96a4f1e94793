#pragma once

#include <vector>

#include "platform/PopupMenu.h"

class QAction;
class QMenu;

namespace quorvel {

// Adds one action per entry to `menu` ("-" a separator) and returns them in entry order.
std::vector<QAction*> addMenuEntries(QMenu& menu, const std::vector<MenuEntry>& entries);

class QtPopupMenu final : public PopupMenu {
public:
    int popupAtCursor(const std::vector<MenuEntry>& entries) override;
};

}  // namespace quorvel
