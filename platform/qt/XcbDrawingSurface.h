#pragma once

#include <QImage>
#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <span>

#include "platform/SurfaceProperties.h"
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
class XcbDrawingSurface final : public QWidget, public SurfaceProperties {
    Q_OBJECT

public:
    // A surface in `parent`, or null when the application does not run on X11 or the
    // server refuses what the surface needs (a true-colour window, a pixmap, graphics
    // contexts); the caller then uses another surface.
    static XcbDrawingSurface* create(QWidget* parent);

    void place(int left, int top, int width, int height) override;
    void lineTo(LogicalPoint to, std::optional<Colour> colour) override;
    void seriesTo(float firstX, std::span<const float> ys, std::optional<Colour> colour) override;
    void line(LogicalPoint from, LogicalPoint to, Colour colour) override;
    void clear() override;
    void refresh() override;

    void setInputListener(InputListener* listener) override { input_.setListener(listener); }

    // The persistent image read back from the server, as 0xRRGGBB pixels.
    [[nodiscard]] QImage picture();
    // The drawing area inside the border, in widget coordinates.
    [[nodiscard]] QRect drawingArea() const;
    // A position in the widget in logical units, as input events carry it.
    [[nodiscard]] LogicalPoint toLogical(QPointF position) const;
    // Receives what a listener throws, since nothing may cross Qt's event loop. By
    // default the error is written to standard error and the process ends with status 1.
    void setErrorHandler(std::function<void(std::exception_ptr)> handler);

    // Qt does not paint this widget: the pixmap is copied to its window instead.
    [[nodiscard]] QPaintEngine* paintEngine() const override { return nullptr; }

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
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

    explicit XcbDrawingSurface(QWidget* parent);
    void attach(xcb_connection_t* connection);
    void bindWindow();
    void trackMoves();
    [[nodiscard]] double ratio() const;
    [[nodiscard]] int device(int logical) const;
    [[nodiscard]] int borderWidth() const;
    [[nodiscard]] DeviceMapping mapping() const;
    void fitImage();
    [[nodiscard]] DevicePoint toDevice(LogicalPoint point) const;
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
    SurfaceInput input_;
    bool presentPending_ = false;
    QPointer<QWidget> tracked_;  // the form's window, whose moves over this widget are passed on
};

}  // namespace quorvel
