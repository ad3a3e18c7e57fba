#pragma once

#include "platform/SerialChannel.h"

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

// Line settings of a serial port, in the terms the operator chooses them.
struct SerialLineSettings {
    enum class StopBits { One, OneAndHalf, Two };
    // Unchanged keeps whatever parity the port had before it was opened.
    enum class Parity { None, Odd, Even, Mark, Space, Unchanged };

    int baudRate = 9600; // any positive rate; rates without a B-constant go through termios2
    int dataBits = 8;    // 5..8
    StopBits stopBits = StopBits::One;
    Parity parity = Parity::None;
    bool parityChecking = false;
    bool dtr = false;
    bool rts = false;
};

// One numbered port as the port lists show it.
struct SerialPortEntry {
    int number = 0;
    std::string name;   // "COM5"
    std::string device; // "/dev/ttyUSB4"
    bool present = false;
};

// Serial ports on device paths. A port number N ("COMN") maps to a device through the settings
// file's section [SERIAL_PORTS] ("COM5=/dev/ttyUSB0"), else through the default mapping
// (see README.md). Ports are opened non-blocking, raw and for our use alone (flock).
class SerialPort {
public:
    static constexpr int HighestListedPort = 20;

    // "COM" followed by the number in decimal.
    static std::string portName(int number);
    // The device behind a port number: the settings file's mapping, else the default.
    static std::string devicePath(int number);
    // COM1-COM8 -> /dev/ttyUSB0-7, COM9-COM16 -> /dev/ttyACM0-7, COM17 and up -> /dev/ttyS0...
    static std::string defaultDevicePath(int number);
    // Ports 1..HighestListedPort and every port the settings file maps, in number order, with
    // the device behind each and whether that device exists now.
    static std::vector<SerialPortEntry> listPorts();

    struct OpenResult {
        std::shared_ptr<SerialChannel> channel; // null when the open failed
        std::string error;                      // why, in words the operator can act on
    };
    // Opens and configures the device. Nothing the device had buffered before is kept.
    static OpenResult open(const std::string& devicePath, const SerialLineSettings& settings);

    enum class ReadStatus {
        Data,     // `size` bytes were read
        Empty,    // nothing waiting
        Vanished, // the device or the far end went away (end of file or EIO)
        Failed    // another error; the next read may succeed
    };
    struct ReadResult {
        ReadStatus status = ReadStatus::Empty;
        size_t size = 0;
        std::string error;
    };
    // Reads what is waiting, at most `capacity` bytes, without ever waiting. Bytes read before
    // the device vanished are returned first; the next read reports the loss.
    static ReadResult read(SerialChannel& channel, char* buffer, size_t capacity);

    // The line settings the terminal holds now. DTR and RTS are read from the modem lines
    // when the device has them (they stay false otherwise).
    static bool readSettings(int descriptor, SerialLineSettings& out, std::string& error);
};
