#include "app/app_navigator.h"
#include "app/start_up.h"
#include "app/termination.h"

#include <QApplication>

#ifdef TUTOR_HAVE_FONTCONFIG
#include <fontconfig/fontconfig.h>
#include <thread>
#endif

int main(int argc, char* argv[]) {
    // The first text the window lays out has fontconfig read its configuration, tens of XML
    // files. Read on a second thread while Qt starts up, it is ready when the window is built.
#ifdef TUTOR_HAVE_FONTCONFIG
    std::thread fonts([] { FcInit(); });
    QApplication app(argc, argv);
    fonts.join();
#else
    QApplication app(argc, argv);
#endif
    QApplication::setApplicationName(QStringLiteral("Zephkin"));
    // Ties the windows to the menu entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.zephkin"));
    const auto program = startProgram(ProgramFolder::ofExecutable());
    // Asked to stop from outside: close the window as its close button would, so the
    // learner's place is saved.
    const Termination termination([&program] {
        program->navigator->setUnattended();
        if (program->navigator->current())
            program->navigator->window()->close();
        else
            QCoreApplication::exit(0);
    });
    return QApplication::exec();
}
