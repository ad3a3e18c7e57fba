#include "positioning/ntrip/NTRIPWorkerThread.h"

#include "platform/Clock.h"
#include "positioning/ntrip/NtripHostLookup.h"
#include "positioning/ntrip/NtripProtocol.h"
#include "positioning/ntrip/NtripResponseParser.h"
#include "positioning/ntrip/NtripSocket.h"
#include "positioning/ntrip/TavrinNTRIPClient.h"

#include <cerrno>
#include <exception>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

namespace {
constexpr size_t ReceiveBlockBytes = 4095;
// The resolver gives up long before this; it only bounds a lookup that hangs.
constexpr int LookupTimeoutMs = 120000;
} // namespace

TNTRIPWorkerThread::TNTRIPWorkerThread(TTavrinNTRIPClient* client)
    : Client(client), Host(client->Host), Port(client->Port), Username(client->Username),
      Password(client->Password), MountPoint(client->MountPoint), GGAInterval(client->GGAInterval),
      ReceiveTimeoutMs(client->ReceiveTimeoutMs), ConnectTimeoutMs(client->ConnectTimeoutMs),
      WakeDescriptor(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

TNTRIPWorkerThread::~TNTRIPWorkerThread() {
    RequestStop();
    Join();
    if (WakeDescriptor >= 0)
        ::close(WakeDescriptor);
}

void TNTRIPWorkerThread::Start() {
    thread_ = std::thread([this] { Execute(); });
}

void TNTRIPWorkerThread::RequestStop() {
    Stopping_ = true;
    {
        std::lock_guard lock(socketMutex_);
        if (Socket >= 0)
            ::shutdown(Socket, SHUT_RDWR);
    }
    if (WakeDescriptor >= 0) {
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t written = ::write(WakeDescriptor, &one, sizeof one);
    }
}

void TNTRIPWorkerThread::Join() {
    if (thread_.joinable())
        thread_.join();
}

void TNTRIPWorkerThread::Execute() {
    try {
        Run();
    } catch (const std::exception&) {
        // Out of memory, most likely. The owner must never wait for a worker that died
        // silently: close, say the connection is gone, and end.
        CloseSocket();
        Client->Connected = false;
        try {
            ReportStatus(0, "Disconnected");
        } catch (const std::exception&) {
        }
    }
    Finished_ = true;
    Client->handOver_.wake();
}

void TNTRIPWorkerThread::Run() {
    if (WakeDescriptor < 0) {
        ReportStatus(4, "Failed to create socket");
        return;
    }
    ReportStatus(1, "Connecting to " + Host + ":" + std::to_string(Port));

    NtripHostLookup lookup(Host, Port);
    if (!lookup.started()) {
        ReportStatus(4, "Failed to resolve host: " + Host);
        return;
    }
    const NtripWait looked =
        NtripWaitReadable(lookup.readyDescriptor(), WakeDescriptor, LookupTimeoutMs);
    if (looked == NtripWait::Woken || Stopping_)
        return;
    const auto addresses = lookup.addresses();
    if (looked != NtripWait::Ready || addresses.empty()) {
        ReportStatus(4, "Failed to resolve host: " + Host);
        return;
    }

    const int socket = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (socket < 0) {
        ReportStatus(4, "Failed to create socket");
        return;
    }
    {
        std::lock_guard lock(socketMutex_);
        Socket = socket;
    }
    // Only sends block on the socket itself (receives wait in poll), so the time-out that
    // matters here is the send's.
    timeval timeout{ReceiveTimeoutMs / 1000, (ReceiveTimeoutMs % 1000) * 1000};
    ::setsockopt(socket, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    ::setsockopt(socket, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);

    const NtripWait connected =
        Port >= 1 && Port <= 65535
            ? NtripConnect(socket, addresses.front(), WakeDescriptor, ConnectTimeoutMs)
            : NtripWait::Failed;
    if (connected != NtripWait::Ready) {
        CloseSocket();
        if (connected != NtripWait::Woken && !Stopping_)
            ReportStatus(4, "Failed to connect to " + Host);
        return;
    }

    const std::string request = BuildNtripRequest(MountPoint, Username, Password);
    NtripSendAll(socket, request.data(), request.size());

    ReceiveLoop();

    CloseSocket();
    // After a stop the client has already taken the connection down, and may have started the
    // next one: a stopped worker leaves the shared state alone.
    if (!Stopping_) {
        Client->Connected = false;
        ReportStatus(0, "Disconnected");
    }
}

void TNTRIPWorkerThread::ReceiveLoop() {
    NtripResponseParser parser(MountPoint);
    char buffer[ReceiveBlockBytes + 1];
    uint64_t lastGGA = 0;
    while (!Stopping_) {
        const NtripWait wait = NtripWaitReadable(Socket, WakeDescriptor, ReceiveTimeoutMs);
        ssize_t received = -1;
        if (wait == NtripWait::Ready) {
            received = ::recv(Socket, buffer, ReceiveBlockBytes, MSG_DONTWAIT);
            if (received < 0 && (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK))
                continue;
        }
        if (received <= 0) {
            if (Stopping_)
                return;
            // A header cut short may still say why the caster hung up.
            const auto last = parser.finish();
            if (last.kind == NtripResponseParser::Outcome::Kind::Refused) {
                if (!last.serverResponse.empty())
                    ReportLog("Server response: " + last.serverResponse);
                ReportStatus(4, last.status);
            } else {
                ReportStatus(0, "Connection closed");
            }
            return;
        }
        buffer[received] = '\0';

        using Kind = NtripResponseParser::Outcome::Kind;
        const auto outcome = parser.feed(std::string_view(buffer, static_cast<size_t>(received)));
        switch (outcome.kind) {
        case Kind::NeedMore:
            break;
        case Kind::Refused:
            if (!outcome.serverResponse.empty())
                ReportLog("Server response: " + outcome.serverResponse);
            ReportStatus(4, outcome.status);
            return;
        case Kind::SourceTable: {
            if (outcome.truncated)
                ReportLog("Source table too long: only its first " +
                          std::to_string(outcome.sourceTable.size()) + " bytes were read");
            const std::string table = outcome.sourceTable;
            if (!Stopping_)
                Client->handOver_.call([this, &table] { Client->ParseSourceTable(table); });
            return;
        }
        case Kind::StreamStarted:
            ReportStatus(2, "Connected to " + MountPoint);
            if (Stopping_)
                return;
            Client->Connected = true;
            Client->ReconnectCount = 0;
            SendGGA();
            lastGGA = Clock::tickCount();
            if (!outcome.data.empty()) {
                // Copied: the parser's text is not ours to hand out past this block.
                const std::string first(outcome.data);
                HandleCorrectionData(first.data(), static_cast<int>(first.size()));
                ReportStatus(3, "Receiving correction data");
            }
            break;
        case Kind::StreamData:
            HandleCorrectionData(buffer, static_cast<int>(received));
            if (Client->State != 3)
                ReportStatus(3, "Receiving correction data");
            if (GGAInterval >= 1) {
                const uint64_t now = Clock::tickCount();
                if (now - lastGGA >= static_cast<uint64_t>(GGAInterval) * 1000) {
                    SendGGA();
                    lastGGA = now;
                }
            }
            break;
        }
    }
}

void TNTRIPWorkerThread::ReportStatus(int state, const std::string& message) {
    if (Stopping_)
        return;
    Client->State = state;
    Client->handOver_.call([this, state, &message] { Client->DoStatus(state, message); });
}

void TNTRIPWorkerThread::ReportLog(const std::string& message) {
    if (Stopping_)
        return;
    Client->handOver_.call([this, &message] { Client->DoLog(message); });
}

void TNTRIPWorkerThread::HandleCorrectionData(const char* data, int length) {
    Client->BytesReceived += length;
    Client->RxTail.append(data, static_cast<size_t>(length));
    if (Client->SerialForwarding)
        Client->ForwardToSerial(data, length, &Stopping_);
    if (Stopping_)
        return;
    Client->handOver_.call([this, data, length] { Client->DoData(data, length); });
}

void TNTRIPWorkerThread::SendGGA() {
    if (Socket < 0)
        return;
    const std::string sentence = BuildGGA() + "\r\n";
    const long sent = NtripSendAll(Socket, sentence.data(), sentence.size());
    if (sent > 0)
        Client->BytesSent += static_cast<int>(sent);
}

std::string TNTRIPWorkerThread::BuildGGA() const {
    return BuildGGASentence(Client->Latitude, Client->Longitude, Client->Altitude,
                            ToUtcTimeOfDay(Clock::now()));
}

void TNTRIPWorkerThread::CloseSocket() {
    std::lock_guard lock(socketMutex_);
    if (Socket >= 0) {
        ::close(Socket);
        Socket = -1;
    }
}
