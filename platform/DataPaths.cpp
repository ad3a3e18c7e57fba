#include "platform/DataPaths.h"

#include "platform/AppPaths.h"
#include "platform/Clock.h"
#include "platform/DateTimeText.h"
#include "platform/Dialogs.h"

#include <filesystem>

std::string DayFolder;
std::string ProjectFolder;
std::string LogFolder;
std::string XyzFolder;
std::string SvpFolder;
std::string TodayText;
std::string CoordinatesLogPath;

void BuildDataPaths() {
    const std::string root = AppPaths::dataRoot();
    const std::string d = TodayString();
    ProjectFolder = root + d + "/WJT/";
    LogFolder = root + d + "/LOG/";
    XyzFolder = root + d + "/XYZ/";
    DayFolder = root + d + "/";
    SvpFolder = root + d + "/SVP/";
    TodayText = d;
    CoordinatesLogPath = LogFolder + d + " Coordinates.csv";
}

std::string TodayString() {
    return DateText(Clock::now());
}

std::string TimeStampHHMM() {
    return HourMinuteText(Clock::now());
}

void CreateDataFolders() {
    namespace fs = std::filesystem;
    const std::string root = AppPaths::dataRoot();
    const std::string d = TodayString();
    const std::string folders[] = {
        root, root + d, root + d + "/WJT", root + d + "/LOG", root + d + "/SVP",
    };
    // The message names the folder that failed, as it is on this computer.
    std::string current = root;
    try {
        for (const std::string& folder : folders) {
            current = folder;
            // exists() throws when the folder's state cannot be read at all; that is the error
            // worth a message. A folder that simply cannot be made is passed over.
            if (!fs::exists(folder)) {
                std::error_code ignored;
                fs::create_directory(folder, ignored);
            }
        }
    } catch (const std::exception&) {
        Dialogs::showError(QStringLiteral("Cannot create log folder %1. Check if you are "
                                          "authorized to create a folder at this address.")
                               .arg(QString::fromStdString(current)));
    }
}
