#include "positioning/rtcm/RtcmDescriptors.h"
#include "positioning/rtcm/RtcmFrame.h"
#include "positioning/rtcm/RtcmMessageName.h"
#include "positioning/rtcm/RtcmStation.h"
#include "tests/positioning/rtcm/RtcmTestFrames.h"

#include "platform/NumberText.h"

#include <gtest/gtest.h>

namespace {

const uint8_t* Bytes(const std::string& s) {
    return reinterpret_cast<const uint8_t*>(s.data());
}

struct Frame {
    size_t offset;
    size_t length;
};

// The intact frames of a fixture, back to back.
std::vector<Frame> FramesOf(const std::string& data) {
    std::vector<Frame> frames;
    size_t offset = 0;
    while (offset < data.size()) {
        size_t length = 0;
        const RtcmFrameCheck check = CheckRtcmFrame(Bytes(data), data.size(), offset, length);
        EXPECT_EQ(check, RtcmFrameCheck::Intact) << "at " << offset;
        if (check != RtcmFrameCheck::Intact)
            break;
        frames.push_back({offset, length});
        offset += length + RtcmFrameOverhead;
    }
    return frames;
}

TEST(RtcmFrameTest, Crc24qMatchesTheStandardCheckValue) {
    const std::string check = "123456789";
    EXPECT_EQ(RtcmCrc24q(Bytes(check), check.size()), 0xCDE703u);
    EXPECT_EQ(RtcmCrc24q(Bytes(check), 0), 0u);
}

TEST(RtcmFrameTest, GeneratedFixturesWalkAsTheIndependentDecoderSeesThem) {
    for (const char* name : {"base2417", "base2417_moved", "base0100_southwest", "descriptors1033",
                             "base0031_height"}) {
        SCOPED_TRACE(name);
        const std::string data = RtcmFixture(std::string(name) + ".rtcm3");
        const std::vector<std::string> decoded = RtcmFixtureDecoded(std::string(name) + ".json");
        const std::vector<Frame> frames = FramesOf(data);
        ASSERT_EQ(frames.size(), decoded.size());
        for (size_t i = 0; i < frames.size(); ++i) {
            const uint8_t* message = Bytes(data) + frames[i].offset + 3;
            EXPECT_EQ(RtcmMessageNumber(message, frames[i].length), JsonNumber(decoded[i], "type"));
            EXPECT_EQ(double(frames[i].length), JsonNumber(decoded[i], "length"));
        }
    }
}

TEST(RtcmFrameTest, FrameChecksTellMissingBytesFromWrongParity) {
    const std::string frame = RtcmFixture("base2417_moved.rtcm3");
    ASSERT_EQ(frame.size(), 25u);
    size_t length = 0;
    EXPECT_EQ(CheckRtcmFrame(Bytes(frame), frame.size(), 0, length), RtcmFrameCheck::Intact);
    EXPECT_EQ(length, 19u);
    EXPECT_EQ(CheckRtcmFrame(Bytes(frame), frame.size() - 1, 0, length),
              RtcmFrameCheck::DoesNotFit);
    EXPECT_EQ(CheckRtcmFrame(Bytes(frame), 2, 0, length), RtcmFrameCheck::NoFrame);
    EXPECT_EQ(CheckRtcmFrame(Bytes(frame), frame.size(), 1, length), RtcmFrameCheck::NoFrame);
    // Any single flipped bit, in the header, the message or the parity, is caught.
    for (size_t bit = 8; bit < frame.size() * 8; ++bit) {
        const std::string damaged = FlipBit(frame, bit);
        EXPECT_NE(CheckRtcmFrame(Bytes(damaged), damaged.size(), 0, length), RtcmFrameCheck::Intact)
            << "bit " << bit;
        if (bit >= 24) { // the length stays: the frame is complete, only its parity is wrong
            EXPECT_EQ(LocateRtcmFrame(Bytes(damaged), damaged.size(), 0, length),
                      RtcmFrameCheck::Complete);
            EXPECT_EQ(CheckRtcmFrame(Bytes(damaged), damaged.size(), 0, length),
                      RtcmFrameCheck::BadParity);
        }
    }
}

TEST(RtcmFrameTest, BitFieldsAreBigEndianAndSignExtended) {
    const std::string bytes = RtcmBitWriter().put(0x3EE, 12).put(-5, 38).put(5, 38).bytes();
    EXPECT_EQ(RtcmUnsignedBits(Bytes(bytes), 0, 12), 0x3EEu);
    EXPECT_EQ(RtcmSignedBits(Bytes(bytes), 12, 38), -5);
    EXPECT_EQ(RtcmSignedBits(Bytes(bytes), 50, 38), 5);
    EXPECT_EQ(RtcmUnsignedBits(Bytes(bytes), 12, 38), (uint64_t(1) << 38) - 5);
    EXPECT_EQ(RtcmMessageNumber(Bytes(bytes), 1), 0) << "a one-byte message holds no number";
}

TEST(RtcmStationTest, StationMessagesDecodeAsTheIndependentDecoderSees) {
    for (const char* name :
         {"base2417", "base2417_moved", "base0100_southwest", "base0031_height"}) {
        SCOPED_TRACE(name);
        const std::string data = RtcmFixture(std::string(name) + ".rtcm3");
        const std::vector<std::string> decoded = RtcmFixtureDecoded(std::string(name) + ".json");
        const std::vector<Frame> frames = FramesOf(data);
        ASSERT_EQ(frames.size(), decoded.size());
        for (size_t i = 0; i < frames.size(); ++i) {
            const int type = int(JsonNumber(decoded[i], "type"));
            if (type != 1005 && type != 1006)
                continue;
            RtcmStationArp arp;
            ASSERT_TRUE(
                DecodeRtcmStationArp(Bytes(data) + frames[i].offset + 3, frames[i].length, arp));
            EXPECT_EQ(arp.number, type);
            EXPECT_EQ(arp.stationId, JsonNumber(decoded[i], "station_id"));
            // Tenths of millimetres, compared as integers.
            EXPECT_EQ(std::llround(arp.x * 1e4), std::llround(JsonNumber(decoded[i], "x") * 1e4));
            EXPECT_EQ(std::llround(arp.y * 1e4), std::llround(JsonNumber(decoded[i], "y") * 1e4));
            EXPECT_EQ(std::llround(arp.z * 1e4), std::llround(JsonNumber(decoded[i], "z") * 1e4));
            EXPECT_TRUE(arp.gps);
            EXPECT_TRUE(arp.glonass);
            EXPECT_FALSE(arp.galileo);
            EXPECT_FALSE(arp.computed); // "refstation":false
            EXPECT_EQ(arp.hasAntennaHeight, type == 1006);
            if (type == 1006) {
                EXPECT_DOUBLE_EQ(arp.antennaHeight, JsonNumber(decoded[i], "h"));
            }
        }
    }
}

std::string PositionText(const Wgs84Position& p) {
    return FormatFixed(p.latitude, 8, 12) + ", " + FormatFixed(p.longitude, 8, 12) + ", " +
           FormatFixed(p.height, 2, 10);
}

TEST(RtcmStationTest, StationPositionsComeBackAsTheyWerePutIn) {
    struct Case {
        const char* fixture;
        const char* position; // as given to the generator
    };
    const Case cases[] = {
        {"base2417", "41.01234567, 28.97654321, 45.12"},
        {"base2417_moved", "41.01236567, 28.97654321, 45.12"},
        {"base0100_southwest", "-33.86000000, -70.65000000, 600.00"},
        {"base0031_height", "52.50000000, 13.40000000, 40.00"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fixture);
        const std::string data = RtcmFixture(std::string(c.fixture) + ".rtcm3");
        size_t length = 0;
        ASSERT_EQ(CheckRtcmFrame(Bytes(data), data.size(), 0, length), RtcmFrameCheck::Intact);
        RtcmStationArp arp;
        ASSERT_TRUE(DecodeRtcmStationArp(Bytes(data) + 3, length, arp));
        EXPECT_EQ(PositionText(StationEcefToWgs84(arp.x, arp.y, arp.z)), c.position);
    }
}

TEST(RtcmStationTest, ConversionHandlesTheEquatorAndHighLatitudes) {
    const RtcmTestStation north = RtcmStationAt(1, 89.9, 45, 10);
    const Wgs84Position high = StationEcefToWgs84(north.x, north.y, north.z);
    EXPECT_NEAR(high.latitude, 89.9, 1e-9);
    EXPECT_NEAR(high.longitude, 45, 1e-9);
    EXPECT_NEAR(high.height, 10, 1e-3);
    const Wgs84Position west = StationEcefToWgs84(0, -6378137.0 - 5, 0);
    EXPECT_NEAR(west.latitude, 0, 1e-12);
    EXPECT_NEAR(west.longitude, -90, 1e-12);
    EXPECT_NEAR(west.height, 5, 1e-6);
}

// On and near the polar axis the height must still be the station's (data/fuzz/F5 is a 1005 at
// the south pole, 500 m below the ellipsoid).
TEST(RtcmStationTest, StationHeightIsRightOnAndNearThePolarAxis) {
    const std::string data = RtcmFixture("fuzz/F5-rtcm-station-on-polar-axis.rtcm3");
    size_t length = 0;
    ASSERT_EQ(CheckRtcmFrame(Bytes(data), data.size(), 0, length), RtcmFrameCheck::Intact);
    RtcmStationArp arp;
    ASSERT_TRUE(DecodeRtcmStationArp(Bytes(data) + 3, length, arp));
    const Wgs84Position pole = StationEcefToWgs84(arp.x, arp.y, arp.z);
    EXPECT_NEAR(pole.latitude, -90, 1e-9);
    EXPECT_NEAR(pole.height, -500, 1e-3);
    struct Case {
        double latitude, longitude, height;
    };
    for (const Case& c : {Case{90, 0, 0}, Case{-90, 0, 1234.5}, Case{89.9999999, 10, 25},
                          Case{-89.99999, -170, -30}, Case{45, 45, 100}}) {
        const RtcmTestStation station = RtcmStationAt(1, c.latitude, c.longitude, c.height);
        const Wgs84Position back = StationEcefToWgs84(station.x, station.y, station.z);
        EXPECT_NEAR(back.latitude, c.latitude, 1e-7) << c.latitude;
        EXPECT_NEAR(back.height, c.height, 1e-3) << c.latitude;
    }
}

TEST(RtcmStationTest, OnlyVectorsStrictlyBetween6000And7000KmArePlausible) {
    EXPECT_FALSE(IsPlausibleStationVector(6000000, 0, 0));
    EXPECT_FALSE(IsPlausibleStationVector(0, -7000000, 0));
    EXPECT_TRUE(IsPlausibleStationVector(0, 0, 6000000.0001));
    EXPECT_TRUE(IsPlausibleStationVector(6999999.9999, 0, 0));
    EXPECT_FALSE(IsPlausibleStationVector(0, 0, 0));
}

TEST(RtcmStationTest, MessageLengthDecidesWhatIsRead) {
    RtcmTestStation s = RtcmStationAt(7, 10, 20, 30, 1006);
    s.antennaHeight = 1.5;
    s.itrf = 14;
    s.galileo = true;
    s.computed = true;
    const std::string full = RtcmStationMessage(s);
    ASSERT_EQ(full.size(), 21u);
    RtcmStationArp arp;
    ASSERT_TRUE(DecodeRtcmStationArp(Bytes(full), 21, arp));
    EXPECT_TRUE(arp.hasAntennaHeight);
    EXPECT_DOUBLE_EQ(arp.antennaHeight, 1.5);
    EXPECT_EQ(arp.itrfYearField, 14);
    EXPECT_TRUE(arp.galileo);
    EXPECT_TRUE(arp.computed);
    // 19 or 20 bytes: decoded like a 1005, without the height.
    for (size_t length : {19u, 20u}) {
        ASSERT_TRUE(DecodeRtcmStationArp(Bytes(full), length, arp));
        EXPECT_FALSE(arp.hasAntennaHeight);
        EXPECT_EQ(arp.stationId, 7);
    }
    EXPECT_FALSE(DecodeRtcmStationArp(Bytes(full), 18, arp));
    const std::string other = RtcmNumberFrame(1007, 30).substr(3, 32);
    EXPECT_FALSE(DecodeRtcmStationArp(Bytes(other), other.size(), arp));
}

TEST(RtcmDescriptorsTest, DescriptorMessagesDecodeAsTheIndependentDecoderSees) {
    const std::string data = RtcmFixture("base2417.rtcm3");
    const std::vector<std::string> decoded = RtcmFixtureDecoded("base2417.json");
    const std::vector<Frame> frames = FramesOf(data);
    ASSERT_EQ(frames.size(), 5u);
    for (size_t i = 2; i < 5; ++i) {
        SCOPED_TRACE(decoded[i]);
        RtcmDescriptors d;
        ASSERT_TRUE(
            ApplyRtcmDescriptorMessage(Bytes(data) + frames[i].offset + 3, frames[i].length, d));
        EXPECT_TRUE(d.hasStationId);
        EXPECT_EQ(d.stationId, JsonNumber(decoded[i], "station_id"));
        EXPECT_EQ(d.antennaDescriptor, JsonText(decoded[i], "desc"));
        const int type = int(JsonNumber(decoded[i], "type"));
        EXPECT_EQ(d.antennaSerial, type == 1007 ? "" : JsonText(decoded[i], "serial"));
        // The setup id is taken from 1033 only.
        EXPECT_EQ(d.setupId, type == 1033 ? int(JsonNumber(decoded[i], "setup_id")) : 0);
        if (type == 1033) {
            EXPECT_EQ(d.receiverType, JsonText(decoded[i], "receiver"));
            EXPECT_EQ(d.receiverFirmware, JsonText(decoded[i], "firmware"));
            EXPECT_EQ(d.receiverSerial, "RX0042"); // given to the generator; not in its JSON
        }
    }
}

std::string Descriptor1033(const std::vector<std::string>& texts, int setupId) {
    RtcmBitWriter w;
    w.put(1033, 12).put(42, 12);
    w.put(texts[0].size(), 8).text(texts[0]).put(setupId, 8);
    for (size_t i = 1; i < texts.size(); ++i)
        w.put(texts[i].size(), 8).text(texts[i]);
    return w.bytes();
}

TEST(RtcmDescriptorsTest, TextsOfBadCountsKeepTheirEarlierValue) {
    RtcmDescriptors d;
    d.antennaDescriptor = "EARLIER ANTENNA";
    d.receiverType = "EARLIER RX";
    const std::string tooLong(32, 'A');
    const std::string message =
        Descriptor1033({"", "SERIAL1", tooLong, "FW 2", std::string(31, 'S')}, 3);
    ASSERT_TRUE(ApplyRtcmDescriptorMessage(Bytes(message), message.size(), d));
    EXPECT_EQ(d.antennaDescriptor, "EARLIER ANTENNA"); // count 0
    EXPECT_EQ(d.setupId, 3);
    EXPECT_EQ(d.antennaSerial, "SERIAL1");
    // A count of 32 leaves the text and the cursor stands just after the count byte, so what
    // follows is read out of step: the 32 'A's give the next count (65) and nothing more fits.
    EXPECT_EQ(d.receiverType, "EARLIER RX");
    EXPECT_EQ(d.receiverFirmware, "");
    EXPECT_EQ(d.receiverSerial, "");

    // A text reaching past the message's end is not taken.
    RtcmDescriptors e;
    const std::string cut = Descriptor1033({"ANT", "SER"}, 1);
    ASSERT_TRUE(ApplyRtcmDescriptorMessage(Bytes(cut), cut.size() - 1, e));
    EXPECT_EQ(e.antennaDescriptor, "ANT");
    EXPECT_EQ(e.antennaSerial, "");
}

TEST(RtcmDescriptorsTest, Message1008TakesDescriptorAndSerialButNoSetupId) {
    RtcmBitWriter w;
    w.put(1008, 12).put(5, 12).put(14, 8).text("ANTENNA-14CHAR").put(0, 8).put(5, 8).text("SN123");
    const std::string message = w.bytes();
    RtcmDescriptors d;
    ASSERT_TRUE(ApplyRtcmDescriptorMessage(Bytes(message), message.size(), d));
    EXPECT_EQ(d.antennaDescriptor, "ANTENNA-14CHAR");
    EXPECT_EQ(d.antennaSerial, "SN123");
    EXPECT_EQ(d.setupId, 0);
    EXPECT_EQ(d.stationId, 5);
}

// Messages shorter than their counts say: nothing is read past the message's last byte.
// (The sanitizer build checks the reads; here the results show where decoding stopped.)
TEST(RtcmDescriptorsTest, ShortDescriptorMessagesAreNotReadPastTheirEnd) {
    for (int number : {1007, 1008, 1033}) {
        SCOPED_TRACE(number);
        RtcmBitWriter w;
        w.put(number, 12).put(9, 12).put(20, 8).text("TWENTY-CHARACTERS...").put(1, 8).put(31, 8);
        const std::string full = w.bytes();
        for (size_t length = 2; length <= full.size(); ++length) {
            // The bytes after the message are poison: a read of them would show up as '!'.
            std::string message = full.substr(0, length) + std::string(40, '!');
            RtcmDescriptors d;
            ASSERT_TRUE(ApplyRtcmDescriptorMessage(Bytes(message), length, d));
            EXPECT_EQ(d.hasStationId, length >= 3);
            EXPECT_EQ(d.antennaDescriptor.find('!'), std::string::npos);
            EXPECT_EQ(d.antennaSerial.find('!'), std::string::npos);
            EXPECT_EQ(d.antennaDescriptor.empty(), length < 24) << length;
        }
    }
}

TEST(RtcmMessageNameTest, FixedNumbersAndMultipleSignalMessagesAreNamed) {
    EXPECT_EQ(RtcmMessageName(1005), "Station ARP (Antenna Reference Point)");
    EXPECT_EQ(RtcmMessageName(1008), "Antenna Descriptor & Serial");
    EXPECT_EQ(RtcmMessageName(1033), "Receiver & Antenna Descriptors");
    EXPECT_EQ(RtcmMessageName(1230), "GLONASS Code-Phase Biases");
    EXPECT_EQ(RtcmMessageName(4073), "u-blox Proprietary");
    EXPECT_EQ(RtcmMessageName(1071), "GPS MSM1");
    EXPECT_EQ(RtcmMessageName(1077), "GPS MSM7 (Full GPS)");
    EXPECT_EQ(RtcmMessageName(1087), "GLONASS MSM7 (Full GLONASS)");
    EXPECT_EQ(RtcmMessageName(1097), "Galileo MSM7 (Full Galileo)");
    EXPECT_EQ(RtcmMessageName(1127), "BeiDou MSM7 (Full BeiDou)");
    EXPECT_EQ(RtcmMessageName(1107), "SBAS MSM7");
    EXPECT_EQ(RtcmMessageName(1117), "QZSS MSM7");
    EXPECT_EQ(RtcmMessageName(1134), "NavIC MSM4");
    for (int unknown : {0, 1014, 1070, 1078, 1080, 1138, 4071, 4095})
        EXPECT_EQ(RtcmMessageName(unknown), "Unknown") << unknown;

    int named = 0;
    for (int number = 0; number < 4096; ++number)
        named += RtcmMessageName(number) != "Unknown";
    EXPECT_EQ(named, 72);
}

} // namespace
