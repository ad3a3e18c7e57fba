#include "SoundVelocityCast.h"
#include "StartedProgram.h"

#include "app/sound_velocity/TfSVP.h"
#include "app/survey_windows/TOffsets.h"
#include "app/widgets/TFMsg.h"
#include "app/widgets/TLabeledEdit.h"

#include "platform/DataPaths.h"
#include "platform/ScriptedDialogs.h"

#include "survey/SoundVelocityFiles.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

std::vector<std::string> ReadLines(const std::string& path)
{
    std::vector<std::string> lines;
    std::string error;
    SoundVelocityFiles::ReadTextLines(path, lines, error);
    return lines;
}

std::string ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

class SoundVelocityWindow : public StartedProgram {
protected:
    QTemporaryDir dir;
    std::string program = dir.path().toStdString() + "/bin/";
    std::string savedSvpFolder = SvpFolder;

    void SetUp() override
    {
        StartedProgram::SetUp();
        fs::create_directories(program);
        SvpFolder = dir.path().toStdString() + "/2026-06-01/SVP/";
        fs::create_directories(SvpFolder);
    }
    void TearDown() override
    {
        StartedProgram::TearDown();
        SvpFolder = savedSvpFolder;
    }
    // Starts the program and loads the window's files from the test's program folder.
    void startWindow()
    {
        start();
        for (QPlainTextEdit* list : {fSVP->mRawSVData, fSVP->mRawSVExtracted, fSVP->mSortedAveragedSV, fSVP->mSVPColumn})
            list->clear();
        fSVP->ProgramFolder = program;
        fSVP->FormCreate();
    }
    ScriptedDialogs& dialogs() { return TestEnvironment::dialogs(); }

    void buildDefaultCast() { BuildDefaultCast(dialogs()); }
};

} // namespace

TEST_F(SoundVelocityWindow, BuildsTheExpectedColumnFromTheDefaultCast)
{
    startWindow();
    buildDefaultCast();
    EXPECT_EQ(dialogs().questions.filter(QStringLiteral("Value exceeds SV range!")).size(), 1);
    EXPECT_EQ(TfSVP::ListLines(fSVP->mSVPColumn), ReadLines(SvpCastFolder + "expected_column.txt"));
    EXPECT_TRUE(fSVP->bSaveClose->isEnabled());
    fSVP->cUseSVP->setChecked(true);
    ASSERT_NE(fSVP->VelocityColumnInUse(), nullptr);
    EXPECT_EQ(fSVP->VelocityColumnInUse()->size(), 201u);
}

TEST_F(SoundVelocityWindow, NoProfileIsSaidToBeInUseUntilUseIsTicked)
{
    startWindow();
    const QString none = QStringLiteral("No profile in use: depths use the single SV");
    EXPECT_EQ(fSVP->lColumnInUse->text(), none);
    buildDefaultCast();
    EXPECT_EQ(fSVP->lColumnInUse->text(), none);
    fSVP->cUseSVP->setChecked(true);
    EXPECT_TRUE(fSVP->lColumnInUse->text().startsWith(QStringLiteral("Column in use: 0-200 m, taken at ")))
        << fSVP->lColumnInUse->text().toStdString();
    fSVP->cUseSVP->setChecked(false);
    EXPECT_EQ(fSVP->lColumnInUse->text(), none);
}

TEST_F(SoundVelocityWindow, ThePreviousColumnStaysInUseWhileAProfileIsRebuilt)
{
    startWindow();
    buildDefaultCast();
    fSVP->cUseSVP->setChecked(true);
    const std::vector<std::string> before = *fSVP->VelocityColumnInUse();

    fSVP->mRawSVData->setPlainText(QStringLiteral("0,1480\n5,1490"));
    fSVP->eSearchString->setText(QStringLiteral("%lf,%lf"));
    fSVP->rDFirst->setChecked(true);
    fSVP->bRawToSVVClick();
    EXPECT_TRUE(fSVP->mSVPColumn->toPlainText().isEmpty());
    EXPECT_TRUE(fSVP->cUseSVP->isChecked());
    ASSERT_NE(fSVP->VelocityColumnInUse(), nullptr);
    EXPECT_EQ(*fSVP->VelocityColumnInUse(), before);
    EXPECT_TRUE(fSVP->lColumnInUse->text().contains(QStringLiteral("rebuilt")));

    fSVP->eMaxDepth->setText(QStringLiteral("5"));
    fSVP->bSVVtoAveragedSVClick();
    fSVP->bAveragedSVtoSVPClick();
    ASSERT_NE(fSVP->VelocityColumnInUse(), nullptr);
    EXPECT_EQ(fSVP->VelocityColumnInUse()->size(), 6u);
    EXPECT_EQ(fSVP->VelocityColumnInUse()->front(), "1480.00");
}

TEST_F(SoundVelocityWindow, AWrongMaxDepthEmptiesNothing)
{
    startWindow();
    fSVP->mRawSVExtracted->setPlainText(QStringLiteral("0,1500.000"));
    fSVP->mSortedAveragedSV->setPlainText(QStringLiteral("0,1500.000,1"));
    fSVP->mSVPColumn->setPlainText(QStringLiteral("1500.00"));
    for (const char* bad : {"-1", "12001", "abc"}) {
        fSVP->eMaxDepth->setText(QString::fromLatin1(bad));
        dialogs().clear();
        fSVP->bSVVtoAveragedSVClick();
        fSVP->bAveragedSVtoSVPClick();
        EXPECT_EQ(dialogs().messages.size(), 2u) << bad;
        EXPECT_EQ(fSVP->mSortedAveragedSV->toPlainText(), QStringLiteral("0,1500.000,1"));
        EXPECT_EQ(fSVP->mSVPColumn->toPlainText(), QStringLiteral("1500.00"));
    }
}

TEST_F(SoundVelocityWindow, OpenOfAFileThatCannotBeUsedKeepsAllFourLists)
{
    startWindow();
    fSVP->mRawSVData->setPlainText(QStringLiteral("raw"));
    fSVP->mSVPColumn->setPlainText(QStringLiteral("1500.00"));
    const std::string binary = program + "cast.bin";
    WriteBytes(binary, std::string("1500,1\0\0", 8));
    const std::string huge = program + "huge.txt";
    { std::ofstream out(huge, std::ios::binary); out.seekp(100 << 20); out.put('\n'); }
    for (const std::string& path : {program + "missing.txt", binary, huge}) {
        dialogs().clear();
        dialogs().answerFile(QString::fromStdString(path));
        fSVP->BitBtn1Click();
        ASSERT_EQ(dialogs().messages.size(), 1u) << path;
        EXPECT_EQ(fSVP->mRawSVData->toPlainText(), QStringLiteral("raw"));
        EXPECT_EQ(fSVP->mSVPColumn->toPlainText(), QStringLiteral("1500.00"));
    }
}

TEST_F(SoundVelocityWindow, AStoredUseWithAnEmptyColumnStartsUncheckedAndSilent)
{
    writeSetting(QStringLiteral("SVP"), QStringLiteral("cUseSVP"), QStringLiteral("1"));
    startWindow();
    EXPECT_FALSE(fSVP->cUseSVP->isChecked());
    EXPECT_TRUE(dialogs().messages.empty());
    EXPECT_EQ(fSVP->VelocityColumnInUse(), nullptr);
}

TEST_F(SoundVelocityWindow, AStoredUseWithACorruptColumnStartsUncheckedAndSaysSo)
{
    writeSetting(QStringLiteral("SVP"), QStringLiteral("cUseSVP"), QStringLiteral("1"));
    WriteBytes(SoundVelocityFiles::ProgramFolderPath(program, 3), "1500.00\n15x0.00\n");
    startWindow();
    EXPECT_FALSE(fSVP->cUseSVP->isChecked());
    EXPECT_TRUE(FMsg->Msg->toPlainText().contains(QStringLiteral("15x0.00")));
    EXPECT_EQ(fSVP->VelocityColumnInUse(), nullptr);
}

TEST_F(SoundVelocityWindow, AStoredUseWithAValidColumnIsTakenUp)
{
    writeSetting(QStringLiteral("SVP"), QStringLiteral("cUseSVP"), QStringLiteral("1"));
    WriteBytes(SoundVelocityFiles::DatedPath(SvpFolder, TodayString(), 3), "1500.00\n1501.00\n");
    startWindow();
    EXPECT_TRUE(fSVP->cUseSVP->isChecked());
    ASSERT_NE(fSVP->VelocityColumnInUse(), nullptr);
    EXPECT_EQ(fSVP->VelocityColumnInUse()->size(), 2u);
}

TEST_F(SoundVelocityWindow, CheckingUseNeedsAValidColumn)
{
    startWindow();
    fSVP->cUseSVP->setChecked(true);
    EXPECT_FALSE(fSVP->cUseSVP->isChecked());
    ASSERT_EQ(dialogs().messages.size(), 1u);
    EXPECT_EQ(dialogs().messages[0].text, QStringLiteral("SVP Column is empty. Please load or create an SVP profile first."));
    fSVP->mSVPColumn->setPlainText(QStringLiteral("1500.00\n1800"));
    fSVP->cUseSVP->setChecked(true);
    EXPECT_FALSE(fSVP->cUseSVP->isChecked());
    EXPECT_EQ(dialogs().messages.size(), 2u);
}

TEST_F(SoundVelocityWindow, AFailedSaveAndCloseNamesTheFileAndKeepsTheWindowOpen)
{
    startWindow();
    buildDefaultCast();
    fSVP->show();
    const std::string first = SoundVelocityFiles::DatedPath(SvpFolder, TodayString(), 0);
    const std::string column = SoundVelocityFiles::DatedPath(SvpFolder, TodayString(), 3);
    WriteBytes(column, "old column\n");
    fs::create_directories(first + "/in-the-way");
    dialogs().clear();
    fSVP->BitBtn2Click();
    bool named = false;
    for (const auto& shown : dialogs().messages)
        named = named || shown.text.contains(QStringLiteral("mRawSVData.ini"));
    EXPECT_TRUE(named);
    EXPECT_TRUE(fSVP->isVisible());
    EXPECT_EQ(ReadBytes(column), "old column\n");
    EXPECT_FALSE(fs::exists(SoundVelocityFiles::ProgramFolderPath(program, 3)));
}

TEST_F(SoundVelocityWindow, SaveAndCloseWritesBothCopiesAndTheSettings)
{
    startWindow();
    buildDefaultCast();
    fSVP->show();
    fSVP->BitBtn2Click();
    EXPECT_FALSE(fSVP->isVisible());
    EXPECT_EQ(ReadLines(SoundVelocityFiles::ProgramFolderPath(program, 3)), ReadLines(SvpCastFolder + "expected_column.txt"));
    EXPECT_EQ(ReadLines(SoundVelocityFiles::DatedPath(SvpFolder, TodayString(), 3)), ReadLines(SvpCastFolder + "expected_column.txt"));
    EXPECT_TRUE(settingsFileBytes().contains("eSearchString=%*23s %lf,%lf"));
}

TEST_F(SoundVelocityWindow, UseSvpIsKeptWhenTheProgramEnds)
{
    startWindow();
    fSVP->mSVPColumn->setPlainText(QStringLiteral("1500.00"));
    fSVP->cUseSVP->setChecked(true);
    DestroyApplicationWindows();
    IniFile ini(TestEnvironment::settingsFile());
    EXPECT_TRUE(ini.readBool(QStringLiteral("SVP"), QStringLiteral("cUseSVP"), false));
}

TEST_F(SoundVelocityWindow, AutoDetectSetsTheSearchStringAndOrder)
{
    startWindow();
    dialogs().answerFile(QString::fromStdString(SvpCastFolder + "cast_header.csv"));
    fSVP->BitBtn1Click();
    fSVP->AutoDedetct1Click();
    EXPECT_EQ(fSVP->eSearchString->text(), QStringLiteral("%*[^,],%lf,%*[^,],%lf"));
    EXPECT_TRUE(fSVP->rDFirst->isChecked());
    fSVP->eSearchStringDblClick();
    EXPECT_EQ(fSVP->eSearchString->text(), QStringLiteral("%*23s %lf,%lf"));
}

TEST_F(SoundVelocityWindow, UseSvpDrivesTheSetUpWindowAndItsLog)
{
    writeSetting(QStringLiteral("SVP"), QStringLiteral("cUseSVP"), QStringLiteral("1"));
    WriteBytes(SoundVelocityFiles::DatedPath(SvpFolder, TodayString(), 3), "1500.00\n1501.00\n");
    start();
    // Started with the dated column of the test's SVP folder: the set-up window shows the profile.
    EXPECT_FALSE(Offsets->SV->isEnabled());
    EXPECT_EQ(Offsets->bSVP->text(), QStringLiteral("SVP Profile Used"));
    ASSERT_TRUE(Offsets->SoundVelocityProfileInUse);
    EXPECT_TRUE(Offsets->SoundVelocityProfileInUse());
    fSVP->cUseSVP->setChecked(false);
    EXPECT_TRUE(Offsets->SV->isEnabled());
    EXPECT_EQ(Offsets->bSVP->text(), QStringLiteral("Single SV Used"));
    EXPECT_FALSE(Offsets->SoundVelocityProfileInUse());
}

TEST_F(SoundVelocityWindow, AnUncheckedStartLeavesTheSetUpWindowAlone)
{
    start();
    EXPECT_TRUE(Offsets->SV->isEnabled());
    EXPECT_EQ(Offsets->bSVP->text(), QStringLiteral("Sound Velocity Profile"));
}
