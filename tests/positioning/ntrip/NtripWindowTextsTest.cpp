#include "positioning/ntrip/NtripProfiles.h"
#include "positioning/ntrip/NtripWindowTexts.h"

#include <gtest/gtest.h>

TEST(NtripWindowTexts, CountersGroupThousandsWithCommas) {
    const std::pair<int64_t, const char*> cases[] = {
        {0, "0"}, {999, "999"}, {1000, "1,000"}, {1234567, "1,234,567"}, {-1234, "-1,234"}};
    for (const auto& [value, text] : cases)
        EXPECT_EQ(NtripCounterText(value), text);
}

TEST(NtripWindowTexts, ProgressRunsOncePerFiveThousandBytes) {
    const std::pair<int64_t, int> cases[] = {{0, 0}, {49, 0}, {50, 1}, {4999, 99}, {5000, 0}, {12345, 46}};
    for (const auto& [bytes, value] : cases)
        EXPECT_EQ(NtripProgressValue(bytes), value) << bytes;
}

TEST(NtripWindowTexts, CaptionAndButtonOfEachState) {
    const struct {
        int state;
        const char* button;
        const char* caption;
    } cases[] = {{0, "Connect", "Tavrin NTRIP Client - Disconnected"},
                 {1, "Connecting...", "Tavrin NTRIP Client - Connecting..."},
                 {2, "Disconnect", "Tavrin NTRIP Client - Connected"},
                 {3, "Disconnect", "Tavrin NTRIP Client - Receiving Data"},
                 {4, "Connect", "Tavrin NTRIP Client - Error"}};
    for (const auto& c : cases) {
        EXPECT_EQ(NtripConnectButtonText(c.state), c.button);
        EXPECT_EQ(NtripWindowCaption(c.state), c.caption);
    }
}

TEST(NtripProfiles, NameAndLine) {
    NtripProfile profile{"caster.example", "2101", "", "", "41.0", "29.0"};
    EXPECT_EQ(NtripProfileName(profile), "caster.example:2101");
    profile.username = "boat";
    profile.password = "secret";
    EXPECT_EQ(NtripProfileName(profile), "boat@caster.example:2101");
    EXPECT_EQ(NtripProfileLine(profile).value_or("<refused>"),
              "boat@caster.example:2101\tcaster.example\t2101\tboat\tsecret\t41.0\t29.0");
}

TEST(NtripProfiles, AFieldHoldingATabOrALineBreakIsNotSaved) {
    for (const char* password : {"se\tcret", "se\ncret", "se\rcret"}) {
        std::string reason;
        NtripProfile profile{"caster.example", "2101", "boat", password, "0.0", "0.0"};
        EXPECT_FALSE(NtripProfileLine(profile, &reason).has_value());
        EXPECT_EQ(reason, "the password holds a tab or a line break");
    }
}

TEST(NtripProfiles, SameNameReplacesAnotherUserAdds) {
    std::vector<std::string> lines = SplitProfileFile("a:1\ta\t1\t\t\t0\t0\r\nnotes without a tab\nb@c:2\tc\t2\tb\tp\t1\t2\n");
    ASSERT_EQ(lines.size(), 3u);
    StoreProfileLine(lines, "a:1", "a:1\ta\t1\t\tnew\t0\t0");
    EXPECT_EQ(lines[0], "a:1\ta\t1\t\tnew\t0\t0");
    StoreProfileLine(lines, "x@a:1", "x@a:1\ta\t1\tx\t\t0\t0");
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(JoinProfileFile(lines).substr(0, 22), "a:1\ta\t1\t\tnew\t0\t0\r\nnote");
    EXPECT_EQ(NtripProfileNames(lines), (std::vector<std::string>{"a:1", "b@c:2", "x@a:1"}));
    // The list's second entry is the file's third line: lines without a tab are passed by.
    EXPECT_EQ(NtripProfileLineAt(lines, 1).value_or(""), "b@c:2\tc\t2\tb\tp\t1\t2");
    EXPECT_FALSE(NtripProfileLineAt(lines, 3).has_value());
}

TEST(NtripProfiles, FieldsKeepEmptyOnes) {
    EXPECT_EQ(SplitProfileFields("n\ts\t\tu"), (std::vector<std::string>{"n", "s", "", "u"}));
    EXPECT_EQ(SplitProfileFields("a:1\ta\t1\t\t\t\t").size(), 7u);
}
