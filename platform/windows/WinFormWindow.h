#pragma once

#include <string>

#include "platform/FormWindow.h"
#include "platform/windows/MessageTarget.h"
#include "platform/windows/SystemLibraries.h"
#include "platform/windows/TwipsScale.h"

namespace quorvel {

// The main window: a pop-up window without frame while its caption is empty, with a
// title bar otherwise. Its one child (the graph surface) is placed by the owner.
class WinFormWindow final : public FormWindow, private win::MessageTarget {
public:
    explicit WinFormWindow(win::SystemLibraries& libraries);
    ~WinFormWindow() override;
    WinFormWindow(const WinFormWindow&) = delete;
    WinFormWindow& operator=(const WinFormWindow&) = delete;

    [[nodiscard]] HWND handle() const noexcept { return window_; }

    void setEvents(FormEvents* events) override { events_ = events; }

    void setCaption(const std::string& caption) override;
    [[nodiscard]] std::string caption() const override { return caption_; }

    [[nodiscard]] Placement placement() const override;
    void setPlacement(const Placement& placement) override;
    [[nodiscard]] int clientPixelWidth() const override;
    [[nodiscard]] int clientPixelHeight() const override;
    [[nodiscard]] bool isOnAnyScreen(const Placement& placement) const override;
    void moveToDefaultPosition() override;

    void show() override;
    bool setStaysOnTop(bool onTop) override;
    void startInteractiveMove() override;

    // Twips and pixels at the system's resolution as the process started, on every monitor.
    [[nodiscard]] TwipsScale scale() const;

    // The window styles for a caption: a pop-up exactly while it is empty.
    [[nodiscard]] static DWORD StyleFor(const std::string& caption);

private:
    LRESULT onMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    void reportMouseDown(std::int16_t button, WPARAM keys, LPARAM position);
    // Runs the owner's unload step, the first time only.
    void unloadOnce();
    [[nodiscard]] RECT pixelRect(const Placement& placement) const;
    [[nodiscard]] static int SystemDpi();

    win::SystemLibraries& libraries_;
    const int systemDpi_;
    HWND window_ = nullptr;
    // Set while setPlacement moves the window, which may take it to another monitor.
    bool placing_ = false;
    FormEvents* events_ = nullptr;
    bool unloaded_ = false;
    std::string caption_;
};

}  // namespace quorvel
