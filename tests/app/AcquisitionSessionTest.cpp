#include "../survey/SounderScanForTests.h"
#include "AcquisitionWindowsForTests.h"
#include "app/survey_windows/AcquisitionSession.h"
#include "platform/DataPaths.h"
#include "platform/EventLog.h"
#include "platform/FileIO.h"
#include "platform/IniFile.h"
#include "positioning/gnss/NmeaChecksum.h"
#include "positioning/gnss/TavrinSerialGPS.h"
#include "survey/MapTimerDrawingPause.h"
#include "tests/support/EventLoopWait.h"
#include "tests/support/SurveyLogColumns.h"
#include "tests/support/TestEnvironment.h"
#include "tools/devsim/PseudoTerminal.h"

#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <sstream>

namespace {

using Windows = AcquisitionWindowsForTests;

std::string Nmea(const std::string& body) {
    return "$" + body + "*" + NmeaChecksum(body) + "\r\n";
}

struct Session : ::testing::Test {
    QTemporaryDir dir;
    Windows windows;
    TTavrinSerialGPS gnss, sounder;
    QTimer map, echogram;
    std::unique_ptr<AcquisitionSession> session;
    std::string root;

    void SetUp() override {
        root = dir.path().toStdString() + "/2024-05-03/";
        LogFolder = root + "LOG/";
        XyzFolder = root + "XYZ/";
        TodayText = "2024-05-03";
        CoordinatesLogPath = LogFolder + "2024-05-03 Coordinates.csv";
        // Ports another test mapped lead nowhere now: their terminals may have been reused.
        for (int port : {11, 12})
            MapPath(port, dir.path().toStdString() + "/no-device");
        gnss.PortNumber = 11;
        sounder.PortNumber = 12;
        gnss.PollInterval = sounder.PollInterval = 5;
        session = std::make_unique<AcquisitionSession>(&gnss, &sounder, &map, &echogram, &windows,
                                                       &windows, ScanForTests);
        session->BindPorts();
    }
    void TearDown() override {
        session.reset();
        BuildDataPaths();
    }
    static void MapPath(int number, const std::string& path) {
        IniFile ini(TestEnvironment::settingsFile());
        ini.writeString(QStringLiteral("SERIAL_PORTS"), QStringLiteral("COM%1").arg(number),
                        QString::fromStdString(path));
    }
    static void MapPort(int number, const PseudoTerminal& terminal) {
        MapPath(number, terminal.devicePath());
    }
    std::string Survey() { return ReadWholeFile(CoordinatesLogPath).value_or(""); }
    // Sends the lines at once, waits until the session has had every one of them, and stops.
    void SendAndStop(PseudoTerminal& echoSounder, const std::vector<std::string>& lines) {
        std::string bytes;
        for (const std::string& line : lines)
            bytes += line;
        ASSERT_TRUE(echoSounder.write(bytes));
        ASSERT_TRUE(WaitUntil([&] { return windows.sounderLines.size() == lines.size(); }));
        session->Stop();
    }
    // Starts with both devices on pseudo-terminals and waits for the receiver's first fix.
    void StartWithAFix(PseudoTerminal& receiver, PseudoTerminal& echoSounder) {
        MapPort(11, receiver);
        MapPort(12, echoSounder);
        ASSERT_TRUE(session->Start());
        ASSERT_TRUE(receiver.write(
            Nmea("GPGGA,120000.10,4030.000,N,03306.000,E,4,12,0.8,50.0,M,10.0,M,,")));
        ASSERT_TRUE(WaitUntil([&] { return session->Core().Position.HasGga; }));
    }
};

TEST_F(Session, StartRefusesFaultyValuesBeforeOpeningAnything) {
    struct Case {
        std::function<void(Windows&)> spoil;
        std::string message;
        std::string control;
    };
    const Case cases[] = {
        {[](Windows& w) { w.setup.OffsetA = "0.35 m"; }, "Failed! Recheck offset A", "OffsetA"},
        {[](Windows& w) { w.setup.SV = "1299"; }, "Error in Sound Velocity (SV) value", "SV"},
        {[](Windows& w) { w.setup.TideHt = ""; }, "Failed! Recheck tide height", "TideHt"},
        {[](Windows& w) { w.geodetic.edIF = "298.257"; },
         "Cannot start: check the geodetic parameter \"Flattening\" in Device Settings.", "edIF"},
        {[](Windows& w) { w.geodetic.edSX = "nan"; },
         "Cannot start: check the geodetic parameter \"X Shift\" in Device Settings.", "edSX"},
        {[](Windows& w) { w.type = "nmea dbt"; }, "", "cSBESMessage"},
        {[](Windows& w) { w.formatValues = -1; }, "", "eSBESFormat"},
        {[](Windows& w) { w.formatValues = 2; }, "", "eSBESFormat"},
        // A format that reads fewer numbers than the type carries: every line would be invalid.
        {[](Windows& w) {
             w.type = "Tavrin XDR H/L";
             w.formatValues = 1;
         },
         "Cannot start: the sounder format reads 1 numbers, the type \"Tavrin XDR H/L\" needs 2.",
         "eSBESFormat"},
        {[](Windows& w) { w.format = ""; },
         "Cannot start: the sounder format reads 0 numbers, the type \"NMEA DBT\" needs 1.",
         "eSBESFormat"},
        {[](Windows& w) {
             w.type = "OTHER";
             w.format = "";
         },
         "", "eSBESFormat"},
    };
    for (const Case& c : cases) {
        Windows fresh;
        c.spoil(fresh);
        windows = fresh;
        windows.pressed = true; // the click pressed the button
        SCOPED_TRACE(c.control);
        EXPECT_FALSE(session->RealtimeClick());
        ASSERT_EQ(windows.refusals.size(), 1u);
        if (!c.message.empty())
            EXPECT_EQ(windows.refusals[0], c.message);
        EXPECT_EQ(windows.focus[0], c.control);
        EXPECT_FALSE(windows.pressed) << "a refusal releases the button";
        EXPECT_FALSE(windows.running);
        EXPECT_FALSE(session->Running());
        EXPECT_FALSE(std::filesystem::exists(LogFolder)) << "nothing is written";
    }
    // The same values with the sensor off do not look at the sounder.
    windows = Windows();
    windows.sensorEnabled = false;
    windows.type = "unknown";
    EXPECT_TRUE(session->RealtimeClick());
    session->Stop();
}

TEST_F(Session, APortPageThatDoesNotApplyStopsStartBeforeAnythingIsWritten) {
    PseudoTerminal receiver;
    MapPort(11, receiver);
    windows.portPagesApply = false;
    windows.pressed = true; // the click pressed the button
    EXPECT_FALSE(session->RealtimeClick());
    EXPECT_TRUE(windows.refusals.empty()) << "the device settings have said why";
    EXPECT_FALSE(windows.pressed);
    EXPECT_FALSE(windows.running);
    EXPECT_FALSE(session->Running());
    EXPECT_FALSE(gnss.Connected);
    EXPECT_FALSE(std::filesystem::exists(LogFolder)) << "no geodesy entry for a run that never was";
    EXPECT_TRUE(windows.events.empty());
}

TEST_F(Session, AGeodesyLogThatCannotBeWrittenStopsStart) {
    std::filesystem::create_directories(root);
    ASSERT_TRUE(AppendToFile(root + "LOG", "a file where the folder belongs"));
    EXPECT_FALSE(session->Start());
    ASSERT_EQ(windows.refusals.size(), 1u);
    EXPECT_EQ(windows.refusals[0].rfind("Cannot start: the geodesy log cannot be written", 0), 0u);
    EXPECT_FALSE(session->Running());
}

TEST_F(Session, StartAndStopWriteTheEventsInOrder) {
    PseudoTerminal receiver, echoSounder;
    MapPort(11, receiver);
    MapPort(12, echoSounder);
    MarkMapTimerPausedByDrawing();
    ASSERT_TRUE(session->RealtimeClick());
    EXPECT_TRUE(gnss.Connected);
    EXPECT_TRUE(sounder.Connected);
    EXPECT_TRUE(windows.pressed);
    EXPECT_TRUE(windows.running);
    EXPECT_TRUE(echogram.isActive());
    EXPECT_EQ(windows.memo, std::vector<std::string>{"ZSENSOR Open called on port: COM12"});
    EXPECT_FALSE(session->RealtimeClick());
    EXPECT_FALSE(MapTimerPausedByDrawing());
    EXPECT_EQ(windows.events, (std::vector<std::string>{"Connected to GPS on COM11",
                                                         "Realtime STARTED",
                                                         "Disconnected from GPS on COM11",
                                                         "Realtime STOPPED"}));
    EXPECT_FALSE(windows.pressed);
    EXPECT_FALSE(echogram.isActive());
    const auto geodesy = ReadWholeFile(LogFolder + TodayString() + " Geodesy.txt");
    ASSERT_TRUE(geodesy);
    EXPECT_NE(geodesy->find("Semi-Major Axis: 6378388\r\n"), std::string::npos);
}

TEST_F(Session, PortsThatDoNotOpenAreReportedAndStartGoesOn) {
    gnss.PortNumber = 19; // nothing behind it
    sounder.PortNumber = 20;
    IniFile(TestEnvironment::settingsFile())
        .writeString(QStringLiteral("SERIAL_PORTS"), QStringLiteral("COM19"),
                     QString::fromStdString(dir.path().toStdString() + "/no-such-device"));
    IniFile(TestEnvironment::settingsFile())
        .writeString(QStringLiteral("SERIAL_PORTS"), QStringLiteral("COM20"),
                     QString::fromStdString(dir.path().toStdString() + "/no-such-device"));
    ASSERT_TRUE(session->Start());
    ASSERT_GE(windows.messages.size(), 2u);
    EXPECT_EQ(windows.messages[0].first.rfind("Cannot open GPS on COM19: ", 0), 0u);
    EXPECT_TRUE(windows.messages[0].second);
    EXPECT_EQ(windows.messages[1].first.rfind("ZSENSOR Open failed: ", 0), 0u);
    EXPECT_TRUE(windows.memo.empty());
    session->Stop();
    EXPECT_EQ(windows.events.back(), "Realtime STOPPED");
    EXPECT_EQ(windows.events[windows.events.size() - 2], "Realtime STARTED");
}

TEST_F(Session, EverySoundingIsLoggedOnceWithTheFixOfItsTime) {
    PseudoTerminal receiver, echoSounder;
    MapPort(11, receiver);
    MapPort(12, echoSounder);
    windows.alert = 0.706;
    ASSERT_TRUE(session->Start());

    // A sounding before the first GGA is shown, not logged.
    ASSERT_TRUE(echoSounder.write("$SDDBT,32.8,f,10.0,M,5.4,F\r\n"));
    ASSERT_TRUE(WaitUntil([&] { return session->Core().SoundingsNotLogged() == 1; }));

    // A GGA with a wrong checksum and a far position is never used.
    std::string wrong = Nmea("GPGGA,120000.00,4100.000,N,03500.000,E,4,12,0.8,50.0,M,10.0,M,,");
    wrong[wrong.size() - 3] = wrong[wrong.size() - 3] == '0' ? '1' : '0';
    ASSERT_TRUE(receiver.write(wrong));
    ASSERT_TRUE(receiver.write(
        Nmea("GPGGA,120000.10,4030.000,N,03306.000,E,4,12,0.8,50.0,M,10.0,M,,")));
    ASSERT_TRUE(WaitUntil([&] { return session->Core().Position.HasGga; }));
    EXPECT_TRUE(map.isActive()) << "the first GNSS line after Start starts the map";
    EXPECT_NEAR(session->Core().Position.Longitude, 33.1, 1e-9);

    ASSERT_TRUE(echoSounder.write("$SDDBT,32.8,f,10.0,M,5.4,F\r\n$SDDBT,32.8,f,,M,5.4,F\r\n"
                                  "$SDDBT,32.8,f,0.3,M,5.4,F\r\n"));
    ASSERT_TRUE(WaitUntil([&] { return session->Core().SoundingsLogged() == 2; }));
    session->Stop();
    const std::string survey = Survey();
    EXPECT_EQ(std::count(survey.begin(), survey.end(), '\n'), 3) << survey;
    EXPECT_NE(survey.find(",40.5,33.1,"), std::string::npos);
    EXPECT_NE(survey.find(",10.60,0.00,10,0,NMEA DBT,1530.00,0.40,4,60.00,0.35,58.50\r\n"),
              std::string::npos)
        << survey;
    EXPECT_EQ(windows.alerts, (std::vector<bool>{false, false, true}))
        << "at or above the alert depth: 0.3 m x 1530 / 1500 + 0.4 = 0.706 m";
    EXPECT_NE(std::find(windows.events.begin(), windows.events.end(),
                        "Soundings not logged without a GNSS position: 1"),
              windows.events.end());
}

TEST_F(Session, OnlyTheGoodLinesOfASounderSendingCorruptLinesAreLoggedOnce) {
    PseudoTerminal receiver, echoSounder;
    ASSERT_NO_FATAL_FAILURE(StartWithAFix(receiver, echoSounder));

    const std::string nul(1, '\0');
    const std::vector<std::string> lines = {
        Nmea("SDDBT,32.8,f,10.0,M,5.4,F"),
        Nmea("SDDBT,1.0,f,1e308,M,1.0,F"),            // finite, but not once corrected
        "$SDDBT,32.8,f,10.1,M,5.4,F\r\n",             // no checksum: read as it is
        "$SDDBT,1.0,f,7" + nul + ".5,M,1.0,F*00\r\n", // a NUL in the number, a wrong checksum
        Nmea("SDDBT,32.8,f,10.2,M,5.4,F"),
        "$SDDBT,32.8,f,7.5,M,5.4,F*00\r\n",         // a wrong checksum
        Nmea("SDDBT,1.0,f,7" + nul + ".5,M,1.0,F"), // a NUL the checksum cannot see
        Nmea("SDDBT,1.0,f,12000.01,M,1.0,F"),
        Nmea("SDDBT,32.8,f,10.3,M,5.4,F"),
    };
    ASSERT_NO_FATAL_FAILURE(SendAndStop(echoSounder, lines));

    const std::string survey = Survey();
    EXPECT_EQ(RawDepthColumn(survey), (std::vector<std::string>{"10", "10.1", "10.2", "10.3"}))
        << survey;
    for (const char* bad : {"INF", "inf", "NAN", "nan", "7.5", "12000"})
        EXPECT_EQ(survey.find(bad), std::string::npos) << bad;
    EXPECT_EQ(std::count(survey.begin(), survey.end(), '\n'), 5) << survey;
    const std::string xyz = ReadWholeFile(XyzFolder + "2024-05-03 Simple XYZ.csv").value_or("");
    EXPECT_EQ(std::count(xyz.begin(), xyz.end(), '\n'), 5) << xyz;
    const std::vector<double> good = {10.0, 10.1, 10.2, 10.3};
    ASSERT_EQ(windows.shownDepths.size(), good.size()) << "only the good depths are shown";
    for (size_t i = 0; i < good.size(); ++i)
        EXPECT_NEAR(windows.shownDepths[i], good[i] * 1530 / 1500 + 0.4, 1e-9);
    const auto told = std::count_if(windows.messages.begin(), windows.messages.end(), [](auto& m) {
        return m.first.rfind("Sounder line refused, not logged or shown: ", 0) == 0 && m.second;
    });
    EXPECT_EQ(told, 3) << "once for each reason";
    EXPECT_NE(std::find(windows.events.begin(), windows.events.end(),
                        "Sounder lines refused: 5 (wrong checksum 1, NUL byte 2, stray byte 0, "
                        "depth out of range 2)"),
              windows.events.end());
    EXPECT_FALSE(std::any_of(windows.messages.begin(), windows.messages.end(), [](auto& m) {
        return m.first.rfind("Sounder lines do not match", 0) == 0;
    }));
}

TEST_F(Session, EveryDamagedSounderLineIsRefusedToldOnceAndCountedAtStop) {
    PseudoTerminal receiver, echoSounder;
    ASSERT_NO_FATAL_FAILURE(StartWithAFix(receiver, echoSounder));

    const std::string body = "SDDBT,16.40,f,8.10,M,2.74,F";
    const std::string right = Nmea(body); // CR LF included
    const std::string sum = right.substr(right.size() - 4, 2);
    const std::string wrong = "$" + body + (sum == "00" ? "*01" : "*00");
    std::string lower = right;
    for (size_t i = lower.size() - 4; i < lower.size() - 2; ++i)
        lower[i] = char(std::tolower(static_cast<unsigned char>(lower[i])));
    const std::string nul(1, '\0');
    const std::vector<std::string> lines = {
        Nmea("SDDBT,32.8,f,10.0,M,5.4,F"),
        // Damaged checksums.
        "$" + body + "*" + sum.substr(0, 1) + "\r\n",
        "$" + body + "*" + sum + "A\r\n",
        "$" + body + "*G1\r\n",
        "$" + body + "*\r\n",
        wrong + "X\r\n",
        wrong + "\xFF\r\n",
        wrong + "\x7F\r\n",
        Nmea("SDDBT,32.8,f,10.1,M,5.4,F"),
        // Bytes that cannot be in a sentence, and noise before one.
        "$SDDBT,16.40,f,8.10" + nul + "\r\n",
        "$SDDBT,16.40,f,8.1" + std::string(1, '\xFF') + "09,M,2.74,F\r\n",
        "\xFF" + Nmea("SDDBT,32.8,f,10.2,M,5.4,F"),
        "\x7F" + Nmea("SDDBT,32.8,f,10.3,M,5.4,F"),
        // Beyond any sea, the other way.
        Nmea("SDDBT,1.0,f,-1e300,M,1.0,F"),
        Nmea("SDDBT,1.0,f,-12001,M,1.0,F"),
        // Depth texts that are no finite number.
        Nmea("SDDBT,1.0,f,nan,M,1.0,F"),
        Nmea("SDDBT,1.0,f,NaN,M,1.0,F"),
        Nmea("SDDBT,1.0,f,inf,M,1.0,F"),
        Nmea("SDDBT,1.0,f,-inf,M,1.0,F"),
        Nmea("SDDBT,1.0,f,Infinity,M,1.0,F"),
        Nmea("SDDBT,1.0,f,1e400,M,1.0,F"),
        Nmea("SDDBT,1.0,f,-1e400,M,1.0,F"),
        Nmea("SDDBT,1.0,f,nan(123),M,1.0,F"),
        // Read as they always were.
        lower,
        Nmea("SDDBT,32.8,f,10.4,M,5*4,F"),
        "$SDDBT,32.8,f,10.5,M,5.4,F\r\n",
    };
    ASSERT_NO_FATAL_FAILURE(SendAndStop(echoSounder, lines));

    const std::string survey = Survey();
    EXPECT_EQ(RawDepthColumn(survey),
              (std::vector<std::string>{"10", "10.1", "10.2", "10.3", "8.1", "10.4", "10.5"}))
        << survey;
    // Every number of every row in plain digits: no exponent, no INF or NAN.
    std::istringstream rows(survey);
    std::string row;
    std::getline(rows, row);
    while (std::getline(rows, row)) {
        std::istringstream fields(row.substr(0, row.find('\r')));
        std::string field;
        for (int i = 0; std::getline(fields, field, ','); ++i) {
            if (i != 0 && i != 11) { // the date and the message format
                EXPECT_EQ(field.find_first_not_of("-.0123456789"), std::string::npos)
                    << field << " in " << row;
            }
        }
    }
    const std::string xyz = ReadWholeFile(XyzFolder + "2024-05-03 Simple XYZ.csv").value_or("");
    EXPECT_EQ(std::count(xyz.begin(), xyz.end(), '\n'), 8) << xyz;
    EXPECT_EQ(windows.shownDepths.size(), 7u) << "only the good depths are shown";
    std::vector<std::string> told;
    for (const auto& [text, shown] : windows.messages)
        if (text.rfind("Sounder line refused, not logged or shown: ", 0) == 0 && shown)
            told.push_back(text);
    EXPECT_EQ(told.size(), 4u) << "once for each reason";
    EXPECT_EQ(session->Core().SounderLinesRefused(), 19u);
    EXPECT_NE(std::find(windows.events.begin(), windows.events.end(),
                        "Sounder lines refused: 19 (wrong checksum 7, NUL byte 1, stray byte 1, "
                        "depth out of range 10)"),
              windows.events.end())
        << "the count at Stop is every line refused";
}

TEST_F(Session, NoSoundingIsLoggedWithThePositionOfAReceiverThatHasGone) {
    PseudoTerminal receiver, echoSounder;
    ASSERT_NO_FATAL_FAILURE(StartWithAFix(receiver, echoSounder));
    ASSERT_TRUE(echoSounder.write(Nmea("SDDBT,32.8,f,10.0,M,5.4,F")));
    ASSERT_TRUE(WaitUntil([&] { return session->Core().SoundingsLogged() == 1; }));

    // Unplugged: the fix is well under 3 s old, but no sounding may take it any more.
    receiver.hangUp();
    ASSERT_TRUE(WaitUntil([&] {
        return std::find(windows.events.begin(), windows.events.end(),
                         "Disconnected from GPS on COM11") != windows.events.end();
    }));
    ASSERT_TRUE(echoSounder.write(Nmea("SDDBT,32.8,f,10.1,M,5.4,F") +
                                  Nmea("SDDBT,32.8,f,10.2,M,5.4,F") +
                                  Nmea("SDDBT,32.8,f,10.3,M,5.4,F")));
    ASSERT_TRUE(WaitUntil([&] { return session->Core().SoundingsNotLogged() == 3; }));
    EXPECT_EQ(windows.shownDepths.size(), 4u) << "shown, not logged";
    session->Stop();

    EXPECT_EQ(RawDepthColumn(Survey()), std::vector<std::string>{"10"}) << Survey();
    const auto disconnected =
        std::find(windows.events.begin(), windows.events.end(), "Disconnected from GPS on COM11");
    EXPECT_NE(std::find(disconnected, windows.events.end(),
                        "Soundings not logged without a GNSS position: 3"),
              windows.events.end());
    EXPECT_EQ(session->Core().SoundingsLogged(), 1u);
}

TEST_F(Session, SounderLinesThatNeverMatchTheTypeAreReportedOnce) {
    PseudoTerminal echoSounder;
    MapPort(12, echoSounder);
    windows.type = "NMEA DPT";
    ASSERT_TRUE(session->Start());
    std::string lines;
    for (int i = 0; i < 120; ++i)
        lines += "$SDDBT,32.8,f,10.0,M,5.4,F\r\n";
    ASSERT_TRUE(echoSounder.write(lines));
    ASSERT_TRUE(sounder.Connected) << sounder.LastError;
    ASSERT_TRUE(WaitUntil([&] { return !windows.messages.empty(); })) << windows.events.size();
    RunEventsFor(50);
    const auto count = std::count_if(windows.messages.begin(), windows.messages.end(), [](auto& m) {
        return m.first == "Sounder lines do not match the type \"NMEA DPT\"";
    });
    EXPECT_EQ(count, 1);
    session->Stop();
}

// The windows, with every message also in the events log, as the main window writes it.
struct WindowsWithEventsLog : Windows {
    void Message(const std::string& text, bool show) override {
        Windows::Message(text, show);
        AutoEventLog(text, EventsLogPath());
    }
};

// The content of the one file in `folder` whose name ends with `suffix` (the date before it is
// the date of writing).
std::optional<std::string> DatedFile(const std::string& folder, const std::string& suffix) {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        if (name.size() >= suffix.size() &&
            name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)
            return ReadWholeFile(entry.path().string());
    }
    return std::nullopt;
}

std::string FromSessionStart(const std::optional<std::string>& geodesy) {
    if (!geodesy)
        return "<missing>";
    const size_t block = geodesy->find("=== SESSION START: ");
    return block == std::string::npos ? *geodesy : geodesy->substr(block);
}

TEST_F(Session, ADayFolderMovedDuringARunIsMadeAgainWithTheRunsGeodesyAndTheOperatorToldOnce) {
    PseudoTerminal receiver, echoSounder;
    MapPort(11, receiver);
    MapPort(12, echoSounder);
    WindowsWithEventsLog logged;
    // The session goes before the windows it reports to, whatever ends the test.
    const auto endSession = qScopeGuard([&] { session.reset(); });
    session = std::make_unique<AcquisitionSession>(&gnss, &sounder, &map, &echogram, &logged,
                                                   &logged, ScanForTests);
    session->BindPorts();
    ASSERT_TRUE(session->Start());
    ASSERT_TRUE(
        receiver.write(Nmea("GPGGA,120000.10,4030.000,N,03306.000,E,4,12,0.8,50.0,M,10.0,M,,")));
    ASSERT_TRUE(WaitUntil([&] { return session->Core().Position.HasGga; }));
    ASSERT_TRUE(echoSounder.write("$SDDBT,32.8,f,10.0,M,5.4,F\r\n"));
    ASSERT_TRUE(WaitUntil([&] { return session->Core().SoundingsLogged() == 1; }));

    const std::string moved = dir.path().toStdString() + "/moved";
    std::filesystem::rename(root.substr(0, root.size() - 1), moved);
    ASSERT_TRUE(echoSounder.write("$SDDBT,32.8,f,11.0,M,5.4,F\r\n$SDDBT,32.8,f,12.0,M,5.4,F\r\n"));
    ASSERT_TRUE(WaitUntil([&] { return session->Core().SoundingsLogged() == 3; }));

    const std::string toldText = "was missing during the run and has been made again";
    const auto told =
        std::count_if(logged.messages.begin(), logged.messages.end(), [&](const auto& m) {
            return m.first.find(toldText) != std::string::npos && m.second;
        });
    EXPECT_EQ(told, 1) << "one folder lost, one message, shown";
    const auto events = DatedFile(LogFolder, " Events.log");
    ASSERT_TRUE(events) << "the new folder has its events log";
    EXPECT_NE(events->find(toldText), std::string::npos) << *events;

    const auto geodesy = DatedFile(LogFolder, " Geodesy.txt");
    ASSERT_TRUE(geodesy) << "the new folder has its geodesy log";
    EXPECT_EQ(geodesy->rfind("GEODETIC PARAMETERS LOG - ", 0), 0u) << *geodesy;
    EXPECT_EQ(FromSessionStart(geodesy),
              FromSessionStart(DatedFile(moved + "/LOG", " Geodesy.txt")))
        << "the run's own block, with the time it started";

    const auto lines = [](const std::string& text) {
        return std::count(text.begin(), text.end(), '\n');
    };
    EXPECT_EQ(lines(Survey()), 3) << "the header and the two rows after the move";
    EXPECT_EQ(lines(ReadWholeFile(XyzFolder + TodayText + " Simple XYZ.csv").value_or("")), 3);
    EXPECT_EQ(lines(ReadWholeFile(moved + "/LOG/2024-05-03 Coordinates.csv").value_or("")), 2)
        << "the row before the move stays where it went";
    session->Stop();
}

} // namespace
