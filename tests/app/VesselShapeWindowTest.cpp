#include "StartedProgram.h"

#include "app/settings_windows/TFShape.h"
#include "app/widgets/TLabeledEdit.h"

#include "platform/AppPaths.h"
#include "platform/EventLog.h"

#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

namespace {

QStringList EditTexts() {
    return {FShape->edAmount->text(), FShape->edInterval->text(), FShape->edRadious->text(),
            FShape->edBArrow->text(), FShape->edLArrow->text()};
}

} // namespace

using VesselShapeWindow = StartedProgram;

TEST_F(VesselShapeWindow, FirstStartShowsTheStoredDefaultsHidden) {
    start();
    EXPECT_FALSE(FShape->isVisible());
    EXPECT_EQ(FShape->windowTitle(), QStringLiteral("Vessel Geometry"));
    EXPECT_EQ(FShape->size(), QSize(156, 340));
    EXPECT_EQ(EditTexts(), (QStringList{"2", "10", "10", "100", "0"}));
    EXPECT_EQ(FShape->Shape(), (VesselShape{2, 10, 10, 0, 100}));
    EXPECT_TRUE(TestEnvironment::dialogs().messages.empty());
    // Captions as the dictionary knows them.
    EXPECT_EQ(FShape->GroupBox1->title(), QStringLiteral("All in one pole"));
    EXPECT_EQ(FShape->edRadious->EditLabel->text(), QStringLiteral("Radious of first circle"));
    EXPECT_EQ(FShape->edInterval->EditLabel->text(), QStringLiteral("Offset to next circle"));
    EXPECT_EQ(FShape->edAmount->EditLabel->text(), QStringLiteral("Total number of circles"));
    EXPECT_EQ(FShape->edLArrow->EditLabel->text(), QStringLiteral("Arrow's sideward length"));
    EXPECT_EQ(FShape->edBArrow->EditLabel->text(), QStringLiteral("Arrow's longitudal length"));
    EXPECT_EQ(FShape->bDefault->text(), QStringLiteral("Default"));
    EXPECT_EQ(FShape->Label1->text(), QStringLiteral("Changes requires restart of program."));
    EXPECT_EQ(FShape->BitBtn1->text(), QStringLiteral("Save && Hide"));
    // No title-bar buttons.
    EXPECT_FALSE(FShape->windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(FShape->windowFlags() & Qt::WindowSystemMenuHint);
    EXPECT_TRUE(FShape->windowFlags() & Qt::WindowStaysOnTopHint);
}

TEST_F(VesselShapeWindow, DefaultIsInEffectButNotStored) {
    writeSetting("VESSEL_SHAPE", "Left right offset of arrow", "3");
    start();
    const QByteArray before = settingsFileBytes();
    FShape->bDefaultClick();
    EXPECT_EQ(EditTexts(), (QStringList{"2", "10", "10", "100", "10"}));
    EXPECT_EQ(FShape->Shape(), (VesselShape{2, 10, 10, 10, 100}));
    EXPECT_EQ(settingsFileBytes(), before);
    // Closing the program writes its own sections, not the vessel shape.
    FNav->close();
    const IniFile ini(TestEnvironment::settingsFile());
    EXPECT_EQ(ini.readSection("VESSEL_SHAPE"), QStringList{"Left right offset of arrow"});
    EXPECT_EQ(ini.readString("VESSEL_SHAPE", "Left right offset of arrow"), QStringLiteral("3"));
}

TEST_F(VesselShapeWindow, SaveAndHideWritesTheFiveKeysInOrder) {
    start();
    FShape->show();
    FShape->edRadious->setText(QStringLiteral("12.5"));
    FShape->edInterval->setText(QStringLiteral("2.5"));
    FShape->edAmount->setText(QStringLiteral("3"));
    FShape->edLArrow->setText(QStringLiteral("4"));
    FShape->edBArrow->setText(QStringLiteral("50"));
    EXPECT_EQ(FShape->Shape(), (VesselShape{3, 2.5, 12.5, 4, 50}));
    FShape->BitBtn1Click();
    EXPECT_FALSE(FShape->isVisible());
    EXPECT_TRUE(TestEnvironment::dialogs().messages.empty());
    const IniFile ini(TestEnvironment::settingsFile());
    EXPECT_EQ(ini.readSection("VESSEL_SHAPE"),
              (QStringList{"Number of circles", "Cirecle offset interval", "Radious of first circle",
                           "Arrow length to bow", "Left right offset of arrow"}));
    const QStringList values = {"3", "2.5", "12.5", "50", "4"};
    const QStringList keys = ini.readSection("VESSEL_SHAPE");
    for (int i = 0; i < keys.size(); ++i)
        EXPECT_EQ(ini.readString("VESSEL_SHAPE", keys[i]), values[i]) << keys[i].toStdString();
}

TEST_F(VesselShapeWindow, StoredValuesAreCheckedAndShownInShortForm) {
    writeSetting("VESSEL_SHAPE", "Number of circles", "3.7");
    writeSetting("VESSEL_SHAPE", "Cirecle offset interval", "2.50");
    writeSetting("VESSEL_SHAPE", "Radious of first circle", "1e9");
    writeSetting("VESSEL_SHAPE", "Arrow length to bow", "75");
    writeSetting("VESSEL_SHAPE", "Left right offset of arrow", "inf");
    start();
    EXPECT_EQ(EditTexts(), (QStringList{"2", "2.5", "10", "75", "0"}));
    EXPECT_EQ(FShape->Shape(), (VesselShape{2, 2.5, 10, 0, 75}));
    const auto& messages = TestEnvironment::dialogs().messages;
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].kind, MessageKind::Warning);
    QFile events(QString::fromStdString(EventsLogPath()));
    ASSERT_TRUE(events.open(QIODevice::ReadOnly));
    const QString logged = QString::fromUtf8(events.readAll());
    for (const char* named : {"Number of circles=\"3.7\"", "Radious of first circle=\"1e9\"",
                              "Left right offset of arrow=\"inf\""}) {
        EXPECT_TRUE(messages[0].text.contains(QString::fromLatin1(named))) << named;
        EXPECT_TRUE(logged.contains(QString::fromLatin1(named))) << named;
    }
    EXPECT_FALSE(messages[0].text.contains(QStringLiteral("Cirecle offset interval")));
}

TEST_F(VesselShapeWindow, RefusedOrEmptyTextsLeaveTheShapeAndAreNotSaved) {
    start();
    FShape->show();
    ScriptedDialogs& dialogs = TestEnvironment::dialogs();
    const VesselShape before = FShape->Shape();
    // A count like a billion would stall the map on every tick.
    FShape->edAmount->setText(QStringLiteral("1000000000"));
    FShape->edRadious->setText(QStringLiteral("abc"));
    FShape->edBArrow->setText(QString()); // empty while typing: kept, not marked
    FShape->edInterval->setText(QStringLiteral("-1"));
    FShape->edLArrow->setText(QStringLiteral("0,5"));
    EXPECT_EQ(FShape->Shape(), before);
    EXPECT_TRUE(FShape->edAmount->property("refused").toBool());
    EXPECT_TRUE(FShape->edRadious->property("refused").toBool());
    EXPECT_FALSE(FShape->edBArrow->property("refused").toBool());
    EXPECT_TRUE(dialogs.messages.empty());

    const QByteArray file = settingsFileBytes();
    FShape->BitBtn1Click();
    EXPECT_TRUE(FShape->isVisible());
    EXPECT_EQ(settingsFileBytes(), file);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    for (const char* field : {"Total number of circles", "Radius of first circle",
                              "Arrow's longitudal length", "Offset to next circle",
                              "Arrow's sideward length"})
        EXPECT_TRUE(dialogs.messages[0].text.contains(QString::fromLatin1(field))) << field;

    // The editing ends: each field gets its last accepted text back, with its own message.
    dialogs.clear();
    for (QLineEdit* edit : {static_cast<QLineEdit*>(FShape->edAmount),
                            static_cast<QLineEdit*>(FShape->edRadious),
                            static_cast<QLineEdit*>(FShape->edBArrow),
                            static_cast<QLineEdit*>(FShape->edInterval),
                            static_cast<QLineEdit*>(FShape->edLArrow)})
        emit edit->editingFinished();
    EXPECT_EQ(dialogs.messages.size(), 5u);
    EXPECT_EQ(EditTexts(), (QStringList{"2", "10", "10", "100", "0"}));
    EXPECT_EQ(FShape->Shape(), before);
    FShape->BitBtn1Click();
    EXPECT_FALSE(FShape->isVisible());
    EXPECT_EQ(FShape->Shape(), before);
}

TEST_F(VesselShapeWindow, AWindowManagerCloseOnlyHides) {
    start();
    FShape->show();
    FShape->edAmount->setText(QStringLiteral("5"));
    FShape->close();
    EXPECT_FALSE(FShape->isVisible());
    EXPECT_FALSE(IniFile(TestEnvironment::settingsFile()).sectionExists("VESSEL_SHAPE"));
    // The typed value stays in effect for this run.
    EXPECT_EQ(FShape->Shape().CircleCount, 5);
}

TEST_F(VesselShapeWindow, AFailedSaveIsReportedAndTheWindowStays) {
    start();
    FShape->show();
    AppPaths::setSettingsFile(TestEnvironment::home() + QStringLiteral("/missing/TavrinSD.INI"));
    FShape->BitBtn1Click();
    AppPaths::setSettingsFile(TestEnvironment::settingsFile());
    EXPECT_TRUE(FShape->isVisible());
    const auto& messages = TestEnvironment::dialogs().messages;
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].kind, MessageKind::Error);
}
