#include "tools/ScreenshotTranslation.h"

#include "app/TFNav.h"
#include "app/TTavrinTranslation.h"
#include "app/TfTranslationEditor.h"
#include "app/TranslationWalk.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPixmap>
#include <QThread>

#include <cstdio>

namespace {

void Settle(int milliseconds) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < milliseconds) {
        QApplication::processEvents(QEventLoop::AllEvents, 50);
        QThread::msleep(20);
    }
}

bool Save(QWidget* window, const QString& file) {
    const QPixmap picture = window->grab();
    if (picture.isNull() || !picture.save(file, "PNG"))
        return false;
    std::printf("%s\n", file.toLocal8Bit().constData());
    return true;
}

} // namespace

bool SaveTranslationScreenshots(const QString& folder) {
    if (!FNav || !Translator)
        return false;
    Translator->SetLanguage("tr");
    TranslateUi(FNav);
    Settle(500);
    if (!Save(FNav, folder + QStringLiteral("/main-window-tr.png")))
        return false;
    FNav->TranslationEditor1Click();
    Settle(500);
    const bool saved = fTranslationEditor && Save(fTranslationEditor, folder + QStringLiteral("/translation-editor.png"));
    Translator->SetLanguage("en");
    TranslateUi(FNav);
    return saved;
}
