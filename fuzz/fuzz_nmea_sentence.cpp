// One line from a GNSS receiver into the sentence parser. Properties: every stored value is
// finite and on the earth; a sentence that is not applied leaves the fix bit for bit as it was.

#include "fuzz/FuzzProperty.h"
#include "positioning/gnss/NmeaChecksum.h"
#include "positioning/gnss/NmeaParser.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

namespace {

void CheckSane(const NmeaFix& fix) {
    for (const double value : {fix.Latitude, fix.Longitude, fix.Altitude, fix.Speed, fix.Course})
        FUZZ_PROPERTY(std::isfinite(value));
    FUZZ_PROPERTY(std::fabs(fix.Latitude) <= 90 && std::fabs(fix.Longitude) <= 180);
    FUZZ_PROPERTY(fix.Speed >= 0 && fix.Course >= 0 && fix.Course <= 360);
    FUZZ_PROPERTY(fix.FixQuality >= 0 && fix.Satellites >= 0);
}

void Feed(const std::string& line) {
    NmeaFix fix;
    fix.Latitude = -33.85;
    fix.Longitude = 151.2;
    fix.Altitude = 12.5;
    fix.Speed = 7.5;
    fix.Course = 123.4;
    fix.FixQuality = 4;
    fix.Satellites = 12;
    NmeaParser parser(fix);
    const NmeaFix before = fix;
    const NmeaParser::Outcome outcome = parser.DispatchSentence(line);
    if (outcome != NmeaParser::Outcome::Applied)
        FUZZ_PROPERTY(std::memcmp(&fix, &before, sizeof fix) == 0);
    CheckSane(fix);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    Feed(text);
    // The same body with a correct checksum reaches the field parsers past the checksum test.
    if (!text.empty() && text.size() < 512) {
        const std::string body = text[0] == '$' ? text.substr(1) : text;
        if (body.find('*') == std::string::npos)
            Feed("$" + body + "*" + NmeaChecksum(body));
    }
    return 0;
}
