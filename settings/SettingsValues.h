#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

class IniFile;

// What the settings windows accept in their fields and in the settings file. One rule per kind
// of field: a text either converts to a value inside the rule's bounds or is refused, and a
// refused text never reaches the map, the timer or the settings file.
//
// Numbers are read strictly (platform/NumberText): '.' as decimal point, no blanks, no
// thousands separators, no "nan" or "inf"; whole numbers take no point or exponent.
struct ValueRule {
    // How the operator's messages name the field.
    const char* Field;
    bool Whole;
    double Min;
    double Max;
    // What the rule accepts, for messages: "a whole number from 0 to 15".
    const char* Accepted;
};

// Pen widths of the vessel and of the track layers.
extern const ValueRule VesselWidthRule;
extern const ValueRule TrackWidthRule;
// Metres the vessel moves before the next track point.
extern const ValueRule TrackDistanceRule;
// Map update rate in milliseconds; what is below 50 runs at 50.
extern const ValueRule UpdateRateRule;
// Shallow-water alert depth in metres.
extern const ValueRule DepthAlertRule;
// A colour stored as a decimal number, 0x00BBGGRR.
extern const ValueRule ColorRule;
// Vessel symbol: number of circles (the map redraws them on every tick, so it is capped),
// and its lengths in metres.
extern const ValueRule CircleCountRule;
extern const ValueRule FirstRadiusRule;
extern const ValueRule CircleStepRule;
extern const ValueRule SideLengthRule;
extern const ValueRule BowLengthRule;

// The value of `text` under `rule`, or nothing when the text is refused.
std::optional<double> CheckValue(const ValueRule& rule, std::string_view text);
// The same for whole-number rules, as an int.
std::optional<int> CheckWholeValue(const ValueRule& rule, std::string_view text);

// The map timer's interval for an update-rate text: 500 ms for an empty text, the number
// raised to at least 50 otherwise; nothing for a refused text.
std::optional<int> MapTimerIntervalFor(std::string_view text);
constexpr int MinimumMapInterval = 50;
constexpr int EmptyRateMapInterval = 500;

// The message for a typed text that was refused and taken back.
std::string RefusedTextMessage(const ValueRule& rule, std::string_view text,
                               std::string_view restored);

// One line of the message about stored values that were refused: names the key, the stored
// text and the default used in its place.
std::string StoredValueLine(std::string_view section, std::string_view key,
                            std::string_view stored, const ValueRule& rule,
                            std::string_view used);

// A stored setting checked against its rule: the value when it passes, `defaultValue` when the
// key is missing, and `defaultValue` with a StoredValueLine in `refused` otherwise.
double ReadCheckedSetting(const IniFile& ini, const char* section, const char* key,
                          const ValueRule& rule, double defaultValue,
                          std::vector<std::string>& refused);
