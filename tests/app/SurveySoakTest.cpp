// The survey soak: the generated survey played through pseudo-terminals into the real main
// window, shown and painting, with the map ticking, by devices paced by their own clock for
// SOAK_MINUTES simulated minutes (default 10) at SOAK_SPEEDUP times real time (default 10:
// receiver epochs every 10 ms, soundings every 5 ms; 1 is real time). No sounding may be lost,
// and the memory may not grow with the hours surveyed.
//
// Run by its own test name (SurveySoakTenMinutes, label "soak") within the suite, and by
// `make soak` for an hour or more; the figures go to the standard output. Beside the resident
// size they give the heap's live allocations (what the map holds of the day: track, labels)
// and the freed memory the heap keeps, which tells a growing container from the allocator.
#include "MainWindowSurvey.h"

#include "platform/ProcessMemory.h"

#include "canvas/TTavrinCanvas.h"
#include "tests/support/EventLoopWait.h"
#include "tests/support/PaintCounter.h"
#include "tests/support/SanitizerBuild.h"

#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace {

using SteadyClock = std::chrono::steady_clock;

int EnvironmentNumber(const char* name, int defaultValue, int low, int high) {
    const char* text = std::getenv(name);
    if (!text || !*text)
        return defaultValue;
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (*end || value < low || value > high) {
        ADD_FAILURE() << name << "=" << text << " is not a whole number from " << low << " to "
                      << high;
        return defaultValue;
    }
    return int(value);
}


struct RssSample {
    double seconds;
    long kilobytes;
    HeapFigures heap;
};

RssSample SampleNow(double seconds) {
    return {seconds, ProcessStatusKb("VmRSS"), HeapUsage()};
}

long Resident(const RssSample& s) { return s.kilobytes; }
long HeapInUse(const RssSample& s) { return s.heap.inUseKb; }
long HeapFreeHeld(const RssSample& s) { return s.heap.freeHeldKb; }

// The median of the samples taken from `from` to `to` seconds: a screenshot's buffers, freed
// a moment later, do not count as growth.
double MedianKilobytes(const std::vector<RssSample>& samples, double from, double to,
                       long (*figure)(const RssSample&) = Resident) {
    std::vector<long> values;
    for (const RssSample& s : samples)
        if (s.seconds >= from && s.seconds <= to)
            values.push_back(figure(s));
    if (values.empty())
        return -1;
    std::sort(values.begin(), values.end());
    return values.size() % 2 ? double(values[values.size() / 2])
                             : (values[values.size() / 2 - 1] + values[values.size() / 2]) / 2.0;
}

class SurveySoak : public MainWindowSurvey {};

} // namespace

TEST_F(SurveySoak, NoSoundingIsLostAndMemoryStaysFlatWhileTheMapTicksAndPaints) {
    const int minutes = EnvironmentNumber("SOAK_MINUTES", 10, 1, 7 * 24 * 60);
    const int speedup = EnvironmentNumber("SOAK_SPEEDUP", 10, 1, 50);
    const auto stepPeriod = std::chrono::microseconds(50000 / speedup);
    SurveyScriptOptions options;
    options.seed = 19;
    options.steps = options.leadInSteps + minutes * 60 * 20;

    // The expectation first (fixes and soundings, a few MB an hour, all touched before the
    // run); the lines are made again step by step while they are played.
    SurveyScripts expected;
    {
        SurveyStepGenerator generator(options);
        SurveyStep step;
        while (generator.next(step, &expected)) {
        }
    }

    startSurvey(20);
    if (HasFatalFailure())
        return;
    // The window at its working size and painted once before the devices start: the frame
    // buffers it needs are there from the first second, as on a boat. The map shows 200 m
    // across, as when steering a line, and follows the vessel: labels and track scroll past.
    FNav->resize(1280, 800);
    WorldView view;
    view.Left = 0;
    view.Right = 200;
    view.Bottom = 0;
    view.Top = 125;
    FNav->fcad->SetView(view);
    FNav->fcad->Refresh();
    RunEventsFor(500);
    PaintCounter paints;
    FNav->fcad->installEventFilter(&paints);

    std::vector<RssSample> samples;
    const auto begin = SteadyClock::now();
    auto elapsed = [&] { return std::chrono::duration<double>(SteadyClock::now() - begin).count(); };
    QEventLoop loop;
    QTimer sampler;
    // A hundred samples or more, at most one a second.
    const double seconds = minutes * 60.0 / speedup;
    sampler.setInterval(std::clamp(int(seconds * 10), 50, 1000));
    QObject::connect(&sampler, &QTimer::timeout, [&] {
        samples.push_back(SampleNow(elapsed()));
    });

    // The two devices on one clock: step i is written at begin + i * period, receiver first;
    // a device that falls behind (the program not reading) catches up without skipping.
    std::string playerFault;
    std::thread player([&] {
        SurveyStepGenerator generator(options);
        SurveyStep step;
        for (int i = 0; generator.next(step); ++i) {
            std::this_thread::sleep_until(begin + i * stepPeriod);
            if (!step.gnssLines.empty() && !receiver.write(DeviceBytes(step.gnssLines), 30000)) {
                playerFault = "the receiver's lines were not taken for 30 s at step " + std::to_string(i);
                break;
            }
            if (!echoSounder.write(DeviceBytes(step.sounderLines), 30000)) {
                playerFault = "the sounder's lines were not taken for 30 s at step " + std::to_string(i);
                break;
            }
        }
        QMetaObject::invokeMethod(&loop, [&loop] { loop.quit(); }, Qt::QueuedConnection);
    });
    samples.push_back(SampleNow(0));
    sampler.start();
    loop.exec();
    sampler.stop();
    player.join();
    const double played = elapsed();
    samples.push_back(SampleNow(played));
    ASSERT_EQ(playerFault, "");

    // Everything sent is handled before the run stops.
    ASSERT_TRUE(receiver.write("$GPTXT,SOAK,END\r\n") && echoSounder.write("SOAK END\r\n"));
    ASSERT_TRUE(WaitUntil([&] {
        return lastGnssLine == "$GPTXT,SOAK,END" && lastSounderLine == "SOAK END";
    }, 60000));
    const uint64_t ticks = mapTicks;
    ASSERT_TRUE(WaitUntil([&] { return mapTicks > ticks; }));
    const int trackPieces = trackShapes();
    const size_t depthLabels = FNav->fcad->DepthLabels.size();
    const uint64_t notLogged = FNav->Acquisition->Core().SoundingsNotLogged();
    FNav->RealtimeClick();
    ASSERT_FALSE(FNav->Acquisition->Running());

    // The program reads the two ports one after the other: a sounding may take a fix read a
    // little before or after the one written last before it. Five seconds either side is far
    // beyond any read delay of a working program, and still no far or malformed position.
    const int epochMs = 100 / speedup;
    const int slack = 5000 / std::max(epochMs, 1);
    const auto faults = checkLogs(expected, slack);
    for (const std::string& fault : faults)
        ADD_FAILURE() << fault;

    const double tenth = played / 10;
    const double first = MedianKilobytes(samples, 0, tenth);
    const double last = MedianKilobytes(samples, played - tenth, played);
    const double growth = last - first;
    long peak = 0;
    for (const RssSample& s : samples)
        peak = std::max(peak, s.kilobytes);
    std::printf("soak: %d simulated minutes at %dx in %.1f s; %zu fixes, %zu soundings "
                "(%zu malformed receiver and %zu malformed sounder lines)\n"
                "soak: logged %zu, not logged for want of a position %llu, lost %s\n"
                "soak: %llu map ticks, %llu paints, %d track shapes, %zu depth labels\n"
                "soak: RSS median first tenth %.0f kB, last tenth %.0f kB, growth %.0f kB, peak %ld kB "
                "(%zu samples)\n",
                minutes, speedup, played, expected.fixes.size(), expected.soundings.size(),
                expected.malformedGnssLines, expected.malformedSounderLines,
                expected.soundings.size() - size_t(notLogged), (unsigned long long)notLogged,
                faults.empty() ? "none" : "SEE FAULTS", (unsigned long long)mapTicks,
                (unsigned long long)paints.paints, trackPieces, depthLabels, first, last, growth,
                peak, samples.size());
    struct Figure {
        const char* caption;
        long (*of)(const RssSample&);
    };
    for (const Figure& figure : {Figure{"RSS", Resident}, Figure{"heap in use", HeapInUse},
                                 Figure{"heap freed but held", HeapFreeHeld}}) {
        std::printf("soak: %s median by tenth of the run (kB):", figure.caption);
        for (int k = 0; k < 10; ++k)
            std::printf(" %.0f", MedianKilobytes(samples, k * tenth, (k + 1) * tenth, figure.of));
        std::printf("\n");
    }
    std::fflush(stdout);
    EXPECT_GT(paints.paints, uint64_t(played)) << "the map painted while the survey ran";
    EXPECT_GT(trackPieces, 0);
    if (!MemoryIsInstrumented) {
        EXPECT_LT(growth, 2048.0) << "RSS grew between the first and the last tenth of the run";
    }
}
