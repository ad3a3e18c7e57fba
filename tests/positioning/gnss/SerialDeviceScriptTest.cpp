// The device simulator that the serial tests and end-to-end runs rely on, and the component
// fed by it the way the program runs: scripts played per epoch, handlers that run a nested
// event loop.

#include "tests/positioning/gnss/SerialTestSupport.h"

#include "positioning/gnss/NmeaParser.h"
#include "tools/devsim/DeviceScript.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using namespace serialtest;

namespace {

// The component on the device's port, polled every 5 ms, noting every line it hands on.
void OpenNotingLines(TTavrinSerialGPS& port, SimulatedDevice& device,
                     std::vector<std::string>& lines) {
    port.PortNumber = device.portNumber();
    port.PollInterval = 5;
    port.OnNewCommand = [&lines](QObject*, const std::string& line) { lines.push_back(line); };
    port.Open();
    ASSERT_TRUE(port.Connected) << port.LastError;
}

TEST(SerialDeviceScript, ParsesEpochsCommentsAndLineEnds) {
    const DeviceScript script = DeviceScript::parse("# a receiver\r\n"
                                                    "$GPGGA,1\r\n"
                                                    "$GPRMC,1\n"
                                                    "\n"
                                                    "   \r\n"
                                                    "$GPGGA,2\n"
                                                    "SMT 12.5,13.1");
    ASSERT_EQ(script.epochs.size(), 2u);
    EXPECT_EQ(script.epochs[0], (std::vector<std::string>{"$GPGGA,1", "$GPRMC,1"}));
    EXPECT_EQ(script.epochs[1], (std::vector<std::string>{"$GPGGA,2", "SMT 12.5,13.1"}));
    EXPECT_EQ(script.lineCount(), 4u);
    EXPECT_EQ(script.bytes(), "$GPGGA,1\r\n$GPRMC,1\r\n$GPGGA,2\r\nSMT 12.5,13.1\r\n");
}

TEST(SerialDeviceScript, DemoSentencesParseCleanly) {
    NmeaFix fix;
    NmeaParser parser(fix);
    const DeviceScript gnss = DeviceScript::demoGnss(200, -33.9, -151.2);
    for (const auto& epoch : gnss.epochs)
        for (const auto& line : epoch)
            EXPECT_NE(parser.DispatchSentence(line), NmeaParser::Outcome::ChecksumError) << line;
    EXPECT_EQ(parser.refusedSentences(), 0u);
    EXPECT_NEAR(fix.Latitude, -33.9, 0.01);
    EXPECT_NEAR(fix.Longitude, -151.2, 0.01);
    EXPECT_NEAR(fix.Speed, 5.0 * 1.852, 0.5);
    const DeviceScript sounder = DeviceScript::demoSounder(10);
    EXPECT_EQ(sounder.lineCount(), 10u);
    EXPECT_EQ(sounder.epochs[0][0].rfind("$SDDPT,", 0), 0u);
}

TEST(SerialDeviceScript, AScriptPlayedPerEpochArrivesWholeAndInOrder) {
    SimulatedDevice device;
    TTavrinSerialGPS port;
    std::vector<std::string> lines;
    OpenNotingLines(port, device, lines);
    if (HasFatalFailure())
        return;
    DeviceScript script = DeviceScript::parse("$GPGGA,a\n$GPRMC,a\n\n$GPGGA,b\n\nSMT 1,2\n");
    script.lineEnd = "\n";
    std::atomic<bool> played{false};
    std::thread player([&] {
        PlayPace pace;
        pace.epochIntervalMs = 10;
        played = PlayScript(device.terminal(), script, pace);
    });
    const bool arrived = WaitUntil([&] { return lines.size() >= 4; });
    player.join();
    EXPECT_TRUE(played.load());
    ASSERT_TRUE(arrived) << lines.size();
    EXPECT_EQ(lines, (std::vector<std::string>{"$GPGGA,a", "$GPRMC,a", "$GPGGA,b", "SMT 1,2"}));
}

// A device plays whether or not the program has its port open (make demo starts the devices
// before anyone presses Start): what nobody reads is lost, the device goes on, and a port
// opened later gets the lines from then on (the first may be joined to a piece of one cut
// short when the line was full, as on a real line).
TEST(SerialDeviceScript, ADeviceNobodyReadsPlaysOnAndTheLinesAfterwardsArrive) {
    SimulatedDevice device;
    DeviceScript unread;
    for (int i = 0; i < 300; ++i)
        unread.epochs.push_back({"$GPTXT," + std::string(1000, 'x')});
    PlayPace pace;
    pace.epochIntervalMs = 0;
    pace.dropUnread = true;
    ASSERT_TRUE(PlayScript(device.terminal(), unread, pace)) << "300 kB nobody reads";

    TTavrinSerialGPS port;
    std::vector<std::string> lines;
    OpenNotingLines(port, device, lines);
    if (HasFatalFailure())
        return;
    RunEventsFor(50);
    lines.clear();
    const DeviceScript later = DeviceScript::parse("$GPGGA,later\n\n$GPHDT,later\n");
    std::thread player([&] { PlayScript(device.terminal(), later, pace); });
    player.join();
    EXPECT_TRUE(WaitUntil([&] { return !lines.empty() && lines.back() == "$GPHDT,later"; }));
}

TEST(SerialDeviceScript, AHandlerRunningANestedEventLoopStillGetsEveryLineOnceInOrder) {
    // A handler that shows a modal box lets the next poll ticks in while it waits.
    SimulatedDevice device;
    TTavrinSerialGPS port;
    port.PortNumber = device.portNumber();
    port.PollInterval = 5;
    std::vector<std::string> lines;
    port.OnNewCommand = [&](QObject*, const std::string& line) {
        lines.push_back(line);
        if (line == "first") {
            ASSERT_TRUE(device.send("second\nthird\n"));
            RunEventsFor(150);
        }
    };
    port.Open();
    ASSERT_TRUE(port.Connected) << port.LastError;
    ASSERT_TRUE(device.send("first\n"));
    ASSERT_TRUE(WaitUntil([&] { return lines.size() >= 3; }));
    RunEventsFor(50);
    EXPECT_EQ(lines, (std::vector<std::string>{"first", "second", "third"}));
    EXPECT_TRUE(port.RxBuffer.empty());
}

} // namespace
