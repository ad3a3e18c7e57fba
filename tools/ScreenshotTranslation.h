#pragma once

#include <QString>

// Saves "main-window-tr.png" (the main window walked into Turkish) and
// "translation-editor.png", then puts the interface back into English.
bool SaveTranslationScreenshots(const QString& folder);
