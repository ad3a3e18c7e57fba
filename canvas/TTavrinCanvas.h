#pragma once

#include "canvas/CanvasModel.h"
#include "canvas/CanvasToolController.h"
#include "canvas/ShapeLayerCache.h"
#include "canvas/WheelNotchCounter.h"
#include "platform/RepeatedErrorGuard.h"

#include <QImage>
#include <QRegion>
#include <QWidget>

class TextImageCache;

// The map control: the canvas model shown in a Qt widget. The main window creates one
// (`fcad`) and fills its panel with it. The widget keeps the model's client size in step with
// its own and turns the model's repaint requests into Qt updates.
class TTavrinCanvas : public QWidget, public CanvasModel {
    Q_OBJECT
public:
    explicit TTavrinCanvas(QWidget* parent = nullptr);
    ~TTavrinCanvas() override;

    // An information message naming the control.
    void AboutBox();

    // The back buffer and what it holds: background, grid and the shapes under the live layer
    // (every shape while the map has texts in view).
    ShapeLayerCache BackBufferCache;
    // Off-screen image of background, grid and shapes, 32 bits per pixel.
    QImage& BackBuffer = BackBufferCache.Image;

    // ---- Painting -------------------------------------------------------------------------
    // Brings the back buffer up to date (only what changed) and draws the live layer and the
    // overlays over a copy of it: the frame that a paint puts on the screen.
    const QImage& RenderFrame();
    // Does the client pixel lie in the GNSS status box?
    bool IsPointInGGAOverlay(int x, int y) const;

private:
    // The back buffer with the overlays, kept so that a paint allocates nothing.
    QImage Frame;
    // Requests to paint come in bursts (a map tick clears the vessel, draws it anew, adds a
    // track point and a label): the frame is painted once after them, and Qt is asked to show
    // only the area that changed. Set by RenderFrame, cleared by every request.
    bool FrameCurrent = false;
    bool ShowPosted = false;
    // What frames changed that the screen does not show yet.
    QRegion Unshown;
    void ShowChanges();
    // Labels and texts rendered once for all paints.
    std::unique_ptr<TextImageCache> TextCache;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void InvalidateControl() override;
    void SetScreenCursor(int cursor) override;

    // ---- Mouse, keyboard and wheel: translated for the tools ------------------------------
public:
    // The control's double-click (left button), raised after the press it ends was handled.
    std::function<void()> OnDblClick;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    CanvasToolController Tools{*this};
    WheelNotchCounter WheelNotches;
    // A move handler that fails fails on every move: reported once, not as a stream of boxes.
    RepeatedErrorGuard MoveErrors{QStringLiteral("Map mouse move")};
};
