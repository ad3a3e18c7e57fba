#include "ProjectFileTestSupport.h"

#include "drawing_io/DXFLoad.h"
#include "drawing_io/DXFSave.h"
#include "drawing_io/ProjectFile.h"

#include "canvas/TTText.h"

#include "platform/Clock.h"
#include "platform/ManualClock.h"
#include "platform/NumericLocale.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <clocale>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace project_file_test;

namespace {

const LocalDateTime GoldenTime{2024, 3, 7, 9, 5, 2, 470};

struct ClockScope {
    ManualClock clock{GoldenTime};
    ClockScope() { Clock::install(&clock); }
    ~ClockScope() { Clock::install(nullptr); }
};

struct LocaleScope {
    ~LocaleScope() { ResetNumericLocale(); }
};

QString DataFile(const char* name) {
    return QStringLiteral(TEST_DATA_DIR "/") + QString::fromLatin1(name);
}

// Files in the folder other than the ones named: a temporary file left behind shows here.
std::vector<std::string> OtherFiles(const QString& folder, const std::vector<std::string>& known) {
    std::vector<std::string> others;
    for (const auto& entry : std::filesystem::directory_iterator(folder.toStdString())) {
        const std::string name = entry.path().filename().string();
        if (std::find(known.begin(), known.end(), name) == known.end())
            others.push_back(name);
    }
    return others;
}

TEST(ProjectFileSave, TheBodyOfTheSmallDrawingIsTheGoldenOne) {
    ClockScope clock;
    CanvasModel canvas;
    BuildSmallDrawing(canvas);
    QTemporaryDir dir;
    const QString path = dir.filePath("small.wjt");
    const ProjectFileResult result = CadSave(canvas, path);
    ASSERT_TRUE(result.Ok) << result.Reason;
    EXPECT_EQ(result.SkippedShapes, 0u);

    const std::optional<std::string> body = InflateBody(ReadBytes(path));
    ASSERT_TRUE(body) << "the file is not WJT1 and one whole zlib stream";
    if (std::getenv("TAVRIN_WRITE_GOLDEN")) {
        ASSERT_TRUE(WriteBytes(DataFile("small.txt"), *body));
        ASSERT_TRUE(WriteBytes(DataFile("small.wjt"), ReadBytes(path)));
    }
    EXPECT_EQ(*body, ReadBytes(DataFile("small.txt")));
    EXPECT_NE(body->find("\n# Created on: 2024-03-07 09:05:02.47\n"), std::string::npos);
}

TEST(ProjectFileSave, TheContainerIsTheMagicAndOneZlibStreamClosedByTheBodysAdler32) {
    ClockScope clock;
    CanvasModel canvas;
    BuildSmallDrawing(canvas);
    QTemporaryDir dir;
    const QString path = dir.filePath("small.wjt");
    ASSERT_TRUE(CadSave(canvas, path).Ok);
    const std::string file = ReadBytes(path);
    ASSERT_GT(file.size(), 10u);
    EXPECT_EQ(file.substr(0, 6), std::string("WJT1\x78\x9C", 6));
    const std::optional<std::string> body = InflateBody(file);
    ASSERT_TRUE(body);
    const uLong adler = adler32(adler32(0, nullptr, 0),
                                reinterpret_cast<const Bytef*>(body->data()),
                                static_cast<uInt>(body->size()));
    const auto* tail = reinterpret_cast<const unsigned char*>(file.data() + file.size() - 4);
    EXPECT_EQ((uLong(tail[0]) << 24) | (uLong(tail[1]) << 16) | (uLong(tail[2]) << 8) | tail[3],
              adler);
}

TEST(ProjectFileSave, AnEmptyDrawingGivesTheHeaderTheWorldAndTheDefaultLayer) {
    ClockScope clock;
    CanvasModel canvas;
    canvas.LayerOpen(QStringLiteral("Default"));
    QTemporaryDir dir;
    const QString path = dir.filePath("empty.wjt");
    ASSERT_TRUE(CadSave(canvas, path).Ok);
    EXPECT_EQ(InflateBody(ReadBytes(path)).value_or(""),
              "# Tavrin Helm Suite - WJT\n# Written by Tavrin SD\n"
              "# Created on: 2024-03-07 09:05:02.47\n#\n"
              "WORLD 0.000000 1000.000000 0.000000 1000.000000\nLAYER Default\n");
}

TEST(ProjectFileSave, LineBreaksInNamesAndTextsAndFontNamesTheReaderWouldSplitAreWrittenSafely) {
    ClockScope clock;
    CanvasModel canvas;
    const int layer = canvas.LayerOpen(QStringLiteral("Placemark\r\nname"));
    const int32_t a = canvas.TextAdd(layer, QStringLiteral("one\r\ntwo"), 1, 2, -1);
    static_cast<TTText*>(canvas.FindShape(a))->FontName = QStringLiteral("Courier New,10");
    const int32_t b = canvas.TextAdd(layer, QStringLiteral("three"), 1, 2, -1);
    static_cast<TTText*>(canvas.FindShape(b))->FontName.clear();
    QTemporaryDir dir;
    const QString path = dir.filePath("names.wjt");
    ASSERT_TRUE(CadSave(canvas, path).Ok);
    const std::string body = InflateBody(ReadBytes(path)).value_or("");
    EXPECT_NE(body.find("\nLAYER Placemark  name\n"), std::string::npos) << body;
    EXPECT_NE(body.find(" 0 0 0 one  two\n"), std::string::npos) << body;
    EXPECT_NE(body.find(" 0 0 0 three\n"), std::string::npos) << body;

    CanvasModel loaded;
    ASSERT_TRUE(CadLoad(loaded, path).Ok);
    ASSERT_EQ(loaded.Shapes.size(), 2u);
    EXPECT_EQ(static_cast<const TTText*>(loaded.Shapes[0])->DisplayText, "one  two");
    EXPECT_EQ(static_cast<const TTText*>(loaded.Shapes[0])->FontName, "Arial");
    EXPECT_EQ(loaded.Layers[1]->Name, "Placemark  name");
}

TEST(ProjectFileSave, AShapeThatIsNotFiniteIsLeftOutAndCounted) {
    CanvasModel canvas;
    canvas.LayerOpen(QStringLiteral("Default"));
    canvas.DrawLine(0, 0, 1, 1, 0);
    auto* point = AddShape<TTPoint>(canvas, ShapeType::Point, 0);
    point->X = std::numeric_limits<double>::quiet_NaN();
    QTemporaryDir dir;
    const QString path = dir.filePath("nan.wjt");
    const ProjectFileResult result = CadSave(canvas, path);
    ASSERT_TRUE(result.Ok);
    EXPECT_EQ(result.SkippedShapes, 1u);
    const std::string body = InflateBody(ReadBytes(path)).value_or("");
    EXPECT_EQ(body.find("nan"), std::string::npos);
    EXPECT_EQ(body.find("POINT"), std::string::npos);
}

TEST(ProjectFileSave, UnderTheTurkishLocaleTheBodyIsTheGoldenOneAndValuesComeBack) {
    LocaleScope locale;
    ASSERT_NE(std::setlocale(LC_ALL, "tr_TR.UTF-8"), nullptr)
        << "the tr_TR.UTF-8 locale is missing; `make deps` generates it";
    ClockScope clock;
    CanvasModel canvas;
    BuildSmallDrawing(canvas);
    QTemporaryDir dir;
    const QString path = dir.filePath("turkish.wjt");
    ASSERT_TRUE(CadSave(canvas, path).Ok);
    EXPECT_EQ(InflateBody(ReadBytes(path)).value_or(""), ReadBytes(DataFile("small.txt")));

    CanvasModel loaded;
    ASSERT_TRUE(CadLoad(loaded, path).Ok);
    CanvasModel again;
    ResetNumericLocale();
    ASSERT_TRUE(CadLoad(again, path).Ok);
    EXPECT_EQ(Fingerprint(loaded), Fingerprint(again));
    EXPECT_EQ(loaded.PlanWorldBottom, 4499000.123456);
}

// A note of 1.2 million characters, as a DXF MTEXT or a KML placemark name brings it.
TTText* AddLongText(CanvasModel& canvas, qsizetype length, QChar character = QChar(u'\u00E7')) {
    const int32_t id = canvas.TextAdd(0, QString(length, character), 10, 20, 0);
    return dynamic_cast<TTText*>(canvas.FindShape(id));
}

TEST(ProjectFileSave, ATextLongerThanAMebibyteIsSavedAndOpensAgainAsProjectAndAsDxf) {
    CanvasModel canvas;
    canvas.DrawPoint(1, 2, 0);
    const TTText* note = AddLongText(canvas, 1'200'000);
    ASSERT_NE(note, nullptr);
    canvas.DrawPoint(3, 4, 0);
    QTemporaryDir dir;
    const ProjectFileResult saved = CadSave(canvas, dir.filePath("plan.wjt"));
    ASSERT_TRUE(saved.Ok) << saved.Reason;
    CanvasModel reopened;
    const ProjectFileResult loaded = CadLoad(reopened, dir.filePath("plan.wjt"));
    ASSERT_TRUE(loaded.Ok) << loaded.Reason;
    ASSERT_EQ(reopened.Shapes.size(), 3u) << "every shape of the map comes back";
    const auto* text = dynamic_cast<const TTText*>(reopened.Shapes[1]);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->DisplayText, note->DisplayText);

    std::string error;
    ASSERT_TRUE(DXFSave(canvas, dir.filePath("plan.dxf"), &error)) << error;
    CanvasModel fromDxf;
    DxfLoadReport report;
    DxfLoadOptions quiet;
    quiet.ShowMessages = false;
    ASSERT_TRUE(DXFLoad(fromDxf, dir.filePath("plan.dxf"), &report, quiet)) << report.Reason;
    EXPECT_EQ(report.ShapesMade, 3);
    bool found = false;
    for (size_t i = 0; i < fromDxf.Shapes.size(); ++i)
        if (const auto* read = dynamic_cast<const TTText*>(fromDxf.Shapes[i]))
            found = read->DisplayText == note->DisplayText;
    EXPECT_TRUE(found);
}

TEST(ProjectFileSave, ATextNoDrawingFileCouldHoldIsRefusedBeforeTheOldFileIsReplaced) {
    QTemporaryDir dir;
    const QString project = dir.filePath("plan.wjt");
    const QString dxf = dir.filePath("plan.dxf");
    CanvasModel canvas;
    canvas.DrawPoint(1, 2, 0);
    ASSERT_TRUE(CadSave(canvas, project).Ok);
    ASSERT_TRUE(DXFSave(canvas, dxf));
    const std::string projectBefore = ReadBytes(project);
    const std::string dxfBefore = ReadBytes(dxf);

    // Three bytes in UTF-8, seven as the DXF's "\\U+4E00".
    ASSERT_NE(AddLongText(canvas, qsizetype(DrawingFileMaxLineBytes / 3 + 1), QChar(u'\u4E00')),
              nullptr);
    const ProjectFileResult saved = CadSave(canvas, project);
    EXPECT_FALSE(saved.Ok);
    EXPECT_EQ(saved.Reason, "a text of the drawing is longer than 64 MiB, more than a project "
                            "file can hold; nothing was saved");
    std::string error;
    EXPECT_FALSE(DXFSave(canvas, dxf, &error));
    EXPECT_EQ(error, "a text of the drawing is longer than 64 MiB, more than a drawing file can "
                     "hold");
    EXPECT_EQ(ReadBytes(project), projectBefore);
    EXPECT_EQ(ReadBytes(dxf), dxfBefore);
    EXPECT_TRUE(OtherFiles(dir.path(), {"plan.wjt", "plan.dxf"}).empty());
}

TEST(ProjectFileSave, AFailedSaveLeavesTheOldFileWholeAndNoTemporaryFile) {
    CanvasModel canvas;
    BuildSmallDrawing(canvas);
    QTemporaryDir dir;

    // A parent path that is a regular file.
    ASSERT_TRUE(WriteBytes(dir.filePath("plain"), "not a folder"));
    const ProjectFileResult blocked = CadSave(canvas, dir.filePath("plain/map.wjt"));
    EXPECT_FALSE(blocked.Ok);
    EXPECT_FALSE(blocked.Reason.empty());
    EXPECT_EQ(OtherFiles(dir.path(), {"plain"}), std::vector<std::string>{});

    // A file size limit the drawing cannot fit under (tests run as root, so permissions
    // cannot make a save fail). The child reports through its exit code.
    const QString path = dir.filePath("old.wjt");
    ASSERT_TRUE(CadSave(canvas, path).Ok);
    const std::string old = ReadBytes(path);
    for (int i = 0; i < 20000; ++i)
        canvas.DrawPoint(i * 1.37, i * 2.71, 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{16 * 1024, 16 * 1024};
        setrlimit(RLIMIT_FSIZE, &limit);
        const ProjectFileResult result = CadSave(canvas, path);
        _exit(!result.Ok && !result.Reason.empty() ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the save under the size limit reported success";
    EXPECT_EQ(ReadBytes(path), old);
    EXPECT_EQ(OtherFiles(dir.path(), {"plain", "old.wjt"}), std::vector<std::string>{});
}

TEST(ProjectFileSave, ASaveKilledHalfwayLeavesTheOldFileByteForByteAndLoadable) {
    CanvasModel small;
    BuildSmallDrawing(small);
    QTemporaryDir dir;
    const QString path = dir.filePath("survey.wjt");
    ASSERT_TRUE(CadSave(small, path).Ok);
    const std::string old = ReadBytes(path);

    CanvasModel big;
    big.LayerOpen(QStringLiteral("Default"));
    for (int i = 0; i < 200000; ++i)
        big.DrawLine(500000 + i * 0.37, 4500000 + i * 0.91, 500001 + i * 0.13, 4500002, 0);

    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        CadSave(big, path);
        _exit(0);
    }
    // Wait for the temporary file to pass 64 KiB, then kill the writer.
    bool caught = false;
    for (;;) {
        for (const auto& entry : std::filesystem::directory_iterator(dir.path().toStdString())) {
            std::error_code error;
            if (entry.path().filename().string().starts_with("survey.wjt.tmp-") &&
                entry.file_size(error) > 64 * 1024 && !error)
                caught = true;
        }
        if (caught) {
            kill(child, SIGKILL);
            break;
        }
        int status = 0;
        if (waitpid(child, &status, WNOHANG) == child)
            break;
        usleep(200);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(caught) << "the save finished before it could be interrupted";
    EXPECT_EQ(ReadBytes(path), old);
    CanvasModel loaded;
    EXPECT_TRUE(CadLoad(loaded, path).Ok);
    EXPECT_EQ(loaded.Shapes.size(), small.Shapes.size());
}

} // namespace
