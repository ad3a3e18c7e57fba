#include "platform/SerialPort.h"

#include "platform/AppPaths.h"
#include "platform/IniFile.h"

// termios2 carries any baud rate (BOTHER); glibc's <termios.h> cannot be included together
// with it, so this file speaks to the terminal through ioctl alone.
#include <asm/termbits.h>
#include <sys/ioctl.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct RateCode {
    int rate;
    unsigned code;
};

constexpr RateCode StandardRates[] = {
    {50, B50},           {75, B75},           {110, B110},         {134, B134},
    {150, B150},         {200, B200},         {300, B300},         {600, B600},
    {1200, B1200},       {1800, B1800},       {2400, B2400},       {4800, B4800},
    {9600, B9600},       {19200, B19200},     {38400, B38400},     {57600, B57600},
    {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
    {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000},
    {1500000, B1500000}, {2000000, B2000000},
};

unsigned StandardRateCode(int rate) {
    for (const auto& entry : StandardRates)
        if (entry.rate == rate)
            return entry.code;
    return 0;
}

int RateFromCode(unsigned code) {
    for (const auto& entry : StandardRates)
        if (entry.code == code)
            return entry.rate;
    return 0;
}

std::string OpenErrorText(int error) {
    switch (error) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return "device missing";
    case EACCES:
    case EPERM:
        return "permission denied (is the user in the dialout group?)";
    case EBUSY:
    case EWOULDBLOCK:
        return "in use by another program";
    case ENOTTY:
        return "not a serial port";
    default:
        return std::strerror(error);
    }
}

bool DeviceExists(const std::string& path) {
    struct stat info {};
    return !path.empty() && ::stat(path.c_str(), &info) == 0;
}

// The mapping written in the settings file, port number -> device.
std::map<int, std::string> ConfiguredPorts() {
    std::map<int, std::string> ports;
    IniFile ini(AppPaths::settingsFile());
    const QString section = QStringLiteral("SERIAL_PORTS");
    for (const QString& key : ini.readSection(section)) {
        const QString name = key.trimmed().toUpper();
        if (!name.startsWith(QStringLiteral("COM")))
            continue;
        bool ok = false;
        const int number = name.mid(3).toInt(&ok);
        if (!ok || number < 1)
            continue;
        const QString device = ini.readString(section, key).trimmed();
        if (!device.isEmpty())
            ports[number] = device.toStdString();
    }
    return ports;
}

} // namespace

std::string SerialPort::portName(int number) {
    return "COM" + std::to_string(number);
}

std::string SerialPort::defaultDevicePath(int number) {
    if (number < 1)
        return {};
    if (number <= 8)
        return "/dev/ttyUSB" + std::to_string(number - 1);
    if (number <= 16)
        return "/dev/ttyACM" + std::to_string(number - 9);
    return "/dev/ttyS" + std::to_string(number - 17);
}

std::string SerialPort::devicePath(int number) {
    IniFile ini(AppPaths::settingsFile());
    const QString device =
        ini.readString(QStringLiteral("SERIAL_PORTS"), QString::fromStdString(portName(number)))
            .trimmed();
    if (!device.isEmpty())
        return device.toStdString();
    return defaultDevicePath(number);
}

std::vector<SerialPortEntry> SerialPort::listPorts() {
    const auto configured = ConfiguredPorts();
    std::vector<SerialPortEntry> ports;
    auto add = [&](int number) {
        const auto found = configured.find(number);
        SerialPortEntry entry;
        entry.number = number;
        entry.name = portName(number);
        entry.device = found != configured.end() ? found->second : defaultDevicePath(number);
        entry.present = DeviceExists(entry.device);
        ports.push_back(std::move(entry));
    };
    for (int number = 1; number <= HighestListedPort; ++number)
        add(number);
    for (const auto& [number, device] : configured)
        if (number > HighestListedPort)
            add(number);
    return ports;
}

SerialPort::OpenResult SerialPort::open(const std::string& devicePath,
                                        const SerialLineSettings& settings) {
    OpenResult result;
    auto fail = [&](int descriptor, const std::string& why) {
        if (descriptor >= 0)
            ::close(descriptor);
        result.error = devicePath + ": " + why;
        return result;
    };
    if (devicePath.empty())
        return fail(-1, "no device for this port");
    if (settings.dataBits < 5 || settings.dataBits > 8)
        return fail(-1, "data bits must be 5 to 8, not " + std::to_string(settings.dataBits));
    if (settings.baudRate <= 0)
        return fail(-1, "invalid baud rate " + std::to_string(settings.baudRate));

    const int descriptor = ::open(devicePath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0)
        return fail(-1, OpenErrorText(errno));
    if (::flock(descriptor, LOCK_EX | LOCK_NB) != 0)
        return fail(descriptor, OpenErrorText(errno == EWOULDBLOCK ? EBUSY : errno));

    termios2 tio{};
    if (::ioctl(descriptor, TCGETS2, &tio) != 0)
        return fail(descriptor, OpenErrorText(errno == EINVAL ? ENOTTY : errno));

    // Raw 8-bit: no line editing, echo, signals or character translation. Software flow
    // control is switched off too: a Linux terminal starts with it on, and a device that sends
    // binary data would stop our writes with a stray XOFF byte. Hardware flow control stays
    // as the port had it.
    tio.c_iflag &= ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF |
                     IXANY | IUCLC | IMAXBEL);
    tio.c_oflag &= ~OPOST;
    tio.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    tio.c_cflag |= CREAD | CLOCAL;

    tio.c_cflag &= ~CSIZE;
    static constexpr unsigned SizeCodes[] = {CS5, CS6, CS7, CS8};
    tio.c_cflag |= SizeCodes[settings.dataBits - 5];

    // There is no one-and-a-half on Linux: CSTOPB gives it on a UART set to 5 data bits and
    // two stop bits otherwise, which is what the other systems' drivers do as well.
    if (settings.stopBits == SerialLineSettings::StopBits::One)
        tio.c_cflag &= ~CSTOPB;
    else
        tio.c_cflag |= CSTOPB;

    using Parity = SerialLineSettings::Parity;
    if (settings.parity != Parity::Unchanged) {
        tio.c_cflag &= ~(PARENB | PARODD | CMSPAR);
        switch (settings.parity) {
        case Parity::Odd:
            tio.c_cflag |= PARENB | PARODD;
            break;
        case Parity::Even:
            tio.c_cflag |= PARENB;
            break;
        case Parity::Mark:
            tio.c_cflag |= PARENB | CMSPAR | PARODD;
            break;
        case Parity::Space:
            tio.c_cflag |= PARENB | CMSPAR;
            break;
        default:
            break;
        }
    }
    if (settings.parityChecking)
        tio.c_iflag |= INPCK;
    else
        tio.c_iflag &= ~INPCK;

    // Reads never wait (the descriptor is non-blocking); VMIN 1 makes an empty queue read as
    // EAGAIN, so that end of file means the device went away.
    tio.c_cc[VMIN] = 1;
    tio.c_cc[VTIME] = 0;

    tio.c_cflag &= ~(CBAUD | (CBAUD << IBSHIFT));
    if (const unsigned code = StandardRateCode(settings.baudRate)) {
        tio.c_cflag |= code;
    } else {
        tio.c_cflag |= BOTHER | (BOTHER << IBSHIFT);
    }
    tio.c_ispeed = static_cast<speed_t>(settings.baudRate);
    tio.c_ospeed = static_cast<speed_t>(settings.baudRate);

    if (::ioctl(descriptor, TCSETS2, &tio) != 0)
        return fail(descriptor, std::string("line settings refused: ") + std::strerror(errno));

    // Modem lines: pseudo-terminals and some adapters have none; that must not fail the open.
    int dtr = TIOCM_DTR;
    int rts = TIOCM_RTS;
    (void)::ioctl(descriptor, settings.dtr ? TIOCMBIS : TIOCMBIC, &dtr);
    (void)::ioctl(descriptor, settings.rts ? TIOCMBIS : TIOCMBIC, &rts);

    // Whatever the device sent before we opened it belongs to nobody.
    (void)::ioctl(descriptor, TCFLSH, TCIOFLUSH);

    result.channel = std::make_shared<SerialChannel>(descriptor, devicePath);
    return result;
}

SerialPort::ReadResult SerialPort::read(SerialChannel& channel, char* buffer, size_t capacity) {
    ReadResult result;
    const int descriptor = channel.descriptor();
    if (descriptor < 0) {
        result.status = ReadStatus::Vanished;
        result.error = "port closed";
        return result;
    }
    while (result.size < capacity) {
        const ssize_t n = ::read(descriptor, buffer + result.size, capacity - result.size);
        if (n > 0) {
            result.size += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            break;
        // End of file or an error: hand out what came before it; the condition stays and the
        // next read reports it.
        if (result.size > 0)
            break;
        if (n == 0 || errno == EIO || errno == ENODEV || errno == ENXIO) {
            result.status = ReadStatus::Vanished;
            result.error = n == 0 ? "device closed" : std::strerror(errno);
        } else {
            result.status = ReadStatus::Failed;
            result.error = std::strerror(errno);
        }
        return result;
    }
    result.status = result.size > 0 ? ReadStatus::Data : ReadStatus::Empty;
    return result;
}

bool SerialPort::readSettings(int descriptor, SerialLineSettings& out, std::string& error) {
    termios2 tio{};
    if (::ioctl(descriptor, TCGETS2, &tio) != 0) {
        error = std::strerror(errno);
        return false;
    }
    SerialLineSettings settings;
    const unsigned code = tio.c_cflag & CBAUD;
    settings.baudRate = code == BOTHER ? static_cast<int>(tio.c_ospeed) : RateFromCode(code);
    switch (tio.c_cflag & CSIZE) {
    case CS5:
        settings.dataBits = 5;
        break;
    case CS6:
        settings.dataBits = 6;
        break;
    case CS7:
        settings.dataBits = 7;
        break;
    default:
        settings.dataBits = 8;
        break;
    }
    settings.stopBits = (tio.c_cflag & CSTOPB) ? SerialLineSettings::StopBits::Two
                                               : SerialLineSettings::StopBits::One;
    using Parity = SerialLineSettings::Parity;
    if (!(tio.c_cflag & PARENB))
        settings.parity = Parity::None;
    else if (tio.c_cflag & CMSPAR)
        settings.parity = (tio.c_cflag & PARODD) ? Parity::Mark : Parity::Space;
    else
        settings.parity = (tio.c_cflag & PARODD) ? Parity::Odd : Parity::Even;
    settings.parityChecking = (tio.c_iflag & INPCK) != 0;
    int lines = 0;
    if (::ioctl(descriptor, TIOCMGET, &lines) == 0) {
        settings.dtr = (lines & TIOCM_DTR) != 0;
        settings.rts = (lines & TIOCM_RTS) != 0;
    }
    out = settings;
    return true;
}
