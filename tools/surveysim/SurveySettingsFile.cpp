#include "tools/surveysim/SurveySettingsFile.h"

#include "platform/IniFile.h"
#include "tools/surveysim/ExampleDatum.h"

#include <utility>

namespace {

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

// One port page: the devices speak 9600 8N1 and are read every 10 ms (a receiver at 10 Hz and
// a sounder at 20 Hz send a line every few milliseconds).
void WritePortPage(IniFile& ini, const QString& section, const QString& port) {
    const std::pair<const char*, const char*> page[] = {
        {"Port No", nullptr},      {"Baud Rate", "9600"},   {"Data Width", "8"},
        {"Stop Bits", "1"},        {"Parity", "None"},      {"Priority", "Normal"},
        {"Delay", "10"},           {"NMEA LOG", "False"},   {"Log Time", "False"},
        {"Enable DTR", "False"},   {"Enable RTS", "False"},
    };
    for (const auto& [key, value] : page)
        ini.writeString(section, QString::fromLatin1(key), value ? QString::fromLatin1(value) : port);
}

} // namespace

bool WriteSurveySettings(const QString& settingsFile, const std::string& gnssDevice,
                         const std::string& sounderDevice, int trackDistance) {
    IniFile ini(settingsFile);
    const QString ports = QStringLiteral("SERIAL_PORTS");
    ini.writeString(ports, QStringLiteral("COM1"), Q(gnssDevice));
    ini.writeString(ports, QStringLiteral("COM2"), Q(sounderDevice));

    const QString gnss = QStringLiteral("GPS1 COMUNICATION SETTINGS");
    const QString sensor = QStringLiteral("SENSOR COMUNICATION SETTINGS");
    WritePortPage(ini, gnss, QStringLiteral("COM1"));
    WritePortPage(ini, sensor, QStringLiteral("COM2"));
    ini.writeBool(sensor, QStringLiteral("Sensor Enabled"), true);
    ini.writeString(sensor, QStringLiteral("cSBESMessage"), QStringLiteral("NMEA DBT"));
    ini.writeString(sensor, QStringLiteral("eSBESFormat"), QStringLiteral("%*6s,%*lf,%*1s,%lf"));
    ini.writeBool(QStringLiteral("GYRO"), QStringLiteral("Gyro Enabled"), false);

    const GeodeticTexts t = ExampleLocalDatum();
    const QString g = QStringLiteral("GEODETIC_PARAMETERS");
    const std::pair<const char*, const std::string*> geodetic[] = {
        {"SemiMajorAxis", &t.edSMA},   {"InverseFlattening", &t.edIF},
        {"X_Rotation", &t.edRX},       {"Y_Rotation", &t.edRY},
        {"Z_Rotation", &t.edRZ},       {"X_Shift", &t.edSX},
        {"Y_Shift", &t.edSY},          {"Z_Shift", &t.edSZ},
        {"Scale_PPM", &t.edPPM},       {"Central_Meridian", &t.edCM},
        {"Reference_Latitude", &t.edRL}, {"Scale_Factor", &t.edSF},
        {"False_Easting", &t.edFE},    {"False_Northing", &t.edFN},
        {"eLCCSP1", &t.eLCCSP1},       {"eLCCSP2", &t.eLCCSP2},
        {"eLCCSF", &t.eLCCSF},         {"eLCCCP", &t.eLCCCP},
        {"eLCCM", &t.eLCCM},           {"eLCCFE", &t.eLCCFE},
        {"eLCCFN", &t.eLCCFN},
    };
    for (const auto& [key, value] : geodetic)
        ini.writeString(g, QString::fromLatin1(key), Q(*value));
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
