#pragma once

#include "platform/Clock.h"

#include <string>

// The header of the survey log (" Coordinates.csv"), CR LF included. The sixteenth name keeps
// its leading blank: files in the field have always had it.
extern const char* const kSurveyLogHeader;
// The header of the simple XYZ log (" Simple XYZ.csv"), CR LF included.
extern const char* const kSimpleXyzHeader;

// One logged sounding.
struct SurveyLogRow {
    LocalDateTime Time;
    double Latitude = 0;
    double Longitude = 0;
    double Easting = 0;
    double Northing = 0;
    double TrueDepthHigh = 0;
    double TrueDepthLow = 0;
    double RawDepthHigh = 0;
    double RawDepthLow = 0;
    std::string MessageFormat;
    double SoundVelocity = 0;
    double TransducerDraft = 0;
    int FixQuality = 0;
    double AntennaHeight = 0;
    double ManualTide = 0;
    double RtkTide = 0;
    // The depth the XYZ log's elevation follows (the low depth for a low-frequency-only type).
    bool XyzFromLowDepth = false;
};

// "YYYY-MM-DD hhnnsszzz", the date alone at exactly 00:00:00.000.
std::string SurveyLogDateText(const LocalDateTime& time);
// The 18 fields of the survey log, CR LF included; locale-free.
std::string SurveyLogLine(const SurveyLogRow& row);
// Easting, northing and elevation (manual tide minus true depth), CR LF included.
std::string SimpleXyzLine(const SurveyLogRow& row);
