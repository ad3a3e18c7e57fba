#pragma once

#include <cstddef>
#include <cstdint>

// RTCM 3 transport frames: preamble 0xD3, six reserved bits, a 10-bit message length L, the
// L message bytes, and a 24-bit CRC-24Q over everything before it. A frame takes L + 6 bytes.

constexpr uint8_t RtcmPreamble = 0xD3;
constexpr size_t RtcmFrameOverhead = 6;

// CRC-24Q (polynomial 0x1864CFB, initial value 0) of `size` bytes.
uint32_t RtcmCrc24q(const uint8_t* data, size_t size);

enum class RtcmFrameCheck {
    NoFrame,    // no preamble at the position, or not even a header fits
    DoesNotFit, // the frame it announces reaches past the end of the data
    Complete,   // the whole frame is there, its parity not checked yet (LocateRtcmFrame)
    BadParity,  // the whole frame is there but its CRC-24Q is wrong
    Intact,     // the whole frame is there and its CRC-24Q is right
};

// Looks for a frame starting at `offset` within `size` bytes. For DoesNotFit, BadParity and
// Intact, `messageLength` receives L.
RtcmFrameCheck CheckRtcmFrame(const uint8_t* data, size_t size, size_t offset,
                              size_t& messageLength);

// The first steps of CheckRtcmFrame, without the parity: NoFrame, DoesNotFit or Complete.
RtcmFrameCheck LocateRtcmFrame(const uint8_t* data, size_t size, size_t offset,
                               size_t& messageLength);
// Whether the CRC-24Q of a located frame (starting at its preamble) is right.
bool RtcmFrameParityIsRight(const uint8_t* frame, size_t messageLength);

// The 12-bit message number of a message of `length` bytes; 0 for a message too short to hold
// one.
int RtcmMessageNumber(const uint8_t* message, size_t length);

// `width` bits (at most 64) of `message`, most significant bit first, from bit `bitOffset`.
// The caller makes sure the bits lie within the message.
uint64_t RtcmUnsignedBits(const uint8_t* message, size_t bitOffset, int width);
// The same bits read as a two's complement number.
int64_t RtcmSignedBits(const uint8_t* message, size_t bitOffset, int width);
