#include "DxfTestSupport.h"

#include "canvas/TTCircle.h"
#include "canvas/TTLine.h"
#include "canvas/TTPoint.h"
#include "canvas/TTText.h"
#include "drawing_io/DXFLoad.h"
#include "drawing_io/DXFSave.h"
#include "platform/NumericLocale.h"
#include "tests/support/TestEnvironment.h"

#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <csignal>
#include <limits>
#include <map>
#include <sys/resource.h>

namespace {

std::string Written(const CanvasModel& canvas) {
    std::string bytes;
    EXPECT_TRUE(DXFWrite(canvas, [&bytes](std::string_view piece) {
        bytes += piece;
        return true;
    }));
    return bytes;
}

std::string Crlf(std::initializer_list<const char*> lines) {
    std::string out;
    for (const char* line : lines)
        out += std::string(line) + "\r\n";
    return out;
}

TEST(DxfWriter, AnEmptyDrawingIsHeaderEmptyLayerTableAndEmptyEntities) {
    CanvasModel canvas;
    canvas.WorldSet(-10, 20, 30, -5);
    const std::string expected =
        Crlf({"0",  "SECTION",      "2",  "HEADER",    "9", "$ACADVER", "1",  "AC1009",
              "9",  "$DWGCODEPAGE", "3",  "ANSI_1254", "9", "$INSBASE", "10", "0.0",
              "20", "0.0",          "30", "0.0",       "9", "$EXTMIN",  "10", "-10.000000",
              "20", "-5.000000",    "30", "0.0",       "9", "$EXTMAX",  "10", "30.000000",
              "20", "20.000000",    "30", "0.0",       "0", "ENDSEC",   "0",  "SECTION",
              "2",  "TABLES",       "0",  "TABLE",     "2", "LAYER",    "70", "0",
              "0",  "ENDTAB",       "0",  "ENDSEC",    "0", "SECTION",  "2",  "ENTITIES",
              "0",  "ENDSEC",       "0",  "EOF"});
    EXPECT_EQ(Written(canvas), expected);
}

// Every row and edge case of the writer in one drawing.
struct MixedDrawing {
    MixedDrawing() {
        walls = canvas.LayerOpen("WALLS");
        turkish = canvas.LayerOpen(QString::fromUtf8("İskele Şev"));
        hidden = canvas.LayerOpen("hidden layer");
        canvas.SetLayerVisible(hidden, false);
        canvas.DrawLine(0, 0, 10, 5, walls);
        canvas.DrawCircle(20, 20, 5, walls);
        canvas.DrawPoint(7, 8, turkish);
        const int32_t flat = canvas.TextAdd(turkish, "zero height", 1, 2, 0);
        static_cast<TTText*>(canvas.FindShape(flat))->Height = 0;
        const int32_t rotated = canvas.TextAdd(turkish, QString::fromUtf8("Çay\nİskele"), 3, 4, 0);
        static_cast<TTText*>(canvas.FindShape(rotated))->Rotation = 30;
        canvas.DrawRectangle(1, 2, 3, 5, walls);
        canvas.DrawTwoPointEllipse(0, 0, 4, 2, walls);
        canvas.DrawPolyline({{0, 0}, {10, 0}, {10, 10}}, walls, true);
        const int32_t open = canvas.DrawPolyline({{0, 0}, {5, 5}}, walls, false);
        static_cast<TTPolyline*>(canvas.FindShape(open))->Closed = true; // type 5 written closed
        const int32_t single = canvas.DrawPolyline({{0, 0}, {1, 1}}, walls, false);
        static_cast<TTPolyline*>(canvas.FindShape(single))->Points.resize(1);
        const int32_t empty = canvas.DrawPolyline({{0, 0}, {1, 1}}, walls, false);
        static_cast<TTPolyline*>(canvas.FindShape(empty))->Points.clear();
        canvas.DrawLine(1, 1, 2, 2, hidden); // visible shape of a hidden layer: written
        const int32_t invisible = canvas.DrawLine(5, 5, 6, 6, canvas.LayerOpen("only hidden"));
        canvas.FindShape(invisible)->Visible = false;
        canvas.DrawThreePointArc(0, 0, 1, 1, 2, 0, canvas.LayerOpen("arcs")); // type 10: none
        const int32_t orphan = canvas.DrawLine(9, 9, 8, 8, walls);
        canvas.FindShape(orphan)->LayerId = 77; // no layer record: written on "0"
        const int32_t broken = canvas.DrawLine(0, 0, 1, 1, walls);
        static_cast<TTLine*>(canvas.FindShape(broken))->X2 =
            std::numeric_limits<double>::quiet_NaN();
    }
    CanvasModel canvas;
    int walls, turkish, hidden;
};

std::vector<std::string> Lines(const std::string& crlf) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < crlf.size()) {
        const size_t end = crlf.find("\r\n", start);
        EXPECT_NE(end, std::string::npos);
        lines.push_back(crlf.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

TEST(DxfWriter, EveryShapeKindIsWrittenAsItsEntity) {
    MixedDrawing drawing;
    const std::vector<std::string> lines = Lines(Written(drawing.canvas));
    ASSERT_EQ(lines.size() % 2, 0u);
    std::string entities;
    std::vector<std::string> layerNames;
    int layerCount = -1;
    bool inEntities = false;
    for (size_t i = 0; i + 1 < lines.size(); i += 2) {
        const std::string& code = lines[i];
        const std::string& value = lines[i + 1];
        if (code == "2" && value == "ENTITIES")
            inEntities = true;
        if (!inEntities && code == "70" && layerCount < 0)
            layerCount = std::stoi(value);
        if (!inEntities && code == "2" && i >= 2 && lines[i - 1] == "LAYER" && lines[i - 2] == "0")
            layerNames.push_back(value);
        if (inEntities && code == "0")
            entities += value + " ";
    }
    // Layers in order of first use; the orphan's id is counted but has no entry.
    EXPECT_EQ(layerCount, 6);
    const std::vector<std::string> expectedLayers = {"WALLS",
                                                     "\xDDskele \xDE"
                                                     "ev",
                                                     "hidden layer", "only hidden", "arcs"};
    EXPECT_EQ(layerNames, expectedLayers);
    EXPECT_EQ(entities,
              "LINE CIRCLE POINT TEXT TEXT POLYLINE VERTEX VERTEX VERTEX VERTEX SEQEND CIRCLE "
              "POLYLINE VERTEX VERTEX VERTEX SEQEND POLYLINE VERTEX VERTEX SEQEND POLYLINE VERTEX "
              "SEQEND LINE LINE ENDSEC EOF ");
    const std::string all = Written(drawing.canvas);
    // Zero height is written 2.5; the unrotated text has no 50, the rotated one 30.
    EXPECT_NE(all.find("40\r\n2.500000\r\n1\r\nzero height\r\n0\r\n"), std::string::npos);
    EXPECT_NE(all.find("1\r\n\xC7"
                       "ay \xDDskele\r\n50\r\n30.000000\r\n"),
              std::string::npos);
    // Rectangle corners and the ellipse's circle.
    EXPECT_NE(all.find("10\r\n3.000000\r\n20\r\n2.000000\r\n30\r\n0.0\r\n0\r\nVERTEX\r\n8\r\n"
                       "WALLS\r\n10\r\n3.000000\r\n20\r\n5.000000"),
              std::string::npos);
    EXPECT_NE(all.find("10\r\n2.000000\r\n20\r\n1.000000\r\n30\r\n0.0\r\n40\r\n1.500000"),
              std::string::npos);
    EXPECT_NE(all.find("0\r\nLINE\r\n8\r\n0\r\n10\r\n9.000000"), std::string::npos);
    EXPECT_EQ(all.find("nan"), std::string::npos);
}

struct ToolRun {
    int exitCode = -1;
    QString output;
};

ToolRun RunTool(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    ToolRun run;
    if (!process.waitForStarted(10000)) {
        run.output = program + " did not start (make deps installs it)";
        return run;
    }
    process.waitForFinished(120000);
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.output =
        QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError());
    return run;
}

TEST(DxfWriter, TheExportOpensInIndependentReaders) {
    MixedDrawing drawing;
    QTemporaryDir dir;
    const QString path = dir.path() + "/export.dxf";
    std::string error;
    ASSERT_TRUE(DXFSave(drawing.canvas, path, &error)) << error;

    const ToolRun ezdxf =
        RunTool("/usr/bin/python3", {QStringLiteral(TESTS_DIR "/drawing_io/dxf_oracle.py"), path});
    ASSERT_EQ(ezdxf.exitCode, 0) << ezdxf.output.toStdString();
    EXPECT_TRUE(ezdxf.output.contains(QString::fromUtf8("LAYER İskele Şev")))
        << ezdxf.output.toStdString();
    EXPECT_TRUE(ezdxf.output.contains(QString::fromUtf8("TEXT Çay İskele")));
    EXPECT_EQ(ezdxf.output.count("ENTITY "), 12);

    const ToolRun ogr =
        RunTool("ogrinfo", {"-ro", "-q", "-dialect", "SQLite", "-sql",
                            "SELECT Layer, COUNT(*) n FROM entities GROUP BY 1", path});
    ASSERT_EQ(ogr.exitCode, 0) << ogr.output.toStdString();
    std::map<QString, int> counts;
    QString layer;
    for (const QString& line : ogr.output.split('\n')) {
        const QString trimmed = line.trimmed();
        if (trimmed.startsWith("Layer (String) = "))
            layer = trimmed.mid(17);
        else if (trimmed.startsWith("n (Integer) = "))
            counts[layer] = trimmed.mid(14).toInt();
    }
    const std::map<QString, int> expected = {
        {"WALLS", 7}, {QString::fromUtf8("İskele Şev"), 3}, {"hidden layer", 1}, {"0", 1}};
    EXPECT_EQ(counts, expected) << ogr.output.toStdString();
}

// Shapes that survive an export and an import, compared by what they draw.
std::vector<std::string> Geometry(const CanvasModel& canvas) {
    std::vector<std::string> out;
    const auto n = [](double v) { return std::to_string(std::llround(v * 1e6)); };
    for (const auto& shape : canvas.Shapes) {
        std::string g;
        switch (shape->Class()) {
        case ShapeClass::Line: {
            const auto& l = static_cast<const TTLine&>(*shape);
            g = "L " + n(l.X1) + " " + n(l.Y1) + " " + n(l.X2) + " " + n(l.Y2);
            break;
        }
        case ShapeClass::Circle: {
            const auto& c = static_cast<const TTCircle&>(*shape);
            g = "C " + n(c.CenterX) + " " + n(c.CenterY) + " " + n(c.Radius);
            break;
        }
        case ShapeClass::Point: {
            const auto& p = static_cast<const TTPoint&>(*shape);
            g = "P " + n(p.X) + " " + n(p.Y);
            break;
        }
        case ShapeClass::Text: {
            const auto& t = static_cast<const TTText&>(*shape);
            g = "T " + n(t.X) + " " + n(t.Y) + " " + n(t.Height) + " " + n(t.Rotation) + " " +
                t.DisplayText.toStdString();
            break;
        }
        case ShapeClass::Polyline: {
            const auto& p = static_cast<const TTPolyline&>(*shape);
            g = std::string("Y") + (p.Closed ? "c" : "o");
            for (const TPointF& v : p.Points)
                g += " " + n(v.X) + " " + n(v.Y);
            break;
        }
        default:
            break;
        }
        out.push_back(g);
    }
    return out;
}

void ExpectRoundTrip() {
    CanvasModel source;
    const int layer = source.LayerOpen(QString::fromUtf8("Ölçü"));
    source.DrawLine(4512345.123456, 512345.654321, -0.5, 1e-6, layer);
    source.DrawCircle(1.25, -2.5, 0.333333, layer);
    source.DrawPoint(500000.000001, 4500000.999999, layer);
    const int32_t text = source.TextAdd(layer, QString::fromUtf8("Derinlik ğüşiöç"), 10, 20, 0);
    static_cast<TTText*>(source.FindShape(text))->Height = 3.5;
    static_cast<TTText*>(source.FindShape(text))->Rotation = -45.5;
    source.DrawPolyline({{0, 0}, {100.5, 0.25}, {100.5, 50.125}}, layer, true);
    source.DrawPolyline({{1, 1}, {2, 3}}, layer, false);
    QTemporaryDir dir;
    const QString path = dir.path() + "/round.dxf";
    ASSERT_TRUE(DXFSave(source, path));
    CanvasModel target;
    ASSERT_TRUE(DXFLoad(target, path));
    EXPECT_EQ(Geometry(target), Geometry(source));
}

TEST(DxfWriter, ExportThenImportGivesTheSameGeometry) {
    ExpectRoundTrip();
}

TEST(DxfWriter, ExportThenImportGivesTheSameGeometryUnderTheTurkishLocale) {
    struct Restore {
        ~Restore() { ResetNumericLocale(); }
    } restore;
    ASSERT_NE(std::setlocale(LC_ALL, "tr_TR.UTF-8"), nullptr)
        << "the tr_TR.UTF-8 locale is missing; `make deps` generates it";
    ExpectRoundTrip();
}

TEST(DxfWriter, AFailedExportReportsWhyAndLeavesTheOldFileWhole) {
    QTemporaryDir dir;
    // The parent of the target is a regular file (root ignores permissions, not this).
    const QString plain = dir.path() + "/plain.txt";
    {
        QFile file(plain);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("x");
    }
    CanvasModel canvas;
    canvas.DrawLine(0, 0, 1, 1, 0);
    std::string error;
    EXPECT_FALSE(DXFSave(canvas, plain + "/export.dxf", &error));
    EXPECT_FALSE(error.empty());

    // A write that fails half-way: the file size limit stops the bytes at 64 KiB.
    const QString target = dir.path() + "/export.dxf";
    ASSERT_TRUE(DXFSave(canvas, target));
    QFile old(target);
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    const QByteArray before = old.readAll();
    old.close();
    for (int i = 0; i < 20000; ++i)
        canvas.DrawLine(i, i, i + 1, i + 1, 0);
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 64 * 1024;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    error.clear();
    const bool saved_ok = DXFSave(canvas, target, &error);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    EXPECT_FALSE(saved_ok);
    EXPECT_FALSE(error.empty());
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2) << "no temporary file left";

    // A sink that refuses half-way stops the writing with false.
    size_t taken = 0;
    EXPECT_FALSE(DXFWrite(canvas, [&taken](std::string_view piece) {
        taken += piece.size();
        return taken < 100000;
    }));
}

} // namespace
