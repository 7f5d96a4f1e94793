#include "platform/windows/MessageTarget.h"

namespace quorvel::win {
namespace {

LRESULT CALLBACK routeToTarget(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        // The message parameters carry pointers as integers.
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);  // NOLINT(performance-no-int-to-ptr)
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    // NOLINTNEXTLINE(performance-no-int-to-ptr): the user data holds the target's address
    auto* target = reinterpret_cast<MessageTarget*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    }
    if (target == nullptr) {
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    return target->onMessage(window, message, wParam, lParam);
}

}  // namespace

HWND createTargetWindow(MessageTarget& target, const TargetClass& windowClass, DWORD exStyle, DWORD style,
                        HWND parent) {
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof(existing);
    if (::GetClassInfoExW(instance, windowClass.name, &existing) == FALSE) {
        WNDCLASSEXW description{};
        description.cbSize = sizeof(description);
        description.style = windowClass.style;
        description.lpfnWndProc = &routeToTarget;
        description.hInstance = instance;
        description.hIcon = windowClass.icon;
        description.hIconSm = windowClass.icon;
        description.hCursor = ::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        description.hbrBackground = windowClass.background;
        description.lpszClassName = windowClass.name;
        if (::RegisterClassExW(&description) == 0) {
            return nullptr;
        }
    }
    return ::CreateWindowExW(exStyle, windowClass.name, L"", style, 0, 0, 0, 0, parent, nullptr, instance, &target);
}

}  // namespace quorvel::win
