#pragma once

#include <QPointF>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <vector>

#include "platform/HoverTip.h"

namespace quorvel {

class ReadOutPanel;

// The graph's read-out as a tooltip window of its own beside the pointer. It watches the
// graph widget's events through an event filter and never consumes them, so presses and
// moves still reach the widget's own handling. The pointer at rest on the graph, with no
// button down, for restDelay opens it below and to the right of the pointer, kept on the
// screen; while open it follows the pointer and asks the source again for the new x.
// Leaving the graph, pressing any button, hiding the graph or an empty read-out closes
// it; the next rest opens it again. No timer runs but the rest's, and while the tip is
// closed a change of the source's numbers costs nothing: a pointer that stands still on
// the graph costs no wake-up.
class QtHoverTip final : public QObject, public HoverTip {
    Q_OBJECT

public:
    static constexpr int restDelay = 500;  // milliseconds

    // logicalX maps a position in the graph widget to the logical x of its mouse events.
    QtHoverTip(QWidget& graph, std::function<float(QPointF)> logicalX);
    ~QtHoverTip() override;
    QtHoverTip(const QtHoverTip&) = delete;
    QtHoverTip& operator=(const QtHoverTip&) = delete;

    void setSource(ReadOutSource* source) override;
    void sourceChanged() override;

    [[nodiscard]] bool isOpen() const;
    // The tooltip window, made at the first opening; null before.
    [[nodiscard]] QWidget* tipWindow() const;
    // The lines the open window shows.
    [[nodiscard]] QStringList shownText() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void pointerAt(QPointF local, QPointF global);
    void rested();
    void windowEvent(QEvent* event);
    void leave();
    // Asks the source for the pointer's x and shows the answer there; closes on none.
    void show();
    void close();

    QPointer<QWidget> graph_;
    QPointer<QWidget> window_;
    std::function<float(QPointF)> logicalX_;
    ReadOutSource* source_ = nullptr;
    QTimer rest_;
    QPointer<ReadOutPanel> panel_;
    QPointF local_;
    // Where the pointer was last seen on the screen.
    QPointF global_;
    bool open_ = false;
};

}  // namespace quorvel
