// Serial ports on device paths: the port-number mapping, opening and configuring a real
// pseudo-terminal, exclusive use, reads that never wait, and a device that goes away.

#include "platform/SerialPort.h"

#include "platform/AppPaths.h"
#include "platform/FileIO.h"
#include "platform/IniFile.h"
#include "tools/devsim/PseudoTerminal.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {

// Reads until `count` bytes arrived or a generous time has passed.
std::string ReadAtLeast(SerialChannel& channel, size_t count) {
    std::string all;
    char buffer[4096];
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (all.size() < count && std::chrono::steady_clock::now() < deadline) {
        const auto result = SerialPort::read(channel, buffer, sizeof buffer);
        if (result.status == SerialPort::ReadStatus::Data)
            all.append(buffer, result.size);
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return all;
}

class SerialPortOnTerminal : public ::testing::Test {
protected:
    QTemporaryDir folder;
    PseudoTerminal terminal{folder.path().toStdString() + "/gnss"};
};

TEST(SerialPortNames, DefaultMapping) {
    const std::pair<int, std::string> cases[] = {
        {1, "/dev/ttyUSB0"},
        {8, "/dev/ttyUSB7"},
        {9, "/dev/ttyACM0"},
        {16, "/dev/ttyACM7"},
        {17, "/dev/ttyS0"},
        {20, "/dev/ttyS3"},
        {0, ""},
        {-3, ""},
    };
    for (const auto& [number, device] : cases)
        EXPECT_EQ(SerialPort::defaultDevicePath(number), device) << number;
    EXPECT_EQ(SerialPort::portName(7), "COM7");
}

TEST(SerialPortNames, TheSettingsFileMapsPortsToDevices) {
    {
        IniFile ini(AppPaths::settingsFile());
        ini.writeString("SERIAL_PORTS", "COM5", "/dev/serial/by-id/usb-receiver");
        ini.writeString("serial_ports", " com6 ", " /tmp/sounder ");
        ini.writeString("SERIAL_PORTS", "COM30", "/dev/ttyAMA0");
        ini.writeString("SERIAL_PORTS", "COM4", ""); // empty: the default stays
    }
    EXPECT_EQ(SerialPort::devicePath(5), "/dev/serial/by-id/usb-receiver");
    EXPECT_EQ(SerialPort::devicePath(6), "/tmp/sounder");
    EXPECT_EQ(SerialPort::devicePath(4), "/dev/ttyUSB3");
    EXPECT_EQ(SerialPort::devicePath(1), "/dev/ttyUSB0");

    const auto ports = SerialPort::listPorts();
    ASSERT_EQ(ports.size(), 21u);
    EXPECT_EQ(ports[0].name, "COM1");
    EXPECT_EQ(ports[4].device, "/dev/serial/by-id/usb-receiver");
    EXPECT_EQ(ports[5].device, "/tmp/sounder");
    EXPECT_EQ(ports[20].number, 30);
    EXPECT_EQ(ports[20].name, "COM30");
    EXPECT_EQ(ports[20].device, "/dev/ttyAMA0");
}

TEST(SerialPortNames, PortListsShowWhetherTheDeviceIsThere) {
    QTemporaryDir folder;
    PseudoTerminal terminal(folder.path().toStdString() + "/gnss");
    IniFile(AppPaths::settingsFile())
        .writeString("SERIAL_PORTS", "COM2", QString::fromStdString(terminal.linkPath()));
    IniFile(AppPaths::settingsFile())
        .writeString("SERIAL_PORTS", "COM3", folder.path() + "/unplugged");
    const auto ports = SerialPort::listPorts();
    EXPECT_TRUE(ports[1].present);
    EXPECT_FALSE(ports[2].present);
}

TEST_F(SerialPortOnTerminal, OpensConfiguresAndReadsWithoutWaiting) {
    SerialLineSettings settings;
    settings.baudRate = 115200;
    settings.dtr = settings.rts = true; // no modem lines on a pseudo-terminal: must not fail
    auto opened = SerialPort::open(terminal.linkPath(), settings);
    ASSERT_TRUE(opened.channel) << opened.error;
    EXPECT_TRUE(opened.error.empty());
    SerialChannel& channel = *opened.channel;

    char buffer[64];
    const auto start = std::chrono::steady_clock::now();
    const auto empty = SerialPort::read(channel, buffer, sizeof buffer);
    EXPECT_EQ(empty.status, SerialPort::ReadStatus::Empty);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));

    ASSERT_TRUE(terminal.write("$GPGGA,1\r\n"));
    EXPECT_EQ(ReadAtLeast(channel, 10), "$GPGGA,1\r\n"); // raw: the CR stays a CR

    termios t{};
    ASSERT_EQ(::tcgetattr(channel.descriptor(), &t), 0);
    EXPECT_EQ(::cfgetospeed(&t), static_cast<speed_t>(B115200));
    EXPECT_EQ(::cfgetispeed(&t), static_cast<speed_t>(B115200));

    EXPECT_EQ(channel.write("reply", 5), 5);
    EXPECT_EQ(terminal.read(5, 10000), "reply");
}

TEST_F(SerialPortOnTerminal, RatesWithoutAConstantGoThroughTermios2) {
    for (const int rate : {14400, 250000, 31250, 9600}) {
        SerialLineSettings settings;
        settings.baudRate = rate;
        auto opened = SerialPort::open(terminal.linkPath(), settings);
        ASSERT_TRUE(opened.channel) << opened.error;
        SerialLineSettings read;
        std::string error;
        ASSERT_TRUE(SerialPort::readSettings(opened.channel->descriptor(), read, error)) << error;
        EXPECT_EQ(read.baudRate, rate);
    }
}

TEST_F(SerialPortOnTerminal, WhatTheDeviceSentBeforeTheOpenIsDropped) {
    // The program's end must be open once for the terminal to take bytes at all.
    const int early = ::open(terminal.devicePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(early, 0);
    ASSERT_TRUE(terminal.write("stale bytes from before\r\n"));
    // The terminal passes the bytes on in the background: wait until they are there.
    int queued = 0;
    for (int i = 0; i < 10000 && (::ioctl(early, FIONREAD, &queued) != 0 || queued == 0); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_GT(queued, 0);
    auto opened = SerialPort::open(terminal.linkPath(), {});
    ::close(early);
    ASSERT_TRUE(opened.channel) << opened.error;
    ASSERT_TRUE(terminal.write("fresh\n"));
    EXPECT_EQ(ReadAtLeast(*opened.channel, 6), "fresh\n");
}

TEST_F(SerialPortOnTerminal, APortIsUsedByOneOpenerAtATime) {
    auto first = SerialPort::open(terminal.linkPath(), {});
    ASSERT_TRUE(first.channel) << first.error;
    // Through the link or the device itself: the same device.
    for (const std::string& path : {terminal.linkPath(), terminal.devicePath()}) {
        auto second = SerialPort::open(path, {});
        EXPECT_FALSE(second.channel);
        EXPECT_NE(second.error.find("in use"), std::string::npos) << second.error;
    }
    first.channel->close();
    auto again = SerialPort::open(terminal.linkPath(), {});
    EXPECT_TRUE(again.channel) << again.error;
}

TEST_F(SerialPortOnTerminal, TheFarEndGoingAwayReadsAsVanishedEveryTime) {
    auto opened = SerialPort::open(terminal.linkPath(), {});
    ASSERT_TRUE(opened.channel) << opened.error;
    terminal.hangUp();
    char buffer[64];
    for (int i = 0; i < 3; ++i) {
        const auto result = SerialPort::read(*opened.channel, buffer, sizeof buffer);
        EXPECT_EQ(result.status, SerialPort::ReadStatus::Vanished) << i;
        EXPECT_FALSE(result.error.empty());
    }
    opened.channel->close();
    EXPECT_EQ(SerialPort::read(*opened.channel, buffer, sizeof buffer).status,
              SerialPort::ReadStatus::Vanished);
}

TEST(SerialPortOpen, FailuresSayWhy) {
    QTemporaryDir folder;
    const std::string regularFile = folder.path().toStdString() + "/file";
    ASSERT_TRUE(WriteFileAtomically(regularFile, "x"));
    PseudoTerminal terminal;
    struct Case {
        std::string path;
        int dataBits, baudRate;
        std::string reason;
    };
    const Case cases[] = {
        {folder.path().toStdString() + "/ttyUSB9", 8, 9600, "device missing"},
        {regularFile, 8, 9600, "not a serial port"},
        {"", 8, 9600, "no device"},
        {terminal.devicePath(), 4, 9600, "data bits"},
        {terminal.devicePath(), 9, 9600, "data bits"},
        {terminal.devicePath(), 8, 0, "baud rate"},
    };
    for (const Case& c : cases) {
        SerialLineSettings settings;
        settings.dataBits = c.dataBits;
        settings.baudRate = c.baudRate;
        const auto result = SerialPort::open(c.path, settings);
        EXPECT_FALSE(result.channel) << c.path;
        EXPECT_NE(result.error.find(c.reason), std::string::npos) << result.error;
        EXPECT_EQ(result.error.rfind(c.path + ": ", 0), 0u) << result.error;
    }
}

TEST(SerialPortOpen, APortWithoutPermissionSaysSo) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root may open any device";
    PseudoTerminal terminal;
    ASSERT_EQ(::chmod(terminal.devicePath().c_str(), 0), 0);
    const auto result = SerialPort::open(terminal.devicePath(), {});
    EXPECT_FALSE(result.channel);
    EXPECT_NE(result.error.find("permission denied"), std::string::npos) << result.error;
}

} // namespace
