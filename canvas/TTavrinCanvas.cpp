#include "canvas/TTavrinCanvas.h"
#include "canvas/CanvasRenderer.h"

#include "canvas/CanvasInputCodes.h"
#include "platform/Dialogs.h"
#include "platform/ErrorBoundary.h"

#include <QColor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QWheelEvent>

TTavrinCanvas::TTavrinCanvas(QWidget* parent)
    : QWidget(parent), TextCache(std::make_unique<TextImageCache>()) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    resize(400, 300);
    ClientWidth = width();
    ClientHeight = height();
}

TTavrinCanvas::~TTavrinCanvas() = default;

void TTavrinCanvas::AboutBox() {
    Dialogs::showMessage(QStringLiteral("Tavrin map canvas\nA native CAD control for Qt "
                                        "widgets, addressed by shape and layer ids."));
}

void TTavrinCanvas::paintEvent(QPaintEvent* event) {
    // Qt paints on its own too (shown, uncovered, resized): a model changed without a request
    // is painted then.
    if (!FrameCurrent || BackBufferStale() || ShownFields() != BuiltFields ||
        width() != ClientWidth || height() != ClientHeight)
        RenderFrame();
    // Rectangle by rectangle: a clip of one rectangle lets the painter copy rows straight,
    // where a clip of many would blend the image through the clip's spans.
    QPainter painter(this);
    for (const QRect& rect : event->region()) {
        painter.setClipRect(rect);
        painter.drawImage(rect.topLeft(), Frame, rect);
    }
    Unshown -= event->region();
    if (!Unshown.isEmpty())
        update(Unshown);
}

const QImage& TTavrinCanvas::RenderFrame() {
    // A hidden control gets its resize event only when shown; its size counts already.
    if (width() != ClientWidth || height() != ClientHeight)
        Resize(width(), height());
    CanvasRenderer::ComposeLayeredFrame(*this, BackBufferCache, Frame, TextCache.get());
    FrameCurrent = true;
    Unshown += BackBufferCache.FrameChange;
    return Frame;
}

void TTavrinCanvas::ShowChanges() {
    ShowPosted = false;
    // A hidden control is painted whole when shown.
    if (!isVisible())
        return;
    if (!FrameCurrent)
        RenderFrame();
    if (!Unshown.isEmpty())
        update(Unshown);
}

bool TTavrinCanvas::IsPointInGGAOverlay(int x, int y) const {
    return CanvasRenderer::IsPointInGGAOverlay(*this, x, y);
}

void TTavrinCanvas::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const QSize size = event->size();
    // Qt delivers a deferred resize when a hidden control is first shown; a size that did not
    // change must not refit the window.
    if (size.width() == ClientWidth && size.height() == ClientHeight)
        return;
    Resize(size.width(), size.height());
}

void TTavrinCanvas::InvalidateControl() {
    FrameCurrent = false;
    if (ShowPosted)
        return;
    ShowPosted = true;
    QMetaObject::invokeMethod(this, &TTavrinCanvas::ShowChanges, Qt::QueuedConnection);
}

void TTavrinCanvas::SetScreenCursor(int cursor) {
    switch (cursor) {
    case CrossCursor:
        setCursor(Qt::CrossCursor);
        break;
    case SizeAllCursor:
        setCursor(Qt::SizeAllCursor);
        break;
    default:
        unsetCursor();
        break;
    }
}

// ---- Mouse, keyboard and wheel ----------------------------------------------------------------
// Each handler does Qt's own handling first, then hands the translated input to the tools.
// The canvas events run inside the tools' steps, so a host handler's failure ends here. Mouse
// input the tools took is accepted: the window under the canvas must not act on it again.

void TTavrinCanvas::mousePressEvent(QMouseEvent* event) {
    QWidget::mousePressEvent(event);
    const std::optional<int16_t> button = ButtonCodeOf(event->button());
    if (!button)
        return;
    const QPoint at = event->position().toPoint();
    const int16_t shift = ShiftCodeOf(event->modifiers());
    ErrorBoundary::run([&] { Tools.MouseDown(*button, shift, at.x(), at.y()); });
    event->accept();
}

void TTavrinCanvas::mouseDoubleClickEvent(QMouseEvent* event) {
    // Qt delivers the second press of a double click here instead of as a press; its own
    // handling passes it on to the press handler, so the tools see it as a press (the second
    // vertex of a quickly drawn line) before the double click is reported.
    QWidget::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton && OnDblClick)
        ErrorBoundary::run([&] { OnDblClick(); });
}

void TTavrinCanvas::mouseMoveEvent(QMouseEvent* event) {
    QWidget::mouseMoveEvent(event);
    const QPoint at = event->position().toPoint();
    const int16_t shift = ShiftCodeOf(event->modifiers());
    MoveErrors.run([&] { Tools.MouseMove(shift, at.x(), at.y()); });
    event->accept();
}

void TTavrinCanvas::mouseReleaseEvent(QMouseEvent* event) {
    QWidget::mouseReleaseEvent(event);
    const std::optional<int16_t> button = ButtonCodeOf(event->button());
    if (!button)
        return;
    const QPoint at = event->position().toPoint();
    const int16_t shift = ShiftCodeOf(event->modifiers());
    ErrorBoundary::run([&] { Tools.MouseUp(*button, shift, at.x(), at.y()); });
    event->accept();
}

void TTavrinCanvas::keyPressEvent(QKeyEvent* event) {
    // Qt's handling leaves the key unaccepted, so the window around the canvas sees it too.
    QWidget::keyPressEvent(event);
    const int key = KeyCodeOf(event->key());
    if (key != 0)
        Tools.KeyDown(key, ShiftCodeOf(event->modifiers()));
}

void TTavrinCanvas::wheelEvent(QWheelEvent* event) {
    event->accept();
    // A sideways tilt or a sideways touchpad swipe zooms nothing.
    const int notches = WheelNotches.Add(event->angleDelta().y());
    if (notches == 0)
        return;
    const QPoint at = event->position().toPoint();
    ErrorBoundary::run([&] { Tools.Wheel(notches, at.x(), at.y()); });
}
