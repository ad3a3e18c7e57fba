#include "positioning/gnss/TavrinSerialGPS.h"

#include "platform/Clock.h"
#include "platform/DateTimeText.h"
#include "platform/NumberText.h"
#include "platform/SerialPort.h"

#include <QSocketNotifier>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <filesystem>
#include <stdexcept>

namespace {

constexpr int DefaultPollInterval = 50;
constexpr int DefaultWatchdogInterval = 10000;
// An unfinished line longer than this cannot become a device line.
constexpr size_t RxBufferLimit = 4096;

QString GuardName(int port, const char* what) {
    return QString::fromStdString(TTavrinSerialGPS::PortName(port)) + QLatin1Char(' ') +
           QLatin1String(what);
}

} // namespace

SerialLineSettings TTavrinSerialGPS::LineSettings() const {
    const TTavrinSerialGPS& port = *this;
    SerialLineSettings settings;
    settings.baudRate = port.BaudRate;
    settings.dataBits = port.DataBitsIndex + 4;
    switch (port.StopBitsIndex) {
    case 2:
        settings.stopBits = SerialLineSettings::StopBits::OneAndHalf;
        break;
    case 3:
        settings.stopBits = SerialLineSettings::StopBits::Two;
        break;
    default:
        settings.stopBits = SerialLineSettings::StopBits::One;
        break;
    }
    using Parity = SerialLineSettings::Parity;
    static constexpr Parity Parities[] = {Parity::None, Parity::Odd, Parity::Even, Parity::Mark,
                                          Parity::Space};
    settings.parity = (port.ParityIndex >= 0 && port.ParityIndex <= 4) ? Parities[port.ParityIndex]
                                                                       : Parity::Unchanged;
    settings.parityChecking = port.ParityIndex != 0;
    settings.dtr = port.DTR;
    settings.rts = port.RTS;
    return settings;
}

namespace {

// "yyyy-MM-dd HH:nn:ss.zzz"
std::string LogStamp(const LocalDateTime& t) {
    char milliseconds[8];
    std::snprintf(milliseconds, sizeof milliseconds, ".%03d", t.millisecond);
    return DateText(t) + " " + ClockTimeText(t) + milliseconds;
}

} // namespace

TTavrinSerialGPS::TTavrinSerialGPS(QObject* Owner)
    : QObject(Owner), parser_(*this), lineGuard_(GuardName(1, "line handler")),
      pollGuard_(GuardName(1, "poll")), logGuard_(GuardName(1, "raw log")) {
    PollTimer = new QTimer(this);
    PollTimer->setInterval(DefaultPollInterval);
    // A coarse timer may fire 5 % late: at 200 ms that alone would exceed the latency the
    // line handlers may expect.
    PollTimer->setTimerType(Qt::PreciseTimer);
    connect(PollTimer, &QTimer::timeout, this, &TTavrinSerialGPS::PollTimerTick);
    WatchdogTimer = new QTimer(this);
    WatchdogTimer->setInterval(DefaultWatchdogInterval);
    connect(WatchdogTimer, &QTimer::timeout, this, &TTavrinSerialGPS::WatchdogTick);

    parser_.onPositionChanged = [this](long double lat, long double lon, long double alt) {
        if (OnPosition3DChange)
            OnPosition3DChange(this, lat, lon, alt);
    };
    parser_.onSpeedChanged = [this](long double speed) {
        if (OnSpeedChange)
            OnSpeedChange(this, speed);
    };
}

TTavrinSerialGPS::~TTavrinSerialGPS() {
    PollTimer->stop();
    WatchdogTimer->stop();
    PollTimer->disconnect(this);
    WatchdogTimer->disconnect(this);
    OnConnect = nullptr;
    OnDisconnect = nullptr;
    OnIdle = nullptr;
    OnTimeout = nullptr;
    OnNewCommand = nullptr;
    OnSend = nullptr;
    OnPosition3DChange = nullptr;
    OnSpeedChange = nullptr;
    OnGgaApplied = nullptr;
    Close();
}

int TTavrinSerialGPS::EffectivePollInterval() const {
    return PollInterval < 1 ? DefaultPollInterval : PollInterval;
}

int TTavrinSerialGPS::EffectiveWatchdogInterval() const {
    const int interval = WatchdogInterval < 1 ? DefaultWatchdogInterval : WatchdogInterval;
    // A watchdog that ticks between two polls would call a busy port silent.
    const int64_t twicePoll = 2 * static_cast<int64_t>(EffectivePollInterval());
    return static_cast<int>(std::min<int64_t>(std::max<int64_t>(interval, twicePoll), INT_MAX));
}

void TTavrinSerialGPS::Open() {
    if (Connected)
        return;
    const std::string name = PortName(PortNumber);
    const std::string device = SerialPort::devicePath(PortNumber);
    auto opened = SerialPort::open(device, LineSettings());
    if (!opened.channel) {
        Handle.reset();
        LastError = name + ": " + opened.error;
        return;
    }
    Handle = std::move(opened.channel);
    LastError.clear();
    Connected = true;
    ++session_;
    RxBuffer.clear();
    skippingOverlong_ = false;
    DataSeen = false;
    lineGuard_ = RepeatedErrorGuard(GuardName(PortNumber, "line handler"));
    pollGuard_ = RepeatedErrorGuard(GuardName(PortNumber, "poll"));
    logGuard_ = RepeatedErrorGuard(GuardName(PortNumber, "raw log"));

    if (NmeaLog && !LogFileName.empty()) {
        std::error_code ignored;
        const auto folder = std::filesystem::path(LogFileName).parent_path();
        if (!folder.empty())
            std::filesystem::create_directories(folder, ignored);
        logFile_ = std::fopen(LogFileName.c_str(), "ae");
        if (!logFile_) {
            // The port works without its raw log; the operator must know that it is missing.
            const std::string why = std::strerror(errno);
            logGuard_.run(
                [&] { throw std::runtime_error("cannot open " + LogFileName + ": " + why); });
        }
    }

    bytesWaiting_ = new QSocketNotifier(Handle->descriptor(), QSocketNotifier::Read, this);
    bytesWaiting_->setEnabled(false);
    connect(bytesWaiting_, &QSocketNotifier::activated, this,
            &TTavrinSerialGPS::PortBecameReadable);
    PollTimer->setInterval(EffectivePollInterval());
    PollTimer->start();
    WatchdogTimer->setInterval(EffectiveWatchdogInterval());
    WatchdogTimer->start();
    NoData = false;

    if (OnConnect)
        OnConnect(this, PortNumber);
}

void TTavrinSerialGPS::Close() {
    PollTimer->stop();
    WatchdogTimer->stop();
    if (bytesWaiting_) {
        // Close may run inside the notifier's own signal: let the event loop delete it.
        bytesWaiting_->setEnabled(false);
        bytesWaiting_->deleteLater();
        bytesWaiting_ = nullptr;
    }
    if (!Connected)
        return;
    if (Handle) {
        Handle->close();
        Handle.reset();
    }
    CloseLog();
    Connected = false;
    ++session_;
    clearFix();
    if (OnDisconnect)
        OnDisconnect(this, PortNumber);
}

void TTavrinSerialGPS::CloseLog() {
    if (logFile_) {
        std::fclose(logFile_);
        logFile_ = nullptr;
    }
}

bool TTavrinSerialGPS::WriteLine(const std::string& Text) {
    if (!Connected || !Handle)
        return false;
    const long written = Handle->write(Text.data(), Text.size());
    if (written != static_cast<long>(Text.size())) {
        LastError = PortName(PortNumber) + ": write failed (" +
                    std::to_string(written < 0 ? 0 : written) + " of " +
                    std::to_string(Text.size()) + " bytes sent)";
        return false;
    }
    if (OnSend)
        OnSend(this, Text);
    return true;
}

void TTavrinSerialGPS::PollPort() {
    ReadWaitingBytes();
}

bool TTavrinSerialGPS::WaitingForBytes() const {
    return bytesWaiting_ && bytesWaiting_->isEnabled();
}

SerialPort::ReadStatus TTavrinSerialGPS::ReadWaitingBytes() {
    if (!Connected || !Handle)
        return SerialPort::ReadStatus::Vanished;
    SerialPort::ReadStatus status = SerialPort::ReadStatus::Failed;
    pollGuard_.run([&] {
        readBuffer_.resize(MaxReadPerPoll);
        const auto result = SerialPort::read(*Handle, readBuffer_.data(), readBuffer_.size());
        status = result.status;
        switch (result.status) {
        case SerialPort::ReadStatus::Data:
            AcceptBytes(readBuffer_.data(), result.size);
            break;
        case SerialPort::ReadStatus::Empty:
        case SerialPort::ReadStatus::Failed: // the next tick tries again
            break;
        case SerialPort::ReadStatus::Vanished: {
            // Unplugged, or the far end closed: report it once as a disconnection rather
            // than reading an endless end of file on every tick.
            LastError = PortName(PortNumber) + ": device went away (" + result.error + ")";
            Close();
            break;
        }
        }
    });
    return status;
}

void TTavrinSerialGPS::PollTimerTick() {
    lastReadTick_ = Clock::tickCount();
    // Nothing was read, so no handler ran and the port is the one this tick belongs to.
    if (ReadWaitingBytes() == SerialPort::ReadStatus::Empty && bytesWaiting_) {
        PollTimer->stop();
        bytesWaiting_->setEnabled(true);
    }
}

void TTavrinSerialGPS::PortBecameReadable() {
    // A device that sends its lines in bursts is read once per burst, as the bytes come. One
    // that trickles them (or a descriptor that stays readable) wakes the port again within
    // the poll interval: from then on the poll timer reads, once per interval.
    const uint64_t now = Clock::tickCount();
    if (now - lastReadTick_ >= static_cast<uint64_t>(EffectivePollInterval())) {
        lastReadTick_ = now;
        ReadWaitingBytes();
        return;
    }
    bytesWaiting_->setEnabled(false);
    PollTimer->start();
}

void TTavrinSerialGPS::AcceptBytes(const char* data, size_t size) {
    if (size == 0)
        return;
    // A NUL is line noise (or a parity error marker), not the end of the read.
    if (KeepNulBytes) {
        RxBuffer.append(data, size);
    } else {
        const char* end = data + size;
        const char* p = data;
        while (p < end) {
            const char* zero = static_cast<const char*>(std::memchr(p, '\0', end - p));
            const char* stop = zero ? zero : end;
            RxBuffer.append(p, stop - p);
            p = zero ? zero + 1 : end;
        }
    }
    DataSeen = true;
    NoData = false;
    ProcessLines();
}

void TTavrinSerialGPS::ProcessLines() {
    // A handler that runs a nested event loop may let the next poll tick in: that tick only
    // appends, and this loop, still running, cuts what it appended in order.
    if (processing_)
        return;
    processing_ = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{processing_};

    // A port that keeps NUL bytes hands on every other byte too: a NUL or a stray byte at the
    // end of "$SDDBT,16.40,f,8.10" may stand for the digit that made it 8.105, so its reader
    // must see it. Only blanks and line ends are trimmed there.
    const bool keepBytes = KeepNulBytes;
    const auto trimmed = [keepBytes](unsigned char c) {
        return keepBytes ? (c == ' ' || c == '\t' || c == '\r' || c == '\n') : c <= 32;
    };
    const uint64_t session = session_;
    size_t start = 0;
    std::string line;
    while (session == session_) {
        const size_t feed = RxBuffer.find('\n', start);
        if (feed == std::string::npos)
            break;
        const size_t lineStart = start;
        start = feed + 1;
        if (skippingOverlong_) {
            skippingOverlong_ = false;
            ++overlongLines_;
            continue;
        }
        if (feed - lineStart > MaxLineLength) {
            ++overlongLines_;
            continue;
        }
        size_t first = lineStart;
        size_t last = feed;
        while (first < last && trimmed(static_cast<unsigned char>(RxBuffer[first])))
            ++first;
        while (last > first && trimmed(static_cast<unsigned char>(RxBuffer[last - 1])))
            --last;
        if (first == last)
            continue;
        line.assign(RxBuffer, first, last - first);
        HandleLine(line);
    }
    if (session != session_)
        return; // closed or reopened by a handler: the old session's text is not ours
    RxBuffer.erase(0, start);
    if (RxBuffer.size() > RxBufferLimit) {
        // Keeping the tail would hand on a fragment as if it were a whole line once its line
        // feed arrives.
        RxBuffer.clear();
        skippingOverlong_ = true;
    }
}

namespace {

// "$" and a two-character talker, then "GGA" as the address field.
bool IsGgaSentence(const std::string& line) {
    const size_t comma = line.find(',');
    return comma == 6 && line.compare(3, 3, "GGA") == 0;
}

} // namespace

void TTavrinSerialGPS::HandleLine(const std::string& line) {
    const uint64_t session = session_;
    lineGuard_.run([&] {
        LogLine(line);
        if (OnNewCommand)
            OnNewCommand(this, line);
        if (line.front() == '$' && session == session_) {
            const NmeaParser::Outcome outcome = parser_.DispatchSentence(line);
            if (outcome == NmeaParser::Outcome::Applied && OnGgaApplied &&
                session == session_ && IsGgaSentence(line))
                OnGgaApplied(this);
        }
    });
}

void TTavrinSerialGPS::LogLine(const std::string& Line) {
    if (!NmeaLog || !logFile_)
        return;
    std::string text;
    if (LogTimestamps) {
        text = LogStamp(Clock::now());
        text += ' ';
    }
    text += Line;
    text += '\n';
    const bool written = std::fwrite(text.data(), 1, text.size(), logFile_) == text.size() &&
                         std::fflush(logFile_) == 0;
    if (!written) {
        const std::string why = std::strerror(errno);
        std::clearerr(logFile_);
        logGuard_.run(
            [&] { throw std::runtime_error("cannot write " + LogFileName + ": " + why); });
    } else if (logGuard_.inSpell()) {
        logGuard_.run([] {}); // writing again: the next failure is worth a report
    }
}

void TTavrinSerialGPS::WatchdogTick() {
    if (!Connected)
        return;
    if (DataSeen) {
        DataSeen = false;
        NoData = false;
        return;
    }
    if (NoData)
        return;
    NoData = true;
    pollGuard_.run([this] {
        if (OnIdle)
            OnIdle(this);
    });
}

std::string TTavrinSerialGPS::PortName(int n) {
    return SerialPort::portName(n);
}

int TTavrinSerialGPS::PortNumberFromName(const std::string& Name) {
    std::string text = Name;
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    if (text.rfind("COM", 0) == 0)
        text.erase(0, 3);
    int number = 1;
    if (!ParseInteger(text, number))
        number = 1;
    return std::clamp(number, 1, 20);
}

int TTavrinSerialGPS::ValidBaudRate(int Rate) {
    static constexpr int Accepted[] = {110,   300,   600,   1200,  2400,   4800,  9600,
                                       14400, 19200, 38400, 57600, 115200, 230400};
    for (const int accepted : Accepted)
        if (Rate == accepted)
            return Rate;
    return 9600;
}
