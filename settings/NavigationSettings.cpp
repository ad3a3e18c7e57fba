#include "settings/NavigationSettings.h"

#include "settings/SettingsValues.h"

#include "platform/IniFile.h"
#include "platform/NumberText.h"

#include <QString>

const char* const NavigationSettings::Section = "NAVIGATION_SETTINGS";

NavigationSettings NavigationSettings::Read(const IniFile& ini, std::vector<std::string>& refused) {
    const auto read = [&](const char* key, const ValueRule& rule, double defaultValue) {
        return ReadCheckedSetting(ini, Section, key, rule, defaultValue, refused);
    };
    const auto colour = [&](const char* key) {
        return static_cast<uint32_t>(read(key, ColorRule, 0));
    };
    NavigationSettings s;
    s.VesselWidth = static_cast<int>(read("VesselWidth", VesselWidthRule, 3));
    s.TrackWidth = static_cast<int>(read("TrackWidth", TrackWidthRule, 3));
    s.TrackDistance = static_cast<int>(read("TrackDistance", TrackDistanceRule, 20));
    s.VesselColor = colour("VesselColor");
    s.TrackColorFixed = colour("ColorTracklines1");
    s.TrackColorFloat = colour("ColorTracklines0");
    s.BackgroundColor = colour("BackgroundColor");
    s.TrackAsLines = ini.readBool(QString::fromLatin1(Section), QStringLiteral("cLineOrDot"), true);
    s.DepthAlert = read("edDepthAlert", DepthAlertRule, 1);
    return s;
}

void NavigationSettings::Write(IniFile& ini) const {
    const QString section = QString::fromLatin1(Section);
    const auto number = [](double value) { return QString::fromStdString(FormatGeneral(value)); };
    ini.writeString(section, QStringLiteral("VesselWidth"), number(VesselWidth));
    ini.writeString(section, QStringLiteral("TrackWidth"), number(TrackWidth));
    ini.writeString(section, QStringLiteral("TrackDistance"), number(TrackDistance));
    ini.writeString(section, QStringLiteral("VesselColor"), number(VesselColor));
    ini.writeString(section, QStringLiteral("ColorTracklines1"), number(TrackColorFixed));
    ini.writeString(section, QStringLiteral("ColorTracklines0"), number(TrackColorFloat));
    ini.writeString(section, QStringLiteral("BackgroundColor"), number(BackgroundColor));
    ini.writeBool(section, QStringLiteral("cLineOrDot"), TrackAsLines);
    ini.writeString(section, QStringLiteral("edDepthAlert"), number(DepthAlert));
}

TrackSettings TrackSettingsOf(const NavigationSettings& settings) {
    TrackSettings track;
    track.distance = settings.TrackDistance;
    track.width = settings.TrackWidth;
    track.asLines = settings.TrackAsLines;
    track.colourFix = settings.TrackColorFixed;
    track.colourFloat = settings.TrackColorFloat;
    return track;
}
