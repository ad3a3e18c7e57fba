#include "survey/GeodesyLog.h"

#include "platform/DateTimeText.h"
#include "platform/FileIO.h"

#include <sys/stat.h>

namespace {

// A day of starts is a few kilobytes; anything near this is not a geodesy log.
constexpr size_t kMaxGeodesyLogBytes = 16u << 20;

const char* YesNo(bool value) {
    return value ? "Yes" : "No";
}

} // namespace

std::vector<std::string> GeodesyLogHeader(const LocalDateTime& now) {
    return {"GEODETIC PARAMETERS LOG - " + DateText(now), std::string(40, '='), ""};
}

std::vector<std::string> GeodesyLogBlock(const GeodeticTexts& t, const LocalDateTime& now) {
    return {
        "=== SESSION START: " + TimeText(now) + " ===",
        "",
        "--- ELLIPSOID ---",
        "Semi-Major Axis: " + t.edSMA,
        "Inverse Flattening: " + t.edIF,
        "",
        "--- DATUM TRANSFORMATION ---",
        "Name of Datum: " + t.NameOfDatum,
        std::string("Use DTP: ") + YesNo(t.UseDtp),
        "X/Y/Z Rotation: " + t.edRX + ", " + t.edRY + ", " + t.edRZ,
        "X/Y/Z Shift: " + t.edSX + ", " + t.edSY + ", " + t.edSZ,
        "Scale PPM: " + t.edPPM,
        "",
        "--- TRANSVERSE MERCATOR ---",
        std::string("Use TM: ") + YesNo(t.UseTm),
        "CM: " + t.edCM + ", Ref Lat: " + t.edRL + ", SF: " + t.edSF,
        "FE: " + t.edFE + ", FN: " + t.edFN,
        "",
        "--- LAMBERT CONFORMAL CONIC ---",
        std::string("Use LCC: ") + YesNo(t.UseLcc),
        "SP1: " + t.eLCCSP1 + ", SP2: " + t.eLCCSP2,
        "CP: " + t.eLCCCP + ", CM: " + t.eLCCM,
        "FE: " + t.eLCCFE + ", FN: " + t.eLCCFN,
        "",
        std::string(40, '-'),
        "",
    };
}

bool WriteGeodesyLog(const std::string& path, const GeodeticTexts& texts, const LocalDateTime& now,
                     std::string* error, const std::optional<LocalDateTime>& sessionStart) {
    std::vector<std::string> lines;
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) {
        const auto content = ReadWholeFile(path, kMaxGeodesyLogBytes);
        if (!content) {
            if (error)
                *error = "cannot read " + path;
            return false;
        }
        size_t start = 0;
        while (start < content->size()) {
            size_t end = content->find('\n', start);
            if (end == std::string::npos)
                end = content->size();
            std::string line = content->substr(start, end - start);
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            lines.push_back(std::move(line));
            start = end + 1;
        }
    }
    if (lines.empty())
        lines = GeodesyLogHeader(now);
    for (std::string& line : GeodesyLogBlock(texts, sessionStart.value_or(now)))
        lines.push_back(std::move(line));
    std::string data;
    for (const std::string& line : lines) {
        data += line;
        data += "\r\n";
    }
    return WriteFileAtomically(path, data, error);
}
