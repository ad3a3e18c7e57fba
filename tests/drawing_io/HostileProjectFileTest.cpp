#include "ProjectFileTestSupport.h"

#include "drawing_io/ProjectFile.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <random>
#include <sys/stat.h>

using namespace project_file_test;

namespace {

// The canvas a hostile file is loaded into: a drawing with a selection, which no failed load
// may touch.
struct SurveyCanvas : CanvasModel {
    SurveyCanvas() {
        LayerOpen(QStringLiteral("Default"));
        BuildSmallDrawing(*this);
        ShapeSelect(2, false);
        ShapeSelect(5, true);
    }
};

// A drawing large enough that cutting 1000 bytes off its file leaves most of it.
std::string SavedDrawing(const QString& folder) {
    CanvasModel canvas;
    BuildSmallDrawing(canvas);
    for (int i = 0; i < 400; ++i)
        canvas.DrawPoint(500000 + i * 3.17, 4500000 + i * 1.13, i % 3);
    const QString path = folder + "/source.wjt";
    EXPECT_TRUE(CadSave(canvas, path).Ok);
    return ReadBytes(path);
}

std::string RandomBytes(size_t size, unsigned seed) {
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (char& c : bytes)
        c = static_cast<char>(random());
    return bytes;
}

std::string RawDeflate(const std::string& text, int windowBits) {
    z_stream stream{};
    deflateInit2(&stream, 6, Z_DEFLATED, windowBits, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&stream, static_cast<uLong>(text.size())) + 32, '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
    stream.avail_in = static_cast<uInt>(text.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return out;
}

struct HostileCase {
    std::string name;
    std::string bytes;
    ProjectLoadLimits limits = {};
};

// Loads the file in both modes and checks that it fails with a reason and leaves the canvas
// exactly as it was.
void ExpectRefused(const QString& path, const ProjectLoadLimits& limits = {}) {
    for (const int mode : {0, 2}) {
        SurveyCanvas canvas;
        const std::string before = Fingerprint(canvas);
        const ProjectFileResult result = CadLoad(canvas, path, -1, -1, mode, limits);
        EXPECT_FALSE(result.Ok) << "mode " << mode;
        EXPECT_FALSE(result.Reason.empty()) << "mode " << mode;
        EXPECT_EQ(Fingerprint(canvas), before) << "mode " << mode;
    }
}

TEST(HostileProjectFile, DamagedFilesAreRefusedWithAReasonAndLeaveTheCanvasUnchanged) {
    QTemporaryDir dir;
    const std::string good = SavedDrawing(dir.path());
    ASSERT_GT(good.size(), 2000u);
    const std::string body = InflateBody(good).value_or("");
    ASSERT_FALSE(body.empty());

    std::string flipped = good;
    flipped[good.size() / 2] = static_cast<char>(flipped[good.size() / 2] ^ 0x10);

    std::string gzip = RawDeflate(body, 15 + 16);
    std::string raw = RawDeflate(body, -15);

    ProjectLoadLimits smallText;
    smallText.MaxTextBytes = 4 << 20;
    ProjectLoadLimits smallShapes;
    smallShapes.MaxShapeBytes = 1 << 20;

    const std::vector<HostileCase> cases = {
        {"cut by 1 byte", good.substr(0, good.size() - 1)},
        {"cut by 10 bytes", good.substr(0, good.size() - 10)},
        {"cut by 1000 bytes", good.substr(0, good.size() - 1000)},
        {"cut to the magic", "WJT1"},
        {"one byte flipped", flipped},
        {"empty", ""},
        {"text without a record", "This folder holds the survey of 7 March.\nLINE is not here\n"},
        {"random bytes", RandomBytes(5000, 1)},
        {"random bytes after the magic", "WJT1" + RandomBytes(5000, 2)},
        {"gzip after the magic", "WJT1" + gzip},
        {"raw deflate after the magic", "WJT1" + raw},
        {"a polyline announcing more points than lines follow",
         "LAYER Default\nPOLYLINE 0 2147483647 255 1\n1 2\n3 4\n"},
        {"a line longer than a line may be", "LAYER Default\nTEXT 0 0 0 -1 0 10 0 0 0 Arial " +
                                                 std::string(DrawingFileMaxLineBytes + 1, 'x') + "\n"},
        {"line feeds past the text limit",
         Compress("LAYER Default\n" + std::string(8u << 20, '\n'), 9), smallText},
        {"points past the shape budget",
         [] {
             std::string text = "LAYER Default\n";
             for (int i = 0; i < 40000; ++i)
                 text += "POINT 0 0 0\n";
             return Compress(text, 9);
         }(),
         smallShapes},
    };
    for (const HostileCase& row : cases) {
        SCOPED_TRACE(row.name);
        const QString path = dir.filePath("hostile.wjt");
        ASSERT_TRUE(WriteBytes(path, row.bytes));
        ExpectRefused(path, row.limits);
    }
}

TEST(HostileProjectFile, WhatIsNotARegularFileIsRefused) {
    QTemporaryDir dir;
    ExpectRefused(dir.filePath("missing.wjt"));
    ExpectRefused(dir.path());
    const QString fifo = dir.filePath("pipe.wjt");
    ASSERT_EQ(mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    // Opening a pipe for reading would wait for a writer; the load must not.
    ExpectRefused(fifo);
}

TEST(HostileProjectFile, TruncationsAndByteFlipsNeverCrashTheReader) {
    QTemporaryDir dir;
    const std::string good = SavedDrawing(dir.path());
    const std::string body = InflateBody(good).value_or("");
    ASSERT_FALSE(body.empty());
    std::mt19937 random(20250307);
    const QString path = dir.filePath("fuzz.wjt");
    int loaded = 0;
    for (int i = 0; i < 10000; ++i) {
        // Half of the cases damage the compressed file, half the plain body, so that the
        // record reader sees damaged text and not only the inflater damaged streams.
        std::string bytes = i % 2 ? good : body;
        if (i % 4 < 2) {
            bytes.resize(random() % bytes.size());
        } else {
            for (int flips = 1 + static_cast<int>(random() % 4); flips > 0; --flips)
                bytes[random() % bytes.size()] ^= static_cast<char>(1 + random() % 255);
        }
        ASSERT_TRUE(WriteBytes(path, bytes));
        CanvasModel canvas;
        canvas.LayerOpen(QStringLiteral("Default"));
        const std::string before = Fingerprint(canvas);
        const ProjectFileResult result = CadLoad(canvas, path, -1, -1, i % 3 == 0 ? 2 : 0);
        if (result.Ok)
            ++loaded;
        else
            ASSERT_EQ(Fingerprint(canvas), before) << "case " << i;
    }
    // Damaged plain text still loads what it can; damaged streams never do.
    EXPECT_GT(loaded, 0);
}

} // namespace

// A carriage return inside a layer name or a text once stayed in the drawing, and the next save
// wrote it as a blank: the drawing saved was not the drawing loaded
// (data/fuzz-project/carriage-return-in-layer-name.wjt).
TEST(HostileProjectFile, ACarriageReturnInsideANameOrTextReadsAsTheBlankASaveWrites) {
    QTemporaryDir dir;
    const QString path = dir.filePath("returns.wjt");
    ASSERT_TRUE(WriteBytes(path, "LAYER Sound\rings\nTEXT 1 2 1 0 0 2.5 0 0 0 Ar\ral 12\r5 m\r\n"
                                 "TEXT 3 4 1 0 0 2.5 0 0 0 Arial depth\n"));
    CanvasModel canvas;
    ASSERT_TRUE(CadLoad(canvas, path).Ok);
    ASSERT_EQ(canvas.LayerFindByName(QStringLiteral("Sound ings")), 1);
    ASSERT_EQ(canvas.Shapes.size(), 2u);
    const auto& text = static_cast<const TTText&>(*canvas.Shapes[0]);
    EXPECT_EQ(text.DisplayText, QStringLiteral("12 5 m"));
    // A font word with a return in it is no name the writer could have written: no font, as "0".
    EXPECT_NE(text.FontName, QStringLiteral("Ar al"));
    EXPECT_EQ(static_cast<const TTText&>(*canvas.Shapes[1]).FontName, QStringLiteral("Arial"));

    const QString saved = dir.filePath("saved.wjt");
    ASSERT_TRUE(CadSave(canvas, saved).Ok);
    CanvasModel reloaded;
    ASSERT_TRUE(CadLoad(reloaded, saved).Ok);
    EXPECT_EQ(DrawingDump(reloaded), DrawingDump(canvas));
}

// Every file the project file's fuzz target kept: refused with a reason and the canvas as it
// was, or loaded, saved and loaded back to the same drawing.
TEST(HostileProjectFile, KeptFuzzFindingsAreRefusedOrSaveAndLoadBackTheSame) {
    const QDir kept(QStringLiteral(TEST_DATA_DIR "/fuzz-project"));
    QTemporaryDir dir;
    size_t replayed = 0;
    for (const QString& name : kept.entryList(QDir::Files)) {
        if (name == QLatin1String("README.md"))
            continue;
        SCOPED_TRACE(name.toStdString());
        ++replayed;
        SurveyCanvas canvas;
        const std::string before = Fingerprint(canvas);
        const ProjectFileResult result = CadLoad(canvas, kept.filePath(name));
        if (!result.Ok) {
            EXPECT_FALSE(result.Reason.empty());
            EXPECT_EQ(Fingerprint(canvas), before);
            continue;
        }
        const QString saved = dir.filePath("saved.wjt");
        ASSERT_TRUE(CadSave(canvas, saved).Ok);
        SurveyCanvas reloaded;
        ASSERT_TRUE(CadLoad(reloaded, saved).Ok);
        EXPECT_EQ(DrawingDump(reloaded), DrawingDump(canvas));
    }
    EXPECT_GT(replayed, 0u);
}
