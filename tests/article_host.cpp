// The program as it starts, switched to Article practice (or, given "keys" after the folder,
// to Keys practice) the way the banner's entry switches it, on the program folder given as its
// argument. The hostile-files test runs it: it prints the window's caption once the window is
// up (for Keys practice, once its keyboard pictures are all loaded or written), and closes the
// window, saving the place, on SIGTERM as the program does. Given "keys-caps", it prints
// instead what the Keys keyboard drew on each key, a line each (index, label, shifted label),
// and ends: the layouts' end-to-end run reads the keyboard the window drew.

#include "app/app_navigator.h"
#include "app/start_up.h"
#include "app/termination.h"
#include "core/keyboard_table.h"
#include "keys/ui/keys_keyboard.h"

#include <QApplication>
#include <QTimer>
#include <cstdio>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: article_host PROGRAM_FOLDER [keys | keys-caps]\n");
        return 2;
    }
    const bool caps = argc > 2 && QByteArray(argv[2]) == "keys-caps";
    const bool keys = caps || (argc > 2 && QByteArray(argv[2]) == "keys");
    const auto program = startProgram(ProgramFolder(QString::fromLocal8Bit(argv[1])));
    AppNavigator& navigator = *program->navigator;
    const Termination termination([&navigator] {
        navigator.setUnattended();
        if (navigator.current())
            navigator.window()->close();
        else
            QCoreApplication::exit(0);
    });
    auto report = [&navigator, caps] {
        std::printf("shown: %s\n", qPrintable(navigator.window()->windowTitle()));
        if (caps) {
            const auto* keyboard = navigator.current()->findChild<KeysKeyboard*>();
            for (const KeyboardTable::Place& place : KeyboardTable::keysKeyboardLabels()) {
                const KeysPictures::Cap cap =
                    KeysPictures::capOf(place.code, keyboard->keyboardLayout());
                std::printf("%d\t%s\t%s\n", place.index, qPrintable(cap.label),
                            qPrintable(cap.shifted));
            }
            std::fflush(stdout);
            QCoreApplication::exit(0);
            return;
        }
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
