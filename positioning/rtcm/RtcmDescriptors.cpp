#include "positioning/rtcm/RtcmDescriptors.h"

#include "positioning/rtcm/RtcmFrame.h"

namespace {

// Texts longer than 31 characters are refused: the fields are meant for short descriptors.
constexpr size_t MaximumTextLength = 31;

bool AcceptableCount(size_t count) {
    return count > 0 && count <= MaximumTextLength;
}

std::string Text(const uint8_t* message, size_t from, size_t count) {
    return std::string(reinterpret_cast<const char*>(message + from), count);
}

// The counted texts of 1033 one after the other: `cursor` stands on a count byte.
void ReadCountedText(const uint8_t* message, size_t length, size_t& cursor, std::string& text) {
    if (cursor >= length)
        return;
    const size_t count = message[cursor++];
    if (AcceptableCount(count) && cursor + count <= length) {
        text = Text(message, cursor, count);
        cursor += count;
    }
}

} // namespace

bool ApplyRtcmDescriptorMessage(const uint8_t* message, size_t length,
                                RtcmDescriptors& descriptors) {
    const int number = RtcmMessageNumber(message, length);
    if (number != 1007 && number != 1008 && number != 1033)
        return false;
    if (length < 3)
        return true; // not even the station id is there
    descriptors.hasStationId = true;
    descriptors.stationId = static_cast<int32_t>(RtcmUnsignedBits(message, 12, 12));

    if (number == 1033) {
        size_t cursor = 3;
        ReadCountedText(message, length, cursor, descriptors.antennaDescriptor);
        if (cursor < length)
            descriptors.setupId = message[cursor++];
        ReadCountedText(message, length, cursor, descriptors.antennaSerial);
        ReadCountedText(message, length, cursor, descriptors.receiverType);
        ReadCountedText(message, length, cursor, descriptors.receiverFirmware);
        ReadCountedText(message, length, cursor, descriptors.receiverSerial);
        return true;
    }

    // 1007 and 1008: N, the descriptor, the setup id (not read), then for 1008 M and the serial.
    if (length < 4)
        return true;
    const size_t n = message[3];
    if (AcceptableCount(n) && n + 3 < length)
        descriptors.antennaDescriptor = Text(message, 4, n);
    if (number == 1008 && n + 5 < length) {
        const size_t m = message[n + 5];
        if (AcceptableCount(m) && n + 6 + m <= length)
            descriptors.antennaSerial = Text(message, n + 6, m);
    }
    return true;
}
