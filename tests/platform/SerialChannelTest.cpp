#include "platform/SerialChannel.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <string>
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

} // namespace
