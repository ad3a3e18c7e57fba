#pragma once

#include "positioning/ntrip/NtripCaptureBuffer.h"
#include "positioning/ntrip/NtripHandOver.h"

#include "platform/RepeatedErrorGuard.h"

#include <QTimer>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class SerialChannel;
class TNTRIPWorkerThread;

// The NTRIP client: fetches RTK corrections (RTCM 3) for one mount point from a caster, writes
// them to the GNSS receiver's serial port, hands every block to its owner and sends the caster
// the boat's position as a GGA sentence. With an empty mount point it fetches the caster's
// source table instead.
//
// All socket work runs on a worker thread, one per connection attempt; every event below is
// raised on the user-interface thread, the thread that created the client and calls its
// methods. A handler must not wait for the worker; it may call Connect or Disconnect (the
// worker it interrupts ends once the handler returns), but must not destroy the client. A
// Connect from a handler that runs while Connect or Disconnect waits for the old worker to end
// does nothing: the connection being changed is the caller's.
class TTavrinNTRIPClient {
public:
    enum ConnectionState {
        Disconnected = 0,
        Connecting = 1,
        Accepted = 2,
        Receiving = 3,
        Failed = 4
    };

    TTavrinNTRIPClient();
    ~TTavrinNTRIPClient();
    TTavrinNTRIPClient(const TTavrinNTRIPClient&) = delete;
    TTavrinNTRIPClient& operator=(const TTavrinNTRIPClient&) = delete;

    // Connection settings, written by the owner before Connect (a running worker keeps the
    // values it started with).
    std::string Host;
    int Port = 2101;
    std::string Username; // empty: no authorization line
    std::string Password;
    std::string MountPoint; // empty: the source table

    // Position sent in the GGA sentence: degrees (north, east positive) and metres.
    std::atomic<double> Latitude{0.0};
    std::atomic<double> Longitude{0.0};
    std::atomic<double> Altitude{0.0};
    // The position is entered by hand: SetPosition leaves it alone.
    std::atomic<bool> ManualPosition{false};
    // Write every received block to the GNSS port handed over by SetSerialPortHandle.
    std::atomic<bool> SerialForwarding{true};

    // Read by the owner while the worker changes them.
    std::atomic<int> State{Disconnected};
    std::atomic<bool> Connected{false}; // a stream was accepted and has not ended
    std::atomic<int> BytesReceived{0};  // correction bytes since the last Connect
    std::atomic<int> BytesSent{0};      // GGA bytes since the last Connect
    std::atomic<int> ReconnectCount{0}; // attempts since the last accepted stream
    // The last 8192 received bytes, for the RTCM report.
    NtripCaptureBuffer RxTail;

    int MaxReconnect = 10;
    bool AutoReconnect = true;
    // Seconds between GGA sentences; 0 or less sends only the first.
    int GGAInterval = 10;
    // A stream silent for this long is taken as lost.
    int ReceiveTimeoutMs = 30000;
    // A caster that does not answer the TCP connection within this time is unreachable.
    int ConnectTimeoutMs = 30000;

    // Mount point names of the last source table, in table order.
    std::vector<std::string> MountPoints;

    std::function<void(int state, const std::string& message)> OnStatus;
    // `data` is valid only during the call.
    std::function<void(const char* data, int length)> OnData;
    std::function<void(const std::vector<std::string>& mountPoints)> OnSourceTable;
    // Every status after `OnStatus` (but "connecting", which `Connect` has just logged once with
    // the mount point) and the client's own lines.
    std::function<void(const std::string& message)> OnLog;

    // Starts a worker for the current settings, first taking down a connection that runs.
    void Connect();
    // Stops automatic reconnection and the worker; raises no OnStatus.
    void Disconnect();
    // Clears MountPoint and AutoReconnect, then connects.
    void RequestSourceTable();
    // The GNSS receiver's open port, or nullptr. Once the port is closed its channel refuses
    // every write, so forwarding stops by itself.
    void SetSerialPortHandle(std::shared_ptr<SerialChannel> channel);
    std::shared_ptr<SerialChannel> SerialHandle() const;
    // Stores the position unless ManualPosition is set; non-finite numbers are refused.
    void SetPosition(double latitude, double longitude, double altitude);

    void DoStatus(int state, const std::string& message);
    void DoData(const char* data, int length);
    void DoSourceTable();
    void DoLog(const std::string& message);
    // Fills MountPoints from a source table and raises OnSourceTable.
    void ParseSourceTable(const std::string& table);

    // Time between a lost connection and the next attempt (5000 ms).
    void SetReconnectInterval(int milliseconds);
    bool ReconnectScheduled() const { return ReconnectTimer.isActive(); }
    // The current worker, running or finished; null when there is none.
    const TNTRIPWorkerThread* Thread() const { return Thread_.get(); }

private:
    friend class TNTRIPWorkerThread;

    void ReconnectTick();
    // Worker thread: one write of the block to the GNSS port, unless that port has closed.
    // It waits as long as the port's own writes do, and gives up early once `cancel` is set.
    void ForwardToSerial(const char* data, int length, const std::atomic<bool>* cancel = nullptr);
    // Stops the current worker and frees it, serving its hand-overs meanwhile.
    void StopWorker();
    void WaitFor(TNTRIPWorkerThread& worker);
    void ReapRetired();

    NtripHandOver handOver_;
    QTimer ReconnectTimer;
    RepeatedErrorGuard handlerGuard_{QStringLiteral("NTRIP client")};
    std::unique_ptr<TNTRIPWorkerThread> Thread_;
    // Workers stopped from inside one of their own hand-overs: they end once that step returns.
    std::vector<std::unique_ptr<TNTRIPWorkerThread>> retired_;
    bool maxReconnectLogged_ = false;
    // Above 0 while Connect, Disconnect or the destructor is changing the connection.
    int changingConnection_ = 0;
    struct ConnectionChange {
        int& depth;
        explicit ConnectionChange(int& d) : depth(d) { ++depth; }
        ~ConnectionChange() { --depth; }
    };

    mutable std::mutex serialMutex_;
    std::shared_ptr<SerialChannel> serialHandle_;
};
