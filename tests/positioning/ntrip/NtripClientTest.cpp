#include "NtripClientRecorder.h"
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

const std::string Icy = "ICY 200 OK\r\n";

void Aim(TTavrinNTRIPClient& client, int port, const std::string& mountPoint = "MOUNT1") {
    client.Host = "127.0.0.1";
    client.Port = port;
    client.MountPoint = mountPoint;
    client.AutoReconnect = false;
}

// Bytes of every value, NUL included, `size` long, starting at `seed`.
std::string Bytes(size_t size, int seed) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((seed + i * 7) % 256);
    return bytes;
}

// The script's side of a wait for the test: true once `flag` is set (bounded).
bool AwaitFlag(CasterConnection& connection, const std::atomic<bool>& flag, int timeoutMs = 10000) {
    for (int waited = 0; waited < timeoutMs; waited += 5) {
        if (flag)
            return true;
        if (!connection.pause(5))
            return false;
    }
    return flag;
}

int CountOf(const std::string& text, const std::string& what) {
    int count = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++count;
    return count;
}

// A pseudo-terminal standing in for the GNSS receiver's serial port: the client writes to the
// slave through a SerialChannel, a thread drains the master.
class ReceiverPort {
public:
    ReceiverPort() {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0)
            return;
        const int slave = ::open(::ptsname(master_), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (slave < 0)
            return;
        termios raw{};
        ::tcgetattr(slave, &raw);
        ::cfmakeraw(&raw);
        ::tcsetattr(slave, TCSANOW, &raw);
        channel = std::make_shared<SerialChannel>(slave, ::ptsname(master_));
        reader_ = std::thread([this] {
            char buffer[4096];
            while (!stop_) {
                pollfd ready{master_, POLLIN, 0};
                if (::poll(&ready, 1, 20) <= 0)
                    continue;
                const ssize_t n = ::read(master_, buffer, sizeof buffer);
                if (n <= 0)
                    continue;
                std::lock_guard lock(mutex_);
                received_.append(buffer, static_cast<size_t>(n));
            }
        });
    }
    ~ReceiverPort() {
        stop_ = true;
        if (reader_.joinable())
            reader_.join();
        if (channel)
            channel->close();
        if (master_ >= 0)
            ::close(master_);
    }
    std::string received() const {
        std::lock_guard lock(mutex_);
        return received_;
    }

    std::shared_ptr<SerialChannel> channel;

private:
    int master_ = -1;
    std::atomic<bool> stop_{false};
    mutable std::mutex mutex_;
    std::string received_;
    std::thread reader_;
};

struct InstalledClock {
    ManualClock clock{LocalDateTime{2024, 6, 1, 12, 0, 0, 0}, 1000000};
    InstalledClock() { Clock::install(&clock); }
    ~InstalledClock() { Clock::install(nullptr); }
};

// A listener on 127.0.0.1 that never accepts, its queue filled up: the kernel drops further
// connection requests, so a connect to it hangs as to a caster that does not answer.
class UnansweringListener {
public:
    UnansweringListener() {
        listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (listener_ < 0 ||
            ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            ::listen(listener_, 0) != 0 ||
            ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
            return;
        for (int i = 0; i < 8; ++i) {
            const int filler = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
            fillers_.push_back(filler);
            if (::connect(filler, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0)
                continue;
            pollfd done{filler, POLLOUT, 0};
            if (::poll(&done, 1, 200) == 0) { // this one hangs: the queue is full
                port_ = ntohs(address.sin_port);
                return;
            }
        }
    }
    ~UnansweringListener() {
        for (const int fd : fillers_)
            ::close(fd);
        if (listener_ >= 0)
            ::close(listener_);
    }
    int port() const { return port_; }

private:
    int listener_ = -1;
    int port_ = 0;
    std::vector<int> fillers_;
};

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
    ScriptedCaster caster([&](CasterConnection& c, int) {
        c.readRequest();
        c.send(Icy + "data");
        c.readToEnd(20000);
        closedByClient = true;
    });
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
    ScriptedCaster caster([&](CasterConnection& c, int) {
        c.readRequest();
        c.send(Icy + "data");
        c.readToEnd(20000);
        closedByClient = true;
    });
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
