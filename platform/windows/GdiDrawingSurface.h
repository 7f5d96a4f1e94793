#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <optional>
#include <span>
#include <utility>
#include <vector>

#include "platform/DeviceScale.h"
#include "platform/SurfaceProperties.h"
#include "platform/windows/GdiHandles.h"
#include "platform/windows/GdiPenCache.h"
#include "platform/windows/GdiSurfaceInput.h"
#include "platform/windows/SystemLibraries.h"

namespace quorvel {

// The drawing surface as a child window of its own class. Everything is drawn with GDI
// into a persistent image of the drawing area (the window less its border): a 32-bit
// top-down DIB section selected into a memory DC, which WM_PAINT copies to the window.
// Drawing and refresh only invalidate the window, without erasing it. Input messages
// reach the listener with X and Y in logical units. The owner places it with place().
//
// Sizes are the window's own pixels. Pen widths, dash lengths and the border, given in
// the platform's pixels of a 96-dpi screen, are drawn as many times wider as the
// window's screen has more pixels per inch (DeviceScale).
//
// Without a parent there is no window at all: the image alone, for tests.
class GdiDrawingSurface final : public SurfaceProperties {
public:
    explicit GdiDrawingSurface(HWND parent);
    GdiDrawingSurface(const GdiDrawingSurface&) = delete;
    GdiDrawingSurface& operator=(const GdiDrawingSurface&) = delete;
    GdiDrawingSurface(GdiDrawingSurface&&) = delete;
    GdiDrawingSurface& operator=(GdiDrawingSurface&&) = delete;
    ~GdiDrawingSurface() override;

    void place(int left, int top, int width, int height) override;
    void lineTo(LogicalPoint to, std::optional<Colour> colour) override;
    void seriesTo(float firstX, std::span<const float> ys, std::optional<Colour> colour) override;
    void line(LogicalPoint from, LogicalPoint to, Colour colour) override;
    void clear() override;
    void refresh() override;

    void setInputListener(InputListener* listener) override { input_.setListener(listener); }

    // The surface's child window; null without a parent.
    [[nodiscard]] HWND handle() const noexcept { return window_; }
    // Receives what an input listener throws, since nothing may cross the window
    // procedure. By default the error is written to standard error and the process ends
    // with status 1.
    void setErrorHandler(std::function<void(std::exception_ptr)> handler);
    // Sees each message of the window before the surface does: an answer ends the
    // message there, none hands it on to the surface. What it throws goes to the error
    // handler. An empty hook removes it.
    using MessageHook = std::function<std::optional<LRESULT>(UINT message, WPARAM wParam, LPARAM lParam)>;
    void setMessageHook(MessageHook hook) { hook_ = std::move(hook); }
    // A point of the window's client area in logical units, as the listener gets it.
    [[nodiscard]] LogicalPoint toLogical(int x, int y) const;

    // The image of the drawing area: 0x00RRGGBB, row by row from the top.
    [[nodiscard]] std::vector<std::uint32_t> picture() const;
    [[nodiscard]] int pictureWidth() const noexcept { return imageWidth_; }
    [[nodiscard]] int pictureHeight() const noexcept { return imageHeight_; }
    // The drawing area inside the border, in the window's pixels.
    [[nodiscard]] RECT drawingArea() const;
    [[nodiscard]] DeviceScale deviceScale() const noexcept { return scale_; }
    // How many pens the surface has made so far: a redraw in the same colours makes none.
    [[nodiscard]] std::size_t pensCreated() const noexcept { return pens_.created(); }

private:
    void enabledChanged(bool enabled) override;
    void fontChanged(const FontObject& font) override;
    void borderChanged() override;
    static LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void paint();
    void paintBorder(HDC dc) const;

    [[nodiscard]] int borderWidth() const;
    [[nodiscard]] DeviceScale screenScale();
    void fitImage();
    [[nodiscard]] POINT toDevice(LogicalPoint point) const;
    [[nodiscard]] COLORREF colourOf(Colour colour) const;
    [[nodiscard]] bool drawsAnything() const;
    void selectPen(Colour colour);
    void drawn();

    win::SystemLibraries libraries_;
    HWND window_ = nullptr;
    int windowWidth_ = 0;
    int windowHeight_ = 0;
    win::MemoryDc dc_;
    HGDIOBJ originalBitmap_ = nullptr;
    HGDIOBJ originalFont_ = nullptr;
    win::GdiObject image_;
    std::uint32_t* bits_ = nullptr;
    int imageWidth_ = 0;
    int imageHeight_ = 0;
    win::GdiObject gdiFont_;
    win::GdiPenCache pens_;
    std::vector<POINT> points_;
    DeviceScale scale_;
    GdiSurfaceInput input_;
    MessageHook hook_;
    bool paintPending_ = false;
};

}  // namespace quorvel
