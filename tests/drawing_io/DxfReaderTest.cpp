#include "DxfTestSupport.h"

#include "canvas/TTCircle.h"
#include "canvas/TTLine.h"
#include "canvas/TTPoint.h"
#include "canvas/TTText.h"
#include "drawing_io/DXFLoad.h"
#include "drawing_io/DxfText.h"
#include "tests/support/TestEnvironment.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <numbers>

namespace {

constexpr uint32_t Red = 0x0000FF;
constexpr uint32_t Green = 0x00FF00;
constexpr uint32_t White = 0xFFFFFF;

class DxfReader : public ::testing::Test {
protected:
    void SetUp() override { TestEnvironment::dialogs().clear(); }

    bool Load(const std::string& bytes, const QString& name = "plan.dxf",
              DxfLoadReport* report = nullptr) {
        return DXFLoadBytes(canvas, bytes, name, report);
    }
    std::vector<const TTShape*> Loaded(const QString& name = "plan.dxf") const {
        return ShapesOnLayer(canvas, canvas.LayerFindByName(DxfLayerName(name)));
    }
    std::vector<QString> Messages() const { return ShownMessages(TestEnvironment::dialogs()); }

    CanvasModel canvas;
};

// ---- Fixtures written by an independent tool ---------------------------------------------

QJsonObject Expected(const char* file) {
    QFile json(QStringLiteral(TEST_DATA_DIR "/dxf/expected.json"));
    EXPECT_TRUE(json.open(QIODevice::ReadOnly));
    return QJsonDocument::fromJson(json.readAll()).object().value(file).toObject();
}

std::map<ShapeClass, int> ExpectedClasses(const QJsonObject& expected) {
    const QJsonObject counts = expected.value("counts").toObject();
    const auto n = [&](const char* type) { return counts.value(type).toInt(); };
    std::map<ShapeClass, int> classes;
    classes[ShapeClass::Line] = n("LINE") + int(expected.value("insert_lines").toArray().size());
    classes[ShapeClass::Circle] = n("CIRCLE");
    classes[ShapeClass::Point] = n("POINT");
    classes[ShapeClass::Text] = n("TEXT") + n("MTEXT");
    classes[ShapeClass::Polyline] = n("ARC") + n("ELLIPSE") + n("SOLID") + n("TRACE") +
                                    n("SPLINE") + n("LWPOLYLINE") + n("POLYLINE");
    return classes;
}

void ExpectPoint(const TPointF& point, const QJsonArray& xy, int offset) {
    EXPECT_NEAR(point.X, xy.at(offset).toDouble(), 1e-6);
    EXPECT_NEAR(point.Y, xy.at(offset + 1).toDouble(), 1e-6);
}

TEST_F(DxfReader, FixturesReadTheShapesAnIndependentReaderSees) {
    for (const char* file :
         {"fx_r12.dxf", "fx_r2000.dxf", "fx_cp1254.dxf", "fx_r2018.dxf", "gdal_ac1018.dxf"}) {
        SCOPED_TRACE(file);
        const QJsonObject expected = Expected(file);
        ASSERT_FALSE(expected.isEmpty());
        ASSERT_TRUE(Load(ReadFixture(file), file));
        std::map<ShapeClass, int> classes;
        for (const TTShape* shape : Loaded(file))
            ++classes[shape->Class()];
        for (const auto& [shapeClass, count] : ExpectedClasses(expected))
            EXPECT_EQ(classes[shapeClass], count) << int(shapeClass);
        EXPECT_TRUE(Messages().empty());
    }
}

TEST_F(DxfReader, ArcsEllipsesAndInsertsEndWhereTheIndependentReaderPutsThem) {
    for (const char* file : {"fx_r12.dxf", "fx_r2000.dxf"}) {
        SCOPED_TRACE(file);
        const QJsonObject expected = Expected(file);
        ASSERT_TRUE(Load(ReadFixture(file), file));
        const auto shapes = Loaded(file);
        // Arcs are 21-point polylines, ellipses 37-point ones, in file order.
        std::vector<const TTPolyline*> arcs, ellipses;
        std::vector<const TTLine*> lines;
        for (const TTShape* shape : shapes) {
            if (shape->Class() == ShapeClass::Polyline && AsPolyline(shape).PointCount() == 21)
                arcs.push_back(&AsPolyline(shape));
            if (shape->Class() == ShapeClass::Polyline && AsPolyline(shape).PointCount() == 37)
                ellipses.push_back(&AsPolyline(shape));
            if (shape->Class() == ShapeClass::Line)
                lines.push_back(static_cast<const TTLine*>(shape));
        }
        const QJsonArray expectedArcs = expected.value("arcs").toArray();
        ASSERT_EQ(arcs.size(), size_t(expectedArcs.size()));
        for (size_t i = 0; i < arcs.size(); ++i) {
            ExpectPoint(arcs[i]->Points.front(), expectedArcs.at(int(i)).toArray(), 0);
            ExpectPoint(arcs[i]->Points.back(), expectedArcs.at(int(i)).toArray(), 2);
        }
        const QJsonArray expectedEllipses = expected.value("ellipses").toArray();
        ASSERT_EQ(ellipses.size(), size_t(expectedEllipses.size()));
        for (size_t i = 0; i < ellipses.size(); ++i) {
            ExpectPoint(ellipses[i]->Points.front(), expectedEllipses.at(int(i)).toArray(), 0);
            ExpectPoint(ellipses[i]->Points.back(), expectedEllipses.at(int(i)).toArray(), 2);
        }
        // The insert's lines are the last lines of the drawing.
        const QJsonArray insertLines = expected.value("insert_lines").toArray();
        ASSERT_GE(lines.size(), size_t(insertLines.size()));
        const size_t first = lines.size() - size_t(insertLines.size());
        for (int i = 0; i < insertLines.size(); ++i) {
            const TTLine* line = lines[first + size_t(i)];
            const QJsonArray xy = insertLines.at(i).toArray();
            ExpectPoint({line->X1, line->Y1}, xy, 0);
            ExpectPoint({line->X2, line->Y2}, xy, 2);
        }
    }
}

TEST_F(DxfReader, TheR12FixtureColoursTheLayerAndKeepsTheDoorBlock) {
    ASSERT_TRUE(Load(ReadFixture("fx_r12.dxf"), "fx_r12.dxf"));
    const int layer = canvas.DxfLayerId;
    EXPECT_EQ(canvas.FindLayer(layer)->PenFg, Green); // the last LAYER entry, LINE, colour 3
    const TTBlock* door = canvas.FindBlock("DOOR");
    ASSERT_NE(door, nullptr);
    EXPECT_EQ(door->Shapes.size(), 3u);
    for (const TTShape* shape : Loaded("fx_r12.dxf")) {
        if (shape->Class() == ShapeClass::Text) {
            const auto* text = static_cast<const TTText*>(shape);
            EXPECT_EQ(text->DisplayText, "Rotated");
            EXPECT_DOUBLE_EQ(text->Rotation, 30.0);
            EXPECT_DOUBLE_EQ(text->Height, 2.0);
            EXPECT_EQ(text->PenFg, Green);
        }
        // The polyface's face records add no vertex at the origin.
        if (shape->Class() == ShapeClass::Polyline) {
            for (const TPointF& p : AsPolyline(shape).Points)
                EXPECT_FALSE(p.X == 0 && p.Y == 0 && shape->MinX >= 60) << shape->Id;
        }
    }
}

TEST_F(DxfReader, LongMultiLineTextJoinsItsChunksAndKeepsEveryLine) {
    ASSERT_TRUE(Load(ReadFixture("fx_r2000.dxf"), "fx_r2000.dxf"));
    std::string words = "Harbour plan \\Pquay wall \\Lunderlined\\l {\\C1;red} ";
    std::string text;
    while (text.size() < 300)
        text += words;
    text.resize(300);
    int texts = 0;
    for (const TTShape* shape : Loaded("fx_r2000.dxf")) {
        if (shape->Class() != ShapeClass::Text)
            continue;
        ++texts;
        const QString shown = static_cast<const TTText*>(shape)->DisplayText;
        // The tail loses its closing blank like every value; the joins keep theirs.
        EXPECT_EQ(shown.toStdString(), StripMTextCodes(text.substr(0, 299)));
        EXPECT_TRUE(shown.startsWith("Harbour plan  quay wall underlined {red} Harbour"));
    }
    EXPECT_EQ(texts, 1);
}

TEST_F(DxfReader, TurkishNamesAndTextsReadInEveryEncoding) {
    const QString expected = QString::fromUtf8("Çağlayan İskelesi öğüş");
    for (const char* file : {"fx_cp1254.dxf", "fx_r2018.dxf"}) {
        SCOPED_TRACE(file);
        ASSERT_TRUE(Load(ReadFixture(file), file));
        int texts = 0;
        for (const TTShape* shape : Loaded(file))
            if (shape->Class() == ShapeClass::Text) {
                EXPECT_EQ(static_cast<const TTText*>(shape)->DisplayText, expected);
                ++texts;
            }
        EXPECT_EQ(texts, 1);
    }
    // An R12 file without a code page: its cp1254 bytes still read as Turkish letters.
    ASSERT_TRUE(Load(DxfFile(DxfPairs({{0, "TEXT"}, {1, "\xDDskele"}})), "old.dxf"));
    EXPECT_EQ(static_cast<const TTText*>(Loaded("old.dxf").at(0))->DisplayText,
              QString::fromUtf8("İskele"));
    // From AC1021 on, texts are UTF-8 whatever the code page says.
    const std::string header = DxfSection(
        "HEADER",
        DxfPairs({{9, "$ACADVER"}, {1, "AC1021"}, {9, "$DWGCODEPAGE"}, {3, "ANSI_1252"}}));
    ASSERT_TRUE(Load(DxfFile(DxfPairs({{0, "TEXT"}, {1, "\xC4\xB0skele"}}), header), "new.dxf"));
    EXPECT_EQ(static_cast<const TTText*>(Loaded("new.dxf").at(0))->DisplayText,
              QString::fromUtf8("İskele"));
}

// ---- Records read as pairs ---------------------------------------------------------------

TEST_F(DxfReader, AnArcEndingAtAngleZeroDoesNotSwallowItsBlock) {
    const std::string blocks = DxfSection("BLOCKS", DxfPairs({{0, "BLOCK"},
                                                              {2, "B"},
                                                              {10, "0"},
                                                              {20, "0"},
                                                              {0, "LINE"},
                                                              {10, "0"},
                                                              {20, "0"},
                                                              {11, "1"},
                                                              {21, "0"},
                                                              {0, "ARC"},
                                                              {10, "0"},
                                                              {20, "0"},
                                                              {40, "1"},
                                                              {50, "90"},
                                                              {51, "0"},
                                                              {0, "ENDBLK"}}));
    ASSERT_TRUE(Load(DxfFile(DxfPairs({{0, "INSERT"}, {2, "B"}, {10, "5"}, {20, "5"}}), blocks)));
    ASSERT_EQ(Loaded().size(), 1u);
    EXPECT_EQ(Loaded()[0]->Class(), ShapeClass::Line);
}

TEST_F(DxfReader, ATableCountOfZeroDoesNotHideTheFirstLayer) {
    const std::string tables = DxfSection("TABLES", DxfPairs({{0, "TABLE"},
                                                              {2, "LAYER"},
                                                              {70, "0"},
                                                              {0, "LAYER"},
                                                              {2, "WALLS"},
                                                              {70, "0"},
                                                              {62, "1"},
                                                              {0, "ENDTAB"}}));
    ASSERT_TRUE(Load(DxfFile(DxfPairs({{0, "POINT"}, {10, "1"}, {20, "1"}}), tables)));
    EXPECT_EQ(canvas.FindLayer(canvas.DxfLayerId)->PenFg, Red);
}

TEST_F(DxfReader, RecordsOnALayerNamedLineInventNoLine) {
    const std::string entities = DxfPairs(
        {{0, "POLYLINE"}, {8, "LINE"},   {66, "1"},   {0, "VERTEX"}, {8, "LINE"}, {10, "100"},
         {20, "100"},     {0, "VERTEX"}, {8, "LINE"}, {10, "200"},   {20, "100"}, {0, "SEQEND"},
         {8, "LINE"},     {0, "HATCH"},  {8, "LINE"}, {2, "SOLID"},  {70, "1"},   {0, "CIRCLE"},
         {8, "LINE"},     {10, "150"},   {20, "150"}, {40, "5"}});
    ASSERT_TRUE(Load(DxfFile(entities)));
    const auto shapes = Loaded();
    ASSERT_EQ(shapes.size(), 2u);
    EXPECT_EQ(shapes[0]->Class(), ShapeClass::Polyline);
    EXPECT_EQ(shapes[1]->Class(), ShapeClass::Circle);
    // The view fits the drawing, not the origin.
    EXPECT_GT(canvas.PlanWorldLeft, 50.0);
}

TEST_F(DxfReader, AValueThatSpellsASectionEndInsideAnUnknownEntityIsJustAValue) {
    const std::string entities = DxfPairs({{0, "DIMENSION"},
                                           {1, "ENDSEC"},
                                           {3, "LINE"},
                                           {0, "LINE"},
                                           {10, "1"},
                                           {20, "2"},
                                           {11, "3"},
                                           {21, "4"}});
    ASSERT_TRUE(Load(DxfFile(entities)));
    ASSERT_EQ(Loaded().size(), 1u);
    const auto* line = static_cast<const TTLine*>(Loaded()[0]);
    EXPECT_EQ(line->X1, 1.0);
    EXPECT_EQ(line->Y2, 4.0);
}

TEST_F(DxfReader, LineEndsBomAndPaddedCodesReadAlike) {
    const std::string plain =
        DxfFile(DxfPairs({{0, "LINE"}, {10, "1"}, {20, "2"}, {11, "3"}, {21, "4"}}));
    std::string crlf;
    std::string lonecr;
    for (const char c : plain) {
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
        lonecr += c == '\n' ? '\r' : c;
    }
    std::string padded;
    size_t start = 0;
    bool codeLine = true;
    while (start < crlf.size()) {
        const size_t end = crlf.find("\r\n", start);
        const std::string line = crlf.substr(start, end - start);
        padded += (codeLine ? std::string(3 - std::min<size_t>(3, line.size()), ' ') : "") + line +
                  "\r\n";
        codeLine = !codeLine;
        start = end + 2;
    }
    const std::string bom = "\xEF\xBB\xBF" + plain;
    for (const std::string& bytes : {plain, crlf, lonecr, padded, bom}) {
        CanvasModel fresh;
        ASSERT_TRUE(DXFLoadBytes(fresh, bytes, "plan.dxf"));
        ASSERT_EQ(fresh.Shapes.size(), 1u);
        const auto* line = static_cast<const TTLine*>(fresh.Shapes[0]);
        EXPECT_EQ(line->X1, 1.0);
        EXPECT_EQ(line->Y1, 2.0);
        EXPECT_EQ(line->X2, 3.0);
        EXPECT_EQ(line->Y2, 4.0);
    }
}

TEST_F(DxfReader, SectionsInAnyOrderReadTheSame) {
    const std::string tables = DxfSection(
        "TABLES",
        DxfPairs({{0, "TABLE"}, {2, "LAYER"}, {0, "LAYER"}, {2, "A"}, {62, "1"}, {0, "ENDTAB"}}));
    const std::string blocks = DxfSection(
        "BLOCKS", DxfPairs({{0, "BLOCK"}, {2, "B"}, {0, "LINE"}, {11, "1"}, {0, "ENDBLK"}}));
    const std::string entities =
        DxfSection("ENTITIES", DxfPairs({{0, "INSERT"}, {2, "B"}, {0, "POINT"}, {10, "3"}}));
    ASSERT_TRUE(Load(tables + blocks + entities + "0\nEOF\n", "first.dxf"));
    ASSERT_TRUE(Load(entities + blocks + tables + "0\nEOF\n", "last.dxf"));
    for (const QString& name : {QString("first.dxf"), QString("last.dxf")}) {
        const auto shapes = Loaded(name);
        ASSERT_EQ(shapes.size(), 2u) << name.toStdString();
        EXPECT_EQ(shapes[0]->Class(), ShapeClass::Line);
        EXPECT_EQ(shapes[1]->PenFg, Red);
    }
}

// ---- Edge cases of the reader ------------------------------------------------------------

TEST_F(DxfReader, LoadingAFileTwiceLeavesOneSetOfItsShapes) {
    const std::string bytes = DxfFile(DxfPairs({{0, "CIRCLE"}, {40, "1"}, {0, "POINT"}}));
    ASSERT_TRUE(Load(bytes, "/plans/harbour.dxf"));
    ASSERT_TRUE(Load(bytes, "/plans/harbour.dxf"));
    EXPECT_EQ(canvas.LayerFindByName("_dxf_harbour.dxf"), canvas.DxfLayerId);
    EXPECT_EQ(Loaded("harbour.dxf").size(), 2u);
    const TTLayer* layer = canvas.FindLayer(canvas.DxfLayerId);
    EXPECT_TRUE(layer->Visible);
    EXPECT_EQ(layer->Locked, 1);
    EXPECT_EQ(canvas.CurrentLayer, canvas.DxfLayerId);
    // Ids follow file order.
    EXPECT_LT(Loaded("harbour.dxf")[0]->Id, Loaded("harbour.dxf")[1]->Id);
}

TEST_F(DxfReader, TheLastLayerEntryWithAColourColoursTheTargetLayer) {
    const auto tables = [](std::initializer_list<std::pair<const char*, int>> layers) {
        std::string body = DxfPairs({{0, "TABLE"}, {2, "LAYER"}});
        for (const auto& [name, colour] : layers)
            body += DxfPairs({{0, "LAYER"}, {2, name}, {62, std::to_string(colour)}});
        return DxfSection("TABLES", body + DxfPairs({{0, "ENDTAB"}}));
    };
    const std::string entities = DxfPairs({{0, "POINT"}});
    const struct {
        std::string tables;
        uint32_t colour;
    } cases[] = {
        {tables({{"0", 7}, {"WALLS", 1}}), Red},
        {tables({{"WALLS", 1}, {"0", 7}}), White},
        {tables({{"WALLS", 1}, {"OFF", -3}}), Red},
        {tables({{"WALLS", 3}, {"", 1}}), Green},
    };
    for (const auto& c : cases) {
        CanvasModel fresh;
        ASSERT_TRUE(DXFLoadBytes(fresh, DxfFile(entities, c.tables), "plan.dxf"));
        EXPECT_EQ(fresh.FindLayer(fresh.DxfLayerId)->PenFg, c.colour);
        EXPECT_EQ(fresh.Shapes[0]->PenFg, c.colour); // a point takes the layer colour
    }
}

std::string Block(const std::string& name, const std::string& body) {
    return DxfPairs({{0, "BLOCK"}, {2, name}, {10, "0"}, {20, "0"}}) + body +
           DxfPairs({{0, "ENDBLK"}});
}

std::string BlockLine(double x1, double y1, double x2, double y2) {
    return DxfPairs({{0, "LINE"},
                     {8, "0"},
                     {62, "5"},
                     {10, std::to_string(x1)},
                     {20, std::to_string(y1)},
                     {11, std::to_string(x2)},
                     {21, std::to_string(y2)}});
}

TEST_F(DxfReader, BlocksKeepTheirLinesOnlyAndAreFoundByExactName) {
    const std::string blocks =
        DxfSection("BLOCKS", Block("DOOR", BlockLine(0, 0, 1, 0) + BlockLine(1, 0, 1, 2) +
                                               BlockLine(1, 2, 0, 2)) +
                                 Block("MIXED", DxfPairs({{0, "CIRCLE"}, {40, "1"}}) +
                                                    BlockLine(0, 0, 5, 5) + BlockLine(5, 5, 6, 6)) +
                                 // A block without its end is dropped when the next one starts.
                                 DxfPairs({{0, "BLOCK"}, {2, "OPEN"}}) + BlockLine(0, 0, 9, 9) +
                                 Block("AFTER", BlockLine(0, 0, 2, 2)));
    ASSERT_TRUE(Load(DxfFile(DxfPairs({{0, "POINT"}}), blocks)));
    const TTBlock* door = canvas.FindBlock("DOOR");
    ASSERT_NE(door, nullptr);
    ASSERT_EQ(door->Shapes.size(), 3u);
    const auto* second = static_cast<const TTLine*>(door->Shapes[1].get());
    EXPECT_EQ(second->X2, 1.0);
    EXPECT_EQ(second->Y2, 2.0);
    EXPECT_EQ(second->PenFg, 0u);
    EXPECT_EQ(second->Id, 0);
    EXPECT_EQ(canvas.FindBlock("door"), nullptr);
    EXPECT_EQ(canvas.FindBlock("MIXED")->Shapes.size(), 2u);
    EXPECT_EQ(canvas.FindBlock("OPEN"), nullptr);
    EXPECT_NE(canvas.FindBlock("AFTER"), nullptr);
}

TEST_F(DxfReader, InsertsUseTheBlocksOfTheirOwnFileAndAReloadReleasesTheOldOnes) {
    const auto file = [](double length) {
        return DxfFile(DxfPairs({{0, "INSERT"}, {2, "B"}}),
                       DxfSection("BLOCKS", Block("B", BlockLine(0, 0, length, 0)) +
                                                Block("B", BlockLine(0, 0, 99, 0))));
    };
    ASSERT_TRUE(Load(file(1), "other.dxf"));
    ASSERT_TRUE(Load(file(2), "plan.dxf"));
    EXPECT_EQ(static_cast<const TTLine*>(Loaded()[0])->X2, 2.0); // first definition wins
    ASSERT_TRUE(Load(file(3), "plan.dxf"));                      // the edited file
    ASSERT_EQ(Loaded().size(), 1u);
    EXPECT_EQ(static_cast<const TTLine*>(Loaded()[0])->X2, 3.0);
    // Two blocks of other.dxf, two of the last plan.dxf; the earlier plan.dxf's are gone.
    EXPECT_EQ(canvas.Blocks.size(), 4u);
    EXPECT_EQ(canvas.FindBlock("B")->Shapes.size(), 1u);
}

TEST_F(DxfReader, EntityEdgeCases) {
    const auto load = [](const std::string& entities) {
        auto fresh = std::make_unique<CanvasModel>();
        DXFLoadBytes(*fresh, DxfFile(entities), "plan.dxf");
        return fresh;
    };
    const auto polyline = [](const CanvasModel& c, size_t i = 0) -> const TTPolyline& {
        return AsPolyline(c.Shapes[i]);
    };
    { // ARC 350 -> 10: 20 degrees in 21 points.
        auto c = load(DxfPairs({{0, "ARC"}, {40, "10"}, {50, "350"}, {51, "10"}}));
        const TTPolyline& arc = polyline(*c);
        ASSERT_EQ(arc.PointCount(), 21);
        EXPECT_NEAR(arc.Points[0].X, 10 * std::cos(-10 * std::numbers::pi / 180), 1e-9);
        EXPECT_NEAR(arc.Points[10].Y, 0.0, 1e-9);
        EXPECT_NEAR(arc.Points[20].Y, 10 * std::sin(10 * std::numbers::pi / 180), 1e-9);
        EXPECT_EQ(arc.Type, ShapeType::Polyline);
    }
    { // ARC 0 -> 90 of radius 10.
        auto c = load(DxfPairs({{0, "ARC"}, {40, "10"}, {50, "0"}, {51, "90"}}));
        EXPECT_NEAR(polyline(*c).Points[0].X, 10, 1e-9);
        EXPECT_NEAR(polyline(*c).Points[20].X, 0, 1e-9);
        EXPECT_NEAR(polyline(*c).Points[20].Y, 10, 1e-9);
    }
    { // ELLIPSE 0 -> 6.28 closed, 0 -> 6.27 open, 37 points each.
        auto closed =
            load(DxfPairs({{0, "ELLIPSE"}, {11, "10"}, {40, "0.5"}, {41, "0"}, {42, "6.28"}}));
        EXPECT_EQ(polyline(*closed).Type, ShapeType::Polygon);
        EXPECT_TRUE(polyline(*closed).Closed);
        EXPECT_EQ(polyline(*closed).PointCount(), 37);
        auto open =
            load(DxfPairs({{0, "ELLIPSE"}, {11, "10"}, {40, "0.5"}, {41, "0"}, {42, "6.27"}}));
        EXPECT_EQ(polyline(*open).Type, ShapeType::Polyline);
        EXPECT_FALSE(polyline(*open).Closed);
        EXPECT_EQ(polyline(*open).PointCount(), 37);
    }
    { // Major axis (0, 10), ratio 0.5: starts at (0, 10), passes (-5, 0) at a quarter.
        auto c = load(DxfPairs({{0, "ELLIPSE"}, {11, "0"}, {21, "10"}, {40, "0.5"}}));
        EXPECT_NEAR(polyline(*c).Points[0].X, 0, 1e-9);
        EXPECT_NEAR(polyline(*c).Points[0].Y, 10, 1e-9);
        EXPECT_NEAR(polyline(*c).Points[9].X, -5, 1e-9);
        EXPECT_NEAR(polyline(*c).Points[9].Y, 0, 1e-9);
    }
    { // An end parameter below the start runs counter-clockwise through 2 pi.
        auto c = load(DxfPairs({{0, "ELLIPSE"}, {11, "10"}, {40, "1"}, {41, "5.5"}, {42, "0.5"}}));
        const TTPolyline& arc = polyline(*c);
        EXPECT_EQ(arc.Type, ShapeType::Polyline);
        EXPECT_NEAR(arc.Points[36].X, 10 * std::cos(0.5), 1e-9);
        EXPECT_NEAR(arc.Points[36].Y, 10 * std::sin(0.5), 1e-9);
        // The middle lies near parameter 0, not on the far side.
        EXPECT_GT(arc.Points[18].X, 9.0);
    }
    { // SOLID: square and triangle.
        auto square = load(DxfPairs({{0, "SOLID"},
                                     {10, "0"},
                                     {20, "0"},
                                     {11, "10"},
                                     {21, "0"},
                                     {12, "0"},
                                     {22, "10"},
                                     {13, "10"},
                                     {23, "10"}}));
        const std::vector<std::pair<double, double>> expected = {
            {0, 0}, {10, 0}, {10, 10}, {0, 10}};
        ASSERT_EQ(polyline(*square).PointCount(), 4);
        for (size_t i = 0; i < 4; ++i) {
            EXPECT_EQ(polyline(*square).Points[i].X, expected[i].first);
            EXPECT_EQ(polyline(*square).Points[i].Y, expected[i].second);
        }
        EXPECT_TRUE(polyline(*square).Closed);
        auto triangle = load(
            DxfPairs({{0, "TRACE"}, {11, "10"}, {12, "5"}, {22, "10"}, {13, "5"}, {23, "10"}}));
        ASSERT_EQ(polyline(*triangle).PointCount(), 3);
        EXPECT_EQ(polyline(*triangle).Points[2].X, 5.0);
    }
    { // TEXT heights.
        const struct {
            const char* height;
            double expected;
        } heights[] = {{"0", 2.5}, {nullptr, 2.5}, {"0.1", 2.5}, {"0.11", 0.11}};
        for (const auto& h : heights) {
            std::string text = DxfPairs({{0, "TEXT"}, {1, "T"}});
            if (h.height)
                text += DxfPairs({{40, h.height}});
            auto c = load(text);
            EXPECT_DOUBLE_EQ(static_cast<const TTText*>(c->Shapes[0])->Height, h.expected);
        }
        auto paragraphOnly = load(DxfPairs({{0, "TEXT"}, {1, "\\P"}}));
        EXPECT_TRUE(paragraphOnly->Shapes.empty());
        auto text = load(DxfPairs({{0, "TEXT"}, {10, "3"}, {20, "4"}, {1, "Quay"}}));
        const auto* t = static_cast<const TTText*>(text->Shapes[0]);
        EXPECT_EQ(t->DisplayText, "Quay");
        EXPECT_EQ(t->Text, "Quay");
        EXPECT_EQ(t->FontIndex, -1);
        EXPECT_EQ(t->Justify, 2);
        EXPECT_EQ(t->Align, 0);
    }
    { // LWPOLYLINE: a second x replaces the pending one.
        auto c = load(
            DxfPairs({{0, "LWPOLYLINE"}, {10, "1"}, {10, "2"}, {20, "3"}, {10, "4"}, {20, "5"}}));
        ASSERT_EQ(polyline(*c).PointCount(), 2);
        EXPECT_EQ(polyline(*c).Points[0].X, 2.0);
        EXPECT_EQ(polyline(*c).Points[1].Y, 5.0);
    }
    { // POLYLINE: one vertex makes nothing; flag 1 closes three.
        auto single = load(DxfPairs({{0, "POLYLINE"}, {0, "VERTEX"}, {10, "1"}, {0, "SEQEND"}}));
        EXPECT_TRUE(single->Shapes.empty());
        auto closed = load(DxfPairs({{0, "POLYLINE"},
                                     {70, "1"},
                                     {0, "VERTEX"},
                                     {0, "VERTEX"},
                                     {10, "1"},
                                     {0, "VERTEX"},
                                     {20, "1"},
                                     {0, "SEQEND"}}));
        EXPECT_EQ(polyline(*closed).Type, ShapeType::Polygon);
        EXPECT_EQ(polyline(*closed).PointCount(), 3);
        // A polyline whose SEQEND is missing does not take the next entity with it.
        auto unended = load(DxfPairs(
            {{0, "POLYLINE"}, {0, "VERTEX"}, {0, "VERTEX"}, {10, "1"}, {0, "CIRCLE"}, {40, "1"}}));
        EXPECT_EQ(unended->Shapes.size(), 2u);
    }
    { // Polyface: face records (flag 128 without 64) are not vertices.
        auto c = load(DxfPairs({{0, "POLYLINE"},
                                {70, "64"},
                                {0, "VERTEX"},
                                {10, "5"},
                                {20, "5"},
                                {70, "192"},
                                {0, "VERTEX"},
                                {10, "6"},
                                {20, "5"},
                                {70, "192"},
                                {0, "VERTEX"},
                                {70, "128"},
                                {71, "1"},
                                {72, "2"},
                                {0, "SEQEND"}}));
        ASSERT_EQ(polyline(*c).PointCount(), 2);
        EXPECT_EQ(polyline(*c).MinX, 5.0);
    }
    { // SPLINE: control polygon; unequal counts make nothing.
        auto c = load(DxfPairs({{0, "SPLINE"},
                                {70, "1"},
                                {10, "0"},
                                {20, "0"},
                                {10, "1"},
                                {20, "1"},
                                {11, "9"},
                                {21, "9"}}));
        EXPECT_EQ(polyline(*c).PointCount(), 2);
        EXPECT_TRUE(polyline(*c).Closed);
        EXPECT_TRUE(
            load(DxfPairs({{0, "SPLINE"}, {10, "0"}, {10, "1"}, {20, "1"}}))->Shapes.empty());
    }
    { // INSERT at (100, 50), scale 2, rotation 90.
        const std::string blocks = DxfSection("BLOCKS", Block("B", BlockLine(0, 0, 1, 0)));
        CanvasModel c;
        ASSERT_TRUE(DXFLoadBytes(c,
                                 DxfFile(DxfPairs({{0, "INSERT"},
                                                   {2, "B"},
                                                   {10, "100"},
                                                   {20, "50"},
                                                   {41, "2"},
                                                   {42, "2"},
                                                   {50, "90"}}),
                                         blocks),
                                 "plan.dxf"));
        const auto* line = static_cast<const TTLine*>(c.Shapes[0]);
        EXPECT_NEAR(line->X1, 100, 1e-9);
        EXPECT_NEAR(line->Y1, 50, 1e-9);
        EXPECT_NEAR(line->X2, 100, 1e-9);
        EXPECT_NEAR(line->Y2, 52, 1e-9);
        EXPECT_EQ(line->PenFg, 0u); // without a colour of its own: black
        EXPECT_FALSE(DXFLoadBytes(c, DxfFile(DxfPairs({{0, "INSERT"}, {2, "NONE"}})), "x.dxf"));
    }
}

TEST_F(DxfReader, ColoursFollowTheEntityOrTheLayer) {
    const std::string tables = DxfSection(
        "TABLES", DxfPairs({{0, "TABLE"}, {0, "LAYER"}, {2, "A"}, {62, "3"}, {0, "ENDTAB"}}));
    const std::string entities = DxfPairs({{0, "POINT"},
                                           {62, "1"},
                                           {0, "TEXT"},
                                           {62, "1"},
                                           {1, "t"},
                                           {0, "LINE"},
                                           {62, "1"},
                                           {0, "LINE"},
                                           {62, "256"},
                                           {0, "CIRCLE"},
                                           {62, "0"},
                                           {0, "ARC"},
                                           {62, "5"}});
    ASSERT_TRUE(Load(DxfFile(entities, tables)));
    const auto shapes = Loaded();
    ASSERT_EQ(shapes.size(), 6u);
    const uint32_t expected[] = {Green, Green, Red, Green, Green, 0xFF0000};
    for (size_t i = 0; i < 6; ++i)
        EXPECT_EQ(shapes[i]->PenFg, expected[i]) << i;
}

TEST_F(DxfReader, AHatchBetweenTwoLinesLeavesBothLines) {
    ASSERT_TRUE(Load(DxfFile(
        DxfPairs({{0, "LINE"}, {11, "1"}, {0, "HATCH"}, {2, "SOLID"}, {0, "LINE"}, {11, "2"}}))));
    EXPECT_EQ(Loaded().size(), 2u);
}

TEST_F(DxfReader, AFileOfOnlyUnknownEntitiesEmptiesTheLayerAndReturnsFalse) {
    ASSERT_TRUE(Load(DxfFile(DxfPairs({{0, "POINT"}}))));
    DxfLoadReport report;
    EXPECT_FALSE(Load(DxfFile(DxfPairs({{0, "DIMENSION"}, {0, "VIEWPORT"}})), "plan.dxf", &report));
    EXPECT_TRUE(report.Committed);
    EXPECT_TRUE(Loaded().empty());
    EXPECT_TRUE(Messages().empty());
}

TEST_F(DxfReader, ANonFiniteNumberDropsItsEntityOnly) {
    ASSERT_TRUE(Load(DxfFile(DxfPairs(
        {{0, "LINE"}, {10, "nan"}, {0, "CIRCLE"}, {10, "1e999"}, {0, "POINT"}, {10, "7"}}))));
    ASSERT_EQ(Loaded().size(), 1u);
    EXPECT_EQ(Loaded()[0]->Class(), ShapeClass::Point);
}

// Collects the reader's debug lines.
std::vector<QString>* TraceLines = nullptr;
void CollectTrace(QtMsgType, const QMessageLogContext& context, const QString& text) {
    if (TraceLines && context.category && QString(context.category) == "tavrin.dxf")
        TraceLines->push_back(text);
}

TEST_F(DxfReader, DebugLinesNameTheTargetLayerForTheFirstLinesOnly) {
    std::vector<QString> lines;
    TraceLines = &lines;
    QLoggingCategory::setFilterRules("tavrin.dxf.debug=true");
    const QtMessageHandler previous = qInstallMessageHandler(CollectTrace);
    std::string entities;
    for (int i = 0; i < 7; ++i)
        entities += DxfPairs({{0, "LINE"}, {8, "WALLS"}, {11, std::to_string(i + 1)}});
    Load(DxfFile(entities));
    const int layer = canvas.DxfLayerId;
    std::string circlesFirst;
    for (int i = 0; i < 5; ++i)
        circlesFirst += DxfPairs({{0, "CIRCLE"}, {40, "1"}});
    Load(DxfFile(circlesFirst + DxfPairs({{0, "LINE"}, {11, "1"}})), "circles.dxf");
    qInstallMessageHandler(previous);
    TraceLines = nullptr;
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0], QString("DXF LINE: layer='WALLS' lid=%1 visible=Y locked=Y").arg(layer));
}

} // namespace
