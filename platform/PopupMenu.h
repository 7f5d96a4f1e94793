#pragma once

#include <string>
#include <vector>

namespace quorvel {

// One entry of a pop-up menu; "-" as the caption makes a separator line.
// An "&" marks the access key that follows it.
struct MenuEntry {
    std::string caption;
    bool checked = false;
};

class PopupMenu {
public:
    virtual ~PopupMenu() = default;
    // Shows the entries at the mouse position and waits; returns the index of the
    // chosen entry, or -1 when the menu was dismissed.
    virtual int popupAtCursor(const std::vector<MenuEntry>& entries) = 0;
};

}  // namespace quorvel
