#pragma once

#include "platform/ScriptedDialogs.h"

#include <QString>

// What every test process starts with: Qt's offscreen platform, a temporary HOME (so the data
// root is private to the process), a settings file inside it, and scripted dialogs.
class TestEnvironment {
public:
    static QString home();
    static QString settingsFile();
    // The dialogs every test starts with; a test may script answers and read what was shown.
    static ScriptedDialogs& dialogs();
};
