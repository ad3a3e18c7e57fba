#include "positioning/rtcm/RtcmFrame.h"

#include <array>

namespace {

// One step of the CRC for each possible byte: the check runs on every candidate frame of every
// received block, so it works a byte at a time.
constexpr std::array<uint32_t, 256> MakeCrc24qTable() {
    std::array<uint32_t, 256> table{};
    for (uint32_t byte = 0; byte < 256; ++byte) {
        uint32_t crc = byte << 16;
        for (int bit = 0; bit < 8; ++bit) {
            crc <<= 1;
            if (crc & 0x1000000)
                crc ^= 0x1864CFB;
        }
        table[byte] = crc & 0xFFFFFF;
    }
    return table;
}

constexpr std::array<uint32_t, 256> Crc24qTable = MakeCrc24qTable();

} // namespace

uint32_t RtcmCrc24q(const uint8_t* data, size_t size) {
    uint32_t crc = 0;
    for (size_t i = 0; i < size; ++i)
        crc = ((crc << 8) & 0xFFFFFF) ^ Crc24qTable[((crc >> 16) ^ data[i]) & 0xFF];
    return crc;
}

RtcmFrameCheck LocateRtcmFrame(const uint8_t* data, size_t size, size_t offset,
                               size_t& messageLength) {
    // Compared as "offset + n <= size" so that nothing is subtracted from a size.
    if (offset >= size || data[offset] != RtcmPreamble || offset + 3 > size)
        return RtcmFrameCheck::NoFrame;
    messageLength = (static_cast<size_t>(data[offset + 1] & 0x03) << 8) | data[offset + 2];
    if (offset + messageLength + RtcmFrameOverhead > size)
        return RtcmFrameCheck::DoesNotFit;
    return RtcmFrameCheck::Complete;
}

bool RtcmFrameParityIsRight(const uint8_t* frame, size_t messageLength) {
    const uint8_t* parity = frame + 3 + messageLength;
    const uint32_t stored = (static_cast<uint32_t>(parity[0]) << 16) |
                            (static_cast<uint32_t>(parity[1]) << 8) | parity[2];
    return RtcmCrc24q(frame, 3 + messageLength) == stored;
}

RtcmFrameCheck CheckRtcmFrame(const uint8_t* data, size_t size, size_t offset,
                              size_t& messageLength) {
    const RtcmFrameCheck located = LocateRtcmFrame(data, size, offset, messageLength);
    if (located != RtcmFrameCheck::Complete)
        return located;
    return RtcmFrameParityIsRight(data + offset, messageLength) ? RtcmFrameCheck::Intact
                                                                : RtcmFrameCheck::BadParity;
}

int RtcmMessageNumber(const uint8_t* message, size_t length) {
    if (length < 2)
        return 0;
    return static_cast<int>(RtcmUnsignedBits(message, 0, 12));
}

uint64_t RtcmUnsignedBits(const uint8_t* message, size_t bitOffset, int width) {
    uint64_t value = 0;
    for (int i = 0; i < width; ++i) {
        const size_t bit = bitOffset + static_cast<size_t>(i);
        value = (value << 1) | ((message[bit / 8] >> (7 - bit % 8)) & 1u);
    }
    return value;
}

int64_t RtcmSignedBits(const uint8_t* message, size_t bitOffset, int width) {
    const uint64_t value = RtcmUnsignedBits(message, bitOffset, width);
    if (width < 64 && (value >> (width - 1)) & 1u)
        return static_cast<int64_t>(value | (~uint64_t(0) << width));
    return static_cast<int64_t>(value);
}
