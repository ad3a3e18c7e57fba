#include "platform/IniFile.h"
#include "platform/FileIO.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace {

class IniFileTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path() const { return dir.path() + "/settings.INI"; }
    std::string read() const { return ReadWholeFile(path().toStdString()).value_or("<missing>"); }
};

TEST_F(IniFileTest, MissingFileAndMissingKeysGiveDefaults) {
    const IniFile ini(path());
    EXPECT_EQ(ini.readString("NAV", "Host", "rtk.example"), "rtk.example");
    EXPECT_EQ(ini.readInteger("NAV", "Port", 2101), 2101);
    EXPECT_TRUE(ini.readBool("NAV", "Auto", true));
    EXPECT_DOUBLE_EQ(ini.readFloat("NAV", "Scale", 0.9996), 0.9996);
    EXPECT_FALSE(ini.sectionExists("NAV"));
}

TEST_F(IniFileTest, NamesCompareWithoutCaseAndSurroundingBlanks) {
    {
        IniFile ini(path());
        ini.writeString("GEODETIC_PARAMETERS", "InverseFlattening", "0.0033528106647474");
        ini.writeString("FNav", "Last File Saved ", "/data/survey.wjt");
    }
    EXPECT_EQ(read(), "[GEODETIC_PARAMETERS]\nInverseFlattening=0.0033528106647474\n\n"
                      "[FNav]\nLast File Saved =/data/survey.wjt\n");
    const IniFile ini(path());
    EXPECT_EQ(ini.readString("geodetic_parameters", "INVERSEFLATTENING"), "0.0033528106647474");
    // A key written with a trailing blank is read without it, and the other way round.
    EXPECT_EQ(ini.readString("FNAV", "Last File Saved"), "/data/survey.wjt");
    EXPECT_EQ(ini.readString("fnav", "  last file saved  "), "/data/survey.wjt");
    EXPECT_TRUE(ini.valueExists(" FNav ", "LAST FILE SAVED"));
}

TEST_F(IniFileTest, TurkishDottedCapitalIsNotFoldedToAsciiI) {
    IniFile ini(path());
    ini.writeString("SETTINGS", "LIMIT", "1");
    // ASCII folding only: "İ" (U+0130) is a different name from "I".
    EXPECT_EQ(ini.readString("SETTINGS", QString::fromUtf8("L\u0130M\u0130T"), "none"), "none");
    EXPECT_EQ(ini.readString("settings", "limit"), "1");
}

TEST_F(IniFileTest, BooleansAreWrittenAsDigitsAndReadAsIntegers) {
    {
        IniFile ini(path());
        ini.writeBool("S", "On", true);
        ini.writeBool("S", "Off", false);
        ini.writeString("S", "Two", "2");
        ini.writeString("S", "Word", "true");
    }
    EXPECT_EQ(read(), "[S]\nOn=1\nOff=0\nTwo=2\nWord=true\n");
    const IniFile ini(path());
    EXPECT_TRUE(ini.readBool("S", "On", false));
    EXPECT_FALSE(ini.readBool("S", "Off", true));
    EXPECT_TRUE(ini.readBool("S", "Two", false));
    // Not an integer: the default.
    EXPECT_FALSE(ini.readBool("S", "Word", false));
    EXPECT_EQ(ini.readInteger("S", "Word", -7), -7);
}

TEST_F(IniFileTest, RewritingAKeyReplacesItInPlaceAndKeepsForeignLines) {
    ASSERT_TRUE(WriteFileAtomically(
        path().toStdString(), "; comment\r\n[A]\r\nx=1\r\n; note\r\ny = 2\r\n[B]\r\nz=3\r\n"));
    {
        IniFile ini(path());
        ini.writeInteger("a", "X", 10);
        ini.deleteKey("B", "z");
        ini.writeString("C", "w", "4");
    }
    EXPECT_EQ(read(), "[A]\nX=10\n; note\ny = 2\n\n[B]\n\n[C]\nw=4\n");
    const IniFile ini(path());
    EXPECT_EQ(ini.readString("A", "y"), " 2"); // values are raw
    EXPECT_EQ(ini.readSection("A"), QStringList({"X", "y "}));
}

TEST_F(IniFileTest, OverlappingBurstsKeepEachOthersWrites) {
    IniFile outer(path());
    outer.writeString("OUTER", "a", "1");
    {
        IniFile inner(path());
        inner.writeString("INNER", "b", "2");
    }
    ASSERT_TRUE(outer.flush());
    const IniFile ini(path());
    EXPECT_EQ(ini.readString("OUTER", "a"), "1");
    EXPECT_EQ(ini.readString("INNER", "b"), "2");
}

TEST_F(IniFileTest, FailedWriteReportsFailureAndKeepsChangesPending) {
    IniFile ini(dir.path() + "/missing-folder/settings.INI");
    ini.writeString("S", "k", "v");
    EXPECT_FALSE(ini.flush());
    EXPECT_EQ(ini.readString("S", "k"), "v");
}

// A writer killed at random moments while replacing the file leaves either the old content or
// the new one, never a torn file.
TEST_F(IniFileTest, WriteKilledHalfWayLeavesOldOrNewFile) {
    const std::string target = path().toStdString();
    const std::string oldContent(4 << 20, 'a');
    const std::string newContent(4 << 20, 'b');
    for (int round = 0; round < 6; ++round) {
        ASSERT_TRUE(WriteFileAtomically(target, oldContent));
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (;;) {
                WriteFileAtomically(target, newContent);
                WriteFileAtomically(target, oldContent);
            }
        }
        usleep(2000 + round * 7000);
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        const auto content = ReadWholeFile(target);
        ASSERT_TRUE(content.has_value());
        EXPECT_TRUE(*content == oldContent || *content == newContent)
            << "torn file of " << content->size() << " bytes in round " << round;
    }
}

} // namespace
