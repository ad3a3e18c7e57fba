// The translation walk over the real windows, and the translation editor, offscreen.
#include "LanguageFolderProgram.h"

#include "app/main_window/TformAbout.h"
#include "app/main_window/TranslationWalk.h"
#include "app/survey_windows/TfWaterfal.h"
#include "app/translation/Captions.h"
#include "app/translation/TfTranslationEditor.h"
#include "app/widgets/TFMsg.h"
#include "language/LanguageFile.h"
#include "platform/AppPaths.h"
#include "platform/FileIO.h"

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTableWidget>
#include <QToolButton>

#include <filesystem>
#include <map>

namespace {

const std::string Fixtures = TESTS_DIR "/language/data/languages/";

// Every caption the walk can reach, by object and kind, to compare two states of the windows.
std::map<QString, QString> Captions() {
    std::map<QString, QString> captions;
    int unnamed = 0;
    for (QWidget* top : QApplication::topLevelWidgets()) {
        captions[top->objectName() + "#title"] = top->windowTitle();
        QList<QObject*> objects = top->findChildren<QObject*>();
        for (QObject* object : objects) {
            const QString name = object->objectName().isEmpty() ? QString("#%1").arg(unnamed++) : object->objectName();
            if (auto* label = qobject_cast<QLabel*>(object))
                captions[top->objectName() + "/" + name] = label->text();
            else if (auto* button = qobject_cast<QAbstractButton*>(object))
                captions[top->objectName() + "/" + name] = button->text();
            else if (auto* action = qobject_cast<QAction*>(object))
                captions[top->objectName() + "/" + name] = action->text();
            else if (auto* menu = qobject_cast<QMenu*>(object))
                captions[top->objectName() + "/" + name] = menu->title();
        }
        unnamed = 0;
    }
    return captions;
}

class Translation : public LanguageFolderProgram {
protected:
    std::string TurkishSource() const override { return Fixtures + "tr.json"; }

    void Switch(const std::string& code) {
        Translator->SetLanguage(code);
        TranslateUi(FNav);
    }

};

} // namespace

TEST_F(Translation, TheFirstShowWalksTheWindowsInTheStoredLanguage) {
    writeSetting("SETTINGS", "Language", "tr");
    start();
    EXPECT_EQ(FNav->File1->title(), "Dosya");
    EXPECT_EQ(FNav->Realtime->text(), "Ger\xC3\xA7" "ek Zaman");
    EXPECT_EQ(FNav->ConnectIcon->text(), "Ba\xC4\x9Flan");
    // Walked with its key like the tool buttons beside it; this file has no text for it.
    EXPECT_EQ(FNav->tbFixed->text(), "Fixed");
    EXPECT_NE(ReadWholeFile(folder + "missing.log").value_or("").find("Fixed\r\n"),
              std::string::npos);
    EXPECT_EQ(FMsg->windowTitle(), "Mesaj Penceresi");
    EXPECT_EQ(formAbout->BitBtn2->text(), "Tamam");
    EXPECT_EQ(fWaterfal->windowTitle(), "Akustik \xC5\x9E" "elale");
    // An item whose key another item took keeps its shortcut text after the tab.
    EXPECT_EQ(FNav->Echogram1->text(), "Ekogram...\tCtrl+O");
    // A menu separator keeps no text.
    for (QAction* action : FNav->File1->actions())
        if (action->isSeparator())
            EXPECT_TRUE(action->text().isEmpty());
}

TEST_F(Translation, TwoWalksChangeNothingAndSwitchingBackAndForthRestores) {
    start();
    const auto english = Captions();
    Switch("tr");
    const auto turkish = Captions();
    EXPECT_NE(english, turkish);
    TranslateUi(FNav);
    EXPECT_EQ(Captions(), turkish);
    Switch("en");
    EXPECT_EQ(Captions(), english);
    Switch("tr");
    EXPECT_EQ(Captions(), turkish);
}

TEST_F(Translation, LabelsKeepTheirAmpersandCaptionsAndDataLabelsAreLogged) {
    start();
    auto* window = new QWidget(nullptr, Qt::Window);
    window->setObjectName("Synthetic");
    window->setWindowTitle("Vessel Geometry");
    auto* save = new QLabel(window);
    SetCaption(save, "Save && Exit");
    auto* data = new QLabel("12.34", window);
    auto* group = new QGroupBox("Cancel", window);
    group->setProperty("designClass", QStringLiteral("TRadioGroup"));
    auto* inside = new QPushButton("OK", group);
    Translator->SetLanguage("tr");
    TranslateForm(window);
    EXPECT_EQ(window->windowTitle(), "Tekne Geometrisi");
    EXPECT_EQ(save->text(), "Kaydet & \xC3\x87\xC4\xB1k");
    EXPECT_EQ(CaptionOf(save), "Kaydet && \xC3\x87\xC4\xB1k");
    EXPECT_EQ(group->title(), "Cancel"); // a radio group keeps its caption
    EXPECT_EQ(inside->text(), "Tamam");  // its buttons do not
    EXPECT_EQ(data->text(), "12.34");
    EXPECT_NE(ReadWholeFile(folder + "missing.log").value_or("").find("12.34\r\n"), std::string::npos);
    Translator->SetLanguage("en");
    TranslateForm(window);
    EXPECT_EQ(save->text(), "Save & Exit");
    delete window;
}

TEST_F(Translation, ASharedTranslationTakesEachCaptionBackToItsOwnKey) {
    // "Zoom In" and "Open" share one Turkish text: mapped back, one of them would be renamed.
    std::map<std::string, std::string> entries = {{"Zoom In", "Ortak"}, {"Open", "Ortak"}};
    ASSERT_TRUE(WriteFileAtomically(folder + "tr.json", LanguageFileBytes(entries)));
    start();
    auto* window = new QWidget(nullptr, Qt::Window);
    auto* zoom = new QPushButton("Zoom In", window);
    auto* open = new QPushButton("Open", window);
    Translator->SetLanguage("tr");
    TranslateForm(window);
    EXPECT_EQ(zoom->text(), "Ortak");
    Translator->SetLanguage("en");
    TranslateForm(window);
    EXPECT_EQ(zoom->text(), "Zoom In");
    EXPECT_EQ(open->text(), "Open");
    // The dictionary's own way back is as described: the later key wins.
    EXPECT_EQ(Translator->TranslateText("Ortak"), "Zoom In");
    delete window;
}

TEST_F(Translation, AWalkInALanguageWithAnEmptyFileLogsEveryCaptionAndADictionaryFromItMarksThem) {
    ASSERT_TRUE(WriteFileAtomically(folder + "xx.json", "{}"));
    start();
    Switch("xx");
    const std::string log = ReadWholeFile(folder + "missing.log").value_or("");
    ASSERT_FALSE(log.empty());
    std::map<std::string, std::string> marked;
    size_t start = 0;
    while (start < log.size()) {
        const size_t end = log.find("\r\n", start);
        const std::string key = log.substr(start, end - start);
        marked[key] = "\xC2\xBB" + key; // "»key"
        start = end + 2;
    }
    ASSERT_TRUE(WriteFileAtomically(folder + "yy.json", LanguageFileBytes(marked)));
    Switch("en");
    const auto english = Captions();
    Switch("yy");
    const auto after = Captions();
    int changed = 0;
    for (const auto& [where, text] : after) {
        const QString before = english.at(where);
        if (text == before)
            continue;
        ++changed;
        // Whatever changed shows the marked text of what it showed in English.
        EXPECT_EQ(text, QString::fromUtf8("\xC2\xBB") + before.section('\t', 0, 0) +
                            (before.contains('\t') ? "\t" + before.section('\t', 1) : QString()))
            << where.toStdString();
    }
    EXPECT_GT(changed, 50);
}

TEST_F(Translation, TheEditorSavesOnlyTheInterfaceLanguageAndAsksBeforeDroppingEdits) {
    start();
    FNav->TranslationEditor1Click();
    ASSERT_NE(fTranslationEditor, nullptr);
    TfTranslationEditor& editor = *fTranslationEditor;
    EXPECT_EQ(editor.cbLanguage->currentText(), "en");
    EXPECT_EQ(editor.sgTranslations->item(0, 2)->text(), "en");

    // English interface, "tr" chosen: nothing is written and the status says why.
    const std::string before = ReadWholeFile(folder + "tr.json").value_or("");
    editor.cbLanguage->setCurrentText("tr");
    editor.sgTranslations->item(1, 2)->setText("changed");
    EXPECT_TRUE(editor.UnsavedChanges);
    editor.btSaveClick();
    EXPECT_NE(editor.LabelStatus->text(), "Saved!");
    EXPECT_EQ(ReadWholeFile(folder + "tr.json").value_or(""), before);

    // Cancel keeps the grid and puts the selector back; No drops the edits.
    TestEnvironment::dialogs().answer(DialogAnswer::Cancel);
    editor.cbLanguage->setCurrentText("en");
    EXPECT_EQ(editor.cbLanguage->currentText(), "tr");
    EXPECT_EQ(editor.sgTranslations->item(1, 2)->text(), "changed");
    TestEnvironment::dialogs().answer(DialogAnswer::No);
    editor.cbLanguage->setCurrentText("en");
    EXPECT_FALSE(editor.UnsavedChanges);
    EXPECT_EQ(editor.GridLanguage, "en");
    EXPECT_EQ(TestEnvironment::dialogs().questions.size(), 2);
}

TEST_F(Translation, TheEditorStoresEditedRowsAndAddedKeysOnly) {
    writeSetting("SETTINGS", "Language", "tr");
    std::map<std::string, std::string> entries = {{"File", "Dosya"}, {"Untranslated", ""}, {"Zoom", "Yak"}};
    ASSERT_TRUE(WriteFileAtomically(folder + "tr.json", LanguageFileBytes(entries)));
    start();
    FNav->TranslationEditor1Click();
    TfTranslationEditor& editor = *fTranslationEditor;
    ASSERT_EQ(editor.cbLanguage->currentText(), "tr");
    ASSERT_EQ(editor.sgTranslations->rowCount(), 4);
    EXPECT_EQ(editor.sgTranslations->item(2, 0)->text(), "Untranslated");
    editor.sgTranslations->item(3, 2)->setText("Yak\xC4\xB1nla\xC5\x9Ft\xC4\xB1r");
    editor.edNewKey->setText("  File \t");
    editor.btAddKeyClick();
    EXPECT_EQ(editor.LabelStatus->text(), "Key already exists");
    editor.edNewKey->setText(" file ");
    editor.btAddKeyClick();
    EXPECT_EQ(editor.LabelStatus->text(), "Key added - don't forget to save");
    editor.sgTranslations->item(4, 2)->setText("dosya");
    editor.btSaveClick();
    EXPECT_EQ(editor.LabelStatus->text(), "Saved!");
    const LanguageFileContent saved = ReadLanguageFile(folder + "tr.json");
    const std::map<std::string, std::string> back(saved.entries.begin(), saved.entries.end());
    EXPECT_EQ(back.at("Zoom"), "Yak\xC4\xB1nla\xC5\x9Ft\xC4\xB1r");
    EXPECT_EQ(back.at("file"), "dosya");
    EXPECT_EQ(back.at("Untranslated"), ""); // not made its own translation
    // The open windows keep their captions until the next walk.
    EXPECT_EQ(FNav->Zoom1->title(), "Yak");

    // Closing with unsaved edits asks; Cancel keeps the window open.
    editor.sgTranslations->item(1, 2)->setText("x");
    TestEnvironment::dialogs().answer(DialogAnswer::Cancel);
    editor.close();
    EXPECT_TRUE(editor.isVisible());
    TestEnvironment::dialogs().answer(DialogAnswer::No);
    editor.close();
    EXPECT_FALSE(editor.isVisible());
}
