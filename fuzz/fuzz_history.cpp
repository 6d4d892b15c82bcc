// The practice history opened from whatever file stands as history.db: a run is recorded and
// the Progress window's queries read it back. A file SQLite finds damaged is put aside and a
// new history started; nothing here may crash, and a run that is recorded is there to read.

#include "fuzz_support.h"
#include "history/history_store.h"
#include "history/key_weakness.h"

#include <QCoreApplication>

#include <limits>

namespace {

void quiet(QtMsgType, const QMessageLogContext&, const QString&) {}

// The SQL driver is a plugin: it needs an application object to be found.
void application() {
    static int argc = 1;
    static char name[] = "fuzz_history";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    qInstallMessageHandler(quiet);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    application();
    const QString folder = Fuzz::scratch() + QStringLiteral("/history");
    QDir(folder).removeRecursively();
    QDir().mkpath(folder);
    const QString path = folder + u'/' + HistoryStore::kFileName;
    Fuzz::put(path, data, size);

    PracticeRun run;
    run.mode = PracticeMode::Keys;
    run.item = QStringLiteral("Lesson  3: Home row");
    run.started = QDateTime::fromSecsSinceEpoch(1796000000);
    run.activeSeconds = 30;
    run.keystrokes = 120;
    run.wrongKeystrokes = 6;
    run.computeMeters();
    {
        HistoryStore store(path);
        GramStats gram;
        gram.gram = QStringLiteral("th");
        gram.day = 2461000;
        gram.expected = 10;
        gram.wrong = 1;
        gram.addTime(180);
        const bool recorded = store.record(run, {{'A', 10, 2}}, {gram});
        const QString noticeAfterRecord = store.notice();
        const QList<PracticeRun> runs = store.runs();
        const QList<PracticeRun> recent = store.recentRuns(100);
        // Whatever the file holds, nothing is shown that a run cannot come to.
        for (const PracticeRun& r : runs + recent)
            Fuzz::check(r.isPlausible(), "a run read back is one a run can be");
        for (const KeyTally& key : store.keyTallies())
            Fuzz::check(key.isPlausible(), "a key count read back is plausible");
        for (PracticeMode mode : {PracticeMode::Keys, PracticeMode::Words}) {
            for (const ChartPoint& point : store.chartPoints(mode, 2))
                Fuzz::check(point.speed >= 0 && point.speed <= RunLimits::kMostSpeed &&
                                point.accuracy >= 0 && point.accuracy <= 100 && point.runs > 0,
                            "a point of the chart is one runs can make");
        }
        const HistoryStore::Totals totals = store.totals();
        Fuzz::check(totals.runs >= 0 && totals.activeSeconds >= 0 &&
                        totals.activeSeconds <= qint64(totals.runs) * RunLimits::kMostSeconds,
                    "the totals are sums of runs");
        // The figures of keys and pairs, as the Progress window and a drill read them.
        const QList<GramStats> grams = store.gramStats(0, std::numeric_limits<int>::max());
        KeyWeakness::fromHistory(store);
        for (const GramStats& g : grams)
            Fuzz::check(!g.gram.isEmpty() && g.gram.size() <= 2 && g.expected >= 0 &&
                            g.wrong >= 0 && g.medianMs() <= KeyTiming::kEdges.back(),
                        "a gram read back is a gram");
        Fuzz::check(!store.notice().contains(u'\n'), "the notice is one line");
        // SQLite finds some damage only when a query reaches it: a file put aside after the
        // record takes the run with it, and the queries after that read the new history.
        if (recorded && store.notice() == noticeAfterRecord) {
            Fuzz::check(std::any_of(runs.begin(), runs.end(),
                                    [&](const PracticeRun& r) {
                                        return r.item == run.item && r.started == run.started &&
                                               r.keystrokes == run.keystrokes;
                                    }),
                        "a recorded run is read back");
            // The totals and the lists leave out the same runs: those no run can be.
            Fuzz::check(runs.size() == totals.runs, "the totals count every run listed");
            Fuzz::check(recent.size() <= std::min<qsizetype>(runs.size(), 100),
                        "the recent runs are some of them");
        }
    }
    QDir(folder).removeRecursively();
    return 0;
}
