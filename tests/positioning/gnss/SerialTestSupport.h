#pragma once

// Shared by the serial component tests: a simulated device on a real pseudo-terminal, mapped
// to a port number in the test's settings file, and a bounded wait that keeps the event loop
// running.

#include "platform/AppPaths.h"
#include "platform/IniFile.h"
#include "positioning/gnss/TavrinSerialGPS.h"
#include "tests/support/EventLoopWait.h"
#include "tools/devsim/PseudoTerminal.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QThread>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <sys/ioctl.h>

namespace serialtest {

// Bytes waiting in the receive queue of an open descriptor.
inline int QueuedBytes(int descriptor) {
    int queued = 0;
    return ::ioctl(descriptor, FIONREAD, &queued) == 0 ? queued : -1;
}

// A pseudo-terminal linked into a private folder and mapped to `portNumber` through the
// settings file's [SERIAL_PORTS] section.
class SimulatedDevice {
public:
    explicit SimulatedDevice(int portNumber = 7, const char* name = "device")
        : portNumber_(portNumber) {
        const std::string link = folder_.path().toStdString() + "/" + name;
        terminal_ = std::make_unique<PseudoTerminal>(link);
        IniFile ini(AppPaths::settingsFile());
        ini.writeString(QStringLiteral("SERIAL_PORTS"), QStringLiteral("COM%1").arg(portNumber),
                        QString::fromStdString(link));
    }

    PseudoTerminal& terminal() { return *terminal_; }
    int portNumber() const { return portNumber_; }
    std::string folder() const { return folder_.path().toStdString(); }

    bool send(const std::string& bytes) { return terminal_->write(bytes); }

private:
    QTemporaryDir folder_;
    int portNumber_;
    std::unique_ptr<PseudoTerminal> terminal_;
};

// Waits until the open port has `count` bytes queued, then runs one poll tick by hand.
inline bool PollOnceWhenQueued(TTavrinSerialGPS& port, int count) {
    if (!WaitUntil([&] { return port.Handle && QueuedBytes(port.Handle->descriptor()) >= count; }))
        return false;
    port.PollPort();
    return true;
}

} // namespace serialtest
