// Start-up: time from entering main to the first window on screen, with and without a skin,
// and the peak memory of the process. Usage: bench_startup PROGRAM_FOLDER [skin-file]
// or bench_startup PROGRAM_FOLDER --hostile CASE (a case of tests/hostile_files.h; "--hostile
// list" names them). The program folder is copied to a temporary folder so its state files
// stay untouched.

#include "app/app_navigator.h"
#include "app/start_up.h"
#include "bench_support.h"
#include "hostile_files.h"
#include "core/state_file.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// Reports the first paint in the program's window: the start of a frame that shows the page.
class FirstPaint : public QObject {
  public:
    bool painted = false;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && watched->isWidgetType())
            painted = true;
        return false;
    }
};

} // namespace

int main(int argc, char* argv[]) {
    QElapsedTimer clock;
    clock.start();
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_startup PROGRAM_FOLDER [skin-file]\n");
        return 2;
    }
    QTemporaryDir dir;
    Bench::copyProgramFolder(argv[1], dir.path());
    QString skin = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral("Cancel theme.urf");
    if (skin == u"--hostile") {
        const QString name = argc > 3 ? QString::fromLocal8Bit(argv[3]) : QString();
        const Hostile::Case* found = nullptr;
        for (const Hostile::Case& c : Hostile::cases()) {
            if (name == QLatin1String(c.name))
                found = &c;
            else if (name == u"list")
                std::printf("%s\n", c.name);
        }
        if (!found)
            return name == u"list" ? 0 : 2;
        QTemporaryDir outside;
        found->setUp(dir.path(), outside.path());
        skin = QStringLiteral("hostile: ") + name;
    } else {
        StateFile::writeLine(dir.path() + QStringLiteral("/face.txt"), skin);
    }

    FirstPaint firstPaint;
    app.installEventFilter(&firstPaint);
    const qint64 beforeStart = clock.nsecsElapsed();
    auto program = startProgram(ProgramFolder(dir.path()));
    while (!firstPaint.painted)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    const qint64 shown = clock.nsecsElapsed();

    // Navigation: a click on an entry until the new window has painted, round the four
    // practice windows a few times.
    std::vector<double> switches;
    const int route[] = {0, 2, 3, 1};
    for (int lap = 0; lap < 5; ++lap) {
        for (int entry : route) {
            firstPaint.painted = false;
            const qint64 t0 = clock.nsecsElapsed();
            program->navigator->current()->navigationClick(entry);
            while (!firstPaint.painted)
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
            switches.push_back((clock.nsecsElapsed() - t0) / 1e6);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
    }
    std::sort(switches.begin(), switches.end());

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("skin=%s start_to_first_paint_ms=%.1f (QApplication ready at %.1f ms, "
                "startProgram to first paint %.1f ms) peak_rss_mb=%.1f\n",
                qPrintable(skin), shown / 1e6, beforeStart / 1e6, (shown - beforeStart) / 1e6,
                usage.ru_maxrss / 1024.0);
    std::printf("  navigation_switch_ms median=%.1f max=%.1f (n=%zu)\n",
                switches[switches.size() / 2], switches.back(), switches.size());
    return 0;
}
