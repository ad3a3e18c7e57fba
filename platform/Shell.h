#pragma once

#include <QString>
#include <QStringList>

// What hands folders and programs to the desktop. The program uses the desktop's own handlers;
// tests install a RecordingShell so that nothing opens on the machine running them.
class ShellProvider {
public:
    virtual ~ShellProvider() = default;
    // Opens a folder in the desktop's file manager; false when it could not be handed over.
    virtual bool openFolder(const QString& folder) = 0;
    // Starts a program on its own with an argument list (never a shell command line).
    virtual bool startProgram(const QString& program, const QStringList& arguments) = 0;
};

// The one facade through which the program "opens" folders and starts other programs.
class Shell {
public:
    static bool openFolder(const QString& folder);
    static bool startProgram(const QString& program, const QStringList& arguments);

    // Installs another provider; nullptr puts the desktop's back. The caller keeps ownership.
    static void install(ShellProvider* provider);
};
