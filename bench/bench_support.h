#pragma once

// Shared bits of the benchmarks: processor time, percentiles, idle spells and a scratch copy
// of the program folder.

#include <QApplication>
#include <QEventLoop>
#include <QKeyEvent>
#include <QProcess>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <sys/resource.h>
#include <vector>

namespace Bench {

// Seconds of processor time this process has used, user and system.
inline double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Milliseconds of processor time this thread has used: unlike the wall clock it leaves out
// the time other programs on a busy machine take the processor away.
inline double threadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

inline double percentile(std::vector<double> values, double p) {
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, size_t(p * (values.size() - 1) + 0.5))];
}

// Prints the median and 99th percentile of a set of timings.
inline void report(const char* what, const std::vector<double>& ms) {
    std::printf("%s median=%.3f p99=%.3f (n=%zu)\n", what, percentile(ms, 0.5),
                percentile(ms, 0.99), ms.size());
}

// Seconds of processor time used while the event loop runs for `ms` milliseconds.
inline double cpuSecondsOver(int ms) {
    const double cpu0 = cpuSeconds();
    QEventLoop loop; // a plain event loop: QTest::qWait would poll every 10 ms
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
    return cpuSeconds() - cpu0;
}

// Copies the program folder's contents into `to`, so that the run leaves the original alone.
inline void copyProgramFolder(const char* from, const QString& to) {
    QProcess::execute(
        QStringLiteral("cp"),
        {QStringLiteral("-r"), QString::fromLocal8Bit(from) + QStringLiteral("/."), to});
}

// One key pressed and released on `target`, as the keyboard sends it.
inline void press(QWidget* target, int key, const QString& text) {
    QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier, text);
    QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(target, &down);
    QApplication::sendEvent(target, &up);
}

// The key of a character typed: its capital's code, which for a space is Qt::Key_Space.
inline void type(QWidget* target, QChar c) {
    press(target, c.toUpper().unicode(), QString(c));
}

// Counts the frames of the window it watches: the update passes that paint what changed
// and hand it to the window system.
class FrameCount : public QObject {
  public:
    int frames = 0;

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::UpdateRequest)
            ++frames;
        return false;
    }
};

} // namespace Bench
