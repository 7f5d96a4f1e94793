#pragma once

#include <QImage>
#include <QWidget>

#include <cstdint>
#include <exception>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "platform/DeviceScale.h"
#include "platform/SurfaceProperties.h"
#include "platform/qt/LineRaster.h"
#include "platform/qt/SurfaceInput.h"

namespace quorvel {

// The drawing surface as a picture box widget. Everything is drawn into a persistent
// image of the drawing area (the widget less its border), which paintEvent copies to the
// screen; drawing and refresh only schedule that copy. Input events reach the listener
// with X and Y in logical units. The owner places it with place() (the graph control
// does so on resize) rather than through a layout.
//
// The image has the screen's device resolution: the logical scale maps onto device
// pixels, and pen widths and the border, given in the platform's pixels, are drawn
// device-pixel-ratio times as wide (DeviceScale). When the window moves to a screen of
// another ratio, the image is made anew at that ratio, holding the old picture enlarged
// or reduced until the owner's next drawing replaces it.
class QtDrawingSurface final : public QWidget, public SurfaceProperties {
    Q_OBJECT

public:
    explicit QtDrawingSurface(QWidget* parent = nullptr);

    void place(int left, int top, int width, int height) override;
    void lineTo(LogicalPoint to, std::optional<Colour> colour) override;
    void seriesTo(float firstX, std::span<const float> ys, std::optional<Colour> colour) override;
    void line(LogicalPoint from, LogicalPoint to, Colour colour) override;
    void clear() override;
    void refresh() override;

    void setInputListener(InputListener* listener) override { input_.setListener(listener); }

    // The persistent image: the drawing area's device pixels.
    [[nodiscard]] const QImage& picture() const noexcept { return image_; }
    // The drawing area inside the border, in the widget's device pixels.
    [[nodiscard]] QRect drawingArea() const;
    // The device pixel ratio that the image is made for.
    [[nodiscard]] DeviceScale deviceScale() const noexcept { return scale_; }
    // A position in the widget in logical units, as input events carry it.
    [[nodiscard]] LogicalPoint toLogical(QPointF position) const;
    // Receives what a listener throws, since nothing may cross Qt's event loop. By
    // default the error is written to standard error and the process ends with status 1.
    void setErrorHandler(std::function<void(std::exception_ptr)> handler);

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
    void enabledChanged(bool enabled) override;
    void fontChanged(const FontObject& font) override;
    void borderChanged() override;
    struct DeviceMapping {
        AxisMapping x;
        AxisMapping y;
    };

    [[nodiscard]] int borderWidth() const;
    [[nodiscard]] bool ratioChanged() const;
    [[nodiscard]] DeviceMapping mapping() const;
    void fitImage();
    [[nodiscard]] DevicePoint toDevice(LogicalPoint point) const;
    [[nodiscard]] std::uint32_t pixelOf(Colour colour) const;
    LineRaster& rasterFor(Colour colour);
    void drawn();
    void paintBorder(QPainter& painter) const;

    QImage image_;
    DeviceScale scale_;
    LineRaster raster_;
    SurfaceInput input_;
    bool updatePending_ = false;
};

}  // namespace quorvel
