#include "platform/ErrorBoundary.h"
#include "platform/ManualClock.h"
#include "platform/RepeatedErrorGuard.h"
#include "tests/support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

class ErrorBoundaryTest : public ::testing::Test {
protected:
    ScriptedDialogs& dialogs = TestEnvironment::dialogs();
    void SetUp() override { dialogs.clear(); }
};

TEST_F(ErrorBoundaryTest, ExceptionIsShownAndEndsTheHandler) {
    bool after = false;
    EXPECT_FALSE(ErrorBoundary::run([&] {
        throw std::runtime_error("'abc' is not a valid floating point value");
        after = true;
    }));
    EXPECT_FALSE(after);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].kind, MessageKind::Error);
    EXPECT_EQ(dialogs.messages[0].text, "'abc' is not a valid floating point value");
}

TEST_F(ErrorBoundaryTest, SilentAbortEndsQuietly) {
    EXPECT_FALSE(ErrorBoundary::run([] { Abort(); }));
    EXPECT_TRUE(ErrorBoundary::run([] {}));
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(ErrorBoundaryTest, RepeatedErrorsAreReportedOncePerSpell) {
    QStringList reports;
    RepeatedErrorGuard::setSink([&](const QString& text) { reports << text; });
    RepeatedErrorGuard guard("Map tick");
    auto failing = [] { throw std::runtime_error("bad vessel radius"); };

    for (int i = 0; i < 5; ++i)
        EXPECT_FALSE(guard.run(failing));
    EXPECT_EQ(reports, QStringList({"Map tick: bad vessel radius"}));
    EXPECT_EQ(guard.suppressed(), 4);

    EXPECT_TRUE(guard.run([] {})); // the spell ends
    EXPECT_FALSE(guard.inSpell());
    guard.run(failing);
    EXPECT_EQ(reports.size(), 2);
    EXPECT_TRUE(dialogs.messages.empty()) << "no modal box from a timer or a device line";
    RepeatedErrorGuard::setSink(nullptr);
}

TEST(ManualClockTest, AdvanceRollsOverMidnightAndMonthEnds) {
    ManualClock clock(LocalDateTime{2024, 2, 28, 23, 59, 59, 500}, 10);
    clock.advance(86400000 + 600);
    const LocalDateTime t = clock.now();
    EXPECT_EQ(t.year, 2024);
    EXPECT_EQ(t.month, 3);
    EXPECT_EQ(t.day, 1);
    EXPECT_EQ(t.hour, 0);
    EXPECT_EQ(t.minute, 0);
    EXPECT_EQ(t.second, 0);
    EXPECT_EQ(t.millisecond, 100);
    EXPECT_EQ(clock.tickCount(), 86400000u + 610u);
}

} // namespace
