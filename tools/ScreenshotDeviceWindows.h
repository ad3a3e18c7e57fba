#pragma once

#include <QString>
#include <QStringList>

// Saves "device-settings-<page>.png" for each page of the device settings window and
// "battery.png" into `output`; `saved` receives the files written. False when a picture
// could not be taken or saved.
bool SaveDeviceWindowScreenshots(const QString& output, QStringList& saved);
