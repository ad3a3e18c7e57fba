#include "platform/AppPaths.h"

#include <cstdlib>
#include <filesystem>
#include <mutex>

namespace {
std::mutex settingsMutex;
QString settingsOverride;
std::string applicationFolderOverride;
} // namespace

std::string AppPaths::dataRoot() {
    const char* home = std::getenv("HOME");
    std::string root = (home && *home) ? home : ".";
    if (root.back() != '/')
        root += '/';
    return root + "WJT/";
}

std::string AppPaths::applicationFolder() {
    {
        std::lock_guard lock(settingsMutex);
        if (!applicationFolderOverride.empty())
            return applicationFolderOverride;
    }
    std::error_code error;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        return "./";
    std::string folder = exe.parent_path().string();
    if (folder.empty() || folder.back() != '/')
        folder += '/';
    return folder;
}

void AppPaths::setApplicationFolder(const std::string& folder) {
    std::lock_guard lock(settingsMutex);
    applicationFolderOverride = folder;
    if (!applicationFolderOverride.empty() && applicationFolderOverride.back() != '/')
        applicationFolderOverride += '/';
}

QString AppPaths::settingsFile() {
    {
        std::lock_guard lock(settingsMutex);
        if (!settingsOverride.isEmpty())
            return settingsOverride;
    }
    return QString::fromStdString(applicationFolder()) + QStringLiteral("TavrinSD.INI");
}

void AppPaths::setSettingsFile(const QString& path) {
    std::lock_guard lock(settingsMutex);
    settingsOverride = path;
}

std::string AppPaths::languagesFolder() {
    return applicationFolder() + "Languages/";
}
