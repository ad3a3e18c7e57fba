#pragma once

#include "canvas/CanvasGeometry.h"
#include "canvas/RenderPlan.h"
#include "canvas/TouchedTiles.h"

#include <QFont>
#include <QFontMetrics>
#include <QHash>
#include <QImage>
#include <QLine>
#include <QPainter>
#include <QPoint>
#include <QRect>
#include <QString>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <unordered_map>
#include <vector>

// The drawing surface the shapes and overlays paint on: a pen, a brush and a font that stay
// set until changed, a current position, and drawing operations in integer pixels whose
// boxes have exclusive right and bottom edges and whose lines leave out their end point.
// Shapes and lines are not anti-aliased, so every pixel is where the integer arithmetic puts
// it; texts are smoothed the way the desktop smooths them. One-pixel lines are stepped here
// rather than by Qt, whose own leave out their bottom or right end whichever way they run.
//
// Speed, without changing a pixel: on a plain image (no transform, no clip) single pixels,
// one-pixel lines, short wide lines (from stamps of the painter's own stroke) and solid boxes
// are written straight into its memory; elsewhere they, and longer wide lines, are collected while the colour stays the same and drawn in one call each.
// Anything else, or another colour, draws what was collected first, so the pixels are those
// of drawing one by one. Texts without rotation come from a cache of their ink when one is
// given.
class TextImageCache;

class PaintCanvas {
public:
    enum class PenStyle { Solid, Dot, Clear };

    // `background` is the colour the surface was filled with (texts consult it).
    PaintCanvas(QPainter& painter, uint32_t background, TextImageCache* textCache = nullptr);
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
    // How long the text cache keeps the ink of the texts drawn next: map texts until it is
    // full; texts drawn at every frame (the depth labels) while they are drawn; texts that change
    // at nearly every frame (read-outs, the status line, a measured distance) only among the
    // last few.
    enum class TextKeeping { Map, WhileDrawn, LastFew };
    void SetTextKeeping(TextKeeping keeping) { TextKeeping_ = keeping; }

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

    // Once on, every drawing operation marks in `touched` a box that holds each pixel it may
    // change (pens, round caps and smoothed text edges with a margin to spare): where a later
    // frame must restore what lay beneath. `touched` must outlive the painting.
    void TrackTouched(TouchedTiles& touched) { Touched_ = &touched; }

private:
    QPen MakePen() const;
    QBrush MakeBrush() const;
    void ApplyPenAndBrush();
    const QFontMetrics& Metrics();
    const QString& FontKey();
    bool CanCollectLine() const;
    void FlushUnless(uint32_t colour);
    void WritePixel(int x, int y, uint32_t argb) {
        if (x >= 0 && y >= 0 && x < ImageWidth_ && y < ImageHeight_)
            reinterpret_cast<uint32_t*>(Bits_ + Stride_ * y)[x] = argb;
    }
    // The pixels of a one-pixel line from `from` to `to`, the end itself left out, within the
    // surface.
    void StepLine(TPoint from, TPoint to, std::vector<QPoint>& pixels) const;
    void ThinLine(TPoint from, TPoint to);
    // A short wide solid line written straight into the image from its stamp.
    void StampLine(TPoint from, TPoint to);
    void WriteBox(int left, int top, int right, int bottom, uint32_t argb);
    // Marks the box left..right, top..bottom (either order, inclusive) and `margin` pixels
    // round it as touched.
    void Touch(int left, int top, int right, int bottom, int margin) {
        if (Touched_)
            TouchBox(left, top, right, bottom, margin);
    }
    void TouchBox(int left, int top, int right, int bottom, int margin);
    void TouchPoints(const std::vector<TPoint>& points, int margin);
    int PenMargin() const { return std::max(PenWidth_, 1) + 2; }

    QPainter& Painter_;
    uint32_t Background_;
    TextImageCache* TextCache_;
    // The cache's texts in the current font; found again when it changes.
    void* CachedTexts_ = nullptr;
    TextKeeping TextKeeping_ = TextKeeping::Map;
    // The surface's size in pixels.
    int SurfaceWidth_ = 0;
    int SurfaceHeight_ = 0;
    std::vector<QPoint> LinePixels_;
    // The image's memory when it may be written directly, else null.
    uchar* Bits_ = nullptr;
    qsizetype Stride_ = 0;
    int ImageWidth_ = 0;
    int ImageHeight_ = 0;

    uint32_t PenColour_ = 0;
    int PenWidth_ = 1;
    PenStyle PenStyle_ = PenStyle::Solid;
    bool PenXor_ = false;
    uint32_t BrushColour_ = 0xFFFFFF;
    uint8_t BrushStyle_ = 0;
    QFont Font_;
    std::optional<QFontMetrics> Metrics_;
    QString FontKey_;
    uint32_t FontColour_ = 0;
    int FontOrientation_ = 0;
    TPoint Position_;

    // Collected drawing, all in BatchColour_.
    uint32_t BatchColour_ = 0;
    int BatchLineWidth_ = 1;
    std::vector<QLine> Lines_;
    std::vector<QPoint> Points_;
    std::vector<QRect> Boxes_;

    TouchedTiles* Touched_ = nullptr;
};

// The ink of texts rendered once in a font and kept for the next paints as runs of full ink
// and smoothed edge pixels, so that ten thousand depth labels cost a few copies each. Bounded in memory: it starts afresh
// when full. The overlays' texts are kept apart: a survey's read-outs and status line change at
// nearly every frame and only the last few of them stay; its depth labels stay while they are
// drawn, so a day of new depths scrolling past the vessel does not fill the tables (and the
// process's memory) with texts not drawn any more. One per control, used on the
// user-interface thread only.
class TextImageCache {
public:
    struct Entry {
        // Where the text's top-left lies within the runs' frame (room for overhanging glyphs).
        int Offset = 0;
        // The size of the runs' frame.
        int Width = 0;
        int Height = 0;
        struct Run {
            int Row;
            int Column;
            int Length;
        };
        // Pixels of full ink.
        std::vector<Run> Runs;
        // The smoothed edges of the glyphs: pixels the ink covers in part.
        struct Edge {
            int Row;
            int Column;
            uint8_t Coverage;
        };
        std::vector<Edge> Edges;
    };
    struct QStringHash {
        size_t operator()(const QString& text) const { return qHash(text); }
    };
    using Table = std::unordered_map<QString, Entry, QStringHash>;

    // The texts of one font. Stays valid until the next call.
    Table& TableFor(const QFont& font);
    // The text's ink: from the table, or rendered now and kept there.
    const Entry& Get(Table& table, const QFont& font, const QFontMetrics& metrics,
                     const QString& text);
    // The ink of a text that changes at nearly every frame: from the last few such texts, or
    // rendered now in place of the oldest of them. Valid until the next call.
    const Entry& Recent(const QFont& font, const QFontMetrics& metrics, const QString& text);
    // The ink of a text drawn at every frame while it is shown: kept until it has not been drawn
    // for KeepFrames frames. Valid until the next call.
    const Entry& WhileDrawn(const QFont& font, const QFontMetrics& metrics, const QString& text);
    // The text's advance in the font (keyed by QFont::key), as the metrics measure it.
    // Overlays measure their texts at every frame to lay themselves out, and the metrics shape
    // the text anew at each call; most of those texts are the same from frame to frame.
    int Advance(const QString& fontKey, const QFontMetrics& metrics, const QString& text);
    size_t AdvanceCount() const { return Advances_.size(); }
    static constexpr size_t AdvanceCapacity = 512;
    // A frame begins: texts kept while drawn that were not drawn lately are forgotten.
    void BeginFrame();
    static constexpr uint64_t KeepFrames = 64;
    size_t WhileDrawnCount() const { return WhileDrawn_.size(); }
    // DepthLabelText of a depth, remembered (a survey repeats its depths) while labels of about
    // that many are drawn.
    const QString& DepthText(double depth);
    size_t DepthTextCount() const { return Numbers_.size(); }
    static constexpr size_t MinNumberCapacity = 1024;

    size_t Bytes() const { return Bytes_; }

private:
    static constexpr size_t CapacityBytes = 16u << 20;
    // Above the number of depth labels a map holds; below twice the labels of the last frame
    // (and never below the minimum) the depth texts start afresh.
    static constexpr size_t NumberCapacity = 32768;
    size_t NumberLimit_ = NumberCapacity;
    size_t NumbersDrawn_ = 0;
    // A frame shows a handful of read-outs; a few frames of each stay.
    static constexpr size_t RecentCapacity = 16;
    Entry Render(const QFont& font, const QString& fontKey, const QFontMetrics& metrics,
                 const QString& text);
    // By font key and text, joined with a character no font key holds; starts afresh when full.
    std::unordered_map<QString, int, QStringHash> Advances_;
    struct RecentText {
        QString FontKey;
        QString Text;
        Entry Ink;
    };
    std::vector<RecentText> Recent_;
    size_t NextRecent_ = 0;
    struct DrawnText {
        Entry Ink;
        uint64_t LastFrame = 0;
    };
    // By font key and text, joined with a character no font key holds.
    std::unordered_map<QString, DrawnText, QStringHash> WhileDrawn_;
    uint64_t Frame_ = 0;
    std::unordered_map<QString, Table, QStringHash> Tables_;
    size_t Bytes_ = 0;
    std::unordered_map<uint64_t, QString> Numbers_;
};
