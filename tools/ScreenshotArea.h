#pragma once

#include <QRect>
#include <QString>

// Saves the part of the primary screen that `area` covers (clipped to the screen) as PNG.
bool SaveScreenArea(const QString& file, const QRect& area);

class QWidget;
// Saves the window's own picture as PNG and prints the file's name.
bool SaveWindowPicture(QWidget* window, const QString& file);
