// The desktop program: builds the production ports and shows the main window.

#include <QApplication>
#include <csignal>

#include "app/frmMain.h"
#include "shell/qt_services.h"

int main(int argc, char* argv[]) {
    // A write past the file-size limit fails with a message instead of the
    // signal ending the program with a temporary file left behind.
    std::signal(SIGXFSZ, SIG_IGN);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Skyrell"));
    QApplication::setApplicationVersion(QStringLiteral("1.0"));

    skyrell::QtDialogs dialogs;
    skyrell::QtDesktop desktop;
    skyrell::SystemClock clock;
    skyrell::InstalledAppFolder appFolder(skyrell::ExecutableFolder());
    skyrell::Services services{dialogs, desktop, clock, appFolder};

    skyrell::frmMain window(services);
    window.show();
    return app.exec();
}
