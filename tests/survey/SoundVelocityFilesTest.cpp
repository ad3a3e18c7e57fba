#include "survey/SlotScan.h"
#include "survey/SoundVelocityFiles.h"
#include "survey/SoundVelocityProfile.h"
#include "survey/VelocityColumn.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <clocale>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>

namespace fs = std::filesystem;
using namespace SoundVelocityFiles;

namespace {

void WriteBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

std::string ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

struct Folders {
    QTemporaryDir dir;
    std::string program = dir.path().toStdString() + "/bin";
    std::string svp = dir.path().toStdString() + "/2026-06-01/SVP/";
    Folders()
    {
        fs::create_directories(program);
        fs::create_directories(svp);
    }
};

} // namespace

TEST(SoundVelocityFiles, DatedCopyWinsAndANewDayShowsTheProgramFolderCopies)
{
    Folders f;
    WriteBytes(ProgramFolderPath(f.program, 3), "1500.00\n1500.50\n");
    WriteBytes(DatedPath(f.svp, "2026-06-01", 3), "1510.00\r\n");
    WriteBytes(ProgramFolderPath(f.program, 0), "raw line\n");

    const auto today = LoadLists(f.program, f.svp, "2026-06-01");
    ASSERT_TRUE(today[3]);
    EXPECT_EQ(*today[3], std::vector<std::string>{"1510.00"});
    EXPECT_EQ(*today[0], std::vector<std::string>{"raw line"});
    EXPECT_FALSE(today[1]);

    const auto nextDay = LoadLists(f.program, f.svp, "2026-06-02");
    EXPECT_EQ(*nextDay[3], (std::vector<std::string>{"1500.00", "1500.50"}));
}

TEST(SoundVelocityFiles, ADatedCopyWrittenWithUpperCaseExtensionIsFound)
{
    Folders f;
    WriteBytes(f.svp + "2026-06-01 mSVPColumn.INI", "1505.00\n");
    const auto lists = LoadLists(f.program, f.svp, "2026-06-01");
    ASSERT_TRUE(lists[3]);
    EXPECT_EQ(*lists[3], std::vector<std::string>{"1505.00"});
}

TEST(SoundVelocityFiles, RefusesUnreadableHugeAndBinaryFiles)
{
    Folders f;
    std::vector<std::string> lines = {"kept"};
    std::string error;
    EXPECT_FALSE(ReadTextLines(f.program + "/missing.txt", lines, error));
    EXPECT_NE(error.find("missing.txt"), std::string::npos);

    const std::string binary = f.program + "/cast.bin";
    WriteBytes(binary, std::string("1500,1\n\0\x01\x02", 10));
    EXPECT_FALSE(ReadTextLines(binary, lines, error));
    EXPECT_NE(error.find("NUL"), std::string::npos);

    const std::string huge = f.program + "/huge.txt";
    { std::ofstream out(huge, std::ios::binary); out.seekp(100 << 20); out.put('\n'); }
    EXPECT_FALSE(ReadTextLines(huge, lines, error));
    EXPECT_NE(error.find("64 MB"), std::string::npos);
    EXPECT_EQ(lines, std::vector<std::string>{"kept"});
}

TEST(SoundVelocityFiles, ACastThatIsNotARegularFileIsRefusedWithoutWaiting)
{
    Folders f;
    const std::string fifo = f.program + "/cast.svp";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    fs::create_directory(f.program + "/folder.svp");
    for (const auto& [path, why] : {std::pair{fifo, std::string("it is not a regular file")},
                                    std::pair{f.program + "/folder.svp",
                                              std::string("it is a folder, not a file")}}) {
        SCOPED_TRACE(path);
        std::vector<std::string> lines = {"kept"};
        std::string error;
        EXPECT_FALSE(ReadTextLines(path, lines, error));
        EXPECT_EQ(error, "\"" + path + "\" cannot be read: " + why + ".");
        EXPECT_EQ(lines, std::vector<std::string>{"kept"});
    }
}

TEST(SoundVelocityFiles, DropsOneCarriageReturnAndKeepsEveryLatin1Byte)
{
    Folders f;
    const std::string path = f.program + "/cast.txt";
    WriteBytes(path, "a\r\r\nb\xe7\xfc\r\nlast");
    std::vector<std::string> lines;
    std::string error;
    ASSERT_TRUE(ReadTextLines(path, lines, error)) << error;
    EXPECT_EQ(lines, (std::vector<std::string>{"a\r", "b\xc3\xa7\xc3\xbc", "last"}));
}

TEST(SoundVelocityFiles, AFailedSaveNamesTheFileAndLeavesTheOldFilesWhole)
{
    Folders f;
    Lists lists;
    lists[3] = {"1500.00"};
    std::string error;
    ASSERT_TRUE(WriteLists(f.svp + "2026-06-01", " ", lists, error)) << error;
    const std::string before = ReadBytes(DatedPath(f.svp, "2026-06-01", 3));
    // A folder in the way of the first file: the rename fails even for root.
    fs::remove(DatedPath(f.svp, "2026-06-01", 0));
    fs::create_directories(DatedPath(f.svp, "2026-06-01", 0) + "/x");
    lists[3] = {"1510.00"};
    EXPECT_FALSE(WriteLists(f.svp + "2026-06-01", " ", lists, error));
    EXPECT_NE(error.find("mRawSVData.ini"), std::string::npos) << error;
    EXPECT_EQ(ReadBytes(DatedPath(f.svp, "2026-06-01", 3)), before);
}

TEST(SoundVelocityFiles, WritesCreateTheMissingSvpFolder)
{
    Folders f;
    const std::string svp = f.dir.path().toStdString() + "/2026-06-02/SVP/";
    Lists lists;
    lists[0] = {"raw"};
    std::string error;
    ASSERT_TRUE(WriteLists(svp + "2026-06-02", " ", lists, error)) << error;
    EXPECT_EQ(ReadBytes(svp + "2026-06-02 mRawSVData.ini"), "raw\n");
    EXPECT_EQ(ReadBytes(svp + "2026-06-02 mSVPColumn.ini"), "");
}

TEST(SoundVelocityFiles, RoundTripUnderTurkishLocaleKeepsDecimalPoints)
{
    const char* old = std::setlocale(LC_ALL, nullptr);
    const std::string saved = old ? old : "C";
    if (!std::setlocale(LC_ALL, "tr_TR.UTF-8"))
        GTEST_SKIP() << "tr_TR.UTF-8 is not installed";
    Folders f;
    const auto extracted = ExtractSoundVelocities({"1500.25,0", "1502.5,1", "1501,2"}, "%lf,%lf", true, true, nullptr);
    const auto column = BuildVelocityColumn(AverageSoundVelocities(extracted.extracted, 2), 2, true);
    Lists lists;
    lists[1] = extracted.extracted;
    lists[3] = column.column;
    std::string error;
    const bool written = WriteLists(f.program + "/", "", lists, error);
    const auto loaded = LoadLists(f.program, f.svp, "2026-06-01");
    std::setlocale(LC_ALL, saved.c_str());
    ASSERT_TRUE(written) << error;
    ASSERT_TRUE(loaded[3]);
    EXPECT_EQ(*loaded[1], (std::vector<std::string>{"0,1500.250", "1,1502.500", "2,1501.000"}));
    EXPECT_EQ(*loaded[3], (std::vector<std::string>{"1500.25", "1501.38", "1501.25"}));
    EXPECT_TRUE(VelocityColumn::FromLines(*loaded[3]).valid());
}

// Every file the sound velocity files' fuzz target kept (data/fuzz/), read as the window reads
// it and taken as the averaged list's source and as the list itself: every slot reads as its
// depth, a finite mean and a count, and a column built from it holds only velocities the
// sounder may use.
TEST(SoundVelocityFiles, KeptFuzzFindingsBuildOnlyReadableSlotsAndUsableColumns)
{
    size_t replayed = 0;
    for (const auto& entry : fs::directory_iterator(TEST_DATA_DIR "/fuzz")) {
        if (entry.path().filename() == "README.md")
            continue;
        SCOPED_TRACE(entry.path().filename().string());
        ++replayed;
        std::vector<std::string> lines;
        std::string error;
        if (!ReadTextLines(entry.path().string(), lines, error)) {
            EXPECT_FALSE(error.empty());
            continue;
        }
        const std::vector<std::string> averaged = AverageSoundVelocities(lines, DefaultSvpMaxDepth);
        for (size_t k = 0; k < averaged.size(); ++k) {
            int depth = -1, count = -1;
            double velocity = NAN;
            if (!averaged[k].empty())
                EXPECT_TRUE(ScanDepthVelocityCount(averaged[k], depth, velocity, count) == 3 &&
                            depth == static_cast<int>(k) && std::isfinite(velocity))
                    << averaged[k];
        }
        for (const auto& list : {lines, averaged}) {
            const SvpColumnResult column = BuildVelocityColumn(list, DefaultSvpMaxDepth, true);
            if (column.ok)
                EXPECT_TRUE(VelocityColumn::FromLines(column.column).valid());
            else
                EXPECT_FALSE(column.message.empty());
        }
    }
    EXPECT_GT(replayed, 0u);
}
