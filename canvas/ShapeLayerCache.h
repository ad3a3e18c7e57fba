#pragma once

#include "canvas/CanvasGeometry.h"
#include "canvas/RenderPlan.h"
#include "canvas/TouchedTiles.h"

#include <QImage>
#include <QRegion>

#include <cstddef>
#include <cstdint>

// The map's back buffer and what it holds. Most paints of a survey change only the vessel
// symbol, the newest track point and the overlays, so the buffer keeps the background, the
// grid under the shapes and the shapes painted before the live layer (the layers under the
// vessel); the live layer and everything after it in paint order are painted over a copy at
// every paint, and shapes that join the store before the live layer are painted onto the
// buffer where the paint order puts them. Texts and the drawn-shape cap depend on the whole
// store: while the map has texts in view, or more shapes than the cap, the buffer holds every
// shape and is rebuilt at any change, as a whole. While every paint finds it out of date (a map
// following the vessel), the frame is painted straight and the buffer waits; such a frame is
// painted over the last one, restoring the background only where the last one drew.
struct ShapeLayerCache {
    QImage Image{1, 1, QImage::Format_RGB32};
    // False until built, and after anything but appending before the live layer changed.
    bool Valid = false;
    // The buffer holds every shape (texts or the cap), not only those under the live layer.
    bool Whole = false;
    // Store indices 0..End-1 are painted on the buffer; of them Drawn passed the culling.
    size_t End = 0;
    size_t Drawn = 0;
    // The last paint found the buffer out of date (the view, the background, a shape in it).
    bool StaleLastPaint = false;
    // The point thinning's state after them.
    TPoint LastPoint = NoThinningPoint;
    // The frame of the last paint equals the buffer but within FrameDirty (what the live
    // layer and the overlays covered): the next frame restores only that, and what was
    // painted onto the buffer meanwhile, instead of copying the whole buffer.
    bool FrameTracked = false;
    TouchedTiles FrameDirty;
    // The frame of the last paint was painted straight: the background colour
    // StraightBackground everywhere but within StraightDrawn.
    bool StraightTracked = false;
    uint32_t StraightBackground = 0;
    TouchedTiles StraightDrawn;
    // Where the last paint's frame may differ from the frame before it: all that is worth
    // showing again.
    QRegion FrameChange;
    // Counted for the tests and the benchmarks: whole rebuilds, and paints that only added.
    uint64_t Rebuilds = 0;
    uint64_t Additions = 0;
};
