#include "survey/GnssLineReader.h"

#include "platform/NumberText.h"
#include "positioning/gnss/NmeaChecksum.h"

#include <string_view>
#include <vector>

namespace {

// The field at `index` of the comma-separated text (the address is field 0).
std::string_view FieldAt(std::string_view text, size_t index) {
    size_t start = 0;
    for (size_t i = 0; i < index; ++i) {
        const size_t comma = text.find(',', start);
        if (comma == std::string_view::npos)
            return {};
        start = comma + 1;
    }
    const size_t end = text.find(',', start);
    return text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
}

std::optional<double> NumberAt(std::string_view text, size_t index) {
    double value = 0;
    if (ParseNumber(FieldAt(text, index), value))
        return value;
    return std::nullopt;
}

} // namespace

GnssLineReading ReadGnssLine(const std::string& line) {
    GnssLineReading reading;
    std::string_view text(line);
    if (NmeaChecksumWrong(text)) {
        reading.ChecksumWrong = true;
        return reading;
    }
    const size_t star = text.rfind('*');
    if (star != std::string_view::npos)
        text = text.substr(0, star);
    if (text.find("HDT") != std::string_view::npos) {
        reading.HasHdt = true;
        reading.Heading = NumberAt(text, 1);
    }
    if (text.find("RMC") != std::string_view::npos) {
        const auto knots = NumberAt(text, 7);
        reading.SpeedKnots = knots.value_or(0.0);
    }
    if (text.find("VTG") != std::string_view::npos) {
        const auto knots = NumberAt(text, 5);
        reading.SpeedKnots = knots.value_or(0.0);
    }
    if (text.find("GGA") != std::string_view::npos) {
        reading.HasGga = true;
        int quality = 0;
        if (ParseInteger(FieldAt(text, 6), quality))
            reading.FixQuality = quality;
        reading.Altitude = NumberAt(text, 9);
        reading.GeoidSeparation = NumberAt(text, 11);
    }
    return reading;
}

std::optional<double> RtkAntennaHeight(const GnssLineReading& reading) {
    if (!reading.HasGga || reading.FixQuality != 4 || !reading.Altitude)
        return std::nullopt;
    // Without a separation the receiver already gives the ellipsoidal height.
    return *reading.Altitude + reading.GeoidSeparation.value_or(0.0);
}
