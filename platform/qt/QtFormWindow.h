#pragma once

#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QTimer>
#include <QWidget>

#include "platform/FormWindow.h"
#include "platform/qt/MapRequest.h"

namespace quorvel {

// The main window: frameless while its caption is empty, decorated otherwise.
// One content widget (the graph surface) covers the client area, placed by the owner.
class QtFormWindow final : public QWidget, public FormWindow {
    Q_OBJECT

public:
    QtFormWindow();

    void setEvents(FormEvents* events) override { events_ = events; }

    void setCaption(const std::string& caption) override;
    [[nodiscard]] std::string caption() const override { return caption_; }

    [[nodiscard]] Placement placement() const override;
    void setPlacement(const Placement& placement) override;
    [[nodiscard]] int clientPixelWidth() const override { return width(); }
    [[nodiscard]] int clientPixelHeight() const override { return height(); }
    [[nodiscard]] bool isOnAnyScreen(const Placement& placement) const override;
    void moveToDefaultPosition() override;

    void show() override;
    bool setStaysOnTop(bool onTop) override;
    void startInteractiveMove() override;

    // Twips to device-independent pixels and back, through the screen's logical DPI.
    [[nodiscard]] double twipsToPixelsX(double twips) const;
    [[nodiscard]] double twipsToPixelsY(double twips) const;
    [[nodiscard]] double pixelsToTwipsX(double pixels) const;
    [[nodiscard]] double pixelsToTwipsY(double pixels) const;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void applyFlag(Qt::WindowType flag, bool on);
    [[nodiscard]] QMargins frameMargins() const;
    // The window with its frame, in device-independent pixels.
    [[nodiscard]] QRect outerRect() const;
    void keepOuterRect(const QRect& outer, const QMargins& marginsBefore);
    void fitToKeptOuterRect();

    FormEvents* events_ = nullptr;
    std::string caption_;
    bool dragging_ = false;
    QPoint dragOffset_;

    // A change of title bar keeps the outer rectangle: once the window manager reports
    // the new frame, the client area is fitted inside the rectangle kept here.
    QTimer frameWatch_;
    QRect keptOuter_;
    QMargins marginsBefore_;
    int frameWatchTicks_ = 0;

    // Until the window is first exposed, its map request is repeated now and then.
    MapRetry mapRetry_{*this};
};

}  // namespace quorvel
