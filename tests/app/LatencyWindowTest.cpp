#include "StartedProgram.h"

#include "app/survey_windows/TfLatency.h"

#include "platform/AppPaths.h"
#include "platform/IniFile.h"

#include "survey/LatencyMeter.h"

#include <QGroupBox>
#include <QLineEdit>

namespace {

QColor BoxColour(const TfLatency& window) {
    return window.gLatency->palette().color(QPalette::Window);
}

QString StoredTolerance() {
    const IniFile ini(AppPaths::settingsFile());
    return ini.readString(QStringLiteral("LATENCY"), QStringLiteral("eLatencyTol"),
                          QStringLiteral("<none>"));
}

} // namespace

using LatencyWindow = StartedProgram;

TEST_F(LatencyWindow, BoxIsLimeBelowTheToleranceAndRedFromIt) {
    TfLatency window;
    EXPECT_EQ(window.eLatencyTol->text(), QStringLiteral("500"));
    window.eCurrentLatency->setText(QStringLiteral("499"));
    EXPECT_EQ(BoxColour(window), QColor(0, 255, 0));
    window.eCurrentLatency->setText(QStringLiteral("500"));
    EXPECT_EQ(BoxColour(window), QColor(255, 0, 0));
}

TEST_F(LatencyWindow, TypedToleranceIsStoredAtOnceAndReadByTheNextWindow) {
    {
        TfLatency window;
        window.eLatencyTol->setText(QStringLiteral("350"));
        EXPECT_EQ(StoredTolerance(), QStringLiteral("350"));
    }
    TfLatency next;
    EXPECT_EQ(next.eLatencyTol->text(), QStringLiteral("350"));
    next.eCurrentLatency->setText(QStringLiteral("349"));
    EXPECT_EQ(BoxColour(next), QColor(0, 255, 0));
}

TEST_F(LatencyWindow, ToleranceThatIsNoWholeNumberIsNotStoredAndRaisesNothing) {
    TfLatency window;
    window.eLatencyTol->setText(QStringLiteral("350"));
    window.eCurrentLatency->setText(QStringLiteral("400"));
    const QColor red = BoxColour(window);
    ASSERT_EQ(red, QColor(255, 0, 0));
    for (const char* text : {"", "abc", "0"}) {
        window.eLatencyTol->setText(QString::fromLatin1(text));
        EXPECT_EQ(StoredTolerance(), QStringLiteral("350")) << text;
        window.eCurrentLatency->setText(QStringLiteral("10"));
        EXPECT_EQ(BoxColour(window), red) << text;
        window.eCurrentLatency->setText(QStringLiteral("400"));
    }
    EXPECT_TRUE(TestEnvironment::dialogs().messages.empty());
    // A stored tolerance out of range reads as the designed one.
    writeSetting(QStringLiteral("LATENCY"), QStringLiteral("eLatencyTol"), QStringLiteral("0"));
    TfLatency next;
    EXPECT_EQ(next.eLatencyTol->text(), QStringLiteral("500"));
}

TEST_F(LatencyWindow, ShowsTheMeter) {
    TfLatency window;
    LatencyMeter meter;
    meter.Start(100);
    meter.Finish(145);
    meter.Start(300);
    meter.Finish(350);
    window.ShowLatency(meter);
    EXPECT_EQ(window.eCurrentLatency->text(), QStringLiteral("50"));
    EXPECT_EQ(window.eLatencyAveraged->text(), QStringLiteral("47.5"));
}
