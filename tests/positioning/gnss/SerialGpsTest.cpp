// The serial port component on real pseudo-terminals: opening, line cutting, the raw log,
// the watchdog, writes and a device that goes away.

#include "tests/positioning/gnss/SerialTestSupport.h"

#include "platform/Clock.h"
#include "platform/FileIO.h"
#include "platform/ManualClock.h"
#include "platform/RepeatedErrorGuard.h"
#include "platform/SerialPort.h"
#include "positioning/gnss/NmeaChecksum.h"
#include "positioning/gnss/NmeaParser.h"
#include "positioning/gnss/TavrinSerialGPS.h"
#include "tools/devsim/DeviceScript.h"

#include <QTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <fcntl.h>
#include <functional>
#include <stdexcept>
#include <termios.h>
#include <thread>
#include <unistd.h>

using namespace serialtest;

namespace {

std::string WithChecksum(const std::string& body) {
    return "$" + body + "*" + NmeaChecksum(body);
}

const std::string Gga1 =
    WithChecksum("GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,");
const std::string Gga2 =
    WithChecksum("GPGGA,123520,4807.040,N,01131.002,E,4,12,0.8,545.6,M,46.9,M,,");
const std::string Rmc =
    WithChecksum("GPRMC,123520,A,4807.040,N,01131.002,E,010.0,084.4,230394,003.1,W");

// Every event of a port, in the order raised, as short texts.
struct Recorder {
    std::vector<std::string> events;
    std::vector<std::string> lines;

    void bind(TTavrinSerialGPS& port) {
        port.OnConnect = [this](QObject*, int p) { events.push_back("connect " + N(p)); };
        port.OnDisconnect = [this](QObject*, int p) { events.push_back("disconnect " + N(p)); };
        port.OnIdle = [this](QObject*) { events.push_back("idle"); };
        port.OnNewCommand = [this](QObject*, const std::string& line) {
            lines.push_back(line);
            events.push_back("line " + line);
        };
        port.OnSend = [this](QObject*, const std::string& text) {
            events.push_back("send " + text);
        };
        port.OnPosition3DChange = [this](QObject*, long double, long double, long double) {
            events.push_back("position");
        };
        port.OnSpeedChange = [this](QObject*, long double) { events.push_back("speed"); };
    }
    int count(const std::string& prefix) const {
        int n = 0;
        for (const auto& e : events)
            n += e.rfind(prefix, 0) == 0;
        return n;
    }
    static std::string N(int n) { return std::to_string(n); }
};

class SerialGps : public ::testing::Test {
protected:
    void SetUp() override {
        port.PortNumber = device.portNumber();
        port.PollInterval = 10;
        recorder.bind(port);
    }
    // Opens the port and stops its poll timer, so that the test decides when a poll reads.
    void OpenForManualPolls() {
        port.Open();
        ASSERT_TRUE(port.Connected) << port.LastError;
        port.PollTimer->stop();
    }

    SimulatedDevice device;
    TTavrinSerialGPS port;
    Recorder recorder;
};

TEST_F(SerialGps, OpenConnectsOnceAndASecondOpenDoesNothing) {
    port.Open();
    ASSERT_TRUE(port.Connected) << port.LastError;
    EXPECT_TRUE(port.Handle && port.Handle->isOpen());
    EXPECT_TRUE(port.PollTimer->isActive());
    EXPECT_TRUE(port.WatchdogTimer->isActive());
    EXPECT_TRUE(port.LastError.empty());
    port.Open();
    EXPECT_EQ(recorder.events, (std::vector<std::string>{"connect 7"}));
}

TEST_F(SerialGps, LinesAreDeliveredByThePollTimer) {
    port.Open();
    ASSERT_TRUE(port.Connected) << port.LastError;
    ASSERT_TRUE(device.send(Gga1 + "\r\n"));
    ASSERT_TRUE(WaitUntil([&] { return recorder.lines.size() == 1; }));
    EXPECT_EQ(recorder.lines[0], Gga1);
    EXPECT_NEAR(port.GetLatitude(), 48.1173, 1e-9);
    EXPECT_NEAR(port.GetLongitude(), 11.0 + 31.0 / 60.0, 1e-9);
    EXPECT_EQ(port.GetFixQuality(), 1);
    EXPECT_EQ(port.GetSatellites(), 8);
}

TEST_F(SerialGps, ALineSplitAcrossPollsIsHandledOnceAfterItsSecondPart) {
    port.Open();
    ASSERT_TRUE(port.Connected) << port.LastError;
    const std::string first = Gga1.substr(0, 30), second = Gga1.substr(30) + "\r\n";
    ASSERT_TRUE(device.send(first));
    ASSERT_TRUE(WaitUntil([&] { return port.RxBuffer == first; }));
    EXPECT_TRUE(recorder.lines.empty());
    ASSERT_TRUE(device.send(second));
    ASSERT_TRUE(WaitUntil([&] { return recorder.lines.size() == 1; }));
    RunEventsFor(50);
    EXPECT_EQ(recorder.lines, (std::vector<std::string>{Gga1}));
    EXPECT_EQ(recorder.count("position"), 1);
    EXPECT_TRUE(port.RxBuffer.empty());
}

TEST_F(SerialGps, LinesOfOneReadGoThroughLogEventAndParserInOrder) {
    port.NmeaLog = true;
    port.LogFileName = device.folder() + "/raw.log";
    // At each line event: is the line in the raw log already, and has the parser run yet?
    port.OnNewCommand = [&](QObject* sender, const std::string& line) {
        EXPECT_EQ(sender, &port);
        const auto log = ReadWholeFile(port.LogFileName).value_or("");
        recorder.events.push_back(std::string("line ") +
                                  (log.find(line) != std::string::npos ? "logged" : "not logged"));
        recorder.events.push_back("latitude " + std::to_string(port.GetLatitude()));
    };
    OpenForManualPolls();
    const std::string bytes = Gga1 + "\r\n" + Gga2 + "\r\n" + Rmc + "\r\n";
    ASSERT_TRUE(device.send(bytes));
    ASSERT_TRUE(PollOnceWhenQueued(port, static_cast<int>(bytes.size())));
    EXPECT_EQ(recorder.events,
              (std::vector<std::string>{"connect 7", "line logged", "latitude 0.000000", "position",
                                        "line logged", "latitude 48.117300", "position",
                                        "line logged", "latitude 48.117333", "speed"}));
    EXPECT_EQ(ReadWholeFile(port.LogFileName).value_or(""), Gga1 + "\n" + Gga2 + "\n" + Rmc + "\n");
}

TEST_F(SerialGps, BlankLinesAreDroppedWithoutLogOrEvent) {
    port.NmeaLog = true;
    port.LogFileName = device.folder() + "/raw.log";
    OpenForManualPolls();
    const std::string bytes = "   \r\n\r\n\t \x01\n\n" + Gga1 + "\r\n";
    ASSERT_TRUE(device.send(bytes));
    ASSERT_TRUE(PollOnceWhenQueued(port, static_cast<int>(bytes.size())));
    EXPECT_EQ(recorder.lines, (std::vector<std::string>{Gga1}));
    EXPECT_EQ(ReadWholeFile(port.LogFileName).value_or(""), Gga1 + "\n");
}

TEST_F(SerialGps, LeadingBlanksAreTrimmedButAnyOtherPrefixStopsTheParser) {
    OpenForManualPolls();
    const std::string bytes = "  \t" + Rmc + "  \r\n" + "x" + Gga1 + "\r\n";
    ASSERT_TRUE(device.send(bytes));
    ASSERT_TRUE(PollOnceWhenQueued(port, static_cast<int>(bytes.size())));
    EXPECT_EQ(recorder.lines, (std::vector<std::string>{Rmc, "x" + Gga1}));
    EXPECT_NEAR(port.Speed, 18.52, 1e-9);
    EXPECT_EQ(recorder.count("position"), 0);
}

TEST_F(SerialGps, OnePollDrainsFarMoreThanOneKilobyte) {
    OpenForManualPolls();
    std::string bytes;
    while (bytes.size() < 3000)
        bytes += Gga1 + "\r\n";
    ASSERT_TRUE(device.send(bytes));
    ASSERT_TRUE(PollOnceWhenQueued(port, static_cast<int>(bytes.size())));
    EXPECT_EQ(recorder.lines.size() * (Gga1.size() + 2), bytes.size());
    EXPECT_EQ(QueuedBytes(port.Handle->descriptor()), 0);
}

TEST_F(SerialGps, NulBytesAreDroppedAloneNotTheRestOfTheRead) {
    OpenForManualPolls();
    const std::string bytes = Gga1.substr(0, 10) + std::string(1, '\0') + Gga1.substr(10) + "\r\n" +
                              std::string(2, '\0') + Rmc + "\r\n";
    ASSERT_TRUE(device.send(bytes));
    ASSERT_TRUE(PollOnceWhenQueued(port, static_cast<int>(bytes.size())));
    EXPECT_EQ(recorder.lines, (std::vector<std::string>{Gga1, Rmc}));
}

TEST_F(SerialGps, APortThatKeepsNulBytesTrimsOnlyBlanksAndLineEndsForItsReader) {
    port.KeepNulBytes = true;
    OpenForManualPolls();
    const std::string nul(1, '\0');
    // "7\0.5" may have been "75.5": dropping the NUL would make a wrong number of it.
    const std::string inside = "$SDDBT,1.0,f,7" + nul + ".5,M,1.0,F";
    // Cut off after "8.10": the NUL may stand for the 5 of 8.105, so it stays for the reader.
    const std::string cut = "$SDDBT,16.40,f,8.10" + nul;
    const std::string stray = "\x01\xFF" + Rmc + "\x03\x7F";
    const std::string bytes =
        nul + nul + inside + "\r\n" + " \t" + cut + " \r\r\n" + stray + "\t\r\n";
    ASSERT_TRUE(device.send(bytes));
    ASSERT_TRUE(PollOnceWhenQueued(port, static_cast<int>(bytes.size())));
    EXPECT_EQ(recorder.lines, (std::vector<std::string>{nul + nul + inside, cut, stray}))
        << "only blanks and line ends are trimmed; a NUL or another control byte at an end "
           "stays for the reader to refuse the line or drop the noise before its $";
}

TEST_F(SerialGps, APortThatDropsNulBytesTrimsEveryControlByteAtTheEnds) {
    OpenForManualPolls();
    const std::string bytes = "\x01\x02" + Gga1 + "\x03\r\n";
    ASSERT_TRUE(device.send(bytes));
    ASSERT_TRUE(PollOnceWhenQueued(port, static_cast<int>(bytes.size())));
    EXPECT_EQ(recorder.lines, (std::vector<std::string>{Gga1}));
}

TEST_F(SerialGps, ReceiveBufferStaysBoundedAndRestartsAtALineBoundary) {
    OpenForManualPolls();
    // A device that never sends a line feed (carriage returns only) followed by a good line:
    // nothing of the endless line may reach the handlers, not even its tail.
    const std::string noise = "$GPTXT,01,01,02,endless line without a line feed\r";
    std::string chunk;
    for (int i = 0; i < 20; ++i)
        chunk += noise;
    size_t sent = 0;
    while (sent < 100'000) {
        ASSERT_TRUE(device.send(chunk));
        sent += chunk.size();
        ASSERT_TRUE(PollOnceWhenQueued(port, 1));
        EXPECT_LE(port.RxBuffer.size(), 4096u);
    }
    while (QueuedBytes(port.Handle->descriptor()) > 0)
        port.PollPort();
    EXPECT_TRUE(recorder.lines.empty());
    ASSERT_TRUE(device.send(noise + "\n" + Gga1 + "\r\n"));
    ASSERT_TRUE(WaitUntil([&] {
        port.PollPort();
        return !recorder.lines.empty();
    }));
    EXPECT_EQ(recorder.lines, (std::vector<std::string>{Gga1}));
    EXPECT_EQ(port.OverlongLines(), 1u);
}

TEST_F(SerialGps, AnUnfinishedLineOfTheLongestLengthStaysWhole) {
    OpenForManualPolls();
    const std::string longest(TTavrinSerialGPS::MaxLineLength, 'a');
    ASSERT_TRUE(device.send(longest));
    ASSERT_TRUE(WaitUntil([&] {
        port.PollPort();
        return port.RxBuffer.size() == longest.size();
    }));
    ASSERT_TRUE(device.send("\n"));
    ASSERT_TRUE(WaitUntil([&] {
        port.PollPort();
        return !recorder.lines.empty();
    }));
    EXPECT_EQ(recorder.lines, (std::vector<std::string>{longest}));
    EXPECT_EQ(port.OverlongLines(), 0u);
}

TEST_F(SerialGps, AnExceptionInALineHandlerEndsThatLineOnly) {
    QStringList reports;
    RepeatedErrorGuard::setSink([&](const QString& text) { reports << text; });
    int calls = 0;
    port.OnNewCommand = [&](QObject*, const std::string& line) {
        ++calls;
        if (line.find("BAD") != std::string::npos)
            throw std::runtime_error("cannot use " + line);
        recorder.lines.push_back(line);
    };
    OpenForManualPolls();
    const std::string bytes = "BAD1\r\n" + Gga1 + "\r\nBAD2\r\n" + Rmc + "\r\npartial";
    ASSERT_TRUE(device.send(bytes));
    ASSERT_TRUE(PollOnceWhenQueued(port, static_cast<int>(bytes.size())));
    RepeatedErrorGuard::setSink(nullptr);
    EXPECT_EQ(calls, 4);
    EXPECT_EQ(recorder.lines, (std::vector<std::string>{Gga1, Rmc}));
    EXPECT_NEAR(port.GetLatitude(), 48.1173, 1e-9);
    EXPECT_NEAR(port.Speed, 18.52, 1e-9);
    EXPECT_EQ(port.RxBuffer, "partial");
    ASSERT_EQ(reports.size(), 2); // each bad line follows a good one: two spells
    EXPECT_TRUE(reports[0].contains(QStringLiteral("COM7"))) << reports[0].toStdString();
    EXPECT_TRUE(reports[0].contains(QStringLiteral("cannot use BAD1")));
}

TEST_F(SerialGps, WatchdogRaisesIdleOncePerSilentSpell) {
    port.WatchdogInterval = 200;
    port.Open();
    ASSERT_TRUE(port.Connected) << port.LastError;
    ASSERT_TRUE(WaitUntil([&] { return recorder.count("idle") == 1; }));
    RunEventsFor(700); // several more silent intervals
    EXPECT_EQ(recorder.count("idle"), 1);
    ASSERT_TRUE(device.send(Gga1 + "\r\n"));
    ASSERT_TRUE(WaitUntil([&] { return recorder.lines.size() == 1; }));
    ASSERT_TRUE(WaitUntil([&] { return recorder.count("idle") == 2; }));
    RunEventsFor(700);
    EXPECT_EQ(recorder.count("idle"), 2);
    // The line arrived between the two idle reports.
    const auto line = std::find(recorder.events.begin(), recorder.events.end(), "line " + Gga1);
    EXPECT_EQ(std::count(recorder.events.begin(), line, "idle"), 1);
}

TEST_F(SerialGps, WatchdogIntervalIsAtLeastTwiceThePollInterval) {
    struct Case {
        int poll, watchdog, expected;
    };
    for (const Case c :
         {Case{400, 100, 800}, Case{50, 10000, 10000}, Case{0, 0, 10000}, Case{8000, 0, 16000}}) {
        port.PollInterval = c.poll;
        port.WatchdogInterval = c.watchdog;
        port.Open();
        ASSERT_TRUE(port.Connected) << port.LastError;
        EXPECT_EQ(port.WatchdogTimer->interval(), c.expected) << c.poll << " " << c.watchdog;
        EXPECT_EQ(port.PollTimer->interval(), c.poll < 1 ? 50 : c.poll);
        port.Close();
    }
}

TEST_F(SerialGps, CloseResetsTheFixAndRaisesDisconnectOnlyWhenOpen) {
    port.Close();
    EXPECT_TRUE(recorder.events.empty());
    OpenForManualPolls();
    const std::string bytes = Gga1 + "\r\n" + Rmc + "\r\n";
    ASSERT_TRUE(device.send(bytes));
    ASSERT_TRUE(PollOnceWhenQueued(port, static_cast<int>(bytes.size())));
    ASSERT_NE(port.Latitude, 0);
    ASSERT_NE(port.Course, 0);
    auto handle = port.Handle;
    port.Close();
    EXPECT_FALSE(port.Connected);
    EXPECT_FALSE(port.Handle);
    EXPECT_FALSE(port.PollTimer->isActive());
    EXPECT_FALSE(port.WatchdogTimer->isActive());
    for (const double value :
         {port.Latitude, port.Longitude, port.Altitude, port.Speed, port.Course})
        EXPECT_EQ(value, 0);
    EXPECT_EQ(port.FixQuality, 0);
    EXPECT_EQ(port.Satellites, 0);
    EXPECT_EQ(recorder.count("disconnect 7"), 1);
    // A holder of the channel (the corrections forwarder) is refused from now on.
    EXPECT_EQ(handle->write("x", 1), -1);
    port.Close();
    EXPECT_EQ(recorder.count("disconnect"), 1);
}

TEST_F(SerialGps, ReopenAfterCloseStartsAFreshSession) {
    OpenForManualPolls();
    const std::string bytes = Gga1 + "\r\n$GPGGA,unfinished";
    ASSERT_TRUE(device.send(bytes));
    ASSERT_TRUE(PollOnceWhenQueued(port, static_cast<int>(bytes.size())));
    port.Close();
    EXPECT_FALSE(port.RxBuffer.empty());
    port.Open();
    ASSERT_TRUE(port.Connected) << port.LastError;
    EXPECT_TRUE(port.RxBuffer.empty());
    ASSERT_TRUE(device.send(Gga2 + "\r\n"));
    ASSERT_TRUE(WaitUntil([&] { return recorder.lines.size() == 2; }));
    EXPECT_EQ(recorder.lines[1], Gga2);
    EXPECT_EQ(recorder.count("connect 7"), 2);
}

TEST_F(SerialGps, ASecondComponentOnTheSamePortIsRefused) {
    port.Open();
    ASSERT_TRUE(port.Connected) << port.LastError;
    TTavrinSerialGPS other;
    other.PortNumber = device.portNumber();
    bool connected = false;
    other.OnConnect = [&](QObject*, int) { connected = true; };
    other.Open();
    EXPECT_FALSE(other.Connected);
    EXPECT_FALSE(connected);
    EXPECT_FALSE(other.Handle);
    EXPECT_NE(other.LastError.find("in use"), std::string::npos) << other.LastError;
    port.Close();
    other.Open();
    EXPECT_TRUE(other.Connected) << other.LastError;
}

TEST_F(SerialGps, AFailedOpenLeavesAReadableReasonAndRaisesNothing) {
    struct Case {
        std::string device;
        int dataBitsIndex;
        std::string reason;
    };
    const std::string regularFile = device.folder() + "/not-a-port";
    ASSERT_TRUE(WriteFileAtomically(regularFile, "text"));
    const std::vector<Case> cases = {
        {device.folder() + "/missing", 4, "device missing"},
        {regularFile, 4, "not a serial port"},
        {device.terminal().linkPath(), 0, "data bits"},
    };
    for (const auto& c : cases) {
        IniFile(AppPaths::settingsFile())
            .writeString("SERIAL_PORTS", "COM7", QString::fromStdString(c.device));
        port.DataBitsIndex = c.dataBitsIndex;
        port.Open();
        EXPECT_FALSE(port.Connected) << c.device;
        EXPECT_FALSE(port.Handle);
        EXPECT_FALSE(port.PollTimer->isActive());
        EXPECT_NE(port.LastError.find("COM7"), std::string::npos) << port.LastError;
        EXPECT_NE(port.LastError.find(c.reason), std::string::npos) << port.LastError;
    }
    EXPECT_TRUE(recorder.events.empty());
}

TEST(SerialGpsSettings, FieldsBecomeLineSettings) {
    using Parity = SerialLineSettings::Parity;
    using StopBits = SerialLineSettings::StopBits;
    struct Case {
        int dataBitsIndex, stopBitsIndex, parityIndex;
        int dataBits;
        StopBits stopBits;
        Parity parity;
        bool parityChecking;
    };
    const Case cases[] = {
        {4, 1, 0, 8, StopBits::One, Parity::None, false},
        {3, 2, 1, 7, StopBits::OneAndHalf, Parity::Odd, true},
        {2, 3, 2, 6, StopBits::Two, Parity::Even, true},
        {1, 0, 3, 5, StopBits::One, Parity::Mark, true},
        {4, 7, 4, 8, StopBits::One, Parity::Space, true},
        {4, 1, 5, 8, StopBits::One, Parity::Unchanged, true},
        {0, 1, -1, 4, StopBits::One, Parity::Unchanged, true},
    };
    for (const Case& c : cases) {
        TTavrinSerialGPS port;
        port.BaudRate = 14400;
        port.DataBitsIndex = c.dataBitsIndex;
        port.StopBitsIndex = c.stopBitsIndex;
        port.ParityIndex = c.parityIndex;
        port.DTR = true;
        const SerialLineSettings settings = port.LineSettings();
        EXPECT_EQ(settings.baudRate, 14400);
        EXPECT_EQ(settings.dataBits, c.dataBits) << c.dataBitsIndex;
        EXPECT_EQ(settings.stopBits, c.stopBits) << c.stopBitsIndex;
        EXPECT_EQ(settings.parity, c.parity) << c.parityIndex;
        EXPECT_EQ(settings.parityChecking, c.parityChecking) << c.parityIndex;
        EXPECT_TRUE(settings.dtr);
        EXPECT_FALSE(settings.rts);
    }
}

TEST_F(SerialGps, TheFieldsReachTheTerminal) {
    // A pseudo-terminal keeps what it can emulate: the rate, the stop bits, the parity kind
    // and checking, the raw mode. It forces 8 data bits and no parity generation whatever is
    // asked, so those two are checked above on the settings handed to the port.
    struct Case {
        int baud, stopBitsIndex, parityIndex;
        bool twoStopBits;
        tcflag_t parityKind; // PARODD | CMSPAR
    };
    const Case cases[] = {
        {9600, 1, 0, false, 0},        {115200, 3, 2, true, 0},
        {14400, 2, 1, true, PARODD},   {4800, 9, 3, false, PARODD | CMSPAR},
        {230400, 1, 4, false, CMSPAR}, {250000, 1, 0, false, 0},
    };
    for (const Case& c : cases) {
        port.BaudRate = c.baud;
        port.StopBitsIndex = c.stopBitsIndex;
        port.ParityIndex = c.parityIndex;
        port.DTR = port.RTS = true; // a pseudo-terminal has no modem lines: must not matter
        port.Open();
        ASSERT_TRUE(port.Connected) << port.LastError;
        const int probe =
            ::open(device.terminal().devicePath().c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK);
        ASSERT_GE(probe, 0);
        termios t{};
        ASSERT_EQ(::tcgetattr(probe, &t), 0);
        SerialLineSettings settings;
        std::string error;
        ASSERT_TRUE(SerialPort::readSettings(probe, settings, error)) << error;
        ::close(probe);
        EXPECT_EQ(settings.baudRate, c.baud);
        EXPECT_EQ((t.c_cflag & CSTOPB) != 0, c.twoStopBits) << c.baud;
        EXPECT_EQ(t.c_cflag & (PARODD | CMSPAR), c.parityKind) << c.baud;
        EXPECT_EQ((t.c_iflag & INPCK) != 0, c.parityIndex != 0) << c.baud;
        EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ISIG), 0u);
        EXPECT_EQ(t.c_iflag & (ICRNL | IXON | ISTRIP), 0u);
        EXPECT_EQ(t.c_oflag & OPOST, 0u);
        port.Close();
    }
}

TEST_F(SerialGps, TheFarEndVanishingIsReportedAsADisconnection) {
    port.Open();
    ASSERT_TRUE(port.Connected) << port.LastError;
    ASSERT_TRUE(device.send(Gga1 + "\r\n"));
    ASSERT_TRUE(WaitUntil([&] { return recorder.lines.size() == 1; }));
    device.terminal().hangUp();
    ASSERT_TRUE(WaitUntil([&] { return !port.Connected; }));
    EXPECT_EQ(recorder.count("disconnect 7"), 1);
    EXPECT_FALSE(port.PollTimer->isActive());
    EXPECT_FALSE(port.WatchdogTimer->isActive());
    EXPECT_NE(port.LastError.find("went away"), std::string::npos) << port.LastError;
    RunEventsFor(100);
    EXPECT_EQ(recorder.count("disconnect"), 1);
}

// A quiet port stops its poll timer and sleeps until bytes arrive, so a survey between two
// lines costs no wake-ups; the bytes are read at once and the timer runs until the port is
// quiet again. A far end that goes away while the port sleeps still wakes it.
TEST_F(SerialGps, AQuietPortSleepsUntilBytesArriveAndWakesForThemAndForAHangUp) {
    port.Open();
    ASSERT_TRUE(port.Connected) << port.LastError;
    ASSERT_TRUE(WaitUntil([&] { return port.WaitingForBytes(); }));
    EXPECT_FALSE(port.PollTimer->isActive());
    for (int line = 1; line <= 3; ++line) {
        ASSERT_TRUE(device.send(Gga1 + "\r\n"));
        ASSERT_TRUE(WaitUntil([&] { return recorder.lines.size() == size_t(line); }));
        ASSERT_TRUE(WaitUntil([&] { return port.WaitingForBytes(); })) << "line " << line;
        EXPECT_FALSE(port.PollTimer->isActive());
    }
    EXPECT_EQ(recorder.lines, (std::vector<std::string>{Gga1, Gga1, Gga1}));
    EXPECT_TRUE(port.WatchdogTimer->isActive());

    device.terminal().hangUp();
    ASSERT_TRUE(WaitUntil([&] { return !port.Connected; }));
    EXPECT_EQ(recorder.count("disconnect 7"), 1);
    EXPECT_FALSE(port.WaitingForBytes());
    RunEventsFor(50);
    EXPECT_EQ(recorder.count("disconnect"), 1);
}

TEST_F(SerialGps, WriteLineSendsTheTextUnchangedAndRaisesSend) {
    EXPECT_FALSE(port.WriteLine("$PTEST,1\r\n")); // closed: nothing, no event
    port.Open();
    ASSERT_TRUE(port.Connected) << port.LastError;
    const std::string text = "$PTEST,1\r\n";
    EXPECT_TRUE(port.WriteLine(text));
    EXPECT_EQ(device.terminal().read(text.size(), 10000), text);
    EXPECT_EQ(recorder.events, (std::vector<std::string>{"connect 7", "send " + text}));
}

TEST_F(SerialGps, AFailedWriteRaisesNoSendEvent) {
    port.Open();
    ASSERT_TRUE(port.Connected) << port.LastError;
    // Nobody reads the device's end: more than the terminal buffers cannot go out in time.
    const std::string block(4 << 20, 'x');
    EXPECT_FALSE(port.WriteLine(block));
    EXPECT_EQ(recorder.count("send"), 0);
    EXPECT_NE(port.LastError.find("write failed"), std::string::npos) << port.LastError;
}

TEST_F(SerialGps, RawLogLinesCarryDateAndTimeWhenAsked) {
    ManualClock clock(LocalDateTime{2024, 5, 1, 13, 4, 5, 123});
    Clock::install(&clock);
    port.NmeaLog = true;
    port.LogFileName = device.folder() + "/LOG/raw.log"; // the folder is made when missing
    OpenForManualPolls();
    ASSERT_TRUE(device.send(Gga1 + "\r\n"));
    ASSERT_TRUE(PollOnceWhenQueued(port, static_cast<int>(Gga1.size()) + 2));
    port.LogTimestamps = true; // read for every line
    ASSERT_TRUE(device.send(Rmc + "\r\n"));
    ASSERT_TRUE(PollOnceWhenQueued(port, static_cast<int>(Rmc.size()) + 2));
    port.NmeaLog = false;
    ASSERT_TRUE(device.send(Gga2 + "\r\n"));
    ASSERT_TRUE(PollOnceWhenQueued(port, static_cast<int>(Gga2.size()) + 2));
    Clock::install(nullptr);
    EXPECT_EQ(ReadWholeFile(port.LogFileName).value_or(""),
              Gga1 + "\n2024-05-01 13:04:05.123 " + Rmc + "\n");
    EXPECT_EQ(recorder.lines.size(), 3u);
}

TEST_F(SerialGps, ARawLogThatCannotBeOpenedLeavesThePortWorking) {
    QStringList reports;
    RepeatedErrorGuard::setSink([&](const QString& text) { reports << text; });
    port.NmeaLog = true;
    port.LogFileName = device.folder() + "/no-such-file-here/"; // a folder name: cannot open
    port.Open();
    RepeatedErrorGuard::setSink(nullptr);
    ASSERT_TRUE(port.Connected) << port.LastError;
    ASSERT_EQ(reports.size(), 1);
    EXPECT_TRUE(reports[0].contains(QStringLiteral("cannot open"))) << reports[0].toStdString();
    ASSERT_TRUE(device.send(Gga1 + "\r\n"));
    ASSERT_TRUE(WaitUntil([&] { return recorder.lines.size() == 1; }));
}

TEST_F(SerialGps, PositionAndSpeedEventsCarryTheParsedValues) {
    long double latitude = 0, longitude = 0, altitude = 0, speed = 0;
    QObject* sender = nullptr;
    port.OnPosition3DChange = [&](QObject* s, long double lat, long double lon, long double alt) {
        sender = s;
        latitude = lat;
        longitude = lon;
        altitude = alt;
    };
    port.OnSpeedChange = [&](QObject*, long double kmh) { speed = kmh; };
    OpenForManualPolls();
    const std::string bytes = Gga1 + "\r\n" + Rmc + "\r\n";
    ASSERT_TRUE(device.send(bytes));
    ASSERT_TRUE(PollOnceWhenQueued(port, static_cast<int>(bytes.size())));
    EXPECT_EQ(sender, &port);
    EXPECT_NEAR(static_cast<double>(latitude), 48.1173, 1e-9);
    EXPECT_NEAR(static_cast<double>(longitude), 11.516666666666667, 1e-9);
    EXPECT_NEAR(static_cast<double>(altitude), 545.4, 1e-9);
    EXPECT_NEAR(static_cast<double>(speed), 18.52, 1e-9);
    EXPECT_NEAR(static_cast<double>(port.GetCourse()), 84.4, 1e-9);
}

TEST_F(SerialGps, EveryAppliedGgaIsAnnouncedEvenWhenThePositionStays) {
    int positions = 0, ggas = 0;
    port.OnPosition3DChange = [&](QObject*, long double, long double, long double) { ++positions; };
    port.OnGgaApplied = [&](QObject* s) {
        EXPECT_EQ(s, &port);
        ++ggas;
    };
    OpenForManualPolls();
    std::string damaged = Gga1;
    damaged.replace(damaged.find(",N,"), 3, ",X,");
    const std::string bytes = Gga1 + "\r\n" + Gga1 + "\r\n" + Rmc + "\r\n" + damaged + "\r\n";
    ASSERT_TRUE(device.send(bytes));
    ASSERT_TRUE(PollOnceWhenQueued(port, static_cast<int>(bytes.size())));
    EXPECT_EQ(positions, 1);
    EXPECT_EQ(ggas, 2) << "the unchanged GGA counts, the RMC and the damaged GGA do not";
}

TEST_F(SerialGps, AHandlerThatClosesThePortEndsTheRemainingLines) {
    port.OnNewCommand = [&](QObject*, const std::string& line) {
        recorder.lines.push_back(line);
        port.Close();
    };
    OpenForManualPolls();
    const std::string bytes = Gga1 + "\r\n" + Gga2 + "\r\n";
    ASSERT_TRUE(device.send(bytes));
    ASSERT_TRUE(PollOnceWhenQueued(port, static_cast<int>(bytes.size())));
    EXPECT_EQ(recorder.lines, (std::vector<std::string>{Gga1}));
    EXPECT_EQ(port.Latitude, 0); // closed before the parser ran: the fix stays cleared
    EXPECT_EQ(recorder.count("position"), 0);
}

TEST_F(SerialGps, DestructionRaisesNothing) {
    std::vector<std::string> events;
    {
        TTavrinSerialGPS owned;
        owned.PortNumber = device.portNumber();
        owned.OnDisconnect = [&](QObject*, int) { events.push_back("disconnect"); };
        owned.Open();
        ASSERT_TRUE(owned.Connected) << owned.LastError;
    }
    EXPECT_TRUE(events.empty());
    // The port was closed and its lock released.
    port.Open();
    EXPECT_TRUE(port.Connected) << port.LastError;
}

TEST_F(SerialGps, AReceiverAt115200BaudIsFollowedWithoutLoss) {
    const DeviceScript script = DeviceScript::demoGnss(40); // 160 lines, about 11 KB
    port.PollInterval = 50;
    port.Open();
    ASSERT_TRUE(port.Connected) << port.LastError;
    std::atomic<bool> played{false};
    std::thread player([&] {
        PlayPace pace;
        pace.mode = PlayPace::Mode::PerByte;
        pace.baudRate = 115200;
        played = PlayScript(device.terminal(), script, pace);
    });
    const bool allArrived =
        WaitUntil([&] { return recorder.lines.size() >= script.lineCount(); }, 30000);
    player.join();
    ASSERT_TRUE(played.load());
    ASSERT_TRUE(allArrived) << recorder.lines.size() << " of " << script.lineCount();
    std::vector<std::string> expected;
    for (const auto& epoch : script.epochs)
        expected.insert(expected.end(), epoch.begin(), epoch.end());
    EXPECT_EQ(recorder.lines, expected);
    EXPECT_EQ(port.ChecksumErrors(), 0u);
    EXPECT_EQ(port.RefusedSentences(), 0u);
    EXPECT_EQ(port.GetFixQuality(), 4);
}

// The owner binds its handlers by name, the way the main window does.
struct Owner {
    std::vector<std::string> log;
    void ZGPS1Connect(QObject*, int port) { log.push_back("Connected to GPS on COM" + N(port)); }
    void ZGPS1Disconnect(QObject*, int port) { log.push_back("Disconnected COM" + N(port)); }
    void ZGPS1NewCommand(QObject*, const std::string& line) { log.push_back(line); }
    void ZGPS1Position3DChange(QObject*, long double lat, long double, long double) {
        log.push_back("position " + std::to_string(static_cast<double>(lat)));
    }
    static std::string N(int n) { return std::to_string(n); }
};

TEST_F(SerialGps, HandlersOfAnOwnerBindByName) {
    Owner owner;
    port.OnConnect = std::bind_front(&Owner::ZGPS1Connect, &owner);
    port.OnDisconnect = std::bind_front(&Owner::ZGPS1Disconnect, &owner);
    port.OnNewCommand = std::bind_front(&Owner::ZGPS1NewCommand, &owner);
    port.OnPosition3DChange = std::bind_front(&Owner::ZGPS1Position3DChange, &owner);
    port.Open();
    ASSERT_TRUE(port.Connected) << port.LastError;
    ASSERT_TRUE(device.send(Gga1 + "\r\n"));
    ASSERT_TRUE(WaitUntil([&] { return owner.log.size() == 3; }));
    port.Close();
    EXPECT_EQ(owner.log, (std::vector<std::string>{"Connected to GPS on COM7", Gga1,
                                                   "position 48.117300", "Disconnected COM7"}));
}

TEST(SerialGpsNames, PortNumberFromName) {
    const std::pair<std::string, int> cases[] = {
        {"com3", 3},  {"7", 7},   {"COM25", 20}, {"COM0", 1}, {"", 1},
        {" COM3", 1}, {"COM", 1}, {"COM-4", 1},  {"COMX", 1}, {"20", 20},
    };
    for (const auto& [text, number] : cases)
        EXPECT_EQ(TTavrinSerialGPS::PortNumberFromName(text), number) << '"' << text << '"';
    EXPECT_EQ(TTavrinSerialGPS::PortName(12), "COM12");
}

TEST(SerialGpsNames, ValidBaudRate) {
    for (const int rate :
         {110, 300, 600, 1200, 2400, 4800, 9600, 14400, 19200, 38400, 57600, 115200, 230400})
        EXPECT_EQ(TTavrinSerialGPS::ValidBaudRate(rate), rate);
    for (const int rate : {56000, 128000, 256000, 0, -9600, 9601})
        EXPECT_EQ(TTavrinSerialGPS::ValidBaudRate(rate), 9600) << rate;
}

} // namespace
