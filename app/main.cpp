// Tesral, the desktop program.

#include <QApplication>
#include <cstdio>
#include <cstdlib>

#include "app/main_window.h"
#include "app/program_folder.h"

int main(int argc, char** argv) {
#if defined(Q_OS_LINUX)
    // Without any display Qt would abort; say so in one line instead.
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY") &&
        !std::getenv("QT_QPA_PLATFORM")) {
        std::fputs("tesral: no display; use tesral-cli to run without one\n", stderr);
        return 1;
    }
#endif
    tesral::reportWriteSignalsAsErrors();
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tesral"));
    tesral::MainWindow window;
    window.show();
    return QApplication::exec();
}
