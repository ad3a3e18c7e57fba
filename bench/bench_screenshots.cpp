// The periodic screenshots: what a tick costs the user-interface thread (the screen copies of
// two 1920 x 1080 screens), and the worker's 24-bit level-9 PNG of a busy map beside
// ImageMagick writing the same picture as 8-bit RGB at level 9 in the same run.
#include "app/main_window/ScreenshotTaker.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QRandomGenerator>
#include <QScreen>
#include <QTemporaryDir>
#include <QWidget>

#include <cstdlib>
#include <memory>
#include <vector>

namespace {

constexpr int Width = 1920;
constexpr int Height = 1080;
const char* const ImageMagick = "/usr/bin/convert";

// A map of 100,000 shapes: short lines, rectangles and ellipses in a few colours, from a fixed
// seed so that every run encodes the same picture.
QImage BusyMap() {
    QImage image(Width, Height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    QRandomGenerator random(20250307);
    const QColor colours[] = {Qt::black, Qt::darkBlue, Qt::darkGreen, Qt::red, Qt::darkMagenta};
    for (int i = 0; i < 100000; ++i) {
        painter.setPen(colours[i % 5]);
        const int x = random.bounded(Width);
        const int y = random.bounded(Height);
        const int w = random.bounded(2, 30);
        const int h = random.bounded(2, 30);
        switch (i % 3) {
        case 0: painter.drawLine(x, y, x + w, y + h); break;
        case 1: painter.drawRect(x, y, w, h); break;
        default: painter.drawEllipse(x, y, w, h); break;
        }
    }
    return image;
}

const QImage& Map() {
    static const QImage map = BusyMap();
    return map;
}

void BM_UserInterfaceShareOfATick(benchmark::State& state) {
    const QList<QScreen*> screens = QGuiApplication::screens();
    std::vector<std::unique_ptr<QWidget>> covers;
    for (QScreen* screen : screens) {
        auto cover = std::make_unique<QWidget>(nullptr, Qt::FramelessWindowHint);
        cover->setGeometry(screen->geometry());
        cover->show();
        covers.push_back(std::move(cover));
    }
    QApplication::processEvents();
    for (auto _ : state) {
        for (QScreen* screen : screens)
            benchmark::DoNotOptimize(GrabScreen(screen));
    }
    state.counters["screens"] = double(screens.size());
}
BENCHMARK(BM_UserInterfaceShareOfATick)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_WorkerLevel9Png(benchmark::State& state) {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("map.png"));
    for (auto _ : state) {
        if (!ScreenshotTaker::WritePicture(Map(), path).isEmpty())
            state.SkipWithError("write failed");
    }
    state.counters["bytes"] = double(QFile(path).size());
}
BENCHMARK(BM_WorkerLevel9Png)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_ImageMagickLevel9Png(benchmark::State& state) {
    if (!QFile::exists(QString::fromLatin1(ImageMagick))) {
        state.SkipWithError("ImageMagick's convert is not installed at /usr/bin/convert");
        return;
    }
    QTemporaryDir folder;
    const QString ppm = folder.filePath(QStringLiteral("map.ppm"));
    const QString png = folder.filePath(QStringLiteral("out.png"));
    Map().convertToFormat(QImage::Format_RGB888).save(ppm, "PPM");
    const std::string command = std::string(ImageMagick) + " '" + ppm.toStdString() +
                                "' -define png:color-type=2 -quality 95 '" + png.toStdString() + "'";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0)
            state.SkipWithError("convert failed");
    }
    state.counters["bytes"] = double(QFile(png).size());
}
BENCHMARK(BM_ImageMagickLevel9Png)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

int main(int argc, char** argv) {
    // Two 1920 x 1080 screens side by side on the offscreen platform, unless another platform
    // or screen configuration is asked for.
    QTemporaryDir config;
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (platform.isEmpty() || platform == "offscreen") {
        const QString file = config.filePath(QStringLiteral("screens.json"));
        QFile json(file);
        if (json.open(QIODevice::WriteOnly))
            json.write(R"({"screens": [
                {"name": "a", "x": 0, "y": 0, "width": 1920, "height": 1080, "logicalDpi": 96, "logicalBpi": 96, "dpr": 1},
                {"name": "b", "x": 1920, "y": 0, "width": 1920, "height": 1080, "logicalDpi": 96, "logicalBpi": 96, "dpr": 1}]})");
        json.close();
        qputenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + file).toLocal8Bit());
    }
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
