#include "survey/SurveyLogRows.h"

#include "platform/DateTimeText.h"
#include "platform/NumberText.h"

const char* const kSurveyLogHeader =
    "Date,Lat,Lon,Easting,Northing,Elevation (Hi),Elevation (Lo),True Depth (Hi),True Depth "
    "(Lo),Raw Depth (Hi),Raw Depth (Lo),Message Format,Sound Velocity,Transducer Draft,GPS, RTK "
    "Antenna Height,Manual Tide,RTK Tide\r\n";
const char* const kSimpleXyzHeader = "Easting,Northing,Elevation\r\n";

std::string SurveyLogDateText(const LocalDateTime& time) {
    if (time.hour == 0 && time.minute == 0 && time.second == 0 && time.millisecond == 0)
        return DateText(time);
    return DateTimeText(time);
}

std::string SurveyLogLine(const SurveyLogRow& row) {
    std::string line;
    line.reserve(200);
    const auto fixed = [&](double value) {
        line += ',';
        line += FormatLogFixed(value, 2);
    };
    const auto general = [&](double value) {
        line += ',';
        line += FormatLogGeneral(value);
    };
    line += SurveyLogDateText(row.Time);
    general(row.Latitude);
    general(row.Longitude);
    fixed(row.Easting);
    fixed(row.Northing);
    fixed(row.ManualTide - row.TrueDepthHigh);
    fixed(row.ManualTide - row.TrueDepthLow);
    fixed(row.TrueDepthHigh);
    fixed(row.TrueDepthLow);
    general(row.RawDepthHigh);
    general(row.RawDepthLow);
    line += ',';
    line += row.MessageFormat;
    fixed(row.SoundVelocity);
    fixed(row.TransducerDraft);
    line += ',';
    line += std::to_string(row.FixQuality);
    fixed(row.AntennaHeight);
    fixed(row.ManualTide);
    fixed(row.RtkTide);
    line += "\r\n";
    return line;
}

std::string SimpleXyzLine(const SurveyLogRow& row) {
    const double depth = row.XyzFromLowDepth ? row.TrueDepthLow : row.TrueDepthHigh;
    return FormatLogFixed(row.Easting, 2) + "," + FormatLogFixed(row.Northing, 2) + "," +
           FormatLogFixed(row.ManualTide - depth, 2) + "\r\n";
}
