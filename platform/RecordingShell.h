#pragma once

#include "platform/Shell.h"

#include <utility>
#include <vector>

// A shell for tests: records every folder and program it is asked for and opens nothing.
// `succeeds` decides what it answers.
class RecordingShell : public ShellProvider {
public:
    bool openFolder(const QString& folder) override {
        openedFolders.push_back(folder);
        return succeeds;
    }
    bool startProgram(const QString& program, const QStringList& arguments) override {
        startedPrograms.emplace_back(program, arguments);
        return succeeds;
    }

    bool succeeds = true;
    QStringList openedFolders;
    std::vector<std::pair<QString, QStringList>> startedPrograms;
};
