// The Turkish language file the program ships: complete for every caption the translation walk
// meets, copied beside the executable by the build, and shown with its own letters.
#include "LanguageFolderProgram.h"

#include "app/devices/TFGPS.h"
#include "app/main_window/TStatusBar.h"
#include "app/main_window/TformAbout.h"
#include "app/main_window/TranslationWalk.h"
#include "app/ntrip/TfrmNTRIPSettings.h"
#include "app/runlines/TfRunline1.h"
#include "app/settings_windows/TFShape.h"
#include "app/settings_windows/TNavset.h"
#include "app/sound_velocity/TfSVP.h"
#include "app/survey_windows/TOffsets.h"
#include "app/survey_windows/TfRealtime.h"
#include "app/survey_windows/TfWaterfal.h"
#include "app/translation/Captions.h"
#include "app/widgets/TFMsg.h"
#include "app/widgets/TfTheme.h"
#include "language/LanguageFile.h"
#include "platform/AppPaths.h"
#include "platform/FileIO.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QToolButton>
#include <QtTest/QTest>

#include <filesystem>
#include <map>
#include <set>

namespace {

// The file as it stands in the source tree and as the build copied it beside the program;
// both are only read.
const std::string ShippedFile = SHIPPED_LANGUAGES_DIR "/tr.json";
const std::string InstalledFile = PROGRAM_DIR "/Languages/tr.json";

// The lines of "missing.log", each ending in CR LF.
QStringList Lines(const std::string& text) {
    QStringList lines = QString::fromStdString(text).split(QStringLiteral("\r\n"));
    if (!lines.isEmpty() && lines.back().isEmpty())
        lines.removeLast();
    return lines;
}

// Every text a person can read in the walked windows, with where it is.
std::vector<std::pair<QWidget*, QString>> ShownTexts() {
    std::vector<std::pair<QWidget*, QString>> texts;
    for (QWidget* top : QApplication::topLevelWidgets()) {
        texts.emplace_back(top, top->windowTitle());
        for (QWidget* widget : top->findChildren<QWidget*>()) {
            if (auto* label = qobject_cast<QLabel*>(widget))
                texts.emplace_back(label, label->text());
            else if (auto* button = qobject_cast<QAbstractButton*>(widget))
                texts.emplace_back(button, button->text());
            else if (auto* group = qobject_cast<QGroupBox*>(widget))
                texts.emplace_back(group, group->title());
            else if (auto* menu = qobject_cast<QMenu*>(widget)) {
                texts.emplace_back(menu, menu->title());
                for (QAction* action : menu->actions())
                    texts.emplace_back(menu, action->text());
            } else if (auto* tabs = qobject_cast<QTabWidget*>(widget)) {
                for (int i = 0; i < tabs->count(); ++i)
                    texts.emplace_back(tabs, tabs->tabText(i));
            }
        }
    }
    return texts;
}

// How far each one-line caption runs past the room its control gives it (negative: it fits).
std::map<const QWidget*, int> CaptionOverflow() {
    std::map<const QWidget*, int> overflow;
    for (QWidget* top : QApplication::topLevelWidgets())
        for (QWidget* widget : top->findChildren<QWidget*>()) {
            if (!widget->isVisibleTo(top))
                continue;
            QString text;
            int room = widget->contentsRect().width();
            if (auto* label = qobject_cast<QLabel*>(widget)) {
                if (label->wordWrap())
                    continue;
                text = label->text();
            } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
                text = button->text();
                room -= 8; // the button's own margins
                if (qobject_cast<QCheckBox*>(widget) || qobject_cast<QRadioButton*>(widget))
                    room -= 20; // and the box or circle before the text
            } else {
                continue;
            }
            text.remove(QLatin1Char('&'));
            if (!text.isEmpty())
                overflow[widget] = widget->fontMetrics().horizontalAdvance(text) - room;
        }
    return overflow;
}

class TurkishInterface : public LanguageFolderProgram {
protected:
    std::string TurkishSource() const override { return ShippedFile; }

    // Walks every window in Turkish, once as after Start (the acquisition button reads "Stop")
    // and once as before, and returns what went to "missing.log".
    QStringList MissingAfterWalks() {
        Translator->SetLanguage("tr");
        {
            const QSignalBlocker quiet(FNav->Realtime);
            FNav->Realtime->setChecked(true);
            TranslateUi(FNav);
            FNav->Realtime->setChecked(false);
        }
        TranslateUi(FNav);
        return Lines(ReadWholeFile(folder + "missing.log").value_or(""));
    }
};

} // namespace

TEST_F(TurkishInterface, TheShippedTurkishFileTranslatesEveryCaptionTheWalkMeets) {
    const LanguageFileContent shipped = ReadLanguageFile(ShippedFile);
    ASSERT_TRUE(shipped.ok) << shipped.error;
    start();
    const QStringList missing = MissingAfterWalks();
    std::string list;
    for (const QString& key : missing)
        list += "  \"" + key.toStdString() + "\"\n";
    EXPECT_TRUE(missing.empty()) << missing.size() << " captions have no Turkish text:\n" << list;
    EXPECT_EQ(FNav->File1->title(), "Dosya");
    EXPECT_EQ(fTheme->windowTitle(), QString::fromUtf8("Tema Seçimi"));
}

// What a person reads in the windows the walk goes through, after a walk in Turkish: a caption
// still in English is one the shipped file has no Turkish text for. Status lines the walk
// passes by, texts without a letter (numbers, "---") and what the windows leave empty are not
// captions.
TEST_F(TurkishInterface, NoWalkedWindowShowsAnEnglishCaptionWithoutATurkishEntry) {
    const LanguageFileContent shipped = ReadLanguageFile(ShippedFile);
    ASSERT_TRUE(shipped.ok) << shipped.error;
    std::set<std::string> keys;
    std::set<std::string> turkish;
    for (const auto& [key, text] : shipped.entries) {
        keys.insert(key);
        turkish.insert(text);
    }
    start();
    MissingAfterWalks();
    // Of the echogram and the theme window the walk sets the caption and the theme window's two
    // buttons only (the first test looks at them).
    const QList<QWidget*> walked = {FNav,      fRealtime, Navset, Offsets,          FShape,   fSVP,
                                    formAbout, FMsg,      FGPS,   frmNTRIPSettings, fRunline1};
    std::string english;
    for (const auto& [widget, shown] : ShownTexts()) {
        if (!walked.contains(widget->window()))
            continue;
        if (widget->property("designClass").toString() == QLatin1String("TPanel"))
            continue;
        const QString caption =
            qobject_cast<QLabel*>(widget) ? CaptionOf(static_cast<QLabel*>(widget)) : shown;
        // A menu item's shortcut stands after a tab.
        const QString text = caption.left(caption.indexOf(QLatin1Char('\t')));
        if (!text.contains(QRegularExpression(QStringLiteral("[A-Za-z]"))))
            continue;
        const std::string utf8 = text.toStdString();
        if (!turkish.count(utf8) && !keys.count(utf8))
            english += "  " +
                       (widget->window()->objectName() + "/" + widget->objectName()).toStdString() +
                       ": \"" + utf8 + "\"\n";
    }
    EXPECT_TRUE(english.empty()) << "English captions without a Turkish text:\n" << english;
    EXPECT_EQ(FNav->tbFixed->text(), QStringLiteral("Sabit"));
    EXPECT_EQ(FNav->tbFloat->text(), QStringLiteral("Kayan"));
    EXPECT_EQ(FNav->tbAuto->text(), QStringLiteral("Otomatik"));
}

// The set-up window's sound velocity button and the sound velocity window's line about the
// column in use are set while the program runs: a language switch takes them along, and neither
// stands in "missing.log".
TEST_F(TurkishInterface, TheSoundVelocityTextsSetWhileRunningFollowALanguageSwitch) {
    start();
    const auto doubleClickLanguage = [] {
        QTest::mouseDClick(FNav->sStatusBar, Qt::LeftButton, {}, FNav->sStatusBar->rect().center());
    };
    TfSVP::SetListLines(fSVP->mSVPColumn, {"1500.00", "1501.00", "1502.00"});
    fSVP->cUseSVP->setChecked(true);
    ASSERT_EQ(Offsets->bSVP->text(), QStringLiteral("SVP Profile Used"));
    ASSERT_TRUE(
        fSVP->lColumnInUse->text().startsWith(QStringLiteral("Column in use: 0-2 m, taken at ")))
        << fSVP->lColumnInUse->text().toStdString();
    const QString takenAt = fSVP->lColumnInUse->text().section(QStringLiteral("taken at "), 1);

    doubleClickLanguage();
    ASSERT_EQ(FNav->sStatusBar->PanelText(4), "TR");
    EXPECT_EQ(Offsets->bSVP->text(), QString::fromUtf8("Ses Hızı Profili Devrede"));
    EXPECT_EQ(fSVP->lColumnInUse->text(), QString::fromUtf8("Kullanılan sütun: 0-2 m, ") + takenAt);
    // Set in Turkish, then switched back.
    fSVP->cUseSVP->setChecked(false);
    EXPECT_EQ(Offsets->bSVP->text(), QString::fromUtf8("Tek Ses Hızı Değeri"));
    EXPECT_EQ(fSVP->lColumnInUse->text(),
              QString::fromUtf8("Profil kullanılmıyor: derinlikler tek ses hızıyla"));
    doubleClickLanguage();
    ASSERT_EQ(FNav->sStatusBar->PanelText(4), "EN");
    EXPECT_EQ(Offsets->bSVP->text(), QStringLiteral("Single SV Used"));
    EXPECT_EQ(fSVP->lColumnInUse->text(),
              QStringLiteral("No profile in use: depths use the single SV"));
    fSVP->cUseSVP->setChecked(true);
    doubleClickLanguage();
    EXPECT_EQ(Offsets->bSVP->text(), QString::fromUtf8("Ses Hızı Profili Devrede"));
    EXPECT_TRUE(
        fSVP->lColumnInUse->text().startsWith(QString::fromUtf8("Kullanılan sütun: 0-2 m, ")));

    EXPECT_FALSE(std::filesystem::exists(folder + "missing.log"))
        << ReadWholeFile(folder + "missing.log").value_or("");
}

// The realtime window's values (depths, speed, satellites) change while the program runs; a
// language switch leaves them as they are and does not take them for captions to translate.
TEST_F(TurkishInterface, TheRealtimeValuesAreNoCaptionsToTranslate) {
    start();
    fRealtime->lDepthHi->setText(QStringLiteral("6.48"));
    fRealtime->lDepthLo->setText(QStringLiteral("8.06"));
    fRealtime->Speed->setText(QStringLiteral("4.2"));
    fRealtime->SatelliteLabel->setText(QStringLiteral("12"));
    QTest::mouseDClick(FNav->sStatusBar, Qt::LeftButton, {}, FNav->sStatusBar->rect().center());
    ASSERT_EQ(FNav->sStatusBar->PanelText(4), "TR");
    EXPECT_EQ(fRealtime->lDepthHi->text(), QStringLiteral("6.48"));
    EXPECT_EQ(fRealtime->Speed->text(), QStringLiteral("4.2"));
    EXPECT_FALSE(std::filesystem::exists(folder + "missing.log"))
        << ReadWholeFile(folder + "missing.log").value_or("");
}

TEST_F(TurkishInterface, ADoubleClickOnTheStatusBarSwitchesToTheShippedTurkishAndBack) {
    start();
    QTest::mouseDClick(FNav->sStatusBar, Qt::LeftButton, {}, FNav->sStatusBar->rect().center());
    EXPECT_EQ(FNav->sStatusBar->PanelText(4), "TR");
    EXPECT_EQ(FNav->File1->title(), "Dosya");
    EXPECT_EQ(FNav->Realtime->text(), QString::fromUtf8("Canlı"));
    EXPECT_EQ(Navset->windowTitle(), QString::fromUtf8("Seyir Ayarları"));
    EXPECT_FALSE(std::filesystem::exists(folder + "missing.log"))
        << ReadWholeFile(folder + "missing.log").value_or("");
    QTest::mouseDClick(FNav->sStatusBar, Qt::LeftButton, {}, FNav->sStatusBar->rect().center());
    EXPECT_EQ(FNav->sStatusBar->PanelText(4), "EN");
    EXPECT_EQ(FNav->File1->title(), "File");
}

TEST_F(TurkishInterface, TheShippedTurkishFileGivesEachCaptionATextOfItsOwnInTheEditorsFormat) {
    const LanguageFileContent shipped = ReadLanguageFile(ShippedFile);
    ASSERT_TRUE(shipped.ok) << shipped.error;
    std::set<std::string> keys;
    std::map<std::string, std::string> keyOfText;
    std::set<QChar> letters;
    for (const auto& [key, text] : shipped.entries) {
        EXPECT_TRUE(keys.insert(key).second) << "\"" << key << "\" is given twice";
        EXPECT_FALSE(text.empty()) << "\"" << key << "\" has an empty text";
        // A text shared by two keys would take a caption set in Turkish back to the wrong one.
        const auto [shared, unique] = keyOfText.emplace(text, key);
        EXPECT_TRUE(unique) << "\"" << key << "\" and \"" << shared->second << "\" share \"" << text << "\"";
        // An accelerator ampersand of a caption stays one in its translation.
        EXPECT_EQ(QString::fromStdString(key).count(QLatin1Char('&')) > 0,
                  QString::fromStdString(text).count(QLatin1Char('&')) > 0)
            << "\"" << key << "\" -> \"" << text << "\"";
        for (const QChar c : QString::fromStdString(text))
            letters.insert(c);
    }
    for (const QChar c : QString::fromUtf8("çğıİöşüÇÖŞ"))
        EXPECT_TRUE(letters.count(c)) << "no text uses " << QString(c).toStdString();
    // Written as the translation editor writes it, so an edit there changes only what it edits.
    std::map<std::string, std::string> dictionary(shipped.entries.begin(), shipped.entries.end());
    EXPECT_EQ(ReadWholeFile(ShippedFile).value_or(""), LanguageFileBytes(dictionary));
}

TEST_F(TurkishInterface, TheBuildPutsTheTurkishFileBesideTheProgram) {
    const auto shipped = ReadWholeFile(ShippedFile);
    const auto installed = ReadWholeFile(InstalledFile);
    ASSERT_TRUE(shipped.has_value());
    ASSERT_TRUE(installed.has_value()) << InstalledFile << " is missing";
    EXPECT_EQ(*installed, *shipped);
}

TEST_F(TurkishInterface, EveryTurkishLetterShowsInTheFontOfItsWindow) {
    start();
    MissingAfterWalks();
    const QString turkish = QString::fromUtf8("çğıİöşüÇĞÖŞÜ");
    int checked = 0;
    for (const auto& [widget, text] : ShownTexts()) {
        if (!widget->isVisibleTo(widget->window()) && widget != widget->window())
            continue;
        const QFontMetrics metrics(widget->font());
        for (const QChar c : text) {
            if (!turkish.contains(c))
                continue;
            ++checked;
            EXPECT_TRUE(metrics.inFont(c)) << widget->font().family().toStdString() << " in "
                                           << widget->window()->objectName().toStdString()
                                           << " lacks " << QString(c).toStdString() << " of \""
                                           << text.toStdString() << "\"";
        }
    }
    EXPECT_GT(checked, 100);
}

TEST_F(TurkishInterface, AnEmptyCaptionIsNoMissingText) {
    start();
    auto* window = new QWidget(nullptr, Qt::Window);
    auto* empty = new QLabel(window);
    auto* button = new QPushButton(QString(), window);
    Translator->SetLanguage("tr");
    TranslateForm(window);
    EXPECT_TRUE(empty->text().isEmpty());
    EXPECT_TRUE(button->text().isEmpty());
    EXPECT_FALSE(std::filesystem::exists(folder + "missing.log"))
        << ReadWholeFile(folder + "missing.log").value_or("");
    delete window;
}

TEST_F(TurkishInterface, EveryTurkishCaptionFitsWhereItsEnglishOneFits) {
    start();
    const auto english = CaptionOverflow();
    MissingAfterWalks();
    QApplication::processEvents();
    std::string cut;
    for (const auto& [widget, overflow] : CaptionOverflow()) {
        const auto before = english.find(widget);
        if (overflow > 0 && before != english.end() && before->second <= 0)
            cut += "  " + (widget->window()->objectName() + "/" + widget->objectName()).toStdString() +
                   ": " + std::to_string(overflow) + " px too wide\n";
    }
    EXPECT_TRUE(cut.empty()) << "Turkish captions cut off:\n" << cut;
}

TEST_F(TurkishInterface, StartAndStopReadInTheInterfacesLanguage) {
    start();
    Translator->SetLanguage("tr");
    FNav->ShowAcquisitionState(true);
    EXPECT_EQ(FNav->Realtime->text(), QString::fromUtf8("Durdur"));
    FNav->ShowAcquisitionState(false);
    EXPECT_EQ(FNav->Realtime->text(), QString::fromUtf8("Başlat"));
    Translator->SetLanguage("en");
    FNav->ShowAcquisitionState(true);
    EXPECT_EQ(FNav->Realtime->text(), "Stop");
    EXPECT_FALSE(std::filesystem::exists(folder + "missing.log"))
        << ReadWholeFile(folder + "missing.log").value_or("");
}
