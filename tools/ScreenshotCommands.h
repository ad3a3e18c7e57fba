#pragma once

#include <QString>
#include <QStringList>

#include <vector>

class QToolButton;

// Pictures of the theme chooser and the on-screen keyboards for the screenshot tool, saved
// into `output`: "theme.png" (the chooser previewing "Dark" over the main window),
// "keypad.png" and "keyboard.png" (each panel over the main window, editing a field). The look
// active before is restored afterwards. Returns the files written; empty when a picture could
// not be saved.
QStringList SaveCommandPictures(const QString& output);

// Clicks the key of an on-screen keyboard that shows `caption`, if there is one.
void PressKey(const std::vector<QToolButton*>& keys, const char* caption);
