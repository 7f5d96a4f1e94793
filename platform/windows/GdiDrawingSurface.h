#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "platform/DeviceScale.h"
#include "platform/DrawingSurface.h"
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
class GdiDrawingSurface final : public DrawingSurface {
public:
    explicit GdiDrawingSurface(HWND parent);
    GdiDrawingSurface(const GdiDrawingSurface&) = delete;
    GdiDrawingSurface& operator=(const GdiDrawingSurface&) = delete;
    GdiDrawingSurface(GdiDrawingSurface&&) = delete;
    GdiDrawingSurface& operator=(GdiDrawingSurface&&) = delete;
    ~GdiDrawingSurface() override;

    void place(int left, int top, int width, int height) override;
    [[nodiscard]] float scaleWidth() const override { return scaleWidth_; }
    void setScaleWidth(float width) override;
    [[nodiscard]] float scaleHeight() const override { return scaleHeight_; }
    void setScaleHeight(float height) override;
    [[nodiscard]] LogicalPoint penPosition() const override { return pen_; }
    void setPenPosition(LogicalPoint position) override { pen_ = position; }
    void lineTo(LogicalPoint to, std::optional<Colour> colour) override;
    void seriesTo(float firstX, std::span<const float> ys, std::optional<Colour> colour) override;
    void line(LogicalPoint from, LogicalPoint to, Colour colour) override;
    void clear() override;
    void refresh() override;

    [[nodiscard]] Colour foreColor() const override { return foreColor_; }
    void setForeColor(Colour colour) override { foreColor_ = colour; }
    [[nodiscard]] Colour backColor() const override { return backColor_; }
    void setBackColor(Colour colour) override { backColor_ = colour; }
    [[nodiscard]] bool enabledState() const override { return enabled_; }
    void setEnabledState(bool enabled) override;
    [[nodiscard]] bool persistentImage() const override { return persistentImage_; }
    void setPersistentImage(bool on) override { persistentImage_ = on; }
    [[nodiscard]] FontRef fontObject() const override { return font_; }
    void setFontObject(FontRef font) override;
    [[nodiscard]] std::int16_t appearance() const override { return appearance_; }
    void setAppearance(std::int16_t appearance) override;
    [[nodiscard]] std::int16_t borderStyle() const override { return borderStyle_; }
    void setBorderStyle(std::int16_t style) override;
    [[nodiscard]] std::int16_t drawMode() const override { return drawMode_; }
    void setDrawMode(std::int16_t mode) override;
    [[nodiscard]] std::int16_t drawStyle() const override { return drawStyle_; }
    void setDrawStyle(std::int16_t style) override;
    [[nodiscard]] std::int16_t drawWidth() const override { return drawWidth_; }
    void setDrawWidth(std::int16_t width) override;
    void setInputListener(InputListener* listener) override { input_.setListener(listener); }

    // The surface's child window; null without a parent.
    [[nodiscard]] HWND handle() const noexcept { return window_; }
    // Receives what an input listener throws, since nothing may cross the window
    // procedure. By default the error is written to standard error and the process ends
    // with status 1.
    void setErrorHandler(std::function<void(std::exception_ptr)> handler);

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
    static LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void paint();
    void paintBorder(HDC dc) const;

    [[nodiscard]] int borderWidth() const;
    [[nodiscard]] DeviceScale screenScale();
    void fitImage();
    [[nodiscard]] POINT toDevice(LogicalPoint point) const;
    [[nodiscard]] LogicalPoint toLogical(int x, int y) const;
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
    float scaleWidth_ = 125.0F;
    float scaleHeight_ = 85.0F;
    LogicalPoint pen_;
    Colour foreColor_ = buttonTextColour;
    Colour backColor_ = 0;
    bool enabled_ = true;
    bool persistentImage_ = false;
    FontRef font_;
    std::int16_t appearance_ = 1;
    std::int16_t borderStyle_ = 1;
    std::int16_t drawMode_ = 13;
    std::int16_t drawStyle_ = 0;
    std::int16_t drawWidth_ = 1;
    GdiSurfaceInput input_;
    bool paintPending_ = false;
};

}  // namespace quorvel
