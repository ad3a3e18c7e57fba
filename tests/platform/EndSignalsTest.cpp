#include "platform/EndSignals.h"

#include "tests/support/EventLoopWait.h"

#include <gtest/gtest.h>

#include <csignal>
#include <vector>

namespace {

TEST(EndSignals, EachEndSignalReachesTheEventLoopInsteadOfEndingTheProcess) {
    std::vector<int> received;
    ASSERT_TRUE(EndSignals::install([&received](int signalNumber) { received.push_back(signalNumber); }));
    for (const int signalNumber : {SIGTERM, SIGHUP, SIGINT})
        ASSERT_EQ(::raise(signalNumber), 0);
    // Nothing is called from inside the handler: only the event loop delivers the requests.
    EXPECT_TRUE(received.empty());
    EXPECT_TRUE(WaitUntil([&received] { return received.size() == 3; }));
    EXPECT_EQ(received, (std::vector<int>{SIGTERM, SIGHUP, SIGINT}));
    EndSignals::uninstall();

    struct sigaction current {};
    ::sigaction(SIGTERM, nullptr, &current);
    EXPECT_EQ(current.sa_handler, SIG_DFL);
}

} // namespace
