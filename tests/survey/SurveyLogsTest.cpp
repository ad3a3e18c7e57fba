#include "FillingDisk.h"
#include "SmallFileSystem.h"
#include "platform/DurableLogWriter.h"
#include "platform/FileIO.h"
#include "platform/ManualClock.h"
#include "platform/NumberText.h"
#include "platform/NumericLocale.h"
#include "survey/GeodesyLog.h"
#include "survey/SurveyLogRows.h"
#include "tools/surveysim/ExampleDatum.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sched.h>
#include <set>
#include <string>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

SurveyLogRow GoldenRow() {
    SurveyLogRow row;
    row.Time = {2024, 5, 3, 14, 7, 9, 42};
    row.Latitude = 41.0123456789;
    row.Longitude = 1E-6;
    row.Easting = 500123.456;
    row.Northing = 4540000.004;
    row.TrueDepthHigh = 3.4;
    row.TrueDepthLow = 0;
    row.RawDepthHigh = 2.94;
    row.RawDepthLow = 0;
    row.MessageFormat = "NMEA DBT";
    row.SoundVelocity = 1530;
    row.TransducerDraft = 0.4;
    row.FixQuality = 4;
    row.AntennaHeight = 45.678;
    row.ManualTide = 0.35;
    row.RtkTide = -3.05;
    return row;
}

const char* const kGoldenLine =
    "2024-05-03 140709042,41.0123456789,0.000001,500123.46,4540000.00,-3.05,0.35,3.40,0.00,2.94,0,"
    "NMEA DBT,1530.00,0.40,4,45.68,0.35,-3.05\r\n";

TEST(SurveyLogRows, GoldenBytes) {
    EXPECT_EQ(SurveyLogLine(GoldenRow()), kGoldenLine);
    EXPECT_EQ(SimpleXyzLine(GoldenRow()), "500123.46,4540000.00,-3.05\r\n");
    SurveyLogRow midnight = GoldenRow();
    midnight.Time = {2024, 5, 4, 0, 0, 0, 0};
    EXPECT_EQ(SurveyLogLine(midnight).substr(0, 11), "2024-05-04,");
    midnight.Time.millisecond = 1;
    EXPECT_EQ(SurveyLogLine(midnight).substr(0, 20), "2024-05-04 000000001");
    EXPECT_STREQ(kSurveyLogHeader,
                 "Date,Lat,Lon,Easting,Northing,Elevation (Hi),Elevation (Lo),True Depth (Hi),"
                 "True Depth (Lo),Raw Depth (Hi),Raw Depth (Lo),Message Format,Sound Velocity,"
                 "Transducer Draft,GPS, RTK Antenna Height,Manual Tide,RTK Tide\r\n");
}

TEST(SurveyLogRows, SameBytesUnderTheTurkishLocale) {
    ASSERT_NE(std::setlocale(LC_ALL, "tr_TR.UTF-8"), nullptr)
        << "the tr_TR.UTF-8 locale is missing; `make deps` generates it";
    const std::string line = SurveyLogLine(GoldenRow());
    const std::string xyz = SimpleXyzLine(GoldenRow());
    ResetNumericLocale();
    std::setlocale(LC_ALL, "C");
    EXPECT_EQ(line, kGoldenLine);
    EXPECT_EQ(xyz, "500123.46,4540000.00,-3.05\r\n");
}

// Every field of a row, split at its commas.
std::vector<std::string> Fields(std::string row) {
    std::vector<std::string> fields;
    row.erase(row.find('\r'));
    size_t start = 0;
    for (size_t comma = row.find(','); comma != std::string::npos; comma = row.find(',', start)) {
        fields.push_back(row.substr(start, comma - start));
        start = comma + 1;
    }
    fields.push_back(row.substr(start));
    return fields;
}

TEST(SurveyLogRows, NoNumberOfARowIsWrittenInExponentForm) {
    SurveyLogRow row = GoldenRow();
    row.Latitude = -1.5e-7;
    row.Longitude = 1e-300;
    row.Easting = 1e20;
    row.Northing = -4.5e18;
    row.RawDepthHigh = 2.5e-9;
    row.RawDepthLow = 1.25e17;
    row.ManualTide = 1e300; // the elevations follow it
    row.AntennaHeight = -1e16;
    const std::string line = SurveyLogLine(row);
    const std::string xyz = SimpleXyzLine(row);
    std::vector<std::string> numbers = Fields(line);
    numbers.erase(numbers.begin() + 11); // the message format
    numbers.erase(numbers.begin());      // the date
    for (const std::string& number : Fields(xyz))
        numbers.push_back(number);
    EXPECT_EQ(numbers.size(), 16u + 3u);
    for (const std::string& number : numbers) {
        EXPECT_EQ(number.find_first_not_of("-.0123456789"), std::string::npos) << number;
        double back = 0;
        EXPECT_TRUE(ParseNumber(number, back)) << number;
    }
    const std::vector<std::string> fields = Fields(line);
    EXPECT_EQ(fields[1], "-0.00000015");
    EXPECT_EQ(fields[2], "0." + std::string(299, '0') + "1");
    EXPECT_EQ(fields[3], "100000000000000000000.00");
    EXPECT_EQ(fields[4], "-4500000000000000000.00");
    EXPECT_EQ(fields[9], "0.0000000025");
    EXPECT_EQ(fields[10], "125000000000000000");
    EXPECT_EQ(fields[15], "-10000000000000000.00");
    EXPECT_EQ(fields[16], "1" + std::string(300, '0') + ".00");
    EXPECT_EQ(xyz.substr(0, 48), "100000000000000000000.00,-4500000000000000000.00");
}

std::string Read(const std::string& path) {
    return ReadWholeFile(path).value_or("<missing>");
}

struct ClockScope {
    ManualClock clock{{2024, 5, 3, 10, 0, 0, 0}, 1000};
    ClockScope() { Clock::install(&clock); }
    ~ClockScope() { Clock::install(nullptr); }
};

TEST(DurableLogWriter, MakesTheFolderAndHeadsANewFile) {
    QTemporaryDir dir;
    const std::string path = dir.path().toStdString() + "/2024-05-03/LOG/2024-05-03 Coordinates.csv";
    DurableLogWriter writer;
    const int log = writer.addLog(path, "H\r\n", true, "Survey log");
    EXPECT_TRUE(writer.append(log, "a\r\n"));
    EXPECT_TRUE(writer.append(log, "b\r\n"));
    EXPECT_EQ(Read(path), "H\r\na\r\nb\r\n");

    // The folder deleted mid-run is made again and the file headed again.
    fs::remove_all(dir.path().toStdString() + "/2024-05-03");
    EXPECT_TRUE(writer.append(log, "c\r\n"));
    EXPECT_EQ(Read(path), "H\r\nc\r\n");
}

TEST(DurableLogWriter, GoesToTheFirstAlternateWhenTheLogIsADirectory) {
    QTemporaryDir dir;
    const std::string path = dir.path().toStdString() + "/2024-05-03 Coordinates.csv";
    fs::create_directory(path);
    std::vector<std::string> reports;
    DurableLogWriter writer([&](const std::string& t) { reports.push_back(t); });
    const int log = writer.addLog(path, "H\r\n", true, "Survey log");
    EXPECT_TRUE(writer.append(log, "a\r\n"));
    const std::string alternate = dir.path().toStdString() + "/2024-05-03 Coordinates_1.csv";
    EXPECT_EQ(writer.activePath(log), alternate);
    EXPECT_EQ(Read(alternate), "H\r\na\r\n");
    EXPECT_TRUE(reports.empty());
}

TEST(DurableLogWriter, TornLastLineGetsItsLineEndBeforeTheNextRow) {
    QTemporaryDir dir;
    const std::string path = dir.path().toStdString() + "/log.csv";
    ASSERT_TRUE(AppendToFile(path, "H\r\n1,2,3"));
    DurableLogWriter writer;
    const int log = writer.addLog(path, "H\r\n", true, "Survey log");
    EXPECT_TRUE(writer.append(log, "a\r\n"));
    EXPECT_EQ(Read(path), "H\r\n1,2,3\r\na\r\n");
}

TEST(DurableLogWriter, RowsWaitInMemoryWhileTheDiskIsFullAndAreWrittenInOrderLater) {
    if (!fs::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full";
    ClockScope clockScope;
    QTemporaryDir dir;
    const std::string path = dir.path().toStdString() + "/xyz.csv";
    fs::create_symlink("/dev/full", path);
    std::vector<std::string> reports;
    DurableLogWriter writer([&](const std::string& t) { reports.push_back(t); });
    const int log = writer.addLog(path, "H\r\n", false, "Simple XYZ log");
    for (int i = 0; i < 5; ++i) {
        EXPECT_FALSE(writer.append(log, "row" + std::to_string(i) + "\r\n"));
        clockScope.clock.advance(300);
    }
    EXPECT_EQ(writer.pendingRows(log), 5u);
    ASSERT_EQ(reports.size(), 1u) << "one report per spell";
    EXPECT_NE(reports[0].find("cannot be written"), std::string::npos);

    fs::remove(path);
    clockScope.clock.advance(1000);
    EXPECT_TRUE(writer.append(log, "row5\r\n"));
    EXPECT_EQ(Read(path), "H\r\nrow0\r\nrow1\r\nrow2\r\nrow3\r\nrow4\r\nrow5\r\n");
    EXPECT_EQ(writer.pendingRows(log), 0u);
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_NE(reports[1].find("5 rows that waited"), std::string::npos);
}

TEST(DurableLogWriter, RetriesAtMostOnceASecond) {
    if (!fs::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full";
    ClockScope clockScope;
    QTemporaryDir dir;
    const std::string path = dir.path().toStdString() + "/xyz.csv";
    fs::create_symlink("/dev/full", path);
    DurableLogWriter writer;
    const int log = writer.addLog(path, "H\r\n", false, "Simple XYZ log");
    EXPECT_FALSE(writer.append(log, "a\r\n"));
    fs::remove(path);
    clockScope.clock.advance(500);
    EXPECT_FALSE(writer.append(log, "b\r\n")) << "the next try waits for its second";
    EXPECT_FALSE(fs::exists(path));
    clockScope.clock.advance(500);
    writer.retryPending();
    EXPECT_EQ(Read(path), "H\r\na\r\nb\r\n");
}

TEST(DurableLogWriter, AKilledWriterLeavesEveryReturnedRowWhole) {
    QTemporaryDir dir;
    const std::string path = dir.path().toStdString() + "/log.csv";
    const std::string row(180, 'x');
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(fds[0]);
        DurableLogWriter writer;
        const int log = writer.addLog(path, "H\r\n", true, "Survey log");
        for (int i = 0;; ++i) {
            writer.append(log, std::to_string(i) + row + "\r\n");
            const int done = i + 1;
            if (write(fds[1], &done, sizeof done) != sizeof done)
                _exit(1);
        }
    }
    close(fds[1]);
    int returned = 0;
    int value = 0;
    while (returned < 500 && read(fds[0], &value, sizeof value) == sizeof value)
        returned = value;
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    while (read(fds[0], &value, sizeof value) == sizeof value)
        returned = value;
    close(fds[0]);
    const std::string content = Read(path);
    ASSERT_EQ(content.rfind("H\r\n", 0), 0u);
    size_t rows = 0;
    size_t start = 3;
    while (start < content.size()) {
        const size_t end = content.find("\r\n", start);
        ASSERT_NE(end, std::string::npos) << "a torn row";
        EXPECT_EQ(content.substr(start, end - start), std::to_string(rows) + row);
        ++rows;
        start = end + 2;
    }
    // Every row whose append returned is there; at most the one in flight more.
    EXPECT_GE(rows, size_t(returned));
    EXPECT_LE(rows, size_t(returned) + 1);
}


// Runs `work` in a child process whose files may grow to `limitBytes` at most (a disk that
// fills mid-write: write() takes what fits, then fails with EFBIG), so that the limit does not
// reach the other tests. `work` gets a function that sets the limit anew; the child's exit
// code is what `work` returns.
int RunWithFileSizeLimit(rlim_t limitBytes,
                         const std::function<int(const std::function<void(rlim_t)>&)>& work) {
    const pid_t child = fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const auto setLimit = [](rlim_t bytes) {
            rlimit limit {};
            getrlimit(RLIMIT_FSIZE, &limit);
            limit.rlim_cur = std::min(bytes, limit.rlim_max);
            setrlimit(RLIMIT_FSIZE, &limit);
        };
        setLimit(limitBytes);
        _exit(work(setLimit));
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string NumberedRow(int i) {
    char row[16];
    std::snprintf(row, sizeof row, "row%05d\r\n", i);
    return row;
}

TEST(DurableLogWriter, APartlyWrittenBatchReachesTheLogOnce) {
    QTemporaryDir dir;
    const std::string path = dir.path().toStdString() + "/xyz.csv";
    // Header (3 bytes) and two rows of 10 fit; the third row is cut after 5 bytes.
    const int code = RunWithFileSizeLimit(28, [&](const std::function<void(rlim_t)>& setLimit) {
        ClockScope clockScope;
        DurableLogWriter writer;
        const int log = writer.addLog(path, "H\r\n", false, "Simple XYZ log");
        for (int i = 0; i < 6; ++i)
            writer.append(log, NumberedRow(i));
        if (writer.pendingRows(log) != 4)
            return 10;
        // The batch of four waiting rows is cut in the middle of its third row: the two whole
        // rows stay, the cut one waits with the last.
        setLimit(48);
        clockScope.clock.advance(1000);
        writer.retryPending();
        if (writer.pendingRows(log) != 2)
            return 11;
        setLimit(RLIM_INFINITY);
        clockScope.clock.advance(1000);
        writer.retryPending();
        return writer.pendingRows(log) == 0 && writer.writtenRows(log) == 6 ? 0 : 12;
    });
    EXPECT_EQ(code, 0);
    std::string expected = "H\r\n";
    for (int i = 0; i < 6; ++i)
        expected += NumberedRow(i);
    EXPECT_EQ(Read(path), expected);
}

TEST(DurableLogWriter, ARowCutByAFullFileGoesWholeToOneAlternateOnly) {
    QTemporaryDir dir;
    const std::string folder = dir.path().toStdString();
    const std::string path = folder + "/Coordinates.csv";
    constexpr int kRows = 9;
    const int code = RunWithFileSizeLimit(28, [&](const std::function<void(rlim_t)>&) {
        DurableLogWriter writer;
        const int log = writer.addLog(path, "H\r\n", true, "Survey log");
        int written = 0;
        for (int i = 0; i < kRows; ++i)
            written += writer.append(log, NumberedRow(i)) ? 1 : 0;
        return written == kRows ? 0 : 10;
    });
    EXPECT_EQ(code, 0);
    std::string rows;
    for (const std::string& name : {std::string("/Coordinates.csv"), std::string("/Coordinates_1.csv"),
                                    std::string("/Coordinates_2.csv"), std::string("/Coordinates_3.csv"),
                                    std::string("/Coordinates_4.csv")}) {
        const std::string content = Read(folder + name);
        if (content == "<missing>" || content.empty())
            continue;
        ASSERT_EQ(content.rfind("H\r\n", 0), 0u) << name;
        ASSERT_EQ((content.size() - 3) % 10, 0u) << name << " holds a torn row: " << content;
        rows += content.substr(3);
    }
    std::string expected;
    for (int i = 0; i < kRows; ++i)
        expected += NumberedRow(i);
    EXPECT_EQ(rows, expected) << "every row once, in order";
    for (const auto& entry : fs::directory_iterator(folder))
        EXPECT_GT(fs::file_size(entry.path()), 3u)
            << entry.path() << ": an alternate is made only to take a row";
}

// What a survey log went through on a disk that filled and was freed in steps.
struct FillOutcome {
    int rows = 0;                 // rows appended, numbered from 0
    uint64_t waitingWhenFull = 0; // rows in memory when the first room came back
    std::vector<uint64_t> waitingAfterSteps;
    uint64_t lost = 0;
    std::vector<std::string> reports;
    std::vector<std::string> files; // "name" then content, for every file of the folder
};

// Fixed-size rows, so that a step of room cuts one of them.
std::string WideRow(int i) {
    char number[8];
    std::snprintf(number, sizeof number, "%06d", i);
    return std::string(number) + "," + std::string(41, 'x') + "\r\n";
}

constexpr char kFilledLogName[] = "2024-05-03 Coordinates.csv";

FillOutcome FillAndFreeInSteps(const std::string& folder, FillingDisk& disk) {
    ClockScope clockScope;
    FillOutcome outcome;
    {
        DurableLogWriter writer([&](const std::string& t) { outcome.reports.push_back(t); });
        disk.attach(writer);
        const int log = writer.addLog(folder + "/" + kFilledLogName, "H\r\n", true, "Survey log");
        for (; outcome.rows < 10; ++outcome.rows)
            writer.append(log, WideRow(outcome.rows));
        disk.fill();
        // Ten seconds of soundings on the full disk: ten tries of the waiting rows.
        for (; outcome.rows < 210; ++outcome.rows) {
            writer.append(log, WideRow(outcome.rows));
            clockScope.clock.advance(50);
        }
        outcome.waitingWhenFull = writer.pendingRows(log);
        for (int step = 0; step < 200 && writer.pendingRows(log) > 0; ++step) {
            disk.freeStep();
            clockScope.clock.advance(1000);
            // The survey goes on while the room comes back.
            writer.append(log, WideRow(outcome.rows++));
            outcome.waitingAfterSteps.push_back(writer.pendingRows(log));
        }
        outcome.lost = writer.lostRows(log);
    }
    for (const auto& entry : fs::directory_iterator(folder)) {
        outcome.files.push_back(entry.path().filename().string());
        outcome.files.push_back(Read(entry.path().string()));
    }
    return outcome;
}

void ExpectOneFileWithEveryRowOnce(const FillOutcome& outcome) {
    ASSERT_EQ(outcome.files.size(), 2u)
        << "one file, no alternate and no empty file; the first: " << outcome.files[0];
    EXPECT_EQ(outcome.files[0], kFilledLogName);
    std::string expected = "H\r\n";
    for (int i = 0; i < outcome.rows; ++i)
        expected += WideRow(i);
    EXPECT_EQ(outcome.files[1], expected) << "every row once, whole and in order";
    EXPECT_EQ(outcome.lost, 0u);
    ASSERT_GT(outcome.waitingWhenFull, 0u) << "the disk was full";
    ASSERT_GE(outcome.waitingAfterSteps.size(), 2u);
    EXPECT_GT(outcome.waitingAfterSteps.front(), 0u);
    EXPECT_LT(outcome.waitingAfterSteps.front(), outcome.waitingWhenFull)
        << "the rows that fit in the first room went out without waiting for room for all";
    EXPECT_EQ(outcome.waitingAfterSteps.back(), 0u);
    ASSERT_EQ(outcome.reports.size(), 2u) << "told once when it starts and once when it ends";
    EXPECT_NE(outcome.reports[0].find(std::strerror(ENOSPC)), std::string::npos)
        << outcome.reports[0];
    EXPECT_NE(outcome.reports[1].find("rows that waited in memory were written"), std::string::npos)
        << outcome.reports[1];
}

TEST(DurableLogWriter, AFullDiskFreedInStepsGetsEveryRowOnceInTheSameFileAndNoEmptyFile) {
    QTemporaryDir dir;
    // 1234 bytes of room a step: 24 rows and the start of the next.
    WriteCallDisk disk(1234);
    ExpectOneFileWithEveryRowOnce(FillAndFreeInSteps(dir.path().toStdString(), disk));
    EXPECT_EQ(disk.triedFiles, std::set<std::string>{kFilledLogName})
        << "a full disk takes no row under another name: no alternate is tried";
}

void WriteField(std::ofstream& out, const std::string& text) {
    out << text.size() << '\n' << text;
}

std::string ReadField(std::istream& in) {
    size_t size = 0;
    in >> size;
    in.get();
    std::string text(size, '\0');
    in.read(text.data(), std::streamsize(size));
    return text;
}

TEST(DurableLogWriter, AFullSizeLimitedFileSystemFreedInStepsGetsEveryRowOnceInTheSameFile) {
    QTemporaryDir dir;
    const std::string mountPoint = dir.path().toStdString() + "/disk";
    const std::string outcomePath = dir.path().toStdString() + "/outcome";
    fs::create_directory(mountPoint);
    const int code = RunOnASmallFileSystem(mountPoint, "256k", [&] {
        const std::string folder = mountPoint + "/LOG";
        fs::create_directory(folder);
        FillerFileDisk disk(mountPoint + "/filler");
        const FillOutcome outcome = FillAndFreeInSteps(folder, disk);
        std::ofstream out(outcomePath, std::ios::binary);
        out << outcome.rows << ' ' << outcome.waitingWhenFull << ' ' << outcome.lost << ' '
            << outcome.waitingAfterSteps.size() << ' ' << outcome.reports.size() << ' '
            << outcome.files.size() << '\n';
        for (const uint64_t waiting : outcome.waitingAfterSteps)
            out << waiting << '\n';
        for (const std::string& text : outcome.reports)
            WriteField(out, text);
        for (const std::string& text : outcome.files)
            WriteField(out, text);
        return out ? 0 : 1;
    });
    if (code == kCannotMountASmallFileSystem)
        GTEST_SKIP() << "no file system of a limited size can be mounted here";
    ASSERT_EQ(code, 0);
    std::ifstream in(outcomePath, std::ios::binary);
    FillOutcome outcome;
    size_t steps = 0, reports = 0, files = 0;
    in >> outcome.rows >> outcome.waitingWhenFull >> outcome.lost >> steps >> reports >> files;
    outcome.waitingAfterSteps.resize(steps);
    for (uint64_t& waiting : outcome.waitingAfterSteps)
        in >> waiting;
    for (size_t i = 0; i < reports; ++i)
        outcome.reports.push_back(ReadField(in));
    for (size_t i = 0; i < files; ++i)
        outcome.files.push_back(ReadField(in));
    ASSERT_TRUE(in) << "the child's outcome is whole";
    ExpectOneFileWithEveryRowOnce(outcome);
}

GeodeticTexts StoredTexts() {
    GeodeticTexts texts = ExampleLocalDatum();
    texts.NameOfDatum = "ED50";
    return texts;
}

TEST(GeodesyLog, FirstStartWrites29LinesTheSecond55) {
    QTemporaryDir dir;
    const std::string path = dir.path().toStdString() + "/2024-05-03 Geodesy.txt";
    const LocalDateTime first{2024, 5, 3, 9, 15, 0, 5};
    ASSERT_TRUE(WriteGeodesyLog(path, StoredTexts(), first));
    std::string content = Read(path);
    EXPECT_EQ(std::count(content.begin(), content.end(), '\n'), 29);
    EXPECT_EQ(content.rfind("GEODETIC PARAMETERS LOG - 2024-05-03\r\n"
                            "========================================\r\n\r\n"
                            "=== SESSION START: 091500005 ===\r\n\r\n--- ELLIPSOID ---\r\n"
                            "Semi-Major Axis: 6378388\r\n",
                            0),
              0u);
    EXPECT_NE(content.find("X/Y/Z Rotation: -1.2, 0.8, -2.1\r\n"), std::string::npos);
    EXPECT_NE(content.find("Use DTP: Yes\r\nX/Y/Z"), std::string::npos);
    EXPECT_NE(content.find("Use LCC: No\r\nSP1: 37, SP2: 41\r\nCP: 39, CM: 33\r\n"),
              std::string::npos);
    const std::string firstContent = content;
    ASSERT_TRUE(WriteGeodesyLog(path, StoredTexts(), {2024, 5, 3, 11, 0, 0, 0}));
    content = Read(path);
    EXPECT_EQ(std::count(content.begin(), content.end(), '\n'), 55);
    EXPECT_EQ(content.rfind(firstContent, 0), 0u) << "header and first block unchanged";
}

TEST(GeodesyLog, RewritesBareLineFeedsAndReportsAFolderItCannotWrite) {
    QTemporaryDir dir;
    const std::string path = dir.path().toStdString() + "/g.txt";
    ASSERT_TRUE(AppendToFile(path, "old 1\nold 2\n"));
    ASSERT_TRUE(WriteGeodesyLog(path, GeodeticTexts{}, {2024, 5, 3, 9, 0, 0, 0}));
    const std::string content = Read(path);
    EXPECT_EQ(content.rfind("old 1\r\nold 2\r\n=== SESSION START: ", 0), 0u);
    EXPECT_NE(content.find("X/Y/Z Rotation: , , \r\n"), std::string::npos);

    std::string error;
    EXPECT_FALSE(WriteGeodesyLog(dir.path().toStdString() + "/missing/g.txt", GeodeticTexts{},
                                 {2024, 5, 3, 9, 0, 0, 0}, &error));
    EXPECT_FALSE(error.empty());
}

} // namespace
