#include "positioning/rtcm/RtcmMessageName.h"

#include <map>

namespace {

const std::map<int, std::string>& FixedNames() {
    static const std::map<int, std::string> names = {
        {1001, "GPS L1 Observations"},
        {1002, "GPS L1 Extended Observations"},
        {1003, "GPS L1/L2 Observations"},
        {1004, "GPS L1/L2 Extended Observations"},
        {1005, "Station ARP (Antenna Reference Point)"},
        {1006, "Station ARP with Height"},
        {1007, "Antenna Descriptor"},
        {1008, "Antenna Descriptor & Serial"},
        {1009, "GLONASS L1 Observations"},
        {1010, "GLONASS L1 Extended Observations"},
        {1011, "GLONASS L1/L2 Observations"},
        {1012, "GLONASS L1/L2 Extended Observations"},
        {1013, "System Parameters"},
        {1019, "GPS Ephemeris"},
        {1020, "GLONASS Ephemeris"},
        {1029, "Text String (Unicode)"},
        {1030, "GPS Network RTK Residual"},
        {1031, "GLONASS Network RTK Residual"},
        {1032, "Physical Reference Station Position"},
        {1033, "Receiver & Antenna Descriptors"},
        {1230, "GLONASS Code-Phase Biases"},
        {4072, "u-blox Proprietary"},
        {4073, "u-blox Proprietary"},
    };
    return names;
}

struct MultipleSignalSystem {
    int base;
    const char* name;
    const char* fullSuffix; // carried by the system's MSM7 name, when any
};

constexpr MultipleSignalSystem MultipleSignalSystems[] = {
    {1070, "GPS", " (Full GPS)"},
    {1080, "GLONASS", " (Full GLONASS)"},
    {1090, "Galileo", " (Full Galileo)"},
    {1100, "SBAS", ""},
    {1110, "QZSS", ""},
    {1120, "BeiDou", " (Full BeiDou)"},
    {1130, "NavIC", ""},
};

} // namespace

std::string RtcmMessageName(int number) {
    const auto& names = FixedNames();
    if (const auto found = names.find(number); found != names.end())
        return found->second;
    for (const MultipleSignalSystem& system : MultipleSignalSystems) {
        const int kind = number - system.base;
        if (kind >= 1 && kind <= 7) {
            std::string name = std::string(system.name) + " MSM" + std::to_string(kind);
            if (kind == 7)
                name += system.fullSuffix;
            return name;
        }
    }
    return "Unknown";
}
