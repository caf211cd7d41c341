// The desktop program: builds the production ports and shows the main window.

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QTranslator>
#include <csignal>
#include <cstring>
#include <iostream>

#include "app/frmMain.h"
#include "app/qt_photo_viewer.h"
#include "shell/qt_services.h"

int main(int argc, char* argv[]) {
    // Answered before the windowing system is touched, so it works without a display.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::cout << "skyrell " << skyrell::ProgramVersion() << '\n';
            return 0;
        }
    }
    // A write past the file-size limit fails with a message instead of the
    // signal ending the program with a temporary file left behind.
    std::signal(SIGXFSZ, SIG_IGN);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Skyrell"));
    QApplication::setApplicationVersion(QString::fromLatin1(skyrell::ProgramVersion()));
    QApplication::setDesktopFileName(QStringLiteral("skyrell"));
    // Every text of the program is Chinese, so the standard buttons and
    // dialogs of Qt speak Chinese too, whatever the desktop's language.
    QTranslator qtTexts;
    if (qtTexts.load(QStringLiteral("qtbase_zh_CN"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);

    skyrell::QtDialogs dialogs;
    skyrell::QtDesktop desktop;
    skyrell::SystemClock clock;
    skyrell::InstalledAppFolder appFolder(skyrell::ExecutableFolder());
    skyrell::BuiltInPhotoViewer photoViewer;
    skyrell::Services services{dialogs, desktop, clock, appFolder, &photoViewer};

    skyrell::frmMain window(services);
    QIcon icon;
    for (const int size : {16, 32, 48, 64})
        icon.addFile(QStringLiteral(":/icons/skyrell-%1.png").arg(size), QSize(size, size));
    window.setWindowIcon(icon);
    window.show();
    return app.exec();
}
