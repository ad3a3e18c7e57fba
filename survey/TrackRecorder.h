#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>

class CanvasModel;

// What the navigation settings say of the track.
struct TrackSettings {
    double distance = 20;          // metres between track points ("Dist (m)")
    int width = 1;                 // pen width of the track layers
    bool asLines = true;           // "Draw as Line": segments, else single points
    uint32_t colourFix = 0x008000;   // RTK fixed
    uint32_t colourFloat = 0x00FFFF; // RTK float, DGPS and fix 3
};

// The vessel's track on the map: a point each time the vessel has moved `distance` metres
// from the last one, on "track_fix", "track_float" or "track_nofix" by fix quality.
//
// The recorder remembers the shapes it added in this run, so that a day of surveying stays
// within a fixed number of track shapes: past the cap the older half is thinned (two
// consecutive segments of one chain become one line over their outer ends; every second
// point goes), which keeps the track continuous from its first point to its last.
class TrackRecorder {
public:
    static constexpr size_t DefaultCap = 200000;

    explicit TrackRecorder(size_t cap = DefaultCap);

    // The next position starts a new chain instead of joining the last point: after Start and
    // after a spell without a position, a line across the gap would show a track never sailed.
    void BreakChain();

    // One map tick's position. Draws on `canvas` when the vessel is far enough from the last
    // track point; a missing track layer is skipped, but the point still becomes the last one.
    void Offer(CanvasModel& canvas, double easting, double northing, int fixQuality,
               const TrackSettings& settings);

    // Track shapes of this run that are still on the map, as the recorder knows them.
    size_t ShapeCount() const { return pieces_.size(); }
    size_t Cap() const { return cap_; }

    // Layer name and pen colour for a fix quality.
    static const char* LayerNameFor(int fixQuality);
    static uint32_t ColourFor(int fixQuality, const TrackSettings& settings);

private:
    struct Piece {
        int32_t id;
        int32_t layer;
        uint64_t chain;
        bool isLine;
        // A segment runs from the newer position (x1, y1) back to the older one (x2, y2).
        double x1, y1, x2, y2;
    };

    void Thin(CanvasModel& canvas);
    void ThinOlderHalf(CanvasModel& canvas, bool sameLayerOnly);
    void ForgetDeletedShapes(const CanvasModel& canvas);

    size_t cap_;
    size_t thinAt_;
    bool hasPrevious_ = false;
    double previousEasting_ = 0;
    double previousNorthing_ = 0;
    uint64_t chain_ = 0;
    std::deque<Piece> pieces_;
};
