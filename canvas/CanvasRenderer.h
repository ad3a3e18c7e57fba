#pragma once

#include "canvas/CanvasModel.h"
#include "canvas/PaintCanvas.h"
#include "canvas/ShapeLayerCache.h"

#include <QImage>

// Paints a canvas model: the back buffer (background, grid, shapes), rebuilt only when the
// model marks it stale or the client size changed, and the overlays drawn over it on every
// paint, in this order: tool preview, distance measure, depth labels, event labels, depth and
// speed readout, GNSS status box, scale bar. What is drawn where is decided in RenderPlan.
class CanvasRenderer {
public:
    // Rebuilds `buffer` (client size, 32 bits per pixel) when NeedsRedraw is set or its size
    // differs from the client's, and clears NeedsRedraw. Returns true when it rebuilt. Texts
    // come from the cache when one is given.
    static bool UpdateBackBuffer(CanvasModel& model, QImage& buffer,
                                 TextImageCache* textCache = nullptr);

    // Brings the back buffer up to date and draws the overlays over a copy of it in `frame`
    // (reused from paint to paint): the image a paint shows.
    static const QImage& ComposeFrame(CanvasModel& model, QImage& backBuffer, QImage& frame,
                                      TextImageCache* textCache = nullptr);

    // The same frame from a back buffer of the shapes under the live layer (ShapeLayerCache):
    // rebuilt only when NeedsRedraw is set, the client size changed or a shape it holds was
    // deleted or moved; shapes added before the live layer are painted onto it; the live layer
    // and what follows it are painted over the copy with the overlays. Pixel for pixel the
    // frame of ComposeFrame. Clears NeedsRedraw and the store's change mark.
    static const QImage& ComposeLayeredFrame(CanvasModel& model, ShapeLayerCache& cache,
                                             QImage& frame, TextImageCache* textCache = nullptr);
    // The frame painted from nothing (background, grid, every shape, overlays) into `frame`,
    // leaving NeedsRedraw and the store's change mark as they are: what the kept back buffer
    // must match.
    static void RenderWholeFrame(CanvasModel& model, QImage& frame,
                                 TextImageCache* textCache = nullptr);

    // Into the back buffer.
    static void DrawAllShapes(CanvasModel& model, PaintCanvas& canvas);
    static void DrawGrid(const CanvasModel& model, PaintCanvas& canvas);

    // Over the back buffer, all of them in paint order.
    static void DrawOverlays(const CanvasModel& model, PaintCanvas& canvas,
                             TextImageCache* textCache = nullptr);
    static void DrawRubberBand(const CanvasModel& model, PaintCanvas& canvas);
    static void DrawDistanceOverlay(const CanvasModel& model, PaintCanvas& canvas);
    static void DrawDepthLabelsOverlay(const CanvasModel& model, PaintCanvas& canvas,
                                       TextImageCache* textCache = nullptr);
    static void DrawEventLabelsOverlay(const CanvasModel& model, PaintCanvas& canvas);
    static void DrawCurrentDepthOverlay(const CanvasModel& model, PaintCanvas& canvas);
    // The speed is part of the depth readout; this draws nothing.
    static void DrawCurrentSpeedOverlay(const CanvasModel& model, PaintCanvas& canvas);
    static void DrawGGAOverlay(const CanvasModel& model, PaintCanvas& canvas);
    static void DrawScaleBar(const CanvasModel& model, PaintCanvas& canvas);

    // Does the client pixel lie in the GNSS status box (edges included)? False while there is
    // no status text.
    static bool IsPointInGGAOverlay(const CanvasModel& model, int x, int y);
};
