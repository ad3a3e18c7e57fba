#include "FillingDisk.h"
#include "SmallFileSystem.h"
#include "SounderScanForTests.h"
#include "canvas/CanvasModel.h"
#include "platform/DataPaths.h"
#include "platform/DurableLogWriter.h"
#include "platform/EventLog.h"
#include "platform/FileIO.h"
#include "platform/ManualClock.h"
#include "survey/AcquisitionCore.h"
#include "survey/EventMark.h"
#include "survey/GeodesyLog.h"
#include "tests/support/SurveyLogColumns.h"
#include "tools/surveysim/ExampleDatum.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

namespace fs = std::filesystem;

namespace {

using Files = std::map<std::string, std::string>;

// Every file under `root`, by its path below it, with its content.
Files FilesUnder(const std::string& root) {
    Files files;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        if (entry.is_regular_file())
            files[fs::relative(entry.path(), root).string()] =
                ReadWholeFile(entry.path().string()).value_or("<unreadable>");
    return files;
}

// The files as the child of a small file system hands them out, and back.
void SaveFiles(const Files& files, const std::string& path) {
    std::ofstream out(path, std::ios::binary);
    for (const auto& [name, content] : files)
        out << name.size() << '\n' << name << content.size() << '\n' << content;
}

Files LoadFiles(const std::string& path) {
    Files files;
    std::ifstream in(path, std::ios::binary);
    size_t size = 0;
    while (in >> size) {
        in.get();
        std::string name(size, '\0');
        in.read(name.data(), std::streamsize(size));
        in >> size;
        in.get();
        std::string content(size, '\0');
        in.read(content.data(), std::streamsize(size));
        files[name] = content;
    }
    return files;
}

struct ClockScope {
    ManualClock clock;
    explicit ClockScope(LocalDateTime start) : clock(start, 1000) { Clock::install(&clock); }
    ~ClockScope() { Clock::install(nullptr); }
};

// A sounding whose raw depth (the tenth column of its survey row) numbers it: 10.001 is the
// first.
std::string Sounding(int i) {
    char line[64];
    std::snprintf(line, sizeof line, "$SDDBT,32.8,f,%.3f,M,5.4,F", 10.001 + i * 0.001);
    return line;
}

// As the log writes it: the shortest text, "10.01" for 10.010.
std::string RawDepthOf(int i) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%.3f", 10.001 + i * 0.001);
    std::string depth = digits;
    while (depth.back() == '0')
        depth.pop_back();
    return depth;
}

const SounderLineInput kDbt{"NMEA DBT", "%*6s,%*lf,%*1s,%lf", nullptr};

GeodeticSnapshot Geodetic() {
    return *GeodeticSnapshot::Take(ExampleLocalDatum());
}

// What the two runs left behind.
struct TwoRuns {
    int rows = 0;
    Files files;
    std::vector<std::string> reports;
};

// A run of ten soundings, then the disk fills; forty more wait, Stop, the room comes back,
// Start, and a second run of twenty soundings.
TwoRuns StopOnAFullDiskFreeTheRoomAndStartAgain(const std::string& folder, FillingDisk& disk) {
    ClockScope clockScope({2024, 5, 3, 10, 0, 0, 0});
    TwoRuns outcome;
    {
        AcquisitionCore core([&](const std::string& t) { outcome.reports.push_back(t); }, {},
                             ScanForTests);
        const auto run = [&](int soundings) {
            core.BeginRun({0.40, 1530, 1.5, 0.35}, Geodetic(),
                          folder + "/LOG/2024-05-03 Coordinates.csv",
                          folder + "/XYZ/2024-05-03 Simple XYZ.csv");
            disk.attach(*core.Writer());
            core.GgaApplied(40.5, 33.1, 12.0, 4, false, 90);
            for (int i = 0; i < soundings; ++i) {
                if (!core.SounderLine(Sounding(outcome.rows++), kDbt).Logged)
                    --outcome.rows;
                clockScope.clock.advance(50);
                core.GgaApplied(40.5, 33.1, 12.0, 4, false, 90);
            }
        };
        run(10);
        disk.fill();
        core.GgaApplied(40.5, 33.1, 12.0, 4, false, 90);
        for (int i = 0; i < 40; ++i) {
            core.SounderLine(Sounding(outcome.rows++), kDbt);
            clockScope.clock.advance(50);
            core.GgaApplied(40.5, 33.1, 12.0, 4, false, 90);
        }
        core.EndRun();
        disk.freeAll();
        clockScope.clock.advance(1000);
        run(20);
        core.EndRun();
    }
    outcome.files = FilesUnder(folder);
    return outcome;
}

void ExpectEveryRowOfBothRunsOnceInOrderInOneFile(const TwoRuns& outcome) {
    ASSERT_EQ(outcome.rows, 70);
    std::vector<std::string> expected;
    for (int i = 0; i < outcome.rows; ++i)
        expected.push_back(RawDepthOf(i));
    std::vector<std::string> names;
    for (const auto& [name, content] : outcome.files)
        names.push_back(name);
    EXPECT_EQ(names, (std::vector<std::string>{"LOG/2024-05-03 Coordinates.csv",
                                               "XYZ/2024-05-03 Simple XYZ.csv"}))
        << "one file each: no alternate, no empty file";
    const auto survey = outcome.files.find("LOG/2024-05-03 Coordinates.csv");
    ASSERT_NE(survey, outcome.files.end());
    EXPECT_EQ(RawDepthColumn(survey->second), expected) << survey->second;
    const auto xyz = outcome.files.find("XYZ/2024-05-03 Simple XYZ.csv");
    ASSERT_NE(xyz, outcome.files.end());
    EXPECT_EQ(std::count(xyz->second.begin(), xyz->second.end(), '\n'), outcome.rows + 1);
    const auto toldAtStop =
        std::count_if(outcome.reports.begin(), outcome.reports.end(), [](const std::string& r) {
            return r.rfind("Survey log rows not written at Stop: ", 0) == 0;
        });
    EXPECT_EQ(toldAtStop, 1) << "the survey log's rows waited at Stop";
}

TEST(WaitingForRoom, RowsWaitingAtStopAreWrittenOnceInOrderBeforeTheNextRunsRows) {
    QTemporaryDir dir;
    WriteCallDisk disk(0);
    ExpectEveryRowOfBothRunsOnceInOrderInOneFile(
        StopOnAFullDiskFreeTheRoomAndStartAgain(dir.path().toStdString(), disk));
}

TEST(WaitingForRoom, RowsWaitingAtStopOnAFullSizeLimitedFileSystemAreWrittenOnceInOrder) {
    QTemporaryDir dir;
    const std::string mountPoint = dir.path().toStdString() + "/disk";
    const std::string outcomePath = dir.path().toStdString() + "/outcome";
    fs::create_directory(mountPoint);
    const int code = RunOnASmallFileSystem(mountPoint, "256k", [&] {
        FillerFileDisk disk(mountPoint + "/filler");
        const std::string folder = mountPoint + "/day";
        fs::create_directory(folder);
        TwoRuns outcome = StopOnAFullDiskFreeTheRoomAndStartAgain(folder, disk);
        outcome.files["rows"] = std::to_string(outcome.rows);
        for (size_t i = 0; i < outcome.reports.size(); ++i)
            outcome.files["report " + std::to_string(i)] = outcome.reports[i];
        SaveFiles(outcome.files, outcomePath);
        return 0;
    });
    if (code == kCannotMountASmallFileSystem)
        GTEST_SKIP() << "no file system of a limited size can be mounted here";
    ASSERT_EQ(code, 0);
    TwoRuns outcome;
    outcome.files = LoadFiles(outcomePath);
    outcome.rows = std::stoi(outcome.files["rows"]);
    outcome.files.erase("rows");
    for (auto it = outcome.files.begin(); it != outcome.files.end();) {
        if (it->first.rfind("report ", 0) == 0) {
            outcome.reports.push_back(it->second);
            it = outcome.files.erase(it);
        } else {
            ++it;
        }
    }
    ExpectEveryRowOfBothRunsOnceInOrderInOneFile(outcome);
}

TEST(WaitingForRoom,
     ADayFolderMovedOnAFullDiskGetsTheRunsGeodesyBlockAndItsMessageOnceRoomReturns) {
    QTemporaryDir dir;
    const std::string mountPoint = dir.path().toStdString() + "/disk";
    const std::string outcomePath = dir.path().toStdString() + "/outcome";
    fs::create_directory(mountPoint);
    const int code = RunOnASmallFileSystem(mountPoint, "256k", [&] {
        // Started a second before midnight: the log made again keeps the start's name and date.
        ClockScope clockScope({2024, 5, 3, 23, 59, 59, 0});
        LogFolder = mountPoint + "/2024-05-03/LOG/";
        const std::string surveyPath = LogFolder + "2024-05-03 Coordinates.csv";
        const std::string xyzPath = mountPoint + "/2024-05-03/XYZ/2024-05-03 Simple XYZ.csv";
        const std::string geodesyPath = LogFolder + "2024-05-03 Geodesy.txt";
        MakeFolders(LogFolder);
        // As the windows do: every message also goes to the day's events log.
        const auto toEventsLog = [](const std::string& t) { AutoEventLog(t, EventsLogPath()); };
        AcquisitionCore core(toEventsLog, toEventsLog, ScanForTests);
        if (!WriteGeodesyLog(geodesyPath, Geodetic().texts(), Clock::now()))
            return 10;
        core.BeginRun({0.40, 1530, 1.5, 0.35}, Geodetic(), surveyPath, xyzPath);
        core.KeepRunFolders(geodesyPath, Clock::now());
        core.GgaApplied(40.5, 33.1, 12.0, 4, false, 90);
        if (!core.SounderLine(Sounding(0), kDbt).Logged)
            return 11;

        FillerFileDisk disk(mountPoint + "/filler");
        disk.fill();
        clockScope.clock.advance(2000);
        fs::rename(mountPoint + "/2024-05-03", mountPoint + "/moved");
        for (int i = 1; i <= 20; ++i) {
            core.GgaApplied(40.5, 33.1, 12.0, 4, false, 90);
            core.SounderLine(Sounding(i), kDbt);
            clockScope.clock.advance(50);
        }
        if (!fs::is_directory(LogFolder))
            return 12; // the folder was not made again while the disk was full

        disk.freeAll();
        clockScope.clock.advance(1000);
        core.GgaApplied(40.5, 33.1, 12.0, 4, false, 90);
        core.SounderLine(Sounding(21), kDbt);
        core.EndRun();
        AutoEventLog("Realtime STOPPED", EventsLogPath());
        SaveFiles(FilesUnder(mountPoint + "/2024-05-03"), outcomePath);
        return 0;
    });
    if (code == kCannotMountASmallFileSystem)
        GTEST_SKIP() << "no file system of a limited size can be mounted here";
    ASSERT_EQ(code, 0);
    const Files files = LoadFiles(outcomePath);
    std::string names;
    for (const auto& [name, content] : files) {
        names += name + "\n";
        EXPECT_FALSE(content.empty()) << name << ": no writer leaves an empty file";
    }
    const auto geodesy = files.find("LOG/2024-05-03 Geodesy.txt");
    ASSERT_NE(geodesy, files.end()) << "the name and date Start gave the log:\n" << names;
    EXPECT_EQ(geodesy->second.rfind("GEODETIC PARAMETERS LOG - 2024-05-03\r\n", 0), 0u)
        << geodesy->second;
    EXPECT_NE(geodesy->second.find("=== SESSION START: 235959000 ==="), std::string::npos)
        << "the run's own block, with the time it started: " << geodesy->second;
    const auto events = files.find("LOG/2024-05-04 Events.log");
    ASSERT_NE(events, files.end()) << names;
    const size_t told = events->second.find("was missing during the run and has been made again");
    EXPECT_NE(told, std::string::npos) << events->second;
    EXPECT_LT(told, events->second.find("Realtime STOPPED")) << "in the order it was told";
    const auto survey = files.find("LOG/2024-05-03 Coordinates.csv");
    ASSERT_NE(survey, files.end()) << names;
    std::vector<std::string> expected;
    for (int i = 1; i <= 21; ++i)
        expected.push_back(RawDepthOf(i));
    EXPECT_EQ(RawDepthColumn(survey->second), expected)
        << "every row after the move, once, in order";
}

// An event mark is an events-log entry like any other: on a full disk it waits behind the
// entries before it and goes in, in its place, once there is room.
TEST(WaitingForRoom, AnEventMarkMadeOnAFullDiskWaitsAndGoesInInItsPlace) {
    QTemporaryDir dir;
    const std::string mountPoint = dir.path().toStdString() + "/disk";
    const std::string outcomePath = dir.path().toStdString() + "/outcome";
    const QString settings = dir.filePath("TavrinSD.INI");
    fs::create_directory(mountPoint);
    const int code = RunOnASmallFileSystem(mountPoint, "256k", [&] {
        ClockScope clockScope({2024, 5, 3, 10, 0, 0, 0});
        const std::string eventsLog = mountPoint + "/LOG/2024-05-03 Events.log";
        MakeFolders(mountPoint + "/LOG/");
        // Filled before the log has a page of its own: an entry that fits in a page the log
        // already holds would find room.
        FillerFileDisk disk(mountPoint + "/filler");
        disk.fill();
        if (AutoEventLog("before the mark", eventsLog))
            return 10;
        CanvasModel canvas;
        const EventMarkResult mark = AddEventMark(canvas, settings, eventsLog, {});
        if (mark.logged || mark.error.find("waits in memory") == std::string::npos)
            return 11;
        AutoEventLog("after the mark", eventsLog);
        disk.freeAll();
        RetryWaitingEventsLogLines(true);
        SaveFiles(FilesUnder(mountPoint + "/LOG"), outcomePath);
        return 0;
    });
    if (code == kCannotMountASmallFileSystem)
        GTEST_SKIP() << "no file system of a limited size can be mounted here";
    ASSERT_EQ(code, 0);
    const Files files = LoadFiles(outcomePath);
    const auto events = files.find("2024-05-03 Events.log");
    ASSERT_NE(events, files.end());
    const std::string& text = events->second;
    const size_t before = text.find("before the mark");
    const size_t mark = text.find("\nEvent No:1,");
    const size_t after = text.find("after the mark");
    ASSERT_NE(mark, std::string::npos) << text;
    EXPECT_LT(before, mark) << text;
    EXPECT_LT(mark, after) << text;
    EXPECT_EQ(text.find("Event No:", mark + 2), std::string::npos) << "once: " << text;
}

// A write that stops inside the first row, and a cut back that fails as it does on a disk of
// its own kind: the file made for the row goes whatever the cut returned; a file that holds
// rows keeps them, and the failed cut is told once.
TEST(WaitingForRoom, AFileThatCannotBeCutBackIsNeverLeftTornOrEmpty) {
    for (const int cutError : {EIO, EPERM, ENOSPC}) {
        for (const bool holdsRows : {false, true}) {
            SCOPED_TRACE(std::string(std::strerror(cutError)) +
                         (holdsRows ? ", a file of rows" : ", a new file"));
            ClockScope clockScope({2024, 5, 3, 10, 0, 0, 0});
            QTemporaryDir dir;
            const std::string path = dir.path().toStdString() + "/2024-05-03 Coordinates.csv";
            std::vector<std::string> reports;
            DurableLogWriter writer([&](const std::string& t) { reports.push_back(t); });
            const int log = writer.addLog(path, "HEADER\r\n", true, "Survey log");
            if (holdsRows)
                ASSERT_TRUE(writer.append(log, "row0\r\n"));
            size_t room = 2; // "HE" of a new file's header, "ro" of a row
            writer.setWriteCall([&](int fd, const char* data, size_t size) -> ssize_t {
                if (room == 0) {
                    errno = ENOSPC;
                    return -1;
                }
                const ssize_t n = ::write(fd, data, std::min(size, room));
                room -= size_t(std::max<ssize_t>(n, 0));
                return n;
            });
            int cuts = 0;
            writer.setCutCall([&](int, off_t) {
                ++cuts;
                errno = cutError;
                return -1;
            });
            EXPECT_FALSE(writer.append(log, "row1\r\n"));
            if (!holdsRows) {
                EXPECT_FALSE(fs::exists(path)) << "a file made for a row that did not go in";
                EXPECT_FALSE(
                    fs::exists(dir.path().toStdString() + "/2024-05-03 Coordinates_1.csv"));
            }
            // A second row cut short on the same file (after the line end its torn line gets):
            // told once all the same.
            room = holdsRows ? 4 : 2;
            clockScope.clock.advance(1000);
            EXPECT_FALSE(writer.append(log, "row2\r\n"));
            const auto told =
                std::count_if(reports.begin(), reports.end(), [](const std::string& r) {
                    return r.find("cannot be taken back") != std::string::npos;
                });
            EXPECT_EQ(told, holdsRows ? 1 : 0);
            EXPECT_EQ(cuts > 0, holdsRows) << "nothing to cut in a file that is removed";

            writer.setWriteCall({});
            clockScope.clock.advance(1000);
            writer.retryPending();
            EXPECT_EQ(writer.pendingRows(log), 0u);
            const std::string content = ReadWholeFile(path).value_or("<missing>");
            if (holdsRows)
                EXPECT_EQ(content, "HEADER\r\nrow0\r\nro\r\nro\r\nrow1\r\nrow2\r\n")
                    << "the rows whole and once, after the parts that could not be taken back";
            else
                EXPECT_EQ(content, "HEADER\r\nrow1\r\nrow2\r\n") << "headed once, nothing torn";
        }
    }
}

} // namespace
