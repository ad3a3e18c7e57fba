#include "positioning/ntrip/NtripProtocol.h"

#include "positioning/gnss/NmeaChecksum.h"

#include "platform/Clock.h"

#include <charconv>
#include <cmath>
#include <ctime>

namespace {

// Fixed notation with `decimals` decimals, left-padded with zeros to `width` characters, like
// printf's "%0W.Df" but independent of the C locale.
std::string FixedZeroPadded(double value, int width, int decimals) {
    char buffer[400];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    std::string text(buffer, result.ptr);
    const bool negative = !text.empty() && text.front() == '-';
    if (static_cast<int>(text.size()) < width)
        text.insert(negative ? 1 : 0, static_cast<size_t>(width) - text.size(), '0');
    return text;
}

std::string TwoDigits(int value) {
    std::string text = std::to_string(value);
    return text.size() < 2 ? "0" + text : text;
}

// Degrees and minutes of an absolute angle: whole degrees, then minutes with four decimals.
std::string DegreesMinutes(double absolute, int degreeWidth) {
    const double degrees = std::floor(absolute);
    const double minutes = (absolute - degrees) * 60.0;
    return FixedZeroPadded(degrees, degreeWidth, 0) + FixedZeroPadded(minutes, 7, 4);
}

} // namespace

std::string Base64Encode(std::string_view bytes) {
    static constexpr char alphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string text;
    text.reserve((bytes.size() + 2) / 3 * 4);
    size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        const unsigned value = static_cast<unsigned char>(bytes[i]) << 16 |
                               static_cast<unsigned char>(bytes[i + 1]) << 8 |
                               static_cast<unsigned char>(bytes[i + 2]);
        text += alphabet[value >> 18 & 63];
        text += alphabet[value >> 12 & 63];
        text += alphabet[value >> 6 & 63];
        text += alphabet[value & 63];
    }
    const size_t left = bytes.size() - i;
    if (left > 0) {
        unsigned value = static_cast<unsigned char>(bytes[i]) << 16;
        if (left == 2)
            value |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        text += alphabet[value >> 18 & 63];
        text += alphabet[value >> 12 & 63];
        text += left == 2 ? alphabet[value >> 6 & 63] : '=';
        text += '=';
    }
    return text;
}

std::string BuildNtripRequest(std::string_view mountPoint, std::string_view username,
                              std::string_view password) {
    std::string mount;
    for (const char c : mountPoint)
        if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7F)
            mount += c;
    std::string request = "GET /" + mount + " HTTP/1.0\r\n";
    request += "User-Agent: NTRIP TavrinNTRIPClient/1.0\r\n";
    if (!username.empty()) {
        std::string credentials(username);
        credentials += ':';
        credentials += password;
        request += "Authorization: Basic " + Base64Encode(credentials) + "\r\n";
    }
    request += "\r\n";
    return request;
}

UtcTimeOfDay ToUtcTimeOfDay(const LocalDateTime& local) {
    const LocalDateTime utc = ToUtc(local);
    return {utc.hour, utc.minute, utc.second};
}

std::string BuildGGASentence(double latitude, double longitude, double altitude,
                             const UtcTimeOfDay& utc) {
    std::string body = "GPGGA,";
    body += TwoDigits(utc.hour) + TwoDigits(utc.minute) + TwoDigits(utc.second) + ",";
    body += DegreesMinutes(std::fabs(latitude), 2);
    body += latitude >= 0 ? ",N," : ",S,";
    body += DegreesMinutes(std::fabs(longitude), 3);
    body += longitude >= 0 ? ",E," : ",W,";
    body += "1,10,1.0," + FixedZeroPadded(altitude, 0, 1) + ",M,0.0,M,,";
    return "$" + body + "*" + NmeaChecksum(body);
}

std::vector<std::string> ParseSourceTableMountPoints(std::string_view table) {
    std::vector<std::string> names;
    size_t start = 0;
    while (start <= table.size()) {
        size_t end = table.find_first_of("\r\n", start);
        if (end == std::string_view::npos)
            end = table.size();
        const std::string_view line = table.substr(start, end - start);
        if (line.starts_with("STR;")) {
            const std::string_view rest = line.substr(4);
            const size_t semicolon = rest.find(';');
            if (semicolon != std::string_view::npos)
                names.emplace_back(rest.substr(0, semicolon));
        }
        if (end == table.size())
            break;
        // CR LF is one line end; a lone CR or LF is one too.
        start =
            end + (table[end] == '\r' && end + 1 < table.size() && table[end + 1] == '\n' ? 2 : 1);
    }
    return names;
}
