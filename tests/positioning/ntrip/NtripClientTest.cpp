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

TEST(NtripClient, StreamsCountsCapturesForwardsAndHandsOverEveryBlock) {
    const std::string first = Bytes(3000, 1), second = Bytes(4000, 2), third = Bytes(5000, 3);
    SharedText request;
    std::atomic<bool> closedByClient{false};
    ScriptedCaster caster([&](CasterConnection& c, int) {
        request.set(c.readRequest());
        c.send(Icy + first); // header and data in one write
        c.pause(20);
        c.send(second);
        c.pause(20);
        c.send(third);
        c.readToEnd(20000);
        closedByClient = true;
    });
    ReceiverPort receiver;
    ASSERT_TRUE(receiver.channel);
    TTavrinNTRIPClient client;
    NtripClientRecorder events(client);
    Aim(client, caster.port());
    client.Username = "user";
    client.Password = "pass";
    client.SetSerialPortHandle(receiver.channel);
    client.Connect();

    const std::string all = first + second + third;
    ASSERT_TRUE(WaitUntil([&] { return events.data.size() >= all.size(); }));
    EXPECT_EQ(events.data, all);
    EXPECT_EQ(client.BytesReceived, static_cast<int>(all.size()));
    EXPECT_EQ(client.RxTail.snapshot(), all.substr(all.size() - 8192));
    EXPECT_TRUE(WaitUntil([&] { return receiver.received().size() >= all.size(); }));
    EXPECT_EQ(receiver.received(), all);
    EXPECT_EQ(request.get(), BuildNtripRequest("MOUNT1", "user", "pass"));
    const std::vector<std::pair<int, std::string>> expected = {
        {1, "Connecting to 127.0.0.1:" + std::to_string(caster.port())},
        {2, "Connected to MOUNT1"},
        {3, "Receiving correction data"}};
    EXPECT_EQ(events.statuses, expected);
    EXPECT_TRUE(client.Connected);
    EXPECT_EQ(client.State, 3);
    EXPECT_TRUE(events.allOnOwnerThread);
    EXPECT_TRUE(events.sawLog("Serial port handle set"));
    EXPECT_TRUE(events.sawLog("Receiving correction data")); // every status is logged too

    client.Disconnect();
    EXPECT_EQ(events.statuses.size(), expected.size()) << "Disconnect raises no status";
    EXPECT_EQ(events.logs.back(), "Disconnected");
    EXPECT_FALSE(client.Connected);
    EXPECT_EQ(client.State, 0);
    EXPECT_TRUE(WaitUntil([&] { return closedByClient.load(); }));
}

TEST(NtripClient, ForwardingStopsOnceTheGnssPortHasClosedOrIsSwitchedOff) {
    std::atomic<bool> sendNext{false};
    const std::string first = Bytes(100, 1), second = Bytes(200, 2), third = Bytes(300, 3);
    ScriptedCaster caster([&](CasterConnection& c, int) {
        c.readRequest();
        c.send(Icy + first);
        if (!AwaitFlag(c, sendNext))
            return;
        sendNext = false;
        c.send(second);
        if (!AwaitFlag(c, sendNext))
            return;
        c.send(third);
        c.readToEnd(20000);
    });
    ReceiverPort closing, switchedOff;
    ASSERT_TRUE(closing.channel && switchedOff.channel);
    TTavrinNTRIPClient client;
    NtripClientRecorder events(client);
    Aim(client, caster.port());
    client.SetSerialPortHandle(closing.channel);
    client.Connect();
    ASSERT_TRUE(WaitUntil([&] { return closing.received() == first; }));

    closing.channel->close(); // the GNSS port was closed by its owner
    sendNext = true;
    ASSERT_TRUE(WaitUntil([&] { return events.data == first + second; }));

    client.SerialForwarding = false;
    client.SetSerialPortHandle(switchedOff.channel);
    sendNext = true;
    ASSERT_TRUE(WaitUntil([&] { return events.data == first + second + third; }));
    client.Disconnect();
    EXPECT_EQ(closing.received(), first);
    EXPECT_EQ(switchedOff.received(), "");
    EXPECT_EQ(client.BytesReceived, static_cast<int>(events.data.size()));
}

TEST(NtripClient, DisconnectDoesNotWaitForAReceiverPortThatTakesNothingMore) {
    ScriptedCaster caster([](CasterConnection& c, int) {
        c.readRequest();
        c.send(Icy + Bytes(2 << 20, 5)); // far more than the port holds; ends when the client goes
        c.readToEnd(20000);
    });
    // The receiver's port: a pipe nobody drains.
    int pipe[2];
    ASSERT_EQ(::pipe2(pipe, O_NONBLOCK | O_CLOEXEC), 0);
    const auto full = [&] {
        pollfd room{pipe[1], POLLOUT, 0};
        return ::poll(&room, 1, 0) == 0;
    };
    TTavrinNTRIPClient client;
    NtripClientRecorder events(client);
    int blocks = 0;
    client.OnData = [&](const char*, int) { ++blocks; };
    Aim(client, caster.port());
    client.SetSerialPortHandle(std::make_shared<SerialChannel>(pipe[1], "receiver"));
    client.Connect();
    ASSERT_TRUE(WaitUntil(full));
    const int handed = blocks;
    ASSERT_TRUE(WaitUntil([&] { return blocks > handed; }));
    // The worker has gone on to the next block: its write now waits for room in the port.

    const auto started = std::chrono::steady_clock::now();
    client.Disconnect();
    EXPECT_LT(std::chrono::steady_clock::now() - started, 500ms)
        << "Disconnect waited for the write to the receiver's port to time out";
    EXPECT_EQ(client.Thread(), nullptr);
    client.SetSerialPortHandle(nullptr);
    ::close(pipe[0]);
}

TEST(NtripClient, ACasterThatDropsAfterDataEndsWithConnectionClosedAndArmsAReconnect) {
    ScriptedCaster caster([](CasterConnection& c, int index) {
        if (index > 0)
            return;
        c.readRequest();
        c.send(Icy + "data");
        c.shutdownWrite();
        c.readToEnd();
    });
    TTavrinNTRIPClient client;
    NtripClientRecorder events(client);
    Aim(client, caster.port());
    client.AutoReconnect = true;
    client.SetReconnectInterval(60000); // armed, but not due during the test
    client.Connect();
    ASSERT_TRUE(WaitUntil([&] { return events.sawStatus(0, "Disconnected"); }));
    const std::vector<std::pair<int, std::string>> expected = {
        {1, "Connecting to 127.0.0.1:" + std::to_string(caster.port())},
        {2, "Connected to MOUNT1"},
        {3, "Receiving correction data"},
        {0, "Connection closed"},
        {0, "Disconnected"}};
    EXPECT_EQ(events.statuses, expected);
    EXPECT_EQ(events.data, "data");
    EXPECT_FALSE(client.Connected);
    EXPECT_TRUE(client.ReconnectScheduled());
    client.Disconnect();
    EXPECT_FALSE(client.ReconnectScheduled());
    EXPECT_FALSE(client.AutoReconnect);
}

TEST(NtripClient, DisconnectOnAStalledStreamReturnsWithinASecond) {
    std::atomic<bool> closedByClient{false};
    ScriptedCaster caster([&](CasterConnection& c, int) {
        c.readRequest();
        c.send(Icy + "first");
        c.readToEnd(30000); // stalls: sends nothing more, waits for the client to go
        closedByClient = true;
    });
    TTavrinNTRIPClient client;
    NtripClientRecorder events(client);
    Aim(client, caster.port());
    client.Connect();
    ASSERT_TRUE(WaitUntil([&] { return events.sawStatus(3); }));
    const size_t statuses = events.statuses.size();

    const auto started = std::chrono::steady_clock::now();
    client.Disconnect();
    const auto took = std::chrono::steady_clock::now() - started;
    EXPECT_LT(took, 1s);
    EXPECT_EQ(events.statuses.size(), statuses);
    EXPECT_EQ(events.logs.back(), "Disconnected");
    EXPECT_EQ(client.Thread(), nullptr);
    EXPECT_TRUE(WaitUntil([&] { return closedByClient.load(); }));
}

TEST(NtripClient, AStreamSilentForTheReceiveTimeOutIsTakenAsLost) {
    ScriptedCaster caster([](CasterConnection& c, int) {
        c.readRequest();
        c.send(Icy + "first");
        c.readToEnd(20000);
    });
    TTavrinNTRIPClient client;
    NtripClientRecorder events(client);
    Aim(client, caster.port());
    client.ReceiveTimeoutMs = 300;
    client.Connect();
    ASSERT_TRUE(WaitUntil([&] { return events.sawStatus(0, "Disconnected"); }));
    EXPECT_TRUE(events.sawStatus(0, "Connection closed"));
    EXPECT_FALSE(client.Connected);
}

TEST(NtripClient, DisconnectServesAHandOverThatIsWaitingInsteadOfDeadlocking) {
    ScriptedCaster caster([&](CasterConnection& c, int) {
        c.readRequest();
        c.send(Icy + "data");
        c.readToEnd(20000);
    });
    TTavrinNTRIPClient client;
    NtripClientRecorder events(client);
    Aim(client, caster.port());
    client.Connect();
    // No event loop runs here: the worker blocks in its first hand-over ("Connecting to"). It
    // sets the state just before it hands that status over, whatever happens next.
    for (int i = 0; i < 10000 && client.State != 1; ++i)
        std::this_thread::sleep_for(1ms);
    ASSERT_EQ(client.State, 1);
    const auto started = std::chrono::steady_clock::now();
    client.Disconnect();
    EXPECT_LT(std::chrono::steady_clock::now() - started, 5s);
    ASSERT_FALSE(events.statuses.empty()) << "the waiting hand-over was served";
    EXPECT_EQ(events.statuses.front().first, 1);
    EXPECT_EQ(client.Thread(), nullptr);
}

// Ends the test process with a message when the guarded steps have not finished within a
// generous time: a deadlock must fail the test, not hang the suite.
class DeadlockGuard {
public:
    explicit DeadlockGuard(const char* what, std::chrono::seconds limit = 20s)
        : thread_([this, what, limit] {
              std::unique_lock lock(mutex_);
              if (!finished_.wait_for(lock, limit, [this] { return done_; })) {
                  std::fprintf(stderr, "deadlock: %s did not return\n", what);
                  std::_Exit(1);
              }
          }) {}
    ~DeadlockGuard() {
        {
            std::lock_guard lock(mutex_);
            done_ = true;
        }
        finished_.notify_all();
        thread_.join();
    }

private:
    std::mutex mutex_;
    std::condition_variable finished_;
    bool done_ = false;
    std::thread thread_;
};

TEST(NtripClient, AHandlerThatConnectsWhileDisconnectWaitsNeitherDeadlocksNorOutlivesIt) {
    ScriptedCaster caster([](CasterConnection& c, int) {
        c.readRequest();
        c.send(Icy + "data");
        c.readToEnd(20000);
    });
    TTavrinNTRIPClient client;
    NtripClientRecorder events(client);
    Aim(client, caster.port());
    bool connectedAgain = false;
    client.OnStatus = [&](int state, const std::string&) {
        if (state != 1 || connectedAgain)
            return;
        connectedAgain = true;
        client.Connect();
        // Give a worker that this started the time to block in its own first hand-over.
        for (int i = 0; i < 200 && client.State != 1; ++i)
            std::this_thread::sleep_for(5ms);
    };
    client.Connect();
    // No event loop runs here: the worker blocks in its first hand-over, which Disconnect
    // serves while it waits, and whose handler connects.
    for (int i = 0; i < 10000 && client.State != 1; ++i)
        std::this_thread::sleep_for(1ms);
    ASSERT_EQ(client.State, 1);
    {
        DeadlockGuard guard("Disconnect");
        client.Disconnect();
    }
    EXPECT_TRUE(connectedAgain);
    EXPECT_EQ(client.Thread(), nullptr) << "a connection outlived the Disconnect";
    EXPECT_EQ(client.State, 0);
    EXPECT_FALSE(client.Connected);
    WaitUntil([] { return false; }, 200);
    EXPECT_EQ(caster.connections(), 0);
    EXPECT_EQ(events.logs.back(), "Disconnected");
}

TEST(NtripClient, AHandlerThatConnectsOnConnectsOwnLogLineNeitherDeadlocksNorDoublesTheStream) {
    ScriptedCaster caster([](CasterConnection& c, int) {
        c.readRequest();
        c.send(Icy + "data");
        c.readToEnd(20000);
    });
    TTavrinNTRIPClient client;
    NtripClientRecorder events(client);
    Aim(client, caster.port());
    client.Connect();
    ASSERT_TRUE(WaitUntil([&] { return events.sawStatus(3); }));

    // An owner that connects again whenever it reads "Disconnected", as a window with its own
    // reconnect rule might. The second Connect below logs that line itself.
    bool connectedAgain = false;
    client.OnLog = [&](const std::string& message) {
        events.logs.push_back(message);
        if (message != "Disconnected" || connectedAgain)
            return;
        connectedAgain = true;
        client.Connect();
        // Give a worker that this started the time to block in its own first hand-over.
        for (int i = 0; i < 200 && client.State != 1; ++i)
            std::this_thread::sleep_for(5ms);
    };
    {
        DeadlockGuard guard("Connect");
        client.Connect();
    }
    EXPECT_TRUE(connectedAgain);
    ASSERT_TRUE(WaitUntil([&] { return events.data == "datadata"; }));
    WaitUntil([] { return false; }, 200);
    EXPECT_EQ(caster.connections(), 2) << "one stream before, one after";
    EXPECT_EQ(events.countLog("Connecting to 127.0.0.1:" + std::to_string(caster.port()) + "/MOUNT1"), 2)
        << "two connections, each logged once";
    client.Disconnect();
}

TEST(NtripClient, DisconnectFromInsideAHandlerDoesNotDeadlock) {
    std::atomic<bool> closedByClient{false};
    ScriptedCaster caster(StreamUntilTheClientCloses(closedByClient));
    TTavrinNTRIPClient client;
    NtripClientRecorder events(client);
    Aim(client, caster.port());
    client.OnData = [&](const char*, int) { client.Disconnect(); };
    client.Connect();
    ASSERT_TRUE(WaitUntil([&] { return closedByClient.load(); }));
    EXPECT_TRUE(events.sawLog("Disconnected"));
    EXPECT_EQ(client.State, 0);
    EXPECT_FALSE(client.Connected);
    // The worker left behind ends and is freed; a new connection still works.
    client.OnData = nullptr;
    client.Connect();
    EXPECT_TRUE(WaitUntil([&] { return caster.connections() == 2; }));
    client.Disconnect();
}

TEST(NtripClient, AHandlerThatThrowsDoesNotStopTheStream) {
    ScriptedCaster caster([](CasterConnection& c, int) {
        c.readRequest();
        c.send(Icy + "one");
        c.pause(50);
        c.send("two");
        c.readToEnd(20000);
    });
    TTavrinNTRIPClient client;
    NtripClientRecorder events(client);
    std::string data;
    client.OnData = [&](const char* bytes, int length) {
        data.append(bytes, static_cast<size_t>(length));
        throw std::runtime_error("handler failed");
    };
    Aim(client, caster.port());
    client.Connect();
    EXPECT_TRUE(WaitUntil([&] { return data == "onetwo"; }));
    EXPECT_TRUE(client.Connected);
    client.Disconnect();
}

} // namespace
