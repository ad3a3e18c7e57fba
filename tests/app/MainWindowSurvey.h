#pragma once

#include "StartedProgram.h"

#include "app/survey_windows/AcquisitionSession.h"
#include "canvas/TTavrinCanvas.h"
#include "platform/DataPaths.h"
#include "platform/FileIO.h"
#include "positioning/gnss/TavrinSerialGPS.h"
#include "survey/GeodeticSnapshot.h"
#include "tests/support/LayerShapes.h"
#include "tools/devsim/PseudoTerminal.h"
#include "tools/surveysim/ExampleDatum.h"
#include "tools/surveysim/SurveyLogCheck.h"
#include "tools/surveysim/SurveySettingsFile.h"

#include <QTimer>

#include <string>
#include <vector>

// The real main window surveying from two pseudo-terminals: the settings file holds the device
// set-up the generated survey's logs are checked against, the windows are created from it and
// Start is pressed (it copies the device settings window's port pages into the ports). The map
// timer, the ports' poll timers and every handler are the program's own; the test only notes
// the last line each port has handled and counts the map ticks.
class MainWindowSurvey : public StartedProgram {
protected:
    PseudoTerminal receiver, echoSounder;
    std::string lastGnssLine, lastSounderLine;
    uint64_t mapTicks = 0;

    void startSurvey(int trackDistance) {
        ASSERT_TRUE(WriteSurveySettings(TestEnvironment::settingsFile(), receiver.devicePath(),
                                        echoSounder.devicePath(), trackDistance));
        start();
        FNav->RealtimeClick();
        ASSERT_TRUE(FNav->Acquisition->Running()) << shownMessages();
        for (auto [port, last] : {std::pair{FNav->ZGPS1, &lastGnssLine},
                                  std::pair{FNav->ZSENSOR, &lastSounderLine}}) {
            auto handler = port->OnNewCommand;
            ASSERT_TRUE(handler);
            port->OnNewCommand = [handler, last](QObject* sender, const std::string& line) {
                handler(sender, line);
                *last = line;
            };
        }
        QObject::connect(FNav->tMap, &QTimer::timeout, FNav, [this] { ++mapTicks; });
    }

    static std::string shownMessages() {
        std::string texts;
        for (const auto& shown : TestEnvironment::dialogs().messages)
            texts += shown.text.toStdString() + "\n";
        return texts;
    }

    int shapesOn(const char* layer) const {
        return ShapesOnLayer(*FNav->fcad, QString::fromLatin1(layer));
    }
    int trackShapes() const {
        return shapesOn("track_fix") + shapesOn("track_float") + shapesOn("track_nofix");
    }

    // What the run's logs must hold, checked as for the acquisition alone; `fixSlack` for
    // devices paced by their own clocks.
    std::vector<std::string> checkLogs(const SurveyScripts& scripts, int fixSlack,
                                       std::vector<int>* fixOfRow = nullptr) {
        SurveyLogExpectation expected;
        expected.notLogged = FNav->Acquisition->Core().SoundingsNotLogged();
        expected.fixSlack = fixSlack;
        const GridProjector projector(*GeodeticSnapshot::Take(ExampleLocalDatum()));
        expected.project = [&](const ScriptFix& fix) -> std::optional<std::pair<double, double>> {
            const auto grid = projector.project(fix.latitude, fix.longitude, fix.altitude);
            if (!grid)
                return std::nullopt;
            return std::make_pair(grid->Easting, grid->Northing);
        };
        return CheckSurveyLogs(scripts, ReadWholeFile(CoordinatesLogPath).value_or(""),
                               ReadWholeFile(XyzFolder + TodayText + " Simple XYZ.csv").value_or(""),
                               expected, fixOfRow);
    }
};
