#pragma once

#include "platform/RepeatedErrorGuard.h"
#include "platform/SerialChannel.h"
#include "platform/SerialPort.h"
#include "positioning/gnss/NmeaFix.h"
#include "positioning/gnss/NmeaParser.h"

#include <QObject>

#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>

class QSocketNotifier;
class QTimer;

// A serial device that sends text lines: the GNSS receiver (ZGPS1) and the echo sounder
// (ZSENSOR) each get one. The owner writes the line settings into the fields and calls Open;
// a poll timer then reads whatever has arrived without ever waiting, cuts it into trimmed
// lines and hands each one, in order, to the raw log, to OnNewCommand and, when it begins
// with "$", to the sentence parser, which keeps the last position, speed, course, fix quality
// and satellite count (the NmeaFix fields). A watchdog raises OnIdle once per silent spell.
//
// A port costs nothing between its lines: once a tick finds nothing waiting, the poll timer
// stops and the port waits for the descriptor to become readable. Bytes that come a poll
// interval or more after the last read are read at once; bytes that come sooner start the poll
// timer again, which reads once per interval until a tick finds the port empty. So a device
// that sends bursts wakes the program once per burst, and one that trickles its bytes never
// more often than the interval allows.
//
// Everything runs on the thread that owns the object (the user-interface thread). The only
// thing another thread may touch is the channel in Handle, which refuses writes once the port
// has closed.
//
// Events are plain callables, raised only when assigned. The owner binds its handlers with
//     ZGPS1->OnNewCommand = std::bind_front(&TFNav::ZGPS1NewCommand, this);
// A handler may throw: the error is reported once per spell and ends that line only.
class TTavrinSerialGPS : public QObject, public NmeaFix {
    Q_OBJECT
public:
    using TSerialPortEvent = std::function<void(QObject* Sender, int Port)>;
    using TNotifyEvent = std::function<void(QObject* Sender)>;
    using TNmeaLineEvent = std::function<void(QObject* Sender, const std::string& Line)>;
    using TPosition3DChangeEvent =
        std::function<void(QObject* Sender, long double Lat, long double Lon, long double Alt)>;
    using TSpeedChangeEvent = std::function<void(QObject* Sender, long double Speed)>;

    // Longest line handed on; anything longer is not a device line and is dropped whole.
    static constexpr size_t MaxLineLength = 4096;
    // Most bytes taken in one poll tick: well above what a 115200-baud line delivers between
    // two ticks, so the driver's queue never backs up.
    static constexpr size_t MaxReadPerPoll = 64 * 1024;

    explicit TTavrinSerialGPS(QObject* Owner = nullptr);
    // Silences every event first: closing here raises nothing.
    ~TTavrinSerialGPS() override;

    // The open port, shared with the corrections forwarder; null while closed.
    std::shared_ptr<SerialChannel> Handle;
    bool Connected = false;

    // Line settings, read by Open only.
    int PortNumber = 1;    // "COMn"; the device comes from [SERIAL_PORTS] or the default map
    int BaudRate = 9600;   // written into the line settings unchanged
    int DataBitsIndex = 4; // data bits minus 4
    int StopBitsIndex = 1; // 1 one, 2 one and a half, 3 two; anything else one
    int ParityIndex = 0;   // 0 none, 1 odd, 2 even, 3 mark, 4 space; others keep the port's
    int PollInterval = 50; // ms; below 1 means 50
    bool NmeaLog = false;  // read for every line; the log file is opened by Open only
    bool LogTimestamps = false;
    bool DTR = false;
    bool RTS = false;
    std::string LogFileName;
    // NUL bytes stay inside the lines handed on, for a reader that must refuse such a line: a
    // NUL stands for a byte lost on the line, and dropping it could make "75.5" read "7.5"; only
    // blanks and line ends are trimmed from the ends of a line, so that a NUL or another control
    // byte at its end reaches the reader too. Off, each NUL is dropped alone and every byte up
    // to 32 is trimmed from both ends: a receiver's sentence keeps its checksum for the lost
    // byte, and a NUL adds nothing to that checksum.
    bool KeepNulBytes = false;

    // Received text not yet cut into lines.
    std::string RxBuffer;
    QTimer* PollTimer = nullptr;
    QTimer* WatchdogTimer = nullptr;
    // ms; below 1 means 10000, and never less than twice the poll interval.
    int WatchdogInterval = 10000;
    bool DataSeen = false;
    bool NoData = false;

    // Why the last Open failed, the port went away or a write failed; empty after a good Open.
    std::string LastError;

    TSerialPortEvent OnConnect;
    TSerialPortEvent OnDisconnect;
    TNotifyEvent OnIdle;
    TNotifyEvent OnTimeout; // never raised here; the owner may raise it
    TNmeaLineEvent OnNewCommand;
    TNmeaLineEvent OnSend;
    TPosition3DChangeEvent OnPosition3DChange;
    TSpeedChangeEvent OnSpeedChange;
    // After every GGA the parser applied, whether or not the position changed: a survey logs
    // each sounding with the fix it was measured at, so it needs to know when each one came.
    TNotifyEvent OnGgaApplied;

    // Opens and configures the port, starts the timers, raises OnConnect. Does nothing when
    // already connected. On failure the component stays closed and LastError says why.
    void Open();
    // Stops the timers, closes the port and the raw log, clears the fix, raises OnDisconnect
    // when the port was open.
    void Close();
    // Writes the text unchanged (no line end added). OnSend is raised only when every byte
    // went out within a second; returns whether it did.
    bool WriteLine(const std::string& Text);

    // Poll tick: reads what has arrived and hands the lines on.
    void PollPort();
    // True while the port waits for its next bytes with the poll timer stopped.
    bool WaitingForBytes() const;
    // Watchdog tick: raises OnIdle after a whole interval without data.
    void WatchdogTick();
    // What a poll tick does with the bytes it read: NUL bytes are dropped alone (unless
    // KeepNulBytes), the rest is appended to RxBuffer and cut into lines.
    void AcceptBytes(const char* data, size_t size);
    // Cuts RxBuffer into lines and hands each on. An unfinished line longer than
    // MaxLineLength is dropped together with the rest of it up to its line feed, so the next
    // line handed on starts where the device started it.
    void ProcessLines();
    // Appends one line to the raw log, when it is open and NmeaLog is set.
    void LogLine(const std::string& Line);

    // The line settings Open hands to the port, from the fields above.
    SerialLineSettings LineSettings() const;

    static std::string PortName(int n);
    // "COM7" or "7" (any case, not trimmed) -> 7; not a number -> 1; clamped to 1..20.
    static int PortNumberFromName(const std::string& Name);
    // The rate when it is one the settings offer, else 9600.
    static int ValidBaudRate(int Rate);

    int GetFixQuality() const { return FixQuality; }
    int GetSatellites() const { return Satellites; }
    long double GetCourse() const { return Course; }
    long double GetLatitude() const { return Latitude; }
    long double GetLongitude() const { return Longitude; }
    long double GetAltitude() const { return Altitude; }

    NmeaParser& Parser() { return parser_; }
    // Sentences dropped for a wrong checksum / for damaged fields.
    uint64_t ChecksumErrors() const { return parser_.checksumErrors(); }
    uint64_t RefusedSentences() const { return parser_.refusedSentences(); }
    // Lines longer than MaxLineLength, dropped.
    uint64_t OverlongLines() const { return overlongLines_; }

private:
    SerialPort::ReadStatus ReadWaitingBytes();
    void PollTimerTick();
    void PortBecameReadable();
    void HandleLine(const std::string& line);
    void CloseLog();
    int EffectivePollInterval() const;
    int EffectiveWatchdogInterval() const;

    NmeaParser parser_;
    std::FILE* logFile_ = nullptr;
    std::string readBuffer_;
    // Wakes the idle port when bytes arrive; disabled while the poll timer runs.
    QSocketNotifier* bytesWaiting_ = nullptr;
    uint64_t lastReadTick_ = 0;
    // Bumped by Open and Close: a handler that closes or reopens the port ends the lines of
    // the old session.
    uint64_t session_ = 0;
    bool processing_ = false;
    bool skippingOverlong_ = false;
    uint64_t overlongLines_ = 0;
    RepeatedErrorGuard lineGuard_;
    RepeatedErrorGuard pollGuard_;
    RepeatedErrorGuard logGuard_;
};
