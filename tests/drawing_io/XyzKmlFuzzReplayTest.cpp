#include "canvas/CanvasModel.h"
#include "drawing_io/KmlText.h"
#include "drawing_io/TTavrinKMZLoader.h"
#include "drawing_io/XYZLoad.h"
#include "drawing_io/XyzImportReader.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include <cmath>

namespace {

std::vector<std::pair<QString, std::string>> KeptInputs(const char* folder) {
    std::vector<std::pair<QString, std::string>> inputs;
    const QDir dir(QStringLiteral(TEST_DATA_DIR "/") + folder);
    for (const QString& name : dir.entryList(QDir::Files)) {
        if (name == QLatin1String("README.md"))
            continue;
        QFile file(dir.filePath(name));
        if (file.open(QIODevice::ReadOnly)) {
            const QByteArray bytes = file.readAll();
            inputs.emplace_back(name, std::string(bytes.constData(), size_t(bytes.size())));
        }
    }
    return inputs;
}

} // namespace

TEST(XyzKmlFuzzReplay, KeptKmlInputsReadSafely) {
    for (const auto& [name, bytes] : KeptInputs("fuzz-kml")) {
        SCOPED_TRACE(name.toStdString());
        TTavrinKMZLoader loader;
        loader.ParseKml(DecodeKmlBytes(bytes));
        loader.ExtractKmzFromMemory(bytes);
        for (const TKMLPoint& point : loader.GetAllPoints())
            EXPECT_TRUE(std::fabs(point.Lat) <= 90 && std::fabs(point.Lon) <= 180);
    }
}

TEST(XyzKmlFuzzReplay, KeptXyzInputsReadSafely) {
    for (const auto& [name, bytes] : KeptInputs("fuzz-xyz")) {
        SCOPED_TRACE(name.toStdString());
        ReadXyzImportBytes(bytes, [](const XyzImportPoint& p) {
            EXPECT_TRUE(std::isfinite(p.X) && std::isfinite(p.Y) && std::isfinite(p.Z));
        });
        CanvasModel canvas;
        XYZLoadBytes(canvas, bytes, 0, 0, 0);
        for (size_t i = 0; i < canvas.Shapes.size(); ++i)
            EXPECT_TRUE(canvas.Shapes[i]->IsFinite());
    }
}
