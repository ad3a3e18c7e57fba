#include "StartedProgram.h"

#include "app/devices/TFGPS.h"
#include "app/main_window/ImportCommand.h"
#include "canvas/CanvasModel.h"
#include "canvas/TTPoint.h"
#include "canvas/TTPolyline.h"
#include "canvas/TTText.h"
#include "canvas/TTavrinCanvas.h"
#include "tests/support/LayerShapes.h"

#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>

#include <clocale>
#include <sys/stat.h>

namespace {

const QString KmlData = QStringLiteral(TESTS_DIR "/drawing_io/data/kml/");

// WGS 84 with zero shifts, transverse Mercator on 30 E.
GeodeticEditTexts Wgs84Tm30() {
    GeodeticEditTexts e;
    e.edSMA = "6378137.0";
    e.edIF = "0.0033528106647474";
    e.edPPM = e.edRX = e.edRY = e.edRZ = e.edSX = e.edSY = e.edSZ = "0";
    e.edCM = "30";
    e.edRL = "0";
    e.edSF = "1";
    e.edFE = "500000";
    e.edFN = "0";
    return e;
}

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

size_t ShapesOn(const CanvasModel& canvas, const QString& layerName) {
    return static_cast<size_t>(ShapesOnLayer(canvas, layerName));
}

class ImportCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        TestEnvironment::dialogs().clear();
        services.Canvas = &canvas;
        services.GeodeticEdits = [this] { return edits; };
        services.FileTime = [this](const std::string&) { return fileTime; };
        services.ShowProjectFolder = [this](const QString& path) { shown.push_back(path); };
        services.EventsLog = [this] { return (dir.path() + "/events.log").toStdString(); };
    }
    QByteArray Log() const { return ReadFile(dir.path() + "/events.log"); }

    QTemporaryDir dir;
    CanvasModel canvas;
    GeodeticEditTexts edits = Wgs84Tm30();
    std::optional<int64_t> fileTime = 1000;
    QStringList shown;
    ImportCommand::Services services;
};

TEST_F(ImportCommandTest, XyzPointsWithCentredLabelsOnALayerNamedAfterTheFile) {
    const QString path = dir.path() + "/bay.points.xyz";
    WriteFile(path, "1,2,3\n7 100.5 200.25 -3.456\n0 0 9\n1 2\n starts 1 2\n");
    ImportCommand command(services);
    EXPECT_TRUE(command.Run(path));
    const int layer = canvas.LayerFindByName("bay.points");
    ASSERT_GE(layer, 0);
    ASSERT_EQ(ShapesOn(canvas, "bay.points"), 4u);
    QStringList labels;
    for (size_t i = 0; i < canvas.Shapes.size(); ++i)
        if (auto* text = dynamic_cast<TTText*>(canvas.Shapes[i])) {
            labels << text->Text;
            EXPECT_EQ(canvas.GetShapeTextAlign(text->Id), 1);
            EXPECT_EQ(canvas.GetShapeTextJustify(text->Id), 1);
        } else if (auto* point = dynamic_cast<TTPoint*>(canvas.Shapes[i])) {
            EXPECT_EQ(point->PointSize, 1);
        }
    EXPECT_EQ(labels, QStringList({"3.00", "-3.46"}));
    EXPECT_TRUE(Log().contains(("Imported XYZ: " + path + " (2 points) to layer: bay.points").toUtf8()));
    EXPECT_EQ(shown, QStringList{path});
}

TEST_F(ImportCommandTest, RefusedFilesLeaveTheEarlierImportOnTheMap) {
    const QString xyz = dir.path() + "/bay.xyz";
    WriteFile(xyz, "1 2 3\n4 5 6\n");
    const QString kml = dir.path() + "/bay.kml";
    WriteFile(kml, "<kml>nothing</kml>");
    ImportCommand command(services);
    ASSERT_TRUE(command.Run(xyz));
    ASSERT_EQ(ShapesOn(canvas, "bay"), 4u);
    const QByteArray logBefore = Log();

    struct Case {
        const char* Name;
        std::function<void()> Act;
        const char* Message;
    };
    const Case cases[] = {
        {"unchanged", [&] { command.Run(xyz); }, "File unchanged since last import. Skipping."},
        {"missing datum", [&] { edits.edSMA.clear(); command.Run(kml); edits = Wgs84Tm30(); },
         "Please configure datum parameters in GPS Settings before importing KML/KMZ files."},
        {"kml without placemarks", [&] { command.Run(kml); }, "Failed to load KML/KMZ file: "},
        {"xyz gone", [&] { command.Run(dir.path() + "/bay.csv"); },
         "Failed to open XYZ file: "},
        {"dxf of the same name", [&] { WriteFile(dir.path() + "/bay.dxf", "junk"); command.Run(dir.path() + "/bay.dxf"); },
         nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TestEnvironment::dialogs().clear();
        c.Act();
        EXPECT_EQ(ShapesOn(canvas, "bay"), 4u);
        if (c.Message) {
            ASSERT_FALSE(TestEnvironment::dialogs().messages.empty());
            EXPECT_TRUE(TestEnvironment::dialogs().messages[0].text.startsWith(c.Message));
        }
    }
    const QByteArray added = Log().mid(logBefore.size());
    EXPECT_FALSE(added.contains("Imported XYZ"));
    EXPECT_FALSE(added.contains("Imported KML"));
    EXPECT_TRUE(added.contains(("DXF import failed: " + dir.path() + "/bay.dxf").toUtf8()));
    EXPECT_FALSE(added.contains("Imported DXF"));
}

TEST_F(ImportCommandTest, UnchangedFileImportsAgainOnceItsLayerIsEmptied) {
    const QString xyz = dir.path() + "/run.txt";
    WriteFile(xyz, "1 2 3\n");
    ImportCommand command(services);
    ASSERT_TRUE(command.Run(xyz));
    EXPECT_FALSE(command.Run(xyz));
    canvas.CadClearShapes(canvas.LayerFindByName("run"));
    EXPECT_TRUE(command.Run(xyz));
    EXPECT_EQ(ShapesOn(canvas, "run"), 2u);
    fileTime = 1001; // written again, one nanosecond later
    EXPECT_TRUE(command.Run(xyz));
}

TEST_F(ImportCommandTest, KmlLandsOnTheGridWithOneLabelPerGeometry) {
    double x = 0, y = 0;
    GeoToGrid(edits, 41.01, 29.01, x, y);
    // cs2cs EPSG:4326 +to +proj=tmerc +lon_0=30 +k=1 +x_0=500000 +ellps=WGS84
    EXPECT_NEAR(x, 416718.173, 0.001);
    EXPECT_NEAR(y, 4542155.988, 0.001);

    ImportCommand command(services);
    ASSERT_TRUE(command.Run(KmlData + "sample.kml"));
    size_t points = 0, polylines = 0, texts = 0;
    for (size_t i = 0; i < canvas.Shapes.size(); ++i) {
        const TTShape* shape = canvas.Shapes[i];
        if (shape->Class() == ShapeClass::Point) {
            ++points;
        } else if (auto* polyline = dynamic_cast<const TTPolyline*>(shape)) {
            ++polylines;
            EXPECT_FALSE(polyline->Closed);
        } else if (shape->Class() == ShapeClass::Text) {
            ++texts;
        }
    }
    EXPECT_EQ(points, 2u);
    EXPECT_EQ(polylines, 2u);
    EXPECT_EQ(texts, 4u);
    const auto* first = dynamic_cast<const TTPoint*>(canvas.Shapes[0]);
    ASSERT_NE(first, nullptr);
    EXPECT_NEAR(first->X, 416718.173, 0.001);
    EXPECT_NEAR(first->Y, 4542155.988, 0.001);
    EXPECT_TRUE(Log().contains(("Imported KML/KMZ: " + KmlData + "sample.kml to layer: sample").toUtf8()));
}

TEST_F(ImportCommandTest, GeoToGridLeavesXAndYWhenTheGeodesyFails) {
    edits.edSMA = "abc";
    double x = 5, y = 6;
    GeoToGrid(edits, 41.01, 29.01, x, y);
    EXPECT_TRUE(std::isfinite(x));
    EXPECT_EQ(y, 6);
}

TEST_F(ImportCommandTest, ImportsUnderATurkishLocale) {
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = previous ? previous : "C";
    if (!std::setlocale(LC_NUMERIC, "tr_TR.UTF-8"))
        GTEST_SKIP() << "tr_TR.UTF-8 is not installed";
    const QString path = dir.path() + "/tr.xyz";
    WriteFile(path, "100.5 200.25 -3.456\n");
    ImportCommand command(services);
    EXPECT_TRUE(command.Run(path));
    EXPECT_TRUE(command.Run(KmlData + "sample.kml"));
    std::setlocale(LC_NUMERIC, saved.c_str());
    const auto* point = dynamic_cast<const TTPoint*>(canvas.Shapes[0]);
    ASSERT_NE(point, nullptr);
    EXPECT_EQ(point->X, 100.5);
    EXPECT_EQ(ShapesOn(canvas, "sample"), 8u);
}

QString FirstMessage() {
    const auto& shown = TestEnvironment::dialogs().messages;
    return shown.empty() ? QString() : shown[0].text;
}

TEST_F(ImportCommandTest, EveryImportOverTheMemoryBudgetIsRefusedAndTheMapStays) {
    // 2000 lines, placemarks or block copies each, against a budget of 64 kB.
    QByteArray xyz, kml = "<kml><Placemark><LineString><coordinates>";
    for (int i = 0; i < 2000; ++i) {
        xyz += QByteArray::number(1000 + i) + " 2000 -3.5\n";
        kml += "29." + QByteArray::number(1000 + i) + ",41.0 ";
    }
    kml += "</coordinates></LineString></Placemark></kml>";
    QByteArray block = "0\nSECTION\n2\nBLOCKS\n0\nBLOCK\n2\nB\n10\n0\n20\n0\n";
    for (int i = 0; i < 40; ++i)
        block += "0\nLINE\n10\n0\n20\n" + QByteArray::number(i) + "\n11\n1\n21\n1\n";
    block += "0\nENDBLK\n0\nENDSEC\n0\nSECTION\n2\nENTITIES\n";
    for (int i = 0; i < 50; ++i)
        block += "0\nINSERT\n2\nB\n10\n" + QByteArray::number(i) + "\n20\n0\n";
    block += "0\nENDSEC\n0\nEOF\n";
    const struct {
        const char* Name;
        QByteArray Bytes;
    } files[] = {{"/survey.xyz", xyz}, {"/track.kml", kml}, {"/plan.dxf", block}};

    WriteFile(dir.path() + "/survey.xyz", "1 2 3\n");
    ImportCommand small(services);
    ASSERT_TRUE(small.Run(dir.path() + "/survey.xyz"));
    services.ImportBudgetBytes = 64 * 1024;
    ImportCommand command(services);
    for (const auto& file : files) {
        SCOPED_TRACE(file.Name);
        const QString path = dir.path() + file.Name;
        WriteFile(path, file.Bytes);
        TestEnvironment::dialogs().clear();
        const size_t shapes = canvas.Shapes.size();
        command.Run(path);
        EXPECT_EQ(canvas.Shapes.size(), shapes);
        EXPECT_EQ(ShapesOn(canvas, "survey"), 2u) << "the earlier import stays";
        const QString message = FirstMessage();
        EXPECT_TRUE(message.contains(QString(file.Name).mid(1))) << message.toStdString();
        EXPECT_TRUE(message.contains(" of memory, more than the 66 kB an import may take"))
            << message.toStdString();
    }
}

TEST_F(ImportCommandTest, AChosenFileThatIsNotARegularFileIsRefusedWithoutWaiting) {
    for (const char* name : {"/pipe.xyz", "/pipe.kml", "/pipe.kmz", "/pipe.dxf"}) {
        SCOPED_TRACE(name);
        const QString path = dir.path() + name;
        ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        TestEnvironment::dialogs().clear();
        ImportCommand command(services);
        command.Run(path);
        EXPECT_EQ(ShapesOn(canvas, "pipe"), 0u);
        if (QString(name).endsWith(".dxf"))
            EXPECT_TRUE(Log().contains("DXF import failed: " + QFile::encodeName(path) +
                                       " (DXF load failed: it is not a regular file)"));
        else
            EXPECT_TRUE(FirstMessage().contains("not a regular file")) << FirstMessage().toStdString();
    }
}

TEST_F(ImportCommandTest, AnXyzFileThatYieldsNoPointSaysSo) {
    const QString path = dir.path() + "/sounding.xyz";
    WriteFile(path, "1 2 3\n");
    ImportCommand command(services);
    ASSERT_TRUE(command.Run(path));
    // The same numbers written as UTF-16 text.
    QByteArray utf16("\xFF\xFE", 2);
    for (const char c : QByteArray("4 5 6\r\n")) {
        utf16 += c;
        utf16 += '\0';
    }
    WriteFile(path, utf16);
    fileTime = 2000;
    TestEnvironment::dialogs().clear();
    command.Run(path);
    EXPECT_EQ(FirstMessage(), "No points imported from XYZ file: " + path +
                                  ": no line holds x y z numbers (the file is UTF-16 text; save "
                                  "it as UTF-8 or ASCII)");
    EXPECT_EQ(ShapesOn(canvas, "sounding"), 2u) << "the earlier import stays";
    EXPECT_FALSE(Log().contains("(0 points)"));
}

TEST_F(ImportCommandTest, ACutOffDxfWhoseShapesReachedTheMapIsLoggedAsReadInPart) {
    const QString path = dir.path() + "/cut.dxf";
    WriteFile(path, "0\nSECTION\n2\nENTITIES\n0\nPOINT\n10\n1\n20\n1\n0\nCIRCLE\n10\n0\n20\n0\n"
                    "40\n2\n0\nLINE\n10\n5\n");
    ImportCommand command(services);
    command.Run(path);
    EXPECT_TRUE(Log().contains("DXF imported in part: " + QFile::encodeName(path) +
                               " (DXF file is truncated: 2 shapes read before its end)"))
        << Log().toStdString();
    EXPECT_FALSE(Log().contains("DXF import failed"));
}

TEST_F(ImportCommandTest, KmlConvertsEveryPointWithTheEditsAsTheImportBegan) {
    // The edits read once: a change while the file is read does not move later points.
    int reads = 0;
    services.GeodeticEdits = [&] {
        ++reads;
        GeodeticEditTexts e = Wgs84Tm30();
        if (reads > 1)
            e.edCM = "33";
        return e;
    };
    ImportCommand command(services);
    ASSERT_TRUE(command.Run(KmlData + "sample.kml"));
    EXPECT_EQ(reads, 1);
    const auto* first = dynamic_cast<const TTPoint*>(canvas.Shapes[0]);
    ASSERT_NE(first, nullptr);
    double x = 0, y = 0;
    GeoToGrid(Wgs84Tm30(), 41.01, 29.01, x, y);
    EXPECT_NEAR(first->X, x, 1e-6);
    EXPECT_NEAR(first->Y, y, 1e-6);
}

using ImportMenu = StartedProgram;

TEST_F(ImportMenu, ImportMenuItemReadsTheChosenFile) {
    start();
    const GeodeticEditTexts e = Wgs84Tm30();
    const std::pair<QLineEdit*, QString> typed[] = {
        {FGPS->edSMA, e.edSMA}, {FGPS->edIF, e.edIF}, {FGPS->edPPM, e.edPPM},
        {FGPS->edRX, e.edRX},   {FGPS->edRY, e.edRY}, {FGPS->edRZ, e.edRZ},
        {FGPS->edSX, e.edSX},   {FGPS->edSY, e.edSY}, {FGPS->edSZ, e.edSZ},
        {FGPS->edCM, e.edCM},   {FGPS->edRL, e.edRL}, {FGPS->edSF, e.edSF},
        {FGPS->edFE, e.edFE},   {FGPS->edFN, e.edFN}};
    for (const auto& [edit, text] : typed)
        edit->setText(text);
    // The Lambert edits stay empty: the conversion never reads them, so the import does not
    // ask for them.
    for (QLineEdit* edit : {FGPS->eLCCSP1, FGPS->eLCCSP2, FGPS->eLCCCP, FGPS->eLCCSF,
                            FGPS->eLCCM, FGPS->eLCCFE, FGPS->eLCCFN})
        edit->clear();
    EXPECT_EQ(FNav->Import1->shortcut().toString(), "Ctrl+I");
    TestEnvironment::dialogs().answerFile(KmlData + "doc.kmz");
    FNav->Import1->trigger();
    EXPECT_TRUE(TestEnvironment::dialogs().messages.empty());
    EXPECT_EQ(ShapesOn(*FNav->fcad, "doc"), 8u);
    double x = 0, y = 0;
    FNav->GeoToGridCallback(41.01, 29.01, x, y);
    EXPECT_NEAR(x, 416718.173, 0.001);

    // An edit that is not a number refuses the import and says which.
    FGPS->edRX->setText("x");
    TestEnvironment::dialogs().answerFile(KmlData + "sample.kml");
    FNav->Import1->trigger();
    ASSERT_EQ(TestEnvironment::dialogs().messages.size(), 1u);
    EXPECT_TRUE(TestEnvironment::dialogs().messages[0].text.startsWith(
        "Please configure datum parameters in GPS Settings"));
    EXPECT_EQ(FNav->fcad->LayerFindByName("sample"), -1);
}

} // namespace
