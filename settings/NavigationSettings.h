#pragma once

#include "survey/TrackRecorder.h"

#include <cstdint>
#include <string>
#include <vector>

class IniFile;

// The navigation display settings in effect: what the map tick and the sounder line handler
// read (never the edit texts of the window, which may hold a half-typed value).
struct NavigationSettings {
    // The values the window is designed with, before anything is read.
    uint32_t VesselColor = 0x800000; // navy
    int VesselWidth = 2;
    uint32_t BackgroundColor = 0xFFFFFF;
    // Track recorded with an RTK fixed solution, and with a float, differential or precise one.
    uint32_t TrackColorFixed = 0x008000;
    uint32_t TrackColorFloat = 0x00FFFF;
    // Track points joined by lines (true) or drawn as single points.
    bool TrackAsLines = false;
    int TrackWidth = 2;
    // Metres the vessel moves before the next track point.
    int TrackDistance = 20;
    // A depth at or below this (metres) turns the map red while acquisition runs.
    double DepthAlert = 0.5;

    static const char* const Section;

    // Reads the section. A missing key gives its first-run default (widths 3, distance 20,
    // lines on, alert 1, black colours); a stored text the window would refuse gives that
    // default too, and a line for the operator naming the key and the text lands in
    // `refused`, so a bad value never reaches a control or comes back at the next write.
    static NavigationSettings Read(const IniFile& ini, std::vector<std::string>& refused);
    // Writes every key, colours as decimal numbers and the switch as "1"/"0".
    void Write(IniFile& ini) const;
};

// What the track recorder takes of the settings.
TrackSettings TrackSettingsOf(const NavigationSettings& settings);
