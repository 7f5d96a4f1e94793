#include "platform/windows/WinPopupMenu.h"

#include <string>

#include "common/RuntimeError.h"
#include "platform/windows/AnsiText.h"
#include "platform/windows/ScopedHandle.h"

namespace quorvel {
namespace {

struct MenuTraits {
    using Handle = HMENU;
    static Handle none() { return nullptr; }
    static void close(Handle menu) { ::DestroyMenu(menu); }
};

}  // namespace

UINT MenuItemFlags(const MenuEntry& entry) {
    if (entry.caption == "-") {
        return MF_SEPARATOR;
    }
    return MF_STRING | (entry.checked ? MF_CHECKED : MF_UNCHECKED);
}

int WinPopupMenu::popupAtCursor(const std::vector<MenuEntry>& entries) {
    const win::ScopedHandle<MenuTraits> menu(::CreatePopupMenu());
    if (!menu.valid()) {
        throw RuntimeError(ErrorKind::PlatformUnavailable, "the pop-up menu could not be created");
    }
    // Command n + 1 stands for entry n: 0 is what the menu returns when nothing was chosen.
    UINT_PTR command = 1;
    for (const MenuEntry& entry : entries) {
        const std::wstring caption = ProgramTextToWide(entry.caption);
        const UINT flags = MenuItemFlags(entry);
        const wchar_t* text = (flags & MF_SEPARATOR) != 0 ? nullptr : caption.c_str();
        if (::AppendMenuW(menu.get(), flags, command++, text) == FALSE) {
            throw RuntimeError(ErrorKind::PlatformUnavailable, "the pop-up menu refused an item");
        }
    }
    POINT at{};
    ::GetCursorPos(&at);
    // The menu takes keys only while its owner is the foreground window.
    ::SetForegroundWindow(owner_);
    // Top-left corner at the mouse; the items react to the left button only. The chosen
    // command comes back as the result rather than as a message.
    const BOOL chosen =
        ::TrackPopupMenu(menu.get(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY, at.x,
                         at.y, 0, owner_, nullptr);
    // Lets the menu close properly when the user next clicks elsewhere.
    ::PostMessageA(owner_, WM_NULL, 0, 0);
    if (chosen <= 0 || static_cast<std::size_t>(chosen) > entries.size()) {
        return -1;
    }
    return static_cast<int>(chosen) - 1;
}

}  // namespace quorvel
