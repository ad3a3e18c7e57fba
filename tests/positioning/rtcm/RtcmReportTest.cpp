#include "positioning/rtcm/RtcmReport.h"
#include "platform/FileIO.h"
#include "platform/NumberText.h"
#include "positioning/rtcm/RtcmBaseStationLog.h"
#include "positioning/rtcm/RtcmCaptureWalk.h"
#include "tests/positioning/rtcm/RtcmTestFrames.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

RtcmReportContext FixedContext() {
    RtcmReportContext context;
    context.noted = LocalDateTime{2025, 6, 14, 9, 30, 15, 678};
    context.standardOffsetMinutes = 180;
    context.vesselLatitude = 40.8;
    context.vesselLongitude = 28.75;
    context.vesselAltitude = 12.3;
    context.manualPosition = false;
    return context;
}

std::vector<std::string> Report(const std::string& capture,
                                const RtcmReportContext& context = FixedContext()) {
    return BuildRtcmReportLines(capture, WalkRtcmCapture(capture), context);
}

bool Has(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// The lines from `title` up to the next empty line.
std::vector<std::string> Section(const std::vector<std::string>& lines, const std::string& title) {
    auto from = std::find(lines.begin(), lines.end(), title);
    if (from == lines.end())
        return {};
    auto to = std::find(from, lines.end(), std::string());
    return {from, to};
}

TEST(RtcmReportTest, GoldenReportOfTheMainFixture) {
    const std::vector<std::string> expected = SplitLogLines(RtcmFixture("base2417_report.txt"));
    ASSERT_GT(expected.size(), 50u);
    EXPECT_EQ(Report(RtcmFixture("base2417.rtcm3")), expected);
}

TEST(RtcmReportTest, TimeZoneTextKeepsTheMinusSignUnderOneHourWest) {
    EXPECT_EQ(RtcmTimeZoneText(-30), "GMT-00:30");
    EXPECT_EQ(RtcmTimeZoneText(-59), "GMT-00:59");
}

TEST(RtcmReportTest, TimeZoneTextOfWholeAndPartHours) {
    const std::pair<int, const char*> cases[] = {
        {0, "GMT+00:00"},    {180, "GMT+03:00"},  {-300, "GMT-05:00"}, {345, "GMT+05:45"},
        {-570, "GMT-09:30"}, {-720, "GMT-12:00"}, {840, "GMT+14:00"},  {30, "GMT+00:30"},
    };
    for (const auto& [offset, text] : cases)
        EXPECT_EQ(RtcmTimeZoneText(offset), text) << offset;
    RtcmReportContext context = FixedContext();
    context.standardOffsetMinutes = -30;
    EXPECT_EQ(Report(std::string(6, '\0'), context)[1], "2025-06-14 09:30:15 GMT-00:30");
}

TEST(RtcmReportTest, DistanceAndBearingToTheBase) {
    // On the equator with the station to the west; due north on one meridian; due east.
    RtcmDistanceAndBearing db = VesselToBaseDistanceAndBearing(0, 10, 0, 9);
    EXPECT_EQ(FormatFixed(db.bearing, 1, 10), "270.0");
    EXPECT_NEAR(db.distance, 6371000.0 * 3.141592653589793 / 180, 1e-6);
    db = VesselToBaseDistanceAndBearing(40, 29, 40.1, 29);
    EXPECT_EQ(FormatFixed(db.bearing, 1, 10), "0.0");
    EXPECT_NEAR(db.distance, 6371000.0 * 0.1 * 3.141592653589793 / 180, 1e-6);
    db = VesselToBaseDistanceAndBearing(0, 0, 0, 0.01);
    EXPECT_EQ(FormatFixed(db.bearing, 1, 10), "90.0");
    db = VesselToBaseDistanceAndBearing(-33.9, 151.2, -34.0, 151.1);
    EXPECT_GT(db.bearing, 180);
    EXPECT_LT(db.bearing, 270);
    // Same place: no distance, and still a bearing inside 0 to 360.
    db = VesselToBaseDistanceAndBearing(41, 29, 41, 29);
    EXPECT_EQ(db.distance, 0);
    EXPECT_GE(db.bearing, 0);
    EXPECT_LT(db.bearing, 360);
}

TEST(RtcmReportTest, DistanceLinesSwitchUnitsAndWarnByDistance) {
    // Vessel north of the station by a chosen arc: the station of the main fixture.
    const std::string capture = RtcmFixture("base2417_moved.rtcm3");
    const RtcmCaptureSummary summary = WalkRtcmCapture(capture);
    ASSERT_TRUE(summary.positionValid);
    struct Case {
        double metres;
        const char* distance;
        const char* remark; // the line after the empty line, or "" for none
    };
    const Case cases[] = {
        {999.94, "Distance to Base: 999.9 m", ""},
        {1000.0, "Distance to Base: 1.00 km", ""},
        {19999.0, "Distance to Base: 20.00 km", ""},
        {20001.0, "Distance to Base: 20.00 km",
         "NOTE: Distance > 20 km - Consider using closer base station"},
        {34999.0, "Distance to Base: 35.00 km",
         "NOTE: Distance > 20 km - Consider using closer base station"},
        {35001.0, "Distance to Base: 35.00 km",
         "WARNING: Distance > 35 km - RTK accuracy may be degraded!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.metres);
        RtcmReportContext context = FixedContext();
        context.vesselLongitude = summary.position.longitude;
        context.vesselLatitude =
            summary.position.latitude + c.metres / 6371000.0 * 180 / 3.141592653589793;
        const auto lines = Report(capture, context);
        const auto section = Section(lines, "DISTANCE TO BASE STATION");
        ASSERT_EQ(section.size(), 2u);
        const auto at = std::find(lines.begin(), lines.end(), c.distance);
        ASSERT_NE(at, lines.end());
        EXPECT_EQ(at[1], "Bearing to Base: 180.0 deg");
        if (*c.remark) {
            EXPECT_EQ(at[2], "");
            EXPECT_EQ(at[3], c.remark);
        } else {
            EXPECT_EQ(at[2], "");
            EXPECT_EQ(at[3], "RTCM MESSAGES RECEIVED");
        }
    }
}

TEST(RtcmReportTest, VesselAtZeroZeroHasNoDistance) {
    RtcmReportContext context = FixedContext();
    context.vesselLatitude = 0;
    context.vesselLongitude = 0;
    context.manualPosition = true;
    const auto lines = Report(RtcmFixture("base2417.rtcm3"), context);
    EXPECT_TRUE(Has(lines, "(Vessel position not available - cannot calculate distance)"));
    EXPECT_FALSE(Has(lines, "DISTANCE TO BASE STATION"));
    EXPECT_TRUE(Has(lines, "  Manual Position: Yes"));
    EXPECT_TRUE(Has(lines, "  GGA Lat: 0000.0000 N"));
    EXPECT_TRUE(Has(lines, "  GGA Lon: 00000.0000 E"));
}

TEST(RtcmReportTest, GgaTextsOfDegreesAndMinutes) {
    EXPECT_EQ(GgaLatitudeText(-33.5), "3330.0000 S");
    EXPECT_EQ(GgaLongitudeText(151.25), "15115.0000 E");
    EXPECT_EQ(GgaLongitudeText(-9.140277), "00908.4166 W");
    EXPECT_EQ(GgaLatitudeText(5.000001), "0500.0001 N");
    // Minutes that round up to 60 are printed so, without a carry into the degrees.
    EXPECT_EQ(GgaLatitudeText(10.9999999), "1060.0000 N");
    EXPECT_EQ(GgaLatitudeText(-0.0), "0000.0000 N");
}

TEST(RtcmReportTest, NothingDecodableStillGivesTheFrame) {
    const auto lines = Report(std::string("\x01\x02\x03\x04\x05\x06", 6));
    const std::vector<std::string> expected = {
        "Tavrin Sounding Desk - RTCM Message Parser v1.0",
        "2025-06-14 09:30:15 GMT+03:00",
        "Buffer size: 6 bytes",
        "================================================",
        "",
        "ANTENNA REFERENCE POINT (ARP)",
        "-----------------------------",
        "",
        "RTCM MESSAGES RECEIVED",
        "----------------------",
        "",
        "================================================",
        "Total: 0 RTCM messages parsed",
    };
    EXPECT_EQ(lines, expected);
}

TEST(RtcmReportTest, MessagesAreListedInNumberOrderWithTheirSignals) {
    const std::string capture = RtcmNumberFrame(1087, 4) + RtcmNumberFrame(1077, 8) +
                                RtcmNumberFrame(1087, 4) +
                                RtcmStationFrame(RtcmStationAt(3, 40, 30, 5));
    const auto lines = Report(capture);
    EXPECT_EQ(Section(lines, "RTCM MESSAGES RECEIVED"),
              (std::vector<std::string>{"RTCM MESSAGES RECEIVED", "----------------------",
                                        "  1005 - Station ARP (Antenna Reference Point) (x1)",
                                        "  1077 - GPS MSM7 (Full GPS) (x1)",
                                        "  1087 - GLONASS MSM7 (Full GLONASS) (x2)"}));
    EXPECT_EQ(Section(lines, "SIGNALS AVAILABLE"),
              (std::vector<std::string>{"SIGNALS AVAILABLE", "-----------------", "GPS: L1 L2 L5",
                                        "GLONASS: G1 G2"}));
    EXPECT_EQ(lines.back(), "Total: 4 RTCM messages parsed");
}

TEST(RtcmReportTest, SignalMarksOfEverySystem) {
    std::string capture;
    for (int number : {1001, 1009, 1091, 1121, 1111, 1101, 1131, 1230})
        capture += RtcmNumberFrame(number);
    EXPECT_EQ(Section(Report(capture), "SIGNALS AVAILABLE"),
              (std::vector<std::string>{"SIGNALS AVAILABLE", "-----------------", "GPS: L1",
                                        "GLONASS: G1", "Galileo: E1 E5", "BeiDou: B1 B2", "QZSS",
                                        "SBAS", "NavIC/IRNSS"}));
    EXPECT_EQ(Section(Report(RtcmNumberFrame(1004) + RtcmNumberFrame(1012)), "SIGNALS AVAILABLE"),
              (std::vector<std::string>{"SIGNALS AVAILABLE", "-----------------", "GPS: L1 L2",
                                        "GLONASS: G1 G2"}));
}

TEST(RtcmReportTest, ReportCountsFramesWithAWrongCrcOnALineOfTheirOwn) {
    const std::string good = RtcmFixture("base2417_moved.rtcm3");
    const std::string damaged = FlipBit(RtcmFixture("base0100_southwest.rtcm3"), 60);
    const auto lines = Report(damaged + good + damaged + damaged);
    EXPECT_TRUE(Has(lines, "Frames with a wrong CRC-24Q (not decoded): 3"));
    EXPECT_TRUE(Has(lines, "  1005 - Station ARP (Antenna Reference Point) (x1)"));
    EXPECT_FALSE(Has(lines, "  1006 - Station ARP with Height (x1)"));
    EXPECT_TRUE(Has(lines, "Station ID: 2417")) << "the damaged station 100 is never decoded";
    EXPECT_EQ(lines.back(), "Total: 1 RTCM messages parsed");

    // A single flipped bit in the only frame.
    const auto alone = Report(FlipBit(good, 40));
    EXPECT_TRUE(Has(alone, "Frames with a wrong CRC-24Q (not decoded): 1"));
    EXPECT_FALSE(Has(alone, "ECEF Coordinates:"));
    EXPECT_EQ(alone.back(), "Total: 0 RTCM messages parsed");
    // A clean capture has no such line.
    for (const std::string& line : Report(good))
        EXPECT_EQ(line.find("CRC"), std::string::npos);
}

TEST(RtcmReportTest, CaptureStartingInsideAFrameFindsTheNextOne) {
    // The tail of a frame cut off by the capture, holding a stray preamble whose length fits.
    std::string tail = "\x11\x22\xD3\x00\x02\x33\x44\x55\x66\x77\x88";
    const std::string good = RtcmFixture("base2417.rtcm3");
    const auto lines = Report(tail + good);
    EXPECT_EQ(lines.back(), "Total: 5 RTCM messages parsed");
    EXPECT_TRUE(Has(lines, "  1033 - Receiver & Antenna Descriptors (x1)"));
    for (const std::string& line : lines)
        EXPECT_EQ(line.find("CRC"), std::string::npos) << "leftovers are not damaged frames";
    // A frame reaching past the capture's end is neither decoded nor counted.
    const auto cut = Report(good + good.substr(0, 24)); // one byte short of its first frame
    EXPECT_EQ(cut.back(), "Total: 5 RTCM messages parsed");
    EXPECT_EQ(cut[2], "Buffer size: 203 bytes");
}

TEST(RtcmReportTest, AntennaHeightFromAFullLength1006Only) {
    const auto lines = Report(RtcmFixture("base0031_height.rtcm3"));
    EXPECT_TRUE(Has(lines, "Antenna Height (ARP to marker): 1.5000 m"));
    EXPECT_TRUE(Has(lines, "Station ID: 31"));
    EXPECT_TRUE(Has(lines, "  Latitude:  52.50000000 deg"));
    // A 1006 of 19 or 20 bytes is a 1005; a height of 0 gives no line.
    RtcmTestStation s = RtcmStationAt(4, 40, 30, 5, 1006);
    s.antennaHeight = 2.25;
    const std::string message = RtcmStationMessage(s);
    for (size_t length : {19u, 20u})
        for (const auto& line : Report(RtcmTestFrame(message.substr(0, length))))
            EXPECT_EQ(line.find("Antenna Height"), std::string::npos) << length;
    EXPECT_TRUE(Has(Report(RtcmTestFrame(message)), "Antenna Height (ARP to marker): 2.2500 m"));
    for (const auto& line : Report(RtcmFixture("base2417.rtcm3")))
        EXPECT_EQ(line.find("Antenna Height"), std::string::npos);
}

TEST(RtcmReportTest, StationFlagsGiveTheirLines) {
    RtcmTestStation s = RtcmStationAt(12, 40, 30, 5);
    s.itrf = 14;
    s.gps = false;
    s.galileo = true;
    auto lines = Report(RtcmStationFrame(s));
    EXPECT_TRUE(Has(lines, "ITRF Realization: 2014"));
    EXPECT_TRUE(Has(lines, "Station Systems: Galileo"));
    EXPECT_TRUE(Has(lines, "Reference Station: Physical (not virtual)"));

    s.itrf = 0;
    s.galileo = false;
    s.computed = true;
    lines = Report(RtcmStationFrame(s));
    for (const std::string& line : lines) {
        EXPECT_EQ(line.find("ITRF"), std::string::npos);
        EXPECT_EQ(line.find("Station Systems"), std::string::npos);
        EXPECT_EQ(line.find("Reference Station"), std::string::npos) << "a virtual station";
    }
    EXPECT_TRUE(Has(lines, "Station ID: 12"));
}

TEST(RtcmReportTest, DescriptorsOfALaterMessageReplaceEarlierOnes) {
    const std::string main = RtcmFixture("base2417.rtcm3");
    const std::string other = RtcmFixture("descriptors1033.rtcm3");
    EXPECT_EQ(Section(Report(main + other), "ANTENNA DESCRIPTOR"),
              (std::vector<std::string>{"ANTENNA DESCRIPTOR", "------------------",
                                        "Antenna Type: TAVANT-2 RADOME",
                                        "Antenna Serial: SN-998877", "Setup ID: 5"}));
    EXPECT_EQ(
        Section(Report(main + other), "RECEIVER & ANTENNA DESCRIPTORS"),
        (std::vector<std::string>{"RECEIVER & ANTENNA DESCRIPTORS",
                                  "------------------------------", "Receiver Type: BASE RX 3",
                                  "Receiver Firmware: 2.11", "Receiver Serial: RX0099"}));
    // 1007 and 1008 after the 1033 take the antenna texts back; the setup id stays the 1033's.
    const size_t descriptorsStart = 25 + 27; // after the 1005 and 1006 frames
    const std::string frames1007And1008 = main.substr(descriptorsStart, 31 + 37);
    EXPECT_EQ(Section(Report(other + frames1007And1008), "ANTENNA DESCRIPTOR"),
              (std::vector<std::string>{"ANTENNA DESCRIPTOR", "------------------",
                                        "Antenna Type: TAVANT-1        NONE",
                                        "Antenna Serial: 12345", "Setup ID: 5"}));
}

TEST(RtcmReportTest, Message1008WithoutSetupIdAnd1033WithOne) {
    RtcmBitWriter w;
    w.put(1008, 12).put(5, 12).put(14, 8).text("ANTENNA-14CHAR").put(0, 8).put(5, 8).text("SN123");
    auto lines = Report(RtcmTestFrame(w.bytes()));
    EXPECT_EQ(Section(lines, "ANTENNA DESCRIPTOR"),
              (std::vector<std::string>{"ANTENNA DESCRIPTOR", "------------------",
                                        "Antenna Type: ANTENNA-14CHAR", "Antenna Serial: SN123"}));
    EXPECT_TRUE(Has(lines, "Station ID: 5"));
    EXPECT_FALSE(Has(lines, "RECEIVER & ANTENNA DESCRIPTORS"));

    RtcmBitWriter m;
    m.put(1033, 12).put(5, 12).put(3, 8).text("ANT").put(3, 8).put(0, 8).put(0, 8).put(0, 8).put(0,
                                                                                                 8);
    lines = Report(RtcmTestFrame(m.bytes()));
    EXPECT_TRUE(Has(lines, "Setup ID: 3"));
}

TEST(RtcmReportTest, ImplausibleStationWarnsAndKeepsTheLastGoodPosition) {
    RtcmTestStation bad;
    bad.id = 77;
    bad.x = 1000;
    bad.y = 2000;
    bad.z = 3000;
    const std::string good = RtcmFixture("base2417_moved.rtcm3");
    const std::string capture = good + RtcmStationFrame(bad) + RtcmStationFrame(bad);
    const auto lines = Report(capture);
    const std::string warning = "  WARNING: ECEF magnitude invalid - parsing may be incorrect! "
                                "(X 1000.0000, Y 2000.0000, Z 3000.0000 m)";
    ASSERT_EQ(lines[5], warning);
    ASSERT_EQ(lines[6], warning);
    EXPECT_EQ(lines[7], "ANTENNA REFERENCE POINT (ARP)");
    EXPECT_TRUE(Has(lines, "Station ID: 77"));
    EXPECT_FALSE(Has(lines, "  X: 1000.0000 m"));
    EXPECT_TRUE(Has(lines, "  Latitude:  41.01236567 deg"));
    EXPECT_TRUE(Has(lines, "  Altitude:  45.120 m"));
    // The ECEF block is the good station's, as the geographic one is.
    const auto alone = Report(good);
    EXPECT_EQ(Section(lines, "ECEF Coordinates:"), Section(alone, "ECEF Coordinates:"));
}

// A good station and then one at 0,0,0 (data/fuzz/F6): the ECEF and geographic blocks, the
// distance and the bearing all come from the good one; the bad one has its own warning line.
TEST(RtcmReportTest, ReportBlocksComeFromOneStationMessage) {
    const std::string capture = RtcmFixture("fuzz/F6-rtcm-report-mixes-two-stations.rtcm3");
    const RtcmCaptureSummary summary = WalkRtcmCapture(capture);
    ASSERT_TRUE(summary.positionValid);
    ASSERT_EQ(summary.implausibleStations.size(), 1u);
    const Wgs84Position fromEcef = StationEcefToWgs84(summary.x, summary.y, summary.z);
    EXPECT_EQ(fromEcef.latitude, summary.position.latitude);
    EXPECT_EQ(fromEcef.longitude, summary.position.longitude);
    EXPECT_TRUE(IsPlausibleStationVector(summary.x, summary.y, summary.z));
    const auto lines = Report(capture);
    EXPECT_TRUE(Has(lines, "  WARNING: ECEF magnitude invalid - parsing may be incorrect! "
                           "(X 0.0000, Y 0.0000, Z 0.0000 m)"));
    EXPECT_FALSE(Has(lines, "  X: 0.0000 m"));
    const auto goodOnly = Report(capture.substr(0, 25));
    for (const char* block : {"ECEF Coordinates:", "Geographic Coordinates (WGS84):",
                              "DISTANCE TO BASE STATION"})
        EXPECT_EQ(Section(lines, block), Section(goodOnly, block)) << block;
}

// A 1033 whose texts hold a line feed and an escape (data/fuzz/F7): the report shows them as
// "?", so the bytes cannot break its lines or drive a terminal.
TEST(RtcmReportTest, ControlCharactersInDescriptorTextsAreShownAsQuestionMarks) {
    const auto lines = Report(RtcmFixture("fuzz/F7-rtcm-descriptor-control-characters.rtcm3"));
    EXPECT_TRUE(Has(lines, "Antenna Type: AB?CD"));
    EXPECT_TRUE(Has(lines, "Receiver Type: R?["));
    for (const std::string& line : lines)
        for (const char c : line)
            EXPECT_FALSE(static_cast<unsigned char>(c) < 0x20 || c == 0x7F) << line;
}

TEST(RtcmReportTest, ShortFramesAreCountedWithoutReadingPastTheirEnd) {
    std::string capture;
    // Frames of every number the decoder reads, cut to every length below what they need.
    for (int number : {1005, 1006, 1007, 1008, 1033}) {
        RtcmBitWriter w;
        w.put(number, 12).put(9, 12).put(30, 8).text(std::string(30, '!'));
        const std::string message = w.bytes();
        for (size_t length = 0; length < 19; ++length)
            capture += RtcmTestFrame(message.substr(0, length));
    }
    const RtcmCaptureSummary summary = WalkRtcmCapture(capture);
    EXPECT_EQ(summary.totalFrames, 5 * 19);
    EXPECT_EQ(summary.damagedFrames, 0);
    EXPECT_EQ(summary.messageCounts.at(0), 5 * 2) << "frames too short to hold a number";
    EXPECT_EQ(summary.messageCounts.at(1005), 17);
    EXPECT_FALSE(summary.stationDecoded);
    EXPECT_TRUE(summary.descriptors.antennaDescriptor.empty());
    EXPECT_EQ(summary.stationId, 9);
    EXPECT_TRUE(Has(Report(capture), "  0 - Unknown (x10)"));
}

} // namespace
