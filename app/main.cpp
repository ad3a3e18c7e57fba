#include "platform/DataPaths.h"
#include "platform/NumericLocale.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char* argv[]) {
    // The day's folders are fixed from the date at start, before anything else runs.
    BuildDataPaths();
    QApplication application(argc, argv);
    ResetNumericLocale();
    QApplication::setApplicationDisplayName(QStringLiteral("Tavrin SD"));

    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Tavrin SD"));
    window.resize(1024, 700);
    window.show();
    return application.exec();
}
