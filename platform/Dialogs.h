#pragma once

#include "platform/DialogProvider.h"

#include <QRect>

#include <functional>

// The one facade through which the program talks to the operator in dialogs.
class Dialogs {
public:
    static void showMessage(const QString& text);
    static void showWarning(const QString& text);
    static void showError(const QString& text);

    // A warning dialog with Yes and No; true for Yes.
    static bool confirmYesNo(const QString& text);
    static DialogAnswer confirmYesNoCancel(const QString& text);
    // True for OK.
    static bool confirmOkCancel(const QString& text);

    static bool inputText(const QString& caption, const QString& prompt, QString& value);
    static QString openFileName(const QString& caption, const QString& folder,
                                const QString& filter);
    static QString saveFileName(const QString& caption, const QString& folder,
                                const QString& filter);
    static QString folderName(const QString& caption, const QString& folder);
    // A colour (0x00BBGGRR) picked by the operator, starting at `initial`; false when
    // cancelled, `chosen` then untouched.
    static bool chooseColor(uint32_t initial, uint32_t& chosen);

    // The part of the screen file dialogs open clear of (the main window's status bar, which
    // the operator reads all the time), asked for at each opening; an empty rectangle or
    // nullptr: none.
    static void keepFileDialogsClearOf(std::function<QRect()> area);

    // Installs another provider; nullptr puts Qt's dialogs back. The caller keeps ownership.
    static void install(DialogProvider* provider);
    static DialogProvider& provider();
};
