#include "platform/qt/QtFormWindow.h"

#include <QCloseEvent>
#include <QCursor>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QWindow>
#include <algorithm>
#include <cmath>

#include "platform/qt/InputCodes.h"

namespace quorvel {
namespace {

constexpr double kTwipsPerInch = 1440.0;
// How often and for how long a new frame is waited for after the title bar changed.
constexpr int kFrameWatchMilliseconds = 25;
constexpr int kFrameWatchTicks = 120;

QScreen* screenOf(const QWidget* widget) {
    QScreen* screen = widget->screen();
    return screen != nullptr ? screen : QGuiApplication::primaryScreen();
}

int toPixels(double value) {
    return static_cast<int>(std::lround(value));
}

}  // namespace

QtFormWindow::QtFormWindow() : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint) {
    setAttribute(Qt::WA_DeleteOnClose, false);
    frameWatch_.setInterval(kFrameWatchMilliseconds);
    connect(&frameWatch_, &QTimer::timeout, this, [this] { fitToKeptOuterRect(); });
}

double QtFormWindow::twipsToPixelsX(double twips) const {
    return twips * screenOf(this)->logicalDotsPerInchX() / kTwipsPerInch;
}
double QtFormWindow::twipsToPixelsY(double twips) const {
    return twips * screenOf(this)->logicalDotsPerInchY() / kTwipsPerInch;
}
double QtFormWindow::pixelsToTwipsX(double pixels) const {
    return pixels * kTwipsPerInch / screenOf(this)->logicalDotsPerInchX();
}
double QtFormWindow::pixelsToTwipsY(double pixels) const {
    return pixels * kTwipsPerInch / screenOf(this)->logicalDotsPerInchY();
}

QMargins QtFormWindow::frameMargins() const {
    // The platform window reports the frame as the window manager last described it;
    // QWidget::frameGeometry() keeps the last frame that was not empty, even after the
    // title bar is gone.
    const QWindow* window = windowHandle();
    return window != nullptr ? window->frameMargins() : QMargins();
}

QRect QtFormWindow::outerRect() const {
    return geometry().marginsAdded(frameMargins());
}

void QtFormWindow::setCaption(const std::string& caption) {
    caption_ = caption;
    setWindowTitle(QString::fromStdString(caption));
    const bool frameless = caption.empty();
    if (windowFlags().testFlag(Qt::FramelessWindowHint) == frameless) {
        return;
    }
    const QRect outer = outerRect();
    const QMargins before = frameMargins();
    applyFlag(Qt::FramelessWindowHint, frameless);
    if (isVisible()) {
        keepOuterRect(outer, before);
    }
}

void QtFormWindow::keepOuterRect(const QRect& outer, const QMargins& marginsBefore) {
    // The window manager adds or removes the frame around the client area in its own
    // time; until then the frame Qt reports is the old one.
    keptOuter_ = outer;
    marginsBefore_ = marginsBefore;
    frameWatchTicks_ = 0;
    frameWatch_.start();
}

void QtFormWindow::fitToKeptOuterRect() {
    const QMargins now = frameMargins();
    if (now == marginsBefore_ && ++frameWatchTicks_ < kFrameWatchTicks) {
        return;
    }
    frameWatch_.stop();
    const QRect client = keptOuter_.marginsRemoved(now);
    if (client.isValid()) {
        setGeometry(client);
    }
}

void QtFormWindow::applyFlag(Qt::WindowType flag, bool on) {
    if (windowFlags().testFlag(flag) == on) {
        return;
    }
    Qt::WindowFlags flags = windowFlags();
    flags.setFlag(flag, on);
    // QWidget::setWindowFlags would recreate a shown window (new handle, new position);
    // the platform window takes the change in place.
    overrideWindowFlags(flags);
    if (QWindow* window = windowHandle()) {
        window->setFlags(flags);
    }
}

Placement QtFormWindow::placement() const {
    const QRect outer = outerRect();
    return {pixelsToTwipsX(outer.x()), pixelsToTwipsY(outer.y()), pixelsToTwipsX(outer.width()),
            pixelsToTwipsY(outer.height())};
}

void QtFormWindow::setPlacement(const Placement& placement) {
    const QMargins frame = frameMargins();
    const int width = std::max(1, toPixels(twipsToPixelsX(placement.width)) - frame.left() - frame.right());
    const int height = std::max(1, toPixels(twipsToPixelsY(placement.height)) - frame.top() - frame.bottom());
    move(toPixels(twipsToPixelsX(placement.left)), toPixels(twipsToPixelsY(placement.top)));
    resize(width, height);
}

bool QtFormWindow::isOnAnyScreen(const Placement& placement) const {
    const QRect rect(toPixels(twipsToPixelsX(placement.left)), toPixels(twipsToPixelsY(placement.top)),
                     std::max(1, toPixels(twipsToPixelsX(placement.width))),
                     std::max(1, toPixels(twipsToPixelsY(placement.height))));
    const auto screens = QGuiApplication::screens();
    return std::any_of(screens.begin(), screens.end(),
                       [&rect](const QScreen* s) { return s->geometry().intersects(rect); });
}

void QtFormWindow::moveToDefaultPosition() {
    const QRect available = screenOf(this)->availableGeometry();
    const QSize size = outerRect().size();
    move(available.x() + (available.width() - size.width()) / 2,
         available.y() + (available.height() - size.height()) / 2);
}

void QtFormWindow::show() {
    QWidget::show();
    mapRetry_.start();
}

bool QtFormWindow::setStaysOnTop(bool onTop) {
    applyFlag(Qt::WindowStaysOnTopHint, onTop);
    return windowFlags().testFlag(Qt::WindowStaysOnTopHint) == onTop;
}

void QtFormWindow::startInteractiveMove() {
    QWindow* window = windowHandle();
    if (window != nullptr && window->startSystemMove()) {
        return;
    }
    // The window system refused: follow the mouse ourselves until the button is released.
    dragging_ = true;
    dragOffset_ = QCursor::pos() - outerRect().topLeft();
    grabMouse();
}

void QtFormWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (events_ != nullptr) {
        events_->onResize();
    }
}

void QtFormWindow::closeEvent(QCloseEvent* event) {
    if (events_ != nullptr) {
        events_->onUnload();
    }
    event->accept();
}

void QtFormWindow::mousePressEvent(QMouseEvent* event) {
    if (events_ != nullptr) {
        const QPointF at = event->position();
        events_->onMouseDown(input::buttonCode(event->button()), input::shiftState(event->modifiers()),
                             static_cast<float>(pixelsToTwipsX(at.x())), static_cast<float>(pixelsToTwipsY(at.y())));
    }
}

void QtFormWindow::mouseMoveEvent(QMouseEvent* event) {
    if (dragging_) {
        move(event->globalPosition().toPoint() - dragOffset_);
    }
}

void QtFormWindow::mouseReleaseEvent(QMouseEvent* event) {
    if (dragging_) {
        dragging_ = false;
        releaseMouse();
    }
    QWidget::mouseReleaseEvent(event);
}

}  // namespace quorvel
