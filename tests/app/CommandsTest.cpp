// The main window's commands, the status bar's folder and language panels, exit and restart,
// driven through the started program's windows offscreen.
#include "StartedProgram.h"

#include "app/devices/TFGPS.h"
#include "app/main_window/LoadedFileFolder.h"
#include "app/main_window/ProgramRestart.h"
#include "app/main_window/TStatusBar.h"
#include "app/main_window/TformAbout.h"
#include "app/ntrip/TfrmNTRIPSettings.h"
#include "app/runlines/TfRunline1.h"
#include "app/survey_windows/TfRealtime.h"
#include "app/widgets/TfTheme.h"
#include "platform/DataPaths.h"
#include "platform/EventLog.h"
#include "platform/RecordingShell.h"
#include "positioning/gnss/NmeaChecksum.h"
#include "positioning/gnss/TavrinSerialGPS.h"
#include "positioning/ntrip/TavrinNTRIPClient.h"
#include "tests/support/EventLoopWait.h"
#include "tools/devsim/PseudoTerminal.h"

#include <QAction>
#include <QDir>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTimer>
#include <QToolButton>

#include <cmath>

namespace {

class Commands : public StartedProgram {
protected:
    void SetUp() override {
        StartedProgram::SetUp();
        Shell::install(&shell);
        LastLoadedFile.clear();
    }
    void TearDown() override {
        StartedProgram::TearDown();
        Shell::install(nullptr);
    }

    // A point inside the given panel of the status bar, in the bar's coordinates.
    static QPoint InPanel(int panel) {
        return QPoint(FNav->sStatusBar->PanelLeft(panel) + 5, 5);
    }

    RecordingShell shell;
};

void Send(QWidget* widget, QEvent::Type type, QPoint at) {
    QMouseEvent event(type, at, widget->mapToGlobal(at), Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

void Click(QWidget* widget, QPoint at) {
    Send(widget, QEvent::MouseButtonPress, at);
    Send(widget, QEvent::MouseButtonRelease, at);
}

// The platform's order of events for a double-click.
void DoubleClick(QWidget* widget, QPoint at) {
    Click(widget, at);
    Send(widget, QEvent::MouseButtonDblClick, at);
    Send(widget, QEvent::MouseButtonRelease, at);
}

} // namespace

TEST(LoadedFileFolder, IsTheParentOfTheFilesFolderElseItsOwnFolder) {
    const struct {
        const char* file;
        const char* folder;
    } cases[] = {
        {"/home/s/WJT/2025-03-07/WJT/a.wjt", "/home/s/WJT/2025-03-07/"},
        {"/a.wjt", "/"},
        {"a.wjt", ""},
        {"WJT/a.wjt", "WJT/"},
        {"/data/a.wjt", "/"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LoadedFileFolder(c.file), c.folder) << c.file;
}

TEST_F(Commands, EachWindowCommandShowsItsWindow) {
    start();
    const struct {
        QAction* action;
        QToolButton* button;
        QWidget* window;
    } commands[] = {
        {nullptr, FNav->ConnectIcon, FGPS},
        {FNav->Parameters1, nullptr, FGPS},
        {FNav->mRealtimeWindow1, nullptr, fRealtime},
        {FNav->themeSelection1, nullptr, fTheme},
        {nullptr, FNav->tbRunline, fRunline1},
        {FNav->Generate1, nullptr, fRunline1},
    };
    for (const auto& command : commands) {
        command.window->hide();
        if (command.action)
            command.action->trigger();
        else
            command.button->click();
        EXPECT_TRUE(command.window->isVisible()) << command.window->objectName().toStdString();
        command.window->hide();
    }
}

TEST_F(Commands, AboutOpensApplicationModalWithoutWaiting) {
    start();
    FNav->About1->trigger();
    EXPECT_TRUE(formAbout->isVisible());
    EXPECT_EQ(formAbout->windowModality(), Qt::ApplicationModal);
    formAbout->close();
}

TEST_F(Commands, OpenLogFolderOpensTheDayFolderMadeWhenMissing) {
    start();
    QDir(QString::fromStdString(DayFolder)).removeRecursively();
    FNav->OpenLogFolder1->trigger();
    // Through the realtime window's own button: the day's folder, made again.
    ASSERT_EQ(shell.openedFolders.size(), 1);
    EXPECT_EQ(QDir(shell.openedFolders[0]), QDir(QString::fromStdString(DayFolder)));
    EXPECT_TRUE(QDir(QString::fromStdString(DayFolder)).exists());
}

TEST_F(Commands, RemoteSupportStartsNothingAndSaysSo) {
    start();
    FNav->RemoteSupport1->trigger();
    EXPECT_TRUE(shell.startedPrograms.empty());
    EXPECT_TRUE(shell.openedFolders.isEmpty());
    ASSERT_FALSE(TestEnvironment::dialogs().messages.empty());
    EXPECT_TRUE(TestEnvironment::dialogs().messages.back().text.contains("not available"));
}

TEST_F(Commands, NtripWithTheReceiverClosedOnlyShowsTheWindow) {
    start();
    frmNTRIPSettings->tmrUpdate->stop();
    FNav->TavrinNTRIPClient1->trigger();
    EXPECT_TRUE(frmNTRIPSettings->isVisible());
    EXPECT_EQ(frmNTRIPSettings->Client->SerialHandle(), nullptr);
    EXPECT_TRUE(frmNTRIPSettings->GpsPortName.isEmpty() ||
                frmNTRIPSettings->GpsPortName == "This port (GPS)");
}

TEST_F(Commands, NtripHandsOverTheOpenReceiversChannelNameAndPosition) {
    auto receiver = std::make_unique<PseudoTerminal>();
    writeSetting("SERIAL_PORTS", "COM17", QString::fromStdString(receiver->devicePath()));
    start();
    // Only the command hands the port over here; the window's own tick waits.
    frmNTRIPSettings->tmrUpdate->stop();
    FNav->ZGPS1->PortNumber = 17;
    FNav->ZGPS1->Open();
    ASSERT_TRUE(FNav->ZGPS1->Connected);
    const std::string body = "GPGGA,120000.00,4100.7407,N,02858.6000,E,4,12,0.8,12.5,M,36.1,M,,";
    ASSERT_TRUE(receiver->write("$" + body + "*" + NmeaChecksum(body) + "\r\n"));
    ASSERT_TRUE(WaitUntil([] { return std::fabs(double(FNav->ZGPS1->GetLatitude()) - 41.012345) < 1e-6; }));

    FNav->TavrinNTRIPClient1->trigger();
    EXPECT_TRUE(frmNTRIPSettings->isVisible());
    EXPECT_EQ(frmNTRIPSettings->Client->SerialHandle(), FNav->ZGPS1->Handle);
    EXPECT_EQ(frmNTRIPSettings->GpsPortName, "COM17");
    EXPECT_EQ(frmNTRIPSettings->edtLatitude->text(), "41.01234500");
    EXPECT_EQ(frmNTRIPSettings->edtLongitude->text(), "28.97666667");
    FNav->ZGPS1->Close();
}

TEST_F(Commands, ACommandMakesTheNtripWindowAgainWhenItIsGone) {
    start();
    TfrmNTRIPSettings* const original = frmNTRIPSettings;
    frmNTRIPSettings = nullptr;
    FNav->TavrinNTRIPClient1->trigger();
    TfrmNTRIPSettings* const made = frmNTRIPSettings;
    ASSERT_NE(made, nullptr);
    EXPECT_NE(made, original);
    EXPECT_TRUE(made->isVisible());
    EXPECT_EQ(made->parent(), FNav);
    delete made;
    EXPECT_EQ(frmNTRIPSettings, nullptr);
    frmNTRIPSettings = original;
}

TEST_F(Commands, AClickOnTheFolderPanelOpensTheFolderOnce) {
    start();
    TStatusBar* bar = FNav->sStatusBar;
    // Before any file a click opens nothing.
    Click(bar, InPanel(3));
    EXPECT_TRUE(shell.openedFolders.isEmpty());

    LastLoadedFile = DayFolder + "WJT/a.wjt";
    bar->SetPanelWidth(3, 200);
    Click(bar, InPanel(2));
    Click(bar, InPanel(5));
    EXPECT_TRUE(shell.openedFolders.isEmpty());
    Click(bar, InPanel(3));
    EXPECT_EQ(shell.openedFolders, QStringList{QString::fromStdString(DayFolder)});
}

TEST_F(Commands, ADoubleClickOnTheFolderPanelOpensOnceAndTogglesOnce) {
    start();
    TStatusBar* bar = FNav->sStatusBar;
    LastLoadedFile = DayFolder + "WJT/a.wjt";
    bar->SetPanelWidth(3, 200);
    DoubleClick(bar, InPanel(3));
    EXPECT_EQ(shell.openedFolders.size(), 1);
    EXPECT_EQ(Translator->CurrentLanguage, "tr");
    EXPECT_EQ(bar->PanelText(4), "TR");
}

TEST_F(Commands, TheLanguageToggleGoesBetweenEnglishAndTurkishAndIsStored) {
    start();
    const auto stored = [] {
        return IniFile(TestEnvironment::settingsFile())
            .readString(QStringLiteral("SETTINGS"), QStringLiteral("Language"), QStringLiteral("<none>"));
    };
    FNav->LanguageToggle();
    EXPECT_EQ(Translator->CurrentLanguage, "tr");
    EXPECT_EQ(FNav->sStatusBar->PanelText(4), "TR");
    EXPECT_EQ(stored(), "tr");
    FNav->LanguageToggle();
    EXPECT_EQ(Translator->CurrentLanguage, "en");
    EXPECT_EQ(FNav->sStatusBar->PanelText(4), "EN");
    EXPECT_EQ(stored(), "en");

    // Any other language goes back to English.
    Translator->SetLanguage("de");
    FNav->LanguageToggle();
    EXPECT_EQ(Translator->CurrentLanguage, "en");
    EXPECT_EQ(FNav->sStatusBar->PanelText(4), "EN");
    EXPECT_EQ(stored(), "en");
}

TEST_F(Commands, ExitLeavesTheLoopWith255AndWritesNoSession) {
    start();
    QDir(QString::fromStdString(ProjectFolder)).removeRecursively();
    QTimer::singleShot(0, FNav->bExit, &QToolButton::click);
    EXPECT_EQ(QApplication::exec(), 255);
    DestroyApplicationWindows();
    const IniFile ini(TestEnvironment::settingsFile());
    EXPECT_TRUE(ini.readSection(QStringLiteral("CANVAS")).isEmpty());
    EXPECT_TRUE(ini.readString(QStringLiteral("FILE"), QStringLiteral("Last File Saved")).isEmpty());
    EXPECT_TRUE(QDir(QString::fromStdString(ProjectFolder)).entryList(QDir::Files).isEmpty());
}

TEST_F(Commands, RestartStartsTheProgramOnlyAfterTheClosingStepsWrote) {
    start();
    QDir(QString::fromStdString(ProjectFolder)).removeRecursively();
    QDir().mkpath(QString::fromStdString(ProjectFolder));
    FNav->bRestart->click();
    QApplication::processEvents();
    // The window closed and wrote the session; nothing has started yet.
    EXPECT_FALSE(FNav->isVisible());
    EXPECT_FALSE(IniFile(TestEnvironment::settingsFile()).readSection(QStringLiteral("CANVAS")).isEmpty());
    EXPECT_TRUE(shell.startedPrograms.empty());
    EXPECT_FALSE(QDir(QString::fromStdString(ProjectFolder)).entryList(QDir::Files).isEmpty());
    ASSERT_TRUE(RestartRequested());

    DestroyApplicationWindows();
    EXPECT_TRUE(StartRequestedRestart());
    ASSERT_EQ(shell.startedPrograms.size(), 1u);
    EXPECT_EQ(shell.startedPrograms[0].first, QCoreApplication::applicationFilePath());
    EXPECT_TRUE(shell.startedPrograms[0].second.isEmpty());
    EXPECT_FALSE(RestartRequested());
}

TEST_F(Commands, AFailedRestartGoesToTheEventsLog) {
    start(); // makes the day's folders
    DestroyApplicationWindows();
    shell.succeeds = false;
    RequestRestart();
    EXPECT_FALSE(StartRequestedRestart());
    QFile log(QString::fromStdString(EventsLogPath()));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_TRUE(log.readAll().contains("Restart: cannot start"));
}
