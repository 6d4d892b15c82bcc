// Keys practice at the keyboard, offscreen:
//  - one keystroke, from its press and release to the finished repaint of what it changed
//    (keyboard marks, practice line, typed row, status bar): median and 99th percentile over
//    10,000 keystrokes, every tenth one wrong;
//  - the CPU the window uses in 10 s sitting idle, and in 10 s with its clock running.
// Usage: bench_keys PROGRAM_FOLDER

#include "bench_support.h"
#include "keys/ui/keys_window.h"
#include "core/state_file.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// Counts the paint events, to show that each keystroke really repainted something.
struct PaintCounter : QObject {
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

void press(QWidget* target, QChar c) {
    const int key = c == u' ' ? int(Qt::Key_Space) : int(c.toUpper().unicode());
    const quint32 scan = 8 + (key & 0xff);
    QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier, scan, 0, 0, QString(c));
    QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier, scan, 0, 0, QString(c));
    QApplication::sendEvent(target, &down);
    QApplication::sendEvent(target, &up);
}

} // namespace

int main(int argc, char* argv[]) {
    // Repaints go out at once instead of 5 ms later, so that a keystroke's repaint can be timed.
    qputenv("QT_QPA_UPDATE_IDLE_TIME", "0");
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_keys PROGRAM_FOLDER\n");
        return 2;
    }
    QTemporaryDir dir;
    Bench::copyProgramFolder(argv[1], dir.path());
    StateFile::writeLine(dir.path() + QStringLiteral("/sz0.txt"), QStringLiteral("1005"));

    AppContext context; // no platform: the lesson-end prompt answers Cancel and starts again
    context.folder = ProgramFolder(dir.path());
    KeysWindow window(context);
    window.setAttribute(Qt::WA_DeleteOnClose, false);
    window.show();
    QTest::qWait(300);
    auto* input = window.findChild<QLineEdit*>(QStringLiteral("Text1"));
    PaintCounter counter;
    for (QWidget* w : window.findChildren<QWidget*>())
        w->installEventFilter(&counter);

    QElapsedTimer clock;
    clock.start();
    std::vector<double> costs;
    costs.reserve(10000);
    std::vector<double> plainCosts, lineCosts, cpuCosts;
    for (int n = 0; costs.size() < 10000; ++n) {
        const QString expected = window.exercise().expectedChar();
        const QChar c =
            n % 10 == 9 ? QChar(u'#') : (expected.isEmpty() ? QChar(u'a') : expected[0]);
        const int line = window.exercise().lineNumber();
        const qint64 t0 = clock.nsecsElapsed();
        const double cpu0 = Bench::threadCpuMs();
        press(input, c);
        QCoreApplication::processEvents();
        costs.push_back((clock.nsecsElapsed() - t0) / 1e6);
        cpuCosts.push_back(Bench::threadCpuMs() - cpu0);
        (window.exercise().lineNumber() != line ? lineCosts : plainCosts).push_back(costs.back());
    }
    std::printf("  within a line median=%.3f p99=%.3f; new line median=%.3f p99=%.3f (n=%zu)\n",
                Bench::percentile(plainCosts, 0.5), Bench::percentile(plainCosts, 0.99),
                Bench::percentile(lineCosts, 0.5), Bench::percentile(lineCosts, 0.99),
                lineCosts.size());
    if (qEnvironmentVariableIsSet("BENCH_DUMP")) {
        std::vector<double> sorted = costs;
        std::sort(sorted.begin(), sorted.end());
        for (double p : {0.9, 0.95, 0.98, 0.985, 0.99, 0.995, 0.999})
            std::printf("  p%.1f=%.3f\n", p * 100, Bench::percentile(costs, p));
    }
    std::printf("keys keystroke_to_repaint_ms median=%.3f p99=%.3f (n=%zu, %.1f paints each)\n",
                Bench::percentile(costs, 0.5), Bench::percentile(costs, 0.99), costs.size(),
                counter.paints / double(costs.size()));
    std::printf("keys keystroke_cpu_ms median=%.3f p99=%.3f\n", Bench::percentile(cpuCosts, 0.5),
                Bench::percentile(cpuCosts, 0.99));

    // Idle: the clock stopped by Pause, nothing typed. Then the clock running.
    press(input, QChar(u'\0'));
    QKeyEvent pauseDown(QEvent::KeyPress, Qt::Key_Pause, Qt::NoModifier);
    QKeyEvent pauseUp(QEvent::KeyRelease, Qt::Key_Pause, Qt::NoModifier);
    QApplication::sendEvent(input, &pauseDown);
    QApplication::sendEvent(input, &pauseUp);
    if (qEnvironmentVariableIsSet("BENCH_NO_BLINK"))
        QApplication::setCursorFlashTime(0);
    const double idle = Bench::cpuSecondsOver(10000);
    std::printf("keys idle_cpu over 10 s: %.1f ms CPU (%.3f %%)\n", idle * 1000, idle * 10);
    press(input, window.exercise().expectedChar().isEmpty() ? QChar(u'a')
                                                            : window.exercise().expectedChar()[0]);
    const double running = Bench::cpuSecondsOver(10000);
    std::printf("keys clock_running_cpu over 10 s: %.1f ms CPU (%.3f %%), clock %s\n",
                running * 1000, running * 10, qPrintable(window.exercise().timeText()));
    return 0;
}
