#include "canvas/WorldView.h"
#include "canvas/CanvasGeometry.h"

#include <cmath>
#include <cstdlib>

void WorldView::WorldToScreen(double x, double y, int& sx, int& sy) const {
    double ww = Right - Left;
    double wh = Top - Bottom;
    if (ww == 0.0)
        ww = 1.0;
    if (wh == 0.0)
        wh = 1.0;
    sx = TruncateToPixel((x - Left) * (Width / ww));
    sy = TruncateToPixel((Top - y) * (Height / wh));
}

void WorldView::ScreenToWorld(int sx, int sy, double& x, double& y) const {
    const double w = Width > 0 ? Width : 1;
    const double h = Height > 0 ? Height : 1;
    x = Left + sx * ((Right - Left) / w);
    y = Top - sy * ((Top - Bottom) / h);
}

bool WorldView::Zoom(double factor, double cx, double cy) {
    if (!std::isfinite(factor) || !std::isfinite(cx) || !std::isfinite(cy))
        return false;
    double k = 1.0 - factor;
    if (k <= 0.0)
        k = 0.1;
    if (k > 10.0)
        k = 10.0;
    double ww = Right - Left;
    double wh = Top - Bottom;
    if (!(ww > 0.0))
        ww = 1.0;
    if (!(wh > 0.0))
        wh = 1.0;
    const double aspect = (Width > 0 ? Width : 1) / static_cast<double>(Height > 0 ? Height : 1);
    const double nw = ww * k;
    const double nh = nw / aspect;
    if (!(nw >= MinimumZoomWidth && nw <= MaximumZoomWidth) || !std::isfinite(nh))
        return false;
    const double fx = (cx - Left) / ww;
    const double fy = (cy - Bottom) / wh;
    const double left = cx - nw * fx;
    const double right = cx + nw * (1.0 - fx);
    const double bottom = cy - nh * fy;
    const double top = cy + nh * (1.0 - fy);
    if (!std::isfinite(left) || !std::isfinite(right) || !std::isfinite(bottom) ||
        !std::isfinite(top))
        return false;
    Left = left;
    Right = right;
    Bottom = bottom;
    Top = top;
    return true;
}

void WorldView::Fit(const std::optional<Extent>& extent) {
    if (!extent || (extent->MinX >= extent->MaxX && extent->MinY >= extent->MaxY)) {
        Left = 0.0;
        Right = 1000.0;
        Top = 1000.0;
        Bottom = 0.0;
        return;
    }
    double minX = extent->MinX;
    double maxX = extent->MaxX;
    double minY = extent->MinY;
    double maxY = extent->MaxY;
    // An empty direction (one straight east-west or north-south run line) gets no margin;
    // the aspect step below gives it the span the client's shape asks for, about its centre.
    const double mx = (maxX - minX) * 0.05;
    const double my = (maxY - minY) * 0.05;
    minX -= mx;
    maxX += mx;
    minY -= my;
    maxY += my;
    const double w = maxX - minX;
    const double h = maxY - minY;
    const double clientAspect =
        (Width > 0 ? Width : 1) / static_cast<double>(Height > 0 ? Height : 1);
    const double drawingAspect = w / (h > 0.0 ? h : 1.0);
    // An empty direction takes its span from the other, whatever the drawing's size.
    const bool keepX = h <= 0.0 || (w > 0.0 && drawingAspect > clientAspect);
    if (keepX) {
        const double centreY = (minY + maxY) / 2.0;
        const double half = w / clientAspect / 2.0;
        minY = centreY - half;
        maxY = centreY + half;
    } else {
        const double centreX = (minX + maxX) / 2.0;
        const double half = h * clientAspect / 2.0;
        minX = centreX - half;
        maxX = centreX + half;
    }
    Left = minX;
    Right = maxX;
    Bottom = minY;
    Top = maxY;
}

void WorldView::Resize(int width, int height) {
    Width = width;
    Height = height;
    if (width <= 0 || height <= 0)
        return;
    const double aspect = static_cast<double>(width) / height;
    const double ww = Right - Left;
    const double wh = Top - Bottom;
    if (aspect < ww / (wh > 0.0 ? wh : 1.0)) {
        const double centreY = (Top + Bottom) / 2.0;
        const double half = ww / aspect / 2.0;
        Bottom = centreY - half;
        Top = centreY + half;
    } else {
        const double centreX = (Left + Right) / 2.0;
        const double half = wh * aspect / 2.0;
        Left = centreX - half;
        Right = centreX + half;
    }
}

double NiceStep(double span, int divisions) {
    if (!(span > 0.0) || divisions <= 0 || !std::isfinite(span))
        return 1.0;
    const double raw = span / divisions;
    const double p = std::pow(10.0, std::floor(std::log10(raw)));
    const double r = raw / p;
    if (r < 1.5)
        return p;
    if (r < 3.5)
        return p * 2.0;
    if (r < 7.5)
        return p * 5.0;
    return p * 10.0;
}

namespace {
int Luminance(uint32_t color) {
    const int red = color & 0xFF;
    const int green = (color >> 8) & 0xFF;
    const int blue = (color >> 16) & 0xFF;
    return (299 * red + 587 * green + 114 * blue) / 1000;
}
} // namespace

uint32_t ContrastColor(uint32_t color, uint32_t background) {
    const int lc = Luminance(color);
    const int lb = Luminance(background);
    if (lc < 50 && lb < 50)
        return 0xFFFFFF;
    if (lc > 200 && lb > 200)
        return 0;
    int distance = 0;
    for (int shift = 0; shift <= 16; shift += 8)
        distance += std::abs(static_cast<int>((color >> shift) & 0xFF) -
                             static_cast<int>((background >> shift) & 0xFF));
    if (distance < 60)
        return lb > 128 ? 0 : 0xFFFFFF;
    return color;
}
