#pragma once

#include <QString>

#include <string>

// Where the program keeps its files on this machine.
class AppPaths {
public:
    // The data root, $HOME/WJT/, with a trailing slash. Day folders are made below it.
    static std::string dataRoot();
    // The folder of the running executable, with a trailing slash.
    static std::string applicationFolder();
    // The settings file: "TavrinSD.INI" beside the executable unless another was set.
    static QString settingsFile();
    // Points every later settings access at another file (tests use a temporary one).
    static void setSettingsFile(const QString& path);
    // The language files: "Languages/" beside the executable unless another folder was set
    // (with a trailing slash).
    static std::string languagesFolder();
    static void setLanguagesFolder(const std::string& folder);
};
