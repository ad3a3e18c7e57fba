#include "survey/SounderLineReader.h"

#include "positioning/gnss/NmeaChecksum.h"

#include <algorithm>
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

namespace {

bool IsBlankOrLineEnd(unsigned char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// A byte that no sounder sentence holds: a control byte but a tab, DEL, or one from 0x80 up.
bool IsStrayByte(unsigned char c) {
    return (c < 0x20 && c != '\t') || c >= 0x7F;
}

} // namespace

std::string_view SounderSentence(std::string_view line) {
    while (!line.empty() && IsBlankOrLineEnd(static_cast<unsigned char>(line.back())))
        line.remove_suffix(1);
    const size_t dollar = line.find('$');
    size_t start = 0;
    while (start < line.size() && IsBlankOrLineEnd(static_cast<unsigned char>(line[start])))
        ++start;
    if (dollar != std::string_view::npos) {
        size_t noise = start;
        while (noise < dollar && (IsStrayByte(static_cast<unsigned char>(line[noise])) ||
                                  IsBlankOrLineEnd(static_cast<unsigned char>(line[noise]))))
            ++noise;
        if (noise == dollar)
            start = dollar;
    }
    return line.substr(start);
}

SounderReading ReadSounderLine(const std::string& typeName, const std::string& format,
                               const std::string& line, const SounderScanFunction& scan) {
    SounderReading reading;
    const auto type = SounderTypeFromName(typeName);
    const std::string sentence(SounderSentence(line));
    if (!type || !SounderLineHasMarkers(*type, sentence))
        return reading;
    // A NUL stands for a byte the line lost on its way (a parity error reads as one): "7\0.5"
    // may have been "75.5", and neither 7 nor 7.5 is the depth.
    if (sentence.find('\0') != std::string::npos) {
        reading.Refusal = SounderRefusal::NulByte;
        return reading;
    }
    if (NmeaChecksumWrong(sentence)) {
        reading.Refusal = SounderRefusal::WrongChecksum;
        return reading;
    }
    // A byte that is no text is a damaged one: the scan would stop at it and read "8.1\xFF09"
    // as 8.1.
    if (std::any_of(sentence.begin(), sentence.end(),
                    [](char c) { return IsStrayByte(static_cast<unsigned char>(c)); })) {
        reading.Refusal = SounderRefusal::StrayByte;
        return reading;
    }
    double values[4] = {0, 0, 0, 0};
    const int expected = SounderValueCount(*type);
    bool notFinite = false;
    const int assigned = (format.empty() || !scan) ? 0 : scan(format, sentence, values, &notFinite);
    // "nan", "inf" or "1e400" where a number stands is no depth, nor a line of another kind.
    for (int i = 0; i < std::min(assigned, 4); ++i)
        notFinite = notFinite || !std::isfinite(values[i]);
    if (notFinite) {
        reading.Refusal = SounderRefusal::DepthOutOfRange;
        return reading;
    }
    reading.Taken = true;
    if (assigned != expected)
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
