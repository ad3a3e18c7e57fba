#include "canvas/TTavrinCanvas.h"
#include "canvas/CanvasRenderer.h"

#include "platform/Dialogs.h"

#include <QColor>
#include <QPainter>
#include <QResizeEvent>

TTavrinCanvas::TTavrinCanvas(QWidget* parent)
    : QWidget(parent), BackBuffer(1, 1, QImage::Format_RGB32),
      TextCache(std::make_unique<TextImageCache>()) {
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

void TTavrinCanvas::paintEvent(QPaintEvent*) {
    const QImage& frame = RenderFrame();
    QPainter painter(this);
    painter.drawImage(0, 0, frame);
}

const QImage& TTavrinCanvas::RenderFrame() {
    // A hidden control gets its resize event only when shown; its size counts already.
    if (width() != ClientWidth || height() != ClientHeight)
        Resize(width(), height());
    return CanvasRenderer::ComposeFrame(*this, BackBuffer, Frame, TextCache.get());
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
    update();
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
