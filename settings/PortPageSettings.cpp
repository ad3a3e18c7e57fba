#include "settings/PortPageSettings.h"

#include "platform/NumberText.h"
#include "positioning/geodesy/GeodesyNumberScanner.h"

#include <algorithm>
#include <cmath>

namespace {

std::string Trimmed(const std::string& text) {
    const auto blank = [](char c) {
        return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
    };
    size_t from = 0;
    size_t to = text.size();
    while (from < to && blank(text[from]))
        ++from;
    while (to > from && blank(text[to - 1]))
        --to;
    return text.substr(from, to - from);
}

std::string Upper(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    return text;
}

bool SameLetters(const std::string& a, const std::string& b) {
    return Upper(a) == Upper(b);
}

} // namespace

const std::vector<int>& OfferedBaudRates() {
    static const std::vector<int> rates = {110,   300,   600,   1200,  2400,   4800,   9600,  14400,
                                           19200, 38400, 56000, 57600, 115200, 128000, 256000};
    return rates;
}

const std::vector<std::string>& OfferedParities() {
    static const std::vector<std::string> parities = {"Even", "Mark", "None", "Odd", "Space"};
    return parities;
}

const std::vector<std::string>& OfferedPriorities() {
    static const std::vector<std::string> priorities = {
        "Higher", "Highest", "Idle", "Lower", "Lowest", "Normal", "TimeCritical"};
    return priorities;
}

const std::vector<std::string>& OfferedDelays() {
    static const std::vector<std::string> delays = {
        "1",   "5",   "10",  "100",  "200",  "300",  "400",   "500",   "600",   "700",
        "800", "900", "1000", "2000", "3000", "5000", "10000", "20000", "50000", "100000"};
    return delays;
}

int PortNumberFromText(const std::string& text) {
    std::string number = Upper(Trimmed(text));
    if (number.rfind("COM", 0) == 0)
        number.erase(0, 3);
    int value = 0;
    if (!ParseInteger(number, value) || value < 1)
        return 0;
    return value;
}

bool BooleanFromText(const std::string& text, bool& value) {
    const std::string word = Upper(Trimmed(text));
    if (word == "TRUE") {
        value = true;
        return true;
    }
    if (word == "FALSE") {
        value = false;
        return true;
    }
    double number = 0;
    if (!ParseNumber(word, number))
        return false;
    value = number != 0;
    return true;
}

bool ConvertPortPage(const PortPageTexts& texts, const std::vector<int>& offeredPorts,
                     PortPageFields& fields, PortPageRefusal& refusal) {
    PortPageFields converted = fields;
    auto refuse = [&refusal](const char* setting, const std::string& text, std::string reason) {
        refusal = PortPageRefusal{setting, text, std::move(reason)};
        return false;
    };

    const int port = PortNumberFromText(texts.port);
    if (port == 0)
        return refuse("Port", texts.port, "not a port: write COM and its number, as listed");
    if (std::find(offeredPorts.begin(), offeredPorts.end(), port) == offeredPorts.end())
        return refuse("Port", texts.port,
                      "COM" + std::to_string(port) +
                          " is not in the port list: map it to a device in [SERIAL_PORTS]");
    converted.PortNumber = port;

    int baud = 0;
    const auto& rates = OfferedBaudRates();
    if (!ParseInteger(Trimmed(texts.baudRate), baud) ||
        (std::find(rates.begin(), rates.end(), baud) == rates.end() && baud != 230400))
        return refuse("Baud Rate", texts.baudRate, "not one of the rates offered");
    converted.BaudRate = baud;

    int width = 0;
    if (!ParseInteger(Trimmed(texts.dataWidth), width) || width < 5 || width > 8)
        return refuse("Data Width", texts.dataWidth, "data width is 5, 6, 7 or 8");
    converted.DataBitsIndex = width - 4;

    const std::string stop = Trimmed(texts.stopBits);
    if (stop == "1")
        converted.StopBitsIndex = 1;
    else if (stop == "1.5")
        converted.StopBitsIndex = 2;
    else if (stop == "2")
        converted.StopBitsIndex = 3;
    else
        return refuse("Stop Bits", texts.stopBits, "stop bits are 1, 1.5 or 2");

    // The port's own codes, whatever order the list shows them in.
    static const char* const parityCodes[] = {"None", "Odd", "Even", "Mark", "Space"};
    const std::string parity = Trimmed(texts.parity);
    int parityIndex = -1;
    for (int i = 0; i < 5; ++i)
        if (SameLetters(parity, parityCodes[i]))
            parityIndex = i;
    if (parityIndex < 0)
        return refuse("Parity", texts.parity, "parity is None, Odd, Even, Mark or Space");
    converted.ParityIndex = parityIndex;

    const std::string priority = Trimmed(texts.priority);
    const auto& priorities = OfferedPriorities();
    if (std::none_of(priorities.begin(), priorities.end(),
                     [&](const std::string& p) { return SameLetters(p, priority); }))
        return refuse("Priority", texts.priority, "not one of the priorities offered");

    int delay = 0;
    if (!ParseInteger(Trimmed(texts.delay), delay) || delay < 1 || delay > 100000)
        return refuse("Delay", texts.delay, "the delay is a whole number of ms from 1 to 100000");
    converted.PollInterval = delay;

    const struct {
        const char* setting;
        const std::string& text;
        bool& field;
    } switches[] = {
        {"NMEA Log", texts.nmeaLog, converted.NmeaLog},
        {"Log Time", texts.logTime, converted.LogTimestamps},
        {"Enable DTR", texts.enableDtr, converted.DTR},
        {"Enable RTS", texts.enableRts, converted.RTS},
    };
    for (const auto& s : switches)
        if (!BooleanFromText(s.text, s.field))
            return refuse(s.setting, s.text, "write True or False");

    fields = converted;
    return true;
}

std::string PortPageRefusalMessage(const std::string& page, const PortPageRefusal& refusal) {
    return page + ": " + refusal.setting + " \"" + refusal.text + "\" is refused (" +
           refusal.reason + "). Nothing of this page was applied.";
}

std::string PortLogFileName(const std::string& logFolder, const std::string& today, bool gnss) {
    return logFolder + today + (gnss ? " VXQ_GNSS_V3.log" : " VXQ_SBES_V3.log");
}

const std::array<GeodeticEdit, GeodeticEditCount>& GeodeticEdits() {
    static const std::array<GeodeticEdit, GeodeticEditCount> edits = {{
        {"edSMA", "Semi Major Axis"},
        {"edIF", "Flattening"},
        {"edRX", "X Rotation"},
        {"edRY", "Y Rotation"},
        {"edRZ", "Z Rotation"},
        {"edSX", "X Shift"},
        {"edSY", "Y Shift"},
        {"edSZ", "Z Shift"},
        {"edPPM", "Scale Factor"},
        {"edCM", "Central Meridian"},
        {"edRL", "Reference Latitude"},
        {"edSF", "Scale Factor"},
        {"edFE", "False Easting"},
        {"edFN", "False Northing"},
        {"eLCCSP1", "Standard Parallel 1"},
        {"eLCCSP2", "Standard Parallel 2"},
        {"eLCCSF", "Scale Factor"},
        {"eLCCCP", "Central Parallel"},
        {"eLCCM", "Central Meridian"},
        {"eLCCFE", "False Easting"},
        {"eLCCFN", "False Norhing"},
    }};
    return edits;
}

bool CheckGeodeticText(int index, const std::string& text, std::string& reason) {
    if (index < 0 || index >= GeodeticEditCount) {
        reason = "no such geodetic edit";
        return false;
    }
    const GeodeticEdit& edit = GeodeticEdits()[size_t(index)];
    const std::string name =
        std::string(edit.label) + " (" + edit.control + ") \"" + text + "\"";
    double value = 0;
    // The map joins these texts into one list of numbers: a missing or extra number here
    // would shift every number after it.
    if (!ScanExactNumbers(text, &value, 1)) {
        reason = name + " must hold exactly one number ('.' as decimal point)";
        return false;
    }
    constexpr int SemiMajorAxis = 0, Flattening = 1, TmScale = 11, LccScale = 16;
    if (index == SemiMajorAxis && !(value > 0)) {
        reason = name + " must be above 0 (metres)";
        return false;
    }
    if (index == Flattening && !(value >= 0 && value < 0.01)) {
        // An inverse flattening here gives a negative squared eccentricity and NaN positions.
        reason = name +
                 " must be at least 0 and below 0.01: the flattening, not its inverse "
                 "(WGS 84: 0.0033528106647474)";
        return false;
    }
    if ((index == TmScale || index == LccScale) && !(value > 0)) {
        reason = name + " must be above 0";
        return false;
    }
    return true;
}

bool CheckGeodeticTexts(const std::array<std::string, GeodeticEditCount>& texts,
                        std::string& reason, int* failedIndex) {
    for (int i = 0; i < GeodeticEditCount; ++i) {
        if (!CheckGeodeticText(i, texts[size_t(i)], reason)) {
            if (failedIndex)
                *failedIndex = i;
            return false;
        }
    }
    return true;
}
