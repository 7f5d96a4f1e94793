#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/HoverTip.h"
#include "platform/windows/GdiHandles.h"
#include "platform/windows/SystemHeaders.h"

namespace quorvel {

class GdiDrawingSurface;

namespace win {
class SystemLibraries;
}

// The graph's read-out in a tooltip control of the common controls, beside the pointer
// over the surface's window. The tooltip tracks: the program opens, moves and closes it
// itself. It watches the surface's mouse messages through the surface's message hook,
// and hands every one on, so the surface's own input handling stays as it is.
//
// The pointer resting on the surface, no button down, opens the tip after a short wait;
// while open it follows the pointer, and the source is asked again at every move and at
// every sourceChanged(). Leaving the window or pressing any button closes it. While
// the pointer is off the window nothing runs: no timer, and sourceChanged() returns.
class WinHoverTip final : public HoverTip {
public:
    // How long the pointer rests before the tip opens, in milliseconds.
    static constexpr unsigned kRestMilliseconds = 500;

    WinHoverTip(GdiDrawingSurface& surface, win::SystemLibraries& libraries);
    WinHoverTip(const WinHoverTip&) = delete;
    WinHoverTip& operator=(const WinHoverTip&) = delete;
    WinHoverTip(WinHoverTip&&) = delete;
    WinHoverTip& operator=(WinHoverTip&&) = delete;
    ~WinHoverTip() override;

    void setSource(ReadOutSource* source) override;
    void sourceChanged() override;

    // The tooltip control; null until the tip first opens.
    [[nodiscard]] HWND tooltip() const noexcept { return tip_; }

    // Where a tip of `size` stands for the pointer at `pointer` (screen coordinates):
    // `offset` below and to the right of it, or on the other side of the pointer where
    // that side leaves the work area, and never beyond the work area's top or left.
    [[nodiscard]] static POINT placeBeside(POINT pointer, SIZE size, SIZE offset, RECT workArea);

private:
    static LRESULT CALLBACK ownerProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    [[nodiscard]] std::optional<LRESULT> surfaceMessage(UINT message, WPARAM wParam, LPARAM lParam);
    [[nodiscard]] std::optional<LRESULT> notified(LPARAM lParam);
    void handle(UINT message, WPARAM wParam, LPARAM lParam);
    void pointerMoved(POINT at, WPARAM keys);
    void rested();
    void show();
    void close();
    void stopWaiting();
    void makeTip();
    void fitFont();
    [[nodiscard]] int monitorDpi() const;
    [[nodiscard]] std::wstring tipText() const;
    void paintSwatches(HDC dc) const;

    GdiDrawingSurface& surface_;
    win::SystemLibraries& libraries_;
    HWND window_ = nullptr;
    // A window of its own that never shows: it owns the tooltip and hears how it paints.
    HWND owner_ = nullptr;
    HWND tip_ = nullptr;
    ReadOutSource* source_ = nullptr;
    std::vector<ReadOutLine> lines_;
    std::wstring text_;
    win::GdiObject font_;
    int fontDpi_ = 0;
    // Leading spaces that leave room for a swatch, and the swatch's size, in the font.
    int roomSpaces_ = 0;
    int roomWidth_ = 0;
    int swatchSize_ = 0;
    // Where the pointer is over the window, and where it was last seen on the screen.
    POINT pointer_{};
    POINT screenPointer_{};
    bool inside_ = false;
    bool leaveTracked_ = false;
    bool waiting_ = false;
    bool open_ = false;
};

}  // namespace quorvel
