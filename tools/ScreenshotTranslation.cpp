#include "tools/ScreenshotTranslation.h"

#include "tools/ScreenshotArea.h"
#include "tests/support/EventLoopWait.h"
#include "app/main_window/TFNav.h"
#include "language/TTavrinTranslation.h"
#include "app/translation/TfTranslationEditor.h"
#include "app/main_window/TranslationWalk.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPixmap>
#include <QThread>

#include <cstdio>


bool SaveTranslationScreenshots(const QString& folder) {
    if (!FNav || !Translator)
        return false;
    // The operator's way: a double-click on the status bar, which also shows "TR" there.
    if (Translator->CurrentLanguage == "en")
        FNav->LanguageToggle();
    RunEventsFor(500);
    if (!SaveWindowPicture(FNav, folder + QStringLiteral("/main-window-tr.png")))
        return false;
    FNav->TranslationEditor1Click();
    RunEventsFor(500);
    const bool saved = fTranslationEditor && SaveWindowPicture(fTranslationEditor, folder + QStringLiteral("/translation-editor.png"));
    FNav->LanguageToggle();
    return saved;
}
