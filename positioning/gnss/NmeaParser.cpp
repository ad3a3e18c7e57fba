#include "positioning/gnss/NmeaParser.h"

#include "positioning/gnss/NmeaChecksum.h"

#include "platform/NumberText.h"

#include <cmath>

namespace {

constexpr double KnotsToKmh = 1.852;

bool AllDigits(std::string_view text) {
    if (text.empty())
        return false;
    for (const char c : text)
        if (c < '0' || c > '9')
            return false;
    return true;
}

// A speed: finite (ParseNumber refuses nan and inf) and not negative.
bool ReadSpeed(std::string_view field, double factor, double& out) {
    double value = 0;
    if (!ParseNumber(field, value) || value < 0)
        return false;
    value *= factor;
    if (!std::isfinite(value))
        return false;
    out = value;
    return true;
}

bool ReadCount(std::string_view field, int& out) {
    int value = 0;
    if (!ParseInteger(field, value) || value < 0)
        return false;
    out = value;
    return true;
}

// A course in degrees: finite and within 0..360.
bool ReadCourse(std::string_view field, double& out) {
    double value = 0;
    if (!ParseNumber(field, value) || value < 0 || value > 360)
        return false;
    out = value;
    return true;
}

} // namespace

NmeaParser::NmeaParser(NmeaFix& fix) : fix_(fix) {}

NmeaParser::Outcome NmeaParser::refuse() {
    ++refusedSentences_;
    return Outcome::Refused;
}

void NmeaParser::SplitFields(std::string_view text, char separator,
                             std::vector<std::string_view>& fields) {
    fields.clear();
    size_t start = 0;
    while (true) {
        const size_t end = text.find(separator, start);
        if (end == std::string_view::npos) {
            fields.push_back(text.substr(start));
            return;
        }
        fields.push_back(text.substr(start, end - start));
        start = end + 1;
    }
}

std::vector<std::string_view> NmeaParser::SplitFields(std::string_view text, char separator) {
    std::vector<std::string_view> fields;
    SplitFields(text, separator, fields);
    return fields;
}

std::optional<double> NmeaParser::NmeaToDegrees(std::string_view value,
                                                std::string_view hemisphere) {
    if (value.empty())
        return 0.0;
    const size_t degreeDigits = (hemisphere == "E" || hemisphere == "W") ? 3 : 2;
    // Minutes always have two digits before their point: a point anywhere else means the
    // degree digits are not where the hemisphere says, and reading on would move the vessel.
    const size_t point = value.find('.');
    if (point == std::string_view::npos || point != degreeDigits + 2)
        return std::nullopt;
    const std::string_view degreeText = value.substr(0, degreeDigits);
    const std::string_view minuteText = value.substr(degreeDigits);
    if (!AllDigits(degreeText) || !AllDigits(minuteText.substr(0, 2)))
        return std::nullopt;
    // Minutes are two digits, a point and at least one digit: an exponent ("4805.1e1" would
    // read as 51 minutes) or a bare point is damage, not a way of writing minutes.
    if (minuteText.size() < 4 || !AllDigits(minuteText.substr(3)))
        return std::nullopt;
    double minutes = 0;
    if (!ParseNumber(minuteText, minutes) || minutes < 0 || minutes >= 60)
        return std::nullopt;
    int degrees = 0;
    for (const char c : degreeText)
        degrees = degrees * 10 + (c - '0');
    double result = degrees + minutes / 60.0;
    if (hemisphere == "S" || hemisphere == "W")
        result = -result;
    return result;
}

bool NmeaParser::ReadPosition(const std::vector<std::string_view>& fields, size_t first,
                              double& latitude, double& longitude) {
    const std::string_view latitudeText = fields[first];
    const std::string_view north = fields[first + 1];
    const std::string_view longitudeText = fields[first + 2];
    const std::string_view east = fields[first + 3];
    // Both empty is the receiver's "no fix"; one of them empty is a damaged line, and reading
    // it as 0 would put the vessel on the equator or the prime meridian.
    if (latitudeText.empty() && longitudeText.empty()) {
        latitude = 0;
        longitude = 0;
        return true;
    }
    if (latitudeText.empty() || longitudeText.empty())
        return false;
    // Any other hemisphere letter (a damaged "S", a lower-case one, none) would read as north
    // or east and move a southern or western survey across the globe.
    if ((north != "N" && north != "S") || (east != "E" && east != "W"))
        return false;
    const auto lat = NmeaToDegrees(latitudeText, north);
    const auto lon = NmeaToDegrees(longitudeText, east);
    if (!lat || std::fabs(*lat) > 90 || !lon || std::fabs(*lon) > 180)
        return false;
    latitude = *lat;
    longitude = *lon;
    return true;
}

NmeaParser::Outcome NmeaParser::DispatchSentence(std::string_view line) {
    if (line.empty() || line.front() != '$')
        return Outcome::Ignored;
    std::string_view sentence = line;
    const size_t star = line.rfind('*');
    if (star != std::string_view::npos) {
        if (NmeaChecksumWrong(line)) {
            ++checksumErrors_;
            return Outcome::ChecksumError;
        }
        sentence = line.substr(0, star);
    }
    // The address field is "$", a two-character talker and a three-character type.
    const std::string_view address = sentence.substr(0, sentence.find(','));
    if (address.size() != 6 || address[1] == 'P')
        return Outcome::Ignored;
    const std::string_view type = address.substr(3);
    if (type == "GGA")
        return ParseGGA(sentence);
    if (type == "RMC")
        return ParseRMC(sentence);
    if (type == "VTG")
        return ParseVTG(sentence);
    if (type == "ZDA")
        return ParseZDA(sentence);
    if (type == "GSA")
        return ParseGSA(sentence);
    return Outcome::Ignored;
}

NmeaParser::Outcome NmeaParser::ParseGGA(std::string_view sentence) {
    SplitFields(sentence, ',', fields_);
    const auto& f = fields_;
    if (f.size() < 10)
        return refuse();
    double latitude = 0;
    double longitude = 0;
    if (!ReadPosition(f, 2, latitude, longitude))
        return refuse();
    int fixQuality = fix_.FixQuality;
    int satellites = fix_.Satellites;
    double altitude = fix_.Altitude;
    if (!f[6].empty() && !ReadCount(f[6], fixQuality))
        return refuse();
    if (!f[7].empty() && !ReadCount(f[7], satellites))
        return refuse();
    if (!f[9].empty() && !ParseNumber(f[9], altitude))
        return refuse();

    fix_.FixQuality = fixQuality;
    fix_.Satellites = satellites;
    if (latitude != fix_.Latitude || longitude != fix_.Longitude || altitude != fix_.Altitude) {
        fix_.Latitude = latitude;
        fix_.Longitude = longitude;
        fix_.Altitude = altitude;
        if (onPositionChanged)
            onPositionChanged(fix_.Latitude, fix_.Longitude, fix_.Altitude);
    }
    return Outcome::Applied;
}

NmeaParser::Outcome NmeaParser::ParseRMC(std::string_view sentence) {
    SplitFields(sentence, ',', fields_);
    const auto& f = fields_;
    if (f.size() < 8)
        return refuse();
    // The position is not stored from RMC, but a damaged one marks the whole sentence damaged.
    double latitude = 0;
    double longitude = 0;
    if (!ReadPosition(f, 3, latitude, longitude))
        return refuse();
    std::optional<double> speed;
    std::optional<double> course;
    double value = 0;
    if (!f[7].empty()) {
        if (!ReadSpeed(f[7], KnotsToKmh, value))
            return refuse();
        speed = value;
    }
    if (f.size() > 8 && !f[8].empty()) {
        if (!ReadCourse(f[8], value))
            return refuse();
        course = value;
    }
    // The speed event comes first: its handler still sees the previous course.
    if (speed && *speed != fix_.Speed) {
        fix_.Speed = *speed;
        if (onSpeedChanged)
            onSpeedChanged(fix_.Speed);
    }
    if (course)
        fix_.Course = *course;
    return Outcome::Applied;
}

NmeaParser::Outcome NmeaParser::ParseVTG(std::string_view sentence) {
    SplitFields(sentence, ',', fields_);
    const auto& f = fields_;
    if (f.size() < 8)
        return refuse();
    std::optional<double> speed;
    std::optional<double> course;
    double value = 0;
    if (!f[1].empty()) {
        if (!ReadCourse(f[1], value))
            return refuse();
        course = value;
    }
    if (!f[7].empty()) {
        if (!ReadSpeed(f[7], 1.0, value))
            return refuse();
        speed = value;
    }
    if (course)
        fix_.Course = *course;
    if (speed && *speed != fix_.Speed) {
        fix_.Speed = *speed;
        if (onSpeedChanged)
            onSpeedChanged(fix_.Speed);
    }
    return Outcome::Applied;
}

NmeaParser::Outcome NmeaParser::ParseZDA(std::string_view) {
    return Outcome::Applied;
}

NmeaParser::Outcome NmeaParser::ParseGSA(std::string_view) {
    return Outcome::Applied;
}
