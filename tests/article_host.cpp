// The program as it starts, switched to Article practice (or, given "keys" after the folder,
// to Keys practice) the way the banner's entry switches it, on the program folder given as its
// argument. The hostile-files test runs it: it prints the window's caption once the window is
// up (for Keys practice, once its keyboard pictures are all loaded or written), and closes the
// window, saving the place, on SIGTERM as the program does. Given "keys-caps", it prints
// instead what the Keys keyboard drew on each key, a line each (index, label, shifted label),
// and ends: the layouts' end-to-end run reads the keyboard the window drew. Given
// "keys-follow", it stays in Keys practice and prints a line each time the keyboard changes
// (and once at first): "follow <ms since the epoch>\t<home row caps>\t<line due>\t<note>".

#include "app/app_navigator.h"
#include "app/start_up.h"
#include "app/termination.h"
#include "core/keyboard_table.h"
#include "keys/ui/keys_keyboard.h"
#include "keys/ui/keys_window.h"
#include "platform/keyboard_choice.h"

#include <QApplication>
#include <QDateTime>
#include <QLabel>
#include <QTimer>
#include <cstdio>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: article_host PROGRAM_FOLDER [keys | keys-caps]\n");
        return 2;
    }
    const bool caps = argc > 2 && QByteArray(argv[2]) == "keys-caps";
    const bool follow = argc > 2 && QByteArray(argv[2]) == "keys-follow";
    const bool keys = caps || follow || (argc > 2 && QByteArray(argv[2]) == "keys");
    const auto program = startProgram(ProgramFolder(QString::fromLocal8Bit(argv[1])));
    AppNavigator& navigator = *program->navigator;
    const Termination termination([&navigator] {
        navigator.setUnattended();
        if (navigator.current())
            navigator.window()->close();
        else
            QCoreApplication::exit(0);
    });
    // The keyboard as the Keys window shows it now.
    auto followed = [&navigator] {
        const auto* window = qobject_cast<const KeysWindow*>(navigator.current());
        if (!window)
            return;
        QStringList home;
        for (int code : {65, 83, 68, 70, 74, 75, 76, 186})
            home << KeysPictures::capOf(code, window->keyboard()->keyboardLayout()).label;
        const auto* note = window->findChild<QLabel*>(QStringLiteral("KeyNote"));
        std::printf("follow %lld\t%s\t%s\t%s\n", QDateTime::currentMSecsSinceEpoch(),
                    qPrintable(home.join(u' ')), qPrintable(window->exercise().currentLine()),
                    qPrintable(note && note->isVisible() ? note->text() : QString()));
        std::fflush(stdout);
    };
    auto report = [&navigator, caps, follow, followed, &program] {
        std::printf("shown: %s\n", qPrintable(navigator.window()->windowTitle()));
        if (follow) {
            followed();
            // After the window has followed the change: it was told first.
            QObject::connect(program->keyboard.get(), &KeyboardChoice::layoutChanged,
                             navigator.current(), followed);
            return;
        }
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
