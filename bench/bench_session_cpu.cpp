// CPU of a whole survey session: the program's windows at 1920 x 1080, Start pressed, a GNSS
// receiver at 20 Hz and an echo sounder at 10 Hz played through pseudo-terminals in real time,
// the map tick every 200 ms and the map painted. CPU is read with getrusage over the session
// and given as a percentage of one core over the wall time; the device players' own CPU
// (threads of this process) is taken out. Goals: 1 % with or without a day's track, 2 % with
// the realtime window and the echogram open. The peer is the same program for
// the same time with the same windows shown but not started. The session runs once on an
// empty map and once with a day's track (864,000 fixes at the navigation settings' distance)
// laid around the vessel, and once more with the day's track and the realtime window and the
// echogram open beside the map; each with the map following the vessel, as the program starts,
// and again with the map standing still.
//
// SESSION_SECONDS (default 60) sets the wall time of each run; the rates are never compressed,
// since the figure is CPU per second of a real survey.
#include "DaySurvey.h"
#include "MapPaintCounter.h"
#include "ProgramBenchmarkMain.h"

#include "app/devices/TFGPS.h"
#include "app/main_window/TFNav.h"
#include "app/program/ProgramStart.h"
#include "app/settings_windows/TNavset.h"
#include "app/survey_windows/AcquisitionSession.h"
#include "app/survey_windows/TfRealtime.h"
#include "app/survey_windows/TfWaterfal.h"
#include "canvas/TTavrinCanvas.h"
#include "platform/IniFile.h"
#include "positioning/gnss/TavrinSerialGPS.h"
#include "settings/NavigationSettings.h"
#include "tools/devsim/DeviceScript.h"
#include "tools/devsim/PseudoTerminal.h"
#include "tools/surveysim/ExampleDatum.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QEventLoop>
#include <QTimer>
#include <QToolButton>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <atomic>
#include <cstdlib>
#include <thread>
#include <utility>

namespace {

int SessionSeconds() {
    const char* text = std::getenv("SESSION_SECONDS");
    const int seconds = text ? std::atoi(text) : 60;
    return seconds > 0 ? seconds : 60;
}

double CpuSeconds(int who) {
    rusage usage{};
    getrusage(who, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

double WallSeconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

// A device that plays its script in a loop on a thread of its own until stopped, and counts
// the CPU that costs, so the program's share can be told apart.
class DevicePlayer {
public:
    DevicePlayer(PseudoTerminal& terminal, DeviceScript script, int intervalMs)
        : thread_([this, &terminal, script = std::move(script), intervalMs] {
              PlayPace pace;
              pace.mode = PlayPace::Mode::PerEpoch;
              pace.epochIntervalMs = intervalMs;
              while (!stop_ && PlayScript(terminal, script, pace, &stop_)) {
              }
              cpu_ = CpuSeconds(RUSAGE_THREAD);
          }) {}
    // Stops the player and returns the CPU seconds its thread used.
    double Stop() {
        stop_ = true;
        thread_.join();
        return cpu_;
    }

private:
    std::atomic<bool> stop_{false};
    double cpu_ = 0;
    std::thread thread_;
};


// The program's own event loop, as it runs between the operator's clicks.
void RunEventLoopFor(double seconds) {
    QEventLoop loop;
    QTimer::singleShot(int(seconds * 1000), &loop, &QEventLoop::quit);
    loop.exec();
}

void WriteSessionSettings(const PseudoTerminal& receiver, const PseudoTerminal& sounder) {
    IniFile ini(AppPaths::settingsFile());
    const QString offsets = QStringLiteral("ECHOSOUNDER_OFFSETS");
    ini.writeString(offsets, QStringLiteral("Offset A"), QStringLiteral("0.40"));
    ini.writeString(offsets, QStringLiteral("SV"), QStringLiteral("1530"));
    ini.writeString(offsets, QStringLiteral("Offset C"), QStringLiteral("1.5"));
    ini.writeString(offsets, QStringLiteral("Tide Height"), QStringLiteral("0.35"));
    const QString ports = QStringLiteral("SERIAL_PORTS");
    ini.writeString(ports, QStringLiteral("COM1"), QString::fromStdString(receiver.devicePath()));
    ini.writeString(ports, QStringLiteral("COM2"), QString::fromStdString(sounder.devicePath()));
}

// The device settings window as the operator fills it in before Start: the receiver on COM1,
// the sounder (NMEA DPT) on COM2, the example datum projected on transverse Mercator.
void FillDevicePages() {
    const QStringList page = {"9600", "8", "1", "None", "Normal", "5", "False", "False", "True", "True"};
    QComboBox* const gnss[10] = {FGPS->BaudRate, FGPS->DataWidth, FGPS->StopBits,
                                 FGPS->Parity,   FGPS->Priority,  FGPS->Delay,
                                 FGPS->NMEALog,  FGPS->LogTime,   FGPS->EnableDTR,
                                 FGPS->EnableRTS};
    QComboBox* const sensor[10] = {FGPS->SBaudRate, FGPS->SDataWidth, FGPS->SStopBits,
                                   FGPS->SParity,   FGPS->SPriority,  FGPS->SDelay,
                                   FGPS->SNMEALog,  FGPS->SLogTime,   FGPS->SEnableDTR,
                                   FGPS->SEnableRTS};
    FGPS->Port->setCurrentText(QStringLiteral("COM1"));
    FGPS->SPort->setCurrentText(QStringLiteral("COM2"));
    for (int i = 0; i < 10; ++i) {
        gnss[i]->setCurrentText(page[i]);
        sensor[i]->setCurrentText(page[i]);
    }
    const GeodeticTexts datum = ExampleLocalDatum();
    const std::pair<QLineEdit*, const std::string*> edits[] = {
        {FGPS->edSMA, &datum.edSMA},     {FGPS->edIF, &datum.edIF},     {FGPS->edRX, &datum.edRX},
        {FGPS->edRY, &datum.edRY},       {FGPS->edRZ, &datum.edRZ},     {FGPS->edSX, &datum.edSX},
        {FGPS->edSY, &datum.edSY},       {FGPS->edSZ, &datum.edSZ},     {FGPS->edPPM, &datum.edPPM},
        {FGPS->edCM, &datum.edCM},       {FGPS->edRL, &datum.edRL},     {FGPS->edSF, &datum.edSF},
        {FGPS->edFE, &datum.edFE},       {FGPS->edFN, &datum.edFN},     {FGPS->eLCCSP1, &datum.eLCCSP1},
        {FGPS->eLCCSP2, &datum.eLCCSP2}, {FGPS->eLCCSF, &datum.eLCCSF}, {FGPS->eLCCCP, &datum.eLCCCP},
        {FGPS->eLCCM, &datum.eLCCM},     {FGPS->eLCCFE, &datum.eLCCFE}, {FGPS->eLCCFN, &datum.eLCCFN}};
    for (const auto& [edit, text] : edits)
        edit->setText(QString::fromStdString(*text));
    FGPS->cbUseTMProjection->setChecked(true);
    FGPS->SensorEnabled->setChecked(true);
    FGPS->cSBESMessage->setCurrentText(QStringLiteral("NMEA DPT"));
    FGPS->eSBESFormat->setText(QStringLiteral("%*6s,%lf"));
}

void ShowMainWindow() {
    FNav->resize(1920, 1080);
    FNav->show();
    QApplication::processEvents();
}

void ReportCpu(benchmark::State& state, double cpu, double wall) {
    state.counters["wall_s"] = wall;
    state.counters["cpu_s"] = cpu;
    state.counters["cpu_percent"] = 100.0 * cpu / wall;
}

// Once the first fix is in, a day's track recorded at the navigation settings' distance is
// laid around the vessel, as at the end of a long day.
void LayADaysTrackAroundTheVessel() {
    const PositionRecord& record = FNav->Acquisition->Core().Position;
    QEventLoop loop;
    for (int wait = 0; wait < 100 && !record.Projected; ++wait) {
        QTimer::singleShot(20, &loop, &QEventLoop::quit);
        loop.exec();
    }
    const double east0 = record.Easting - DaySurvey::LineLength / 2;
    const double north0 = record.Northing - 2700;
    DaySurvey::LayTrack(*FNav->fcad, TrackSettingsOf(Navset->Settings()), east0, north0);
}

// Args: 0 an empty map, 1 a day's track on it, 2 the day's track with the realtime window and
// the echogram open; the map following the vessel (1, as the program starts) or not (0). A map
// that follows pans at every tick, and every pixel of it may move.
void BM_SurveySessionCpuAtRealRates(benchmark::State& state) {
    const int seconds = SessionSeconds();
    for (auto _ : state) {
        PseudoTerminal receiver, sounder;
        WriteSessionSettings(receiver, sounder);
        CreateApplicationWindows();
        ShowMainWindow();
        MapPaintCounter paints;
        FNav->fcad->installEventFilter(&paints);
        FillDevicePages();
        FollowVessel = state.range(1) != 0;
        FNav->Realtime->click();
        QApplication::processEvents();
        if (!FNav->Acquisition->Running() || !FNav->ZGPS1->Connected || !FNav->ZSENSOR->Connected) {
            state.SkipWithError("Start did not open both ports");
            DestroyApplicationWindows();
            return;
        }
        // Counted on their way in, so a run that logged nothing shows where the lines stopped.
        int gnssLines = 0, sounderLines = 0;
        const auto countInto = [](int& count, TTavrinSerialGPS::TNmeaLineEvent handler) {
            return [&count, handler](QObject* sender, const std::string& line) {
                ++count;
                handler(sender, line);
            };
        };
        FNav->ZGPS1->OnNewCommand = countInto(gnssLines, FNav->ZGPS1->OnNewCommand);
        FNav->ZSENSOR->OnNewCommand = countInto(sounderLines, FNav->ZSENSOR->OnNewCommand);
        DevicePlayer gnss(receiver, DeviceScript::demoGnss(20 * 600), 50);
        DevicePlayer echo(sounder, DeviceScript::demoSounder(10 * 600), 100);
        if (state.range(0) >= 1)
            LayADaysTrackAroundTheVessel();
        MapPaintCounter realtimePaints, echogramPaints;
        if (state.range(0) == 2) {
            fRealtime->show();
            fWaterfal->show();
            QApplication::processEvents();
            for (QWidget* widget : fRealtime->findChildren<QWidget*>())
                widget->installEventFilter(&realtimePaints);
            fRealtime->installEventFilter(&realtimePaints);
            fWaterfal->installEventFilter(&echogramPaints);
        }
        const uint64_t loggedBefore = FNav->Acquisition->Core().SoundingsLogged();

        const double cpu0 = CpuSeconds(RUSAGE_SELF);
        const double wall0 = WallSeconds();
        RunEventLoopFor(seconds);
        const double wall = WallSeconds() - wall0;
        const double players = gnss.Stop() + echo.Stop();
        const double cpu = CpuSeconds(RUSAGE_SELF) - cpu0 - players;

        state.counters["soundings_logged"] =
            double(FNav->Acquisition->Core().SoundingsLogged() - loggedBefore);
        state.counters["gnss_lines"] = gnssLines;
        state.counters["sounder_lines"] = sounderLines;
        state.counters["soundings_not_logged"] =
            double(FNav->Acquisition->Core().SoundingsNotLogged());
        state.counters["position_projected"] = FNav->Acquisition->Core().Position.Projected;
        state.counters["map_paints"] = paints.paints;
        state.counters["map_paints_per_min"] = paints.paints * 60.0 / wall;
        state.counters["realtime_paints_per_min"] = realtimePaints.paints * 60.0 / wall;
        state.counters["echogram_paints_per_min"] = echogramPaints.paints * 60.0 / wall;
        state.counters["track_shapes"] = double(FNav->fcad->Shapes.size());
        state.counters["players_cpu_s"] = players;
        ReportCpu(state, cpu, wall);
        FNav->Realtime->click();
        QApplication::processEvents();
        DestroyApplicationWindows();
    }
}
BENCHMARK(BM_SurveySessionCpuAtRealRates)
    ->ArgNames({"days_track", "following"})
    ->ArgsProduct({{0, 1, 2}, {1, 0}})
    ->Unit(benchmark::kSecond)
    ->Iterations(1);

// Peer: the same windows shown for the same time, nothing started.
void BM_IdleProgramCpuSameTime(benchmark::State& state) {
    const int seconds = SessionSeconds();
    for (auto _ : state) {
        CreateApplicationWindows();
        ShowMainWindow();
        MapPaintCounter paints;
        FNav->fcad->installEventFilter(&paints);
        const double cpu0 = CpuSeconds(RUSAGE_SELF);
        const double wall0 = WallSeconds();
        RunEventLoopFor(seconds);
        const double wall = WallSeconds() - wall0;
        const double cpu = CpuSeconds(RUSAGE_SELF) - cpu0;
        state.counters["map_paints"] = paints.paints;
        ReportCpu(state, cpu, wall);
        DestroyApplicationWindows();
    }
}
BENCHMARK(BM_IdleProgramCpuSameTime)->Unit(benchmark::kSecond)->Iterations(1);

} // namespace

int main(int argc, char** argv) {
    return RunProgramBenchmarks(argc, argv);
}
