#include "platform/ErrorBoundary.h"

#include "platform/Dialogs.h"

#include <QString>

void Abort() {
    throw SilentAbort();
}

bool ErrorBoundary::run(const std::function<void()>& handler) {
    try {
        handler();
        return true;
    } catch (const SilentAbort&) {
        return false;
    } catch (const std::exception& error) {
        Dialogs::showError(QString::fromUtf8(error.what()));
    } catch (...) {
        Dialogs::showError(QStringLiteral("Unexpected error."));
    }
    return false;
}
