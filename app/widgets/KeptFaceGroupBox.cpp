#include "app/widgets/KeptFaceGroupBox.h"

#include <QPaintEvent>
#include <QPainter>
#include <QTimer>

KeptFaceGroupBox::KeptFaceGroupBox(const QString& title, QWidget* parent)
    : QGroupBox(title, parent) {}

bool KeptFaceGroupBox::faceIsCurrent() const {
    return !face_.isNull() && face_.deviceIndependentSize() == QSizeF(size()) &&
           ratio_ == devicePixelRatioF() && title_ == title() &&
           paletteKey_ == palette().cacheKey() && font_ == font() && style_ == style() &&
           enabled_ == isEnabled() && active_ == isActiveWindow();
}

void KeptFaceGroupBox::makeFace() {
    faceWanted_ = false;
    const qreal ratio = devicePixelRatioF();
    QImage face(size() * ratio, QImage::Format_ARGB32_Premultiplied);
    face.setDevicePixelRatio(ratio);
    makingFace_ = true;
    render(&face, QPoint(), QRegion(rect()), QWidget::DrawWindowBackground);
    makingFace_ = false;
    face_ = face;
    title_ = title();
    paletteKey_ = palette().cacheKey();
    font_ = font();
    style_ = style();
    enabled_ = isEnabled();
    active_ = isActiveWindow();
    ratio_ = ratio;
}

void KeptFaceGroupBox::paintEvent(QPaintEvent* event) {
    // Only a box that fills its own background in one opaque colour can be painted from a
    // picture: what shows through any other would be missing from it. A checkable box's
    // face follows the mouse.
    const QBrush background = palette().brush(backgroundRole());
    if (!autoFillBackground() || isCheckable() ||
        background.style() != Qt::SolidPattern || !background.isOpaque()) {
        QGroupBox::paintEvent(event);
        return;
    }
    if (makingFace_ || !faceIsCurrent()) {
        // Painted as a group box paints; the picture is taken once this paint is over (a box
        // cannot be drawn into a picture while it paints), the next paints come from it.
        QGroupBox::paintEvent(event);
        if (!makingFace_ && !faceWanted_) {
            faceWanted_ = true;
            QTimer::singleShot(0, this, [this] { makeFace(); });
        }
        return;
    }
    QPainter painter(this);
    for (const QRect& area : event->region())
        painter.drawImage(area, face_,
                          QRectF(QPointF(area.topLeft()) * ratio_, QSizeF(area.size()) * ratio_));
}
