#pragma once

#include <QPoint>
#include <QRect>

#include <vector>

// Where on the screens a window may stand, in screen coordinates, without a window at hand.

// How much of a title bar the operator needs to take hold of it and drag the window back.
constexpr int DraggableTitleWidth = 100;

// Whether the title bar can be dragged on one of `screens`: its whole height and at least
// DraggableTitleWidth pixels of its width (all of it, when narrower) lie on one screen. A window
// left partly past an edge, or on a second monitor, can; one whose title bar is off every
// screen, or under a screen's top edge, cannot.
bool TitleBarWithinReach(const QRect& titleBar, const std::vector<QRect>& screens);

// The corner nearest to the frame's own that puts the whole frame inside `area`. A frame wider
// or taller than the area keeps its left or top edge on the area's, so that its title bar stays
// on the screen.
QPoint WhollyInside(const QRect& frame, const QRect& area);
