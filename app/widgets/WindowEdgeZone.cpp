#include "app/widgets/WindowEdgeZone.h"

namespace WindowEdgeZone {

int CodeAt(int x, int y, int width, int height, int zone) {
    const bool left = x < zone;
    const bool right = x >= width - zone;
    const bool top = y < zone;
    const bool bottom = y >= height - zone;
    if (top && left)
        return 13;
    if (top && right)
        return 14;
    if (bottom && left)
        return 16;
    if (bottom && right)
        return 17;
    if (left)
        return 10;
    if (right)
        return 11;
    if (top)
        return 12;
    if (bottom)
        return 15;
    return None;
}

Qt::Edges EdgesOf(int code) {
    switch (code) {
    case 10:
        return Qt::LeftEdge;
    case 11:
        return Qt::RightEdge;
    case 12:
        return Qt::TopEdge;
    case 13:
        return Qt::TopEdge | Qt::LeftEdge;
    case 14:
        return Qt::TopEdge | Qt::RightEdge;
    case 15:
        return Qt::BottomEdge;
    case 16:
        return Qt::BottomEdge | Qt::LeftEdge;
    case 17:
        return Qt::BottomEdge | Qt::RightEdge;
    default:
        return {};
    }
}

Qt::CursorShape CursorOf(int code) {
    switch (code) {
    case 13:
    case 17:
        return Qt::SizeFDiagCursor;
    case 14:
    case 16:
        return Qt::SizeBDiagCursor;
    case 10:
    case 11:
        return Qt::SizeHorCursor;
    case 12:
    case 15:
        return Qt::SizeVerCursor;
    default:
        return Qt::ArrowCursor;
    }
}

} // namespace WindowEdgeZone
