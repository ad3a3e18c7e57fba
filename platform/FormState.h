#pragma once

#include <QPoint>

#include <functional>
#include <optional>

class QWidget;

// A window's position in the settings file, in the section named after the window's object
// name: "WindowState" (0 normal, 1 minimized, 2 maximized), "Left", "Top", "Width", "Height".
// Returns false when the settings file could not be written.
bool SaveFormState(QWidget* form);

// Restores what SaveFormState stored: a maximized state alone, or the stored position (and,
// with withSize 1, the size), a position off the primary screen's left or top edge or beyond
// its width or height coming back at 0.
void RestoreFormState(QWidget* form, int withSize);

// Puts the window's frame corner at left, top: before the window manager has framed a window
// shown for the first time as well as after.
void PlaceForm(QWidget* form, int left, int top);

// Where a window whose section stores no position opens instead of 0, 0 (the program keeps its
// menu and tool bars there); no answer, or no placement set, leaves 0, 0. nullptr removes it.
void SetFirstPlacement(std::function<std::optional<QPoint>(QWidget* form)> placement);
