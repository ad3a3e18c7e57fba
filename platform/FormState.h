#pragma once

#include <QPoint>
#include <QRect>

#include <functional>
#include <optional>

class QWidget;

// A window's position in the settings file, in the section named after the window's object
// name: "WindowState" (0 normal, 1 minimized, 2 maximized), "Left", "Top", "Width", "Height".
// A window never shown in this run stores nothing: it keeps what was stored before (Qt gives
// such a window 0, 0); a hidden one stores where it last stood. Returns false when the settings
// file could not be written.
bool SaveFormState(QWidget* form);

// Restores what SaveFormState stored: a maximized state alone, or the stored position (and,
// with withSize 1, the size). A stored position counts when enough of the window's title bar
// to drag it lies on one of the screens (a second monitor, or partly past an edge, included);
// one that does not, or that the stored-place check refuses, counts as none: the window opens
// where the first placement puts it, else wholly on the primary screen. A window that has stood
// somewhere in this run and was hidden since (once RecordWindowShowings is on) comes back
// where it stood, at the size it had: stored and first places are for a window that never
// stood anywhere.
void RestoreFormState(QWidget* form, int withSize);

// Puts the window's frame corner at left, top: before the window manager has framed a window
// shown for the first time as well as after.
void PlaceForm(QWidget* form, int left, int top);

// Centres the window's frame on `centre`, the whole window kept on the screen there when it
// fits, else its title bar.
void PlaceCentredOn(QWidget* form, QPoint centre);

// The window's frame with its corner at `corner`; before the window manager has framed the
// window, its size with a title bar of the style's height.
QRect FrameAt(const QWidget* form, QPoint corner);

// From now on notes the windows shown, for SaveFormState, and where each stood when hidden, for
// RestoreFormState: the program calls it before making its windows.
void RecordWindowShowings();

// Where a window whose section stores no position opens instead of 0, 0 (the program keeps its
// menu and tool bars there); no answer, or no placement set, leaves 0, 0. nullptr removes it.
void SetFirstPlacement(std::function<std::optional<QPoint>(QWidget* form)> placement);

// Whether a stored place (the window's frame there, in screen coordinates) may be used; one it
// refuses counts as no stored position. None set accepts every place. nullptr removes it.
void SetStoredPlaceCheck(std::function<bool(QWidget* form, const QRect& frame)> check);
