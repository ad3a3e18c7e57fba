#include "settings/SettingsValues.h"

#include "platform/IniFile.h"
#include "platform/NumberText.h"

#include <limits>

namespace {
constexpr double Unbounded = std::numeric_limits<double>::infinity();
} // namespace

const ValueRule VesselWidthRule{"Vessel width", true, 0, 15, "a whole number from 0 to 15"};
const ValueRule TrackWidthRule{"Track width", true, 0, 15, "a whole number from 0 to 15"};
const ValueRule TrackDistanceRule{"Track distance (m)", true, 0, 500,
                                  "a whole number from 0 to 500"};
const ValueRule UpdateRateRule{"Update rate (ms)", true, -Unbounded, 5000,
                               "a whole number up to 5000 (below 50 runs at 50)"};
const ValueRule DepthAlertRule{"Shallow water depth (m)", false, -Unbounded, Unbounded,
                               "a number written with '.' as decimal point"};
const ValueRule ColorRule{"Colour", true, 0, 0xFFFFFF, "a colour number from 0 to 16777215"};
const ValueRule CircleCountRule{"Total number of circles", true, 0, 100,
                                "a whole number from 0 to 100"};
const ValueRule FirstRadiusRule{"Radius of first circle", false, 0, 10000,
                                "a number from 0 to 10000 (metres, '.' as decimal point)"};
const ValueRule CircleStepRule{"Offset to next circle", false, 0, 10000,
                               "a number from 0 to 10000 (metres, '.' as decimal point)"};
const ValueRule SideLengthRule{"Arrow's sideward length", false, 0, 10000,
                               "a number from 0 to 10000 (metres, '.' as decimal point)"};
const ValueRule BowLengthRule{"Arrow's longitudal length", false, 0, 10000,
                              "a number from 0 to 10000 (metres, '.' as decimal point)"};

std::optional<double> CheckValue(const ValueRule& rule, std::string_view text) {
    double value = 0;
    if (rule.Whole) {
        int whole = 0;
        if (!ParseInteger(text, whole))
            return std::nullopt;
        value = whole;
    } else if (!ParseNumber(text, value)) {
        return std::nullopt;
    }
    if (value < rule.Min || value > rule.Max)
        return std::nullopt;
    return value;
}

std::optional<int> CheckWholeValue(const ValueRule& rule, std::string_view text) {
    if (!rule.Whole)
        return std::nullopt;
    const std::optional<double> value = CheckValue(rule, text);
    if (!value)
        return std::nullopt;
    return static_cast<int>(*value);
}

std::optional<int> MapTimerIntervalFor(std::string_view text) {
    if (text.empty())
        return EmptyRateMapInterval;
    const std::optional<int> rate = CheckWholeValue(UpdateRateRule, text);
    if (!rate)
        return std::nullopt;
    return *rate < MinimumMapInterval ? MinimumMapInterval : *rate;
}

std::string RefusedTextMessage(const ValueRule& rule, std::string_view text,
                               std::string_view restored) {
    std::string message = rule.Field;
    message += ": \"";
    message += text;
    message += "\" is not accepted; give ";
    message += rule.Accepted;
    message += ". The field is back at \"";
    message += restored;
    message += "\".";
    return message;
}

std::string StoredValueLine(std::string_view section, std::string_view key,
                            std::string_view stored, const ValueRule& rule,
                            std::string_view used) {
    std::string line = "[";
    line += section;
    line += "] ";
    line += key;
    line += "=\"";
    line += stored;
    line += "\" is not ";
    line += rule.Accepted;
    line += "; \"";
    line += used;
    line += "\" is used instead.";
    return line;
}

double ReadCheckedSetting(const IniFile& ini, const char* section, const char* key,
                          const ValueRule& rule, double defaultValue,
                          std::vector<std::string>& refused) {
    const QString sectionName = QString::fromLatin1(section);
    const QString name = QString::fromLatin1(key);
    if (!ini.valueExists(sectionName, name))
        return defaultValue;
    const std::string stored = ini.readString(sectionName, name).toStdString();
    if (const std::optional<double> value = CheckValue(rule, stored))
        return *value;
    refused.push_back(StoredValueLine(section, key, stored, rule, FormatGeneral(defaultValue)));
    return defaultValue;
}
