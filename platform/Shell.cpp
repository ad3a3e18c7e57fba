#include "platform/Shell.h"

#include <QDesktopServices>
#include <QProcess>
#include <QUrl>

namespace {

class DesktopShell : public ShellProvider {
public:
    bool openFolder(const QString& folder) override {
        return QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
    }
    bool startProgram(const QString& program, const QStringList& arguments) override {
        return QProcess::startDetached(program, arguments);
    }
};

DesktopShell desktopShell;
ShellProvider* current = &desktopShell;

} // namespace

bool Shell::openFolder(const QString& folder) {
    return current->openFolder(folder);
}

bool Shell::startProgram(const QString& program, const QStringList& arguments) {
    return current->startProgram(program, arguments);
}

void Shell::install(ShellProvider* provider) {
    current = provider ? provider : &desktopShell;
}
