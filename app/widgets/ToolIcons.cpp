#include "app/widgets/ToolIcons.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <algorithm>

namespace {

void drawMagnifier(QPainter& p) {
    p.drawEllipse(QRectF(2, 2, 8, 8));
    p.drawLine(QPointF(9, 9), QPointF(14, 14));
}

void draw(QPainter& p, ToolImage image) {
    const QPen ink(QColor(20, 40, 110), 1.5);
    p.setPen(ink);
    p.setBrush(Qt::NoBrush);
    switch (image) {
    case ToolImage::ZoomExtents:
        p.drawRect(QRectF(4, 4, 8, 8));
        p.drawLine(QPointF(1, 1), QPointF(4, 4));
        p.drawLine(QPointF(15, 1), QPointF(12, 4));
        p.drawLine(QPointF(1, 15), QPointF(4, 12));
        p.drawLine(QPointF(15, 15), QPointF(12, 12));
        break;
    case ToolImage::ZoomWindow:
        drawMagnifier(p);
        p.setPen(QPen(QColor(20, 40, 110), 1, Qt::DotLine));
        p.drawRect(QRectF(4, 4, 4, 4));
        break;
    case ToolImage::ZoomDynamic:
        drawMagnifier(p);
        p.drawLine(QPointF(4, 6), QPointF(8, 6));
        p.drawLine(QPointF(6, 4), QPointF(6, 8));
        break;
    case ToolImage::Pan:
        p.drawLine(QPointF(8, 1), QPointF(8, 15));
        p.drawLine(QPointF(1, 8), QPointF(15, 8));
        p.drawPolyline(QPolygonF({QPointF(6, 3), QPointF(8, 1), QPointF(10, 3)}));
        p.drawPolyline(QPolygonF({QPointF(6, 13), QPointF(8, 15), QPointF(10, 13)}));
        p.drawPolyline(QPolygonF({QPointF(3, 6), QPointF(1, 8), QPointF(3, 10)}));
        p.drawPolyline(QPolygonF({QPointF(13, 6), QPointF(15, 8), QPointF(13, 10)}));
        break;
    case ToolImage::Select:
        p.setBrush(Qt::white);
        p.drawPolygon(QPolygonF({QPointF(3, 1), QPointF(3, 13), QPointF(6, 10), QPointF(9, 15),
                                 QPointF(11, 14), QPointF(8, 9), QPointF(12, 9)}));
        break;
    case ToolImage::Exit:
        p.setPen(QPen(QColor(190, 20, 20), 2));
        p.drawArc(QRectF(2, 3, 12, 12), 120 * 16, 300 * 16);
        p.drawLine(QPointF(8, 1), QPointF(8, 8));
        break;
    case ToolImage::Restart: {
        p.setPen(QPen(QColor(20, 120, 40), 2));
        p.drawArc(QRectF(2, 2, 12, 12), 30 * 16, 300 * 16);
        p.setBrush(QColor(20, 120, 40));
        p.drawPolygon(QPolygonF({QPointF(10, 1), QPointF(15, 5), QPointF(10, 7)}));
        break;
    }
    case ToolImage::Point:
        p.setBrush(QColor(20, 40, 110));
        p.drawEllipse(QRectF(6, 6, 4, 4));
        break;
    case ToolImage::Line:
        // A lone slanted line is all edge at 1.5 pixels: one stroke more keeps it solid.
        p.setPen(QPen(QColor(20, 40, 110), 2));
        p.drawLine(QPointF(2, 14), QPointF(14, 2));
        break;
    case ToolImage::Rectangle:
        p.drawRect(QRectF(2, 4, 12, 8));
        break;
    case ToolImage::Polyline:
        p.drawPolyline(QPolygonF({QPointF(1, 13), QPointF(5, 4), QPointF(9, 11), QPointF(15, 3)}));
        break;
    case ToolImage::Ellipse:
        p.drawEllipse(QRectF(1, 4, 14, 8));
        break;
    case ToolImage::Polygon:
        p.drawPolygon(QPolygonF(
            {QPointF(8, 1), QPointF(15, 6), QPointF(12, 15), QPointF(4, 15), QPointF(1, 6)}));
        break;
    case ToolImage::Spline: {
        QPainterPath path(QPointF(1, 13));
        path.cubicTo(QPointF(4, 0), QPointF(11, 16), QPointF(15, 3));
        p.drawPath(path);
        break;
    }
    case ToolImage::Arc:
        p.drawArc(QRectF(2, 4, 12, 16), 20 * 16, 140 * 16);
        break;
    case ToolImage::Circle:
        p.drawEllipse(QRectF(2, 2, 12, 12));
        break;
    case ToolImage::HideWindow:
        p.drawRect(QRectF(2, 3, 12, 10));
        p.drawLine(QPointF(4, 10), QPointF(12, 10));
        break;
    case ToolImage::ShowWindow:
        p.drawRect(QRectF(2, 3, 12, 10));
        p.drawLine(QPointF(2, 6), QPointF(14, 6));
        break;
    case ToolImage::NavigationSettings:
        p.drawEllipse(QRectF(2, 2, 12, 12));
        p.setBrush(QColor(190, 20, 20));
        p.drawPolygon(QPolygonF({QPointF(8, 3), QPointF(10, 8), QPointF(6, 8)}));
        break;
    case ToolImage::GpsSettings:
        p.drawEllipse(QRectF(5, 5, 6, 6));
        p.drawArc(QRectF(1, 1, 14, 14), 30 * 16, 120 * 16);
        p.drawArc(QRectF(1, 1, 14, 14), 210 * 16, 120 * 16);
        break;
    case ToolImage::OpenFolder:
        p.setBrush(QColor(240, 200, 80));
        p.drawPolygon(QPolygonF({QPointF(1, 4), QPointF(6, 4), QPointF(7, 6), QPointF(15, 6),
                                 QPointF(15, 14), QPointF(1, 14)}));
        break;
    case ToolImage::ShowOffsets:
        p.drawLine(QPointF(4, 2), QPointF(4, 14));
        p.drawLine(QPointF(2, 2), QPointF(6, 2));
        p.drawLine(QPointF(2, 14), QPointF(6, 14));
        p.drawLine(QPointF(1, 9), QPointF(15, 9));
        p.drawLine(QPointF(10, 5), QPointF(10, 13));
        break;
    }
}

// The navy ink vanishes on a dark tool bar: every line gets a pale rim one pixel wide, which
// hardly shows on a light bar and outlines the picture on a dark one.
QImage WithPaleRim(const QImage& ink) {
    static const QColor rim(235, 240, 250);
    QImage result(ink.size(), QImage::Format_ARGB32_Premultiplied);
    result.fill(Qt::transparent);
    for (int y = 0; y < ink.height(); ++y)
        for (int x = 0; x < ink.width(); ++x) {
            int cover = 0;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    if (ink.valid(x + dx, y + dy))
                        cover = std::max(cover, qAlpha(ink.pixel(x + dx, y + dy)));
            if (cover > 0) {
                QColor pale = rim;
                pale.setAlpha(cover);
                result.setPixelColor(x, y, pale);
            }
        }
    QPainter painter(&result);
    painter.drawImage(0, 0, ink);
    return result;
}

} // namespace

QIcon ToolIcon(ToolImage image) {
    QImage ink(16, 16, QImage::Format_ARGB32_Premultiplied);
    ink.fill(Qt::transparent);
    QPainter painter(&ink);
    painter.setRenderHint(QPainter::Antialiasing);
    draw(painter, image);
    painter.end();
    return QIcon(QPixmap::fromImage(WithPaleRim(ink)));
}
