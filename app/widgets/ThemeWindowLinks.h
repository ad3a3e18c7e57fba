#pragma once

#include <QPoint>

#include <optional>

// What the theme window reaches outside itself: the map, whose background follows the style,
// and the main window it opens over. The main window answers.
class ThemeWindowLinks {
public:
    virtual ~ThemeWindowLinks() = default;
    // The map's background in the active style's panel colour, then a repaint.
    virtual void RepaintMapBackground() = 0;
    // The centre of the main window's frame; none while there is no main window.
    virtual std::optional<QPoint> MainWindowCentre() = 0;
};
