#pragma once

#include "platform/ColorValue.h"

#include <QColor>
#include <QImage>
#include <QRect>

#include <map>

// How well a painted text reads, taken from the pixels of a picture: the colour behind the
// text is the one most pixels of the area have, and the text's ink is the pixel that stands out
// most from it (smoothed edges mix the ink with what lies under it, the strokes' cores are the
// ink itself). The area holds the text and what lies right behind it, no frame or other ink.
inline QColor CommonestColourIn(const QImage& image, const QRect& area) {
    std::map<QRgb, int> counts;
    const QRect inside = area.intersected(image.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x)
            ++counts[image.pixel(x, y) | 0xFF000000u];
    QRgb commonest = 0;
    int most = -1;
    for (const auto& [colour, count] : counts)
        if (count > most) {
            commonest = colour;
            most = count;
        }
    return QColor::fromRgb(commonest);
}

inline double PaintedTextContrast(const QImage& image, const QRect& area) {
    const QColor behind = CommonestColourIn(image, area);
    const QRect inside = area.intersected(image.rect());
    double strongest = 1.0;
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x)
            strongest =
                std::max(strongest, ContrastRatio(QColor::fromRgb(image.pixel(x, y)), behind));
    return strongest;
}

// Where two pictures of the same size differ; empty when nowhere.
inline QRect ChangedArea(const QImage& a, const QImage& b) {
    QRect changed;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                changed = changed.united(QRect(x, y, 1, 1));
    return changed;
}
