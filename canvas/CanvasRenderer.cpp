#include "canvas/CanvasRenderer.h"

#include "canvas/MapDisplaySettings.h"
#include "canvas/RenderPlan.h"
#include "platform/ColorValue.h"

#include <QFontMetrics>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <unordered_map>

namespace {
TPoint PixelOf(const WorldView& view, double x, double y) {
    TPoint p;
    view.WorldToScreen(x, y, p.X, p.Y);
    return p;
}

// Paints the shapes in the order given, each in the colour the background leaves readable.
void DrawShapes(CanvasModel& model, PaintCanvas& canvas, const WorldView& view,
                const std::vector<TTShape*>& shapes) {
    const int width = std::max(view.Width, 1);
    const int height = std::max(view.Height, 1);
    // Most shapes of a map share a few colours: remember the last answer.
    uint32_t lastColour = 0;
    uint32_t lastContrast = model.GetContrastColor(0);
    for (TTShape* shape : shapes) {
        const uint32_t colour = shape->PenFg;
        if (colour != lastColour) {
            lastColour = colour;
            lastContrast = model.GetContrastColor(colour);
        }
        if (lastContrast != colour)
            shape->PenFg = lastContrast;
        shape->Draw(canvas, view.Left, view.Right, view.Top, view.Bottom, width, height);
        shape->PenFg = colour;
    }
}

// The shapes at the store indices.
std::vector<TTShape*> ShapesAt(const ShapeStore& store, const std::vector<uint32_t>& indices) {
    std::vector<TTShape*> shapes;
    shapes.reserve(indices.size());
    for (const uint32_t index : indices)
        shapes.push_back(store[index]);
    return shapes;
}

// Store index of the live layer's first shape at or after `from`; the store's size when none.
size_t FirstLiveShape(const CanvasModel& model, size_t from) {
    const size_t count = model.Shapes.size();
    if (model.LiveLayerId < 0)
        return count;
    for (size_t i = from; i < count; ++i)
        if (model.Shapes[i]->LayerId == model.LiveLayerId)
            return i;
    return count;
}

void CopyImage(const QImage& from, QImage& to) {
    if (to.size() != from.size() || to.format() != from.format())
        to = QImage(from.size(), from.format());
    std::memcpy(to.bits(), from.constBits(), static_cast<size_t>(from.sizeInBytes()));
}

// The marked pixels from one image of 32 bits per pixel to another of the same size.
void CopyTiles(const QImage& from, QImage& to, const TouchedTiles& tiles) {
    // Row addresses from the first pixel: asking the image for each row checks its sharing.
    uchar* const target = to.bits();
    const uchar* const source = from.constBits();
    const qsizetype targetStride = to.bytesPerLine();
    const qsizetype sourceStride = from.bytesPerLine();
    for (const TouchedTiles::Box& box : tiles.Pixels()) {
        const size_t bytes = static_cast<size_t>(box.Right - box.Left + 1) * 4;
        for (int y = box.Top; y <= box.Bottom; ++y)
            std::memcpy(target + y * targetStride + box.Left * 4,
                        source + y * sourceStride + box.Left * 4, bytes);
    }
}

// The marked pixels of an image of 32 bits per pixel filled as QImage::fill fills it whole.
void FillTiles(QImage& image, const TouchedTiles& tiles, const QColor& colour) {
    QImage sample(1, 1, image.format());
    sample.fill(colour);
    const uint32_t pixel = *reinterpret_cast<const uint32_t*>(sample.constBits());
    uchar* const bits = image.bits();
    const qsizetype stride = image.bytesPerLine();
    for (const TouchedTiles::Box& box : tiles.Pixels())
        for (int y = box.Top; y <= box.Bottom; ++y) {
            auto* line = reinterpret_cast<uint32_t*>(bits + y * stride);
            std::fill(line + box.Left, line + box.Right + 1, pixel);
        }
}

QRegion RegionOf(const TouchedTiles& tiles) {
    std::vector<QRect> rects;
    for (const TouchedTiles::Box& box : tiles.Tiles())
        rects.emplace_back(QPoint(box.Left, box.Top), QPoint(box.Right, box.Bottom));
    QRegion region;
    // The tiles come in bands from the top, each band from the left: the order the region
    // keeps its own rectangles in.
    region.setRects(rects.data(), static_cast<int>(rects.size()));
    return region;
}

TouchedTiles TilesFor(const QImage& image) {
    TouchedTiles tiles;
    tiles.Reset(image.width(), image.height());
    return tiles;
}

const QString StatusFontName = QStringLiteral("Consolas");
constexpr int StatusFontPoints = 12;
const QString HeadingMark = QStringLiteral("THdg:");
} // namespace

namespace {
// Grid and every shape on an image filled with the background, in paint order; with `drawn`,
// where they drew is marked there.
void PaintGridAndShapes(CanvasModel& model, QImage& image, TextImageCache* textCache,
                        TouchedTiles* drawn = nullptr) {
    QPainter painter(&image);
    PaintCanvas canvas(painter, model.BackColor, textCache);
    if (drawn)
        canvas.TrackTouched(*drawn);
    if (model.GridOnTop == 0)
        CanvasRenderer::DrawGrid(model, canvas);
    CanvasRenderer::DrawAllShapes(model, canvas);
    if (model.GridOnTop == 1)
        CanvasRenderer::DrawGrid(model, canvas);
}

// Background, grid and every shape on the image, in paint order.
void PaintWholeBuffer(CanvasModel& model, QImage& image, TextImageCache* textCache) {
    image.fill(ColorFromBgr(model.BackColor));
    PaintGridAndShapes(model, image, textCache);
}

// The frame painted straight, as RenderWholeFrame paints it, over the last frame painted so:
// the background comes back only where that one drew, and only what either drew has changed.
void PaintStraightFrame(CanvasModel& model, ShapeLayerCache& cache, QImage& frame,
                        TextImageCache* textCache) {
    const QSize size(std::max(model.ClientWidth, 1), std::max(model.ClientHeight, 1));
    const QColor background = ColorFromBgr(model.BackColor);
    TouchedTiles changed;
    if (cache.StraightTracked && frame.size() == size && frame.format() == QImage::Format_RGB32 &&
        cache.StraightBackground == model.BackColor) {
        changed = cache.StraightDrawn;
        FillTiles(frame, changed, background);
    } else {
        if (frame.size() != size || frame.format() != QImage::Format_RGB32)
            frame = QImage(size, QImage::Format_RGB32);
        frame.fill(background);
        changed = TilesFor(frame);
        changed.MarkAll();
    }
    TouchedTiles drawn = TilesFor(frame);
    PaintGridAndShapes(model, frame, textCache, &drawn);
    {
        QPainter painter(&frame);
        PaintCanvas canvas(painter, model.BackColor, textCache);
        canvas.TrackTouched(drawn);
        CanvasRenderer::DrawOverlays(model, canvas, textCache);
    }
    changed.Unite(drawn);
    cache.FrameChange = RegionOf(changed);
    cache.StraightDrawn = std::move(drawn);
    cache.StraightBackground = model.BackColor;
    cache.StraightTracked = true;
}
} // namespace

// ---- Back buffer ----------------------------------------------------------------------------

bool CanvasRenderer::UpdateBackBuffer(CanvasModel& model, QImage& buffer,
                                      TextImageCache* textCache) {
    const int width = std::max(model.ClientWidth, 1);
    const int height = std::max(model.ClientHeight, 1);
    const bool resized = buffer.width() != width || buffer.height() != height ||
                         buffer.format() != QImage::Format_RGB32;
    if (!model.BackBufferStale() && !resized)
        return false;
    if (resized)
        buffer = QImage(width, height, QImage::Format_RGB32);
    PaintWholeBuffer(model, buffer, textCache);
    model.NeedsRedraw = false;
    model.Shapes.ClearChangeMark();
    model.BuiltFields = model.ShownFields();
    return true;
}

const QImage& CanvasRenderer::ComposeFrame(CanvasModel& model, QImage& backBuffer, QImage& frame,
                                           TextImageCache* textCache) {
    UpdateBackBuffer(model, backBuffer, textCache);
    CopyImage(backBuffer, frame);
    QPainter painter(&frame);
    PaintCanvas canvas(painter, model.BackColor, textCache);
    DrawOverlays(model, canvas, textCache);
    return frame;
}

const QImage& CanvasRenderer::ComposeLayeredFrame(CanvasModel& model, ShapeLayerCache& cache,
                                                  QImage& frame, TextImageCache* textCache) {
    QImage& buffer = cache.Image;
    const int width = std::max(model.ClientWidth, 1);
    const int height = std::max(model.ClientHeight, 1);
    const bool resized = buffer.width() != width || buffer.height() != height ||
                         buffer.format() != QImage::Format_RGB32;
    const size_t changedFrom = model.Shapes.ChangedFrom();
    const bool stale = resized || model.NeedsRedraw ||
                       (cache.Valid && (cache.Whole ? changedFrom != ShapeStore::NoChange
                                                    : changedFrom < cache.End));
    // A map that follows the vessel pans at every tick: a buffer kept for the next paint would
    // be stale again by then. From the second stale paint in a row the frame is painted
    // straight, and the buffer is built again once a paint finds the view still.
    if (stale && cache.StaleLastPaint) {
        if (resized)
            buffer = QImage(width, height, QImage::Format_RGB32);
        PaintStraightFrame(model, cache, frame, textCache);
        cache.Valid = false;
        cache.FrameTracked = false;
        ++cache.Rebuilds;
        model.NeedsRedraw = false;
        model.Shapes.ClearChangeMark();
        model.BuiltFields = model.ShownFields();
        return frame;
    }
    cache.StaleLastPaint = stale;
    cache.StraightTracked = false;
    const bool rebuild = stale || !cache.Valid;
    const WorldView view = model.View();
    std::vector<uint32_t> top;
    // Where the buffer changed under a frame that is otherwise still its copy.
    bool bufferRebuilt = rebuild;
    TouchedTiles painted = TilesFor(buffer);
    if (rebuild || !cache.Whole) {
        // Plan on from where the buffer stopped: the shapes still to go under the live layer,
        // then the live layer and what follows it.
        const size_t from = rebuild ? 0 : cache.End;
        const size_t live = FirstLiveShape(model, from);
        const std::vector<bool> visible = VisibleLayerSet(model.Layers, model.NextLayerId);
        std::vector<uint32_t> under;
        std::vector<uint32_t> texts;
        TPoint lastPoint = rebuild ? NoThinningPoint : cache.LastPoint;
        PlanShapeRange(model.Shapes, from, live, visible, view, lastPoint, under, texts);
        TPoint topPoint = lastPoint;
        PlanShapeRange(model.Shapes, live, model.Shapes.size(), visible, view, topPoint, top,
                       texts);
        const size_t drawnBefore = rebuild ? 0 : cache.Drawn;
        if (!texts.empty() ||
            drawnBefore + under.size() + top.size() > RenderLimits::MaxDrawnShapes) {
            model.NeedsRedraw = true;
            UpdateBackBuffer(model, buffer, textCache);
            cache.Valid = true;
            cache.Whole = true;
            cache.End = model.Shapes.size();
            cache.Drawn = 0;
            cache.LastPoint = NoThinningPoint;
            ++cache.Rebuilds;
            bufferRebuilt = true;
            top.clear();
        } else {
            if (rebuild) {
                if (resized)
                    buffer = QImage(width, height, QImage::Format_RGB32);
                buffer.fill(ColorFromBgr(model.BackColor));
                cache.Drawn = 0;
                ++cache.Rebuilds;
            } else if (!under.empty()) {
                ++cache.Additions;
            }
            if (rebuild || !under.empty()) {
                QPainter painter(&buffer);
                PaintCanvas canvas(painter, model.BackColor, textCache);
                // A rebuilt buffer is copied whole: only an addition is worth its tiles.
                if (!rebuild)
                    canvas.TrackTouched(painted);
                if (rebuild && model.GridOnTop == 0)
                    DrawGrid(model, canvas);
                DrawShapes(model, canvas, view, ShapesAt(model.Shapes, under));
                canvas.Flush();
            }
            cache.Valid = true;
            cache.Whole = false;
            cache.End = live;
            cache.Drawn += under.size();
            cache.LastPoint = lastPoint;
        }
    }
    model.NeedsRedraw = false;
    model.Shapes.ClearChangeMark();
    model.BuiltFields = model.ShownFields();

    // What the frame shows anew: all of it after a whole copy, else what the last frame drew
    // over the buffer, what joined the buffer and what this frame draws over it.
    TouchedTiles changed;
    if (bufferRebuilt || !cache.FrameTracked || frame.size() != buffer.size() ||
        frame.format() != buffer.format() || cache.FrameDirty.Width() != buffer.width() ||
        cache.FrameDirty.Height() != buffer.height()) {
        CopyImage(buffer, frame);
        changed = TilesFor(frame);
        changed.MarkAll();
    } else {
        changed = cache.FrameDirty;
        changed.Unite(painted);
        CopyTiles(buffer, frame, changed);
    }
    // The live layer, what follows it and a grid over the shapes, then the overlays, each with
    // a painter of its own as the back buffer and the overlays have.
    TouchedTiles dirty = TilesFor(frame);
    if (!cache.Whole && (!top.empty() || model.GridOnTop == 1)) {
        QPainter painter(&frame);
        PaintCanvas canvas(painter, model.BackColor, textCache);
        canvas.TrackTouched(dirty);
        DrawShapes(model, canvas, view, ShapesAt(model.Shapes, top));
        if (model.GridOnTop == 1)
            DrawGrid(model, canvas);
        canvas.Flush();
    }
    {
        QPainter painter(&frame);
        PaintCanvas canvas(painter, model.BackColor, textCache);
        canvas.TrackTouched(dirty);
        DrawOverlays(model, canvas, textCache);
    }
    changed.Unite(dirty);
    cache.FrameChange = RegionOf(changed);
    cache.FrameDirty = std::move(dirty);
    cache.FrameTracked = true;
    return frame;
}

void CanvasRenderer::RenderWholeFrame(CanvasModel& model, QImage& frame,
                                      TextImageCache* textCache) {
    const QSize size(std::max(model.ClientWidth, 1), std::max(model.ClientHeight, 1));
    if (frame.size() != size || frame.format() != QImage::Format_RGB32)
        frame = QImage(size, QImage::Format_RGB32);
    PaintWholeBuffer(model, frame, textCache);
    QPainter painter(&frame);
    PaintCanvas canvas(painter, model.BackColor, textCache);
    DrawOverlays(model, canvas, textCache);
}

void CanvasRenderer::DrawAllShapes(CanvasModel& model, PaintCanvas& canvas) {
    const WorldView view = model.View();
    const ShapePass pass =
        PlanShapePass(model.Shapes, VisibleLayerSet(model.Layers, model.NextLayerId), view);
    DrawShapes(model, canvas, view, pass.Shapes);
}

void CanvasRenderer::DrawGrid(const CanvasModel& model, PaintCanvas& canvas) {
    const WorldView view = model.View();
    const GridPlan plan = PlanGrid(view, model.GridVisible, model.GridAutoScale, model.GridSpacingX,
                                   model.GridSpacingY);
    if (!plan.Visible)
        return;
    const int width = model.ClientWidth;
    const int height = model.ClientHeight;
    canvas.SetPen(model.GridColor, 1, PaintCanvas::PenStyle::Dot);
    const int topRow = PixelOf(view, view.Left, view.Top).Y;
    const int bottomRow = PixelOf(view, view.Left, view.Bottom).Y;
    const int leftColumn = PixelOf(view, view.Left, view.Top).X;
    const int rightColumn = PixelOf(view, view.Right, view.Top).X;
    for (const GridLine& column : plan.Columns)
        canvas.Line(column.Pixel, topRow, column.Pixel, bottomRow);
    for (const GridLine& row : plan.Rows)
        canvas.Line(leftColumn, row.Pixel, rightColumn, row.Pixel);

    canvas.SetPenStyle(PaintCanvas::PenStyle::Solid);
    canvas.SetFont(QStringLiteral("Tahoma"), 8, false, false);
    canvas.SetFontColour(0);
    for (const GridLine& column : plan.Columns) {
        const int sx = column.Pixel;
        if (!(sx > 4 && sx <= width - 50))
            continue;
        const QString text = QString::fromStdString(GridLabelText(column.Value, plan.StepX));
        const int w = canvas.TextWidth(text);
        const int h = canvas.TextHeight(text);
        canvas.SetBrush(0xFFFFFF, BrushStyle::Solid);
        canvas.FillRect(sx - w / 2 - 2, height - h - 4, sx + w / 2 + 2, height - 2);
        canvas.TextOut(sx - w / 2, height - h - 3, text);
    }
    for (const GridLine& row : plan.Rows) {
        const int sy = row.Pixel;
        if (!(sy > 14 && sy <= height - 20))
            continue;
        const QString text = QString::fromStdString(GridLabelText(row.Value, plan.StepY));
        const int w = canvas.TextWidth(text);
        const int h = canvas.TextHeight(text);
        canvas.SetBrush(0xFFFFFF, BrushStyle::Solid);
        canvas.FillRect(2, sy - h / 2 - 1, w + 6, sy + h / 2 + 1);
        canvas.TextOut(4, sy - h / 2, text);
    }
    if (plan.Axes) {
        canvas.SetPen(0x0000FF, 1);
        canvas.Line(0, plan.AxisRow, width, plan.AxisRow);
        canvas.Line(plan.AxisColumn, 0, plan.AxisColumn, height);
    }
    canvas.SetBrushStyle(BrushStyle::Clear);
}

// ---- Overlays -------------------------------------------------------------------------------

void CanvasRenderer::DrawOverlays(const CanvasModel& model, PaintCanvas& canvas,
                                  TextImageCache* textCache) {
    using Keeping = PaintCanvas::TextKeeping;
    if (textCache)
        textCache->BeginFrame();
    DrawRubberBand(model, canvas);
    // The measured distance follows the mouse; the read-outs and the status line follow the
    // survey: their texts change at nearly every frame. The labels are drawn at every frame
    // while they are in view.
    canvas.SetTextKeeping(Keeping::LastFew);
    DrawDistanceOverlay(model, canvas);
    canvas.SetTextKeeping(Keeping::WhileDrawn);
    DrawDepthLabelsOverlay(model, canvas, textCache);
    DrawEventLabelsOverlay(model, canvas);
    canvas.SetTextKeeping(Keeping::LastFew);
    DrawCurrentDepthOverlay(model, canvas);
    DrawCurrentSpeedOverlay(model, canvas);
    DrawGGAOverlay(model, canvas);
    canvas.SetTextKeeping(Keeping::WhileDrawn);
    DrawScaleBar(model, canvas);
    canvas.Flush();
}

void CanvasRenderer::DrawRubberBand(const CanvasModel& model, PaintCanvas& canvas) {
    if (!model.RubberBandActive || !model.DrawingActive)
        return;
    const WorldView view = model.View();
    const TPoint a = PixelOf(view, model.AnchorX, model.AnchorY);
    const TPoint c = PixelOf(view, model.CursorX, model.CursorY);
    canvas.SetPen(0xFFFFFF, 1);
    canvas.SetPenXor(true);
    switch (model.ToolMode) {
    case ShapeType::Rectangle:
    case ShapeType::EllipseTool:
    case -1:
    case -3:
        canvas.SetBrushStyle(BrushStyle::Clear);
        canvas.Rectangle(a.X, a.Y, c.X, c.Y);
        break;
    case ShapeType::Line:
        canvas.Line(a.X, a.Y, c.X, c.Y);
        break;
    case ShapeType::Polyline:
    case ShapeType::Polygon:
    case ShapeType::Spline:
    case ShapeType::ThreePointArc: {
        const TTPolyline* pending = model.PendingPolyline.get();
        if (!pending || pending->Points.empty())
            break;
        const TPoint first = PixelOf(view, pending->Points[0].X, pending->Points[0].Y);
        canvas.MoveTo(first.X, first.Y);
        for (size_t i = 1; i < pending->Points.size(); ++i) {
            const TPoint p = PixelOf(view, pending->Points[i].X, pending->Points[i].Y);
            canvas.LineTo(p.X, p.Y);
        }
        canvas.LineTo(c.X, c.Y);
        if (model.ToolMode == ShapeType::Polygon)
            canvas.LineTo(first.X, first.Y);
        break;
    }
    case ShapeType::Circle: {
        const double r = std::hypot(model.CursorX - model.AnchorX, model.CursorY - model.AnchorY);
        const TPoint edge = PixelOf(view, model.AnchorX + r, model.AnchorY + r);
        const int rs = TruncateToPixel(std::fabs(static_cast<double>(edge.X) - a.X));
        canvas.SetBrushStyle(BrushStyle::Clear);
        canvas.Ellipse(a.X - rs, a.Y - rs, a.X + rs, a.Y + rs);
        break;
    }
    default:
        break;
    }
    canvas.SetPenXor(false);
}

void CanvasRenderer::DrawDistanceOverlay(const CanvasModel& model, PaintCanvas& canvas) {
    if (!model.Measuring)
        return;
    const WorldView view = model.View();
    const MeasureGeometry g = PlanMeasure(PixelOf(view, model.MeasureStartX, model.MeasureStartY),
                                          PixelOf(view, model.MeasureEndX, model.MeasureEndY));
    if (!g.Visible)
        return;
    const TPoint s = g.Start;
    const TPoint e = g.End;
    canvas.SetPen(0x0000FF, 1);
    if (g.Circle) {
        canvas.SetBrushStyle(BrushStyle::Clear);
        canvas.Ellipse(s.X - g.Radius, s.Y - g.Radius, s.X + g.Radius, s.Y + g.Radius);
    }
    canvas.SetBrush(0x0000FF, BrushStyle::Solid);
    canvas.Ellipse(s.X - 3, s.Y - 3, s.X + 3, s.Y + 3);
    canvas.SetPen(0xFF0000, 1);
    canvas.Line(s.X, s.Y, e.X, e.Y);
    canvas.Line(e.X - 8, e.Y, e.X + 8, e.Y);
    canvas.Line(e.X, e.Y - 8, e.X, e.Y + 8);

    // The label keeps the face the scale bar leaves behind.
    canvas.SetFont(QStringLiteral("Arial"), 11, true, false);
    const QString distance = QString::fromStdString(MeasureDistanceText(model.MeasureDistance));
    const QString bearing = QString::fromStdString(MeasureBearingText(model.MeasureBearing));
    const int w1 = canvas.TextWidth(distance);
    const int w2 = canvas.TextWidth(bearing);
    const int m = std::max(w1, w2);
    const int h = canvas.TextHeight(distance);
    const int cx = g.LabelCentreX;
    const int ty = g.LabelTop;
    canvas.SetBrush(0x00FFFF, BrushStyle::Solid);
    canvas.SetPen(0, 1);
    canvas.Rectangle(cx - m / 2 - 8, ty - 2, cx + m / 2 + 8, ty + 2 * h + 6);
    canvas.SetBrushStyle(BrushStyle::Clear);
    canvas.SetFontColour(0);
    canvas.TextOut(cx - w1 / 2, ty, distance);
    canvas.SetFontColour(0x800000);
    canvas.TextOut(cx - w2 / 2, ty + h + 2, bearing);
    canvas.SetFont(QStringLiteral("Arial"), 11, false, false);
}

void CanvasRenderer::DrawDepthLabelsOverlay(const CanvasModel& model, PaintCanvas& canvas,
                                            TextImageCache* textCache) {
    if (!model.LabelsVisible || model.DepthLabels.empty())
        return;
    const WorldView view = model.View();
    canvas.SetFont(model.LabelFontName, model.LabelFontSize, false, false);
    // The chosen colour while it reads on the map's background (a theme's, the operator's, the
    // shallow-water red), the same hue made lighter or darker where it does not.
    canvas.SetFontColour(ReadableBgr(model.LabelColor, model.BackColor));
    canvas.SetBrushStyle(BrushStyle::Clear);
    // A survey repeats the same few hundred depth texts: measure each once per paint.
    std::unordered_map<QString, int, TextImageCache::QStringHash> widths;
    std::unordered_map<std::string, QString> texts;
    int height = -1;
    for (const DepthLabel& label : model.DepthLabels) {
        const TPoint p = PixelOf(view, label.X, label.Y);
        if (!LabelInReach(p.X, p.Y, view.Width, view.Height))
            continue;
        const QString* text = nullptr;
        if (textCache) {
            text = &textCache->DepthText(label.Depth);
        } else {
            auto [entry, added] = texts.try_emplace(DepthLabelText(label.Depth));
            if (added)
                entry->second = QString::fromStdString(entry->first);
            text = &entry->second;
        }
        auto [width, measured] = widths.try_emplace(*text, 0);
        if (measured)
            width->second = canvas.TextWidth(*text);
        if (height < 0)
            height = canvas.TextHeight(*text);
        canvas.TextOut(p.X - width->second / 2, p.Y - height / 2, *text);
    }
}

void CanvasRenderer::DrawEventLabelsOverlay(const CanvasModel& model, PaintCanvas& canvas) {
    if (model.EventLabels.empty())
        return;
    const WorldView view = model.View();
    canvas.SetFont(QStringLiteral("Arial"), EventLabelFontSize, true, false);
    canvas.SetFontColour(ReadableBgr(EventLabelColor, model.BackColor));
    canvas.SetBrushStyle(BrushStyle::Clear);
    for (const EventLabel& label : model.EventLabels) {
        const TPoint p = PixelOf(view, label.X, label.Y);
        if (!LabelInReach(p.X, p.Y, view.Width, view.Height))
            continue;
        const QString text = QString::number(label.Number);
        canvas.TextOut(p.X - canvas.TextWidth(text) / 2, p.Y - canvas.TextHeight(text) / 2, text);
    }
}

void CanvasRenderer::DrawCurrentDepthOverlay(const CanvasModel& model, PaintCanvas& canvas) {
    if (!model.DepthValid && !model.SpeedValid)
        return;
    const DepthSpeedTexts texts =
        BuildDepthSpeedTexts(model.CurrentDepth, model.CurrentDepthLow, model.DepthValid,
                             model.CurrentSpeed, model.SpeedValid);
    if (texts.Empty())
        return;
    const QString big = QString::fromStdString(texts.Big);
    const QString small = QString::fromStdString(texts.Small);
    const QString speedBig = QString::fromStdString(texts.SpeedBig);
    const QString speedSmall = QString::fromStdString(texts.SpeedSmall);
    const QString face = QStringLiteral("Arial Black");
    const auto widthOf = [&canvas](const QString& text) {
        return text.isEmpty() ? 0 : canvas.TextWidth(text);
    };
    canvas.SetFont(face, OverlayFontSize, true, false);
    const int w1 = widthOf(big);
    const int w3 = widthOf(speedBig);
    const int h = canvas.TextHeight(QStringLiteral("0"));
    canvas.SetFont(face, 10, true, false);
    const int w2 = widthOf(small);
    const int w4 = widthOf(speedSmall);
    const int total = w1 + w2 + w3 + w4;
    const TPoint at = ReadoutPosition(model.DepthSpeedDisplayMode, total, h, model.ClientWidth,
                                      model.ClientHeight);
    constexpr uint32_t paper = 0xFFFFFF;
    canvas.SetBrush(paper, BrushStyle::Solid);
    canvas.SetPen(0, 1);
    canvas.RoundRect(at.X - 6, at.Y - 6, at.X + total + 6, at.Y + h + 6, 6, 6);
    canvas.SetBrushStyle(BrushStyle::Clear);
    int cx = at.X;
    if (!big.isEmpty()) {
        canvas.SetFontColour(ReadableBgr(OverlayDepthColor, paper));
        canvas.SetFont(face, OverlayFontSize, true, false);
        canvas.TextOut(cx, at.Y, big);
        cx += w1;
        canvas.SetFont(face, 10, true, false);
        canvas.TextOut(cx, at.Y, small);
        cx += w2;
    }
    if (!speedBig.isEmpty()) {
        canvas.SetFontColour(ReadableBgr(OverlaySpeedColor, paper));
        canvas.SetFont(face, OverlayFontSize, true, false);
        canvas.TextOut(cx, at.Y, speedBig);
        cx += w3;
        canvas.SetFont(face, 10, true, false);
        canvas.TextOut(cx, at.Y, speedSmall);
    }
}

void CanvasRenderer::DrawCurrentSpeedOverlay(const CanvasModel&, PaintCanvas&) {}

void CanvasRenderer::DrawGGAOverlay(const CanvasModel& model, PaintCanvas& canvas) {
    if (OverlayStatusText.empty())
        return;
    const QString text = QString::fromStdString(OverlayStatusText);
    canvas.SetFont(StatusFontName, StatusFontPoints, true, false);
    const int w = canvas.TextWidth(text);
    const int h = canvas.TextHeight(text);
    const TPoint at =
        StatusTextPosition(model.GGAOverlayPosition, w, h, model.ClientWidth, model.ClientHeight);
    const StatusBoxColours colours = FixQualityColours(CurrentFixQuality);
    // The box's colour is the fix at a glance; where its text would not read on it (white on
    // the no-fix red) the box is deepened, the text keeps its colour.
    const uint32_t box = ReadableBgr(colours.Box, colours.Text);
    canvas.SetPen(box, 1);
    canvas.SetBrush(box, BrushStyle::Solid);
    canvas.RoundRect(at.X - 6, at.Y - 6, at.X + w + 6, at.Y + h + 6, 6, 6);
    canvas.SetBrushStyle(BrushStyle::Clear);
    canvas.SetFontColour(colours.Text);
    const qsizetype mark = text.indexOf(HeadingMark);
    if (mark < 0 || model.HeadingValid) {
        canvas.TextOut(at.X, at.Y, text);
        return;
    }
    const QString before = text.left(mark);
    const QString heading = text.mid(mark);
    const int lw = canvas.TextWidth(before);
    const int rw = canvas.TextWidth(heading);
    canvas.TextOut(at.X, at.Y, before);
    canvas.SetBrush(ReadableBgr(0x0000FF, 0xFFFFFF), BrushStyle::Solid);
    canvas.FillRect(at.X + lw - 2, at.Y - 2, at.X + lw + rw + 2, at.Y + h + 2);
    canvas.SetBrushStyle(BrushStyle::Clear);
    canvas.SetFontColour(0xFFFFFF);
    canvas.TextOut(at.X + lw, at.Y, heading);
    canvas.SetFontColour(colours.Text);
}

bool CanvasRenderer::IsPointInGGAOverlay(const CanvasModel& model, int x, int y) {
    if (OverlayStatusText.empty())
        return false;
    // Measured on an image, as the frame is painted.
    static const QImage surface(1, 1, QImage::Format_RGB32);
    QFont font(StatusFontName);
    font.setPointSize(StatusFontPoints);
    font.setBold(true);
    const QFontMetrics metrics(font, &surface);
    const QString text = QString::fromStdString(OverlayStatusText);
    const int w = metrics.horizontalAdvance(text);
    const int h = metrics.height();
    const TPoint at =
        StatusTextPosition(model.GGAOverlayPosition, w, h, model.ClientWidth, model.ClientHeight);
    return PointInStatusBox(at, w, h, x, y);
}

void CanvasRenderer::DrawScaleBar(const CanvasModel& model, PaintCanvas& canvas) {
    const ScaleBarPlan plan = PlanScaleBar(model.GetWorldWidth(), model.ClientWidth);
    if (!plan.Visible)
        return;
    const int len = plan.Length;
    const int x0 = model.ClientWidth - len - 20;
    const int y0 = model.ClientHeight - 8 - 20 - 15;
    canvas.SetBrush(0xFFFFFF, BrushStyle::Solid);
    canvas.SetPen(0, 1);
    canvas.Rectangle(x0 - 5, y0 - 5, x0 + len + 5, y0 + 28);
    canvas.SetBrush(0, BrushStyle::Solid);
    canvas.FillRect(x0, y0, x0 + len / 2, y0 + 8);
    canvas.SetBrush(0xFFFFFF, BrushStyle::Solid);
    canvas.FillRect(x0 + len / 2, y0, x0 + len, y0 + 8);
    canvas.SetBrushStyle(BrushStyle::Clear);
    canvas.Rectangle(x0, y0, x0 + len, y0 + 8);
    canvas.SetFont(QStringLiteral("Arial"), 8, false, false);
    canvas.SetFontColour(0);
    const QString label = QString::fromStdString(plan.Label);
    canvas.TextOut(x0 + (len - canvas.TextWidth(label)) / 2, y0 + 10, label);
}
