#include "app/WindowPlacement.h"

namespace {

bool Free(const QRect& place, const std::vector<QRect>& taken) {
    for (const QRect& other : taken)
        if (place.intersects(other))
            return false;
    return true;
}

} // namespace

QPoint PlaceClearOfControls(const QSize& frameSize, const QRect& mainFrame, const QRect& mapArea,
                            const QRect& screen, const std::vector<QRect>& taken) {
    // A little room between windows, so that their frames do not touch.
    constexpr int gap = 4;
    for (const QPoint corner : {QPoint(mainFrame.right() + 1 + gap, mainFrame.top()),
                                QPoint(mainFrame.left(), mainFrame.bottom() + 1 + gap)}) {
        const QRect place(corner, frameSize);
        if (screen.contains(place) && Free(place, taken))
            return corner;
    }
    const QRect area = mapArea.intersected(screen);
    for (int top = area.top(); top + frameSize.height() <= area.bottom() + 1;
         top += frameSize.height() + gap) {
        for (int left = area.left(); left + frameSize.width() <= area.right() + 1;
             left += frameSize.width() + gap) {
            const QRect place(QPoint(left, top), frameSize);
            if (Free(place, taken))
                return place.topLeft();
        }
    }
    return mapArea.topLeft();
}
