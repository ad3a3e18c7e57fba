#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

#include <vector>

// Where a tool window without a stored position first opens: clear of the main window's menu,
// tool bars and status bar, which the operator needs during the whole survey. Tried in turn:
// right of the main window, below it (each only when the window fits on the screen there),
// then places inside the map area from its top left corner, row by row. A place must not
// overlap a rectangle in `taken` (the windows already open). When nothing is free, the map
// area's top left corner. All rectangles in screen coordinates; `frameSize` is the window's
// size with its frame.
QPoint PlaceClearOfControls(const QSize& frameSize, const QRect& mainFrame, const QRect& mapArea,
                            const QRect& screen, const std::vector<QRect>& taken);

// Installs the place of the tool windows that open without a stored position (FormState's
// first placement), worked out from the main window FNav as it stands, and the check that takes
// a stored place over the main window's title, menu, tool bars or status bar for none. Under a
// window manager the main window gets its frame only after it is shown, which moves its tool
// bars and map down by the title bar; the places given and the stored places taken before that are
// worked out once more when the frame is known (within a few seconds of the start).
void PlaceFirstShownWindowsClearOfControls();
// Removes it; the windows of a later start are placed anew.
void StopPlacingFirstShownWindows();
