#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Antenna and receiver descriptors of messages 1007, 1008 and 1033. A later message replaces
// what an earlier one set; a text whose count is 0, 32 or more, or reaches past the message
// keeps its earlier value.
struct RtcmDescriptors {
    bool hasStationId = false;     // set by every message of the three long enough to hold it
    int32_t stationId = 0;         // DF003
    std::string antennaDescriptor; // DF030
    std::string antennaSerial;     // DF033
    int setupId = 0;               // DF031, read from 1033 only
    std::string receiverType;      // DF228
    std::string receiverFirmware;  // DF230
    std::string receiverSerial;    // DF232
};

// Applies a 1007, 1008 or 1033 message of `length` bytes to `descriptors`; other numbers are
// left alone. Returns true when the number was one of the three.
bool ApplyRtcmDescriptorMessage(const uint8_t* message, size_t length,
                                RtcmDescriptors& descriptors);
