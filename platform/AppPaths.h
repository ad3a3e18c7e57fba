#pragma once

#include <QString>

#include <string>

// Where the program keeps its files on this machine.
class AppPaths {
public:
    // The data root, $HOME/WJT/, with a trailing slash. Day folders are made below it.
    static std::string dataRoot();
    // The folder the program keeps its own files in (settings, NTRIP profiles, language
    // files, sound velocity lists): the folder of the running executable unless another was
    // set, with a trailing slash. Every path "beside the program" starts here.
    static std::string applicationFolder();
    // Points the program's own folder elsewhere, so that test processes and tools running
    // from one shared executable folder never share or leave files there. Empty restores the
    // executable's folder.
    static void setApplicationFolder(const std::string& folder);
    // The settings file: "TavrinSD.INI" beside the executable unless another was set.
    static QString settingsFile();
    // Points every later settings access at another file (tests use a temporary one).
    static void setSettingsFile(const QString& path);
    // The language files: "Languages/" in the program's own folder (with a trailing slash).
    static std::string languagesFolder();
};
