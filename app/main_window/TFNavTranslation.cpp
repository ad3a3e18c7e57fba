// The main window's translation commands.
#include "app/main_window/TFNav.h"

#include "app/translation/TfTranslationEditor.h"
#include "platform/ErrorBoundary.h"
#include "platform/WindowStacking.h"

#include <QAction>

void TFNav::BindTranslationHandlers() {
    connect(TranslationEditor1, &QAction::triggered, this,
            [this] { ErrorBoundary::run([this] { TranslationEditor1Click(); }); });
}

void TFNav::TranslationEditor1Click() {
    // Made on first use and kept until the program ends; later choices show it again.
    if (!fTranslationEditor) {
        fTranslationEditor = new TfTranslationEditor();
        // Like the windows made at start, it must not keep the program alive once the main
        // window has closed.
        fTranslationEditor->setAttribute(Qt::WA_QuitOnClose, false);
    }
    WindowStacking::showInFront(fTranslationEditor);
}
