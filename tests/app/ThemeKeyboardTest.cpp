// The theme chooser and the on-screen keyboards over the started program's windows.
#include "ThemedProgram.h"

#include "app/survey_windows/TOffsets.h"
#include "app/widgets/StyleManager.h"
#include "app/widgets/TavrinKeyboard.h"
#include "app/widgets/TfTheme.h"
#include "canvas/TTavrinCanvas.h"

#include <QApplication>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

namespace {

class Theme : public ThemedProgram {
protected:
    static QString StoredTheme() {
        return IniFile(TestEnvironment::settingsFile())
            .readString(QStringLiteral("APPLICATION"), QStringLiteral("ThemeStyle"), QStringLiteral("<none>"));
    }

    static void Select(const QString& name) {
        const auto items = fTheme->lbThemeList->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(items.size(), 1);
        fTheme->lbThemeList->setCurrentItem(items[0]);
    }
};

QToolButton* Key(const std::vector<QToolButton*>& keys, const QString& caption) {
    for (QToolButton* key : keys)
        if (key && key->text() == caption)
            return key;
    return nullptr;
}

QToolButton* Key(TTavrinSimpleKeyboard* keyboard, const QString& caption) {
    return Key(std::vector<QToolButton*>(keyboard->Buttons.begin(), keyboard->Buttons.end()), caption);
}

void Press(QToolButton* key) {
    ASSERT_NE(key, nullptr);
    key->click();
}

KeyboardKey Find(const std::vector<KeyboardKey>& keys, const char* caption) {
    for (const KeyboardKey& key : keys)
        if (key.caption == QLatin1String(caption))
            return key;
    return {};
}

} // namespace

TEST_F(Theme, ShowingListsTheStylesAndSelectsTheActiveOneWithoutApplyingIt) {
    start();
    StyleManager::trySetStyle(QStringLiteral("Light"), false);
    const uint32_t background = FNav->fcad->BackColor;
    FNav->themeSelection1->trigger();
    ASSERT_TRUE(fTheme->isVisible());
    EXPECT_EQ(fTheme->size(), QSize(320, 612));
    EXPECT_TRUE(fTheme->windowFlags() & Qt::WindowStaysOnTopHint);
    QStringList listed;
    for (int i = 0; i < fTheme->lbThemeList->count(); ++i)
        listed << fTheme->lbThemeList->item(i)->text();
    EXPECT_EQ(listed, StyleManager::styleNames());
    EXPECT_EQ(fTheme->lInfo->text(),
              QStringLiteral("Available themes: %1. Select to preview.").arg(listed.size()));
    ASSERT_NE(fTheme->lbThemeList->currentItem(), nullptr);
    EXPECT_EQ(fTheme->lbThemeList->currentItem()->text(), "Light");
    EXPECT_EQ(fTheme->ThemeAtShow, "Light");
    EXPECT_EQ(FNav->fcad->BackColor, background);
}

TEST_F(Theme, DarkPreviewsAndCancelRestoresTheLookAndTheMap) {
    start();
    FNav->themeSelection1->trigger();
    const QColor windowBefore = QApplication::palette().color(QPalette::Window);
    const uint32_t mapBefore = FNav->fcad->BackColor;
    Select("Dark");
    EXPECT_EQ(StyleManager::activeStyleName(), "Dark");
    EXPECT_EQ(FNav->fcad->BackColor, 0x302D2Du);
    EXPECT_NE(QApplication::palette().color(QPalette::Window), windowBefore);

    fTheme->bCancel->click();
    EXPECT_FALSE(fTheme->isVisible());
    EXPECT_EQ(StyleManager::activeStyleName(), StyleManager::defaultStyleName());
    EXPECT_EQ(QApplication::palette().color(QPalette::Window), windowBefore);
    EXPECT_EQ(FNav->fcad->BackColor, mapBefore);
    EXPECT_EQ(StoredTheme(), "<none>");
}

TEST_F(Theme, SaveAndExitStoresTheSelectedStyleAndNothingWithoutASelection) {
    start();
    FNav->themeSelection1->trigger();
    fTheme->lbThemeList->setCurrentRow(-1);
    fTheme->bSaveExit->click();
    EXPECT_FALSE(fTheme->isVisible());
    EXPECT_EQ(StoredTheme(), "<none>");

    FNav->themeSelection1->trigger();
    Select("Dark");
    fTheme->bSaveExit->click();
    EXPECT_EQ(StoredTheme(), "Dark");
    EXPECT_EQ(StyleManager::activeStyleName(), "Dark");
}

TEST_F(Theme, TheTitleBarCloseKeepsThePreviewAndStoresNothing) {
    start();
    FNav->themeSelection1->trigger();
    Select("Dark");
    fTheme->close();
    EXPECT_EQ(StyleManager::activeStyleName(), "Dark");
    EXPECT_EQ(FNav->fcad->BackColor, 0x302D2Du);
    EXPECT_EQ(StoredTheme(), "<none>");
}

TEST_F(Theme, EscapeInTheListClosesTheChooserAsCancelDoes) {
    start();
    const uint32_t mapBefore = FNav->fcad->BackColor;
    FNav->themeSelection1->trigger();
    Select("Dark");
    QTest::keyClick(fTheme->lbThemeList, Qt::Key_Escape);
    EXPECT_FALSE(fTheme->isVisible());
    EXPECT_EQ(StyleManager::activeStyleName(), StyleManager::defaultStyleName());
    EXPECT_EQ(FNav->fcad->BackColor, mapBefore);
    EXPECT_EQ(StoredTheme(), "<none>");
}

TEST(KeyboardLayout, KeysSitWhereTheTableSays) {
    const std::vector<KeyboardKey> keypad = NumericKeypadKeys();
    ASSERT_EQ(keypad.size(), 12u);
    const KeyboardKey enter = Find(keypad, "Enter");
    EXPECT_EQ(QRect(enter.left, enter.top, enter.width, enter.height), QRect(115, 155, 50, 45));
    EXPECT_EQ(Find(keypad, "7").left, 5);
    EXPECT_EQ(Find(keypad, "0").top, 155);

    const std::vector<KeyboardKey> keyboard = SimpleKeyboardKeys();
    ASSERT_EQ(keyboard.size(), 40u);
    const struct {
        const char* caption;
        QRect rect;
    } expected[] = {
        {"A", QRect(22, 85, 38, 38)},     {"Back", QRect(341, 126, 53, 38)},
        {"Space", QRect(44, 167, 250, 38)}, {"Enter", QRect(297, 167, 80, 38)},
        {"Shift", QRect(3, 126, 48, 38)}, {"Z", QRect(54, 126, 38, 38)},
        {"P", QRect(372, 44, 38, 38)},
    };
    for (const auto& e : expected) {
        const KeyboardKey key = Find(keyboard, e.caption);
        EXPECT_EQ(QRect(key.left, key.top, key.width, key.height), e.rect) << e.caption;
    }
    // Every key lies inside its panel.
    for (const KeyboardKey& key : keyboard) {
        EXPECT_LE(key.left + key.width, TTavrinSimpleKeyboard::PanelWidth) << key.caption.toStdString();
        EXPECT_LE(key.top + key.height, TTavrinSimpleKeyboard::PanelHeight) << key.caption.toStdString();
    }
}

using Keyboards = StartedProgram;

TEST_F(Keyboards, PanelsSitAtTheBottomOfTheClientAreaClearOfTheStatusBar) {
    start();
    QLineEdit field;
    FNav->ShowNumericKeypad(&field);
    FNav->ShowSimpleKeyboard(&field);
    const int clientTop = FNav->menuBar()->height();
    ASSERT_EQ(FNav->width(), 987);
    ASSERT_EQ(FNav->height() - clientTop, 541);
    // 10 pixels above the status bar, which the operator reads all the time.
    const int statusBarHeight = FNav->pRealtime->height();
    ASSERT_EQ(FNav->pRealtime->mapTo(FNav, QPoint(0, 0)).y(), FNav->height() - statusBarHeight);
    EXPECT_EQ(FNav->mapFromGlobal(FNav->NumericKeypad->pos()) - QPoint(0, clientTop),
              QPoint(807, 331 - statusBarHeight));
    EXPECT_EQ(FNav->mapFromGlobal(FNav->SimpleKeyboard->pos()) - QPoint(0, clientTop),
              QPoint(283, 323 - statusBarHeight));
    // Windows of their own, so that the set-up window, which stays on top, cannot hide them.
    EXPECT_TRUE(FNav->NumericKeypad->isWindow());
    EXPECT_TRUE(FNav->SimpleKeyboard->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(FNav->SimpleKeyboard->size(), QSize(420, 208));
    EXPECT_EQ(FNav->NumericKeypad->parentWidget(), FNav);
    EXPECT_TRUE(FNav->NumericKeypad->isVisible());
    EXPECT_TRUE(FNav->SimpleKeyboard->isVisible());
}

TEST_F(Keyboards, ClicksOnTheSetUpWindowsFieldsBringUpTheKeypadOrTheKeyboardForThem) {
    start();
    ASSERT_TRUE(Offsets->isVisible());
    // Numbers that pass the check made when a numeric field is left.
    for (QLineEdit* field : {Offsets->OffsetA, Offsets->OffsetB, Offsets->OffsetC, Offsets->SV,
                             Offsets->TideHt})
        field->setText(QStringLiteral("1"));
    for (QLineEdit* field : {Offsets->Location, Offsets->SurveyBoat, Offsets->Surveyor})
        field->setText(QStringLiteral("a"));
    const struct {
        QLineEdit* field;
        bool numeric;
    } fields[] = {{Offsets->OffsetA, true},   {Offsets->OffsetB, true},    {Offsets->OffsetC, true},
                  {Offsets->SV, true},        {Offsets->TideHt, true},     {Offsets->Location, false},
                  {Offsets->SurveyBoat, false}, {Offsets->Surveyor, false}};
    for (const auto& f : fields) {
        const std::string name = f.field->objectName().toStdString();
        QTest::mouseClick(f.field, Qt::LeftButton, {}, f.field->rect().center());
        if (f.numeric) {
            ASSERT_NE(FNav->NumericKeypad, nullptr) << name;
            EXPECT_TRUE(FNav->NumericKeypad->isVisible()) << name;
            EXPECT_EQ(FNav->NumericKeypad->TargetControl, f.field) << name;
            QToolButton* seven = Key(FNav->NumericKeypad->Buttons, QStringLiteral("7"));
            ASSERT_NE(seven, nullptr);
            QTest::mouseClick(seven, Qt::LeftButton);
            EXPECT_EQ(f.field->text(), QStringLiteral("17")) << name;
        } else {
            ASSERT_NE(FNav->SimpleKeyboard, nullptr) << name;
            EXPECT_TRUE(FNav->SimpleKeyboard->isVisible()) << name;
            EXPECT_EQ(FNav->SimpleKeyboard->TargetControl, f.field) << name;
            QToolButton* q = Key(FNav->SimpleKeyboard, QStringLiteral("Q"));
            ASSERT_NE(q, nullptr);
            QTest::mouseClick(q, Qt::LeftButton);
            EXPECT_EQ(f.field->text(), QStringLiteral("aQ")) << name;
        }
    }
    EXPECT_TRUE(TestEnvironment::dialogs().messages.empty());
}

TEST_F(Keyboards, TheKeypadTypesDigitsBacksAndHidesAndTheFieldKeepsTheFocus) {
    start();
    auto* field = new QLineEdit(FNav);
    field->show();
    field->setFocus();
    QApplication::processEvents();
    FNav->ShowNumericKeypad(field);
    TTavrinNumericKeypad* keypad = FNav->NumericKeypad;
    for (const char* caption : {"1", "2", "Back"})
        Press(Key(keypad->Buttons, caption));
    EXPECT_EQ(field->text(), "1");
    Press(Key(keypad->Buttons, "Back"));
    Press(Key(keypad->Buttons, "Back")); // on an empty field
    EXPECT_EQ(field->text(), "");
    for (QToolButton* key : keypad->Buttons)
        EXPECT_EQ(key->focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(QApplication::focusWidget(), field);
    Press(Key(keypad->Buttons, "Enter"));
    EXPECT_FALSE(keypad->isVisible());
}

TEST_F(Keyboards, ShiftActsOnceAndLowersTheCaptions) {
    start();
    QLineEdit field;
    FNav->ShowSimpleKeyboard(&field);
    TTavrinSimpleKeyboard* keyboard = FNav->SimpleKeyboard;
    Press(Key(keyboard, "A"));
    EXPECT_EQ(field.text(), "A");
    Press(keyboard->Buttons[TTavrinSimpleKeyboard::ShiftSlot]);
    Press(Key(keyboard, "B"));
    EXPECT_EQ(field.text(), "AB");
    EXPECT_FALSE(keyboard->ShiftOn);
    EXPECT_NE(Key(keyboard, "c"), nullptr);
    EXPECT_EQ(Key(keyboard, "C"), nullptr);
    EXPECT_NE(Key(keyboard, "1"), nullptr);
    Press(Key(keyboard, "c"));
    Press(keyboard->Buttons[TTavrinSimpleKeyboard::SpaceSlot]);
    EXPECT_EQ(field.text(), "ABc ");
    Press(keyboard->Buttons[TTavrinSimpleKeyboard::BackSlot]);
    EXPECT_EQ(field.text(), "ABc");
    Press(keyboard->Buttons[TTavrinSimpleKeyboard::EnterSlot]);
    EXPECT_FALSE(keyboard->isVisible());
}

TEST_F(Keyboards, TargetsOutsideTheTableAndDestroyedOnesAreLeftAlone) {
    start();
    QLabel label(QStringLiteral("depth"));
    FNav->ShowNumericKeypad(&label);
    Press(Key(FNav->NumericKeypad->Buttons, "5"));
    EXPECT_EQ(label.text(), "depth");

    auto* field = new QLineEdit(QStringLiteral("İş"));
    FNav->ShowSimpleKeyboard(field);
    Press(Key(FNav->SimpleKeyboard, "1"));
    EXPECT_EQ(field->text(), QStringLiteral("İş1"));
    delete field;
    Press(Key(FNav->SimpleKeyboard, "2"));
    Press(FNav->SimpleKeyboard->Buttons[TTavrinSimpleKeyboard::BackSlot]);
    EXPECT_TRUE(FNav->SimpleKeyboard->TargetControl.isNull());

    // A keypad shown for nothing can still be closed.
    FNav->ShowNumericKeypad(nullptr);
    Press(Key(FNav->NumericKeypad->Buttons, "Enter"));
    EXPECT_FALSE(FNav->NumericKeypad->isVisible());
}

TEST_F(Keyboards, BothPanelsEachEditTheirOwnField) {
    start();
    QLineEdit number;
    QComboBox name;
    name.setEditable(true);
    name.setCurrentText(QStringLiteral("Şile"));
    FNav->ShowSimpleKeyboard(&name);
    FNav->ShowNumericKeypad(&number);
    Press(Key(FNav->NumericKeypad->Buttons, "9"));
    Press(Key(FNav->SimpleKeyboard, "K"));
    EXPECT_EQ(number.text(), "9");
    EXPECT_EQ(name.currentText(), QStringLiteral("ŞileK"));
    EXPECT_TRUE(FNav->NumericKeypad->isVisible());
    EXPECT_TRUE(FNav->SimpleKeyboard->isVisible());
}
