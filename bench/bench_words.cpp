// Word practice at the keyboard, offscreen:
//  - the cost of one keystroke, from the key event to the finished repaint of the window
//    (median and 99th percentile over 10,000 keystrokes);
//  - the delay from a keystroke to the call of PlayWave;
//  - the CPU the window uses while it sits idle for 10 s.
// Usage: bench_words PROGRAM_FOLDER

#include "bench_support.h"
#include "platform/sound_player.h"
#include "core/state_file.h"
#include "words/ui/word_window.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <vector>

namespace {

class TimedSound final : public SoundPlayer {
  public:
    QElapsedTimer* clock = nullptr;
    QEventLoop* waiting = nullptr;
    qint64 lastPlay = -1;
    void preload(const QString&) override {}
    void PlayWave(const QString&) override {
        lastPlay = clock->nsecsElapsed();
        if (waiting)
            waiting->quit();
    }
};

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_words PROGRAM_FOLDER\n");
        return 2;
    }
    QTemporaryDir dir;
    Bench::copyProgramFolder(argv[1], dir.path());
    StateFile::writeLine(dir.path() + QStringLiteral("/sz1.txt"),
                         QStringLiteral("1100001Lesson 1"));

    QElapsedTimer clock;
    clock.start();
    TimedSound sound;
    sound.clock = &clock;
    AppContext context;
    context.folder = ProgramFolder(dir.path());
    context.sound = &sound;
    WordWindow window(context);
    window.setAttribute(Qt::WA_DeleteOnClose, false);
    window.show();
    QTest::qWait(200);
    auto* input = window.findChild<QLineEdit*>(QStringLiteral("Text1"));

    // Keystrokes: type each word right, then Space; every tenth character wrong.
    std::vector<double> costs;
    costs.reserve(10000);
    int n = 0;
    while (costs.size() < 10000) {
        const QString word = window.exercise().targetWord();
        for (qsizetype i = 0; i <= word.size() && costs.size() < 10000; ++i, ++n) {
            const QChar c = i == word.size() ? QChar(u' ') : (n % 10 == 9 ? QChar(u'#') : word[i]);
            const qint64 t0 = clock.nsecsElapsed();
            Bench::type(input, c);
            window.repaint();
            costs.push_back((clock.nsecsElapsed() - t0) / 1e6);
            if (c == u'#') { // take the wrong character back
                QKeyEvent back(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier);
                QApplication::sendEvent(input, &back);
            }
        }
        QCoreApplication::processEvents();
    }
    std::printf("keystroke_to_repaint_ms median=%.3f p99=%.3f (n=%zu)\n", Bench::percentile(costs, 0.5),
                Bench::percentile(costs, 0.99), costs.size());

    // Keystroke to PlayWave: the event loop runs, as in the program.
    std::vector<double> delays;
    for (int i = 0; i < 50; ++i) {
        input->clear();
        QTest::qWait(30);
        sound.lastPlay = -1;
        const qint64 t0 = clock.nsecsElapsed();
        const QString word = window.exercise().targetWord();
        QEventLoop loop;
        sound.waiting = &loop;
        QTimer::singleShot(200, &loop, &QEventLoop::quit);
        Bench::type(input, word.isEmpty() ? QChar(u'a') : word[0]);
        loop.exec();
        sound.waiting = nullptr;
        if (sound.lastPlay >= 0)
            delays.push_back((sound.lastPlay - t0) / 1e6);
    }
    std::printf("keystroke_to_play_ms median=%.2f p99=%.2f (n=%zu)\n", Bench::percentile(delays, 0.5),
                Bench::percentile(delays, 0.99), delays.size());

    // Idle: ten seconds with nothing typed (the input box's cursor blinks, as it does for
    // the learner; BENCH_NO_BLINK=1 shows the cost without it).
    if (qEnvironmentVariableIsSet("BENCH_NO_BLINK"))
        QApplication::setCursorFlashTime(0);
    QTest::qWait(7000); // let the clock stop
    QElapsedTimer idle;
    idle.start();
    const double used = Bench::cpuSecondsOver(10000);
    std::printf("idle_cpu over %.1f s: %.1f ms CPU (%.3f %%)\n", idle.elapsed() / 1000.0,
                used * 1000, used * 100 / (idle.elapsed() / 1000.0));
    return 0;
}
