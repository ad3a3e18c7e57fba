#include "survey/SounderLineReader.h"

#include "positioning/gnss/NmeaChecksum.h"

#include <cmath>

namespace {

struct TypeRow {
    SounderType type;
    const char* name;
    const char* marker1;
    const char* marker2;
    int values;
};

const TypeRow kTypes[] = {
    {SounderType::TavrinSMT, "Tavrin SMT", "SMT", nullptr, 2},
    {SounderType::NmeaDPT, "NMEA DPT", "DPT", nullptr, 1},
    {SounderType::NmeaDBT, "NMEA DBT", "DBT", nullptr, 1},
    {SounderType::TavrinXdrHi, "Tavrin XDR HI", "XDHI", nullptr, 1},
    {SounderType::TavrinXdrLo, "Tavrin XDR LO", "XDHI", "XDLO", 1},
    {SounderType::TavrinXdrHL, "Tavrin XDR H/L", "XDHI", "XDLO", 2},
    {SounderType::OdcHi, "ODC HI", ",B,", nullptr, 1},
    {SounderType::Other, "OTHER", nullptr, nullptr, 1},
};

const TypeRow& Row(SounderType type) {
    for (const TypeRow& row : kTypes)
        if (row.type == type)
            return row;
    return kTypes[0];
}

} // namespace

std::optional<SounderType> SounderTypeFromName(const std::string& name) {
    for (const TypeRow& row : kTypes)
        if (name == row.name)
            return row.type;
    return std::nullopt;
}

int SounderValueCount(SounderType type) {
    return Row(type).values;
}

bool SounderLineHasMarkers(SounderType type, const std::string& line) {
    const TypeRow& row = Row(type);
    if (row.marker1 && line.find(row.marker1) == std::string::npos)
        return false;
    if (row.marker2 && line.find(row.marker2) == std::string::npos)
        return false;
    return true;
}

bool SounderCarriesHigh(SounderType type) {
    return type != SounderType::TavrinXdrLo;
}

bool SounderCarriesLow(SounderType type) {
    return type == SounderType::TavrinXdrLo || type == SounderType::TavrinXdrHL;
}

SounderReading ReadSounderLine(const std::string& typeName, const std::string& format,
                               const std::string& line, const SounderScanFunction& scan) {
    SounderReading reading;
    const auto type = SounderTypeFromName(typeName);
    if (!type || !SounderLineHasMarkers(*type, line))
        return reading;
    // A NUL stands for a byte the line lost on its way (a parity error reads as one): "7\0.5"
    // may have been "75.5", and neither 7 nor 7.5 is the depth.
    if (line.find('\0') != std::string::npos) {
        reading.Refusal = SounderRefusal::NulByte;
        return reading;
    }
    if (NmeaTrailingChecksumWrong(line)) {
        reading.Refusal = SounderRefusal::WrongChecksum;
        return reading;
    }
    reading.Taken = true;
    double values[4] = {0, 0, 0, 0};
    const int expected = SounderValueCount(*type);
    const int assigned = (format.empty() || !scan) ? 0 : scan(format, line, values);
    if (assigned != expected)
        return reading;
    for (int i = 0; i < expected; ++i)
        if (!std::isfinite(values[i]))
            return reading;
    reading.Valid = true;
    switch (*type) {
    case SounderType::TavrinSMT:
        reading.RawHigh = values[0];
        reading.Battery = values[1];
        break;
    case SounderType::TavrinXdrLo:
        reading.RawLow = values[0];
        break;
    case SounderType::TavrinXdrHL:
        reading.RawHigh = values[0];
        reading.RawLow = values[1];
        break;
    default:
        reading.RawHigh = values[0];
        break;
    }
    return reading;
}
