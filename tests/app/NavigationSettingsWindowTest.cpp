#include "StartedProgram.h"

#include "app/settings_windows/TNavset.h"
#include "app/widgets/TColorBox.h"
#include "app/widgets/TUpDown.h"

#include "canvas/TTavrinCanvas.h"
#include "platform/AppPaths.h"
#include "platform/EventLog.h"
#include "platform/NumericLocale.h"

#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

#include <clocale>

namespace {

QString FileText(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

// The lines of one section as they stand in the file, header included, with LF line ends (the
// settings file is written with CR LF; the order of the lines is what counts here).
QString SectionBlock(const QString& section) {
    const QString text =
        QString::fromUtf8(StartedProgram::settingsFileBytes()).remove(QLatin1Char('\r'));
    const QString header = QLatin1Char('[') + section + QStringLiteral("]\n");
    const qsizetype start = text.indexOf(header);
    if (start < 0)
        return {};
    const qsizetype end = text.indexOf(QStringLiteral("\n["), start + header.size());
    QString block = text.mid(start, end < 0 ? -1 : end + 1 - start);
    while (block.endsWith(QStringLiteral("\n\n"))) // the blank line between sections
        block.chop(1);
    return block;
}

int LayerWidth(const char* name) {
    return FNav->fcad->GetLayerPenWidth(FNav->fcad->LayerFindByName(QString::fromLatin1(name)));
}

const std::vector<const char*> TrackLayers = {"track_fix", "track_float", "track_nofix"};

} // namespace

using NavigationSettingsWindow = StartedProgram;

TEST_F(NavigationSettingsWindow, FirstRunShowsTheStoredDefaults) {
    start();
    ASSERT_TRUE(Navset->isVisible());
    EXPECT_EQ(Navset->windowTitle(), QStringLiteral("Navigation Settings"));
    EXPECT_EQ(Navset->size(), QSize(185, 296));
    EXPECT_EQ(Navset->VesselWidth->text(), QStringLiteral("3"));
    EXPECT_EQ(Navset->TrackWidth->text(), QStringLiteral("3"));
    EXPECT_EQ(Navset->TrackDistance->text(), QStringLiteral("20"));
    EXPECT_TRUE(Navset->cLineOrDot->isChecked());
    EXPECT_EQ(Navset->edDepthAlert1->text(), QStringLiteral("1"));
    EXPECT_EQ(Navset->eVesselUpdateRate->text(), QStringLiteral("500"));
    for (TColorBox* box : {Navset->VesselColor, Navset->fcadColor, Navset->ColorTracklines1,
                           Navset->ColorTracklines0}) {
        EXPECT_EQ(box->Selected(), 0u) << box->objectName().toStdString();
        EXPECT_EQ(box->currentText(), QStringLiteral("Black"));
    }
    const NavigationSettings& s = Navset->Settings();
    EXPECT_EQ(s.VesselWidth, 3);
    EXPECT_EQ(s.TrackWidth, 3);
    EXPECT_EQ(s.TrackDistance, 20);
    EXPECT_TRUE(s.TrackAsLines);
    EXPECT_EQ(s.DepthAlert, 1.0);
    EXPECT_EQ(s.VesselColor, 0u);
    EXPECT_EQ(s.BackgroundColor, 0u);
    // The map timer keeps its own interval until the rate is edited.
    EXPECT_EQ(FNav->tMap->interval(), 200);
    EXPECT_TRUE(TestEnvironment::dialogs().messages.empty());
}

TEST_F(NavigationSettingsWindow, CaptionsStandAsTheDictionaryKnowsThem) {
    start();
    const auto group = [](const char* name) {
        return Navset->findChild<QGroupBox*>(QString::fromLatin1(name))->title();
    };
    EXPECT_EQ(group("GroupBox1"), QStringLiteral(" Vessel Color && Width"));
    EXPECT_EQ(group("GroupBox2"), QStringLiteral("Background Color"));
    EXPECT_EQ(group("GroupBox3"), QStringLiteral(" Track Lines (Fixed/Float)"));
    EXPECT_EQ(group("GroupBox4"), QStringLiteral("Alert"));
    EXPECT_EQ(Navset->Label1->text(), QStringLiteral("Update Rate (ms)"));
    EXPECT_EQ(Navset->Label5->text(), QStringLiteral("Wid."));
    EXPECT_EQ(Navset->Label3->text(), QStringLiteral("Dist (m)"));
    EXPECT_EQ(Navset->Label7->text(), QStringLiteral("Shallow Water"));
    EXPECT_EQ(Navset->Label9->text(), QStringLiteral("m"));
    EXPECT_EQ(Navset->cLineOrDot->text(), QStringLiteral("Draw as Line"));
}

TEST(ColorBox, NamedColoursInTheirOrderAndAColourNotInTheListUnderCustom) {
    const std::vector<std::pair<const char*, uint32_t>> expected = {
        {"Black", 0x000000},   {"Maroon", 0x000080},      {"Green", 0x008000},
        {"Olive", 0x008080},   {"Navy", 0x800000},        {"Purple", 0x800080},
        {"Teal", 0x808000},    {"Gray", 0x808080},        {"Silver", 0xC0C0C0},
        {"Red", 0x0000FF},     {"Lime", 0x00FF00},        {"Yellow", 0x00FFFF},
        {"Blue", 0xFF0000},    {"Fuchsia", 0xFF00FF},     {"Aqua", 0xFFFF00},
        {"White", 0xFFFFFF},   {"Money Green", 0xC0DCC0}, {"Sky Blue", 0xF0CAA6},
        {"Cream", 0xF0FBFF},   {"Medium Gray", 0xA4A0A0},
    };
    TColorBox box;
    ASSERT_EQ(box.count(), int(expected.size()) + 1);
    for (size_t i = 0; i < expected.size(); ++i) {
        const int index = int(i) + 1;
        EXPECT_EQ(box.itemText(index), QString::fromLatin1(expected[i].first));
        box.SetSelected(expected[i].second);
        EXPECT_EQ(box.currentIndex(), index) << expected[i].first;
        EXPECT_EQ(box.Selected(), expected[i].second);
    }
    box.SetSelected(0x010203);
    EXPECT_EQ(box.currentIndex(), 0);
    EXPECT_EQ(box.currentText(), QStringLiteral("Custom..."));
    EXPECT_EQ(box.Selected(), 0x010203u);
}

TEST_F(NavigationSettingsWindow, ClearedTrackWidthBecomesTwoOnTheThreeTrackLayers) {
    start();
    Navset->TrackWidth->setText(QString());
    EXPECT_EQ(Navset->TrackWidth->text(), QStringLiteral("2"));
    // Left selected: the next key typed replaces it.
    EXPECT_EQ(Navset->TrackWidth->selectedText(), QStringLiteral("2"));
    for (const char* layer : TrackLayers)
        EXPECT_EQ(LayerWidth(layer), 2) << layer;
    EXPECT_EQ(Navset->Settings().TrackWidth, 2);

    // The other emptied fields come back with their own values, selected too.
    const struct {
        QLineEdit* edit;
        const char* text;
    } replaced[] = {{Navset->VesselWidth, "2"},
                    {Navset->TrackDistance, "1"},
                    {Navset->edDepthAlert1, "0"}};
    for (const auto& r : replaced) {
        r.edit->setText(QString());
        EXPECT_EQ(r.edit->text(), QString::fromLatin1(r.text));
        EXPECT_EQ(r.edit->selectedText(), QString::fromLatin1(r.text));
    }
    EXPECT_EQ(Navset->Settings().VesselWidth, 2);
    EXPECT_EQ(Navset->Settings().TrackDistance, 1);
    EXPECT_EQ(Navset->Settings().DepthAlert, 0.0);
    EXPECT_EQ(LayerWidth("~~Tavrin Vessel"), 2);
}

TEST_F(NavigationSettingsWindow, UpdateRateSetsTheMapTimer) {
    start();
    const struct {
        const char* text;
        int interval;
    } rates[] = {{"10", 50}, {"750", 750}, {"0", 50}, {"", 500}, {"-5", 50}, {"5000", 5000}};
    for (const auto& r : rates) {
        Navset->eVesselUpdateRate->setText(QString::fromLatin1(r.text));
        EXPECT_EQ(FNav->tMap->interval(), r.interval) << r.text;
    }
    EXPECT_TRUE(TestEnvironment::dialogs().messages.empty());
}

TEST_F(NavigationSettingsWindow, VesselWidthReachesOnlyAnExistingVesselLayer) {
    start();
    TTavrinCanvas* map = FNav->fcad;
    map->ResetDrawing(); // only "Default" is left
    const int defaultWidth = map->GetLayerPenWidth(0);
    Navset->VesselWidth->setText(QStringLiteral("7"));
    EXPECT_EQ(map->LayerFindByName(QStringLiteral("~~Tavrin Vessel")), -1);
    EXPECT_EQ(map->GetLayerPenWidth(0), defaultWidth);
    EXPECT_EQ(Navset->Settings().VesselWidth, 7);
    // Nor does the vessel colour.
    Navset->VesselColor->SetSelected(0x0000FF);
    emit Navset->VesselColor->activated(Navset->VesselColor->currentIndex());
    EXPECT_EQ(Navset->Settings().VesselColor, 0x0000FFu);
    EXPECT_EQ(map->Layers.size(), 1u);

    EnsureStandardLayers(map);
    Navset->VesselWidth->setText(QStringLiteral("9"));
    EXPECT_EQ(LayerWidth("~~Tavrin Vessel"), 9);
}

TEST_F(NavigationSettingsWindow, ColourChoicesReachTheMapAndTheSettings) {
    start();
    TTavrinCanvas* map = FNav->fcad;
    const int vessel = map->LayerFindByName(QStringLiteral("~~Tavrin Vessel"));
    // A selection set from code runs no handler.
    Navset->VesselColor->SetSelected(0x008000);
    EXPECT_NE(map->GetLayerPenFg(vessel), 0x008000u);
    EXPECT_EQ(Navset->Settings().VesselColor, 0u);
    // The operator's choice does.
    Navset->VesselColor->setCurrentIndex(Navset->VesselColor->findText(QStringLiteral("Lime")));
    emit Navset->VesselColor->activated(Navset->VesselColor->currentIndex());
    EXPECT_EQ(map->GetLayerPenFg(vessel), 0x00FF00u);
    EXPECT_EQ(Navset->Settings().VesselColor, 0x00FF00u);

    Navset->fcadColor->setCurrentIndex(Navset->fcadColor->findText(QStringLiteral("Cream")));
    emit Navset->fcadColor->activated(Navset->fcadColor->currentIndex());
    EXPECT_EQ(map->BackColor, 0xF0FBFFu);
    EXPECT_EQ(Navset->Settings().BackgroundColor, 0xF0FBFFu);

    Navset->ColorTracklines1->setCurrentIndex(Navset->ColorTracklines1->findText("Teal"));
    emit Navset->ColorTracklines1->activated(Navset->ColorTracklines1->currentIndex());
    Navset->ColorTracklines0->setCurrentIndex(Navset->ColorTracklines0->findText("Olive"));
    emit Navset->ColorTracklines0->activated(Navset->ColorTracklines0->currentIndex());
    Navset->cLineOrDot->setChecked(false);
    EXPECT_EQ(Navset->Settings().TrackColorFixed, 0x808000u);
    EXPECT_EQ(Navset->Settings().TrackColorFloat, 0x008080u);
    EXPECT_FALSE(Navset->Settings().TrackAsLines);
}

TEST_F(NavigationSettingsWindow, CustomColourIsAskedForAndStoredAsADecimal) {
    start();
    ScriptedDialogs& dialogs = TestEnvironment::dialogs();
    TColorBox* box = Navset->VesselColor;
    dialogs.answerColor(0x123456);
    box->setCurrentIndex(0);
    emit box->activated(0);
    EXPECT_EQ(dialogs.questions, QStringList{QStringLiteral("Color")});
    EXPECT_EQ(box->Selected(), 0x123456u);
    EXPECT_EQ(box->currentText(), QStringLiteral("Custom..."));
    EXPECT_EQ(Navset->Settings().VesselColor, 0x123456u);
    EXPECT_EQ(FNav->fcad->GetLayerPenFg(FNav->fcad->LayerFindByName("~~Tavrin Vessel")),
              0x123456u);

    // Cancelled: the colour in effect stays selected.
    box->setCurrentIndex(box->findText(QStringLiteral("Red")));
    emit box->activated(box->currentIndex());
    box->setCurrentIndex(0);
    emit box->activated(0);
    EXPECT_EQ(dialogs.unanswered, 1);
    EXPECT_EQ(box->currentText(), QStringLiteral("Red"));
    EXPECT_EQ(Navset->Settings().VesselColor, 0x0000FFu);

    // A chosen colour that has a name selects the name.
    dialogs.answerColor(0x800000);
    box->setCurrentIndex(0);
    emit box->activated(0);
    EXPECT_EQ(box->currentText(), QStringLiteral("Navy"));

    dialogs.answerColor(0x123456);
    box->setCurrentIndex(0);
    emit box->activated(0);
    Navset->close();
    const IniFile ini(TestEnvironment::settingsFile());
    EXPECT_EQ(ini.readString("NAVIGATION_SETTINGS", "VesselColor"), QStringLiteral("1193046"));

    // Shown again from the file: the custom entry holds it.
    Navset->show();
    EXPECT_EQ(box->currentText(), QStringLiteral("Custom..."));
    EXPECT_EQ(box->Selected(), 0x123456u);
}

TEST_F(NavigationSettingsWindow, RefusedStoredValuesGiveDefaultsWithOneMessagePerShow) {
    const struct {
        const char* key;
        const char* stored;
    } bad[] = {{"VesselWidth", "16"},         {"TrackWidth", "abc"},
               {"TrackDistance", "99999999999"}, {"VesselColor", "-1"},
               {"ColorTracklines1", "0x8000"}, {"ColorTracklines0", "16777216"},
               {"BackgroundColor", "nan"},    {"edDepthAlert", "0,5"}};
    for (const auto& b : bad)
        writeSetting("NAVIGATION_SETTINGS", b.key, b.stored);
    start();
    ScriptedDialogs& dialogs = TestEnvironment::dialogs();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].kind, MessageKind::Warning);
    const QString events = FileText(QString::fromStdString(EventsLogPath()));
    for (const auto& b : bad) {
        const QString named = QString::fromLatin1(b.key) + QStringLiteral("=\"") +
                              QString::fromLatin1(b.stored) + QLatin1Char('"');
        EXPECT_TRUE(dialogs.messages[0].text.contains(named)) << b.key;
        EXPECT_TRUE(events.contains(named)) << b.key;
    }
    EXPECT_EQ(Navset->VesselWidth->text(), QStringLiteral("3"));
    EXPECT_EQ(Navset->TrackWidth->text(), QStringLiteral("3"));
    EXPECT_EQ(Navset->TrackDistance->text(), QStringLiteral("20"));
    EXPECT_EQ(Navset->edDepthAlert1->text(), QStringLiteral("1"));
    EXPECT_EQ(Navset->VesselColor->Selected(), 0u);
    EXPECT_EQ(Navset->fcadColor->Selected(), 0u);
    EXPECT_EQ(Navset->Settings().TrackDistance, 20);

    // Shown again: read again, one more message.
    Navset->hide();
    Navset->show();
    EXPECT_EQ(dialogs.messages.size(), 2u);

    // The next write stores sane values.
    Navset->close();
    const IniFile ini(TestEnvironment::settingsFile());
    EXPECT_EQ(ini.readString("NAVIGATION_SETTINGS", "TrackWidth"), QStringLiteral("3"));
    EXPECT_EQ(ini.readString("NAVIGATION_SETTINGS", "TrackDistance"), QStringLiteral("20"));
    EXPECT_EQ(ini.readString("NAVIGATION_SETTINGS", "BackgroundColor"), QStringLiteral("0"));
    EXPECT_EQ(ini.readString("NAVIGATION_SETTINGS", "edDepthAlert"), QStringLiteral("1"));
}

TEST_F(NavigationSettingsWindow, StoredNumbersShowInTheirShortForm) {
    writeSetting("NAVIGATION_SETTINGS", "TrackWidth", "+4");
    writeSetting("NAVIGATION_SETTINGS", "TrackDistance", "007");
    writeSetting("NAVIGATION_SETTINGS", "edDepthAlert", "2.50");
    writeSetting("NAVIGATION_SETTINGS", "cLineOrDot", "0");
    writeSetting("NAVIGATION_SETTINGS", "BackgroundColor", "16777215");
    start();
    EXPECT_TRUE(TestEnvironment::dialogs().messages.empty());
    EXPECT_EQ(Navset->TrackWidth->text(), QStringLiteral("4"));
    EXPECT_EQ(Navset->TrackDistance->text(), QStringLiteral("7"));
    EXPECT_EQ(Navset->edDepthAlert1->text(), QStringLiteral("2.5"));
    EXPECT_FALSE(Navset->cLineOrDot->isChecked());
    EXPECT_EQ(Navset->fcadColor->currentText(), QStringLiteral("White"));
    EXPECT_EQ(Navset->Settings().DepthAlert, 2.5);
    EXPECT_FALSE(Navset->Settings().TrackAsLines);
}

TEST_F(NavigationSettingsWindow, RefusedTypedTextChangesNothingAndComesBackWithOneMessage) {
    start();
    ScriptedDialogs& dialogs = TestEnvironment::dialogs();
    TTavrinCanvas* map = FNav->fcad;
    // Navset is shown before the main window opens the standard layers, so these keep their
    // own width until a value is pushed.
    const int vesselWidth = LayerWidth("~~Tavrin Vessel");
    const int trackWidth = LayerWidth("track_fix");
    const NavigationSettings before = Navset->Settings();
    const struct {
        QLineEdit* edit;
        const char* typed;
        const char* back;
        const char* field;
    } cases[] = {
        {Navset->VesselWidth, "16", "3", "Vessel width"},
        {Navset->TrackWidth, "ab", "3", "Track width"},
        {Navset->TrackWidth, "-1", "3", "Track width"},
        {Navset->TrackDistance, "501", "20", "Track distance"},
        {Navset->eVesselUpdateRate, "5001", "500", "Update rate"},
        {Navset->eVesselUpdateRate, "1e3", "500", "Update rate"},
        {Navset->edDepthAlert1, "0,5", "1", "Shallow water"},
        {Navset->edDepthAlert1, "nan", "1", "Shallow water"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        dialogs.clear();
        c.edit->setText(QString::fromLatin1(c.typed));
        // Marked while it fails; nothing pushed, nothing used, nothing said yet.
        EXPECT_TRUE(c.edit->property("refused").toBool());
        EXPECT_TRUE(dialogs.messages.empty());
        EXPECT_EQ(FNav->tMap->interval(), 200);
        EXPECT_EQ(LayerWidth("~~Tavrin Vessel"), vesselWidth);
        for (const char* layer : TrackLayers)
            EXPECT_EQ(LayerWidth(layer), trackWidth) << layer;
        EXPECT_EQ(Navset->Settings().VesselWidth, before.VesselWidth);
        EXPECT_EQ(Navset->Settings().TrackWidth, before.TrackWidth);
        EXPECT_EQ(Navset->Settings().TrackDistance, before.TrackDistance);
        EXPECT_EQ(Navset->Settings().DepthAlert, before.DepthAlert);
        // The editing ends: the last accepted text comes back, with one message.
        emit c.edit->editingFinished();
        EXPECT_EQ(c.edit->text(), QString::fromLatin1(c.back));
        EXPECT_FALSE(c.edit->property("refused").toBool());
        ASSERT_EQ(dialogs.messages.size(), 1u);
        EXPECT_TRUE(dialogs.messages[0].text.startsWith(QString::fromLatin1(c.field)));
        EXPECT_TRUE(dialogs.messages[0].text.contains(QString::fromLatin1(c.typed)));
        emit c.edit->editingFinished();
        EXPECT_EQ(dialogs.messages.size(), 1u);
    }
    EXPECT_EQ(FNav->tMap->interval(), 200);
    EXPECT_EQ(LayerWidth("~~Tavrin Vessel"), vesselWidth);
    EXPECT_EQ(map->GetLayerPenWidth(map->LayerFindByName("track_fix")), trackWidth);
}

TEST_F(NavigationSettingsWindow, UpDownsStepTheLastAcceptedValueWithinBounds) {
    start();
    Navset->UpDownTrackWidth->StepUp();
    EXPECT_EQ(Navset->TrackWidth->text(), QStringLiteral("4"));
    EXPECT_EQ(LayerWidth("track_fix"), 4);
    Navset->TrackWidth->setText(QStringLiteral("15"));
    Navset->UpDownTrackWidth->StepUp();
    EXPECT_EQ(Navset->TrackWidth->text(), QStringLiteral("15"));
    // From the last accepted value, not from a refused text.
    Navset->TrackWidth->setText(QStringLiteral("x"));
    Navset->UpDownTrackWidth->StepDown();
    EXPECT_EQ(Navset->TrackWidth->text(), QStringLiteral("14"));
    EXPECT_FALSE(Navset->TrackWidth->property("refused").toBool());

    Navset->eVesselUpdateRate->setText(QStringLiteral("-5"));
    Navset->UpDownUpdateRate->StepUp();
    EXPECT_EQ(Navset->eVesselUpdateRate->text(), QStringLiteral("45"));
    Navset->eVesselUpdateRate->setText(QStringLiteral("4990"));
    Navset->UpDownUpdateRate->StepUp();
    EXPECT_EQ(Navset->eVesselUpdateRate->text(), QStringLiteral("5000"));
    EXPECT_EQ(FNav->tMap->interval(), 5000);
    Navset->TrackDistance->setText(QStringLiteral("0"));
    Navset->UpDownTrackDistance->StepDown();
    EXPECT_EQ(Navset->TrackDistance->text(), QStringLiteral("0"));
}

TEST_F(NavigationSettingsWindow, CloseWritesTheSectionThenThePosition) {
    start();
    Navset->VesselWidth->setText(QStringLiteral("5"));
    Navset->TrackWidth->setText(QStringLiteral("1"));
    Navset->TrackDistance->setText(QStringLiteral("35"));
    Navset->cLineOrDot->setChecked(false);
    Navset->edDepthAlert1->setText(QStringLiteral("2.75"));
    Navset->VesselColor->setCurrentIndex(Navset->VesselColor->findText("Navy"));
    emit Navset->VesselColor->activated(Navset->VesselColor->currentIndex());
    Navset->ColorTracklines1->setCurrentIndex(Navset->ColorTracklines1->findText("Green"));
    emit Navset->ColorTracklines1->activated(Navset->ColorTracklines1->currentIndex());
    Navset->ColorTracklines0->setCurrentIndex(Navset->ColorTracklines0->findText("Yellow"));
    emit Navset->ColorTracklines0->activated(Navset->ColorTracklines0->currentIndex());
    Navset->fcadColor->setCurrentIndex(Navset->fcadColor->findText("White"));
    emit Navset->fcadColor->activated(Navset->fcadColor->currentIndex());
    // A field left failing goes back to its last accepted text as the window closes.
    Navset->TrackWidth->setText(QStringLiteral("99"));
    QFile::remove(TestEnvironment::settingsFile());
    Navset->close();
    EXPECT_FALSE(Navset->isVisible());
    EXPECT_EQ(SectionBlock(QStringLiteral("NAVIGATION_SETTINGS")).toStdString(),
              QStringLiteral("[NAVIGATION_SETTINGS]\n"
                             "VesselWidth=5\n"
                             "TrackWidth=1\n"
                             "TrackDistance=35\n"
                             "VesselColor=8388608\n"
                             "ColorTracklines1=32768\n"
                             "ColorTracklines0=65535\n"
                             "BackgroundColor=16777215\n"
                             "cLineOrDot=0\n"
                             "edDepthAlert=2.75\n").toStdString());
    const QString text = QString::fromUtf8(settingsFileBytes()).remove(QLatin1Char('\r'));
    EXPECT_TRUE(text.startsWith(QStringLiteral("[NAVIGATION_SETTINGS]\n")));
    EXPECT_GT(text.indexOf(QStringLiteral("[Navset]\n")), 0);
    const IniFile ini(TestEnvironment::settingsFile());
    EXPECT_TRUE(ini.valueExists("Navset", "Left"));
    EXPECT_TRUE(ini.valueExists("Navset", "Top"));
    const auto& messages = TestEnvironment::dialogs().messages;
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].text.contains(QStringLiteral("\"99\"")));
}

TEST_F(NavigationSettingsWindow, OnlyAShowFromTheProgramRereadsTheSettings) {
    start();
    Navset->TrackDistance->setText(QStringLiteral("40"));
    writeSetting("NAVIGATION_SETTINGS", "TrackDistance", "99");
    // Back from minimised: the settings in effect stay.
    Navset->FormShow(true);
    EXPECT_EQ(Navset->TrackDistance->text(), QStringLiteral("40"));
    EXPECT_EQ(Navset->Settings().TrackDistance, 40);
    Navset->FormShow(false);
    EXPECT_EQ(Navset->TrackDistance->text(), QStringLiteral("99"));
    EXPECT_EQ(Navset->Settings().TrackDistance, 99);
}

TEST_F(NavigationSettingsWindow, AlertDepthSurvivesTheTurkishLocale) {
    start();
    struct LocaleScope {
        ~LocaleScope() { ResetNumericLocale(); }
    } scope;
    ASSERT_NE(std::setlocale(LC_ALL, "tr_TR.UTF-8"), nullptr)
        << "the tr_TR.UTF-8 locale is missing; `make deps` generates it";
    Navset->edDepthAlert1->setText(QStringLiteral("0.5"));
    EXPECT_EQ(Navset->Settings().DepthAlert, 0.5);
    Navset->close();
    const IniFile ini(TestEnvironment::settingsFile());
    EXPECT_EQ(ini.readString("NAVIGATION_SETTINGS", "edDepthAlert"), QStringLiteral("0.5"));
    Navset->edDepthAlert1->setText(QStringLiteral("3"));
    Navset->show();
    EXPECT_EQ(Navset->edDepthAlert1->text(), QStringLiteral("0.5"));
    EXPECT_EQ(Navset->Settings().DepthAlert, 0.5);
    // A comma is refused under any locale.
    Navset->edDepthAlert1->setText(QStringLiteral("0,5"));
    EXPECT_TRUE(Navset->edDepthAlert1->property("refused").toBool());
    EXPECT_EQ(Navset->Settings().DepthAlert, 0.5);
}

TEST_F(NavigationSettingsWindow, AFailedSettingsWriteIsReported) {
    start();
    const QString path = TestEnvironment::settingsFile();
    AppPaths::setSettingsFile(TestEnvironment::home() + QStringLiteral("/missing/TavrinSD.INI"));
    Navset->close();
    AppPaths::setSettingsFile(path);
    const auto& messages = TestEnvironment::dialogs().messages;
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].kind, MessageKind::Error);
    EXPECT_TRUE(messages[0].text.contains(QStringLiteral("navigation settings")));
}
