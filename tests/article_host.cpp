// The program as it starts, switched to Article practice (or, given "keys" after the folder,
// to Keys practice) the way the banner's entry switches it, on the program folder given as its
// argument. The hostile-files test runs it: it prints the window's caption once the window is
// up (for Keys practice, once its keyboard pictures are all loaded or written), and closes the
// window, saving the place, on SIGTERM as the program does.

#include "app/app_navigator.h"
#include "app/start_up.h"
#include "app/termination.h"
#include "keys/ui/keys_keyboard.h"

#include <QApplication>
#include <QTimer>
#include <cstdio>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: article_host PROGRAM_FOLDER [keys]\n");
        return 2;
    }
    const bool keys = argc > 2 && QByteArray(argv[2]) == "keys";
    const auto program = startProgram(ProgramFolder(QString::fromLocal8Bit(argv[1])));
    AppNavigator& navigator = *program->navigator;
    const Termination termination([&navigator] {
        navigator.setUnattended();
        if (navigator.current())
            navigator.window()->close();
        else
            QCoreApplication::exit(0);
    });
    auto report = [&navigator] {
        std::printf("shown: %s\n", qPrintable(navigator.window()->windowTitle()));
        std::fflush(stdout);
    };
    QTimer ready; // Keys practice: till its keyboard has every picture
    QTimer::singleShot(0, &app, [&] {
        navigator.navigate(navigator.current(),
                           keys ? Navigator::KeysEntry : Navigator::ArticlesEntry);
        if (!keys) {
            QTimer::singleShot(0, navigator.current(), report);
            return;
        }
        QObject::connect(&ready, &QTimer::timeout, &app, [&] {
            const auto* keyboard = navigator.current()->findChild<KeysKeyboard*>();
            if (keyboard && keyboard->picturesComplete()) {
                ready.stop();
                report();
            }
        });
        ready.start(10);
    });
    return QApplication::exec();
}
