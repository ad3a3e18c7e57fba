#pragma once

#include "canvas/PaintCanvas.h"
#include "canvas/TTShape.h"

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QRect>

#include <cstdint>
#include <cmath>

// Small helpers for the image tests: draw one shape onto a white image, and find where a
// colour landed.
namespace RenderTestImages {

inline QColor Colour(uint32_t bgr) {
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

inline QImage Blank(int width, int height, uint32_t background = 0xFFFFFF) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Colour(background));
    return image;
}

// Draws the shape for the window (left, right, top, bottom) on a width x height image.
inline QImage DrawShape(const TTShape& shape, double left, double right, double top, double bottom,
                        int width, int height, uint32_t background = 0xFFFFFF) {
    QImage image = Blank(width, height, background);
    QPainter painter(&image);
    {
        PaintCanvas canvas(painter, background);
        shape.Draw(canvas, left, right, top, bottom, width, height);
    }
    painter.end();
    return image;
}

inline bool Is(const QImage& image, int x, int y, uint32_t bgr) {
    return image.pixelColor(x, y) == Colour(bgr);
}

inline int Count(const QImage& image, uint32_t bgr) {
    const QColor colour = Colour(bgr);
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += image.pixelColor(x, y) == colour ? 1 : 0;
    return count;
}

// Pixels that are not the background.
inline int CountNot(const QImage& image, uint32_t bgr) {
    return image.width() * image.height() - Count(image, bgr);
}

// Smallest box holding every pixel of the colour; empty when none.
inline QRect BoundsOf(const QImage& image, uint32_t bgr) {
    const QColor colour = Colour(bgr);
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) == colour)
                box = box.united(QRect(x, y, 1, 1));
    return box;
}

// Smallest box holding every pixel that is not the background.
inline QRect BoundsOfNot(const QImage& image, uint32_t bgr) {
    const QColor colour = Colour(bgr);
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) != colour)
                box = box.united(QRect(x, y, 1, 1));
    return box;
}

inline int CountIn(const QImage& image, const QRect& area, uint32_t bgr) {
    const QColor colour = Colour(bgr);
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.rect().contains(x, y) && image.pixelColor(x, y) == colour)
                ++count;
    return count;
}

// Texts are smoothed: their edges mix the ink with what lies under it, and a small font may
// have no pixel of pure ink at all. A pixel counts as text ink when it lies on the way from the
// background to the ink (within a small distance of that line, so another ink does not pass)
// and at least half way along it.
inline bool IsTextInk(const QImage& image, int x, int y, uint32_t ink, uint32_t background) {
    const QColor pixel = image.pixelColor(x, y);
    const QColor a = Colour(ink);
    const QColor b = Colour(background);
    const double way[3] = {double(a.red() - b.red()), double(a.green() - b.green()),
                           double(a.blue() - b.blue())};
    const double moved[3] = {double(pixel.red() - b.red()), double(pixel.green() - b.green()),
                             double(pixel.blue() - b.blue())};
    double length2 = 0;
    double along = 0;
    for (int c = 0; c < 3; ++c) {
        length2 += way[c] * way[c];
        along += way[c] * moved[c];
    }
    if (length2 == 0)
        return false;
    const double share = along / length2;
    double off2 = 0;
    for (int c = 0; c < 3; ++c) {
        const double d = moved[c] - share * way[c];
        off2 += d * d;
    }
    const double allowed = 0.15 * std::sqrt(length2) + 3.0;
    return share >= 0.5 && off2 <= allowed * allowed;
}

inline int CountTextIn(const QImage& image, const QRect& area, uint32_t ink, uint32_t background) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.rect().contains(x, y) && IsTextInk(image, x, y, ink, background))
                ++count;
    return count;
}

// Smallest box holding every text-ink pixel; empty when none.
inline QRect TextBoundsOf(const QImage& image, uint32_t ink, uint32_t background) {
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (IsTextInk(image, x, y, ink, background))
                box = box.united(QRect(x, y, 1, 1));
    return box;
}

} // namespace RenderTestImages
