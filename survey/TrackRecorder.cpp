#include "survey/TrackRecorder.h"

#include "canvas/CanvasModel.h"

#include <QString>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {
constexpr uint32_t Red = 0x0000FF;
}

TrackRecorder::TrackRecorder(size_t cap) : cap_(cap < 4 ? 4 : cap), thinAt_(cap_) {}

void TrackRecorder::BreakChain() {
    hasPrevious_ = false;
}

const char* TrackRecorder::LayerNameFor(int fixQuality) {
    switch (fixQuality) {
    case 4:
        return "track_fix";
    case 5:
    case 2:
    case 3:
        return "track_float";
    default:
        return "track_nofix";
    }
}

uint32_t TrackRecorder::ColourFor(int fixQuality, const TrackSettings& settings) {
    switch (fixQuality) {
    case 4:
        return settings.colourFix;
    case 5:
    case 2:
    case 3:
        return settings.colourFloat;
    default:
        return Red;
    }
}

void TrackRecorder::Offer(CanvasModel& canvas, double easting, double northing, int fixQuality,
                          const TrackSettings& settings) {
    if (!std::isfinite(easting) || !std::isfinite(northing))
        return;
    if (!hasPrevious_) {
        previousEasting_ = easting;
        previousNorthing_ = northing;
        hasPrevious_ = true;
        ++chain_;
        return;
    }
    const double distance = std::hypot(easting - previousEasting_, northing - previousNorthing_);
    if (!(distance >= settings.distance))
        return;

    const int layer = canvas.LayerFindByName(QString::fromLatin1(LayerNameFor(fixQuality)));
    if (layer >= 0) {
        // Setting a layer's pen recolours every shape on it: done at every point, a day's
        // track would be walked again for each new point. Only a changed setting does it.
        const uint32_t colour = ColourFor(fixQuality, settings);
        if (canvas.GetLayerPenFg(layer) != colour)
            canvas.SetLayerPenFg(layer, colour);
        if (canvas.GetLayerPenWidth(layer) != settings.width)
            canvas.SetLayerPenWidth(layer, settings.width);
        Piece piece{0, layer, chain_, settings.asLines, easting, northing, 0, 0};
        if (settings.asLines) {
            piece.x2 = previousEasting_;
            piece.y2 = previousNorthing_;
            piece.id = canvas.DrawLine(easting, northing, previousEasting_, previousNorthing_, layer);
        } else {
            piece.x2 = easting;
            piece.y2 = northing;
            piece.id = canvas.DrawPoint(easting, northing, layer);
        }
        if (piece.id > 0) {
            pieces_.push_back(piece);
            if (pieces_.size() > thinAt_)
                Thin(canvas);
        }
    }
    previousEasting_ = easting;
    previousNorthing_ = northing;
}

void TrackRecorder::ForgetDeletedShapes(const CanvasModel& canvas) {
    std::deque<Piece> kept;
    for (const Piece& piece : pieces_)
        if (canvas.FindShape(piece.id))
            kept.push_back(piece);
    pieces_.swap(kept);
}

void TrackRecorder::Thin(CanvasModel& canvas) {
    // The operator may have cleared track layers meanwhile: their ids are gone, and another
    // shape may even have taken one of them.
    ForgetDeletedShapes(canvas);
    if (pieces_.size() > cap_)
        ThinOlderHalf(canvas, true);
    // Colours alternating at every point leave nothing to join within a layer; joining across
    // layers keeps the track whole and the memory bounded, at the cost of some colour.
    if (pieces_.size() > cap_)
        ThinOlderHalf(canvas, false);
    // Whatever could not be joined (many one-segment chains) waits for a quarter cap more,
    // so a track that cannot shrink does not cost a pass at every point.
    thinAt_ = pieces_.size() > cap_ ? pieces_.size() + cap_ / 4 : cap_;
}

void TrackRecorder::ThinOlderHalf(CanvasModel& canvas, bool sameLayerOnly) {
    const size_t older = pieces_.size() / 2;
    std::vector<int32_t> doomed;
    std::deque<Piece> thinned;
    std::vector<size_t> newLines; // places in `thinned` that wait for a new shape id

    // Segments: a pair of one chain, the older ending where the newer begins, becomes one
    // line over the outer ends. Points: every second one goes.
    bool dropNextPoint = false;
    size_t i = 0;
    while (i < older) {
        const Piece& piece = pieces_[i];
        if (!piece.isLine) {
            if (dropNextPoint)
                doomed.push_back(piece.id);
            else
                thinned.push_back(piece);
            dropNextPoint = !dropNextPoint;
            ++i;
            continue;
        }
        if (i + 1 < older) {
            const Piece& newer = pieces_[i + 1];
            if (newer.isLine && newer.chain == piece.chain &&
                (!sameLayerOnly || newer.layer == piece.layer) && newer.x2 == piece.x1 &&
                newer.y2 == piece.y1) {
                doomed.push_back(piece.id);
                doomed.push_back(newer.id);
                thinned.push_back(Piece{0, newer.layer, piece.chain, true, newer.x1, newer.y1,
                                        piece.x2, piece.y2});
                newLines.push_back(thinned.size() - 1);
                i += 2;
                continue;
            }
        }
        thinned.push_back(piece);
        ++i;
    }
    if (doomed.empty())
        return;

    canvas.ShapesDelete(doomed);
    for (size_t place : newLines) {
        Piece& line = thinned[place];
        line.id = canvas.DrawLine(line.x1, line.y1, line.x2, line.y2, line.layer);
    }
    for (size_t k = older; k < pieces_.size(); ++k)
        thinned.push_back(pieces_[k]);
    pieces_.swap(thinned);
}
