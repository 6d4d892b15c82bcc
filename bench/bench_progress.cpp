// The practice history: the time to record one run (on the interface thread, while the
// learner practises), and the time to open the Progress window over a long history.
// Usage: bench_progress PROGRAM_FOLDER [--shot FILE.png [RUNS]]
// With --shot the window is drawn, with a sample history, under the skin named by
// ZEPHKIN_SKIN (a .urf file in the program folder) and saved as a picture.

#include "bench_support.h"
#include "history/history_store.h"
#include "progress/key_heat_map.h"
#include "history/progress_recorder.h"
#include "progress/progress_window.h"
#include "look/look.h"
#include "look/skin_engine.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

double worst(const std::vector<double>& values) {
    return *std::max_element(values.begin(), values.end());
}

// A learner's history: `runs` runs over `days` days, getting faster and surer.
void fillHistory(HistoryStore& store, int runs, int days, quint32 seed) {
    QRandomGenerator random(seed);
    const QDateTime first = QDateTime::currentDateTime().addDays(-days);
    const char* items[] = {"Lesson  3: Home row", "Common words 1", "Halloween", "Letters"};
    for (int i = 0; i < runs; ++i) {
        const double progress = double(i) / runs;
        PracticeRun run;
        run.mode = PracticeModes::kAll[random.bounded(4)];
        run.item = QString::fromLatin1(items[int(run.mode)]);
        run.started = first.addSecs(qint64(progress * days * 86400) + random.bounded(600));
        run.activeSeconds = 30 + random.bounded(400);
        const int speed = 90 + int(progress * 120) + random.bounded(40);
        run.keystrokes = run.activeSeconds * speed / 60;
        run.wrongKeystrokes = run.keystrokes * (12 - int(progress * 8) + random.bounded(4)) / 100;
        run.computeMeters();
        QList<KeyTally> keys;
        if (i % 10 == 0) {
            for (const auto& key : KeyHeatMap::keyboardKeys()) {
                const int expected = 20 + random.bounded(30);
                const int weakness = key.code == 'Q' || key.code == 'Z' || key.code == 'P' ? 30
                                     : key.code == 186 || key.code == 'B'                  ? 20
                                                                                           : 8;
                keys.append({key.code, expected, expected * random.bounded(weakness) / 100});
            }
        }
        store.record(run, keys);
    }
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_progress PROGRAM_FOLDER [--shot FILE.png]\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QTemporaryDir dir;
    const QString path = dir.filePath(HistoryStore::kFileName);

    if (argc > 3 && QByteArray(argv[2]) == "--shot") {
        SkinEngine skin;
        const QByteArray skinName = qgetenv("ZEPHKIN_SKIN");
        qApp->setStyleSheet(Look::baseStyleSheet());
        if (!skinName.isEmpty())
            if (!skin.SkinStart(folder + u'/' + QString::fromLocal8Bit(skinName), 2, {}, 0, 0,
                                nullptr))
                std::fprintf(stderr, "the skin %s was not applied\n", skinName.constData());
        HistoryStore store(path);
        const int runs = argc > 4 ? QByteArray(argv[4]).toInt() : 90;
        fillHistory(store, runs, runs > 3 ? 21 : 0, 7);
        ProgressWindow window(&store, PracticeMode::Words);
        window.show();
        QCoreApplication::processEvents();
        return window.grab().save(QString::fromLocal8Bit(argv[3])) ? 0 : 1;
    }

    // Recording: one run with a lesson's key counts, as at a lesson-end prompt. The first
    // keystroke of the first window opens (here: creates) the file.
    std::vector<double> records;
    double firstOpen = 0;
    {
        HistoryStore store(path);
        QElapsedTimer clock;
        for (int i = 0; i < 200; ++i) {
            ProgressRecorder recorder(&store, PracticeMode::Keys);
            clock.start();
            recorder.keyJudged('A', false);
            if (i == 0)
                firstOpen = clock.nsecsElapsed() / 1e6;
            for (int k = 1; k < 300; ++k)
                recorder.keyJudged('A' + k % 26, k % 17 == 0);
            clock.start();
            recorder.runEnded(QStringLiteral("Lesson  3"), {60 + i, 300, 18});
            records.push_back(clock.nsecsElapsed() / 1e6);
        }
    }
    // The first record of a later session opens the existing file.
    std::vector<double> reopened;
    for (int i = 0; i < 5; ++i) {
        HistoryStore store(path);
        ProgressRecorder recorder(&store, PracticeMode::Words);
        QElapsedTimer clock;
        clock.start();
        recorder.practising();
        reopened.push_back(clock.nsecsElapsed() / 1e6);
        clock.start();
        recorder.runEnded(QStringLiteral("Common words 1"), {60, 300, 18});
        records.push_back(clock.nsecsElapsed() / 1e6);
        if (qEnvironmentVariableIsSet("BENCH_VERBOSE"))
            std::printf("reopen %d: %.2f ms, then record %.2f ms\n", i, reopened.back(),
                        records.back());
    }
    std::printf("record_run_ms median=%.2f p95=%.2f worst=%.2f; opening at a window's first "
                "keystroke: %.2f (new file), %.2f (existing, median)\n",
                Bench::percentile(records, 0.5), Bench::percentile(records, 0.95), worst(records),
                firstOpen, Bench::percentile(reopened, 0.5));

    // Another program holds the history's write lock: the first keystroke must not wait for
    // it, the run's end waits a moment and keeps the run for later, and the next record after
    // the lock is let go writes both.
    {
        QSqlDatabase holder = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "holder");
        holder.setDatabaseName(path);
        holder.open();
        QSqlQuery lock(holder);
        lock.exec(QStringLiteral("BEGIN EXCLUSIVE"));
        HistoryStore store(path);
        ProgressRecorder recorder(&store, PracticeMode::Words);
        QElapsedTimer clock;
        clock.start();
        recorder.practising();
        const double firstKey = clock.nsecsElapsed() / 1e6;
        clock.start();
        recorder.runEnded(QStringLiteral("Common words 1"), {60, 300, 18});
        const double keptForLater = clock.nsecsElapsed() / 1e6;
        const bool waiting = store.hasPending();
        lock.exec(QStringLiteral("ROLLBACK"));
        lock.finish();
        holder.close();
        holder = QSqlDatabase();
        QSqlDatabase::removeDatabase("holder");
        clock.start();
        recorder.runEnded(QStringLiteral("Common words 1"), {120, 600, 30});
        const double both = clock.nsecsElapsed() / 1e6;
        std::printf("history locked by another program: first keystroke %.2f ms, run end %.2f ms "
                    "(%s), next record with the waiting run %.2f ms (%s)\n",
                    firstKey, keptForLater, waiting ? "kept for later" : "lost",
                    both, store.hasPending() ? "still waiting" : "both written");
    }

    // Opening the Progress window over 10,000 runs: from the click to the window painted.
    QFile::remove(path);
    QFile::remove(path + QStringLiteral("-wal"));
    QFile::remove(path + QStringLiteral("-shm"));
    {
        HistoryStore store(path);
        fillHistory(store, 10000, 365, 11);
    }
    std::vector<double> opens;
    for (int i = 0; i < 5; ++i) {
        HistoryStore store(path); // a fresh store each time: the open is part of the cost
        QElapsedTimer clock;
        clock.start();
        ProgressWindow window(&store, PracticeMode::Words);
        window.show();
        window.repaint();
        opens.push_back(clock.nsecsElapsed() / 1e6);
        if (qEnvironmentVariableIsSet("BENCH_VERBOSE"))
            std::printf("open %d: %.1f ms\n", i, opens.back());
        if (i == 0)
            std::printf("runs_in_store=%d\n", store.runCount());
    }
    std::printf("progress_window_open_ms median=%.1f worst=%.1f (10,000 runs)\n",
                Bench::percentile(opens, 0.5), worst(opens));
    return 0;
}
