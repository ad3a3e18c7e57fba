#pragma once

#include <QString>
#include <QStringList>

// Pictures of the navigation settings and vessel shape windows for the screenshot tool, saved
// into `output`: "navigation-settings.png" and "vessel-shape.png" (a hidden window is rendered
// all the same). Returns the files written; empty when a picture could not be saved.
QStringList SaveSettingsWindowPictures(const QString& output);
