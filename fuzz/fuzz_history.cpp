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
        store.keyTallies();
        store.chartPoints(PracticeMode::Keys, 2);
        const HistoryStore::Totals totals = store.totals();
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
            // The totals count runs of modes a newer program knows, the lists leave them out.
            Fuzz::check(runs.size() <= totals.runs, "the totals count every run");
            Fuzz::check(recent.size() <= std::min<qsizetype>(runs.size(), 100),
                        "the recent runs are some of them");
        }
    }
    QDir(folder).removeRecursively();
    return 0;
}
