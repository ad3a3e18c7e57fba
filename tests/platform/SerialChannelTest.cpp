#include "platform/SerialChannel.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <string>
#include <sys/ioctl.h>
#include <thread>
#include <unistd.h>

namespace {

struct Pipe {
    int read = -1, write = -1;
    Pipe() {
        int fds[2];
        if (::pipe2(fds, O_NONBLOCK | O_CLOEXEC) == 0) {
            read = fds[0];
            write = fds[1];
        }
    }
    ~Pipe() {
        if (read >= 0)
            ::close(read);
    }
    std::string drain() const {
        std::string all;
        char buffer[4096];
        ssize_t n;
        while ((n = ::read(read, buffer, sizeof buffer)) > 0)
            all.append(buffer, static_cast<size_t>(n));
        return all;
    }
};

TEST(SerialChannel, WritesAreRefusedAfterClose) {
    Pipe pipe;
    SerialChannel channel(pipe.write, "/dev/ttyTEST");
    EXPECT_EQ(channel.write("abc", 3), 3);
    EXPECT_EQ(pipe.drain(), "abc");
    channel.close();
    EXPECT_FALSE(channel.isOpen());
    EXPECT_EQ(channel.write("def", 3), -1);
    EXPECT_EQ(channel.descriptor(), -1);
}

TEST(SerialChannel, AFullPortGivesUpAfterTheTimeout) {
    Pipe pipe;
    SerialChannel channel(pipe.write, "/dev/ttyTEST");
    const std::string block(1 << 20, 'x'); // more than a pipe holds
    const long written = channel.write(block.data(), block.size(), 50);
    EXPECT_GT(written, 0);
    EXPECT_LT(written, static_cast<long>(block.size()));
}

TEST(SerialChannel, WritesFromTwoThreadsDoNotInterleaveWithinABlock) {
    Pipe pipe;
    SerialChannel channel(pipe.write, "/dev/ttyTEST");
    const std::string a(100, 'a'), b(100, 'b');
    std::string received;
    std::thread reader([&] {
        while (received.size() < 200 * 100) {
            received += pipe.drain();
            std::this_thread::yield();
        }
    });
    std::thread first([&] {
        for (int i = 0; i < 100; ++i)
            channel.write(a.data(), a.size(), 1000);
    });
    std::thread second([&] {
        for (int i = 0; i < 100; ++i)
            channel.write(b.data(), b.size(), 1000);
    });
    first.join();
    second.join();
    reader.join();
    ASSERT_EQ(received.size(), 20000u);
    for (size_t i = 0; i < received.size(); i += 100)
        EXPECT_EQ(received.substr(i, 100), received[i] == 'a' ? a : b) << "at " << i;
}

// Bytes waiting in a pipe.
int Queued(int descriptor) {
    int queued = 0;
    return ::ioctl(descriptor, FIONREAD, &queued) == 0 ? queued : -1;
}

bool Full(const Pipe& pipe) {
    return Queued(pipe.read) >= ::fcntl(pipe.read, F_GETPIPE_SZ);
}

// A write that waits for a full port, on a thread of its own, with a deadline far away.
struct WaitingWriter {
    static constexpr int DeadlineMs = 8000;
    const std::string block = std::string(1 << 20, 'x'); // more than a pipe holds
    std::atomic<bool> cancel{false};
    std::atomic<bool> done{false};
    std::atomic<long> written{0};
    std::thread thread;

    WaitingWriter(SerialChannel& channel, const Pipe& pipe) {
        thread = std::thread([this, &channel] {
            written = channel.write(block.data(), block.size(), DeadlineMs, &cancel);
            done = true;
        });
        // Once the pipe is full the writer is waiting for room, holding the channel's lock.
        for (int i = 0; i < 2000 && !Full(pipe); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ~WaitingWriter() {
        if (thread.joinable())
            thread.join();
    }
};

TEST(SerialChannel, AWriteWaitingForRoomHoldsUpNeitherTheOwnersReadsNorItsClose) {
    Pipe pipe;
    SerialChannel channel(pipe.write, "/dev/ttyTEST");
    WaitingWriter writer(channel, pipe);
    ASSERT_TRUE(Full(pipe));

    // The owner's poll looks at the descriptor while the writer waits.
    EXPECT_EQ(channel.descriptor(), pipe.write);
    EXPECT_TRUE(channel.isOpen());
    EXPECT_FALSE(writer.done) << "the owner's read waited for the write to end";

    const auto started = std::chrono::steady_clock::now();
    channel.close();
    const auto took = std::chrono::steady_clock::now() - started;
    EXPECT_LT(took, std::chrono::milliseconds(WaitingWriter::DeadlineMs / 2))
        << "close waited for the write's own deadline";
    writer.thread.join();
    EXPECT_GT(writer.written, 0);
    EXPECT_LT(writer.written, static_cast<long>(writer.block.size()));
    EXPECT_EQ(channel.descriptor(), -1);
}

TEST(SerialChannel, AWriteGivesUpWhenItsCallerCancelsIt) {
    Pipe pipe;
    SerialChannel channel(pipe.write, "/dev/ttyTEST");
    const auto started = std::chrono::steady_clock::now();
    WaitingWriter writer(channel, pipe);
    ASSERT_TRUE(Full(pipe));
    writer.cancel = true;
    writer.thread.join();
    EXPECT_LT(std::chrono::steady_clock::now() - started,
              std::chrono::milliseconds(WaitingWriter::DeadlineMs / 2));
    EXPECT_GT(writer.written, 0);
    EXPECT_LT(writer.written, static_cast<long>(writer.block.size()));
    // The port itself stays open for the next write.
    pipe.drain();
    EXPECT_EQ(channel.write("abc", 3), 3);
    EXPECT_EQ(pipe.drain(), "abc");
}

} // namespace
