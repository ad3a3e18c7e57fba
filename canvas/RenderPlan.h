#pragma once

#include "canvas/CanvasGeometry.h"
#include "canvas/DepthLabel.h"
#include "canvas/EventLabel.h"
#include "canvas/ShapeStore.h"
#include "canvas/TTLayer.h"
#include "canvas/WorldView.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// What the map paints and where, decided without a painter: which shapes a rebuild draws,
// where the grid lines and the scale bar go, how a point marker or a text is laid out, the
// readout and measure texts. The painting code only carries these decisions out, so they are
// tested here without pixels.

namespace RenderLimits {
// A point closer than this on both axes to the last drawn point is not drawn.
constexpr int PointThinningPixels = 3;
// At most this many shapes are drawn per rebuild; the newest are kept.
constexpr size_t MaxDrawnShapes = 500000;
// Texts: one per cell of this many pixels square.
constexpr int TextCellPixels = 60;
// Grid lines closer than this many pixels are useless; a step that dense falls back to the
// automatic step.
constexpr int MinGridLinePixels = 2;
// Label lists keep at most this many entries; beyond it the oldest block is dropped.
constexpr size_t MaxLabels = 10000;
constexpr size_t LabelDropCount = 1000;
// The scale bar: the world length of this many pixels is rounded to a nice value.
constexpr int ScaleBarTargetPixels = 150;
constexpr int ScaleBarMinimumPixels = 30;
} // namespace RenderLimits

// (299 R + 587 G + 114 B) / 1000 of a 0x00BBGGRR colour.
int ColourLuminance(uint32_t colour);

// ---- Shape pass ---------------------------------------------------------------------------

// Bit per layer id 0..nextLayerId: set for the visible layers.
std::vector<bool> VisibleLayerSet(const std::vector<std::unique_ptr<TTLayer>>& layers,
                                  int nextLayerId);

// Does the shape's box touch the world window (touching counts as inside)? A box with a nan
// bound is outside.
bool BoundsTouchWindow(const TTShape& shape, const WorldView& view);

// Cell index of a text anchor pixel in a grid of cols x rows cells of 60 pixels; anchors
// off the client are pulled into the border cells.
int TextCellIndex(int px, int py, int cols, int rows);

// The shapes one rebuild draws, in paint order: first every shape but texts in store order,
// then the texts (one per 60-pixel cell, the earliest in store order wins). Culled: hidden
// shapes, shapes of hidden or unknown layers, shapes wholly outside the window, points within
// 3 pixels of the last drawn point, and shapes other than points, texts, rectangles and lines
// smaller than half a pixel both ways. When more than `maxDrawn` shapes remain, the oldest are
// dropped so that the newest (the vessel, the latest track) always show.
struct ShapePass {
    std::vector<TTShape*> Shapes;
    // Index in Shapes of the first text.
    size_t TextsFrom = 0;
};
ShapePass PlanShapePass(const ShapeStore& shapes, const std::vector<bool>& visibleLayers,
                        const WorldView& view, size_t maxDrawn = RenderLimits::MaxDrawnShapes);

// The first pass of PlanShapePass over the store indices from..to-1 alone, the point thinning
// carried on from `lastPoint` (updated): appends the indices of the shapes to draw to `drawn`
// and those of the texts in view to `textsInView`. Planning a store in consecutive ranges
// gives the same shapes as planning it at once, so a part of the map painted earlier can be
// continued.
constexpr TPoint NoThinningPoint{-9999, -9999};
void PlanShapeRange(const ShapeStore& shapes, size_t from, size_t to,
                    const std::vector<bool>& visibleLayers, const WorldView& view,
                    TPoint& lastPoint, std::vector<uint32_t>& drawn,
                    std::vector<uint32_t>& textsInView);

// ---- Shape drawing --------------------------------------------------------------------------

// World to pixel as the shapes draw: scale = client size / window size on each axis, then
// truncation toward zero (far-off values clamped before the conversion).
struct ShapePixelMap {
    ShapePixelMap(double left, double right, double top, double bottom, int clientWidth,
                  int clientHeight)
        : Left(left), Top(top), ScaleX(clientWidth / (right - left)),
          ScaleY(clientHeight / (top - bottom)) {}
    TPoint operator()(double x, double y) const {
        return {TruncateToPixel((x - Left) * ScaleX), TruncateToPixel((Top - y) * ScaleY)};
    }
    double Left;
    double Top;
    double ScaleX;
    double ScaleY;
};

// The marker of a point, chosen by pen width (not by PointSize).
struct PointMarker {
    enum Kind { Pixel, FourPixels, Square, Circle };
    Kind Shape = Pixel;
    // Half size: the square spans sx - o .. sx + o, the circle's box sx - o .. sx + o
    // (exclusive right and bottom).
    int Offset = 0;
};
PointMarker PointMarkerFor(int penWidth);

// Points of a text's font: the height truncated, 10 when not positive, within 4..72.
int TextPointSize(double height);

// The colour a text is drawn in: a near-white text turns black, but only on a light
// background and only when not selected (white labels must stay readable on a dark map).
uint32_t TextDrawColour(uint32_t colour, bool selected, uint32_t background);

// Offset of the text's top-left corner from its anchor, in screen axes.
TPoint TextAnchorOffset(int align, int justify, int textWidth, int textHeight);

// Is a text's anchor pixel near enough to the client to be drawn?
bool TextAnchorInReach(int sx, int sy, int clientWidth, int clientHeight);

// A cubic Bezier segment: start, two controls, end (integer pixels).
using BezierSegment = std::array<TPoint, 4>;
// Catmull-Rom spline (tension 0.5) through every pixel, ends extended by reflection: one
// segment per pair of consecutive pixels.
std::vector<BezierSegment> SplineSegments(const std::vector<TPoint>& pixels);
// The quadratic curve from p0 to p2 whose control point is p1, as a cubic segment.
BezierSegment ThreePointCurve(TPoint p0, TPoint p1, TPoint p2);

// An outline box with exclusive right and bottom edges (l..r-1, t..b-1) expressed as the box a
// one-pixel pen strokes through its corner pixels: right and bottom move in by one pixel.
// Corners in any order.
struct PixelBox {
    double X = 0;
    double Y = 0;
    double Width = 0;
    double Height = 0;
};
PixelBox OutlineBox(int left, int top, int right, int bottom);
// The same box for a fill: every pixel l..r-1, t..b-1.
PixelBox FillBox(int left, int top, int right, int bottom);

// ---- Grid ---------------------------------------------------------------------------------

struct GridLine {
    double Value = 0.0; // world x (vertical lines) or y (horizontal lines)
    int Pixel = 0;      // pixel column or row
};
struct GridPlan {
    bool Visible = false;
    double StepX = 0.0;
    double StepY = 0.0;
    std::vector<GridLine> Columns; // vertical lines, left to right
    std::vector<GridLine> Rows;    // horizontal lines, bottom to top
    // Pixel column of world x = 0 and row of world y = 0 when both axes cross the window.
    bool Axes = false;
    int AxisColumn = 0;
    int AxisRow = 0;
};
// Lines at x0 + i * step (x0 the step multiple at or below the window's left edge) up to the
// right edge; likewise for y. A fixed spacing so fine that lines would stand closer than
// 2 pixels falls back to the automatic step (a quarter of the world width, rounded), so that
// the number of lines stays bounded by the client size.
GridPlan PlanGrid(const WorldView& view, bool visible, bool autoScale, double spacingX,
                  double spacingY);
// "0.#" for a step of at least 1, "0.###" otherwise: up to one or three decimals, trailing
// zeros dropped, never "-0".
std::string GridLabelText(double value, double step);

// ---- Scale bar ----------------------------------------------------------------------------

struct ScaleBarPlan {
    bool Visible = false;
    double Value = 0.0; // world length the bar stands for
    int Length = 0;     // pixels
    std::string Label;
};
// The world length of 150 pixels rounded to 1, 2 or 5 times a power of ten; when that value
// would make the bar longer than 150 pixels, the next smaller nice value is taken, so the bar
// always has the length its label states.
ScaleBarPlan PlanScaleBar(double worldWidth, int clientWidth);
// "2.0 km", "200 m", "20 cm", "5 mm".
std::string ScaleBarLabel(double value);

// ---- Labels ---------------------------------------------------------------------------------

// Is (x, y) at least `spacing` from every stored label?
bool DepthLabelFarEnough(const std::vector<DepthLabel>& labels, double x, double y, double spacing);
// Drops the oldest 1000 when more than 10000 labels are held.
template <class Label> void TrimLabelList(std::vector<Label>& labels) {
    if (labels.size() > RenderLimits::MaxLabels)
        labels.erase(labels.begin(),
                     labels.begin() + static_cast<std::ptrdiff_t>(RenderLimits::LabelDropCount));
}
// Is a label's pixel within the margins (50 pixels sideways, 20 up and down) of the client?
bool LabelInReach(int sx, int sy, int clientWidth, int clientHeight);
// Depth text of a label: fixed with one decimal.
std::string DepthLabelText(double depth);

// ---- Depth and speed readout --------------------------------------------------------------

struct DepthSpeedTexts {
    std::string Big;        // depth digits but the last
    std::string Small;      // last digit and "m", with the low depth after " / "
    std::string SpeedBig;   // speed with one decimal
    std::string SpeedSmall; // "kn"
    bool Empty() const { return Big.empty() && SpeedBig.empty(); }
};
DepthSpeedTexts BuildDepthSpeedTexts(double depth, double depthLow, bool depthValid, double speed,
                                     bool speedValid);
// Top-left of the readout's text for a corner mode (0 bottom-left, 1 bottom-right, 2 top-right,
// 3 top-left, any other bottom-left).
TPoint ReadoutPosition(int mode, int totalWidth, int textHeight, int clientWidth, int clientHeight);

// ---- GNSS status box ------------------------------------------------------------------------

struct StatusBoxColours {
    uint32_t Box = 0;
    uint32_t Text = 0;
};
// 0 or 1 red with white text, 2 aqua, 4 or 7 lime, anything else yellow (black text).
StatusBoxColours FixQualityColours(int fixQuality);
// Top-left of the status text for a corner (0 top-left, 1 top-right, 2 bottom-right,
// 3 bottom-left, any other top-left).
TPoint StatusTextPosition(int corner, int textWidth, int textHeight, int clientWidth,
                          int clientHeight);
// Is the pixel inside the box drawn around the status text (edges included)?
bool PointInStatusBox(TPoint textPosition, int textWidth, int textHeight, int x, int y);

// ---- Distance measure ---------------------------------------------------------------------

struct MeasureGeometry {
    bool Visible = false;
    TPoint Start;
    TPoint End;
    // Radius in pixels of the circle through the end; the circle is drawn when above 2.
    int Radius = 0;
    bool Circle = false;
    // Label centre and top.
    int LabelCentreX = 0;
    int LabelTop = 0;
};
// From the pixels of the start and the end; computed in double, so far-off pixels neither
// overflow nor wrap.
MeasureGeometry PlanMeasure(TPoint start, TPoint end);
// "123.46 m" and "90.0" followed by the degree sign (UTF-8).
std::string MeasureDistanceText(double distance);
std::string MeasureBearingText(double bearing);
