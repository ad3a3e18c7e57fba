#include "platform/ScreenPlaces.h"

#include <algorithm>

bool TitleBarWithinReach(const QRect& titleBar, const std::vector<QRect>& screens) {
    if (titleBar.isEmpty())
        return false;
    const int needed = std::min(DraggableTitleWidth, titleBar.width());
    for (const QRect& screen : screens) {
        const QRect onScreen = titleBar.intersected(screen);
        if (onScreen.height() == titleBar.height() && onScreen.width() >= needed)
            return true;
    }
    return false;
}

QPoint WhollyInside(const QRect& frame, const QRect& area) {
    if (area.isEmpty())
        return frame.topLeft();
    // std::max first: a frame larger than the area has its left or top edge on the area's.
    return QPoint(std::max(std::min(frame.left(), area.right() + 1 - frame.width()), area.left()),
                  std::max(std::min(frame.top(), area.bottom() + 1 - frame.height()), area.top()));
}
