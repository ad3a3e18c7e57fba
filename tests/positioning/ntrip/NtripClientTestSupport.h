#pragma once

// What the NTRIP client's tests share: aiming a client at the test caster, byte patterns, a
// pseudo-terminal for the receiver's port, an installed clock and a caster that never answers.
#include "tests/support/NtripTestCaster.h"

#include "platform/ManualClock.h"
#include "platform/SerialChannel.h"
#include "positioning/ntrip/TavrinNTRIPClient.h"

#include <arpa/inet.h>
#include <atomic>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <netinet/in.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

inline const std::string Icy = "ICY 200 OK\r\n";

inline void Aim(TTavrinNTRIPClient& client, int port, const std::string& mountPoint = "MOUNT1") {
    client.Host = "127.0.0.1";
    client.Port = port;
    client.MountPoint = mountPoint;
    client.AutoReconnect = false;
}

// Bytes of every value, NUL included, `size` long, starting at `seed`.
inline std::string Bytes(size_t size, int seed) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((seed + i * 7) % 256);
    return bytes;
}

// The script's side of a wait for the test: true once `flag` is set (bounded).
inline bool AwaitFlag(CasterConnection& connection, const std::atomic<bool>& flag, int timeoutMs = 10000) {
    for (int waited = 0; waited < timeoutMs; waited += 5) {
        if (flag)
            return true;
        if (!connection.pause(5))
            return false;
    }
    return flag;
}

// A caster's script: the stream starts with "data" and stays open until the client closes it
// (bounded), which sets `closedByClient`.
inline ScriptedCaster::Script StreamUntilTheClientCloses(std::atomic<bool>& closedByClient) {
    return [&closedByClient](CasterConnection& c, int) {
        c.readRequest();
        c.send(Icy + "data");
        c.readToEnd(20000);
        closedByClient = true;
    };
}

inline int CountOf(const std::string& text, const std::string& what) {
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
