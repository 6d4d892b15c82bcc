#include "app/app_navigator.h"
#include "app/start_up.h"
#include "app/termination.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
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
