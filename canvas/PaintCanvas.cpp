#include "canvas/PaintCanvas.h"

#include "canvas/TTShape.h"

#include <QPainterPath>
#include <QPolygon>

#include <algorithm>

namespace {
QColor ToQColor(uint32_t colour) {
    return QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

// A pen wider than this only comes from a damaged file; it would fill the whole surface.
constexpr int MaximumPenWidth = 1000;

Qt::BrushStyle ToQtBrushStyle(uint8_t style) {
    switch (style) {
    case BrushStyle::Solid:
        return Qt::SolidPattern;
    case 2:
        return Qt::HorPattern;
    case 3:
        return Qt::VerPattern;
    case 4:
        return Qt::FDiagPattern;
    case 5:
        return Qt::BDiagPattern;
    case 6:
        return Qt::CrossPattern;
    case 7:
        return Qt::DiagCrossPattern;
    default:
        return Qt::NoBrush;
    }
}

QRectF ToRect(const PixelBox& box) {
    return QRectF(box.X, box.Y, box.Width, box.Height);
}

QPolygon ToPolygon(const std::vector<TPoint>& points) {
    QPolygon polygon;
    polygon.reserve(static_cast<qsizetype>(points.size()));
    for (const TPoint& p : points)
        polygon.append(QPoint(p.X, p.Y));
    return polygon;
}
} // namespace

PaintCanvas::PaintCanvas(QPainter& painter, uint32_t background)
    : Painter_(painter), Background_(background) {
    Painter_.setRenderHint(QPainter::Antialiasing, false);
    Painter_.setRenderHint(QPainter::TextAntialiasing, false);
    SetFont(QStringLiteral("Arial"), 10, false, false);
}

PaintCanvas::~PaintCanvas() {
    Flush();
    Painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void PaintCanvas::SetPen(uint32_t colour, int width, PenStyle style) {
    PenColour_ = colour;
    SetPenWidth(width);
    PenStyle_ = style;
}

void PaintCanvas::SetPenWidth(int width) {
    PenWidth_ = std::clamp(width, 0, MaximumPenWidth);
}

void PaintCanvas::SetBrush(uint32_t colour, uint8_t style) {
    BrushColour_ = colour;
    BrushStyle_ = style;
}

void PaintCanvas::SetFont(const QString& name, int points, bool bold, bool italic) {
    QFont font(name);
    // A size from a damaged setting must not make one glyph cover the screen.
    font.setPointSize(std::clamp(points, 1, 500));
    font.setBold(bold);
    font.setItalic(italic);
    font.setStyleStrategy(QFont::NoAntialias);
    if (font == Font_ && Metrics_)
        return;
    Font_ = font;
    Metrics_.reset();
}

const QFontMetrics& PaintCanvas::Metrics() {
    if (!Metrics_)
        Metrics_.emplace(Font_, Painter_.device());
    return *Metrics_;
}

QPen PaintCanvas::MakePen() const {
    if (PenStyle_ == PenStyle::Clear)
        return QPen(Qt::NoPen);
    QPen pen(ToQColor(PenColour_));
    if (PenWidth_ <= 1) {
        pen.setWidth(0);
        // A one-pixel line leaves out its last pixel, so a chain of lines meets end to start.
        pen.setCapStyle(Qt::FlatCap);
    } else {
        pen.setWidth(PenWidth_);
        pen.setCapStyle(Qt::RoundCap);
        pen.setJoinStyle(Qt::RoundJoin);
    }
    if (PenStyle_ == PenStyle::Dot)
        pen.setStyle(Qt::DotLine);
    return pen;
}

QBrush PaintCanvas::MakeBrush() const {
    const Qt::BrushStyle style = ToQtBrushStyle(BrushStyle_);
    if (style == Qt::NoBrush)
        return QBrush(Qt::NoBrush);
    return QBrush(ToQColor(BrushColour_), style);
}

void PaintCanvas::ApplyPenAndBrush() {
    Flush();
    Painter_.setPen(MakePen());
    Painter_.setBrush(MakeBrush());
    Painter_.setCompositionMode(PenXor_ ? QPainter::RasterOp_SourceXorDestination
                                        : QPainter::CompositionMode_SourceOver);
}

void PaintCanvas::Flush() {
    if (Lines_.empty() && Points_.empty() && Boxes_.empty())
        return;
    Painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
    const QColor colour = ToQColor(BatchColour_);
    if (!Boxes_.empty()) {
        Painter_.setPen(Qt::NoPen);
        Painter_.setBrush(colour);
        Painter_.drawRects(Boxes_.data(), static_cast<int>(Boxes_.size()));
        Boxes_.clear();
    }
    if (!Lines_.empty()) {
        QPen pen(colour);
        if (BatchLineWidth_ <= 1) {
            pen.setWidth(0);
            pen.setCapStyle(Qt::FlatCap);
        } else {
            pen.setWidth(BatchLineWidth_);
            pen.setCapStyle(Qt::RoundCap);
            pen.setJoinStyle(Qt::RoundJoin);
        }
        Painter_.setPen(pen);
        Painter_.drawLines(Lines_.data(), static_cast<int>(Lines_.size()));
        Lines_.clear();
    }
    if (!Points_.empty()) {
        QPen pen(colour);
        pen.setWidth(0);
        Painter_.setPen(pen);
        Painter_.drawPoints(Points_.data(), static_cast<int>(Points_.size()));
        Points_.clear();
    }
}

void PaintCanvas::SetPixel(int x, int y, uint32_t colour) {
    if (BatchColour_ != colour)
        Flush();
    BatchColour_ = colour;
    Points_.emplace_back(x, y);
}

void PaintCanvas::MoveTo(int x, int y) {
    Position_ = {x, y};
}

bool PaintCanvas::CanCollectLine() const {
    return PenStyle_ == PenStyle::Solid && !PenXor_;
}

void PaintCanvas::LineTo(int x, int y) {
    const TPoint from = Position_;
    Position_ = {x, y};
    if (PenStyle_ == PenStyle::Clear)
        return;
    if (CanCollectLine()) {
        if (BatchColour_ != PenColour_ || (!Lines_.empty() && BatchLineWidth_ != PenWidth_))
            Flush();
        BatchColour_ = PenColour_;
        BatchLineWidth_ = PenWidth_;
        Lines_.emplace_back(from.X, from.Y, x, y);
        return;
    }
    ApplyPenAndBrush();
    Painter_.drawLine(from.X, from.Y, x, y);
}

void PaintCanvas::Line(int x1, int y1, int x2, int y2) {
    MoveTo(x1, y1);
    LineTo(x2, y2);
}

void PaintCanvas::Rectangle(int left, int top, int right, int bottom) {
    const PixelBox box = OutlineBox(left, top, right, bottom);
    if (box.Width < 0 || box.Height < 0)
        return;
    ApplyPenAndBrush();
    Painter_.drawRect(ToRect(box));
}

void PaintCanvas::Ellipse(int left, int top, int right, int bottom) {
    const PixelBox box = OutlineBox(left, top, right, bottom);
    if (box.Width < 0 || box.Height < 0)
        return;
    ApplyPenAndBrush();
    Painter_.drawEllipse(ToRect(box));
}

void PaintCanvas::RoundRect(int left, int top, int right, int bottom, int cornerWidth,
                            int cornerHeight) {
    const PixelBox box = OutlineBox(left, top, right, bottom);
    if (box.Width < 0 || box.Height < 0)
        return;
    ApplyPenAndBrush();
    Painter_.drawRoundedRect(ToRect(box), std::max(cornerWidth, 0) / 2.0,
                             std::max(cornerHeight, 0) / 2.0, Qt::AbsoluteSize);
}

void PaintCanvas::FillRect(int left, int top, int right, int bottom) {
    if (right <= left || bottom <= top)
        return;
    if (BrushStyle_ == BrushStyle::Solid) {
        if (BatchColour_ != BrushColour_)
            Flush();
        BatchColour_ = BrushColour_;
        const PixelBox box = FillBox(left, top, right, bottom);
        Boxes_.emplace_back(left, top, static_cast<int>(box.Width), static_cast<int>(box.Height));
        return;
    }
    const Qt::BrushStyle style = ToQtBrushStyle(BrushStyle_);
    if (style == Qt::NoBrush)
        return;
    Flush();
    Painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
    Painter_.fillRect(ToRect(FillBox(left, top, right, bottom)), MakeBrush());
}

void PaintCanvas::Polygon(const std::vector<TPoint>& points) {
    if (points.empty())
        return;
    ApplyPenAndBrush();
    Painter_.drawPolygon(ToPolygon(points), Qt::OddEvenFill);
}

void PaintCanvas::Polyline(const std::vector<TPoint>& points) {
    if (points.size() < 2)
        return;
    if (PenWidth_ <= 1 && CanCollectLine()) {
        // One-pixel segments leave out their ends, so each joint is drawn once either way.
        MoveTo(points[0].X, points[0].Y);
        for (size_t i = 1; i < points.size(); ++i)
            LineTo(points[i].X, points[i].Y);
        return;
    }
    ApplyPenAndBrush();
    Painter_.setBrush(Qt::NoBrush);
    Painter_.drawPolyline(ToPolygon(points));
    Position_ = points.back();
}

void PaintCanvas::PolyBezier(const BezierSegment& segment) {
    ApplyPenAndBrush();
    QPainterPath path(QPointF(segment[0].X, segment[0].Y));
    path.cubicTo(QPointF(segment[1].X, segment[1].Y), QPointF(segment[2].X, segment[2].Y),
                 QPointF(segment[3].X, segment[3].Y));
    Painter_.strokePath(path, MakePen());
}

void PaintCanvas::TextOut(int x, int y, const QString& text) {
    if (text.isEmpty())
        return;
    Flush();
    Painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
    Painter_.setFont(Font_);
    const QFontMetrics& metrics = Metrics();
    Painter_.save();
    Painter_.translate(x, y);
    if (FontOrientation_ != 0)
        Painter_.rotate(-FontOrientation_ / 10.0);
    if (BrushStyle_ == BrushStyle::Solid)
        Painter_.fillRect(QRect(0, 0, metrics.horizontalAdvance(text), metrics.height()),
                          ToQColor(BrushColour_));
    Painter_.setPen(ToQColor(FontColour_));
    Painter_.drawText(0, metrics.ascent(), text);
    Painter_.restore();
}

int PaintCanvas::TextWidth(const QString& text) {
    return Metrics().horizontalAdvance(text);
}

int PaintCanvas::TextHeight(const QString&) {
    return Metrics().height();
}
