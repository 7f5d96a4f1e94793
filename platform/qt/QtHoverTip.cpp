#include "platform/qt/QtHoverTip.h"

#include <QCursor>
#include <QEnterEvent>
#include <QEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QStyle>
#include <QStyleOption>
#include <QToolTip>

#include <algorithm>
#include <optional>
#include <utility>

#include "platform/qt/SystemColour.h"

namespace quorvel {

// The tooltip window: the style's tooltip panel, palette and font, each line flush left,
// after a swatch of its colour, or indented under the line above as a detail.
class ReadOutPanel final : public QWidget {
public:
    explicit ReadOutPanel(QWidget* owner) : QWidget(owner, Qt::ToolTip | Qt::BypassGraphicsProxyWidget) {
        setAttribute(Qt::WA_ShowWithoutActivating);
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setPalette(QToolTip::palette());
        setFont(QToolTip::font());
        setForegroundRole(QPalette::ToolTipText);
        setBackgroundRole(QPalette::ToolTipBase);
    }

    void setLines(const std::vector<ReadOutLine>& lines) {
        std::vector<Line> next;
        next.reserve(lines.size());
        for (const ReadOutLine& line : lines) {
            next.push_back({line.swatch ? std::optional(resolveColour(*line.swatch, palette())) : std::nullopt,
                            line.detail,
                            QString::fromUtf8(line.text.data(), static_cast<qsizetype>(line.text.size()))});
        }
        // A tick that leaves every line as it was repaints nothing.
        if (next == lines_) {
            return;
        }
        lines_ = std::move(next);
        const QFontMetrics metrics(font());
        int width = 0;
        for (const Line& line : lines_) {
            width = std::max(width, indentOf(line) + metrics.horizontalAdvance(line.text));
        }
        // What the panel paints, for assistive technology.
        setAccessibleName(text().join(QLatin1Char('\n')));
        const int margin = this->margin();
        resize(width + 2 * margin, static_cast<int>(lines_.size()) * metrics.height() + 2 * margin);
        update();
    }

    [[nodiscard]] QStringList text() const {
        QStringList result;
        for (const Line& line : lines_) {
            result.append(line.text);
        }
        return result;
    }

protected:
    void paintEvent(QPaintEvent* /*event*/) override {
        QPainter painter(this);
        QStyleOptionFrame frame;
        frame.initFrom(this);
        style()->drawPrimitive(QStyle::PE_PanelTipLabel, &frame, &painter, this);
        const QFontMetrics metrics(font());
        const int margin = this->margin();
        const int side = swatchSide();
        painter.setPen(palette().color(QPalette::ToolTipText));
        int top = margin;
        for (const Line& line : lines_) {
            const int left = margin + (line.detail ? indent() : 0);
            if (line.swatch) {
                const QRect box(left, top + (metrics.height() - side) / 2, side, side);
                // Outlined in the text's colour, so that a pale line still shows.
                painter.drawRect(box.adjusted(0, 0, -1, -1));
                painter.fillRect(box.adjusted(1, 1, -1, -1), *line.swatch);
            }
            painter.drawText(QRect(margin + indentOf(line), top, width(), metrics.height()),
                             Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, line.text);
            top += metrics.height();
        }
    }

private:
    struct Line {
        std::optional<QColor> swatch;
        bool detail = false;
        QString text;
        bool operator==(const Line&) const = default;
    };

    [[nodiscard]] int margin() const {
        return 2 + style()->pixelMetric(QStyle::PM_ToolTipLabelFrameWidth, nullptr, this);
    }
    [[nodiscard]] int swatchSide() const { return std::max(6, QFontMetrics(font()).ascent() * 3 / 4); }
    // A swatch and a space: where a swatch's text and a detail line start.
    [[nodiscard]] int indent() const { return swatchSide() + QFontMetrics(font()).horizontalAdvance(QLatin1Char(' ')); }
    [[nodiscard]] int indentOf(const Line& line) const {
        return (line.detail ? indent() : 0) + (line.swatch ? indent() : 0);
    }

    std::vector<Line> lines_;
};

QtHoverTip::QtHoverTip(QWidget& graph, std::function<float(QPointF)> logicalX)
    : graph_(&graph), logicalX_(std::move(logicalX)), global_(QCursor::pos()) {
    rest_.setSingleShot(true);
    rest_.setInterval(restDelay);
    connect(&rest_, &QTimer::timeout, this, &QtHoverTip::rested);
    graph.installEventFilter(this);
    // A native child window (the X server surface) hears of the pointer leaving only
    // through its top-level window.
    if (QWidget* window = graph.window(); window != &graph) {
        window_ = window;
        window->installEventFilter(this);
    }
}

QtHoverTip::~QtHoverTip() {
    if (graph_) {
        graph_->removeEventFilter(this);
    }
    if (window_) {
        window_->removeEventFilter(this);
    }
    delete panel_.data();
}

void QtHoverTip::setSource(ReadOutSource* source) {
    source_ = source;
    if (source_ == nullptr) {
        close();
    }
}

void QtHoverTip::sourceChanged() {
    if (open_) {
        show();
    }
}

bool QtHoverTip::isOpen() const {
    return open_;
}

QWidget* QtHoverTip::tipWindow() const {
    return panel_.data();
}

QStringList QtHoverTip::shownText() const {
    return open_ && panel_ ? panel_->text() : QStringList();
}

bool QtHoverTip::eventFilter(QObject* watched, QEvent* event) {
    if (watched == window_ && watched != graph_) {
        windowEvent(event);
        return false;
    }
    if (watched != graph_) {
        return false;
    }
    switch (event->type()) {
    case QEvent::Enter: {
        const auto* enter = static_cast<QEnterEvent*>(event);
        pointerAt(enter->position(), enter->globalPosition());
        break;
    }
    case QEvent::MouseMove: {
        const auto* move = static_cast<QMouseEvent*>(event);
        if (move->buttons() == Qt::NoButton) {
            pointerAt(move->position(), move->globalPosition());
        }
        break;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        rest_.stop();
        close();
        break;
    case QEvent::Leave:
    case QEvent::Hide: leave(); break;
    default: break;
    }
    return false;
}

void QtHoverTip::leave() {
    rest_.stop();
    close();
}

// The window's own events. A move over the graph's part of the window is the graph's
// (the X server surface passes those on as its own); anywhere else the pointer is off it.
void QtHoverTip::windowEvent(QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseMove: {
        const auto* move = static_cast<QMouseEvent*>(event);
        if (!graph_ || !graph_->rect().contains(graph_->mapFromGlobal(move->globalPosition()).toPoint())) {
            leave();
        }
        break;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::Leave:
    case QEvent::Hide: leave(); break;
    default: break;
    }
}

void QtHoverTip::pointerAt(QPointF local, QPointF global) {
    local_ = local;
    // A window shown or moved under a pointer that stands still hears of it as of a move:
    // only a new place on the screen is the user moving the pointer.
    if (global == global_) {
        return;
    }
    global_ = global;
    if (open_) {
        show();
    } else {
        rest_.start();
    }
}

void QtHoverTip::rested() {
    if (QGuiApplication::mouseButtons() == Qt::NoButton && graph_ && graph_->isVisible()) {
        show();
    }
}

void QtHoverTip::show() {
    const std::vector<ReadOutLine> lines =
        source_ != nullptr ? source_->readOut(logicalX_(local_)) : std::vector<ReadOutLine>{};
    if (lines.empty() || !graph_) {
        close();
        return;
    }
    if (!panel_) {
        panel_ = new ReadOutPanel(graph_);
    }
    panel_->setLines(lines);
    // Below and to the right of the pointer, clear of its arrow; on the other side of it
    // where the screen ends.
    const QPoint pointer = global_.toPoint();
    const QScreen* screen = QGuiApplication::screenAt(pointer);
    const QRect room = (screen != nullptr ? screen : graph_->screen())->availableGeometry();
    const QSize size = panel_->size();
    QPoint at = pointer + QPoint(12, 20);
    if (at.x() + size.width() > room.right() + 1) {
        at.setX(pointer.x() - 4 - size.width());
    }
    if (at.y() + size.height() > room.bottom() + 1) {
        at.setY(pointer.y() - 4 - size.height());
    }
    at.setX(std::max(at.x(), room.left()));
    at.setY(std::max(at.y(), room.top()));
    panel_->move(at);
    panel_->show();
    open_ = true;
}

void QtHoverTip::close() {
    open_ = false;
    if (panel_) {
        panel_->hide();
    }
}

}  // namespace quorvel
