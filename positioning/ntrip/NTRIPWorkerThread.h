#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <thread>

class TTavrinNTRIPClient;

// One connection attempt to a caster, run on a thread of its own: resolves, connects, sends the
// request, reads the answer and then the correction stream until the caster goes, the stream
// stalls or a stop is requested. Everything it reports reaches the client's events on the
// user-interface thread through blocking hand-overs.
//
// Only this thread closes the socket. A stop shuts the socket down, which wakes a blocked
// receive or send at once (closing it from another thread would not, and the descriptor's
// number could be reused under our feet), and signals the waits through a wake descriptor.
class TNTRIPWorkerThread {
public:
    // Takes a copy of the client's connection settings: the owner may edit them while we run.
    explicit TNTRIPWorkerThread(TTavrinNTRIPClient* client);
    // Requests a stop and waits for the thread; the owner must be able to serve hand-overs
    // before it gets here (see TTavrinNTRIPClient::Disconnect).
    ~TNTRIPWorkerThread();
    TNTRIPWorkerThread(const TNTRIPWorkerThread&) = delete;
    TNTRIPWorkerThread& operator=(const TNTRIPWorkerThread&) = delete;

    void Start();
    // User-interface thread: asks the worker to end; returns at once.
    void RequestStop();
    bool Stopping() const { return Stopping_.load(); }
    // The thread has left Execute (it may still need joining).
    bool Finished() const { return Finished_.load(); }
    void Join();

private:
    void Execute();
    void Run();
    void ReceiveLoop();
    void ReportStatus(int state, const std::string& message);
    void ReportLog(const std::string& message);
    void HandleCorrectionData(const char* data, int length);
    void SendGGA();
    std::string BuildGGA() const;
    void CloseSocket();

    TTavrinNTRIPClient* Client;
    const std::string Host;
    const int Port;
    const std::string Username;
    const std::string Password;
    const std::string MountPoint;
    const int GGAInterval;
    const int ReceiveTimeoutMs;
    const int ConnectTimeoutMs;

    std::mutex socketMutex_;
    int Socket = -1;
    int WakeDescriptor = -1;
    std::atomic<bool> Stopping_{false};
    std::atomic<bool> Finished_{false};
    std::thread thread_;
};
