#pragma once

#include <QString>
#include <QStringList>

// Pictures of the map tools for the screenshot tool, saved into `output`: "runline.png" (the
// run-line window beside a bent route and its parallel lines) and "compact.png" (the map in
// the compact view). Returns the files written; empty when a picture could not be saved.
QStringList SaveMapToolPictures(const QString& output);
