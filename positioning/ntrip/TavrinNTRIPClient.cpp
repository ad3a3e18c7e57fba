#include "positioning/ntrip/TavrinNTRIPClient.h"

#include "platform/SerialChannel.h"
#include "positioning/ntrip/NTRIPWorkerThread.h"
#include "positioning/ntrip/NtripProtocol.h"

#include <cmath>

namespace {
// How often a wait for a worker looks again when no hand-over woke it.
constexpr int WaitSliceMs = 10;
// How long before a stopped worker, retired from inside its own hand-over, is looked at again.
constexpr int RetiredCheckMs = 50;
} // namespace

TTavrinNTRIPClient::TTavrinNTRIPClient() {
    ReconnectTimer.setInterval(5000);
    QObject::connect(&ReconnectTimer, &QTimer::timeout, &handOver_,
                     [this] { handlerGuard_.run([this] { ReconnectTick(); }); });
}

TTavrinNTRIPClient::~TTavrinNTRIPClient() {
    Disconnect();
    ConnectionChange change(changingConnection_); // no handler may connect again from here on
    // A handler of the last log line may have connected again: that worker goes too, and so
    // do the retired ones.
    StopWorker();
    handOver_.runPending();
}

void TTavrinNTRIPClient::Connect() {
    // A handler that runs meanwhile (served while we wait for the old worker, or one of our
    // log lines) cannot start a connection of its own: this one is about to start, and two
    // would fight over Thread_.
    if (changingConnection_ > 0)
        return;
    ConnectionChange change(changingConnection_);
    if (Connected || Thread_) {
        StopWorker();
        DoLog("Disconnected");
    } else if (!handOver_.running()) {
        ReapRetired();
    }
    if (Host.empty()) {
        DoLog("Error: Caster address is empty");
        return;
    }
    BytesReceived = 0;
    BytesSent = 0;
    ReconnectTimer.stop();
    maxReconnectLogged_ = false;
    // The one line of this attempt: the worker's "connecting" report that follows is not
    // logged again.
    DoLog("Connecting to " + Host + ":" + std::to_string(Port) +
          (MountPoint.empty() ? std::string() : "/" + MountPoint));
    Thread_ = std::make_unique<TNTRIPWorkerThread>(this);
    Thread_->Start();
}

void TTavrinNTRIPClient::Disconnect() {
    AutoReconnect = false;
    ReconnectTimer.stop();
    {
        ConnectionChange change(changingConnection_);
        StopWorker();
    }
    DoLog("Disconnected");
}

void TTavrinNTRIPClient::RequestSourceTable() {
    MountPoint.clear();
    AutoReconnect = false;
    Connect();
}

void TTavrinNTRIPClient::StopWorker() {
    // Taken out of Thread_ first: a handler served while we wait finds no worker to stop again.
    if (std::unique_ptr<TNTRIPWorkerThread> worker = std::move(Thread_)) {
        worker->RequestStop();
        if (handOver_.running()) {
            // We are inside one of the worker's hand-overs (a handler that opened a dialog, say):
            // the worker cannot end before that step returns, so it is left to end on its own.
            retired_.push_back(std::move(worker));
            QTimer::singleShot(RetiredCheckMs, &handOver_, [this] { ReapRetired(); });
        } else {
            WaitFor(*worker);
        }
    }
    if (!handOver_.running())
        ReapRetired();
    Connected = false;
    State = Disconnected;
}

void TTavrinNTRIPClient::WaitFor(TNTRIPWorkerThread& worker) {
    worker.RequestStop();
    while (!worker.Finished()) {
        handOver_.runPending();
        handOver_.waitForWork(WaitSliceMs);
    }
    worker.Join();
}

void TTavrinNTRIPClient::ReapRetired() {
    if (retired_.empty())
        return;
    if (handOver_.running()) {
        QTimer::singleShot(RetiredCheckMs, &handOver_, [this] { ReapRetired(); });
        return;
    }
    // A handler served while we wait may retire another worker: wait for the ones taken here,
    // then look again.
    while (!retired_.empty()) {
        const auto workers = std::move(retired_);
        retired_.clear();
        for (const auto& worker : workers)
            WaitFor(*worker);
    }
}

void TTavrinNTRIPClient::SetSerialPortHandle(std::shared_ptr<SerialChannel> channel) {
    {
        std::lock_guard lock(serialMutex_);
        serialHandle_ = std::move(channel);
    }
    DoLog("Serial port handle set");
}

std::shared_ptr<SerialChannel> TTavrinNTRIPClient::SerialHandle() const {
    std::lock_guard lock(serialMutex_);
    return serialHandle_;
}

void TTavrinNTRIPClient::SetPosition(double latitude, double longitude, double altitude) {
    if (ManualPosition)
        return;
    if (!std::isfinite(latitude) || !std::isfinite(longitude) || !std::isfinite(altitude))
        return;
    Latitude = latitude;
    Longitude = longitude;
    Altitude = altitude;
}

void TTavrinNTRIPClient::ForwardToSerial(const char* data, int length,
                                         const std::atomic<bool>* cancel) {
    if (length < 1)
        return;
    const std::shared_ptr<SerialChannel> channel = SerialHandle();
    // A closed port refuses the write; a failed write is not reported (the next block tries again).
    if (channel)
        channel->write(data, static_cast<size_t>(length), SerialChannel::WriteTimeoutMs, cancel);
}

void TTavrinNTRIPClient::DoStatus(int state, const std::string& message) {
    if (OnStatus)
        handlerGuard_.run([&] { OnStatus(state, message); });
    if (state != Connecting)
        DoLog(message);
    if (state != Disconnected || !AutoReconnect)
        return;
    if (ReconnectCount < MaxReconnect) {
        ReconnectTimer.start();
    } else if (!maxReconnectLogged_) {
        maxReconnectLogged_ = true;
        DoLog("Max reconnect attempts reached");
    }
}

void TTavrinNTRIPClient::DoData(const char* data, int length) {
    if (OnData)
        handlerGuard_.run([&] { OnData(data, length); });
}

void TTavrinNTRIPClient::DoSourceTable() {
    if (OnSourceTable)
        handlerGuard_.run([&] { OnSourceTable(MountPoints); });
}

void TTavrinNTRIPClient::DoLog(const std::string& message) {
    if (OnLog)
        handlerGuard_.run([&] { OnLog(message); });
}

void TTavrinNTRIPClient::ParseSourceTable(const std::string& table) {
    MountPoints = ParseSourceTableMountPoints(table);
    DoLog("Source table parsed: " + std::to_string(MountPoints.size()) + " mount points");
    DoSourceTable();
}

void TTavrinNTRIPClient::SetReconnectInterval(int milliseconds) {
    ReconnectTimer.setInterval(milliseconds);
}

void TTavrinNTRIPClient::ReconnectTick() {
    ReconnectTimer.stop();
    if (!AutoReconnect || ReconnectCount >= MaxReconnect) {
        if (ReconnectCount >= MaxReconnect && !maxReconnectLogged_) {
            maxReconnectLogged_ = true;
            DoLog("Max reconnect attempts reached");
        }
        return;
    }
    ++ReconnectCount;
    DoLog("Reconnect attempt " + std::to_string(ReconnectCount) + "/" +
          std::to_string(MaxReconnect));
    Connect();
}
