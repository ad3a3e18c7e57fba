#include "app/settings_windows/RefusedSettingsReport.h"

#include "platform/Dialogs.h"
#include "platform/EventLog.h"

#include <QString>

void ReportRefusedSettings(const char* window, const std::vector<std::string>& lines) {
    if (lines.empty())
        return;
    const std::string prefix = std::string(window) + ": ";
    QString message = QString::fromStdString(prefix) +
                      QStringLiteral("stored values that are not used:");
    for (const std::string& line : lines) {
        message += QLatin1Char('\n') + QString::fromStdString(line);
        AutoEventLog(prefix + line, EventsLogPath());
    }
    Dialogs::showWarning(message);
}
