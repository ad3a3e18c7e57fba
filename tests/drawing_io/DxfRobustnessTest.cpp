#include "DxfTestSupport.h"

#include "drawing_io/DXFLoad.h"
#include "drawing_io/DxfPairReader.h"
#include "tests/support/TestEnvironment.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <random>
#include <sys/stat.h>

namespace {

class DxfBadInput : public ::testing::Test {
protected:
    void SetUp() override {
        TestEnvironment::dialogs().clear();
        // An earlier import of the same file and a shape of the operator's own.
        canvas.DrawLine(0, 0, 1, 1, canvas.LayerOpen("Default"));
        ASSERT_TRUE(DXFLoadBytes(canvas, ReadFixture("fx_r12.dxf"), "plan.dxf"));
        TestEnvironment::dialogs().clear();
    }
    std::vector<QString> Messages() const { return ShownMessages(TestEnvironment::dialogs()); }

    CanvasModel canvas;
};

std::string BlockOfLines(int lines) {
    std::string block = DxfPairs({{0, "BLOCK"}, {2, "MANY"}});
    for (int i = 0; i < lines; ++i)
        block += DxfPairs({{0, "LINE"}, {11, "1"}});
    return DxfSection("BLOCKS", block + DxfPairs({{0, "ENDBLK"}}));
}

TEST_F(DxfBadInput, ABadFileChangesNothingAndSaysWhy) {
    std::string inserts;
    for (int i = 0; i < 10001; ++i)
        inserts += DxfPairs({{0, "INSERT"}, {2, "MANY"}});
    const struct {
        const char* name;
        std::string bytes;
        const char* message;
    } cases[] = {
        {"no entities", DxfSection("HEADER", "") + "0\nEOF\n",
         "DXF load failed: ENTITIES section not found"},
        {"empty", "", "DXF load failed: ENTITIES section not found"},
        {"binary", std::string("AutoCAD Binary DXF\r\n\x1a\0", 22) + "\x01\x02",
         "DXF load failed: binary DXF files are not supported"},
        {"long line", DxfFile("0\nPOINT\n1\n" + std::string(DxfPairReader::MaxLineLength + 1, 'x') + "\n"),
         "DXF load failed: line 8 is too long"},
        // A 0.2 MB file asking for more than ten million block lines.
        {"shape cap", DxfFile(inserts, BlockOfLines(1000)),
         "DXF load failed: the drawing makes more than 10000000 shapes"},
        {"truncated before a shape", "0\nSECTION\n2\nENTITIES\n0\nLINE\n10\n5\n",
         "DXF file is truncated: 0 shapes read before its end"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TestEnvironment::dialogs().clear();
        const CanvasSnapshot before(canvas);
        DxfLoadReport report;
        EXPECT_FALSE(DXFLoadBytes(canvas, c.bytes, "plan.dxf", &report));
        EXPECT_TRUE(CanvasSnapshot(canvas) == before);
        EXPECT_FALSE(report.Committed);
        EXPECT_EQ(report.Reason, c.message);
        ASSERT_EQ(Messages().size(), 1u);
        EXPECT_EQ(Messages()[0], c.message);
    }
}

TEST_F(DxfBadInput, FilesThatCannotBeReadChangeNothingSilently) {
    QTemporaryDir dir;
    const QString fifo = dir.path() + "/pipe.dxf";
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QDir(dir.path()).mkdir("folder.dxf");
    for (const QString& path : {dir.path() + "/missing.dxf", fifo, dir.path() + "/folder.dxf"}) {
        SCOPED_TRACE(path.toStdString());
        const CanvasSnapshot before(canvas);
        DxfLoadReport report;
        EXPECT_FALSE(DXFLoad(canvas, path, &report));
        EXPECT_FALSE(report.Reason.empty());
        EXPECT_TRUE(CanvasSnapshot(canvas) == before);
        EXPECT_TRUE(Messages().empty());
    }
}

TEST_F(DxfBadInput, AFileCutInsideItsEntitiesLoadsWhatItReadAndSaysSo) {
    const std::string cut =
        "0\nSECTION\n2\nENTITIES\n0\nPOINT\n10\n1\n0\nCIRCLE\n40\n2\n0\nLINE\n10\n5\n";
    DxfLoadReport report;
    EXPECT_TRUE(DXFLoadBytes(canvas, cut, "plan.dxf", &report));
    EXPECT_TRUE(report.Truncated);
    EXPECT_EQ(report.ShapesMade, 2);
    // The line cut off by the end is not made up with a end point at the origin.
    EXPECT_EQ(ShapesOnLayer(canvas, canvas.DxfLayerId).size(), 2u);
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0], "DXF file is truncated: 2 shapes read before its end");
}

TEST_F(DxfBadInput, AFileWithoutItsEofRecordLoadsSilently) {
    const std::string bytes = DxfSection("ENTITIES", DxfPairs({{0, "POINT"}}));
    DxfLoadReport report;
    EXPECT_TRUE(DXFLoadBytes(canvas, bytes, "plan.dxf", &report));
    EXPECT_FALSE(report.Truncated);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(DxfBadInput, ALargeFileReadsThroughTheBufferBoundaries) {
    // Several buffers' worth, with CR LF ends so that some CR falls at a buffer's end.
    QTemporaryDir dir;
    const QString path = dir.path() + "/big.dxf";
    std::string entities;
    const int count = 60000;
    for (int i = 0; i < count; ++i)
        entities += "  0\r\nLINE\r\n  8\r\nWALLS\r\n 10\r\n" + std::to_string(i) +
                    ".125\r\n 20\r\n2.5\r\n 11\r\n" + std::to_string(i + 1) + "\r\n 21\r\n3\r\n";
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    const std::string bytes = DxfFile(entities);
    file.write(bytes.data(), qint64(bytes.size()));
    file.close();
    ASSERT_GT(bytes.size(), 3u << 20);
    DxfLoadReport report;
    ASSERT_TRUE(DXFLoad(canvas, path, &report));
    EXPECT_EQ(report.ShapesMade, count);
    const auto shapes = ShapesOnLayer(canvas, canvas.DxfLayerId);
    ASSERT_EQ(shapes.size(), size_t(count));
    for (int i = 0; i < count; i += 997)
        EXPECT_DOUBLE_EQ(shapes[size_t(i)]->MinX, i + 0.125) << i;
}

// Every prefix of a real file: nothing changes, or what was read loads with the note.
TEST(DxfRobustness, EveryPrefixOfARealFileLoadsOrChangesNothing) {
    const std::string whole = ReadFixture("fx_r12.dxf");
    ASSERT_FALSE(whole.empty());
    DxfLoadOptions quiet;
    quiet.ShowMessages = false;
    CanvasModel canvas;
    ASSERT_TRUE(DXFLoadBytes(canvas, whole, "plan.dxf", nullptr, quiet));
    const size_t full = canvas.Shapes.size();
    for (size_t length = 0; length < whole.size(); ++length) {
        const CanvasSnapshot before(canvas);
        DxfLoadReport report;
        const bool loaded = DXFLoadBytes(canvas, std::string_view(whole).substr(0, length),
                                         "plan.dxf", &report, quiet);
        if (!report.Committed) {
            ASSERT_FALSE(loaded) << length;
            ASSERT_TRUE(CanvasSnapshot(canvas) == before) << length;
            continue;
        }
        ASSERT_LE(canvas.Shapes.size(), full) << length;
        if (report.Truncated) {
            ASSERT_TRUE(loaded) << length;
        }
        // Restore the whole drawing for the next prefix.
        ASSERT_TRUE(DXFLoadBytes(canvas, whole, "plan.dxf", nullptr, quiet));
    }
}

TEST(DxfRobustness, RandomAndMutatedInputNeverBreaksTheReader) {
    std::mt19937 random(20261210);
    const std::string seeds[] = {ReadFixture("fx_r12.dxf"), ReadFixture("fx_r2000.dxf"),
                                 ReadFixture("fx_cp1254.dxf")};
    DxfLoadOptions quiet;
    quiet.ShowMessages = false;
    quiet.MaxShapes = 100000;
    const char* tokens[] = {"0",      "\n",     "\r",     "SECTION", "ENTITIES", "ENDSEC",
                            "VERTEX", "SEQEND", "INSERT", "BLOCK",   "ENDBLK",   "nan",
                            "1e999",  "-",      "62",     "70"};
    for (int round = 0; round < 300; ++round) {
        std::string bytes = seeds[round % 3];
        const int edits = 1 + int(random() % 20);
        for (int e = 0; e < edits && !bytes.empty(); ++e) {
            const size_t at = random() % bytes.size();
            switch (random() % 4) {
            case 0:
                bytes[at] = char(random() % 256);
                break;
            case 1:
                bytes.erase(at, random() % 64);
                break;
            case 2:
                bytes.insert(at, tokens[random() % std::size(tokens)]);
                break;
            default:
                bytes.insert(at, bytes.substr(random() % bytes.size(), random() % 200));
                break;
            }
        }
        CanvasModel canvas;
        DxfLoadReport report;
        const bool loaded = DXFLoadBytes(canvas, bytes, "fuzz.dxf", &report, quiet);
        EXPECT_EQ(loaded, report.ShapesMade > 0);
        for (const auto& shape : canvas.Shapes)
            ASSERT_TRUE(shape->IsFinite());
    }
}

// Inputs that once broke the reader, kept for good.
TEST(DxfRobustness, KeptFuzzFindingsLoadWithoutHarm) {
    const QDir folder(QStringLiteral(TEST_DATA_DIR "/fuzz"));
    DxfLoadOptions quiet;
    quiet.ShowMessages = false;
    int replayed = 0;
    for (const QString& name : folder.entryList(QDir::Files)) {
        if (name.endsWith(".md"))
            continue;
        QFile file(folder.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        CanvasModel canvas;
        DXFLoadBytes(canvas, std::string_view(bytes.constData(), size_t(bytes.size())), name,
                     nullptr, quiet);
        for (const auto& shape : canvas.Shapes)
            EXPECT_TRUE(shape->IsFinite()) << name.toStdString();
        ++replayed;
    }
    EXPECT_GT(replayed, 0);
}

} // namespace
