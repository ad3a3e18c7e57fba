#include "tools/surveysim/SurveySettingsFile.h"

#include "platform/IniFile.h"
#include "tools/surveysim/ExampleDatum.h"

#include <utility>

namespace {

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

} // namespace

void WritePortPage(IniFile& ini, bool gnss, const QStringList& texts) {
    static const char* const keys[11] = {"Port No",  "Baud Rate",  "Data Width", "Stop Bits",
                                         "Parity",   "Priority",   "Delay",      "NMEA LOG",
                                         "Log Time", "Enable DTR", "Enable RTS"};
    const QString section = gnss ? QStringLiteral("GPS1 COMUNICATION SETTINGS")
                                 : QStringLiteral("SENSOR COMUNICATION SETTINGS");
    for (int i = 0; i < 11 && i < texts.size(); ++i)
        ini.writeString(section, QString::fromLatin1(keys[i]), texts[i]);
}

void WriteGeodeticParameters(IniFile& ini, const GeodeticTexts& t) {
    const std::pair<const char*, const std::string*> keys[] = {
        {"SemiMajorAxis", &t.edSMA},     {"InverseFlattening", &t.edIF},
        {"X_Rotation", &t.edRX},         {"Y_Rotation", &t.edRY},
        {"Z_Rotation", &t.edRZ},         {"X_Shift", &t.edSX},
        {"Y_Shift", &t.edSY},            {"Z_Shift", &t.edSZ},
        {"Scale_PPM", &t.edPPM},         {"Central_Meridian", &t.edCM},
        {"Reference_Latitude", &t.edRL}, {"Scale_Factor", &t.edSF},
        {"False_Easting", &t.edFE},      {"False_Northing", &t.edFN},
        {"eLCCSP1", &t.eLCCSP1},         {"eLCCSP2", &t.eLCCSP2},
        {"eLCCSF", &t.eLCCSF},           {"eLCCCP", &t.eLCCCP},
        {"eLCCM", &t.eLCCM},             {"eLCCFE", &t.eLCCFE},
        {"eLCCFN", &t.eLCCFN},
    };
    for (const auto& [key, value] : keys)
        ini.writeString(QStringLiteral("GEODETIC_PARAMETERS"), QString::fromLatin1(key), Q(*value));
}

bool WriteSurveySettings(const QString& settingsFile, const std::string& gnssDevice,
                         const std::string& sounderDevice, int trackDistance) {
    IniFile ini(settingsFile);
    const QString ports = QStringLiteral("SERIAL_PORTS");
    ini.writeString(ports, QStringLiteral("COM1"), Q(gnssDevice));
    ini.writeString(ports, QStringLiteral("COM2"), Q(sounderDevice));

    // The devices speak 9600 8N1 and are read every 10 ms (a receiver at 10 Hz and a sounder
    // at 20 Hz send a line every few milliseconds).
    for (const bool gnss : {true, false})
        WritePortPage(ini, gnss,
                      {gnss ? QStringLiteral("COM1") : QStringLiteral("COM2"), QStringLiteral("9600"),
                       QStringLiteral("8"), QStringLiteral("1"), QStringLiteral("None"),
                       QStringLiteral("Normal"), QStringLiteral("10"), QStringLiteral("False"),
                       QStringLiteral("False"), QStringLiteral("False"), QStringLiteral("False")});
    const QString sensor = QStringLiteral("SENSOR COMUNICATION SETTINGS");
    ini.writeBool(sensor, QStringLiteral("Sensor Enabled"), true);
    ini.writeString(sensor, QStringLiteral("cSBESMessage"), QStringLiteral("NMEA DBT"));
    ini.writeString(sensor, QStringLiteral("eSBESFormat"), QStringLiteral("%*6s,%*lf,%*1s,%lf"));
    ini.writeBool(QStringLiteral("GYRO"), QStringLiteral("Gyro Enabled"), false);

    WriteGeodeticParameters(ini, ExampleLocalDatum());
    const QString g = QStringLiteral("GEODETIC_PARAMETERS");
    ini.writeString(g, QStringLiteral("Name of Datum"), QStringLiteral("Example local datum"));
    ini.writeBool(g, QStringLiteral("Use DTP"), true);
    ini.writeBool(g, QStringLiteral("Use Projection"), true);
    ini.writeBool(g, QStringLiteral("cbUseLCCProjection"), false);
    ini.writeBool(g, QStringLiteral("cLambert1"), false);

    const QString offsets = QStringLiteral("ECHOSOUNDER_OFFSETS");
    ini.writeString(offsets, QStringLiteral("Offset A"), QStringLiteral("0.40"));
    ini.writeString(offsets, QStringLiteral("Offset B"), QStringLiteral("1.90"));
    ini.writeString(offsets, QStringLiteral("SV"), QStringLiteral("1530"));
    ini.writeString(offsets, QStringLiteral("Offset C"), QStringLiteral("1.5"));
    ini.writeString(offsets, QStringLiteral("Tide Height"), QStringLiteral("0.35"));
    ini.writeString(offsets, QStringLiteral("Surveyor"), QStringLiteral("Generated survey"));
    ini.writeString(offsets, QStringLiteral("SurveyBoat"), QStringLiteral("Simulated boat"));
    ini.writeString(offsets, QStringLiteral("SurveyLocation"), QStringLiteral("Simulated devices"));

    // The navigation window's design values (a missing colour would read as black).
    const QString navigation = QStringLiteral("NAVIGATION_SETTINGS");
    const std::pair<const char*, int> display[] = {
        {"VesselWidth", 2},           {"TrackWidth", 2},
        {"VesselColor", 0x800000},    {"ColorTracklines1", 0x008000},
        {"ColorTracklines0", 0x00FFFF}, {"BackgroundColor", 0xFFFFFF},
    };
    for (const auto& [key, value] : display)
        ini.writeInteger(navigation, QString::fromLatin1(key), value);
    ini.writeInteger(navigation, QStringLiteral("TrackDistance"), trackDistance);
    ini.writeBool(navigation, QStringLiteral("cLineOrDot"), true);
    ini.writeString(navigation, QStringLiteral("edDepthAlert"), QStringLiteral("0.5"));
    return ini.flush();
}
