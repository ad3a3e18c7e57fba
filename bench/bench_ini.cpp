// The settings file: reading a file of 16,000 sections and looking up a key in each, beside
// the same bytes read by a plain line split (the least any reader must do).

#include "platform/FileIO.h"
#include "platform/IniFile.h"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <string>

namespace {

constexpr int Sections = 16000;

// A temporary file of 16,000 sections of two keys each, made once per run.
const QString& SixteenThousandSectionFile() {
    static QTemporaryDir dir;
    static const QString path = [] {
        std::string content;
        for (int i = 0; i < Sections; ++i)
            content += "[Station" + std::to_string(i) + "]\r\nName=Point " + std::to_string(i) +
                       "\r\nHeight=" + std::to_string(i % 97) + ".25\r\n\r\n";
        const QString file = dir.path() + "/stations.INI";
        WriteFileAtomically(file.toStdString(), content);
        return file;
    }();
    return path;
}

void BM_IniReadSixteenThousandSections(benchmark::State& state) {
    const QString& path = SixteenThousandSectionFile();
    for (auto _ : state) {
        const IniFile ini(path);
        benchmark::DoNotOptimize(ini.readString("Station15999", "Height"));
    }
}
BENCHMARK(BM_IniReadSixteenThousandSections)->Unit(benchmark::kMillisecond);

void BM_IniReadSixteenThousandSectionsAndEveryKey(benchmark::State& state) {
    const QString& path = SixteenThousandSectionFile();
    for (auto _ : state) {
        const IniFile ini(path);
        int found = 0;
        for (int i = 0; i < Sections; ++i)
            found += ini.valueExists(QStringLiteral("Station%1").arg(i), QStringLiteral("height"));
        benchmark::DoNotOptimize(found);
    }
}
BENCHMARK(BM_IniReadSixteenThousandSectionsAndEveryKey)->Unit(benchmark::kMillisecond);

// The peer: the same file read and cut into lines, nothing more.
void BM_PlainLineSplitOfTheSameFile(benchmark::State& state) {
    const QString& path = SixteenThousandSectionFile();
    for (auto _ : state) {
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        const QByteArray bytes = file.readAll();
        benchmark::DoNotOptimize(bytes.split('\n').size());
    }
}
BENCHMARK(BM_PlainLineSplitOfTheSameFile)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
