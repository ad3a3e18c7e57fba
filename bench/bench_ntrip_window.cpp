// Corrections latency: from the caster's send to the bytes readable at the receiver's port
// (the client's own forwarding) and at a separate output port (the window's WriteOutputPort on
// the user-interface thread), with the NTRIP window bound, side by side with the bare client.
// A small caster on 127.0.0.1 stamps each block with its send time.

#include "app/ntrip/TfrmNTRIPSettings.h"
#include "platform/AppPaths.h"
#include "platform/IniFile.h"
#include "platform/SerialPort.h"
#include "positioning/ntrip/TavrinNTRIPClient.h"
#include "tools/devsim/PseudoTerminal.h"

#include <QApplication>
#include <QComboBox>
#include <QCheckBox>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QThread>

#include <benchmark/benchmark.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

namespace {

using SteadyClock = std::chrono::steady_clock;

int64_t NowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(SteadyClock::now().time_since_epoch()).count();
}

// Accepts one client, answers "ICY 200 OK" and sends `count` blocks of `size` bytes every
// `intervalMs`, each starting with its send time.
class StampingCaster {
public:
    StampingCaster(size_t size, int intervalMs, int count) {
        listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(listener_, 4);
        socklen_t length = sizeof address;
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([=, this] {
            const int client = ::accept(listener_, nullptr, nullptr);
            if (client < 0)
                return;
            char request[4096];
            ::recv(client, request, sizeof request, 0);
            const char header[] = "ICY 200 OK\r\n";
            ::send(client, header, sizeof header - 1, MSG_NOSIGNAL);
            std::string block(size, '\x55');
            for (int i = 0; i < count && !stop_; ++i) {
                const int64_t sent = NowNs();
                std::memcpy(block.data(), &sent, sizeof sent);
                ::send(client, block.data(), block.size(), MSG_NOSIGNAL);
                std::this_thread::sleep_for(std::chrono::milliseconds(intervalMs));
            }
            done_ = true;
            while (!stop_)
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            ::close(client);
        });
    }
    ~StampingCaster() {
        stop_ = true;
        ::shutdown(listener_, SHUT_RDWR);
        thread_.join();
        ::close(listener_);
    }
    int port() const { return port_; }
    bool done() const { return done_; }

private:
    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false}, done_{false};
    std::thread thread_;
};

// Reads a pseudo-terminal's device end and records, per whole block, how long after its send
// its last byte became readable.
class BlockTimer {
public:
    BlockTimer(int descriptor, size_t blockSize) : descriptor_(descriptor), size_(blockSize) {
        thread_ = std::thread([this] {
            std::string pending;
            char buffer[8192];
            while (!stop_) {
                pollfd ready{descriptor_, POLLIN, 0};
                if (::poll(&ready, 1, 20) <= 0)
                    continue;
                const ssize_t n = ::read(descriptor_, buffer, sizeof buffer);
                if (n <= 0)
                    continue;
                const int64_t now = NowNs();
                pending.append(buffer, size_t(n));
                while (pending.size() >= size_) {
                    int64_t sent = 0;
                    std::memcpy(&sent, pending.data(), sizeof sent);
                    std::lock_guard lock(mutex_);
                    latenciesMs_.push_back(double(now - sent) / 1e6);
                    pending.erase(0, size_);
                }
            }
        });
    }
    ~BlockTimer() {
        stop_ = true;
        thread_.join();
    }
    std::vector<double> latencies() {
        std::lock_guard lock(mutex_);
        return latenciesMs_;
    }

private:
    int descriptor_;
    size_t size_;
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::vector<double> latenciesMs_;
    std::thread thread_;
};

double Percentile(std::vector<double> values, double p) {
    if (values.empty())
        return -1;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, size_t(p * double(values.size())))];
}

void RunEventsUntil(const std::function<bool()>& done, int limitMs) {
    const auto deadline = SteadyClock::now() + std::chrono::milliseconds(limitMs);
    while (!done() && SteadyClock::now() < deadline) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::usleep(200);
    }
}

struct Setup {
    size_t blockSize;
    int intervalMs;
    int blocks;
};

void Report(benchmark::State& state, BlockTimer& receiver, BlockTimer* output) {
    const auto atReceiver = receiver.latencies();
    state.counters["receiver_p50_ms"] = Percentile(atReceiver, 0.50);
    state.counters["receiver_p99_ms"] = Percentile(atReceiver, 0.99);
    state.counters["receiver_blocks"] = double(atReceiver.size());
    if (output) {
        const auto atOutput = output->latencies();
        state.counters["output_p50_ms"] = Percentile(atOutput, 0.50);
        state.counters["output_p99_ms"] = Percentile(atOutput, 0.99);
        state.counters["output_blocks"] = double(atOutput.size());
    }
}

// The client alone, forwarding to the receiver's port.
void BM_BareClient(benchmark::State& state) {
    const Setup setup{size_t(state.range(0)), int(state.range(1)), int(state.range(2))};
    for (auto _ : state) {
        PseudoTerminal receiverDevice;
        SerialLineSettings line;
        line.baudRate = 115200;
        auto receiver = SerialPort::open(receiverDevice.devicePath(), line);
        StampingCaster caster(setup.blockSize, setup.intervalMs, setup.blocks);
        BlockTimer atReceiver(receiverDevice.masterDescriptor(), setup.blockSize);
        TTavrinNTRIPClient client;
        client.Host = "127.0.0.1";
        client.Port = caster.port();
        client.MountPoint = "BENCH";
        client.AutoReconnect = false;
        client.OnData = [](const char*, int) {};
        client.SetSerialPortHandle(receiver.channel);
        client.Connect();
        RunEventsUntil([&] { return caster.done(); }, 60000);
        RunEventsUntil([] { return false; }, 300);
        client.Disconnect();
        Report(state, atReceiver, nullptr);
    }
}

// The window bound: its data handler writes the separate output port on the user-interface
// thread while the client forwards to the receiver.
void BM_WindowBound(benchmark::State& state) {
    const Setup setup{size_t(state.range(0)), int(state.range(1)), int(state.range(2))};
    for (auto _ : state) {
        QTemporaryDir folder;
        AppPaths::setApplicationFolder(folder.path().toStdString());
        PseudoTerminal receiverDevice, outputDevice;
        {
            IniFile ini(AppPaths::settingsFile());
            ini.writeString("SERIAL_PORTS", "COM2", QString::fromStdString(outputDevice.devicePath()));
        }
        SerialLineSettings line;
        line.baudRate = 115200;
        auto receiver = SerialPort::open(receiverDevice.devicePath(), line);
        StampingCaster caster(setup.blockSize, setup.intervalMs, setup.blocks);
        BlockTimer atReceiver(receiverDevice.masterDescriptor(), setup.blockSize);
        BlockTimer atOutput(outputDevice.masterDescriptor(), setup.blockSize);
        {
            TfrmNTRIPSettings window;
            window.boxOutputPort->addItem("COM2");
            window.boxOutputPort->setCurrentIndex(window.boxOutputPort->count() - 1);
            window.chkOutputPort->setChecked(true);
            window.chkOutputPortClick();
            window.SetGpsPort(receiver.channel, "COM1");
            // The receiver still gets its corrections from the client while the output is on.
            window.Client->SerialForwarding = true;
            window.edtServer->setText("127.0.0.1");
            window.edtPort->setText(QString::number(caster.port()));
            window.boxMountpoint->addItem("BENCH");
            window.btnConnectClick();
            RunEventsUntil([&] { return caster.done(); }, 60000);
            RunEventsUntil([] { return false; }, 300);
            window.Client->AutoReconnect = false;
        }
        Report(state, atReceiver, &atOutput);
    }
}

} // namespace

// 1 KB every 100 ms for 6 s, then 4095-byte bursts every 20 ms for 3 s.
BENCHMARK(BM_BareClient)->Args({1024, 100, 60})->Args({4095, 20, 150})->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WindowBound)->Args({1024, 100, 60})->Args({4095, 20, 150})->Iterations(1)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
