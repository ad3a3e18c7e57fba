#include "ProjectFileTestSupport.h"

#include "drawing_io/ProjectFile.h"

#include "platform/Clock.h"
#include "platform/ManualClock.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>

using namespace project_file_test;

namespace {

QString DataFile(const char* name) {
    return QStringLiteral(TEST_DATA_DIR "/") + QString::fromLatin1(name);
}

// A canvas as the program has it at start: "Default" alone.
struct FreshCanvas : CanvasModel {
    FreshCanvas() { LayerOpen(QStringLiteral("Default")); }
};

std::string LoadedFingerprint(const QString& path) {
    FreshCanvas canvas;
    const ProjectFileResult result = CadLoad(canvas, path);
    if (!result.Ok)
        return "failed: " + result.Reason;
    return Fingerprint(canvas);
}

TEST(ProjectFileLoad, ThePlainBodyAndStreamsCompressedAtAnyLevelLoadTheSameDrawing) {
    QTemporaryDir dir;
    CanvasModel small;
    BuildSmallDrawing(small);
    const QString ours = dir.filePath("ours.wjt");
    ASSERT_TRUE(CadSave(small, ours).Ok);

    const std::string expected = LoadedFingerprint(ours);
    ASSERT_EQ(expected.find("failed"), std::string::npos) << expected;
    for (const char* name :
         {"small.txt", "small.wjt", "small-level1.wjt", "small-level6.wjt", "small-level9.wjt"})
        EXPECT_EQ(LoadedFingerprint(DataFile(name)), expected) << name;
}

TEST(ProjectFileLoad, AReplacingLoadKeepsLayerNamesIdsAndShapeOrderWithNewIdsFromOne) {
    CanvasModel original;
    BuildSmallDrawing(original);
    QTemporaryDir dir;
    const QString path = dir.filePath("map.wjt");
    ASSERT_TRUE(CadSave(original, path).Ok);

    CanvasModel canvas;
    canvas.LayerOpen(QStringLiteral("Default"));
    canvas.LayerOpen(QStringLiteral("something else"));
    for (int i = 0; i < 5; ++i)
        canvas.DrawPoint(i, i, 1);
    canvas.ShapeSelect(3, false);
    ASSERT_TRUE(CadLoad(canvas, path, -1, -1, 0).Ok);

    ASSERT_EQ(canvas.Layers.size(), original.Layers.size());
    for (size_t i = 0; i < canvas.Layers.size(); ++i) {
        EXPECT_EQ(canvas.Layers[i]->Id, static_cast<int>(i));
        EXPECT_EQ(canvas.Layers[i]->Name, original.Layers[i]->Name);
    }
    ASSERT_EQ(canvas.Shapes.size(), original.Shapes.size());
    for (size_t i = 0; i < canvas.Shapes.size(); ++i) {
        EXPECT_EQ(canvas.Shapes[i]->Id, static_cast<int32_t>(i + 1));
        // The legacy ellipse type comes back as the ellipse.
        const int32_t type = original.Shapes[i]->Type;
        EXPECT_EQ(canvas.Shapes[i]->Type, type == ShapeType::EllipseTool ? ShapeType::Ellipse : type);
        EXPECT_EQ(canvas.Shapes[i]->LayerId, original.Shapes[i]->LayerId);
    }
    EXPECT_EQ(canvas.NextShapeId, static_cast<int32_t>(original.Shapes.size() + 1));
    EXPECT_EQ(canvas.ShapeCount, static_cast<int32_t>(original.Shapes.size()));
    EXPECT_TRUE(canvas.SelectedIds.empty());
    EXPECT_EQ(canvas.PlanWorldBottom, 4499000.123456);
    EXPECT_EQ(canvas.PlanWorldTop, 4500000.654321);
    // The last layer opened is current.
    EXPECT_EQ(canvas.CurrentLayer, 2);
}

TEST(ProjectFileLoad, ASecondSaveOfTheLoadedDrawingDiffersOnlyInTheStamp) {
    ManualClock clock(LocalDateTime{2024, 3, 7, 9, 5, 2, 470});
    Clock::install(&clock);
    CanvasModel original;
    BuildSmallDrawing(original);
    QTemporaryDir dir;
    ASSERT_TRUE(CadSave(original, dir.filePath("first.wjt")).Ok);
    CanvasModel loaded;
    ASSERT_TRUE(CadLoad(loaded, dir.filePath("first.wjt")).Ok);
    clock.setNow(LocalDateTime{2025, 11, 30, 23, 59, 59, 999});
    ASSERT_TRUE(CadSave(loaded, dir.filePath("second.wjt")).Ok);
    Clock::install(nullptr);

    std::string first = InflateBody(ReadBytes(dir.filePath("first.wjt"))).value_or("x");
    std::string second = InflateBody(ReadBytes(dir.filePath("second.wjt"))).value_or("y");
    const std::string stamp1 = "2024-03-07 09:05:02.47";
    const std::string stamp2 = "2025-11-30 23:59:59.99";
    ASSERT_NE(second.find(stamp2), std::string::npos);
    second.replace(second.find(stamp2), stamp2.size(), stamp1);
    EXPECT_EQ(first, second);
}

TEST(ProjectFileLoad, AddingAFileTwiceDoublesItsShapesButNotItsLayers) {
    CanvasModel original;
    BuildSmallDrawing(original);
    QTemporaryDir dir;
    const QString path = dir.filePath("map.wjt");
    ASSERT_TRUE(CadSave(original, path).Ok);

    FreshCanvas canvas;
    canvas.LayerOpen(QStringLiteral("mine"));
    canvas.DrawLine(0, 0, 1, 1, 1);
    ASSERT_TRUE(CadLoad(canvas, path, -1, -1, 2).Ok);
    ASSERT_TRUE(CadLoad(canvas, path, -1, -1, 2).Ok);
    EXPECT_EQ(canvas.Layers.size(), 4u); // Default, mine, ~~Tavrin Vessel, Türkçe şişe
    EXPECT_EQ(canvas.Shapes.size(), 1 + 2 * original.Shapes.size());
    EXPECT_EQ(canvas.Shapes[0]->LayerId, 1);
    // The shapes of the vessel layer (file id 1) land on the canvas's vessel layer (id 2).
    const int vessel = canvas.LayerFindByName(QStringLiteral("~~Tavrin Vessel"));
    ASSERT_EQ(vessel, 2);
    for (size_t i = 0; i < original.Shapes.size(); ++i) {
        const int fileLayer = original.Shapes[i]->LayerId;
        const int expected = canvas.LayerFindByName(original.Layers[size_t(fileLayer)]->Name);
        EXPECT_EQ(canvas.Shapes[1 + i]->LayerId, expected) << i;
        EXPECT_EQ(canvas.Shapes[1 + original.Shapes.size() + i]->LayerId, expected) << i;
    }
}

TEST(ProjectFileLoad, LayersStoredInAnotherOrderStillPutEachShapeOnItsOwnLayer) {
    QTemporaryDir dir;
    const QString path = dir.filePath("ordered.txt");
    ASSERT_TRUE(WriteBytes(path, "LAYER depths\nLAYER Default\nLAYER coast\n"
                                 "POINT 1 1 0 255 1 0\nLINE 0 0 1 1 2 255 1\n"
                                 "POLYLINE 1 2 0 1\n0 0\n1 1\nTEXT 5 5 0 -1 0 10 0 0 0 0 sounding\n"));
    for (const int mode : {0, 2}) {
        FreshCanvas canvas;
        canvas.LayerOpen(QStringLiteral("coast"));
        canvas.LayerOpen(QStringLiteral("vessel"));
        ASSERT_TRUE(CadLoad(canvas, path, -1, -1, mode).Ok) << mode;
        const int depths = canvas.LayerFindByName(QStringLiteral("depths"));
        const int coast = canvas.LayerFindByName(QStringLiteral("coast"));
        ASSERT_EQ(canvas.Shapes.size(), 4u);
        EXPECT_EQ(canvas.Shapes[0]->LayerId, depths) << mode;
        EXPECT_EQ(canvas.Shapes[1]->LayerId, coast) << mode;
        EXPECT_EQ(canvas.Shapes[2]->LayerId, 0) << mode;
        EXPECT_EQ(canvas.Shapes[3]->LayerId, depths) << mode;
    }
}

// One shape saved and loaded back: what comes back, described.
struct RoundTripCase {
    const char* name;
    std::function<void(CanvasModel&)> build; // draws one shape on layer 1 ("survey")
    std::string expected;
    // The target of an adding load gets layer "survey" with this pen; -1 loads replacing.
    int layerPen = -1;
};

TEST(ProjectFileLoad, EveryRecordComesBackAsTheFileDescribesIt) {
    const auto rectangle = [](CanvasModel& c, uint32_t colour, int width) {
        auto* s = AddShape<TTRectangle>(c, ShapeType::Rectangle, 1, colour, width);
        s->X1 = 1, s->Y1 = 2, s->X2 = 3, s->Y2 = 4, s->BrushFg = 0xABCDEF, s->BrushStyle = 0;
        s->ExtraValue = -7.5, s->Rounded = true, s->CornerRadius = 3;
    };
    const auto polyline = [](int32_t type, bool closed, uint32_t colour, int width) {
        return [=](CanvasModel& c) {
            auto* s = AddShape<TTPolyline>(c, type, 1, colour, width);
            s->Closed = closed;
            s->AddPoint(500000.25, 4500000.125);
            s->AddPoint(-1, 2);
        };
    };
    const std::vector<RoundTripCase> cases = {
        {"LINE", [](CanvasModel& c) { c.SetShapePenFg(c.DrawLine(1, 2, 3, 4, 1), 0xFF);
                                      c.SetShapePenWidth(c.NextShapeId - 1, 2); },
         "type 3 layer 1 pen 255/2 brush 16777215/1: line 1 2 3 4"},
        {"black LINE takes its layer's colour and width",
         [](CanvasModel& c) { c.DrawLine(1, 2, 3, 4, 1); },
         "type 3 layer 1 pen 65280/5 brush 16777215/1: line 1 2 3 4", 0x00FF00},
        {"CIRCLE", [](CanvasModel& c) { c.SetShapePenFg(c.DrawCircle(5, 6, 7, 1), 0x10);
                                        c.SetShapePenWidth(c.NextShapeId - 1, 3); },
         "type 19 layer 1 pen 16/3 brush 16777215/1: circle 5 6 7"},
        {"POINT keeps a black pen and its width",
         [](CanvasModel& c) {
             auto* s = AddShape<TTPoint>(c, ShapeType::Point, 1, 0, 4);
             s->X = 1.5, s->Y = 4500000.123456, s->Z = 9.25, s->PointSize = 8;
         },
         "type 17 layer 1 pen 0/4 brush 16777215/1: point 1.5 4500000.1234560004 z 9.25 size 3",
         0x00FF00},
        {"TEXT", [](CanvasModel& c) {
             const int32_t id = c.TextAdd(1, QStringLiteral("  two blanks"), 7, 8, -1);
             c.SetShapePenFg(id, 0x0000FF);
             auto* s = static_cast<TTText*>(c.FindShape(id));
             s->FontName = QStringLiteral("Consolas"), s->Height = 3.5, s->Rotation = -30;
             s->Italic = true;
         },
         "type 11 layer 1 pen 255/1 brush 16777215/1: text 7 8 font -1 Consolas h 3.5 r -30 "
         "italic [  two blanks]"},
        {"POLYLINE", polyline(ShapeType::Polyline, false, 0x0000FF, 2),
         "type 5 layer 1 pen 255/2 brush 16777215/1: polyline 500000.25,4500000.125 -1,2"},
        {"black POLYLINE of width 3 comes back with width 1",
         polyline(ShapeType::Polyline, false, 0, 3),
         "type 5 layer 1 pen 0/1 brush 16777215/1: polyline 500000.25,4500000.125 -1,2"},
        {"POLYGON", polyline(ShapeType::Polyline, true, 0x0000FF, 2),
         "type 6 layer 1 pen 255/2 brush 16777215/1: polyline closed 500000.25,4500000.125 -1,2"},
        {"SPLINE", polyline(ShapeType::Spline, true, 0x0000FF, 2),
         "type 8 layer 1 pen 255/2 brush 16777215/1: polyline 500000.25,4500000.125 -1,2"},
        {"ARC3P", polyline(ShapeType::ThreePointArc, false, 0x0000FF, 2),
         "type 10 layer 1 pen 255/2 brush 16777215/1: polyline 500000.25,4500000.125 -1,2"},
        {"RECTANGLE comes back square-cornered",
         [&](CanvasModel& c) { rectangle(c, 0x00FF00, 2); },
         "type 1 layer 1 pen 65280/2 brush 11259375/0: rectangle 1 2 3 4 z -7.5"},
        {"black RECTANGLE keeps its width", [&](CanvasModel& c) { rectangle(c, 0, 6); },
         "type 1 layer 1 pen 0/6 brush 11259375/0: rectangle 1 2 3 4 z -7.5", 0x00FF00},
        {"ELLIPSE of type 4 comes back as 20",
         [](CanvasModel& c) {
             auto* s = AddShape<TTEllipse>(c, ShapeType::EllipseTool, 1, 0x0000FF, 2);
             s->X1 = -1, s->Y1 = -2, s->X2 = 3, s->Y2 = 4;
         },
         "type 20 layer 1 pen 255/2 brush 16777215/1: ellipse -1 -2 3 4"},
        {"ARC", [](CanvasModel& c) {
             const int32_t id = c.DrawThreePointArc(0, 0, 1, 1, 2, 0, 1);
             c.SetShapePenFg(id, 0x0000FF);
             c.SetShapePenWidth(id, 2);
         },
         "type 10 layer 1 pen 255/2 brush 16777215/1: arc 0 0 1 1 2 0"},
        {"a hidden and selected shape comes back visible and not selected",
         [](CanvasModel& c) {
             const int32_t id = c.DrawLine(1, 2, 3, 4, 1);
             c.FindShape(id)->Visible = false;
             c.ShapeSelect(id, false);
         },
         "type 3 layer 1 pen 0/1 brush 16777215/1: line 1 2 3 4"},
    };
    for (const RoundTripCase& row : cases) {
        SCOPED_TRACE(row.name);
        FreshCanvas source;
        source.LayerOpen(QStringLiteral("survey"));
        row.build(source);
        QTemporaryDir dir;
        const QString path = dir.filePath("one.wjt");
        ASSERT_TRUE(CadSave(source, path).Ok);

        FreshCanvas target;
        int mode = 0;
        if (row.layerPen >= 0) {
            mode = 2;
            const int layer = target.LayerOpen(QStringLiteral("survey"));
            target.SetLayerPenFg(layer, static_cast<uint32_t>(row.layerPen));
            target.SetLayerPenWidth(layer, 5);
        }
        ASSERT_TRUE(CadLoad(target, path, -1, -1, mode).Ok);
        ASSERT_EQ(target.Shapes.size(), 1u);
        EXPECT_EQ(DescribeShape(*target.Shapes[0]), row.expected);
    }
}

TEST(ProjectFileLoad, RecordsReadAsTheFormatSays) {
    QTemporaryDir dir;
    const QString path = dir.filePath("records.txt");
    ASSERT_TRUE(WriteBytes(
        path, "WORLD 1 2 3 4\nWORLD 10 20\n"
              "LINE 0 0 1 1 5\n"                               // no layer 5 yet: "Default"
              "LAYER \nLAYER  leading blank\n"                  // empty name, " leading blank"
              "POINT 1 2 7\n"                                   // keeps layer 7
              "TEXT 1 2 0 0 0 +1.5e1 0 0 0 0    three blanks\n" // font "0" keeps the entry's name
              "TEXT 1 2 0 0\n"                                  // height 10 without the field
              "  # not a comment but no keyword either\n"
              "POLYGON 0 -3 255 1\n"                            // no vertices, no lines taken
              "POINT 3 4 0\n"));
    FreshCanvas canvas;
    canvas.Fonts.clear();
    canvas.FontOpen(QStringLiteral("Consolas,14,B"));
    ASSERT_TRUE(CadLoad(canvas, path).Ok);
    EXPECT_EQ(canvas.PlanWorldLeft, 10);
    EXPECT_EQ(canvas.PlanWorldRight, 20);
    EXPECT_EQ(canvas.PlanWorldBottom, 3);
    EXPECT_EQ(canvas.PlanWorldTop, 4);
    ASSERT_EQ(canvas.Layers.size(), 3u);
    EXPECT_EQ(canvas.Layers[1]->Name, "");
    EXPECT_EQ(canvas.Layers[2]->Name, " leading blank");
    ASSERT_EQ(canvas.Shapes.size(), 6u);
    EXPECT_EQ(canvas.Shapes[0]->LayerId, 0);
    EXPECT_EQ(canvas.Shapes[1]->LayerId, 7);
    const auto* text = static_cast<const TTText*>(canvas.Shapes[2]);
    EXPECT_EQ(text->DisplayText, "   three blanks");
    EXPECT_EQ(text->FontName, "Consolas");
    EXPECT_EQ(text->Height, 15);
    EXPECT_FALSE(text->Bold);
    EXPECT_EQ(static_cast<const TTText*>(canvas.Shapes[3])->Height, 10);
    EXPECT_EQ(static_cast<const TTText*>(canvas.Shapes[3])->DisplayText, "");
    EXPECT_EQ(canvas.Shapes[4]->Type, ShapeType::Polygon);
    EXPECT_TRUE(static_cast<const TTPolyline*>(canvas.Shapes[4])->Points.empty());
    EXPECT_EQ(canvas.Shapes[5]->Type, ShapeType::Point);
    EXPECT_EQ(canvas.CurrentLayer, 2);
}

TEST(ProjectFileLoad, FilesEditedElsewhereLoad) {
    QTemporaryDir dir;
    struct Case {
        const char* name;
        std::string bytes;
        size_t shapes;
        const char* firstLayer;
    };
    const std::string good = "LAYER Default\nLAYER coast\nLINE 0 0 1 1 1 255 2\n";
    const std::vector<Case> cases = {
        {"CR LF and a byte-order mark",
         "\xEF\xBB\xBFLAYER Default\r\nLAYER coast\r\nLINE 0 0 1 1 1 255 2\r\nTEXT 0 0 1 -1 0 "
         "10 0 0 0 Arial end\r\n",
         2, "coast"},
        {"a lowercase keyword and a nan field are skipped",
         good + "line 0 0 1 1 1\nLINE nan 0 1 1 1\nPOINT 0 0 1 inf 3\n", 2, "coast"},
        {"bytes after the end of the stream", Compress(good) + "trailing rubbish", 1, "coast"},
        {"a last line without a line feed", "LAYER coast\nPOINT 1 2 1", 1, "coast"},
        {"Windows-1254 text", "LAYER T\xFCrk\xE7" "e \xFE" "i\xFE" "e\nPOINT 1 2 1\n", 1,
         "Türkçe şişe"},
    };
    for (const Case& row : cases) {
        SCOPED_TRACE(row.name);
        const QString path = dir.filePath("edited.wjt");
        ASSERT_TRUE(WriteBytes(path, row.bytes));
        FreshCanvas canvas;
        const ProjectFileResult result = CadLoad(canvas, path);
        ASSERT_TRUE(result.Ok) << result.Reason;
        EXPECT_EQ(canvas.Shapes.size(), row.shapes);
        ASSERT_EQ(canvas.Layers.size(), 2u);
        EXPECT_EQ(canvas.Layers[1]->Name, QString::fromUtf8(row.firstLayer));
        EXPECT_EQ(canvas.Shapes[0]->LayerId, 1);
    }
}

TEST(ProjectFileLoad, TwoHundredThousandLayersAndAHundredThousandLinesLoadWithoutSearchingEachName) {
    std::string text;
    for (int i = 0; i < 200000; ++i)
        text += "LAYER layer " + std::to_string(i) + "\n";
    for (int i = 0; i < 100000; ++i)
        text += "LINE 0 0 1 " + std::to_string(i) + " " + std::to_string(i * 2) + " 255 1\n";
    QTemporaryDir dir;
    const QString path = dir.filePath("layers.wjt");
    ASSERT_TRUE(WriteBytes(path, Compress(text)));
    FreshCanvas canvas;
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(CadLoad(canvas, path).Ok);
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start);
    RecordProperty("load_ms", static_cast<int>(took.count()));
    EXPECT_EQ(canvas.Layers.size(), 200001u);
    ASSERT_EQ(canvas.Shapes.size(), 100000u);
    EXPECT_EQ(canvas.Shapes[99999]->LayerId, 199998 + 1);
    EXPECT_EQ(canvas.Layers[200000]->Name, "layer 199999");
}

} // namespace
