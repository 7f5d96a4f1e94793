#pragma once

#include "platform/windows/SystemHeaders.h"

namespace quorvel::win {

// An object that handles the messages of a window it created with createTargetWindow.
// Its address travels in the creation parameter and stays in the window's user data
// until the window is destroyed. A handler never lets an exception out.
class MessageTarget {
public:
    virtual LRESULT onMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) = 0;

protected:
    MessageTarget() = default;
    MessageTarget(const MessageTarget&) = default;
    MessageTarget& operator=(const MessageTarget&) = default;
    ~MessageTarget() = default;
};

// The windows are Unicode windows: the text of their title bars is not bound to the
// ANSI code page.
struct TargetClass {
    const wchar_t* name;
    UINT style = 0;
    HICON icon = nullptr;
    HBRUSH background = nullptr;
};

// Registers the class on first use in this process, then creates a window of it whose
// messages go to `target`. Returns null when the system refuses either.
HWND createTargetWindow(MessageTarget& target, const TargetClass& windowClass, DWORD exStyle, DWORD style, HWND parent);

}  // namespace quorvel::win
