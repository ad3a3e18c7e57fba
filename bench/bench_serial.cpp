// Serial intake: how many lines per second the line cutter and the sentence parser take, and
// how long a byte written by the device waits before its line reaches OnNewCommand.

#include "platform/AppPaths.h"
#include "platform/IniFile.h"
#include "positioning/gnss/NmeaParser.h"
#include "positioning/gnss/TavrinSerialGPS.h"
#include "tools/devsim/DeviceScript.h"
#include "tools/devsim/PseudoTerminal.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <random>
#include <thread>
#include <vector>

namespace {

constexpr int CorpusLines = 100'000;

const std::string& Corpus() {
    static const std::string bytes = DeviceScript::demoGnss(CorpusLines / 4).bytes();
    return bytes;
}

// The whole road of a received block: NUL check, line cutting, trimming, the line event and
// the parser, in reads of `readSize` bytes.
void BM_LineCuttingAndParsing(benchmark::State& state) {
    const std::string& corpus = Corpus();
    const size_t readSize = static_cast<size_t>(state.range(0));
    TTavrinSerialGPS port;
    size_t lines = 0;
    port.OnNewCommand = [&](QObject*, const std::string&) { ++lines; };
    for (auto _ : state) {
        for (size_t offset = 0; offset < corpus.size(); offset += readSize)
            port.AcceptBytes(corpus.data() + offset, std::min(readSize, corpus.size() - offset));
    }
    if (lines != static_cast<size_t>(CorpusLines) * state.iterations())
        state.SkipWithError("lines were lost");
    state.SetItemsProcessed(static_cast<int64_t>(lines));
    state.SetBytesProcessed(static_cast<int64_t>(corpus.size() * state.iterations()));
}
BENCHMARK(BM_LineCuttingAndParsing)->Arg(1024)->Arg(64 * 1024);

// The parser alone, on lines already cut.
void BM_SentenceParsing(benchmark::State& state) {
    const DeviceScript script = DeviceScript::demoGnss(CorpusLines / 4);
    std::vector<std::string> lines;
    for (const auto& epoch : script.epochs)
        lines.insert(lines.end(), epoch.begin(), epoch.end());
    NmeaFix fix;
    NmeaParser parser(fix);
    for (auto _ : state)
        for (const auto& line : lines)
            benchmark::DoNotOptimize(parser.DispatchSentence(line));
    state.SetItemsProcessed(static_cast<int64_t>(lines.size() * state.iterations()));
}
BENCHMARK(BM_SentenceParsing);

// A device thread writes one line at a random moment within the poll interval; the user-
// interface thread runs its event loop as the program does. Latency = from just before the
// write to the line's OnNewCommand.
void BM_NewCommandLatency(benchmark::State& state) {
    const int pollInterval = static_cast<int>(state.range(0));
    const int samples = std::clamp(30'000 / pollInterval, 100, 600);
    QTemporaryDir folder;
    PseudoTerminal terminal(folder.path().toStdString() + "/gnss");
    IniFile(AppPaths::settingsFile())
        .writeString("SERIAL_PORTS", "COM9", QString::fromStdString(terminal.linkPath()));

    for (auto _ : state) {
        TTavrinSerialGPS port;
        port.PortNumber = 9;
        port.PollInterval = pollInterval;
        std::vector<std::chrono::steady_clock::time_point> written(samples), received(samples);
        std::atomic<int> delivered{0};
        QEventLoop loop;
        port.OnNewCommand = [&](QObject*, const std::string& line) {
            const auto now = std::chrono::steady_clock::now();
            const int index = std::stoi(line.substr(line.rfind(',') + 1));
            if (index >= 0 && index < samples)
                received[index] = now;
            if (delivered.fetch_add(1) + 1 == samples)
                loop.quit();
        };
        port.Open();
        if (!port.Connected) {
            state.SkipWithError(port.LastError.c_str());
            return;
        }
        std::thread device([&] {
            std::mt19937 random(42);
            std::uniform_int_distribution<int> phase(0, pollInterval * 1000);
            for (int i = 0; i < samples; ++i) {
                while (delivered.load() < i) // one line in flight at a time
                    std::this_thread::sleep_for(std::chrono::microseconds(100));
                std::this_thread::sleep_for(std::chrono::microseconds(phase(random)));
                const std::string line = "$GPTXT,01,01,02," + std::to_string(i) + "\r\n";
                written[i] = std::chrono::steady_clock::now();
                terminal.write(line);
            }
        });
        QTimer::singleShot(samples * (pollInterval * 3 + 50) + 10'000, &loop, &QEventLoop::quit);
        loop.exec();
        device.join();
        port.Close();

        std::vector<double> latencies;
        for (int i = 0; i < samples; ++i)
            if (received[i] != std::chrono::steady_clock::time_point{})
                latencies.push_back(
                    std::chrono::duration<double, std::milli>(received[i] - written[i]).count());
        if (latencies.size() != static_cast<size_t>(samples)) {
            state.SkipWithError("lines were lost");
            return;
        }
        std::sort(latencies.begin(), latencies.end());
        auto percentile = [&](double p) {
            return latencies[std::min(latencies.size() - 1,
                                      static_cast<size_t>(p * latencies.size()))];
        };
        double sum = 0;
        for (const double l : latencies)
            sum += l;
        state.SetIterationTime(sum / latencies.size() / 1000.0);
        state.counters["samples"] = samples;
        state.counters["p50_ms"] = percentile(0.50);
        state.counters["p99_ms"] = percentile(0.99);
        state.counters["max_ms"] = latencies.back();
        state.counters["goal_ms"] = pollInterval + 5;
    }
}
BENCHMARK(BM_NewCommandLatency)
    ->Arg(5)
    ->Arg(50)
    ->Arg(200)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    // A private settings file: the benchmark maps its own port.
    QTemporaryDir settings;
    AppPaths::setApplicationFolder(settings.path().toStdString());
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
