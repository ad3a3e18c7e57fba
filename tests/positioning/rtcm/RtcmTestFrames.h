#pragma once

// Helpers of the RTCM tests: the fixtures made by the generating tools, the independent
// decoder's output beside them, and hand-built frames for the cases no tool writes.

#include "platform/FileIO.h"
#include "positioning/rtcm/RtcmFrame.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

inline std::string RtcmFixture(const std::string& name) {
    const auto content = ReadWholeFile(std::string(TESTS_DIR) + "/positioning/rtcm/data/" + name);
    EXPECT_TRUE(content.has_value()) << name;
    return content.value_or("");
}

// The lines of gpsdecode's JSON output for a fixture, one object per frame.
inline std::vector<std::string> RtcmFixtureDecoded(const std::string& name) {
    std::vector<std::string> lines;
    const std::string text = RtcmFixture(name);
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        if (end > start)
            lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

// The number after "key": in one JSON line.
inline double JsonNumber(const std::string& line, const std::string& key) {
    const std::string tag = "\"" + key + "\":";
    const size_t at = line.find(tag);
    EXPECT_NE(at, std::string::npos) << key << " in " << line;
    if (at == std::string::npos)
        return std::nan("");
    return std::strtod(line.c_str() + at + tag.size(), nullptr);
}

// The string after "key": in one JSON line.
inline std::string JsonText(const std::string& line, const std::string& key) {
    const std::string tag = "\"" + key + "\":\"";
    const size_t at = line.find(tag);
    EXPECT_NE(at, std::string::npos) << key << " in " << line;
    if (at == std::string::npos)
        return "";
    const size_t from = at + tag.size();
    return line.substr(from, line.find('"', from) - from);
}

class RtcmBitWriter {
public:
    RtcmBitWriter& put(int64_t value, int width) {
        const uint64_t bits = static_cast<uint64_t>(value);
        for (int i = width - 1; i >= 0; --i)
            bits_.push_back(((bits >> i) & 1u) != 0);
        return *this;
    }
    RtcmBitWriter& text(const std::string& characters) {
        for (unsigned char c : characters)
            put(c, 8);
        return *this;
    }
    std::string bytes() const {
        std::string out((bits_.size() + 7) / 8, '\0');
        for (size_t i = 0; i < bits_.size(); ++i)
            if (bits_[i])
                out[i / 8] = static_cast<char>(out[i / 8] | (0x80 >> (i % 8)));
        return out;
    }

private:
    std::vector<bool> bits_;
};

// A whole frame around `message`, with its CRC-24Q.
inline std::string RtcmTestFrame(const std::string& message) {
    std::string frame;
    frame += static_cast<char>(0xD3);
    frame += static_cast<char>((message.size() >> 8) & 0x03);
    frame += static_cast<char>(message.size() & 0xFF);
    frame += message;
    const uint32_t crc = RtcmCrc24q(reinterpret_cast<const uint8_t*>(frame.data()), frame.size());
    frame += static_cast<char>(crc >> 16);
    frame += static_cast<char>((crc >> 8) & 0xFF);
    frame += static_cast<char>(crc & 0xFF);
    return frame;
}

struct RtcmTestStation {
    int number = 1005;
    int id = 0;
    double x = 0, y = 0, z = 0; // metres
    int itrf = 0;
    bool gps = true, glonass = false, galileo = false, computed = false;
    double antennaHeight = 0; // written by 1006 only
};

inline std::string RtcmStationMessage(const RtcmTestStation& s) {
    RtcmBitWriter w;
    w.put(s.number, 12).put(s.id, 12).put(s.itrf, 6);
    w.put(s.gps, 1).put(s.glonass, 1).put(s.galileo, 1).put(s.computed, 1);
    w.put(std::llround(s.x * 10000), 38).put(0, 1).put(0, 1);
    w.put(std::llround(s.y * 10000), 38).put(0, 2);
    w.put(std::llround(s.z * 10000), 38);
    if (s.number == 1006)
        w.put(std::llround(s.antennaHeight * 10000), 16);
    return w.bytes();
}

inline std::string RtcmStationFrame(const RtcmTestStation& s) {
    return RtcmTestFrame(RtcmStationMessage(s));
}

// WGS 84 geodetic to ECEF, for building stations at chosen places.
inline RtcmTestStation RtcmStationAt(int id, double latitude, double longitude, double height,
                                     int number = 1005) {
    const double a = 6378137.0, f = 1 / 298.257223563, e2 = 2 * f - f * f;
    const double phi = latitude * M_PI / 180, lambda = longitude * M_PI / 180;
    const double n = a / std::sqrt(1 - e2 * std::sin(phi) * std::sin(phi));
    RtcmTestStation s;
    s.number = number;
    s.id = id;
    s.x = (n + height) * std::cos(phi) * std::cos(lambda);
    s.y = (n + height) * std::cos(phi) * std::sin(lambda);
    s.z = (n * (1 - e2) + height) * std::sin(phi);
    return s;
}

// A frame carrying only a message number (and `extra` zero bytes after it).
inline std::string RtcmNumberFrame(int number, size_t extra = 0) {
    RtcmBitWriter w;
    w.put(number, 12).put(0, 4);
    return RtcmTestFrame(w.bytes() + std::string(extra, '\0'));
}

inline std::string FlipBit(std::string data, size_t bit) {
    data[bit / 8] = static_cast<char>(data[bit / 8] ^ (0x80 >> (bit % 8)));
    return data;
}
