#pragma once

#include <QIcon>

// The pictures of the main window's image buttons, drawn rather than shipped as files.
enum class ToolImage {
    ZoomExtents,
    ZoomWindow,
    ZoomDynamic,
    Pan,
    Select,
    Exit,
    Restart,
    Point,
    Line,
    Rectangle,
    Polyline,
    Ellipse,
    Polygon,
    Spline,
    Arc,
    Circle,
    // The realtime data window's tool bar.
    HideWindow,
    ShowWindow,
    NavigationSettings,
    GpsSettings,
    OpenFolder,
    ShowOffsets,
};

QIcon ToolIcon(ToolImage image);
