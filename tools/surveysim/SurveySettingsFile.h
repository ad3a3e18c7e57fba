#pragma once

#include "survey/GeodeticSnapshot.h"

#include <QString>
#include <QStringList>

#include <string>

class IniFile;

// A port page where the device settings window loads it from: the eleven texts in the page's
// order (port, baud rate, data width, stop bits, parity, priority, delay, NMEA log, log time,
// DTR, RTS) for the receiver's page (`gnss`) or the sounder's.
void WritePortPage(IniFile& ini, bool gnss, const QStringList& texts);
// The geodetic page's edits where the device settings window loads them from.
void WriteGeodeticParameters(IniFile& ini, const GeodeticTexts& texts);

// The stored set-up a generated survey's logs are checked against (the defaults of
// SurveyLogExpectation), as an operator would have saved it: COM1 and COM2 mapped to the two
// devices with their port pages filled in, an NMEA DBT sounder, the example local datum with
// transverse Mercator, sound velocity 1530 m/s, draft 0.40 m and tide 0.35 m, and the navigation
// window's design colours with a track point every `trackDistance` metres. Returns false when
// the file cannot be written.
bool WriteSurveySettings(const QString& settingsFile, const std::string& gnssDevice,
                         const std::string& sounderDevice, int trackDistance = 20);
