#pragma once

#include "canvas/CanvasGeometry.h"
#include "canvas/RenderPlan.h"

#include <QFont>
#include <QFontMetrics>
#include <QLine>
#include <QPainter>
#include <QPoint>
#include <QRect>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

// The drawing surface the shapes and overlays paint on: a pen, a brush and a font that stay
// set until changed, a current position, and drawing operations in integer pixels whose
// boxes have exclusive right and bottom edges and whose lines leave out their last pixel.
// Anti-aliasing is off, so every pixel is where the integer arithmetic puts it.
//
// Runs of pixels, one-pixel lines and filled boxes in a single colour are collected and drawn
// in one call each; anything else, or another colour, draws them first, so the pixels are
// those of drawing one by one.
class PaintCanvas {
public:
    enum class PenStyle { Solid, Dot, Clear };

    // `background` is the colour the surface was filled with (texts consult it).
    PaintCanvas(QPainter& painter, uint32_t background);
    ~PaintCanvas();
    PaintCanvas(const PaintCanvas&) = delete;
    PaintCanvas& operator=(const PaintCanvas&) = delete;

    uint32_t Background() const { return Background_; }

    // Pen: colours are 0x00BBGGRR. Widths 0 and 1 both draw one pixel wide.
    void SetPen(uint32_t colour, int width, PenStyle style = PenStyle::Solid);
    void SetPenColour(uint32_t colour) { PenColour_ = colour; }
    void SetPenWidth(int width);
    void SetPenStyle(PenStyle style) { PenStyle_ = style; }
    // Exclusive-or with the surface: drawing the same thing twice restores it.
    void SetPenXor(bool on) { PenXor_ = on; }
    // Brush: BrushStyle::Solid, BrushStyle::Clear or a hatch style.
    void SetBrush(uint32_t colour, uint8_t style);
    void SetBrushColour(uint32_t colour) { BrushColour_ = colour; }
    void SetBrushStyle(uint8_t style) { BrushStyle_ = style; }
    // Font: point size at the surface's resolution. Orientation in tenths of a degree,
    // counter-clockwise.
    void SetFont(const QString& name, int points, bool bold, bool italic);
    void SetFontColour(uint32_t colour) { FontColour_ = colour; }
    void SetFontOrientation(int tenths) { FontOrientation_ = tenths; }

    void SetPixel(int x, int y, uint32_t colour);
    void MoveTo(int x, int y);
    // A line from the current position to (x, y), leaving out (x, y) itself.
    void LineTo(int x, int y);
    void Line(int x1, int y1, int x2, int y2);
    // Boxes cover l..r-1 and t..b-1: outline with the pen, inside with the brush.
    void Rectangle(int left, int top, int right, int bottom);
    void Ellipse(int left, int top, int right, int bottom);
    // Corners are ellipses of cornerWidth x cornerHeight pixels.
    void RoundRect(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight);
    // The brush alone over l..r-1, t..b-1.
    void FillRect(int left, int top, int right, int bottom);
    void Polygon(const std::vector<TPoint>& points);
    void Polyline(const std::vector<TPoint>& points);
    void PolyBezier(const BezierSegment& segment);
    // The text's top-left at (x, y), in the font colour; a solid brush fills its box first.
    void TextOut(int x, int y, const QString& text);
    int TextWidth(const QString& text);
    int TextHeight(const QString& text);

    // Draws what has been collected.
    void Flush();

private:
    QPen MakePen() const;
    QBrush MakeBrush() const;
    void ApplyPenAndBrush();
    const QFontMetrics& Metrics();
    bool CanCollectLine() const;

    QPainter& Painter_;
    uint32_t Background_;

    uint32_t PenColour_ = 0;
    int PenWidth_ = 1;
    PenStyle PenStyle_ = PenStyle::Solid;
    bool PenXor_ = false;
    uint32_t BrushColour_ = 0xFFFFFF;
    uint8_t BrushStyle_ = 0;
    QFont Font_;
    std::optional<QFontMetrics> Metrics_;
    uint32_t FontColour_ = 0;
    int FontOrientation_ = 0;
    TPoint Position_;

    // Collected drawing, all in BatchColour_.
    uint32_t BatchColour_ = 0;
    int BatchLineWidth_ = 1;
    std::vector<QLine> Lines_;
    std::vector<QPoint> Points_;
    std::vector<QRect> Boxes_;
};
