#include "drawing_io/ImportBudget.h"
#include "drawing_io/KmlText.h"
#include "drawing_io/TTavrinKMZLoader.h"
#include "platform/ProcessMemory.h"

#include "tests/support/SanitizerBuild.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdlib>
#include <malloc.h>
#include <string>
#include <vector>

namespace {

const std::string KmlData = std::string(TEST_DATA_DIR) + "/kml/";

struct NameAndFirst {
    std::string Name;
    int Kind;
    double Lon, Lat, Alt;
    size_t Count;
};

// What `ogrinfo -ro -al -q sample.kml` lists, outer rings only.
const std::vector<NameAndFirst> SampleExpected = {
    {"Buoy & 1", 0, 29.01, 41.01, 3.5, 1},
    {"İskele", 0, 29.02, 41.02, 0, 1},
    {"Line <a>", 1, 29.0, 41.0, 0, 3},
    {"Pond", 2, 29.0, 41.0, 0, 5},
};

void ExpectSample(const TTavrinKMZLoader& loader) {
    ASSERT_EQ(loader.Placemarks.size(), SampleExpected.size());
    for (size_t i = 0; i < SampleExpected.size(); ++i) {
        SCOPED_TRACE(SampleExpected[i].Name);
        const TKMLPlacemark& placemark = loader.Placemarks[i];
        EXPECT_EQ(placemark.Name, SampleExpected[i].Name);
        ASSERT_EQ(placemark.Geometries.size(), 1u);
        const TKMLGeometry& geometry = placemark.Geometries[0];
        EXPECT_EQ(geometry.Kind, SampleExpected[i].Kind);
        ASSERT_EQ(geometry.Points.size(), SampleExpected[i].Count);
        EXPECT_DOUBLE_EQ(geometry.Points[0].Lon, SampleExpected[i].Lon);
        EXPECT_DOUBLE_EQ(geometry.Points[0].Lat, SampleExpected[i].Lat);
        EXPECT_DOUBLE_EQ(geometry.Points[0].Alt, SampleExpected[i].Alt);
    }
}

QStringList FolderListing(const QString& path) {
    return QDir(path).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
}

} // namespace

TEST(KmlLoader, ReadsPlacemarksWrittenByBothKmlWriters) {
    for (const char* file : {"sample.kml", "sample-libkml.kml"}) {
        SCOPED_TRACE(file);
        TTavrinKMZLoader loader;
        ASSERT_TRUE(loader.LoadFromFile(KmlData + file)) << loader.LastError;
        ExpectSample(loader);
    }
}

TEST(KmlLoader, ChoosesTheArchiveEntryAndReportsWhyAnArchiveFails) {
    struct Case {
        const char* File;
        bool Loaded;
        const char* Error;
    };
    const Case cases[] = {
        {"doc.kmz", true, ""},
        {"two.kmz", true, ""},   // a.kml before b.kml
        {"upper.kmz", true, ""}, // DOC.KML before a.kml
        {"subfolder.kmz", false, "No KML file found in KMZ archive"},
        {"notzip.kmz", false, "The KMZ file is not a ZIP archive"},
        {"encrypted.kmz", false, "Failed to read extracted KML file"},
        // doc.kml is a symbolic link: never followed nor read, b.kml is the document.
        {"symlink.kmz", true, ""},
        // Only "../../x.kml" and "/tmp/x.kml": neither is a top-level entry.
        {"escaping.kmz", false, "No KML file found in KMZ archive"},
        {"escaping-beside.kmz", true, ""}, // z.kml, though "../../x.kml" sorts first
        // Its doc.kml only links to the layer in layers/, which is read instead.
        {"libkml.kmz", true, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.File);
        TTavrinKMZLoader loader;
        EXPECT_EQ(loader.LoadFromFile(KmlData + c.File), c.Loaded);
        EXPECT_EQ(loader.LastError, c.Error);
        if (c.Loaded)
            ExpectSample(loader);
        EXPECT_TRUE(loader.TempFolder.empty());
    }
    TTavrinKMZLoader loader;
    EXPECT_FALSE(loader.LoadFromFile(KmlData + "missing.kml"));
    EXPECT_EQ(loader.LastError, "File not found: " + KmlData + "missing.kml");
}

TEST(KmlLoader, KmzLoadWritesNothingToDisk) {
    QTemporaryDir work;
    ASSERT_TRUE(work.isValid());
    // The working folder too is this test's own: the test executables' folder is shared.
    QTemporaryDir workingFolder;
    ASSERT_TRUE(workingFolder.isValid());
    // The temporary folder is this test's own while it loads: other tests running beside it
    // make and remove their own files in the shared one.
    const QByteArray sharedTemp = qgetenv("TMPDIR");
    qputenv("TMPDIR", work.path().toLocal8Bit());
    const QString tmp = QDir::tempPath();
    const QStringList tmpBefore = FolderListing(tmp);
    const QStringList homeBefore = FolderListing(QDir::homePath());
    const QString sharedWorkingFolder = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(workingFolder.path()));
    {
        TTavrinKMZLoader loader;
        EXPECT_TRUE(loader.LoadFromFile(KmlData + "doc.kmz"));
        EXPECT_FALSE(loader.LoadFromFile(KmlData + "subfolder.kmz"));
    }
    QDir::setCurrent(sharedWorkingFolder);
    EXPECT_EQ(FolderListing(tmp), tmpBefore);
    if (sharedTemp.isNull())
        qunsetenv("TMPDIR");
    else
        qputenv("TMPDIR", sharedTemp);
    EXPECT_EQ(FolderListing(QDir::homePath()), homeBefore);
    EXPECT_TRUE(FolderListing(workingFolder.path()).isEmpty());
}

TEST(KmlLoader, ParseCoordinatesKeepsOnlyTuplesWithBothNumbers) {
    struct Case {
        const char* Text;
        std::vector<std::array<double, 3>> Points; // lon, lat, alt
    };
    const Case cases[] = {
        {"10.5,20.25,3", {{10.5, 20.25, 3}}},
        {"10.5,20.25", {{10.5, 20.25, 0}}},
        {"0,0,100", {}},
        {"0,5", {{0, 5, 0}}},
        {"12.5", {}},
        {"10.5,20.25,3,7", {{10.5, 20.25, 0}}},
        {"10.5, 20.25", {}},
        {",20.25", {}},
        {"abc,20.25", {}},
        {"nan,20", {}},
        {"10,inf", {}},
        {"10,95", {}},
        {"190,10", {}},
        {"1,2,x", {{1, 2, 0}}},
        {"1,2\r\n3,4\t5,6   7,8\n", {{1, 2, 0}, {3, 4, 0}, {5, 6, 0}, {7, 8, 0}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Text);
        TTavrinKMZLoader loader;
        std::vector<TKMLPoint> points;
        loader.ParseCoordinates(c.Text, points);
        ASSERT_EQ(points.size(), c.Points.size());
        for (size_t i = 0; i < points.size(); ++i) {
            EXPECT_DOUBLE_EQ(points[i].Lon, c.Points[i][0]);
            EXPECT_DOUBLE_EQ(points[i].Lat, c.Points[i][1]);
            EXPECT_DOUBLE_EQ(points[i].Alt, c.Points[i][2]);
            EXPECT_EQ(points[i].X, 0);
        }
    }
}

TEST(KmlLoader, PlacemarkStructure) {
    const std::string text =
        "<kml><Placemark><name>First</name><Point><coordinates>1,2</coordinates></Point>"
        "</Placemark>"
        "<kml:Placemark id=\"x\"><kml:name> <![CDATA[A & B]]>\r\n\tC </kml:name>"
        "<LineString><coordinates>3,4 5,6</coordinates></LineString>"
        "<Point><coordinates>7,8</coordinates></Point></kml:Placemark>"
        "<PlacemarkStyle><Point><coordinates>9,9</coordinates></Point></PlacemarkStyle>"
        "<Placemark><name>Zeros</name><Point><coordinates>0,0</coordinates></Point></Placemark>"
        "<Placemark><name>Caf&#xE9; &amp; &#233;</name><description>d</description>"
        "<Polygon><outerBoundaryIs><coordinates>1,1 2,1 2,2 1,1</coordinates></outerBoundaryIs>"
        "<innerBoundaryIs><coordinates>1.5,1.5 1.6,1.5 1.5,1.5</coordinates></innerBoundaryIs>"
        "</Polygon></Placemark>"
        "<Placemark><name>Open</name><Point><coordinates>3,3</coordinates></Point>";
    TTavrinKMZLoader loader;
    int calls = 0;
    loader.OnProject = [&](double lat, double lon, double& x, double& y) {
        ++calls;
        x = lon * 10;
        y = lat * 10;
    };
    ASSERT_TRUE(loader.ParseKml(text));
    ASSERT_EQ(loader.Placemarks.size(), 3u);
    EXPECT_EQ(loader.Placemarks[0].Name, "First");
    EXPECT_EQ(loader.Placemarks[1].Name, "A & B C");
    ASSERT_EQ(loader.Placemarks[1].Geometries.size(), 2u);
    EXPECT_EQ(loader.Placemarks[1].Geometries[0].Kind, 0); // the point first
    EXPECT_EQ(loader.Placemarks[1].Geometries[1].Kind, 1);
    EXPECT_EQ(loader.Placemarks[2].Name, "Café & é");
    EXPECT_EQ(loader.Placemarks[2].Description, "d");
    ASSERT_EQ(loader.Placemarks[2].Geometries.size(), 1u);
    EXPECT_EQ(loader.Placemarks[2].Geometries[0].Points.size(), 4u); // outer ring only
    EXPECT_EQ(calls, 8);
    EXPECT_DOUBLE_EQ(loader.Placemarks[0].Geometries[0].Points[0].X, 10);
    EXPECT_DOUBLE_EQ(loader.Placemarks[0].Geometries[0].Points[0].Y, 20);
    EXPECT_EQ(loader.GetAllPoints().size(), 2u);
    EXPECT_EQ(loader.GetAllLines().size(), 2u);
    loader.ProjectAllPoints();
    EXPECT_EQ(calls, 16);
}

TEST(KmlLoader, EmptyAndUnusableDocuments) {
    TTavrinKMZLoader loader;
    EXPECT_FALSE(loader.ParseKml(""));
    EXPECT_EQ(loader.LastError, "Empty KML content");
    EXPECT_FALSE(loader.ParseKml("<Placemark><Point><coordinates>0,0</coordinates></Point>"
                                 "</Placemark>"));
    EXPECT_EQ(loader.LastError, "");
    EXPECT_TRUE(loader.Placemarks.empty());
}

TEST(KmlLoader, DecodesUtf16AndCp1254Documents) {
    EXPECT_EQ(DecodeKmlBytes("\xEF\xBB\xBFX"), "X");
    EXPECT_EQ(DecodeKmlBytes(std::string("\xFF\xFE<\0a\0", 6)), "<a");
    EXPECT_EQ(DecodeKmlBytes(std::string("\xFE\xFF\0<\0a", 6)), "<a");
    EXPECT_EQ(DecodeKmlBytes("\xDDskele"), "İskele"); // cp1254 capital dotted I
    EXPECT_EQ(DecodeKmlBytes("İskele"), "İskele");
}

TEST(KmlLoader, ArchiveEntriesNamedOutsideTheArchiveAreNeverWritten) {
    QTemporaryDir work;
    ASSERT_TRUE(work.isValid());
    ASSERT_TRUE(QDir(work.path()).mkpath("a/b"));
    // "../../x.kml" from the working folder lands in `work`; "/tmp/x.kml" is shared, so it is
    // checked only when no one else has put one there.
    const QFileInfo sharedBefore("/tmp/x.kml");
    const bool sharedExisted = sharedBefore.exists();
    const QDateTime sharedModified = sharedExisted ? sharedBefore.lastModified() : QDateTime();
    const QString cwd = QDir::currentPath();
    const QByteArray sharedTemp = qgetenv("TMPDIR");
    qputenv("TMPDIR", work.path().toLocal8Bit());
    ASSERT_TRUE(QDir::setCurrent(work.path() + "/a/b"));
    {
        TTavrinKMZLoader loader;
        EXPECT_FALSE(loader.LoadFromFile(KmlData + "escaping.kmz"));
        EXPECT_TRUE(loader.LoadFromFile(KmlData + "escaping-beside.kmz"));
        ExpectSample(loader);
    }
    QDir::setCurrent(cwd);
    if (sharedTemp.isNull())
        qunsetenv("TMPDIR");
    else
        qputenv("TMPDIR", sharedTemp);
    EXPECT_EQ(FolderListing(work.path()), QStringList{"a"});
    EXPECT_EQ(FolderListing(work.path() + "/a"), QStringList{"b"});
    EXPECT_TRUE(FolderListing(work.path() + "/a/b").isEmpty());
    const QFileInfo sharedAfter("/tmp/x.kml");
    EXPECT_EQ(sharedAfter.exists(), sharedExisted);
    if (sharedExisted) {
        EXPECT_EQ(sharedAfter.lastModified(), sharedModified);
    }
}

TEST(KmlLoader, AnEntryInflatingPastTheCapIsRefusedWithinBoundedMemory) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // 1 GiB of blanks, about 1 MB deflated: generated here rather than kept in the repository.
    const std::string path = dir.path().toStdString() + "/blank.kmz";
    const std::string command =
        "/usr/bin/python3 " TESTS_DIR "/drawing_io/make_blank_kmz.py '" + path + "'";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    const qint64 size = QFileInfo(QString::fromStdString(path)).size();
    EXPECT_GT(size, 900 * 1000);
    EXPECT_LT(size, 1200 * 1000);

    malloc_trim(0);
    ResetPeakResident(); // the peak starts again from here
    const long before = ProcessStatusKb("VmRSS");
    TTavrinKMZLoader loader;
    EXPECT_FALSE(loader.LoadFromFile(path));
    EXPECT_EQ(loader.LastError, "KML file too large");
    EXPECT_TRUE(loader.Placemarks.empty());
    const long peakGrowthKb = ProcessStatusKb("VmHWM") - before;
    RecordProperty("peak_growth_kB", std::to_string(peakGrowthKb));
    // The reader holds at most the cap in memory, never the whole inflated entry.
    if (!MemoryIsInstrumented) {
        EXPECT_LT(peakGrowthKb, long((KmlMaxBytes + 32 * 1024 * 1024) / 1024));
    }
}

TEST(KmlLoader, AKmlFileOverTheCapIsRefusedUnread) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // Sparse: it takes no room on disk, and the refusal comes before a byte is read.
    QFile big(dir.path() + "/big.kml");
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    ASSERT_TRUE(big.resize(qint64(KmlMaxBytes) + 1));
    big.close();
    TTavrinKMZLoader loader;
    EXPECT_FALSE(loader.LoadFromFile(big.fileName().toStdString()));
    EXPECT_EQ(loader.LastError, "KML file too large");
}

TEST(KmlLoader, ADocumentThatOnlyLinksElsewhereSaysSo) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile file(dir.path() + "/link.kml");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("<kml><Document><NetworkLink><Link><href> https://example.org/survey.kml "
               "</href></Link></NetworkLink></Document></kml>");
    file.close();
    TTavrinKMZLoader loader;
    EXPECT_FALSE(loader.LoadFromFile(file.fileName().toStdString()));
    EXPECT_EQ(loader.LastError,
              "the document holds no placemark; it only links to https://example.org/survey.kml");
}

TEST(KmlLoader, ADocumentPastTheImportBudgetIsRefusedBeforeItsPlacemarksAreRead) {
    // "1,1 1,1 ...": four bytes a point, which the map would hold many times over.
    std::string text = "<kml><Placemark><name>dense</name><LineString><coordinates>";
    for (int i = 0; i < 100000; ++i)
        text += "1,1 ";
    text += "</coordinates></LineString></Placemark></kml>";
    TTavrinKMZLoader loader;
    loader.MaxImportBytes = 4 << 20;
    EXPECT_FALSE(loader.ParseKml(text));
    EXPECT_TRUE(loader.Placemarks.empty());
    EXPECT_GT(loader.EstimatedImportBytes, uint64_t(4) << 20);
    EXPECT_EQ(loader.LastError, "The KML document is not imported: its shapes would take about " +
                                    ImportBudget::MemoryText(loader.EstimatedImportBytes) +
                                    " of memory, more than the 4 MB an import may take on this "
                                    "computer. The map is unchanged.");
    loader.MaxImportBytes = 0;
    EXPECT_TRUE(loader.ParseKml(text)) << "within the machine's share";
}
