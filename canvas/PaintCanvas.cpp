#include "canvas/PaintCanvas.h"

#include "canvas/TTShape.h"
#include "canvas/WideLineStamp.h"
#include "platform/ColorValue.h"

#include <QPainterPath>
#include <QPolygon>

#include <algorithm>
#include <cstring>

namespace {
// 0x00BBGGRR as an opaque 0xAARRGGBB pixel.
uint32_t ToPixel(uint32_t colour) {
    return 0xFF000000u | ((colour & 0xFF) << 16) | (colour & 0xFF00) | ((colour >> 16) & 0xFF);
}

// The ink over an opaque pixel at a coverage of 1..254 out of 255, rounded as the painter's
// own text drawing rounds it, so that cached and directly drawn texts give the same pixels.
inline uint32_t BlendInk(uint32_t pixel, uint32_t ink, uint32_t coverage) {
    const uint32_t keep = 255 - coverage;
    const auto channel = [&](int shift) {
        return (((ink >> shift) & 0xFFu) * coverage + ((pixel >> shift) & 0xFFu) * keep + 127) /
               255 << shift;
    };
    return 0xFF000000u | channel(16) | channel(8) | channel(0);
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

PaintCanvas::PaintCanvas(QPainter& painter, uint32_t background, TextImageCache* textCache)
    : Painter_(painter), Background_(background), TextCache_(textCache) {
    Painter_.setRenderHint(QPainter::Antialiasing, false);
    // Texts are smoothed as the desktop smooths them; shapes and lines stay on whole pixels.
    Painter_.setRenderHint(QPainter::TextAntialiasing, true);
    SetFont(QStringLiteral("Arial"), 10, false, false);
    QPaintDevice* device = Painter_.device();
    if (device) {
        SurfaceWidth_ = device->width();
        SurfaceHeight_ = device->height();
    }
    if (device && device->devType() == QInternal::Image && Painter_.transform().isIdentity() &&
        !Painter_.hasClipping()) {
        auto* image = static_cast<QImage*>(device);
        const QImage::Format format = image->format();
        if ((format == QImage::Format_RGB32 || format == QImage::Format_ARGB32 ||
             format == QImage::Format_ARGB32_Premultiplied) &&
            image->devicePixelRatio() == 1.0) {
            // The painter paints into this very memory; reading it through constBits keeps
            // the image from detaching.
            Bits_ = const_cast<uchar*>(image->constBits());
            Stride_ = image->bytesPerLine();
            ImageWidth_ = image->width();
            ImageHeight_ = image->height();
        }
    }
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
    if (font == Font_ && Metrics_)
        return;
    Font_ = font;
    Metrics_.reset();
    FontKey_.clear();
    CachedTexts_ = nullptr;
}

const QString& PaintCanvas::FontKey() {
    if (FontKey_.isEmpty())
        FontKey_ = Font_.key();
    return FontKey_;
}

const QFontMetrics& PaintCanvas::Metrics() {
    if (!Metrics_)
        Metrics_.emplace(Font_, Painter_.device());
    return *Metrics_;
}

QPen PaintCanvas::MakePen() const {
    if (PenStyle_ == PenStyle::Clear)
        return QPen(Qt::NoPen);
    QPen pen(ColorFromBgr(PenColour_));
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
    return QBrush(ColorFromBgr(BrushColour_), style);
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
    const QColor colour = ColorFromBgr(BatchColour_);
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

void PaintCanvas::FlushUnless(uint32_t colour) {
    if (BatchColour_ != colour)
        Flush();
}

void PaintCanvas::TouchBox(int left, int top, int right, int bottom, int margin) {
    Touched_->Mark(std::min(left, right) - margin, std::min(top, bottom) - margin,
                   std::max(left, right) + margin, std::max(top, bottom) + margin);
}

void PaintCanvas::TouchPoints(const std::vector<TPoint>& points, int margin) {
    if (!Touched_ || points.empty())
        return;
    int left = points[0].X, right = left, top = points[0].Y, bottom = top;
    for (const TPoint& p : points) {
        left = std::min(left, p.X);
        right = std::max(right, p.X);
        top = std::min(top, p.Y);
        bottom = std::max(bottom, p.Y);
    }
    TouchBox(left, top, right, bottom, margin);
}

void PaintCanvas::SetPixel(int x, int y, uint32_t colour) {
    Touch(x, y, x, y, 1);
    FlushUnless(colour);
    if (Bits_) {
        WritePixel(x, y, ToPixel(colour));
        return;
    }
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
    Touch(from.X, from.Y, x, y, PenMargin());
    if (PenWidth_ <= 1 && PenStyle_ == PenStyle::Solid) {
        ThinLine(from, Position_);
        return;
    }
    if (CanCollectLine()) {
        if (Bits_ && WideLineStamp::Covers(PenWidth_, x - from.X, y - from.Y)) {
            StampLine(from, Position_);
            return;
        }
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
    Touch(left, top, right, bottom, PenMargin());
    const PixelBox box = OutlineBox(left, top, right, bottom);
    if (box.Width < 0 || box.Height < 0)
        return;
    ApplyPenAndBrush();
    Painter_.drawRect(ToRect(box));
}

void PaintCanvas::Ellipse(int left, int top, int right, int bottom) {
    Touch(left, top, right, bottom, PenMargin());
    const PixelBox box = OutlineBox(left, top, right, bottom);
    if (box.Width < 0 || box.Height < 0)
        return;
    ApplyPenAndBrush();
    Painter_.drawEllipse(ToRect(box));
}

void PaintCanvas::RoundRect(int left, int top, int right, int bottom, int cornerWidth,
                            int cornerHeight) {
    Touch(left, top, right, bottom, PenMargin());
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
    Touch(left, top, right, bottom, 1);
    if (BrushStyle_ == BrushStyle::Solid && Bits_) {
        FlushUnless(BrushColour_);
        WriteBox(left, top, right, bottom, ToPixel(BrushColour_));
        return;
    }
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
    TouchPoints(points, PenMargin());
    ApplyPenAndBrush();
    Painter_.drawPolygon(ToPolygon(points), Qt::OddEvenFill);
}

void PaintCanvas::Polyline(const std::vector<TPoint>& points) {
    if (points.size() < 2)
        return;
    TouchPoints(points, PenMargin());
    if (PenWidth_ <= 1 && PenStyle_ == PenStyle::Solid) {
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
    TouchPoints({segment.begin(), segment.end()}, PenMargin());
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
    if (TextCache_ && Bits_ && FontOrientation_ == 0 && BrushStyle_ != BrushStyle::Solid) {
        if (!CachedTexts_ && TextKeeping_ == TextKeeping::Map)
            CachedTexts_ = &TextCache_->TableFor(Font_);
        const TextImageCache::Entry& entry =
            TextKeeping_ == TextKeeping::LastFew      ? TextCache_->Recent(Font_, Metrics(), text)
            : TextKeeping_ == TextKeeping::WhileDrawn ? TextCache_->WhileDrawn(Font_, Metrics(), text)
                                                      : TextCache_->Get(
                                                            *static_cast<TextImageCache::Table*>(
                                                                CachedTexts_),
                                                            Font_, Metrics(), text);
        const int left = x - entry.Offset;
        const int top = y - entry.Offset;
        Touch(left, top, left + entry.Width, top + entry.Height, 1);
        const uint32_t ink = ToPixel(FontColour_);
        if (left >= 0 && top >= 0 && left + entry.Width <= ImageWidth_ &&
            top + entry.Height <= ImageHeight_) {
            // Wholly inside, as nearly every label is: no clipping pixel by pixel.
            for (const TextImageCache::Entry::Run& run : entry.Runs) {
                auto* line = reinterpret_cast<uint32_t*>(Bits_ + Stride_ * (top + run.Row));
                std::fill_n(line + left + run.Column, run.Length, ink);
            }
            for (const TextImageCache::Entry::Edge& edge : entry.Edges) {
                auto* pixel = reinterpret_cast<uint32_t*>(Bits_ + Stride_ * (top + edge.Row)) +
                              left + edge.Column;
                *pixel = BlendInk(*pixel, ink, edge.Coverage);
            }
            return;
        }
        for (const TextImageCache::Entry::Run& run : entry.Runs) {
            const int y = top + run.Row;
            if (y < 0 || y >= ImageHeight_)
                continue;
            const int from = std::max(left + run.Column, 0);
            const int to = std::min(left + run.Column + run.Length, ImageWidth_);
            auto* line = reinterpret_cast<uint32_t*>(Bits_ + Stride_ * y);
            if (from < to)
                std::fill(line + from, line + to, ink);
        }
        for (const TextImageCache::Entry::Edge& edge : entry.Edges) {
            const int y = top + edge.Row;
            const int x = left + edge.Column;
            if (y < 0 || y >= ImageHeight_ || x < 0 || x >= ImageWidth_)
                continue;
            auto* pixel = reinterpret_cast<uint32_t*>(Bits_ + Stride_ * y) + x;
            *pixel = BlendInk(*pixel, ink, edge.Coverage);
        }
        return;
    }
    Painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
    Painter_.setFont(Font_);
    const QFontMetrics& metrics = Metrics();
    if (Touched_) {
        if (FontOrientation_ != 0) {
            TouchBox(0, 0, SurfaceWidth_, SurfaceHeight_, 0);
        } else {
            // Overhanging glyphs and smoothed edges reach beyond the advance and the line.
            const int h = metrics.height();
            TouchBox(x, y, x + metrics.horizontalAdvance(text), y + h, h + 4);
        }
    }
    Painter_.save();
    Painter_.translate(x, y);
    if (FontOrientation_ != 0)
        Painter_.rotate(-FontOrientation_ / 10.0);
    if (BrushStyle_ == BrushStyle::Solid)
        Painter_.fillRect(QRect(0, 0, metrics.horizontalAdvance(text), metrics.height()),
                          ColorFromBgr(BrushColour_));
    Painter_.setPen(ColorFromBgr(FontColour_));
    Painter_.drawText(0, metrics.ascent(), text);
    Painter_.restore();
}

int PaintCanvas::TextWidth(const QString& text) {
    if (TextCache_)
        return TextCache_->Advance(FontKey(), Metrics(), text);
    return Metrics().horizontalAdvance(text);
}

int PaintCanvas::TextHeight(const QString&) {
    return Metrics().height();
}

void PaintCanvas::StepLine(TPoint from, TPoint to, std::vector<QPoint>& pixels) const {
    pixels.clear();
    const int64_t dx = static_cast<int64_t>(to.X) - from.X;
    const int64_t dy = static_cast<int64_t>(to.Y) - from.Y;
    const int64_t adx = dx < 0 ? -dx : dx;
    const int64_t ady = dy < 0 ? -dy : dy;
    if (adx == 0 && ady == 0)
        return;
    // Step along the major axis, one pixel per step, the last (the end point) left out
    // whichever way the line runs; the minor coordinate of step i is i * minor / steps rounded.
    // Only the steps inside the surface are walked, so a line reaching a billion pixels away
    // costs no more than the surface's width.
    const bool xMajor = adx >= ady;
    const int64_t steps = xMajor ? adx : ady;
    const int64_t minor = xMajor ? ady : adx;
    const int64_t major0 = xMajor ? from.X : from.Y;
    const int64_t minor0 = xMajor ? from.Y : from.X;
    const int64_t majorStep = (xMajor ? dx : dy) < 0 ? -1 : 1;
    const int64_t minorStep = (xMajor ? dy : dx) < 0 ? -1 : 1;
    const int64_t majorLimit = xMajor ? SurfaceWidth_ : SurfaceHeight_;
    const int64_t minorLimit = xMajor ? SurfaceHeight_ : SurfaceWidth_;
    int64_t first = 0;
    int64_t last = steps;
    if (majorStep > 0) {
        first = std::max<int64_t>(first, -major0);
        last = std::min<int64_t>(last, majorLimit - major0);
    } else {
        first = std::max<int64_t>(first, major0 - majorLimit + 1);
        last = std::min<int64_t>(last, major0 + 1);
    }
    for (int64_t i = first; i < last; ++i) {
        const int64_t m = major0 + majorStep * i;
        const int64_t n = minor0 + minorStep * ((2 * i * minor + steps) / (2 * steps));
        if (n < 0 || n >= minorLimit)
            continue;
        if (xMajor)
            pixels.emplace_back(static_cast<int>(m), static_cast<int>(n));
        else
            pixels.emplace_back(static_cast<int>(n), static_cast<int>(m));
    }
}

void PaintCanvas::ThinLine(TPoint from, TPoint to) {
    // Qt's own one-pixel lines leave out the bottom or right end whichever way they run; the
    // map's lines leave out their end point, so a chain of lines meets end to start and an
    // inverted preview has no gaps at its joints.
    StepLine(from, to, LinePixels_);
    if (LinePixels_.empty())
        return;
    if (PenXor_) {
        Flush();
        if (Bits_) {
            const uint32_t mask = ToPixel(PenColour_) & 0x00FFFFFFu;
            for (const QPoint& p : LinePixels_)
                reinterpret_cast<uint32_t*>(Bits_ + Stride_ * p.y())[p.x()] ^= mask;
            return;
        }
        QPen pen(ColorFromBgr(PenColour_));
        pen.setWidth(0);
        Painter_.setPen(pen);
        Painter_.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        Painter_.drawPoints(LinePixels_.data(), static_cast<int>(LinePixels_.size()));
        Painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
        return;
    }
    FlushUnless(PenColour_);
    if (Bits_) {
        const uint32_t argb = ToPixel(PenColour_);
        for (const QPoint& p : LinePixels_)
            reinterpret_cast<uint32_t*>(Bits_ + Stride_ * p.y())[p.x()] = argb;
        return;
    }
    BatchColour_ = PenColour_;
    Points_.insert(Points_.end(), LinePixels_.begin(), LinePixels_.end());
}

void PaintCanvas::StampLine(TPoint from, TPoint to) {
    // Collected lines of another colour go first; those of this colour cover the same pixels
    // in either order.
    FlushUnless(PenColour_);
    const uint32_t argb = ToPixel(PenColour_);
    for (const WideLineStamp::Run& run :
         WideLineStamp::RunsFor(PenWidth_, to.X - from.X, to.Y - from.Y)) {
        const int64_t y = static_cast<int64_t>(from.Y) + run.Row;
        if (y < 0 || y >= ImageHeight_)
            continue;
        const int64_t left = std::max<int64_t>(static_cast<int64_t>(from.X) + run.Column, 0);
        const int64_t right =
            std::min<int64_t>(static_cast<int64_t>(from.X) + run.Column + run.Length, ImageWidth_);
        if (left >= right)
            continue;
        auto* line = reinterpret_cast<uint32_t*>(Bits_ + Stride_ * y);
        std::fill(line + left, line + right, argb);
    }
}

void PaintCanvas::WriteBox(int left, int top, int right, int bottom, uint32_t argb) {
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, ImageWidth_);
    bottom = std::min(bottom, ImageHeight_);
    for (int y = top; y < bottom; ++y) {
        auto* line = reinterpret_cast<uint32_t*>(Bits_ + Stride_ * y);
        std::fill(line + left, line + std::max(left, right), argb);
    }
}

TextImageCache::Table& TextImageCache::TableFor(const QFont& font) {
    if (Bytes_ >= CapacityBytes) {
        Tables_.clear();
        Bytes_ = 0;
    }
    return Tables_[font.key()];
}

const QString& TextImageCache::DepthText(double depth) {
    uint64_t bits = 0;
    std::memcpy(&bits, &depth, sizeof bits);
    ++NumbersDrawn_;
    auto found = Numbers_.find(bits);
    if (found != Numbers_.end())
        return found->second;
    if (Numbers_.size() >= NumberLimit_)
        Numbers_.clear();
    return Numbers_.emplace(bits, QString::fromStdString(DepthLabelText(depth))).first->second;
}

const TextImageCache::Entry& TextImageCache::Get(Table& table, const QFont& font,
                                                 const QFontMetrics& metrics, const QString& text) {
    auto found = table.find(text);
    if (found != table.end())
        return found->second;
    Entry entry = Render(font, font.key(), metrics, text);
    Bytes_ += entry.Runs.size() * sizeof(Entry::Run) + entry.Edges.size() * sizeof(Entry::Edge) +
              static_cast<size_t>(text.size()) * 2 + 64;
    return table.emplace(text, std::move(entry)).first->second;
}

const TextImageCache::Entry& TextImageCache::Recent(const QFont& font, const QFontMetrics& metrics,
                                                    const QString& text) {
    const QString key = font.key();
    for (RecentText& recent : Recent_)
        if (recent.Text == text && recent.FontKey == key)
            return recent.Ink;
    if (Recent_.size() < RecentCapacity) {
        Recent_.push_back({key, text, Render(font, key, metrics, text)});
        return Recent_.back().Ink;
    }
    RecentText& oldest = Recent_[NextRecent_];
    NextRecent_ = (NextRecent_ + 1) % RecentCapacity;
    oldest = {key, text, Render(font, key, metrics, text)};
    return oldest.Ink;
}

const TextImageCache::Entry& TextImageCache::WhileDrawn(const QFont& font,
                                                        const QFontMetrics& metrics,
                                                        const QString& text) {
    const QString fontKey = font.key();
    const QString key = fontKey + QChar(0) + text;
    auto found = WhileDrawn_.find(key);
    if (found == WhileDrawn_.end())
        found = WhileDrawn_.emplace(key, DrawnText{Render(font, fontKey, metrics, text), 0}).first;
    found->second.LastFrame = Frame_;
    return found->second.Ink;
}

void TextImageCache::BeginFrame() {
    ++Frame_;
    // The depth texts kept follow the labels a frame draws: a survey's labels scroll past the
    // vessel, and texts of labels long out of view would pile up for the whole day.
    NumberLimit_ = std::clamp(2 * NumbersDrawn_, MinNumberCapacity, NumberCapacity);
    NumbersDrawn_ = 0;
    // A sweep now and then: a text stays between KeepFrames and twice as many frames undrawn.
    if (Frame_ % KeepFrames != 0)
        return;
    for (auto it = WhileDrawn_.begin(); it != WhileDrawn_.end();) {
        if (Frame_ - it->second.LastFrame > KeepFrames)
            it = WhileDrawn_.erase(it);
        else
            ++it;
    }
}

int TextImageCache::Advance(const QString& fontKey, const QFontMetrics& metrics,
                            const QString& text) {
    const QString key = fontKey + QChar(0) + text;
    const auto found = Advances_.find(key);
    if (found != Advances_.end())
        return found->second;
    if (Advances_.size() >= AdvanceCapacity)
        Advances_.clear();
    const int advance = metrics.horizontalAdvance(text);
    Advances_.emplace(key, advance);
    return advance;
}

TextImageCache::Entry TextImageCache::Render(const QFont& font, const QString& fontKey,
                                             const QFontMetrics& metrics, const QString& text) {
    Entry entry;
    entry.Offset = metrics.height() / 2 + 2;
    QImage image(Advance(fontKey, metrics, text) + 2 * entry.Offset,
                 metrics.height() + 2 * entry.Offset, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    entry.Width = image.width();
    entry.Height = image.height();
    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(entry.Offset, entry.Offset + metrics.ascent(), text);
    painter.end();
    // White ink on nothing: each pixel's alpha is the glyphs' coverage. Full ink is kept as
    // runs to fill, the smoothed edges as single pixels to blend.
    const int width = image.width();
    for (int row = 0; row < image.height(); ++row) {
        const auto* pixels = reinterpret_cast<const uint32_t*>(image.constScanLine(row));
        for (int column = 0; column < width;) {
            const uint32_t coverage = pixels[column] >> 24;
            if (coverage < 0xFF) {
                if (coverage > 0)
                    entry.Edges.push_back({row, column, static_cast<uint8_t>(coverage)});
                ++column;
                continue;
            }
            const int start = column;
            while (column < width && (pixels[column] >> 24) == 0xFF)
                ++column;
            entry.Runs.push_back({row, start, column - start});
        }
    }
    return entry;
}
