#pragma once

#include <QImage>
#include <QWidget>

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <span>

#include "platform/DrawingSurface.h"
#include "platform/qt/LineRaster.h"
#include "platform/qt/SurfaceInput.h"
#include "platform/qt/XcbCanvas.h"
#include "platform/qt/XcbPixelFormat.h"

namespace quorvel {

// The drawing surface as a native child window on the X server that the application is
// connected to. The persistent image is a pixmap on the server, drawn with core requests;
// a redraw queues a few requests and one copy to the window, sent together when the
// event loop is about to wait. Qt does not paint the window: an expose copies the pixmap
// again. Input comes through Qt, as for QtDrawingSurface, and behaves the same.
class XcbDrawingSurface final : public QWidget, public DrawingSurface {
    Q_OBJECT

public:
    // A surface in `parent`, or null when the application does not run on X11 or the
    // server refuses what the surface needs (a true-colour window, a pixmap, graphics
    // contexts); the caller then uses another surface.
    static XcbDrawingSurface* create(QWidget* parent);

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

    // The persistent image read back from the server, as 0xRRGGBB pixels.
    [[nodiscard]] QImage picture();
    // The drawing area inside the border, in widget coordinates.
    [[nodiscard]] QRect drawingArea() const;
    // Receives what a listener throws, since nothing may cross Qt's event loop. By
    // default the error is written to standard error and the process ends with status 1.
    void setErrorHandler(std::function<void(std::exception_ptr)> handler);

    // Qt does not paint this widget: the pixmap is copied to its window instead.
    [[nodiscard]] QPaintEngine* paintEngine() const override { return nullptr; }

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    struct DeviceMapping {
        AxisMapping x;
        AxisMapping y;
    };

    explicit XcbDrawingSurface(QWidget* parent);
    void attach(xcb_connection_t* connection);
    void bindWindow();
    [[nodiscard]] double ratio() const;
    [[nodiscard]] int device(int logical) const;
    [[nodiscard]] int borderWidth() const;
    [[nodiscard]] DeviceMapping mapping() const;
    void fitImage();
    [[nodiscard]] DevicePoint toDevice(LogicalPoint point) const;
    [[nodiscard]] LogicalPoint toLogical(QPointF position) const;
    [[nodiscard]] std::uint32_t pixelOf(Colour colour) const;
    [[nodiscard]] std::uint32_t pixelOf(const QColor& colour) const;
    XcbCanvas& canvasFor(Colour colour);
    void drawn();
    void present(bool everything);
    void paintBorder(xcb_window_t window);

    xcb_connection_t* connection_ = nullptr;
    std::unique_ptr<XcbCanvas> canvas_;
    xcb_window_t root_ = 0;
    std::uint8_t depth_ = 0;
    xcb_window_t window_ = 0;
    XcbPixelFormat format_;
    std::vector<DevicePoint> points_;
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
    SurfaceInput input_;
    bool presentPending_ = false;
};

}  // namespace quorvel
