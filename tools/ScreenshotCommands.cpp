#include "tools/ScreenshotCommands.h"
#include "tools/ScreenshotArea.h"

#include "app/main_window/TFNav.h"
#include "app/widgets/StyleManager.h"
#include "app/widgets/TavrinKeyboard.h"
#include "app/widgets/TfTheme.h"

#include "tests/support/EventLoopWait.h"

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QScreen>
#include <QToolButton>

void PressKey(const std::vector<QToolButton*>& keys, const char* caption) {
    for (QToolButton* key : keys)
        if (key && key->text() == QLatin1String(caption)) {
            key->click();
            return;
        }
}

QStringList SaveCommandPictures(const QString& output) {
    if (!FNav || !fTheme)
        return {};
    QStringList written;
    const QString styleBefore = StyleManager::activeStyleName();

    FNav->raise();
    FNav->themeSelection1->trigger();
    const auto dark = fTheme->lbThemeList->findItems(QStringLiteral("Dark"), Qt::MatchExactly);
    if (dark.isEmpty())
        return {};
    fTheme->lbThemeList->setCurrentItem(dark.front());
    fTheme->raise();
    RunEventsFor(700);
    const QString theme = output + QStringLiteral("/theme.png");
    const bool themeSaved = SaveScreenArea(theme, FNav->frameGeometry() | fTheme->frameGeometry());
    fTheme->bCancelClick();
    StyleManager::trySetStyle(styleBefore, false);
    if (!themeSaved)
        return {};
    written << theme;

    // A field on the map's panel for the keys to type into.
    auto* field = new QLineEdit(FNav);
    field->setGeometry(60, FNav->height() / 2, 200, 26);
    field->show();
    field->setFocus();
    FNav->ShowNumericKeypad(field);
    PressKey(FNav->NumericKeypad->Buttons, "1");
    PressKey(FNav->NumericKeypad->Buttons, "2");
    PressKey(FNav->NumericKeypad->Buttons, "5");
    RunEventsFor(500);
    const QString keypad = output + QStringLiteral("/keypad.png");
    const bool keypadSaved = SaveScreenArea(keypad, FNav->frameGeometry());
    FNav->NumericKeypad->hide();
    if (!keypadSaved) {
        delete field;
        return {};
    }
    written << keypad;

    field->clear();
    FNav->ShowSimpleKeyboard(field);
    const std::vector<QToolButton*> keys(FNav->SimpleKeyboard->Buttons.begin(),
                                         FNav->SimpleKeyboard->Buttons.end());
    for (const char* caption : {"S", "Shift", "I", "l", "e"})
        PressKey(keys, caption);
    RunEventsFor(500);
    const QString keyboard = output + QStringLiteral("/keyboard.png");
    const bool keyboardSaved = SaveScreenArea(keyboard, FNav->frameGeometry());
    FNav->SimpleKeyboard->hide();
    delete field;
    if (!keyboardSaved)
        return {};
    written << keyboard;
    return written;
}
