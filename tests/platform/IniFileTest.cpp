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
    // A new file gets CR LF line ends, as the program's home platform writes them.
    EXPECT_EQ(read(), "[GEODETIC_PARAMETERS]\r\nInverseFlattening=0.0033528106647474\r\n\r\n"
                      "[FNav]\r\nLast File Saved =/data/survey.wjt\r\n");
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
    EXPECT_EQ(read(), "[S]\r\nOn=1\r\nOff=0\r\nTwo=2\r\nWord=true\r\n");
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
    // Lines not changed keep their bytes and line ends, the comment before the first section
    // included.
    EXPECT_EQ(read(), "; comment\r\n[A]\r\nX=10\r\n; note\r\ny = 2\r\n[B]\r\n\r\n[C]\r\nw=4\r\n");
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

std::string Fixture(const std::string& name) {
    return ReadWholeFile(std::string(TEST_DATA_DIR) + "/fuzz/" + name).value_or("<missing>");
}

// Files that a rewrite once changed beyond the line it wrote (data/fuzz/F11*): CR LF turned to
// LF, a CR CR LF line end read into the value, cp1254 bytes replaced by U+FFFD for good.
TEST_F(IniFileTest, ARewriteKeepsLineEndsAndTheBytesOfEveryLineItDidNotChange) {
    struct Case {
        const char* what;
        std::string before;
        std::string section, key, value; // what the burst writes
        std::string after;
        std::string readSection, readKey, read; // a value read before and after the burst
    };
    const Case cases[] = {
        {"CR CR LF (F11a)", Fixture("F11a-ini-trailing-cr-lost.ini"), "GPS", "Port", "3",
         "[GPS]\r\nBaud=9600\r\r\nPort=3\r\n", "GPS", "Baud", "9600"},
        {"cp1254 bytes (F11b)", Fixture("F11b-ini-non-utf8-bytes-rewritten.ini"), "GPS", "Baud",
         "4800", "[GPS]\r\nName=\xfc\xe7\xfe\r\nBaud=4800\r\n", "GPS", "Name", "\xfc\xe7\xfe"},
        {"LF file stays LF", "[A]\nx=1\n", "B", "y", "2", "[A]\nx=1\n\n[B]\ny=2\n", "A", "x", "1"},
        {"last line without an end", "[A]\r\nx=1", "A", "y", "2", "[A]\r\nx=1\r\ny=2\r\n", "A",
         "x", "1"},
        {"blank lines and a stray line kept", "top\r\n[A]\r\n\r\nx=1\r\njunk\r\n\r\n[B]\r\nz=\r\n",
         "A", "w", "5", "top\r\n[A]\r\n\r\nx=1\r\njunk\r\nw=5\r\n\r\n[B]\r\nz=\r\n", "B", "z", ""},
        {"a key of a repeated section", "[A]\r\nx=1\r\n[a]\r\ny=2\r\n", "A", "y", "3",
         "[A]\r\nx=1\r\n[a]\r\ny=3\r\n", "A", "x", "1"},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(WriteFileAtomically(path().toStdString(), c.before)) << c.what;
        const QString section = QString::fromStdString(c.readSection);
        const QString key = QString::fromStdString(c.readKey);
        const QString expected = QString::fromStdString(c.read);
        EXPECT_EQ(IniFile(path()).readString(section, key, "none"), expected) << c.what;
        {
            IniFile ini(path());
            ini.writeString(QString::fromStdString(c.section), QString::fromStdString(c.key),
                            QString::fromStdString(c.value));
        }
        EXPECT_EQ(read(), c.after) << c.what;
        EXPECT_EQ(IniFile(path()).readString(section, key, "none"), expected) << c.what;
    }
}

// Sixteen thousand sections: each is found through the index, and writing one key leaves the
// rest of the file byte for byte as it was.
TEST_F(IniFileTest, AFileOfSixteenThousandSectionsIsReadAndRewrittenWhole) {
    std::string content;
    for (int i = 0; i < 16000; ++i)
        content += "[S" + std::to_string(i) + "]\r\nName=\xfe" + std::to_string(i) + "\r\nX=" +
                   std::to_string(i * 2) + "\r\n\r\n";
    ASSERT_TRUE(WriteFileAtomically(path().toStdString(), content));
    {
        IniFile ini(path());
        EXPECT_EQ(ini.readSections().size(), 16000);
        EXPECT_EQ(ini.readInteger("s15999", "x", -1), 31998);
        EXPECT_EQ(ini.readInteger("S7000", "X", -1), 14000);
        ini.writeInteger("S7000", "X", 1);
    }
    std::string expected = content;
    const std::string old = "[S7000]\r\nName=\xfe" "7000\r\nX=14000\r\n";
    const size_t at = expected.find(old);
    ASSERT_NE(at, std::string::npos);
    expected.replace(at, old.size(), "[S7000]\r\nName=\xfe" "7000\r\nX=1\r\n");
    EXPECT_EQ(read(), expected);
}

} // namespace
