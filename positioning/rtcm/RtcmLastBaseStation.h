#pragma once

#include <cstdint>

// The reference station last written to the logs. The stream scanner and the RTCM report both
// compare against it and update it, so a station is logged once per run until it changes.
// It lives as long as the NTRIP window (the whole run) and is never reset; everything starts
// at 0.
struct RtcmLastBaseStation {
    int32_t LastBaseId = 0;
    double LastBaseLatitude = 0;  // degrees, WGS 84
    double LastBaseLongitude = 0; // degrees, WGS 84
    double LastBaseHeight = 0;    // ellipsoidal height of the ARP, metres; stored, never compared
};
