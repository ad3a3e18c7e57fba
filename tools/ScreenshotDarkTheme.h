#pragma once

#include <QString>
#include <QStringList>

// The "Dark" theme for the screenshot tool: "dark-navigation-settings.png", the main window
// with its tool bars and the navigation settings window over the map, both under "Dark", and
// "dark-map.png", the main window's map with depth and event labels, the read-out, the status
// box and the scale bar under "Dark". The look active before is restored afterwards. Returns the
// files written; empty when a picture could not be saved.
QStringList SaveDarkThemePictures(const QString& output);
