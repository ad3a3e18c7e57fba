#include "settings/VesselShapeSettings.h"

#include "settings/SettingsValues.h"

#include "platform/IniFile.h"
#include "platform/NumberText.h"

#include <QString>

namespace VesselShapeSettings {

const char* const Section = "VESSEL_SHAPE";

namespace {

const char* const CountKey = "Number of circles";
const char* const StepKey = "Cirecle offset interval";
const char* const RadiusKey = "Radious of first circle";
const char* const BowKey = "Arrow length to bow";
const char* const SideKey = "Left right offset of arrow";

} // namespace

VesselShape Designed() {
    VesselShape shape;
    shape.CircleCount = 2;
    shape.CircleStep = 10;
    shape.FirstRadius = 10;
    shape.SideLength = 10;
    shape.BowLength = 100;
    return shape;
}

VesselShape Read(const IniFile& ini, std::vector<std::string>& refused) {
    const auto read = [&](const char* key, const ValueRule& rule, double defaultValue) {
        return ReadCheckedSetting(ini, Section, key, rule, defaultValue, refused);
    };
    VesselShape shape;
    shape.CircleCount = static_cast<int>(read(CountKey, CircleCountRule, 2));
    shape.CircleStep = read(StepKey, CircleStepRule, 10);
    shape.FirstRadius = read(RadiusKey, FirstRadiusRule, 10);
    shape.BowLength = read(BowKey, BowLengthRule, 100);
    shape.SideLength = read(SideKey, SideLengthRule, 0);
    return shape;
}

void Write(IniFile& ini, const VesselShape& shape) {
    const QString section = QString::fromLatin1(Section);
    const auto put = [&](const char* key, double value) {
        ini.writeString(section, QString::fromLatin1(key),
                        QString::fromStdString(FormatGeneral(value)));
    };
    put(CountKey, shape.CircleCount);
    put(StepKey, shape.CircleStep);
    put(RadiusKey, shape.FirstRadius);
    put(BowKey, shape.BowLength);
    put(SideKey, shape.SideLength);
}

} // namespace VesselShapeSettings
