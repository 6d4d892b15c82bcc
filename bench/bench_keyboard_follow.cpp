// The learner's keyboard read and followed while the program runs, on the window system it is
// started on (bench/keyboard_follow.sh runs it under Xvfb and under a headless sway whose
// keyboard has a German keymap):
//  - reading the keyboard at start, as start-up does it before the first window (on Wayland:
//    the connection of our own, the wait for the compositor's keymap and the layout, kept from
//    the start before), against the same start with no system to ask;
//  - following a change while Keys practice is open, under X11 from the X server's word
//    after setxkbmap, and from the new keymap's text as a compositor hands it over, to
//    the Keys window drawn again in it: the keymap compiled, the lessons built (their folder
//    taken away before each change) or kept, the lesson started again.
// Usage: bench_keyboard_follow PROGRAM_FOLDER

#include "app/app_navigator.h"
#include "app/start_up.h"
#include "bench_support.h"
#include "core/state_file.h"
#include "keys/model/key_lesson_plan.h"
#include "keys/ui/keys_window.h"
#include "platform/keyboard_choice.h"
#include "platform/keyboard_watch.h"
#include "xkb_keymaps.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <vector>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_keyboard_follow PROGRAM_FOLDER\n");
        return 2;
    }
    QTemporaryDir dir;
    Bench::copyProgramFolder(argv[1], dir.path());
    const ProgramFolder folder(dir.path());
    std::printf("on %s\n", qPrintable(QGuiApplication::platformName()));

    // --- reading the keyboard at start ---
    KeyboardLayout read = KeyboardLayout::us();
    {
        KeyboardChoice first(folder); // the first start: compiled and kept
        KeyboardWatch watch(first);
        watch.load();
        read = first.layout();
    }
    std::vector<double> watched, plain;
    for (int i = 0; i < 50; ++i) {
        QElapsedTimer clock;
        clock.start();
        {
            KeyboardChoice choice(folder);
            KeyboardWatch watch(choice);
            watch.load();
            read = choice.layout();
            watched.push_back(clock.nsecsElapsed() / 1e6);
        }
        clock.start();
        KeyboardChoice none(folder, KeyboardChoice::Source{});
        none.load();
        none.layout();
        plain.push_back(clock.nsecsElapsed() / 1e6);
    }
    std::printf("  the layout read at start: %s\n", qPrintable(read.name()));
    Bench::report("  reading the keyboard at start (a later start), ms", watched);
    Bench::report("  the same with no system to ask, ms", plain);

    // --- following a change with Keys practice open ---
    StateFile::writeLine(folder.path(QStringLiteral("\\sz0.txt")), QStringLiteral("1000"));
    auto program = startProgram(folder);
    program->navigator->navigate(program->navigator->current(), Navigator::KeysEntry);
    auto* keys = qobject_cast<KeysWindow*>(program->navigator->current());
    QCoreApplication::processEvents();
    std::vector<double> cpu; // the processor time of the last changes followed
    // Under X11: setxkbmap, then the X server's word read as the program reads it.
    if (QGuiApplication::platformName() == u"xcb") {
        std::vector<double> ms;
        const QStringList layouts = {QStringLiteral("fr"), QStringLiteral("de")};
        for (int i = 0; i < 20; ++i) {
            QProcess::execute(QStringLiteral("setxkbmap"), {layouts[i % 2]});
            for (const char* name : {"1-fr", "1-de"})
                QDir(folder.path(QStringLiteral("\\") + QLatin1String(name))).removeRecursively();
            QElapsedTimer clock;
            clock.start();
            const double cpu0 = Bench::threadCpuMs();
            program->keyboard->systemChanged();
            keys->grab();
            ms.push_back(clock.nsecsElapsed() / 1e6);
            cpu.push_back(Bench::threadCpuMs() - cpu0);
            QCoreApplication::processEvents();
        }
        Bench::report("  following setxkbmap (the X server asked), lessons built anew, ms", ms);
        Bench::report("    of which the program's own processor time, ms", cpu);
    }
    const QList<QByteArray> keymaps = {keymapText("fr", ""), keymapText("us", "dvorak"),
                                       keymapText("de", "")};
    auto follow = [&](int runs, bool buildLessons) {
        std::vector<double> ms;
        cpu.clear();
        for (int i = 0; i < runs; ++i) {
            const QByteArray& keymap = keymaps[i % keymaps.size()];
            if (buildLessons) {
                for (const char* name : {"1-fr", "1-us-dvorak", "1-de"})
                    QDir(folder.path(QStringLiteral("\\") + QLatin1String(name)))
                        .removeRecursively();
            }
            QElapsedTimer clock;
            clock.start();
            const double cpu0 = Bench::threadCpuMs();
            program->keyboard->keymapChanged(keymap);
            keys->grab(); // drawn in the new layout
            ms.push_back(clock.nsecsElapsed() / 1e6);
            cpu.push_back(Bench::threadCpuMs() - cpu0);
            QCoreApplication::processEvents();
        }
        return ms;
    };
    // Keymaps the program has not seen: each compiled as it comes, its lessons built.
    std::vector<double> unseen;
    for (const auto& [layout, variant] : {std::pair{"gb", ""},
                                          {"es", ""},
                                          {"it", ""},
                                          {"se", ""},
                                          {"pt", ""},
                                          {"pl", ""},
                                          {"de", "nodeadkeys"},
                                          {"fr", "oss"},
                                          {"us", "colemak"},
                                          {"br", ""},
                                          {"be", ""}}) {
        const QByteArray keymap = keymapText(layout, variant);
        QElapsedTimer clock;
        clock.start();
        program->keyboard->keymapChanged(keymap);
        keys->grab();
        unseen.push_back(clock.nsecsElapsed() / 1e6);
        QCoreApplication::processEvents();
    }
    Bench::report("  following a keymap new to the program (compiled, lessons built), ms", unseen);
    follow(3, false); // each keymap compiled once, as at its first change
    std::printf("  now: %s, line \"%s\"\n", qPrintable(keys->exercise().layout().name()),
                qPrintable(keys->exercise().currentLine()));
    Bench::report("  following another keymap, lessons built anew, ms", follow(30, true));
    Bench::report("    of which the program's own processor time, ms", cpu);
    Bench::report("  following another keymap, lessons kept, ms", follow(30, false));
    Bench::report("    of which the program's own processor time, ms", cpu);

    return 0;
}
