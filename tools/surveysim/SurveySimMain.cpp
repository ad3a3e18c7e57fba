// tavrin-surveysim: a generated survey for end-to-end runs with two tavrin-devsim, and the check
// of the logs the run wrote.
//
//   tavrin-surveysim --seed 16 --steps 12000 --write /tmp/survey
//   tavrin-devsim --link /tmp/gnss --script /tmp/survey/gnss.txt --epoch-ms 100 --wait-ms 500 &
//   tavrin-devsim --link /tmp/sounder --script /tmp/survey/sounder.txt --epoch-ms 50 &
//   tavrin-surveysim --settings TavrinSD.INI --gnss-device /tmp/gnss --sounder-device /tmp/sounder
//   (COM1=/tmp/gnss, COM2=/tmp/sounder in [SERIAL_PORTS]; SV 1530, draft 0.40, tide 0.35;
//    the local datum and transverse Mercator of the tests in [GEODETIC_PARAMETERS]; Start)
//   tavrin-surveysim --seed 16 --steps 12000 --check ~/WJT/<day>/ --not-logged N --fix-slack 50
//
// Without --not-logged the soundings counted as not logged are those the day's events logs tell,
// each spell's placed where it ended (just before the row written with its line, or after the
// last row at Stop), so that none stands for a row lost elsewhere.
//
// With devices paced by their own clocks the check's "GGA written last before the sounding"
// holds within the pacing jitter only: --fix-slack lets a row take a fix that many epochs
// either side. The tests run the same survey in lock step (no slack).
//
// A day's run may start after the devices began the script, stop before its end, or press
// Start more than once while they play on: the check covers what was played while recording
// (from each "Realtime STARTED" to its "Realtime STOPPED" in the day's events logs, the
// soundings beyond a recording's first and last rows placed by the times of the rows beside
// them) and lists under "not checked:" what the logs cannot place and the columns it does not
// compare.

#include "survey/GeodeticSnapshot.h"
#include "tools/surveysim/ExampleDatum.h"
#include "tools/surveysim/SurveyDayCheck.h"
#include "tools/surveysim/SurveyScripts.h"
#include "tools/surveysim/SurveySettingsFile.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

bool WriteScript(const std::string& path, const DeviceScript& script) {
    std::ofstream out(path, std::ios::binary);
    for (const auto& epoch : script.epochs) {
        for (const std::string& line : epoch)
            out << line << "\n";
        out << "\n";
    }
    return bool(out);
}

} // namespace

int main(int argc, char** argv) {
    SurveyScriptOptions options;
    std::string writeFolder, checkFolder, settingsFile, gnssDevice, sounderDevice;
    int trackDistance = 20;
    uint64_t notLogged = 0;
    bool notLoggedGiven = false;
    int fixSlack = 0;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        const char* value = argv[i + 1];
        if (option == "--seed")
            options.seed = uint32_t(std::strtoul(value, nullptr, 10));
        else if (option == "--steps")
            options.steps = std::atoi(value);
        else if (option == "--write")
            writeFolder = value;
        else if (option == "--check")
            checkFolder = value;
        else if (option == "--not-logged") {
            notLogged = std::strtoull(value, nullptr, 10);
            notLoggedGiven = true;
        } else if (option == "--fix-slack")
            fixSlack = std::atoi(value);
        else if (option == "--settings")
            settingsFile = value;
        else if (option == "--gnss-device")
            gnssDevice = value;
        else if (option == "--sounder-device")
            sounderDevice = value;
        else if (option == "--track-distance")
            trackDistance = std::atoi(value);
        else {
            std::fprintf(stderr,
                         "usage: tavrin-surveysim --seed N [--steps N] "
                         "(--write FOLDER | --check DAYFOLDER [--not-logged N] [--fix-slack N])\n"
                         "       tavrin-surveysim --settings INI --gnss-device PATH "
                         "--sounder-device PATH [--track-distance M]\n");
            return 2;
        }
    }
    if (!settingsFile.empty()) {
        if (gnssDevice.empty() || sounderDevice.empty())
            return 2;
        if (!WriteSurveySettings(QString::fromStdString(settingsFile), gnssDevice, sounderDevice,
                                 trackDistance)) {
            std::fprintf(stderr, "cannot write %s\n", settingsFile.c_str());
            return 1;
        }
        return 0;
    }
    const SurveyScripts scripts = GenerateSurveyScripts(options);
    if (!writeFolder.empty()) {
        if (!WriteScript(writeFolder + "/gnss.txt", scripts.gnssScript()) ||
            !WriteScript(writeFolder + "/sounder.txt", scripts.sounderScript())) {
            std::fprintf(stderr, "cannot write the scripts into %s\n", writeFolder.c_str());
            return 1;
        }
        std::printf("%zu fixes, %zu soundings, %zu malformed GNSS and %zu malformed sounder lines\n",
                    scripts.fixes.size(), scripts.soundings.size(), scripts.malformedGnssLines,
                    scripts.malformedSounderLines);
        return 0;
    }
    if (checkFolder.empty())
        return 2;
    const GridProjector projector(*GeodeticSnapshot::Take(ExampleLocalDatum()));
    SurveyLogExpectation expected;
    expected.notLogged = notLogged;
    expected.fixSlack = fixSlack;
    expected.project = [&](const ScriptFix& fix) -> std::optional<std::pair<double, double>> {
        const auto grid = projector.project(fix.latitude, fix.longitude, fix.altitude);
        if (!grid)
            return std::nullopt;
        return std::make_pair(grid->Easting, grid->Northing);
    };
    const SurveyDayCheck check = CheckSurveyDay(scripts, checkFolder, expected, !notLoggedGiven);
    const auto& faults = check.faults;
    const auto& notChecked = check.notChecked;
    for (const std::string& fault : faults)
        std::printf("%s\n", fault.c_str());
    for (const std::string& part : notChecked)
        std::printf("not checked: %s\n", part.c_str());
    if (!faults.empty())
        std::printf("logs do not match\n");
    else if (notChecked.empty())
        std::printf("logs match the scripts\n");
    else
        std::printf("logs match the scripts where they could be checked\n");
    return faults.empty() ? 0 : 1;
}
