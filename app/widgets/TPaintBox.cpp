#include "app/widgets/TPaintBox.h"

#include "platform/ErrorBoundary.h"

#include <QMouseEvent>
#include <QPainter>

TPaintBox::TPaintBox(QWidget* parent) : QWidget(parent) {
    // Moves without a button held still reach the owner (cursor shapes, pointer values).
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TPaintBox::paintEvent(QPaintEvent*) {
    if (!OnPaint)
        return;
    QPainter painter(this);
    ErrorBoundary::run([&] { OnPaint(painter); });
}

void TPaintBox::mousePressEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (OnMouseDown)
        ErrorBoundary::run([&] { OnMouseDown(event->button(), at.x(), at.y()); });
}

void TPaintBox::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (OnMouseMove)
        ErrorBoundary::run([&] { OnMouseMove(at.x(), at.y()); });
}

void TPaintBox::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (OnMouseUp)
        ErrorBoundary::run([&] { OnMouseUp(event->button(), at.x(), at.y()); });
}

void TPaintBox::mouseDoubleClickEvent(QMouseEvent*) {
    if (OnDblClick)
        ErrorBoundary::run([&] { OnDblClick(); });
}

void TPaintBox::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (OnResize)
        ErrorBoundary::run([&] { OnResize(); });
}
