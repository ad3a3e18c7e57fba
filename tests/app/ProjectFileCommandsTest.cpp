#include "StartedProgram.h"

#include "app/main_window/TStatusBar.h"
#include "app/sound_velocity/TfSVP.h"

#include "canvas/TTavrinCanvas.h"

#include "drawing_io/ProjectFile.h"

#include "platform/Clock.h"
#include "platform/DataPaths.h"
#include "platform/EventLog.h"
#include "platform/ManualClock.h"
#include "tests/support/LayerShapes.h"

#include <QCheckBox>
#include <QDir>
#include <QPlainTextEdit>
#include <QToolButton>

#include <filesystem>
#include <fstream>

namespace {

std::string FileText(const std::string& path) {
    QFile file(QString::fromStdString(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
}

// The program's windows at 2025-03-07 14:32, with the day's folders of that date.
class ProjectFileCommands : public StartedProgram {
protected:
    ManualClock clock{LocalDateTime{2025, 3, 7, 14, 32, 5, 120}};

    void SetUp() override {
        StartedProgram::SetUp();
        Clock::install(&clock);
        BuildDataPaths();
        LastLoadedFile.clear();
        std::filesystem::remove_all(TestEnvironment::home().toStdString() + "/WJT");
    }
    void TearDown() override {
        StartedProgram::TearDown();
        Clock::install(nullptr);
        BuildDataPaths();
    }

    static ScriptedDialogs& dialogs() { return TestEnvironment::dialogs(); }

    static std::string expectedName() {
        return TestEnvironment::home().toStdString() + "/WJT/2025-03-07/WJT/2025-03-07 1432.wjt";
    }

    static std::vector<QString> errorsShown() {
        std::vector<QString> errors;
        for (const auto& shown : dialogs().messages)
            if (shown.kind == MessageKind::Error)
                errors.push_back(shown.text);
        return errors;
    }

    // Shapes on the user, vessel and grid layers, as during a survey.
    static void drawSurvey() {
        FNav->fcad->DrawLine(0, 0, 10, 10, UserShapeLayerId);
        FNav->fcad->DrawPoint(5, 5, UserShapeLayerId);
        FNav->fcad->DrawCircle(1, 1, 1, VesselLayerId);
        FNav->fcad->DrawLine(0, 0, 0, 100, GridLayerId);
    }

    static int shapesOn(const CanvasModel& canvas, const QString& layer) {
        return ShapesOnLayer(canvas, layer);
    }
};

TEST_F(ProjectFileCommands, SaveWritesTheDatedFileRemembersItAndShowsItInTheCaption) {
    start();
    drawSurvey();
    ASSERT_TRUE(FNav->Save1Click());
    const std::string name = expectedName();
    ASSERT_TRUE(std::filesystem::is_regular_file(name));
    EXPECT_NE(FileText(TestEnvironment::settingsFile().toStdString())
                  .find("Last File Saved       =" + name),
              std::string::npos);
    EXPECT_EQ(FNav->windowTitle(), QString::fromStdString("Tavrin Iskandil Masasi - " + name));
    EXPECT_NE(FileText(EventsLogPath()).find("Auto-saved: " + name), std::string::npos);
    EXPECT_TRUE(errorsShown().empty());

    CanvasModel saved;
    ASSERT_TRUE(CadLoad(saved, QString::fromStdString(name)).Ok);
    EXPECT_EQ(shapesOn(saved, "tavrin_usershape"), 2);
    EXPECT_EQ(shapesOn(saved, "~~Tavrin Vessel"), 0);
    EXPECT_EQ(shapesOn(saved, "Tavrin Grid"), 0);
}

TEST_F(ProjectFileCommands, SaveRecreatesARemovedProjectFolderAndReportsOneItCannotMake) {
    start();
    drawSurvey();
    std::filesystem::remove_all(ProjectFolder);
    ASSERT_TRUE(FNav->Save1Click());
    EXPECT_TRUE(std::filesystem::is_regular_file(expectedName()));
    const QString captionAfterSave = FNav->windowTitle();

    // A regular file where the folder should be.
    std::filesystem::remove_all(ProjectFolder);
    const std::string folder = ProjectFolder.substr(0, ProjectFolder.size() - 1);
    { std::ofstream(folder) << "in the way"; }
    clock.setNow(LocalDateTime{2025, 3, 7, 14, 40, 0, 0});
    const std::string settingsBefore = FileText(TestEnvironment::settingsFile().toStdString());
    EXPECT_FALSE(FNav->Save1Click());
    ASSERT_EQ(errorsShown().size(), 1u);
    EXPECT_TRUE(errorsShown()[0].startsWith("Save failed: ")) << errorsShown()[0].toStdString();
    EXPECT_NE(FileText(EventsLogPath()).find("Save failed: "), std::string::npos);
    EXPECT_EQ(FileText(TestEnvironment::settingsFile().toStdString()), settingsBefore);
    EXPECT_EQ(FNav->windowTitle(), captionAfterSave);
    std::filesystem::remove(folder);
}

TEST_F(ProjectFileCommands, SaveAsNamesTheCaptionButTheNextStartStillReloadsTheAutoSave) {
    start();
    drawSurvey();
    ASSERT_TRUE(FNav->Save1Click());
    const QString chosen = TestEnvironment::home() + "/elsewhere.wjt";
    dialogs().answerFile(chosen);
    FNav->SaveAs1Click();
    EXPECT_TRUE(QFile::exists(chosen));
    EXPECT_EQ(FNav->windowTitle(), "Tavrin Iskandil Masasi  <" + chosen + ">");
    EXPECT_TRUE(dialogs().questions.contains("Dialog Save"));
    EXPECT_NE(FileText(EventsLogPath()).find("Saved As: " + chosen.toStdString()),
              std::string::npos);
    const IniFile ini(TestEnvironment::settingsFile());
    EXPECT_EQ(ini.readString("FILE", "Last File Saved").toStdString(), expectedName());
}

TEST_F(ProjectFileCommands, OpenAddsTheFileEachTimeAndADamagedOneChangesNothing) {
    start();
    drawSurvey();
    ASSERT_TRUE(FNav->Save1Click());
    const int before = static_cast<int>(FNav->fcad->Shapes.size());
    ASSERT_EQ(before, 2); // the vessel and the grid went at the save
    const QString name = QString::fromStdString(expectedName());
    dialogs().answerFile(name);
    dialogs().answerFile(name);
    FNav->Open1->trigger();
    FNav->bOpen->click();
    EXPECT_EQ(FNav->fcad->Shapes.size(), 3u * before);
    EXPECT_EQ(FNav->fcad->GetLayerAction(UserShapeLayerId), 15);
    EXPECT_EQ(LastLoadedFile, name.toStdString());
    EXPECT_EQ(FNav->sStatusBar->PanelText(3), TestEnvironment::home() + "/WJT/2025-03-07/");
    EXPECT_NE(FileText(EventsLogPath()).find("Opened file: " + name.toStdString()),
              std::string::npos);
    EXPECT_TRUE(errorsShown().empty());

    // The same file cut short.
    const std::string bytes = FileText(expectedName());
    const QString damaged = TestEnvironment::home() + "/damaged.wjt";
    {
        QFile file(damaged);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes.data(), static_cast<qint64>(bytes.size() - 7));
    }
    const size_t shapes = FNav->fcad->Shapes.size();
    const size_t layers = FNav->fcad->Layers.size();
    dialogs().answerFile(damaged);
    FNav->Open1Click();
    EXPECT_EQ(FNav->fcad->Shapes.size(), shapes);
    EXPECT_EQ(FNav->fcad->Layers.size(), layers);
    ASSERT_EQ(errorsShown().size(), 1u);
    EXPECT_TRUE(errorsShown()[0].startsWith("Open failed: " + damaged));
    EXPECT_NE(FileText(EventsLogPath()).find("Open failed: " + damaged.toStdString()),
              std::string::npos);
    EXPECT_EQ(LastLoadedFile, name.toStdString());
}

TEST_F(ProjectFileCommands, NewEmptiesTheMapOnlyAfterYes) {
    start();
    drawSurvey();
    FNav->fcad->AddDepthLabel(1, 1, 12.5);
    FNav->fcad->AddEventLabel(2, 2, 1);
    const size_t layers = FNav->fcad->Layers.size();

    dialogs().answer(DialogAnswer::No);
    FNav->New1->trigger();
    EXPECT_EQ(FNav->fcad->Shapes.size(), 4u);
    EXPECT_EQ(FNav->fcad->DepthLabels.size(), 1u);

    dialogs().answer(DialogAnswer::Yes);
    FNav->New1->trigger();
    EXPECT_TRUE(FNav->fcad->Shapes.empty());
    EXPECT_TRUE(FNav->fcad->DepthLabels.empty());
    EXPECT_TRUE(FNav->fcad->EventLabels.empty());
    EXPECT_EQ(FNav->fcad->Layers.size(), layers);
    EXPECT_EQ(FNav->fcad->GetLayerAction(UserShapeLayerId), 15);
    EXPECT_TRUE(dialogs().questions.contains("Entire layout will be cleared! Continue?"));
    EXPECT_NE(FileText(EventsLogPath()).find("New layout - cleared all shapes"), std::string::npos);
}

TEST_F(ProjectFileCommands, AStartReloadsTheLastAutoSaveAndClosingSavesAgain) {
    start();
    drawSurvey();
    FNav->fcad->LayerOpen("coast");
    FNav->fcad->DrawLine(3, 3, 4, 4, FNav->fcad->LayerFindByName("coast"));
    FNav->close();
    QApplication::processEvents();
    ASSERT_TRUE(std::filesystem::is_regular_file(expectedName()));
    writeSetting("CANVAS", "PlanWorldLeft", "-50");
    writeSetting("CANVAS", "PlanWorldRight", "150");
    DestroyApplicationWindows();

    start();
    EXPECT_TRUE(errorsShown().empty());
    EXPECT_EQ(FNav->fcad->Shapes.size(), 3u);
    EXPECT_NE(FNav->fcad->LayerFindByName("coast"), -1);
    EXPECT_EQ(FNav->fcad->PlanWorldLeft, -50);
    EXPECT_EQ(FNav->fcad->PlanWorldRight, 150);
    EXPECT_EQ(FNav->windowTitle(), QString::fromStdString("Tavrin Iskandil Masasi - " +
                                                          expectedName()));
}

TEST_F(ProjectFileCommands, ExitWritesTheAutoSaveOnce) {
    start();
    drawSurvey();
    FNav->Exit1->trigger();
    QApplication::processEvents();
    ASSERT_TRUE(std::filesystem::is_regular_file(expectedName()));
    const std::string log = FileText(EventsLogPath());
    const std::string saved = "Auto-saved: " + expectedName();
    const size_t first = log.find(saved);
    ASSERT_NE(first, std::string::npos) << log;
    EXPECT_EQ(log.find(saved, first + saved.size()), std::string::npos) << log;
}

TEST_F(ProjectFileCommands, AFailedSaveAtCloseIsReportedAndTheViewIsStillStored) {
    start();
    drawSurvey();
    std::filesystem::remove_all(ProjectFolder);
    const std::string folder = ProjectFolder.substr(0, ProjectFolder.size() - 1);
    { std::ofstream(folder) << "in the way"; }
    FNav->fcad->PlanWorldLeft = -1234.5;
    FNav->close();
    QApplication::processEvents();
    ASSERT_EQ(errorsShown().size(), 1u);
    EXPECT_TRUE(errorsShown()[0].startsWith("Save failed: "));
    const IniFile ini(TestEnvironment::settingsFile());
    EXPECT_EQ(ini.readFloat("CANVAS", "PlanWorldLeft", 0), -1234.5);
    EXPECT_TRUE(ini.readString("FILE", "Last File Saved").isEmpty());
    std::filesystem::remove(folder);
}

TEST_F(ProjectFileCommands, ATruncatedLastAutoSaveIsReportedOnceAtStart) {
    start();
    drawSurvey();
    ASSERT_TRUE(FNav->Save1Click());
    DestroyApplicationWindows();
    const std::string bytes = FileText(expectedName());
    std::filesystem::resize_file(expectedName(), bytes.size() / 2);

    start();
    ASSERT_EQ(errorsShown().size(), 1u);
    EXPECT_TRUE(errorsShown()[0].startsWith(QString::fromStdString("Open failed: " + expectedName())));
    EXPECT_TRUE(FNav->fcad->Shapes.empty());
    EXPECT_TRUE(LastLoadedFile.empty());
}

TEST_F(ProjectFileCommands, ARefusedOpenKeepsTheTitle) {
    const QString truncated = TestEnvironment::home() + "/truncated.wjt";
    {
        QFile file(truncated);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("WJT", 3);
    }
    const QString folder = TestEnvironment::home() + "/a folder.wjt";
    ASSERT_TRUE(QDir().mkpath(folder));
    for (const QString& refused : {QStringLiteral("/dev/zero"), folder, truncated}) {
        SCOPED_TRACE(refused.toStdString());
        dialogs().clear();
        writeSetting("FILE", "Last File Saved       ", refused);
        start();
        ASSERT_EQ(errorsShown().size(), 1u);
        EXPECT_TRUE(errorsShown()[0].startsWith("Open failed: " + refused));
        EXPECT_EQ(FNav->windowTitle(), QStringLiteral("Tavrin Iskandil Masasi - "));
        EXPECT_TRUE(LastLoadedFile.empty());

        // The same file chosen by Open later in the run: the caption names the auto-save.
        ASSERT_TRUE(FNav->Save1Click());
        const QString title = FNav->windowTitle();
        dialogs().answerFile(refused);
        FNav->Open1Click();
        EXPECT_EQ(errorsShown().size(), 2u);
        EXPECT_EQ(FNav->windowTitle(), title);
        EXPECT_TRUE(LastLoadedFile.empty());
        DestroyApplicationWindows();
        std::filesystem::remove(expectedName());
    }
}

TEST_F(ProjectFileCommands, TheSoundVelocityListsAreSavedOnlyWhileTheProfileIsInUse) {
    start();
    fSVP->mRawSVData->setPlainText("1 1500.2\n2 1500.4");
    fSVP->mSVPColumn->setPlainText("1500.2");
    const std::string prefix = SvpFolder + "2025-03-07";
    ASSERT_TRUE(FNav->Save1Click());
    EXPECT_FALSE(std::filesystem::exists(prefix + " mRawSVData.ini"));

    fSVP->cUseSVP->setChecked(true);
    std::filesystem::remove_all(SvpFolder);
    ASSERT_TRUE(FNav->Save1Click());
    EXPECT_EQ(FileText(prefix + " mRawSVData.ini"), "1 1500.2\n2 1500.4\n");
    EXPECT_EQ(FileText(prefix + " mRawSVExtracted.ini"), "");
    EXPECT_TRUE(std::filesystem::exists(prefix + " mSortedAveragedSV.ini"));
    EXPECT_EQ(FileText(prefix + " mSVPColumn.ini"), "1500.2\n");
    EXPECT_TRUE(errorsShown().empty());
}

} // namespace
