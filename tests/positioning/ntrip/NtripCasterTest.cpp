// The client against a real NTRIP caster: rtklib's str2str on 127.0.0.1, serving a recorded
// RTCM 3 stream (tests/positioning/ntrip/data/README.md).

#include "NtripClientRecorder.h"
#include "tests/support/NtripTestCaster.h"

#include "positioning/ntrip/NtripProtocol.h"
#include "positioning/ntrip/TavrinNTRIPClient.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const std::string Fixture = TEST_DATA_DIR "/corrections.rtcm3";

class RealCaster : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(caster.running()) << "str2str did not start as a caster on 127.0.0.1";
        client.Host = "127.0.0.1";
        client.Port = caster.port();
        client.Username = "surveyor";
        client.Password = "secret";
        client.AutoReconnect = false;
    }

    Str2StrCaster caster{Fixture, "surveyor", "secret", "TAVRIN1"};
    TTavrinNTRIPClient client;
    NtripClientRecorder events{client};
};

TEST_F(RealCaster, FetchesTheSourceTable) {
    client.RequestSourceTable();
    ASSERT_TRUE(WaitUntil([&] { return events.sawStatus(0, "Disconnected"); }));
    ASSERT_EQ(events.sourceTables.size(), 1u);
    EXPECT_EQ(client.MountPoints, std::vector<std::string>{"TAVRIN1"});
    EXPECT_TRUE(events.sawLog("Source table parsed: 1 mount points"));
    EXPECT_FALSE(client.Connected);
}

TEST_F(RealCaster, StreamsTheMountPointAndUploadsGGA) {
    client.MountPoint = "TAVRIN1";
    client.SetPosition(41.0123456, 28.9876543, 12.34);
    client.Connect();
    // Twice the recording, so at least one whole pass of it has come through.
    const size_t wanted = 2 * caster.fixture().size();
    ASSERT_TRUE(
        WaitUntil([&] { return events.data.size() >= wanted && events.sawStatus(3); }, 20000));
    EXPECT_TRUE(events.sawStatus(2, "Connected to TAVRIN1"));
    EXPECT_TRUE(client.Connected);
    // The caster relays the recording byte for byte, from wherever it was when we came.
    const std::string& recording = caster.fixture();
    const std::string window = events.data.substr(0, recording.size());
    EXPECT_NE((recording + recording).find(window), std::string::npos);
    // The GGA of the accepted stream went out whole (the caster took it without complaint).
    const int ggaBytes =
        static_cast<int>(BuildGGASentence(41.0123456, 28.9876543, 12.34, {0, 0, 0}).size() + 2);
    EXPECT_GE(client.BytesSent, ggaBytes);
    EXPECT_EQ(client.BytesSent % ggaBytes, 0);
    client.Disconnect();
    EXPECT_EQ(client.State, 0);
    // Every received byte was counted and captured; the last blocks may not have been handed
    // over when the stop came.
    EXPECT_GE(client.BytesReceived, static_cast<int>(events.data.size()));
    const std::string tail = client.RxTail.snapshot();
    EXPECT_EQ(tail.size(), std::min<size_t>(8192, static_cast<size_t>(client.BytesReceived)));
    EXPECT_NE((recording + recording + recording + recording + recording + recording).find(tail),
              std::string::npos);
}

TEST_F(RealCaster, ReportsTheCastersRefusalOfWrongCredentials) {
    client.MountPoint = "TAVRIN1";
    client.Password = "wrong";
    client.Connect();
    ASSERT_TRUE(WaitUntil([&] { return events.sawStatus(0); }));
    ASSERT_GE(events.statuses.size(), 3u);
    EXPECT_EQ(events.statuses[1],
              std::make_pair(4, std::string("401 - Invalid username or password")));
    EXPECT_EQ(events.statuses[2], std::make_pair(0, std::string("Disconnected")));
    EXPECT_FALSE(events.sawStatus(0, "Connection closed"));
    EXPECT_TRUE(events.data.empty());
}

} // namespace
