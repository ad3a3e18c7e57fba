#include "tools/ScreenshotTranslation.h"

#include "app/main_window/TFNav.h"
#include "app/main_window/TranslationWalk.h"
#include "app/translation/TfTranslationEditor.h"
#include "language/TTavrinTranslation.h"
#include "tests/support/EventLoopWait.h"
#include "tools/ScreenshotArea.h"

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
