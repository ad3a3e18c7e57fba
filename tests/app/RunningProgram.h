#pragma once

#include "tests/support/EventLoopWait.h"

#include <QProcess>
#include <QTemporaryDir>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

// The built program, run in a folder of its own (it keeps its settings beside itself) with a
// HOME of its own.
class RunningProgram {
public:
    RunningProgram() {
        const std::filesystem::path program = folder() + "/TavrinSD";
        std::error_code linked;
        std::filesystem::create_hard_link(TAVRIN_PROGRAM, program, linked);
        if (linked)
            std::filesystem::copy_file(TAVRIN_PROGRAM, program);
        std::filesystem::create_directories(home());
        // A settings file with nothing stored: every window at its first start.
        std::ofstream(settingsFile()) << "[SETTINGS]\r\nLanguage=en\r\n";
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HOME"), QString::fromStdString(home()));
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        process_.setProcessEnvironment(environment);
        process_.setProgram(QString::fromStdString(program.string()));
    }
    ~RunningProgram() {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished(10000);
        }
    }

    // The program's file, beside its settings.
    QString programFile() const { return process_.program(); }
    std::string folder() const { return dir_.path().toStdString(); }
    std::string home() const { return folder() + "/home"; }
    std::string settingsFile() const { return folder() + "/TavrinSD.INI"; }
    QProcess& process() { return process_; }

    // The main window has been made: its first step makes the day's folders, the last of
    // them "MP4".
    bool waitForMainWindow() {
        process_.start();
        return WaitUntil(
            [this] {
                return !findUnder(home() + "/WJT", [](const std::filesystem::path& path) {
                            return path.filename() == "MP4";
                        }).empty();
            },
            30000);
    }

    // Files and folders under `root` that `match` accepts.
    static std::vector<std::filesystem::path>
    findUnder(const std::string& root,
              const std::function<bool(const std::filesystem::path&)>& match) {
        std::vector<std::filesystem::path> found;
        std::error_code error;
        for (auto it = std::filesystem::recursive_directory_iterator(root, error);
             !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error))
            if (match(it->path()))
                found.push_back(it->path());
        return found;
    }

private:
    QTemporaryDir dir_;
    QProcess process_;
};

