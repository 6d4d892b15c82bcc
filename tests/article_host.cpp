// The program as it starts, switched to Article practice the way the banner's entry switches
// it, on the program folder given as its argument. The hostile-files test runs it: it prints
// the Article window's caption once the window is up, and closes the window, saving the place,
// on SIGTERM as the program does.

#include "app/app_navigator.h"
#include "app/start_up.h"
#include "app/termination.h"

#include <QApplication>
#include <QTimer>
#include <cstdio>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: article_host PROGRAM_FOLDER\n");
        return 2;
    }
    const auto program = startProgram(ProgramFolder(QString::fromLocal8Bit(argv[1])));
    AppNavigator& navigator = *program->navigator;
    const Termination termination([&navigator] {
        if (navigator.current())
            navigator.window()->close();
        else
            QCoreApplication::exit(0);
    });
    QTimer::singleShot(0, &app, [&navigator] {
        navigator.navigate(navigator.current(), Navigator::ArticlesEntry);
        QTimer::singleShot(0, navigator.current(), [&navigator] {
            std::printf("shown: %s\n", qPrintable(navigator.window()->windowTitle()));
            std::fflush(stdout);
        });
    });
    return QApplication::exec();
}
