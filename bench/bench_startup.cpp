// Start-up: time from entering main to the first window on screen, with and without a skin,
// and the peak memory of the process. Usage: bench_startup PROGRAM_FOLDER [skin-file]
// or bench_startup PROGRAM_FOLDER --hostile CASE (a case of tests/hostile_files.h; "--hostile
// list" names them), or bench_startup PROGRAM_FOLDER --read-only-install (the first start of an
// install that cannot be written and ships a 1 GB sparse sz1.txt and history.db: the state
// is seeded into a fresh user folder). The program folder is copied to a temporary folder so
// its state files stay untouched.

#include "app/app_navigator.h"
#include "app/start_up.h"
#include "bench_support.h"
#include "core/state_file.h"
#include "hostile_files.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

// Reports the first paint in the program's window: the start of a frame that shows the page.
class FirstPaint : public QObject {
  public:
    bool painted = false;
    std::function<QWidget*()> current;
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
    QTemporaryDir userData;
    bool readOnlyInstall = false;
    if (skin == u"--read-only-install") {
        for (const char* name : {"/sz1.txt", "/history.db"}) {
            QFile big(dir.path() + QLatin1String(name));
            if (big.open(QIODevice::WriteOnly | QIODevice::Truncate))
                big.resize(qint64(1) << 30);
        }
        readOnlyInstall = true;
        skin = QStringLiteral("read-only install shipping 1 GB sz1.txt and history.db");
    } else if (skin == u"--hostile") {
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
    auto program =
        startProgram(readOnlyInstall ? ProgramFolder::choose(dir.path(), false, userData.path())
                                     : ProgramFolder(dir.path()));
    while (!firstPaint.painted)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    const qint64 shown = clock.nsecsElapsed();
    firstPaint.current = [&program]() -> QWidget* { return program->navigator->current(); };
    qint64 seeded = 0;
    for (const QFileInfo& info : QDir(userData.path()).entryInfoList(QDir::Files))
        seeded += info.size();

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
    if (readOnlyInstall)
        std::printf("  written into the user's folder by the first paint: %lld bytes\n", seeded);
    std::printf("  navigation_switch_ms median=%.1f max=%.1f (n=%zu)\n",
                switches[switches.size() / 2], switches.back(), switches.size());
    return 0;
}
