#pragma once

#include <QRect>
#include <QString>

// Saves the part of the primary screen that `area` covers (clipped to the screen) as PNG.
bool SaveScreenArea(const QString& file, const QRect& area);
