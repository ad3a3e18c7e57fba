#pragma once

#include <cstdint>
#include <optional>

// The world window of the map and the client size it is shown in: the only mapping between
// world metres (x east, y north) and client pixels (y down). A plain value: the canvas builds
// one from its fields, asks it, and stores the changed window back.
struct WorldView {
    double Left = 0.0;
    double Right = 1000.0;
    double Top = 1000.0;
    double Bottom = 0.0;
    int Width = 400;
    int Height = 300;

    // The narrowest and widest window a zoom may produce.
    static constexpr double MinimumZoomWidth = 0.001;
    static constexpr double MaximumZoomWidth = 1.0e8;

    double WorldWidth() const { return Right - Left; }
    double WorldHeight() const { return Top - Bottom; }

    // Truncates toward zero; a window without width or height counts as 1 world unit.
    void WorldToScreen(double x, double y, int& sx, int& sy) const;
    // A client without width or height counts as 1 pixel.
    void ScreenToWorld(int sx, int sy, double& x, double& y) const;

    // Zooms about (cx, cy), which stays where it is on screen: a positive factor zooms in
    // (0.1 shrinks the window to 90 % of its width), a negative one out. The new height
    // follows the client's aspect. Returns false, leaving the window as it was, when the step
    // would make the window narrower than 1 mm or wider than 1e8 m, or an argument is not
    // finite.
    bool Zoom(double factor, double cx, double cy);

    // Fits the window to the extent (a margin of 5 % on each side, widened to the client's
    // aspect about its centre). An extent empty in one direction fits the other direction and
    // centres the empty one; with no extent, or one empty in both directions, the window
    // becomes 0..1000 on both axes.
    struct Extent {
        double MinX, MinY, MaxX, MaxY;
    };
    void Fit(const std::optional<Extent>& extent);

    // Refits the window to a new client size: the axis that would be squeezed keeps its span
    // and the other grows about its centre.
    void Resize(int width, int height);
};

// A grid step of 1, 2 or 5 times a power of ten near span / divisions; 1.0 for a span or a
// number of divisions that is not positive.
double NiceStep(double span, int divisions);

// The colour to draw `color` with on `background` so that no shape disappears into it
// (0x00BBGGRR values, used as stored).
uint32_t ContrastColor(uint32_t color, uint32_t background);
