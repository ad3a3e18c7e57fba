#include "tools/surveysim/SurveyScripts.h"

#include "positioning/gnss/NmeaParser.h"

#include <cmath>
#include <cstdio>
#include <random>

namespace {

constexpr double kMetresPerDegree = 111320.0;

std::string Format(const char* format, auto... values) {
    char text[256];
    std::snprintf(text, sizeof text, format, values...);
    return text;
}

std::string Noise(std::mt19937& random, size_t length) {
    static const char kChars[] = "0123456789.,;:+-_/ ()[]#=";
    std::string text(length, ' ');
    for (char& c : text)
        c = kChars[random() % (sizeof kChars - 1)];
    return "~" + text;
}

} // namespace

SurveyStepGenerator::SurveyStepGenerator(const SurveyScriptOptions& options)
    : options_(options), random_(options.seed),
      speed_(options.speedKnots * 1852.0 / 3600.0),
      cosLat_(std::cos(options.startLatitude * std::acos(-1.0) / 180)) {}

bool SurveyStepGenerator::next(SurveyStep& s, SurveyScripts* record) {
    if (step_ >= options_.steps)
        return false;
    const SurveyScriptOptions& options = options_;
    std::mt19937& random = random_;
    s.gnssLines.clear();
    s.sounderLines.clear();
    size_t malformedGnss = 0, malformedSounder = 0;
    const int gnssStep = step_ - options.leadInSteps;
    if (gnssStep >= 0 && gnssStep % 2 == 0) {
        const int epoch = gnssStep / 2;
        const double t = epoch * 0.1;
        // Lines run east and west, one line spacing further north each time.
        const double travelled = t * speed_;
        const int line = int(travelled / options.lineLengthMetres);
        const double along = std::fmod(travelled, options.lineLengthMetres);
        const double east = (line % 2 == 0) ? along : options.lineLengthMetres - along;
        const double north = line * options.lineSpacingMetres;
        const double course = (line % 2 == 0) ? 90.0 : 270.0;
        const double latitude = options.startLatitude + north / kMetresPerDegree;
        const double longitude = options.startLongitude + east / (kMetresPerDegree * cosLat_);
        if (spellLeft_ > 0) {
            --spellLeft_;
        } else {
            quality_ = 4;
            if (random() % 100 == 0) {
                quality_ = 5;
                spellLeft_ = 20 + int(random() % 30);
            }
        }
        // Past a day the receiver's clock wraps at midnight, as a real one does.
        const int seconds = (10 * 3600 + epoch / 10) % 86400;
        const std::string time = Format("%02d%02d%02d.%d0", seconds / 3600, seconds / 60 % 60,
                                        seconds % 60, epoch % 10);
        char ns = 'N', ew = 'E';
        const std::string lat = NmeaCoordinate(latitude, false, &ns);
        const std::string lon = NmeaCoordinate(longitude, true, &ew);
        const double altitude = options.altitude + 0.05 * std::sin(epoch / 17.0);

        // A wrong checksum on a position a degree away must never reach a row.
        if (random() % 25 == 0) {
            char fns = 'N', few = 'E';
            const std::string farLat = NmeaCoordinate(latitude + 1, false, &fns);
            const std::string farLon = NmeaCoordinate(longitude + 1, true, &few);
            std::string wrong = NmeaSentence(
                Format("GPGGA,%s,%s,%c,%s,%c,4,12,0.8,%.3f,M,36.2,M,,", time.c_str(),
                       farLat.c_str(), fns, farLon.c_str(), few, altitude));
            wrong[wrong.size() - 1] = wrong.back() == '0' ? '1' : '0';
            s.gnssLines.push_back(wrong);
            ++malformedGnss;
        }
        const std::string gga = NmeaSentence(
            Format("GPGGA,%s,%s,%c,%s,%c,%d,12,0.8,%.3f,M,36.2,M,,", time.c_str(), lat.c_str(),
                   ns, lon.c_str(), ew, quality_, altitude));
        s.gnssLines.push_back(gga);
        if (record) {
            ScriptFix fix;
            fix.latitude = *NmeaParser::NmeaToDegrees(lat, std::string(1, ns));
            fix.longitude = *NmeaParser::NmeaToDegrees(lon, std::string(1, ew));
            fix.altitude = std::stod(Format("%.3f", altitude));
            fix.quality = quality_;
            record->fixes.push_back(fix);
        }
        ++lastFix_;
        s.gnssLines.push_back(NmeaSentence(
            Format("GPRMC,%s,A,%s,%c,%s,%c,%.2f,%.1f,030524,,,R", time.c_str(), lat.c_str(), ns,
                   lon.c_str(), ew, options.speedKnots, course)));
        s.gnssLines.push_back(NmeaSentence(Format("GPVTG,%.1f,T,,M,%.2f,N,%.2f,K,R", course,
                                                  options.speedKnots,
                                                  options.speedKnots * 1.852)));
        s.gnssLines.push_back(NmeaSentence(Format("GPHDT,%.1f,T", course)));
        switch (random() % 40) {
        case 0: // cut short: too few fields to carry a position
            s.gnssLines.push_back(gga.substr(0, 20));
            ++malformedGnss;
            break;
        case 1:
            s.gnssLines.push_back(NmeaSentence("GPGGA," + time + ",nan,N,nan,E,4,12,0.8,nan,M,,M,,"));
            ++malformedGnss;
            break;
        case 2:
            s.gnssLines.push_back(NmeaSentence("GPHDT,,T"));
            ++malformedGnss;
            break;
        case 3:
            s.gnssLines.push_back("$GPGGA," + std::string(5000, '7'));
            ++malformedGnss;
            break;
        case 4:
            s.gnssLines.push_back(Noise(random, 40 + random() % 60));
            ++malformedGnss;
            break;
        default:
            break;
        }
    }

    // One sounding every step, unique raw depth.
    rawMillimetres_ += 1 + int64_t(random() % 7);
    const int64_t raw = rawMillimetres_;
    s.sounderLines.push_back(NmeaSentence(
        Format("SDDBT,%.2f,f,%lld.%03lld,M,%.2f,F", raw / 304.8, (long long)(raw / 1000),
               (long long)(raw % 1000), raw / 1828.8)));
    switch (random() % 30) {
    case 0:
        s.sounderLines.push_back("$SDDBT,32.8,f,");
        ++malformedSounder;
        break;
    case 1:
        s.sounderLines.push_back("$SDDBT,nan,f,nan,M,nan,F");
        ++malformedSounder;
        break;
    case 2:
        s.sounderLines.push_back("$SDDBT,,f,,M,,F");
        ++malformedSounder;
        break;
    case 3:
        s.sounderLines.push_back("$SDDBT,1,f," + std::string(5000, '9') + ",M");
        ++malformedSounder;
        break;
    case 4:
        s.sounderLines.push_back(Noise(random, 10 + random() % 80));
        ++malformedSounder;
        break;
    default:
        break;
    }
    if (record) {
        record->soundings.push_back({raw, lastFix_});
        record->malformedGnssLines += malformedGnss;
        record->malformedSounderLines += malformedSounder;
    }
    ++step_;
    return true;
}

SurveyScripts GenerateSurveyScripts(const SurveyScriptOptions& options) {
    SurveyScripts scripts;
    SurveyStepGenerator generator(options);
    SurveyStep step;
    while (generator.next(step, &scripts))
        scripts.steps.push_back(step);
    return scripts;
}

std::string DeviceBytes(const std::vector<std::string>& lines, const std::string& lastLine) {
    std::string bytes;
    for (const std::string& line : lines)
        bytes += line + "\r\n";
    if (!lastLine.empty())
        bytes += lastLine + "\r\n";
    return bytes;
}

DeviceScript SurveyScripts::gnssScript() const {
    DeviceScript script;
    for (size_t i = 0; i < steps.size(); i += 2) {
        std::vector<std::string> epoch = steps[i].gnssLines;
        if (i + 1 < steps.size())
            epoch.insert(epoch.end(), steps[i + 1].gnssLines.begin(), steps[i + 1].gnssLines.end());
        script.epochs.push_back(std::move(epoch));
    }
    return script;
}

DeviceScript SurveyScripts::sounderScript() const {
    DeviceScript script;
    for (const SurveyStep& step : steps)
        script.epochs.push_back(step.sounderLines);
    return script;
}
