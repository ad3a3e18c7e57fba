// The NTRIP client against casters that answer badly, refuse, drop or never answer, and its
// GGA uploads.
#include "NtripClientRecorder.h"
#include "NtripClientTestSupport.h"
#include "tests/support/NtripTestCaster.h"

#include "platform/ManualClock.h"
#include "platform/SerialChannel.h"
#include "positioning/ntrip/NTRIPWorkerThread.h"
#include "positioning/gnss/NmeaChecksum.h"
#include "positioning/ntrip/NtripProtocol.h"
#include "positioning/ntrip/NtripSocket.h"
#include "positioning/ntrip/TavrinNTRIPClient.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

TEST(NtripClient, GarbageAfterTheHeaderIsDataNotAnAnswer) {
    std::string garbage = Bytes(600, 9) + "HTTP/1.0 401 Unauthorized\r\n\r\nSOURCETABLE" +
                          std::string(10, '\0') + "ENDSOURCETABLE";
    ScriptedCaster caster([&](CasterConnection& c, int) {
        c.readRequest();
        c.send(Icy);
        c.pause(20);
        c.send(garbage);
        c.readToEnd(20000);
    });
    TTavrinNTRIPClient client;
    NtripClientRecorder events(client);
    Aim(client, caster.port());
    client.Connect();
    ASSERT_TRUE(WaitUntil([&] { return events.data.size() >= garbage.size(); }));
    EXPECT_EQ(events.data, garbage);
    EXPECT_FALSE(events.sawStatus(4));
    EXPECT_TRUE(events.sourceTables.empty());
    EXPECT_EQ(client.RxTail.snapshot(), garbage);
    client.Disconnect();
}

TEST(NtripClient, GarbageInsteadOfAHeaderIsAnUnknownResponse) {
    ScriptedCaster caster([](CasterConnection& c, int) {
        c.readRequest();
        c.send(std::string("\x16\x03\x01garbage\0\r\n\r\n", 15));
        c.readToEnd();
    });
    TTavrinNTRIPClient client;
    NtripClientRecorder events(client);
    Aim(client, caster.port());
    client.Connect();
    ASSERT_TRUE(WaitUntil([&] { return events.sawStatus(0, "Disconnected"); }));
    EXPECT_TRUE(events.sawLog("Server response: ???garbage?"));
    EXPECT_TRUE(events.sawStatus(4, "Unknown server response"));
    EXPECT_TRUE(events.data.empty());
}

TEST(NtripClient, ASourceTableSplitAcrossWritesIsGatheredAndParsed) {
    SharedText request;
    ScriptedCaster caster([&](CasterConnection& c, int) {
        request.set(c.readRequest());
        for (const char* piece :
             {"SOURCETABLE 200 OK\r\n", "Content-Type: text/plain\r\n\r\nSTR;AAA;x\r\nSTR;B",
              "BB;y\r\nSTR;", "CCC;z\r\nENDSOURCE", "TABLE\r\n"}) {
            c.send(piece);
            c.pause(30);
        }
        c.readToEnd();
    });
    TTavrinNTRIPClient client;
    NtripClientRecorder events(client);
    Aim(client, caster.port());
    client.AutoReconnect = true;
    client.Username = "user";
    client.Password = "pass";
    client.RequestSourceTable();
    ASSERT_TRUE(WaitUntil([&] { return events.sawStatus(0, "Disconnected"); }));
    EXPECT_EQ(request.get(), BuildNtripRequest("", "user", "pass"));
    const std::vector<std::string> names = {"AAA", "BBB", "CCC"};
    ASSERT_EQ(events.sourceTables.size(), 1u);
    EXPECT_EQ(events.sourceTables.front(), names);
    EXPECT_EQ(client.MountPoints, names);
    EXPECT_TRUE(events.sawLog("Source table parsed: 3 mount points"));
    EXPECT_TRUE(client.MountPoint.empty());
    EXPECT_FALSE(client.AutoReconnect);
    EXPECT_FALSE(client.ReconnectScheduled());
    EXPECT_FALSE(events.sawStatus(2));
    EXPECT_FALSE(events.sawStatus(3));
    EXPECT_FALSE(events.sawStatus(0, "Connection closed"));
    EXPECT_FALSE(client.Connected);
}

TEST(NtripClient, RefusalsReachTheOwnerAsErrorsFollowedByDisconnected) {
    struct Case {
        std::string answer, status, log;
    };
    const std::vector<Case> cases = {
        // A real caster's answer to wrong credentials: one line, no blank line, then it hangs up.
        {"HTTP/1.0 401 Unauthorized\r\n", "401 - Invalid username or password", ""},
        {"HTTP/1.0 404 Not Found\r\n\r\n", "404 - Mount point not found: MOUNT1", ""},
        {"HTTP/1.0 403 Forbidden\r\n\r\n", "403 - Access forbidden", ""},
        {"RTSP/1.0 500 Strange\r\n\r\n", "Unknown server response",
         "Server response: RTSP/1.0 500 Strange"},
    };
    for (const auto& c : cases) {
        ScriptedCaster caster([&](CasterConnection& connection, int) {
            connection.readRequest();
            connection.send(c.answer);
        });
        TTavrinNTRIPClient client;
        NtripClientRecorder events(client);
        Aim(client, caster.port());
        client.AutoReconnect = true;
        client.SetReconnectInterval(60000); // armed by the final "Disconnected", not due here
        client.Connect();
        ASSERT_TRUE(WaitUntil([&] { return events.sawStatus(0); })) << c.answer;
        ASSERT_GE(events.statuses.size(), 3u);
        EXPECT_EQ(events.statuses[1], std::make_pair(4, c.status));
        EXPECT_EQ(events.statuses[2], std::make_pair(0, std::string("Disconnected")));
        EXPECT_EQ(events.statuses.size(), 3u) << "no \"Connection closed\" after a refusal";
        if (!c.log.empty()) {
            EXPECT_TRUE(events.sawLog(c.log));
        }
        EXPECT_FALSE(client.Connected);
        EXPECT_TRUE(client.ReconnectScheduled());
    }
}

TEST(NtripClient, ReconnectAttemptsStopAtTheLimitAndTheEndIsLogged) {
    ScriptedCaster caster([](CasterConnection& c, int) { c.readRequest(); }); // hangs up at once
    TTavrinNTRIPClient client;
    NtripClientRecorder events(client);
    Aim(client, caster.port());
    client.AutoReconnect = true;
    client.MaxReconnect = 3;
    client.SetReconnectInterval(30);
    client.Connect();
    ASSERT_TRUE(WaitUntil([&] { return events.sawLog("Max reconnect attempts reached"); }));
    EXPECT_TRUE(events.sawLog("Reconnect attempt 1/3"));
    EXPECT_TRUE(events.sawLog("Reconnect attempt 2/3"));
    EXPECT_TRUE(events.sawLog("Reconnect attempt 3/3"));
    EXPECT_FALSE(client.ReconnectScheduled());
    EXPECT_EQ(client.ReconnectCount, 3);
    // Ten intervals later nothing more has happened.
    WaitUntil([] { return false; }, 300);
    EXPECT_EQ(caster.connections(), 4);
    EXPECT_EQ(events.countLog("Max reconnect attempts reached"), 1);
    EXPECT_FALSE(events.sawLog("Reconnect attempt 4/3"));

    // A manual connect does not give the attempts back.
    client.Connect();
    ASSERT_TRUE(WaitUntil(
        [&] { return caster.connections() == 5 && events.countLog("Disconnected") >= 6; }));
    WaitUntil([] { return false; }, 200);
    EXPECT_EQ(caster.connections(), 5);
    EXPECT_EQ(client.ReconnectCount, 3);
    EXPECT_FALSE(client.ReconnectScheduled());
    client.Disconnect();
}

TEST(NtripClient, AnAcceptedStreamGivesTheReconnectAttemptsBack) {
    ScriptedCaster caster([](CasterConnection& c, int index) {
        c.readRequest();
        if (index == 1)
            c.send(Icy + "data");
    });
    TTavrinNTRIPClient client;
    NtripClientRecorder events(client);
    Aim(client, caster.port());
    client.AutoReconnect = true;
    client.MaxReconnect = 2;
    client.SetReconnectInterval(30);
    client.Connect();
    ASSERT_TRUE(WaitUntil([&] { return events.sawLog("Max reconnect attempts reached"); }));
    // 0 drops; attempt 1 is accepted (count back to 0) and drops; attempts 1 and 2 drop.
    EXPECT_EQ(caster.connections(), 4);
    EXPECT_EQ(events.countLog("Reconnect attempt 1/2"), 2);
    EXPECT_EQ(events.countLog("Reconnect attempt 2/2"), 1);
    client.Disconnect();
}

TEST(NtripClient, AFailedTcpConnectionStopsTheAttempts) {
    const int port = FreeLocalPort(); // nobody listens there
    ASSERT_NE(port, 0);
    TTavrinNTRIPClient client;
    NtripClientRecorder events(client);
    Aim(client, port);
    client.AutoReconnect = true;
    client.SetReconnectInterval(30);
    client.Connect();
    ASSERT_TRUE(WaitUntil([&] { return events.sawStatus(4); }));
    EXPECT_EQ(events.statuses.back(),
              std::make_pair(4, std::string("Failed to connect to 127.0.0.1")));
    WaitUntil([] { return false; }, 200);
    EXPECT_FALSE(events.sawStatus(0));
    EXPECT_FALSE(client.ReconnectScheduled());
    EXPECT_EQ(client.State, 4);
    client.Disconnect();
}

TEST(NtripClient, ACasterThatDoesNotAnswerTheConnectionTimesOut) {
    UnansweringListener caster;
    ASSERT_NE(caster.port(), 0);
    TTavrinNTRIPClient client;
    NtripClientRecorder events(client);
    Aim(client, caster.port());
    client.ConnectTimeoutMs = 300;
    client.Connect();
    ASSERT_TRUE(WaitUntil([&] { return events.sawStatus(4); }));
    EXPECT_EQ(events.statuses.back(),
              std::make_pair(4, std::string("Failed to connect to 127.0.0.1")));
}

TEST(NtripClient, DisconnectWhileTheConnectionIsStillBeingMadeReturnsAtOnce) {
    UnansweringListener caster;
    ASSERT_NE(caster.port(), 0);
    TTavrinNTRIPClient client;
    NtripClientRecorder events(client);
    Aim(client, caster.port());
    client.Connect(); // would wait 30 s for the caster
    ASSERT_TRUE(WaitUntil([&] { return events.sawStatus(1); }));
    std::this_thread::sleep_for(50ms);
    const auto started = std::chrono::steady_clock::now();
    client.Disconnect();
    // Far below the 30 s the connection would wait for, with room for a loaded machine.
    EXPECT_LT(std::chrono::steady_clock::now() - started, 5s);
    EXPECT_EQ(events.statuses.size(), 1u);
    EXPECT_EQ(client.Thread(), nullptr);
}

// Streams three blocks, ten seconds passing while the second is handled, and returns every
// byte the client sent the caster after its request.
std::string GgaUploadsOfAStream(int ggaInterval) {
    InstalledClock time;
    std::atomic<int> handled{0};
    SharedText uploads;
    ScriptedCaster caster([&](CasterConnection& c, int) {
        c.readRequest();
        c.send(Icy);
        for (const char* block : {"block-1", "block-2", "block-3"}) {
            const int before = handled;
            c.send(block);
            for (int i = 0; i < 2000 && handled == before; ++i)
                if (!c.pause(5))
                    return;
        }
        c.shutdownWrite();
        uploads.set(c.readToEnd()); // everything the client sent until it closed
    });
    TTavrinNTRIPClient client;
    NtripClientRecorder events(client);
    Aim(client, caster.port());
    client.GGAInterval = ggaInterval;
    client.SetPosition(41.0123456, 28.9876543, 12.34);
    client.OnData = [&](const char* data, int length) {
        if (std::string(data, static_cast<size_t>(length)) == "block-2")
            time.clock.advance(10000);
        ++handled;
    };
    client.Connect();
    EXPECT_TRUE(WaitUntil([&] { return uploads.isSet(); }));
    EXPECT_EQ(handled, 3);
    const std::string sent = uploads.get();
    EXPECT_EQ(client.BytesSent, static_cast<int>(sent.size()));
    return sent;
}

TEST(NtripClient, GgaGoesOutOnAcceptanceThenAfterABlockOnceTheIntervalHasPassed) {
    const std::string sent = GgaUploadsOfAStream(10);
    // One when the stream was accepted, one after the second block; none after the others.
    ASSERT_EQ(CountOf(sent, "$GPGGA,"), 2) << sent;
    size_t start = 0;
    for (int i = 0; i < 2; ++i) {
        const size_t end = sent.find("\r\n", start);
        ASSERT_NE(end, std::string::npos);
        const std::string sentence = sent.substr(start, end - start);
        const std::string body = sentence.substr(1, sentence.find('*') - 1);
        EXPECT_EQ(sentence.substr(sentence.size() - 2), NmeaChecksum(body)) << sentence;
        EXPECT_NE(sentence.find(",4100.7407,N,02859.2593,E,1,10,1.0,12.3,M,0.0,M,,*"),
                  std::string::npos)
            << sentence;
        start = end + 2;
    }
    EXPECT_EQ(start, sent.size());
}

TEST(NtripClient, AGgaIntervalOfZeroSendsOnlyTheFirstSentence) {
    EXPECT_EQ(CountOf(GgaUploadsOfAStream(0), "$GPGGA,"), 1);
}

TEST(NtripClient, ConnectWhileAStreamRunsStartsAnewWithTheCountersAtZero) {
    ScriptedCaster caster([](CasterConnection& c, int index) {
        c.readRequest();
        c.send(Icy + (index == 0 ? "first stream" : "2nd"));
        c.readToEnd(20000);
    });
    TTavrinNTRIPClient client;
    NtripClientRecorder events(client);
    Aim(client, caster.port());
    client.Connect();
    ASSERT_TRUE(WaitUntil([&] { return events.sawStatus(3); }));
    EXPECT_EQ(events.data, "first stream");
    EXPECT_EQ(client.BytesReceived, 12);
    EXPECT_GT(client.BytesSent, 0);
    events.logs.clear();
    client.Connect();
    ASSERT_GE(events.logs.size(), 2u);
    EXPECT_EQ(events.logs[0], "Disconnected");
    EXPECT_EQ(events.logs[1], "Connecting to 127.0.0.1:" + std::to_string(caster.port()) + "/MOUNT1");
    ASSERT_TRUE(WaitUntil([&] { return events.data == "first stream2nd"; }));
    EXPECT_EQ(client.BytesReceived, 3);
    EXPECT_EQ(caster.connections(), 2);
    client.Disconnect();
}

TEST(NtripClient, DestroyingTheClientStopsARunningStream) {
    std::atomic<bool> closedByClient{false};
    ScriptedCaster caster(StreamUntilTheClientCloses(closedByClient));
    auto client = std::make_unique<TTavrinNTRIPClient>();
    std::vector<std::string> logs;
    bool streaming = false;
    client->OnStatus = [&](int state, const std::string&) { streaming |= state == 3; };
    client->OnLog = [&](const std::string& message) { logs.push_back(message); };
    Aim(*client, caster.port());
    client->AutoReconnect = true;
    client->Connect();
    ASSERT_TRUE(WaitUntil([&] { return streaming; }));
    client.reset();
    EXPECT_EQ(logs.back(), "Disconnected");
    EXPECT_TRUE(WaitUntil([&] { return closedByClient.load(); }));
}

TEST(NtripClient, AnEmptyCasterAddressStartsNothing) {
    TTavrinNTRIPClient client;
    NtripClientRecorder events(client);
    client.Connect();
    EXPECT_EQ(events.logs, std::vector<std::string>{"Error: Caster address is empty"});
    EXPECT_EQ(client.Thread(), nullptr);
    EXPECT_EQ(client.State, 0);
}

TEST(NtripClient, SendingToACasterThatHasGoneDoesNotKillTheProgram) {
    // SIGPIPE's default action ends the process: this test only survives with MSG_NOSIGNAL.
    int pair[2];
    ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair), 0);
    ::close(pair[1]);
    const std::string gga = BuildGGASentence(1, 2, 3, {1, 2, 3}) + "\r\n";
    EXPECT_EQ(NtripSendAll(pair[0], gga.data(), gga.size()), -1);
    EXPECT_EQ(NtripSendAll(pair[0], gga.data(), gga.size()), -1);
    ::close(pair[0]);
}

TEST(NtripClient, SetPositionKeepsAManualPositionAndRefusesNonFiniteNumbers) {
    TTavrinNTRIPClient client;
    client.SetPosition(41.5, 29.25, 10.0);
    EXPECT_EQ(client.Latitude, 41.5);
    client.SetPosition(NAN, 29.0, 10.0);
    client.SetPosition(41.0, INFINITY, 10.0);
    EXPECT_EQ(client.Latitude, 41.5);
    EXPECT_EQ(client.Longitude, 29.25);
    client.ManualPosition = true;
    client.SetPosition(1.0, 2.0, 3.0);
    EXPECT_EQ(client.Latitude, 41.5);
    EXPECT_EQ(client.Longitude, 29.25);
    EXPECT_EQ(client.Altitude, 10.0);
}

} // namespace
