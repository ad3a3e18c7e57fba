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

// Every archive the KMZ fuzz target kept: its document is read, or it is refused with a reason;
// an empty text without a reason would be an archive read as holding nothing.
TEST(XyzKmlFuzzReplay, KeptKmzArchivesAreReadOrRefusedWithAReason) {
    const auto inputs = KeptInputs("fuzz-kmz");
    EXPECT_FALSE(inputs.empty());
    for (const auto& [name, bytes] : inputs) {
        SCOPED_TRACE(name.toStdString());
        TTavrinKMZLoader loader;
        const std::string text = loader.ExtractKmzFromMemory(bytes);
        EXPECT_NE(text.empty(), loader.LastError.empty());
    }
}

// An entry whose compressed data ends before the size the archive declares for it once read as
// an empty document, without a word (data/fuzz-kmz/entry-shorter-than-declared.kmz: "b.kml"
// declares 512 bytes and holds none).
TEST(XyzKmlFuzzReplay, AnEntryEndingBeforeItsDeclaredSizeIsRefusedWithAReason) {
    QFile file(QStringLiteral(TEST_DATA_DIR "/fuzz-kmz/entry-shorter-than-declared.kmz"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    TTavrinKMZLoader loader;
    EXPECT_EQ(loader.ExtractKmzFromMemory(std::string_view(bytes.constData(), size_t(bytes.size()))),
              "");
    EXPECT_EQ(loader.LastError, "Failed to read extracted KML file");
    TTavrinKMZLoader fromFile;
    EXPECT_FALSE(fromFile.LoadFromFile(file.fileName().toStdString()));
    EXPECT_EQ(fromFile.LastError, "Failed to read extracted KML file");
}
