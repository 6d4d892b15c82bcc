// The practice history: the time to record one keystroke's figures and one run (on the
// interface thread, while the learner practises), and the time to open the Progress window
// and to build a drill of the weak keys over a long history.
// Usage: bench_progress PROGRAM_FOLDER [--shot FILE.png [RUNS]]
// With --shot the window is drawn, with a sample history, under the skin named by
// ZEPHKIN_SKIN (a .urf file in the program folder) and saved as a picture; ZEPHKIN_TAB=1 shows
// the keys' figures in place of the recent runs.

#include "bench_support.h"
#include "core/keyboard_table.h"
#include "history/history_store.h"
#include "history/progress_recorder.h"
#include "keys/ui/drill_maker.h"
#include "look/look.h"
#include "look/skin_engine.h"
#include "progress/key_heat_map.h"
#include "progress/progress_window.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTabWidget>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

double worst(const std::vector<double>& values) {
    return *std::max_element(values.begin(), values.end());
}

// One run's figures of keys and pairs: every letter and a few pairs, `weak` ones slower and
// missed more, all of them faster as `progress` goes from 0 to 1.
QList<GramStats> gramFigures(QRandomGenerator& random, double progress, qint64 day) {
    QList<GramStats> grams;
    auto add = [&](const QString& gram, double slowness, int missPercent) {
        GramStats g;
        g.gram = gram;
        g.day = day;
        g.expected = 10 + random.bounded(30);
        g.wrong = g.expected * random.bounded(missPercent + 1) / 100;
        const double median = (260 - 90 * progress) * slowness;
        for (qint64 i = g.wrong; i < g.expected; ++i)
            g.addTime(int(median * (0.7 + 0.6 * random.generateDouble())));
        grams.append(g);
    };
    for (char c = 'a'; c <= 'z'; ++c) {
        const bool weak = c == 'q' || c == 'z' || c == 'p' || c == 'b';
        add(QString(QChar(c)), weak ? 1.4 : 1.0, weak ? 20 : 6);
    }
    add(QStringLiteral(";"), 1.3, 25);
    add(QStringLiteral(" "), 0.9, 2);
    for (const char* pair : {"th", "he", "in", "er", "an", "re", "on", "at", "en", "nd"})
        add(QString::fromLatin1(pair),
            QByteArray(pair) == "th" || QByteArray(pair) == "er" ? 1.8 : 1.0,
            QByteArray(pair) == "nd" ? 15 : 3);
    return grams;
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
        store.record(run, keys, gramFigures(random, progress, run.started.date().toJulianDay()));
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
        // ZEPHKIN_TAB=1 shows the figures of the keys instead of the recent runs.
        if (auto* tabs = window.findChild<QTabWidget*>())
            tabs->setCurrentIndex(qEnvironmentVariableIntValue("ZEPHKIN_TAB"));
        QCoreApplication::processEvents();
        return window.grab().save(QString::fromLocal8Bit(argv[3])) ? 0 : 1;
    }

    // One keystroke: its key's count and the figures of its key and pair, with its time, as
    // the frame hands every judged key to the recorder.
    {
        HistoryStore store(dir.filePath(QStringLiteral("keystrokes.db")));
        ProgressRecorder recorder(&store, PracticeMode::Words);
        recorder.practising(); // the history is opened at the first keystroke, once
        const QString text = QStringLiteral("the quick brown fox jumps over the lazy dog ");
        std::vector<double> costs;
        QElapsedTimer clock;
        clock.start();
        for (int i = 0; i < 100000; ++i) {
            const QChar c = text[i % text.size()];
            const QChar before = text[(i + text.size() - 1) % text.size()];
            const KeyJudgement key{KeyboardTable::codeOf(c), i % 19 != 0, c, before, 100 + i % 200};
            const qint64 t0 = clock.nsecsElapsed();
            recorder.keyJudged(key);
            costs.push_back((clock.nsecsElapsed() - t0) / 1e6);
        }
        std::printf("record_keystroke_ms median=%.5f p99=%.5f worst=%.4f (n=%zu)\n",
                    Bench::percentile(costs, 0.5), Bench::percentile(costs, 0.99), worst(costs),
                    costs.size());
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

    // A drill of the weak keys over the same history, as Ctrl+6 builds it. The program has
    // its history open by then (the run so far was just recorded); here it is also opened
    // afresh for each. The first drill of a session also reads the word lists and articles.
    // Processor time beside the wall clock: on a busy machine the wall clock also counts the
    // time other programs take.
    std::vector<double> drills, drillsCpu, afresh;
    double firstDrill = 0, firstDrillCpu = 0;
    QString heading;
    {
        HistoryStore open(path);
        open.writePending();
        for (int i = 0; i < 21; ++i) {
            QElapsedTimer clock;
            clock.start();
            const double cpu0 = Bench::threadCpuMs();
            const DrillMaker::Made made =
                DrillMaker::make(&open, ProgramFolder(folder), quint32(i));
            const double ms = clock.nsecsElapsed() / 1e6;
            const double cpu = Bench::threadCpuMs() - cpu0;
            if (i == 0) {
                firstDrill = ms;
                firstDrillCpu = cpu;
            } else {
                drills.push_back(ms);
                drillsCpu.push_back(cpu);
            }
            heading = made.drill.heading;
        }
    }
    for (int i = 0; i < 10; ++i) {
        HistoryStore store(path);
        QElapsedTimer clock;
        clock.start();
        DrillMaker::make(&store, ProgramFolder(folder), quint32(i));
        afresh.push_back(clock.nsecsElapsed() / 1e6);
    }
    std::printf("drill_build_ms first=%.1f then median=%.1f worst=%.1f, with the history opened "
                "afresh median=%.1f worst=%.1f (10,000 runs; %s)\n",
                firstDrill, Bench::percentile(drills, 0.5), worst(drills),
                Bench::percentile(afresh, 0.5), worst(afresh), qPrintable(heading));
    std::printf("drill_build_cpu_ms first=%.1f then median=%.1f worst=%.1f\n", firstDrillCpu,
                Bench::percentile(drillsCpu, 0.5), worst(drillsCpu));
    return 0;
}
