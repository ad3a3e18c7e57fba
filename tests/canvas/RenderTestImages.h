#pragma once

#include "canvas/PaintCanvas.h"
#include "canvas/TTShape.h"

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QRect>

#include <cstdint>

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

} // namespace RenderTestImages
