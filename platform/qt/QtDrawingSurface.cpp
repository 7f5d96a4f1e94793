#include "platform/qt/QtDrawingSurface.h"

#include <QFont>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QTransform>

#include <algorithm>
#include <memory>
#include <utility>

#include "platform/qt/SurfaceFont.h"
#include "platform/qt/SurfaceInput.h"
#include "platform/qt/SystemColour.h"

namespace quorvel {
QtDrawingSurface::QtDrawingSurface(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    font_ = std::make_shared<const FontObject>(fontObjectOf(QWidget::font()));
    fitImage();
}

QRect QtDrawingSurface::drawingArea() const {
    const int border = borderWidth();
    const int w = scale_.pixels(width());
    const int h = scale_.pixels(height());
    return {border, border, std::max(w - 2 * border, 0), std::max(h - 2 * border, 0)};
}

// In device pixels: a three-dimensional border is two lines deep, a flat one one line.
int QtDrawingSurface::borderWidth() const {
    if (borderStyle_ == 0) {
        return 0;
    }
    return (appearance_ == 1 ? 2 : 1) * scale_.pixels(1);
}

bool QtDrawingSurface::ratioChanged() const {
    return DeviceScale(devicePixelRatio()) != scale_;
}

// Keeps the image the size of the drawing area at the widget's device pixel ratio; what
// it held stays at the top left and new parts show the back colour. After a change of
// ratio the old picture is carried over enlarged or reduced, pixel for pixel rather than
// smoothed, so the graph neither vanishes nor blurs until it is drawn again.
void QtDrawingSurface::fitImage() {
    const DeviceScale previous = scale_;
    scale_ = DeviceScale(devicePixelRatio());
    const QSize size = drawingArea().size();
    if (image_.size() != size || scale_ != previous) {
        QImage resized(size, QImage::Format_RGB32);
        resized.fill(pixelOf(backColor_));
        if (!image_.isNull() && !resized.isNull()) {
            QPainter painter(&resized);
            const double factor = scale_.ratio() / previous.ratio();
            painter.drawImage(QRectF(0, 0, image_.width() * factor, image_.height() * factor), image_);
        }
        image_ = std::move(resized);
    }
    raster_.attach(image_.isNull() ? nullptr : reinterpret_cast<std::uint32_t*>(image_.bits()),
                   image_.isNull() ? 0 : image_.bytesPerLine() / 4, image_.width(), image_.height());
    update();
}

void QtDrawingSurface::place(int left, int top, int width, int height) {
    setGeometry(left, top, std::max(width, 0), std::max(height, 0));
    fitImage();
}

QtDrawingSurface::DeviceMapping QtDrawingSurface::mapping() const {
    return {{static_cast<double>(image_.width()) / scaleWidth_}, {static_cast<double>(image_.height()) / scaleHeight_}};
}

DevicePoint QtDrawingSurface::toDevice(LogicalPoint point) const {
    const DeviceMapping map = mapping();
    return {map.x(point.x), map.y(point.y)};
}

LogicalPoint QtDrawingSurface::toLogical(QPointF position) const {
    const QRect area = drawingArea();
    auto map = [](double offset, float extent, int pixels) {
        return pixels > 0 ? static_cast<float>(offset * extent / pixels) : 0.0F;
    };
    const double ratio = scale_.ratio();
    return {map(position.x() * ratio - area.left(), scaleWidth_, area.width()),
            map(position.y() * ratio - area.top(), scaleHeight_, area.height())};
}

std::uint32_t QtDrawingSurface::pixelOf(Colour colour) const {
    return resolveColour(colour, palette()).rgb() | 0xFF000000U;
}

LineRaster& QtDrawingSurface::rasterFor(Colour colour) {
    raster_.setPen(
        {.pixel = pixelOf(colour), .width = drawWidth_, .style = drawStyle_, .drawMode = drawMode_, .scale = scale_});
    return raster_;
}

// Whatever was drawn shows at the next paint, which one pending update brings.
void QtDrawingSurface::drawn() {
    if (!updatePending_) {
        updatePending_ = true;
        update();
    }
}

void QtDrawingSurface::lineTo(LogicalPoint to, std::optional<Colour> colour) {
    rasterFor(colour.value_or(foreColor_)).segment(toDevice(pen_), toDevice(to));
    pen_ = to;
    drawn();
}

void QtDrawingSurface::seriesTo(float firstX, std::span<const float> ys, std::optional<Colour> colour) {
    if (ys.empty()) {
        return;
    }
    const DeviceMapping map = mapping();
    rasterFor(colour.value_or(foreColor_)).series(toDevice(pen_), firstX, ys, map.x, map.y);
    pen_ = {firstX + static_cast<float>(ys.size() - 1), ys.back()};
    drawn();
}

void QtDrawingSurface::line(LogicalPoint from, LogicalPoint to, Colour colour) {
    rasterFor(colour).segment(toDevice(from), toDevice(to));
    pen_ = to;
    drawn();
}

void QtDrawingSurface::clear() {
    image_.fill(pixelOf(backColor_));
    pen_ = {};
    drawn();
}

void QtDrawingSurface::refresh() {
    update();
}

void QtDrawingSurface::enabledChanged(bool enabled) {
    setEnabled(enabled);
}

void QtDrawingSurface::fontChanged(const FontObject& font) {
    setFont(qFontOf(font));
}

void QtDrawingSurface::borderChanged() {
    fitImage();
}

void QtDrawingSurface::setErrorHandler(std::function<void(std::exception_ptr)> handler) {
    input_.setErrorHandler(std::move(handler));
}

// A change of screen reaches every widget of the window; a change of ratio on the same
// screen is caught at the next paint.
bool QtDrawingSurface::event(QEvent* event) {
    bool screenChange = event->type() == QEvent::ScreenChangeInternal;
#if QT_VERSION >= QT_VERSION_CHECK(6, 6, 0)
    screenChange = screenChange || event->type() == QEvent::DevicePixelRatioChange;
#endif
    if (screenChange && ratioChanged()) {
        fitImage();
    }
    return QWidget::event(event);
}

void QtDrawingSurface::paintEvent(QPaintEvent* /*event*/) {
    if (ratioChanged()) {
        fitImage();
    }
    updatePending_ = false;
    QPainter painter(this);
    // Border and image in device pixels, so the image is copied one to one.
    const double ratio = scale_.ratio();
    painter.setTransform(QTransform::fromScale(1.0 / ratio, 1.0 / ratio));
    paintBorder(painter);
    painter.drawImage(drawingArea().topLeft(), image_);
}

// A flat border is one line in the window-frame colour; a three-dimensional one is sunken,
// two lines deep. A line is one platform pixel, in device pixels.
void QtDrawingSurface::paintBorder(QPainter& painter) const {
    const QRect r(0, 0, scale_.pixels(width()), scale_.pixels(height()));
    if (borderStyle_ == 0 || r.isEmpty()) {
        return;
    }
    const QPalette& p = palette();
    const int t = scale_.pixels(1);
    // Filled rectangles: one costs a fraction of a pen line in the raster engine.
    auto frame = [&](QRect box, const QColor& topLeft, const QColor& bottomRight) {
        painter.fillRect(QRect(box.left(), box.top(), box.width(), t), topLeft);
        painter.fillRect(QRect(box.left(), box.top(), t, box.height()), topLeft);
        painter.fillRect(QRect(box.left(), box.bottom() - t + 1, box.width(), t), bottomRight);
        painter.fillRect(QRect(box.right() - t + 1, box.top(), t, box.height()), bottomRight);
    };
    if (appearance_ == 0) {
        frame(r, p.color(QPalette::WindowText), p.color(QPalette::WindowText));
        return;
    }
    frame(r, p.color(QPalette::Dark), p.color(QPalette::Light));
    frame(r.adjusted(t, t, -t, -t), p.color(QPalette::Shadow), p.color(QPalette::Midlight));
}

void QtDrawingSurface::resizeEvent(QResizeEvent* /*event*/) {
    fitImage();
}

void QtDrawingSurface::mousePressEvent(QMouseEvent* event) {
    input_.mousePress(*event, toLogical(event->position()));
}

void QtDrawingSurface::mouseReleaseEvent(QMouseEvent* event) {
    input_.mouseRelease(*event, toLogical(event->position()), rect().contains(event->position().toPoint()));
}

void QtDrawingSurface::mouseDoubleClickEvent(QMouseEvent* event) {
    input_.mouseDoubleClick(*event, toLogical(event->position()));
}

void QtDrawingSurface::mouseMoveEvent(QMouseEvent* event) {
    input_.mouseMove(*event, toLogical(event->position()));
}

void QtDrawingSurface::keyPressEvent(QKeyEvent* event) {
    input_.keyPress(*event);
}

void QtDrawingSurface::keyReleaseEvent(QKeyEvent* event) {
    input_.keyRelease(*event);
}

}  // namespace quorvel
