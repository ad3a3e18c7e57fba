#pragma once

class QWidget;

// A window's position in the settings file, in the section named after the window's object
// name: "WindowState" (0 normal, 1 minimized, 2 maximized), "Left", "Top", "Width", "Height".
// Returns false when the settings file could not be written.
bool SaveFormState(QWidget* form);

// Restores what SaveFormState stored: a maximized state alone, or the stored position (and,
// with withSize 1, the size), a position off the primary screen's left or top edge or beyond
// its width or height coming back at 0.
void RestoreFormState(QWidget* form, int withSize);
