#include "canvas/TTavrinCanvas.h"

#include "platform/Dialogs.h"

#include <QColor>
#include <QPainter>
#include <QResizeEvent>

namespace {
QColor ToQColor(uint32_t color) {
    return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}
} // namespace

TTavrinCanvas::TTavrinCanvas(QWidget* parent)
    : QWidget(parent), BackBuffer(1, 1, QImage::Format_RGB32) {
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
    if (NeedsRedraw || BackBuffer.width() != width() || BackBuffer.height() != height()) {
        BackBuffer = QImage(std::max(width(), 1), std::max(height(), 1), QImage::Format_RGB32);
        BackBuffer.fill(ToQColor(BackColor));
        NeedsRedraw = false;
    }
    QPainter painter(this);
    painter.drawImage(0, 0, BackBuffer);
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
