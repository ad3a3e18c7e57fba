#include "canvas/RenderPlan.h"

#include "canvas/TTPoint.h"
#include "canvas/TTText.h"
#include "platform/NumberText.h"

#include <algorithm>
#include <cmath>
#include <utility>

int ColourLuminance(uint32_t colour) {
    const int red = colour & 0xFF;
    const int green = (colour >> 8) & 0xFF;
    const int blue = (colour >> 16) & 0xFF;
    return (299 * red + 587 * green + 114 * blue) / 1000;
}

// ---- Shape pass ---------------------------------------------------------------------------

std::vector<bool> VisibleLayerSet(const std::vector<std::unique_ptr<TTLayer>>& layers,
                                  int nextLayerId) {
    std::vector<bool> visible(static_cast<size_t>(std::max(nextLayerId + 1, 0)), false);
    for (const auto& layer : layers) {
        if (layer->Visible && layer->Id >= 0 && layer->Id < nextLayerId + 1)
            visible[static_cast<size_t>(layer->Id)] = true;
    }
    return visible;
}

bool BoundsTouchWindow(const TTShape& shape, const WorldView& view) {
    // Written as "inside" so that a nan bound counts as outside.
    return shape.MaxX >= view.Left && shape.MinX <= view.Right && shape.MaxY >= view.Bottom &&
           shape.MinY <= view.Top;
}

int TextCellIndex(int px, int py, int cols, int rows) {
    const int cx = std::clamp(px / RenderLimits::TextCellPixels, 0, cols - 1);
    const int cy = std::clamp(py / RenderLimits::TextCellPixels, 0, rows - 1);
    return cx + cy * cols;
}

namespace {
constexpr size_t PrefetchAhead = 8;
} // namespace

void PlanShapeRange(const ShapeStore& shapes, size_t from, size_t to,
                    const std::vector<bool>& visibleLayers, const WorldView& view,
                    TPoint& lastPoint, std::vector<uint32_t>& drawn,
                    std::vector<uint32_t>& textsInView) {
    const int width = std::max(view.Width, 1);
    double worldWidth = view.Right - view.Left;
    if (!(worldWidth > 0.0))
        worldWidth = 1.0;
    const double wpp = worldWidth / width;
    const double half = wpp * 0.5;
    const double left = view.Left;
    const double top = view.Top;
    const size_t layerCount = visibleLayers.size();
    const auto layerShown = [&](int32_t id) {
        return id >= 0 && static_cast<size_t>(id) < layerCount &&
               visibleLayers[static_cast<size_t>(id)];
    };
    const auto pixelOf = [&](double x, double y) {
        return TPoint{TruncateToPixel((x - left) / wpp), TruncateToPixel((top - y) / wpp)};
    };
    to = std::min(to, shapes.size());
    for (size_t i = from; i < to; ++i) {
        // The shapes lie scattered over the heap: ask for those a few steps ahead now, so the
        // walk does not wait on memory for each one.
        if (i + PrefetchAhead < to) {
            const TTShape* ahead = shapes[i + PrefetchAhead];
            __builtin_prefetch(ahead);
            __builtin_prefetch(&ahead->MaxY);
        }
        const TTShape& shape = *shapes[i];
        if (!shape.Visible || !layerShown(shape.LayerId) || !BoundsTouchWindow(shape, view))
            continue;
        switch (shape.Type) {
        case ShapeType::Text:
            if (shape.Class() == ShapeClass::Text)
                textsInView.push_back(static_cast<uint32_t>(i));
            continue;
        case ShapeType::Point:
            if (shape.Class() == ShapeClass::Point) {
                const auto& point = static_cast<const TTPoint&>(shape);
                const TPoint pixel = pixelOf(point.X, point.Y);
                if (std::abs(static_cast<int64_t>(pixel.X) - lastPoint.X) <
                        RenderLimits::PointThinningPixels &&
                    std::abs(static_cast<int64_t>(pixel.Y) - lastPoint.Y) <
                        RenderLimits::PointThinningPixels)
                    continue;
                lastPoint = pixel;
            }
            break;
        case ShapeType::Rectangle:
        case ShapeType::Line:
            break;
        default:
            if (shape.MaxX - shape.MinX < half && shape.MaxY - shape.MinY < half)
                continue;
            break;
        }
        drawn.push_back(static_cast<uint32_t>(i));
    }
}

ShapePass PlanShapePass(const ShapeStore& shapes, const std::vector<bool>& visibleLayers,
                        const WorldView& view, size_t maxDrawn) {
    const int width = std::max(view.Width, 1);
    const int height = std::max(view.Height, 1);
    double worldWidth = view.Right - view.Left;
    if (!(worldWidth > 0.0))
        worldWidth = 1.0;
    const double wpp = worldWidth / width;
    const double left = view.Left;
    const double top = view.Top;
    const auto pixelOf = [&](double x, double y) {
        return TPoint{TruncateToPixel((x - left) / wpp), TruncateToPixel((top - y) / wpp)};
    };

    // First pass: everything but texts, in store order; the texts in view are noted for the
    // text pass, so that the store is walked once.
    std::vector<uint32_t> drawn;
    drawn.reserve(std::min(shapes.size(), maxDrawn + maxDrawn / 4));
    std::vector<uint32_t> textsInView;
    TPoint lastPoint = NoThinningPoint;
    PlanShapeRange(shapes, 0, shapes.size(), visibleLayers, view, lastPoint, drawn, textsInView);

    // Text pass: the earliest text of each 60-pixel cell.
    const int cols = width / RenderLimits::TextCellPixels + 2;
    const int rows = height / RenderLimits::TextCellPixels + 2;
    std::vector<bool> cells(static_cast<size_t>(cols) * static_cast<size_t>(rows), false);
    std::vector<uint32_t> texts;
    for (const uint32_t i : textsInView) {
        const auto& text = static_cast<const TTText&>(*shapes[i]);
        const TPoint pixel = pixelOf(text.X, text.Y);
        const size_t cell = static_cast<size_t>(TextCellIndex(pixel.X, pixel.Y, cols, rows));
        if (cells[cell])
            continue;
        cells[cell] = true;
        texts.push_back(static_cast<uint32_t>(i));
    }

    // The cap: drop the oldest of both passes together.
    size_t firstFrom = 0;
    size_t textsFrom = 0;
    size_t excess =
        drawn.size() + texts.size() > maxDrawn ? drawn.size() + texts.size() - maxDrawn : 0;
    while (excess > 0) {
        const bool takeFirst = textsFrom == texts.size() ||
                               (firstFrom < drawn.size() && drawn[firstFrom] < texts[textsFrom]);
        if (takeFirst)
            ++firstFrom;
        else
            ++textsFrom;
        --excess;
    }

    ShapePass pass;
    pass.Shapes.reserve(drawn.size() - firstFrom + texts.size() - textsFrom);
    for (size_t i = firstFrom; i < drawn.size(); ++i)
        pass.Shapes.push_back(shapes[drawn[i]]);
    pass.TextsFrom = pass.Shapes.size();
    for (size_t i = textsFrom; i < texts.size(); ++i)
        pass.Shapes.push_back(shapes[texts[i]]);
    return pass;
}

// ---- Shape drawing --------------------------------------------------------------------------

PointMarker PointMarkerFor(int penWidth) {
    if (penWidth <= 0)
        return {PointMarker::Pixel, 0};
    if (penWidth == 1)
        return {PointMarker::FourPixels, 0};
    const int offset = static_cast<int>((static_cast<int64_t>(penWidth) + 1) / 2);
    if (penWidth <= 3)
        return {PointMarker::Square, offset};
    return {PointMarker::Circle, offset};
}

int TextPointSize(double height) {
    int size = height > 0.0 ? TruncateToPixel(height) : 10;
    return std::clamp(size, 4, 72);
}

uint32_t TextDrawColour(uint32_t colour, bool selected, uint32_t background) {
    if (selected)
        return 0x0000FF;
    const int average = (static_cast<int>(colour & 0xFF) + static_cast<int>((colour >> 8) & 0xFF) +
                         static_cast<int>((colour >> 16) & 0xFF)) /
                        3;
    const bool lightBackground = ColourLuminance(background) > 128;
    if (average > 200 && lightBackground)
        return 0;
    return colour;
}

TPoint TextAnchorOffset(int align, int justify, int textWidth, int textHeight) {
    TPoint offset;
    if (align == 1)
        offset.X = -(textWidth / 2);
    else if (align == 2)
        offset.X = -textWidth;
    if (justify == 1)
        offset.Y = -(textHeight / 2);
    else if (justify == 2)
        offset.Y = -textHeight;
    return offset;
}

bool TextAnchorInReach(int sx, int sy, int clientWidth, int clientHeight) {
    return !(sx < -500 || sx > clientWidth + 500 || sy < -100 || sy > clientHeight + 100);
}

namespace {
struct DoublePoint {
    double X;
    double Y;
};
DoublePoint operator+(DoublePoint a, DoublePoint b) {
    return {a.X + b.X, a.Y + b.Y};
}
DoublePoint operator-(DoublePoint a, DoublePoint b) {
    return {a.X - b.X, a.Y - b.Y};
}
DoublePoint operator*(DoublePoint a, double k) {
    return {a.X * k, a.Y * k};
}
DoublePoint ToDouble(TPoint p) {
    return {static_cast<double>(p.X), static_cast<double>(p.Y)};
}
TPoint ToPixel(DoublePoint p) {
    return {TruncateToPixel(p.X), TruncateToPixel(p.Y)};
}
} // namespace

std::vector<BezierSegment> SplineSegments(const std::vector<TPoint>& pixels) {
    std::vector<BezierSegment> segments;
    const size_t n = pixels.size();
    if (n < 2)
        return segments;
    segments.reserve(n - 1);
    for (size_t i = 0; i + 1 < n; ++i) {
        const DoublePoint p1 = ToDouble(pixels[i]);
        const DoublePoint p2 = ToDouble(pixels[i + 1]);
        const DoublePoint p0 = i == 0 ? p1 * 2.0 - p2 : ToDouble(pixels[i - 1]);
        const DoublePoint p3 = i + 2 == n ? p2 * 2.0 - p1 : ToDouble(pixels[i + 2]);
        const DoublePoint c1 = p1 + (p2 - p0) * (0.5 / 3.0);
        const DoublePoint c2 = p2 - (p3 - p1) * (0.5 / 3.0);
        segments.push_back({pixels[i], ToPixel(c1), ToPixel(c2), pixels[i + 1]});
    }
    return segments;
}

BezierSegment ThreePointCurve(TPoint p0, TPoint p1, TPoint p2) {
    const DoublePoint a = ToDouble(p0);
    const DoublePoint b = ToDouble(p1);
    const DoublePoint c = ToDouble(p2);
    return {p0, ToPixel(a + (b - a) * (2.0 / 3.0)), ToPixel(c + (b - c) * (2.0 / 3.0)), p2};
}

PixelBox OutlineBox(int left, int top, int right, int bottom) {
    if (left > right)
        std::swap(left, right);
    if (top > bottom)
        std::swap(top, bottom);
    return {static_cast<double>(left), static_cast<double>(top),
            static_cast<double>(right) - left - 1.0, static_cast<double>(bottom) - top - 1.0};
}

PixelBox FillBox(int left, int top, int right, int bottom) {
    if (left > right)
        std::swap(left, right);
    if (top > bottom)
        std::swap(top, bottom);
    return {static_cast<double>(left), static_cast<double>(top), static_cast<double>(right) - left,
            static_cast<double>(bottom) - top};
}

// ---- Grid ---------------------------------------------------------------------------------

GridPlan PlanGrid(const WorldView& view, bool visible, bool autoScale, double spacingX,
                  double spacingY) {
    GridPlan plan;
    const double worldWidth = view.Right - view.Left;
    const double worldHeight = view.Top - view.Bottom;
    if (!visible || !(worldWidth > 0.0) || !(worldHeight > 0.0) || !std::isfinite(worldWidth) ||
        !std::isfinite(worldHeight))
        return plan;
    const int width = std::max(view.Width, 1);
    const int height = std::max(view.Height, 1);

    double stepX = NiceStep(worldWidth, 4);
    double stepY = stepX;
    if (!autoScale && spacingX > 0.0 && spacingY > 0.0 && std::isfinite(spacingX) &&
        std::isfinite(spacingY)) {
        stepX = spacingX;
        stepY = spacingY;
    }
    const auto tooDense = [&](double x, double y) {
        return x / worldWidth * width < RenderLimits::MinGridLinePixels ||
               y / worldHeight * height < RenderLimits::MinGridLinePixels;
    };
    if (tooDense(stepX, stepY)) {
        stepX = stepY = NiceStep(worldWidth, 4);
        // A window far taller than wide (only a direct write makes one) needs the taller span.
        if (tooDense(stepX, stepY))
            stepX = stepY = NiceStep(std::max(worldWidth, worldHeight), 4);
    }
    plan.Visible = true;
    plan.StepX = stepX;
    plan.StepY = stepY;

    // The counts are bounded by the client size; the limits only guard against rounding.
    const int maxColumns = width / RenderLimits::MinGridLinePixels + 3;
    const int maxRows = height / RenderLimits::MinGridLinePixels + 3;
    const double x0 = std::floor(view.Left / stepX) * stepX;
    for (int i = 0; i < maxColumns; ++i) {
        const double x = x0 + i * stepX;
        if (!(x <= view.Right))
            break;
        int sx = 0;
        int sy = 0;
        view.WorldToScreen(x, view.Top, sx, sy);
        plan.Columns.push_back({x, sx});
    }
    const double y0 = std::floor(view.Bottom / stepY) * stepY;
    for (int i = 0; i < maxRows; ++i) {
        const double y = y0 + i * stepY;
        if (!(y <= view.Top))
            break;
        int sx = 0;
        int sy = 0;
        view.WorldToScreen(view.Left, y, sx, sy);
        plan.Rows.push_back({y, sy});
    }

    if (view.Left < 0.0 && 0.0 < view.Right && view.Bottom < 0.0 && 0.0 < view.Top) {
        plan.Axes = true;
        view.WorldToScreen(0.0, 0.0, plan.AxisColumn, plan.AxisRow);
    }
    return plan;
}

std::string GridLabelText(double value, double step) {
    std::string text = FormatFixed(value, step >= 1.0 ? 1 : 3);
    if (text.find('.') == std::string::npos || text.find_first_of("Ee") != std::string::npos)
        return text;
    while (!text.empty() && text.back() == '0')
        text.pop_back();
    if (!text.empty() && text.back() == '.')
        text.pop_back();
    if (text == "-0")
        text = "0";
    return text;
}

// ---- Scale bar ----------------------------------------------------------------------------

std::string ScaleBarLabel(double value) {
    if (value >= 1000.0)
        return FormatFixed(value / 1000.0, 1, 10) + " km";
    if (value >= 1.0)
        return FormatFixed(value, 0, 10) + " m";
    if (value >= 0.01)
        return FormatFixed(value * 100.0, 0, 10) + " cm";
    // Only at the deepest zoom: "0 cm" would say nothing.
    return FormatGeneral(value * 1000.0, 6) + " mm";
}

ScaleBarPlan PlanScaleBar(double worldWidth, int clientWidth) {
    ScaleBarPlan plan;
    if (!(worldWidth > 0.0) || !std::isfinite(worldWidth) || clientWidth <= 0)
        return plan;
    const double wpp = worldWidth / clientWidth;
    const double target = wpp * RenderLimits::ScaleBarTargetPixels;
    const double magnitude = std::pow(10.0, std::floor(std::log10(target)));
    const double r = target / magnitude;
    double factor = r < 1.5 ? 1.0 : (r < 3.5 ? 2.0 : (r < 7.5 ? 5.0 : 10.0));
    double value = magnitude * factor;
    if (value / wpp > RenderLimits::ScaleBarTargetPixels + 1e-9) {
        // The next smaller of 1, 2, 5 times a power of ten.
        factor = factor == 10.0 ? 5.0 : (factor == 5.0 ? 2.0 : (factor == 2.0 ? 1.0 : 0.5));
        value = magnitude * factor;
    }
    if (!std::isfinite(value) || !(value > 0.0))
        return plan;
    plan.Visible = true;
    plan.Value = value;
    plan.Length = std::max(TruncateToPixel(value / wpp), RenderLimits::ScaleBarMinimumPixels);
    plan.Label = ScaleBarLabel(value);
    return plan;
}

// ---- Labels ---------------------------------------------------------------------------------

bool DepthLabelFarEnough(const std::vector<DepthLabel>& labels, double x, double y,
                         double spacing) {
    for (const DepthLabel& label : labels) {
        const double dx = x - label.X;
        const double dy = y - label.Y;
        if (std::sqrt(dx * dx + dy * dy) < spacing)
            return false;
    }
    return true;
}

bool LabelInReach(int sx, int sy, int clientWidth, int clientHeight) {
    return sx >= -50 && sx <= clientWidth + 50 && sy >= -20 && sy <= clientHeight + 20;
}

std::string DepthLabelText(double depth) {
    return FormatFixed(depth, 1, 10);
}

// ---- Depth and speed readout --------------------------------------------------------------

namespace {
// "12.35" -> "12.3" and "5m".
std::pair<std::string, std::string> SplitDepth(double depth) {
    const std::string text = FormatFixed(depth, 2, 10);
    return {text.substr(0, text.size() - 1), text.substr(text.size() - 1) + "m"};
}
} // namespace

DepthSpeedTexts BuildDepthSpeedTexts(double depth, double depthLow, bool depthValid, double speed,
                                     bool speedValid) {
    DepthSpeedTexts texts;
    if (depthValid) {
        if (std::isfinite(depth) && depth > 0.0)
            std::tie(texts.Big, texts.Small) = SplitDepth(depth);
        else
            std::tie(texts.Big, texts.Small) = std::pair<std::string, std::string>("--.-", "m");
        if (std::isfinite(depthLow) && depthLow > 0.0) {
            const auto [lowBig, lowSmall] = SplitDepth(depthLow);
            texts.Small += " / " + lowBig + lowSmall;
        } else if (depthLow == 0.0 && depth == 0.0) {
            texts.Small += " / --.-m";
        }
    }
    if (speedValid && std::isfinite(speed)) {
        texts.SpeedBig = FormatFixed(speed, 1, 10);
        texts.SpeedSmall = "kn";
    }
    return texts;
}

TPoint ReadoutPosition(int mode, int totalWidth, int textHeight, int clientWidth,
                       int clientHeight) {
    switch (mode) {
    case 1:
        return {clientWidth - totalWidth - 10, clientHeight - textHeight - 10};
    case 2:
        return {clientWidth - totalWidth - 10, 10};
    case 3:
        return {10, 10};
    default:
        return {10, clientHeight - textHeight - 10};
    }
}

// ---- GNSS status box ------------------------------------------------------------------------

StatusBoxColours FixQualityColours(int fixQuality) {
    switch (fixQuality) {
    case 0:
    case 1:
        return {0x0000FF, 0xFFFFFF};
    case 2:
        return {0xFFFF00, 0};
    case 4:
    case 7:
        return {0x00FF00, 0};
    default:
        return {0x00FFFF, 0};
    }
}

TPoint StatusTextPosition(int corner, int textWidth, int textHeight, int clientWidth,
                          int clientHeight) {
    switch (corner) {
    case 1:
        return {clientWidth - textWidth - 8, 8};
    case 2:
        return {clientWidth - textWidth - 8, clientHeight - textHeight - 10};
    case 3:
        return {8, clientHeight - textHeight - 10};
    default:
        return {8, 8};
    }
}

bool PointInStatusBox(TPoint textPosition, int textWidth, int textHeight, int x, int y) {
    return textPosition.X - 6 <= x && x <= textPosition.X + textWidth + 6 &&
           textPosition.Y - 6 <= y && y <= textPosition.Y + textHeight + 6;
}

// ---- Distance measure ---------------------------------------------------------------------

MeasureGeometry PlanMeasure(TPoint start, TPoint end) {
    MeasureGeometry geometry;
    const double dx = static_cast<double>(end.X) - start.X;
    const double dy = static_cast<double>(end.Y) - start.Y;
    if (dx * dx + dy * dy < 4.0)
        return geometry;
    geometry.Visible = true;
    geometry.Start = start;
    geometry.End = end;
    geometry.Radius = TruncateToPixel(std::sqrt(dx * dx + dy * dy));
    geometry.Circle = geometry.Radius > 2;
    geometry.LabelCentreX = TruncateToPixel(start.X + std::trunc(dx / 2.0));
    geometry.LabelTop = TruncateToPixel(start.Y + std::trunc(dy / 2.0) - 30.0);
    return geometry;
}

std::string MeasureDistanceText(double distance) {
    return FormatFixed(distance, 2, 10) + " m";
}

std::string MeasureBearingText(double bearing) {
    return FormatFixed(bearing, 1, 10) + "\xC2\xB0";
}
