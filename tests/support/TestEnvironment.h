#pragma once

#include "platform/ScriptedDialogs.h"

#include <QString>

// What every test process starts with: Qt's offscreen platform, a temporary HOME that is also
// the program's own folder (so the data root, the settings file, the NTRIP profiles and the
// language files are private to the process), and scripted dialogs.
class TestEnvironment {
public:
    static QString home();
    static QString settingsFile();
    // The dialogs every test starts with; a test may script answers and read what was shown.
    static ScriptedDialogs& dialogs();
};
