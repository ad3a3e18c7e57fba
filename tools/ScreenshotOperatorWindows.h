#pragma once

#include <QString>
#include <QStringList>

// Pictures of what the operator meets first, for the screenshot tool:
// "first-start.png", taken right after a first start: the main window with every window the
// start shows, none of them over its menu, tool bars or status bar.
bool SaveFirstStartPicture(const QString& output);
// "offsets-keypad.png" (the survey set-up window with the numeric keypad a click on its
// "A" field brought up, typing into it), "offsets-keyboard.png" (the letter keyboard its
// "Location" field brought up, above the set-up window) and "stop-recording.png" (the main window's tool bars
// as they look while a survey is recorded). Returns the files written; empty when a picture
// could not be saved.
QStringList SaveOperatorPictures(const QString& output);
