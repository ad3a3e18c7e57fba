#pragma once

#include <sys/types.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

// Casters for the NTRIP client's tests, all on 127.0.0.1 only.

// A text a caster's script writes and the test reads.
class SharedText {
public:
    void set(std::string text) {
        std::lock_guard lock(mutex_);
        text_ = std::move(text);
        set_ = true;
    }
    bool isSet() const {
        std::lock_guard lock(mutex_);
        return set_;
    }
    std::string get() const {
        std::lock_guard lock(mutex_);
        return text_;
    }

private:
    mutable std::mutex mutex_;
    std::string text_;
    bool set_ = false;
};

// One accepted connection of a scripted caster. Every wait is bounded and ends early when the
// caster is being torn down, so a test that fails never hangs.
class CasterConnection {
public:
    CasterConnection(int descriptor, int stopDescriptor)
        : descriptor_(descriptor), stopDescriptor_(stopDescriptor) {}

    // Reads until the request's blank line; returns what was read (empty on time-out).
    std::string readRequest(int timeoutMs = 5000);
    // Reads until `marker` has arrived; returns everything read so far on this connection
    // after the request (empty on time-out).
    std::string readUntil(std::string_view marker, int timeoutMs = 5000);
    // Reads until the client closes; returns everything read after the request.
    std::string readToEnd(int timeoutMs = 5000);
    void send(std::string_view bytes);
    // Ends our side of the stream while still reading what the client sends.
    void shutdownWrite();
    // Waits (bounded) without reading; false when the caster is being torn down.
    bool pause(int milliseconds);

private:
    // Reads one more piece into received_; false on end, error, time-out or teardown.
    bool readMore(int timeoutMs);

    int descriptor_;
    int stopDescriptor_;
    std::string received_;
    size_t requestEnd_ = 0;
};

// A caster that runs a script for every connection it accepts, one connection at a time.
class ScriptedCaster {
public:
    using Script = std::function<void(CasterConnection& connection, int index)>;

    explicit ScriptedCaster(Script script);
    ~ScriptedCaster();
    ScriptedCaster(const ScriptedCaster&) = delete;
    ScriptedCaster& operator=(const ScriptedCaster&) = delete;

    int port() const { return port_; }
    int connections() const { return connections_.load(); }

private:
    void serve();

    Script script_;
    int listener_ = -1;
    int stopPipe_[2] = {-1, -1};
    int port_ = 0;
    std::atomic<int> connections_{0};
    std::thread thread_;
};

// Debian's rtklib str2str as a real NTRIP caster, fed a recorded RTCM 3 file over and over on
// its standard input. The child is killed when the object goes, and dies with the test process.
class Str2StrCaster {
public:
    Str2StrCaster(const std::string& fixturePath, const std::string& user,
                  const std::string& password, const std::string& mountPoint);
    ~Str2StrCaster();
    Str2StrCaster(const Str2StrCaster&) = delete;
    Str2StrCaster& operator=(const Str2StrCaster&) = delete;

    // False when the caster could not be started (no free port, str2str missing...).
    bool running() const { return pid_ > 0; }
    int port() const { return port_; }
    const std::string& fixture() const { return fixture_; }

private:
    bool start(const std::string& user, const std::string& password, const std::string& mountPoint);
    void stop();

    std::string fixture_;
    pid_t pid_ = -1;
    int port_ = 0;
    int input_ = -1;
    std::atomic<bool> feeding_{false};
    std::thread feeder_;
};

// A free TCP port on 127.0.0.1 at the time of the call.
int FreeLocalPort();
// Connects to 127.0.0.1:port; true when something accepts.
bool LocalPortAccepts(int port);
