// The learner's keyboard layout, under a real X server whose layout bench/layouts.sh sets:
//  - reading the layout at start (the X server's layout name, then the keys of the layout):
//    on every start but the first in a layout, which reads the kept copy, and on the first,
//    which compiles the keymap with libxkbcommon and keeps it: done at once, and as start-up
//    waits for it, the keymap compiled while the program starts;
//  - drawing the Keys practice keyboard in that layout against the US one;
//  - generating the sixteen key lessons (the word lists read, the texts built), and the whole
//    of preparing them in a new folder (written too) and in one that has them already.
// Usage: bench_layouts PROGRAM_FOLDER   (QT_QPA_PLATFORM=xcb, DISPLAY set)

#include "app/start_up.h"
#include "bench_support.h"
#include "keys/model/key_lesson_plan.h"
#include "keys/ui/keys_keyboard.h"
#include "platform/keyboard_choice.h"
#include "platform/xkb_keyboard.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

// Milliseconds of each of `runs` calls of `work`, after `prepare` (not timed) before each.
std::vector<double> timed(int runs, const std::function<void()>& work,
                          const std::function<void()>& prepare = {}) {
    std::vector<double> ms;
    QElapsedTimer clock;
    for (int i = 0; i < runs; ++i) {
        if (prepare)
            prepare();
        clock.start();
        work();
        ms.push_back(clock.nsecsElapsed() / 1e6);
    }
    return ms;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_layouts PROGRAM_FOLDER\n");
        return 2;
    }
    const QString name = XkbKeyboard::activeLayoutName();
    std::printf("layout %s (libxkbcommon %s)\n", qPrintable(name.isEmpty() ? "none" : name),
                XkbKeyboard::available() ? "in use" : "missing");
    QTemporaryDir dir;
    Bench::copyProgramFolder(argv[1], dir.path());
    const ProgramFolder folder(dir.path());
    const QString kept = folder.path(KeyboardChoice::kCacheFile);

    Bench::report("  the X server's layout name, ms",
                  timed(200, [] { XkbKeyboard::activeLayoutName(); }));
    KeyboardLayout layout = KeyboardLayout::us();
    auto load = [&] {
        KeyboardChoice choice(folder);
        choice.load();
        layout = choice.layout();
    };
    Bench::report("  reading the layout at a later start (the kept copy), ms", timed(200, load));
    Bench::report("  reading the layout at a first start, done at once (compiled, kept), ms",
                  timed(50, load, [&] { QFile::remove(kept); }));
    // At a first start the program goes on with its start while the keymap is compiled, and
    // asks for the layout as its first window is built: what start-up waits for is the reading
    // started, and what is left of it then. Measured beside a real start of the program (in a
    // folder of its own, whose layout is kept already), as long as the start takes.
    QTemporaryDir programDir;
    Bench::copyProgramFolder(argv[1], programDir.path());
    const ProgramFolder programFolder(programDir.path());
    {
        KeyboardChoice warm(programFolder);
        warm.load();
        warm.layout();
    }
    std::vector<double> waited, started, built, cpu;
    for (int i = 0; i < 20; ++i) {
        QFile::remove(kept);
        KeyboardChoice choice(folder);
        QElapsedTimer clock;
        clock.start();
        double cpu0 = Bench::threadCpuMs();
        choice.load();
        started.push_back(clock.nsecsElapsed() / 1e6);
        double cpuUsed = Bench::threadCpuMs() - cpu0;
        clock.start();
        auto program = startProgram(programFolder);
        built.push_back(clock.nsecsElapsed() / 1e6);
        clock.start();
        cpu0 = Bench::threadCpuMs();
        layout = choice.layout();
        waited.push_back(started.back() + clock.nsecsElapsed() / 1e6);
        cpu.push_back(cpuUsed + Bench::threadCpuMs() - cpu0);
        program.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    Bench::report("    the reading started, ms", started);
    Bench::report("    meanwhile, the program started, ms", built);
    Bench::report("  reading the layout at a first start, as start-up waits for it, ms", waited);
    Bench::report("    of which the start's own processor time, ms", cpu);
    if (!name.isEmpty())
        Bench::report("  of the first start: compiling the keymap, ms",
                      timed(50, [&] { XkbKeyboard::compile(name); }));
    std::printf("  the layout read: %s, %s\n", qPrintable(layout.name()),
                layout.isUs() ? "the US keys" : "keys of its own");

    const QSize size(695, 223);
    Bench::report("  drawing the keyboard, US caps, ms",
                  timed(20, [&] { KeysPictures::draw(KeysPictures::Role::Base, size, 1.0); }));
    Bench::report("  drawing the keyboard, this layout's caps, ms", timed(20, [&] {
                      KeysPictures::draw(KeysPictures::Role::Base, size, 1.0, layout);
                  }));

    if (layout.isUs()) {
        std::printf("  no lessons to generate: the US layout keeps the shipped ones\n");
        return 0;
    }
    QStringList lessons;
    Bench::report("  generating the sixteen lessons (word lists read, texts built), ms",
                  timed(30, [&] {
                      lessons = KeyLessonPlan::build(layout, KeyLessonPlan::readWords(folder));
                  }));
    const QString lessonDir = folder.path(KeyLessonPlan::lessonFolder(layout));
    Bench::report("  preparing them in a new folder (generated and written), ms",
                  timed(
                      30, [&] { KeyLessonPlan::prepare(folder, layout); },
                      [&] { QDir(lessonDir).removeRecursively(); }));
    Bench::report("  preparing them where they are kept, ms",
                  timed(200, [&] { KeyLessonPlan::prepare(folder, layout); }));
    qsizetype characters = 0;
    for (const QString& lesson : lessons)
        characters += lesson.size();
    std::printf("  %lld lessons, %lld characters\n", qlonglong(lessons.size()),
                qlonglong(characters));
    return 0;
}
