#include "platform/qt/XcbDrawingSurface.h"

#include <QtGui/qguiapplication_platform.h>
#include <QAbstractEventDispatcher>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWindow>

#include <algorithm>
#include <array>
#include <string>
#include <string_view>
#include <utility>

#include "common/RuntimeError.h"
#include "platform/DeviceScale.h"
#include "platform/qt/SurfaceFont.h"
#include "platform/qt/SurfaceInput.h"
#include "platform/qt/SystemColour.h"

namespace quorvel {
namespace {

[[noreturn]] void unavailable(const std::string& what) {
    throw RuntimeError(ErrorKind::PlatformUnavailable, what);
}

template <class Reply>
std::unique_ptr<Reply, decltype(&std::free)> owned(Reply* reply, xcb_generic_error_t* error) {
    std::free(error);  // NOLINT(cppcoreguidelines-no-malloc)
    return {reply, &std::free};
}

// The screen's root, the depth and the pixel format of a window, which the pixmap
// copied to it must share.
struct WindowFormat {
    xcb_window_t root = 0;
    std::uint8_t depth = 0;
    XcbPixelFormat pixels;
};

WindowFormat formatOf(xcb_connection_t* connection, xcb_window_t root, std::uint8_t depth, xcb_visualid_t visualId) {
    for (auto screen = xcb_setup_roots_iterator(xcb_get_setup(connection)); screen.rem != 0; xcb_screen_next(&screen)) {
        for (auto d = xcb_screen_allowed_depths_iterator(screen.data); d.rem != 0; xcb_depth_next(&d)) {
            for (auto visual = xcb_depth_visuals_iterator(d.data); visual.rem != 0; xcb_visualtype_next(&visual)) {
                const xcb_visualtype_t& v = *visual.data;
                if (v.visual_id != visualId) {
                    continue;
                }
                if (v._class != XCB_VISUAL_CLASS_TRUE_COLOR && v._class != XCB_VISUAL_CLASS_DIRECT_COLOR) {
                    unavailable("the display has no true colour");
                }
                const std::uint32_t depthBits = depth >= 32 ? ~0U : ((std::uint32_t{1} << depth) - 1);
                const std::uint32_t colours = v.red_mask | v.green_mask | v.blue_mask;
                return {root, depth, XcbPixelFormat{v.red_mask, v.green_mask, v.blue_mask, depthBits & ~colours}};
            }
        }
    }
    unavailable("the display's visual is unknown");
}

// The format of the default screen, which Qt's windows use unless asked otherwise.
WindowFormat screenFormat(xcb_connection_t* connection) {
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    if (screen == nullptr) {
        unavailable("the X server has no screen");
    }
    return formatOf(connection, screen->root, screen->root_depth, screen->root_visual);
}

WindowFormat windowFormat(xcb_connection_t* connection, xcb_window_t window) {
    xcb_generic_error_t* error = nullptr;
    const auto geometry =
        owned(xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), &error), error);
    error = nullptr;
    const auto attributes = owned(
        xcb_get_window_attributes_reply(connection, xcb_get_window_attributes(connection, window), &error), error);
    if (!geometry || !attributes) {
        unavailable("the X server does not describe the graph's window");
    }
    return formatOf(connection, geometry->root, geometry->depth, attributes->visual);
}

// Qt labels every native window with the process id, as it does a top-level window; tools
// that find a program's windows by its process must find the form, not the graph inside.
void unlabel(xcb_connection_t* connection, xcb_window_t window) {
    constexpr std::string_view name = "_NET_WM_PID";
    xcb_generic_error_t* error = nullptr;
    const auto atom = owned(
        xcb_intern_atom_reply(
            connection, xcb_intern_atom(connection, 1, static_cast<std::uint16_t>(name.size()), name.data()), &error),
        error);
    if (atom && atom->atom != XCB_ATOM_NONE) {
        xcb_delete_property(connection, window, atom->atom);
    }
}

}  // namespace

XcbDrawingSurface* XcbDrawingSurface::create(QWidget* parent) {
    auto* x11 = qGuiApp != nullptr ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* connection = x11 != nullptr ? x11->connection() : nullptr;
    if (connection == nullptr) {
        return nullptr;
    }
    std::unique_ptr<XcbDrawingSurface> surface(new XcbDrawingSurface(parent));
    try {
        surface->attach(connection);
    } catch (const RuntimeError&) {
        return nullptr;
    }
    return surface.release();
}

XcbDrawingSurface::XcbDrawingSurface(QWidget* parent) : QWidget(parent) {
    // A window of its own that Qt leaves alone; exposes still arrive as paint events.
    setAttribute(Qt::WA_NativeWindow);
    setAttribute(Qt::WA_PaintOnScreen);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    font_ = std::make_shared<const FontObject>(fontObjectOf(QWidget::font()));
    // What a tick drew goes out when the event loop is about to sleep: one write to the
    // server, and no event of its own to wake the loop for.
    if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance()) {
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, [this] {
            if (presentPending_) {
                present(false);
            }
        });
    }
}

// The pixmap is made for the default screen now; the window, made when the form is
// shown, is checked against it then.
void XcbDrawingSurface::attach(xcb_connection_t* connection) {
    connection_ = connection;
    const WindowFormat format = screenFormat(connection);
    format_ = format.pixels;
    canvas_ = std::make_unique<XcbCanvas>(connection, format.root, format.depth);
    root_ = format.root;
    depth_ = format.depth;
    fitImage();
}

// Once Qt has made the native window: pointer events go through it to the form's window
// and reach this widget from there, so that the window system sees the form take the
// press that starts a move. A window on another screen or of another depth than the
// pixmap gets a pixmap of its own, which starts cleared.
void XcbDrawingSurface::bindWindow() {
    const auto window = static_cast<xcb_window_t>(internalWinId());
    if (window == 0 || window == window_) {
        return;
    }
    window_ = window;
    if (QWindow* handle = windowHandle()) {
        handle->setFlag(Qt::WindowTransparentForInput, true);
    }
    trackMoves();
    unlabel(connection_, window);
    const WindowFormat format = windowFormat(connection_, window);
    if (format.root != root_ || format.depth != depth_) {
        canvas_ = std::make_unique<XcbCanvas>(connection_, format.root, format.depth);
        root_ = format.root;
        depth_ = format.depth;
    }
    format_ = format.pixels;
    fitImage();
}

// Qt tells the form's window, not this widget, of the moves made over it without a
// button, and only when the window tracks the mouse: it is made to, and those moves are
// passed on here as this widget's own, as the image surface hears them.
void XcbDrawingSurface::trackMoves() {
    QWidget* form = window();
    if (form == this || form == tracked_) {
        return;
    }
    if (tracked_) {
        tracked_->removeEventFilter(this);
    }
    tracked_ = form;
    form->setMouseTracking(true);
    form->installEventFilter(this);
}

bool XcbDrawingSurface::eventFilter(QObject* watched, QEvent* event) {
    if (watched == tracked_ && event->type() == QEvent::MouseMove) {
        const auto* move = static_cast<QMouseEvent*>(event);
        const QPointF local = mapFromGlobal(move->globalPosition());
        if (move->buttons() == Qt::NoButton && rect().contains(local.toPoint())) {
            QMouseEvent own(QEvent::MouseMove, local, move->globalPosition(), Qt::NoButton, Qt::NoButton,
                            move->modifiers());
            QCoreApplication::sendEvent(this, &own);
        }
    }
    return QWidget::eventFilter(watched, event);
}

bool XcbDrawingSurface::event(QEvent* event) {
    if (event->type() == QEvent::WinIdChange || event->type() == QEvent::Show) {
        try {
            bindWindow();
        } catch (...) {
            input_.reportError(std::current_exception());
        }
    }
    return QWidget::event(event);
}

// Device pixels per logical pixel: the image, the pen and the border scale by it, by the
// rule the image surface follows.
double XcbDrawingSurface::ratio() const {
    return devicePixelRatioF();
}

int XcbDrawingSurface::device(int logical) const {
    return DeviceScale(ratio()).pixels(logical);
}

QRect XcbDrawingSurface::drawingArea() const {
    const int border = borderWidth();
    return {border, border, std::max(width() - 2 * border, 0), std::max(height() - 2 * border, 0)};
}

int XcbDrawingSurface::borderWidth() const {
    if (borderStyle_ == 0) {
        return 0;
    }
    return appearance_ == 1 ? 2 : 1;
}

void XcbDrawingSurface::fitImage() {
    const QRect area = drawingArea();
    canvas_->resize(device(area.width()), device(area.height()), pixelOf(backColor_));
    update();
}

void XcbDrawingSurface::place(int left, int top, int width, int height) {
    setGeometry(left, top, std::max(width, 0), std::max(height, 0));
    fitImage();
}

XcbDrawingSurface::DeviceMapping XcbDrawingSurface::mapping() const {
    return {{static_cast<double>(canvas_->width()) / scaleWidth_},
            {static_cast<double>(canvas_->height()) / scaleHeight_}};
}

DevicePoint XcbDrawingSurface::toDevice(LogicalPoint point) const {
    const DeviceMapping map = mapping();
    return {map.x(point.x), map.y(point.y)};
}

LogicalPoint XcbDrawingSurface::toLogical(QPointF position) const {
    const QRect area = drawingArea();
    auto map = [](double offset, float extent, int pixels) {
        return pixels > 0 ? static_cast<float>(offset * extent / pixels) : 0.0F;
    };
    return {map(position.x() - area.left(), scaleWidth_, area.width()),
            map(position.y() - area.top(), scaleHeight_, area.height())};
}

std::uint32_t XcbDrawingSurface::pixelOf(const QColor& colour) const {
    return format_.pixelOf(colour.rgb() & 0xFFFFFFU);
}

std::uint32_t XcbDrawingSurface::pixelOf(Colour colour) const {
    return pixelOf(resolveColour(colour, palette()));
}

XcbCanvas& XcbDrawingSurface::canvasFor(Colour colour) {
    const int width = device(drawWidth_);
    canvas_->setPen({.pixel = pixelOf(colour), .width = width, .style = drawStyle_, .drawMode = drawMode_});
    return *canvas_;
}

void XcbDrawingSurface::drawn() {
    presentPending_ = true;
}

// A redraw copies what it changed; an expose, everything.
void XcbDrawingSurface::present(bool everything) {
    presentPending_ = false;
    const int border = device(borderWidth());
    const auto window = static_cast<xcb_window_t>(internalWinId());
    if (everything) {
        canvas_->copyTo(window, border, border);
    } else {
        canvas_->copyChanged(window, border, border);
    }
    canvas_->flush();
}

void XcbDrawingSurface::lineTo(LogicalPoint to, std::optional<Colour> colour) {
    const DevicePoint end = toDevice(to);
    canvasFor(colour.value_or(foreColor_)).polyline(toDevice(pen_), std::span(&end, 1));
    pen_ = to;
    drawn();
}

void XcbDrawingSurface::seriesTo(float firstX, std::span<const float> ys, std::optional<Colour> colour) {
    if (ys.empty()) {
        return;
    }
    const DeviceMapping map = mapping();
    points_.resize(ys.size());
    for (std::size_t i = 0; i < ys.size(); ++i) {
        points_[i] = {map.x(firstX + static_cast<float>(i)), map.y(ys[i])};
    }
    canvasFor(colour.value_or(foreColor_)).polyline(toDevice(pen_), points_);
    pen_ = {firstX + static_cast<float>(ys.size() - 1), ys.back()};
    drawn();
}

void XcbDrawingSurface::line(LogicalPoint from, LogicalPoint to, Colour colour) {
    const DevicePoint end = toDevice(to);
    canvasFor(colour).polyline(toDevice(from), std::span(&end, 1));
    pen_ = to;
    drawn();
}

void XcbDrawingSurface::clear() {
    canvas_->fill(pixelOf(backColor_));
    pen_ = {};
    drawn();
}

void XcbDrawingSurface::refresh() {
    present(false);
}

void XcbDrawingSurface::enabledChanged(bool enabled) {
    setEnabled(enabled);
}

void XcbDrawingSurface::fontChanged(const FontObject& font) {
    setFont(qFontOf(font));
}

void XcbDrawingSurface::borderChanged() {
    fitImage();
}

void XcbDrawingSurface::setErrorHandler(std::function<void(std::exception_ptr)> handler) {
    input_.setErrorHandler(std::move(handler));
}

QImage XcbDrawingSurface::picture() {
    const std::vector<std::uint32_t> pixels = canvas_->readBack();
    QImage image(canvas_->width(), canvas_->height(), QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            row[x] = format_.rgbOf(pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(image.width()) +
                                          static_cast<std::size_t>(x)]) |
                     0xFF000000U;
        }
    }
    return image;
}

void XcbDrawingSurface::paintEvent(QPaintEvent* /*event*/) {
    const auto window = static_cast<xcb_window_t>(internalWinId());
    paintBorder(window);
    present(true);
}

// A flat border is one line in the window-frame colour; a three-dimensional one is sunken,
// two lines deep. Drawn as QtDrawingSurface draws it.
void XcbDrawingSurface::paintBorder(xcb_window_t window) {
    if (borderStyle_ == 0 || rect().isEmpty()) {
        return;
    }
    const QPalette& p = palette();
    const int w = device(width());
    const int h = device(height());
    const int line = std::max(1, device(1));
    auto frame = [&](int inset, const QColor& topLeft, const QColor& bottomRight) {
        const auto x = static_cast<std::int16_t>(inset);
        const auto across = static_cast<std::uint16_t>(std::max(w - 2 * inset, 0));
        const auto down = static_cast<std::uint16_t>(std::max(h - 2 * inset, 0));
        const auto thick = static_cast<std::uint16_t>(line);
        const std::array<xcb_rectangle_t, 2> first{{{x, x, across, thick}, {x, x, thick, down}}};
        const std::array<xcb_rectangle_t, 2> second{{{x, static_cast<std::int16_t>(h - inset - line), across, thick},
                                                     {static_cast<std::int16_t>(w - inset - line), x, thick, down}}};
        canvas_->fillOn(window, pixelOf(topLeft), first);
        canvas_->fillOn(window, pixelOf(bottomRight), second);
    };
    if (appearance_ == 0) {
        frame(0, p.color(QPalette::WindowText), p.color(QPalette::WindowText));
        return;
    }
    frame(0, p.color(QPalette::Dark), p.color(QPalette::Light));
    frame(line, p.color(QPalette::Shadow), p.color(QPalette::Midlight));
}

// Qt calls this from its event loop, which nothing may cross: a pixmap the server
// refuses goes to the error handler.
void XcbDrawingSurface::resizeEvent(QResizeEvent* /*event*/) {
    try {
        fitImage();
    } catch (...) {
        input_.reportError(std::current_exception());
    }
}

void XcbDrawingSurface::mousePressEvent(QMouseEvent* event) {
    input_.mousePress(*event, toLogical(event->position()));
}

void XcbDrawingSurface::mouseReleaseEvent(QMouseEvent* event) {
    input_.mouseRelease(*event, toLogical(event->position()), rect().contains(event->position().toPoint()));
}

void XcbDrawingSurface::mouseDoubleClickEvent(QMouseEvent* event) {
    input_.mouseDoubleClick(*event, toLogical(event->position()));
}

void XcbDrawingSurface::mouseMoveEvent(QMouseEvent* event) {
    input_.mouseMove(*event, toLogical(event->position()));
}

void XcbDrawingSurface::keyPressEvent(QKeyEvent* event) {
    input_.keyPress(*event);
}

void XcbDrawingSurface::keyReleaseEvent(QKeyEvent* event) {
    input_.keyRelease(*event);
}

}  // namespace quorvel
