// The practice history: what is recorded when, the key counts, old and damaged files.

#include "core/keyboard_table.h"
#include "fakes.h"
#include "history/history_store.h"
#include "history/key_weakness.h"
#include "history/pending_file.h"
#include "history/progress_recorder.h"
#include "history/progress_summary.h"
#include "keys/ui/drill_maker.h"
#include "progress/key_heat_map.h"
#include "progress/progress_chart.h"
#include "progress/progress_window.h"
#include "small_disk.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <limits>
#include <linux/capability.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

// Root writes any file whatever its mode. To see what a learner sees with a read-only file,
// the test lays the permission override down for a while (on this thread only).
class PermissionsHonoured {
  public:
    PermissionsHonoured() {
        if (geteuid() != 0)
            return;
        syscall(SYS_capget, &m_header, m_saved);
        __user_cap_data_struct lowered[2] = {m_saved[0], m_saved[1]};
        lowered[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        m_active = syscall(SYS_capset, &m_header, lowered) == 0;
    }
    ~PermissionsHonoured() {
        if (m_active)
            syscall(SYS_capset, &m_header, m_saved);
    }

  private:
    __user_cap_header_struct m_header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct m_saved[2] = {};
    bool m_active = false;
};

// A limit on the size of the files this process writes, as a quota would set: a write past it
// fails with an input/output error.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_saved);
        rlimit limit = m_saved;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { lift(); }
    void lift() { setrlimit(RLIMIT_FSIZE, &m_saved); }

  private:
    rlimit m_saved{};
};

// Another program that holds the history's write lock, as the sqlite3 shell or a second
// copy in the middle of a long write would, till it is let go.
class LockHolder {
  public:
    bool take(const QString& path) {
        const QString python = QStandardPaths::findExecutable("python3");
        if (python.isEmpty())
            return false;
        m_process.start(python, {"-c",
                                 "import sqlite3, sys\n"
                                 "db = sqlite3.connect(sys.argv[1], isolation_level=None)\n"
                                 "db.execute('BEGIN EXCLUSIVE')\n"
                                 "print('locked', flush=True)\n"
                                 "sys.stdin.readline()\n"
                                 "db.execute('ROLLBACK')\n",
                                 path});
        QByteArray out;
        while (!out.contains("locked") && m_process.waitForReadyRead(10000))
            out += m_process.readAllStandardOutput();
        return out.contains("locked");
    }
    void letGo() {
        m_process.write("\n");
        m_process.closeWriteChannel();
        m_process.waitForFinished(10000);
    }
    ~LockHolder() {
        if (m_process.state() != QProcess::NotRunning)
            letGo();
    }

  private:
    QProcess m_process;
};

QDateTime at(const char* text) {
    return QDateTime::fromString(QString::fromLatin1(text), Qt::ISODate);
}

PracticeRun sampleRun(int seconds, int keys, int wrong, PracticeMode mode = PracticeMode::Keys,
                      const QDateTime& started = at("2026-12-01T09:30:00")) {
    PracticeRun run;
    run.mode = mode;
    run.item = QStringLiteral("Lesson  3: Home row");
    run.started = started;
    run.activeSeconds = seconds;
    run.keystrokes = keys;
    run.wrongKeystrokes = wrong;
    run.computeMeters();
    return run;
}

// Runs a SQL script on a file with a connection of the test's own.
void runSql(const QString& path, const QStringList& script) {
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "fixture");
        db.setDatabaseName(path);
        QVERIFY(db.open());
        QSqlQuery query(db);
        for (const QString& sql : script)
            QVERIFY2(query.exec(sql), qPrintable(sql));
        query.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase("fixture");
}

// A gram's figures as "gram wrong/expected".
QStringList counts(const QList<GramStats>& grams) {
    QStringList out;
    for (const GramStats& gram : grams)
        out << QStringLiteral("%1 %2/%3").arg(gram.gram).arg(gram.wrong).arg(gram.expected);
    return out;
}

// A gram with `expected` keystrokes, `wrong` of them missed, the right ones all of `ms`.
GramStats gram(const QString& name, int expected, int wrong, int ms) {
    GramStats g;
    g.gram = name;
    g.expected = expected;
    g.wrong = wrong;
    for (int i = wrong; i < expected; ++i)
        g.addTime(ms);
    return g;
}

// The files put aside, without the journals that go along with them.
QStringList asideFiles(const QString& folder) {
    QStringList names = QDir(folder).entryList({QStringLiteral("history.db.broken-*")},
                                               QDir::AllEntries | QDir::System | QDir::Hidden);
    names.removeIf([](const QString& name) {
        return name.endsWith(QLatin1String("-wal")) || name.endsWith(QLatin1String("-shm"));
    });
    return names;
}

} // namespace

class ProgressTest : public QObject {
    Q_OBJECT
  private slots:
    // A script of window calls: "end s k w sp acc" (a prompt or a game's end), "unload ...",
    // "reset ..." (counters about to go to zero), each with the window's totals of active
    // seconds, keystrokes and wrong keystrokes and the speed and accuracy it shows. The rows
    // are "seconds keys wrong speed accuracy".
    void runsAreRecordedAsChangesAboveTheFloor_data() {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("a prompt after enough practice")
            << "end 14 70 5 300 92" << QStringList{"14 70 5 300 92"};
        QTest::newRow("below the floor nothing is written")
            << "end 9 50 0 333 100; unload 9 50 0 333 100" << QStringList{};
        QTest::newRow("the floor counts since the last row, not since the window opened")
            << "end 20 100 10 300 90; unload 29 140 10 289 92" << QStringList{"20 100 10 300 90"};
        QTest::newRow("a short run is dropped, never added to the next")
            << "end 6 30 3 300 90; end 18 90 3 300 96" << QStringList{"12 60 0 300 96"};
        QTest::newRow("each row holds the change since the one before, and the figures shown")
            << "end 10 40 4 240 90; end 25 100 4 240 96; unload 40 130 10 195 92"
            << QStringList{"10 40 4 240 90", "15 60 0 240 96", "15 30 6 195 92"};
        QTest::newRow("a reset closes the run before it")
            << "end 30 90 9 180 90; end 36 110 9 183 91; reset 36 110 9 183 91; end 12 40 1 200 97"
            << QStringList{"30 90 9 180 90", "12 40 1 200 97"};
        QTest::newRow("a long stretch before a reset is a run of its own")
            << "reset 15 60 6 240 90; end 11 30 0 163 100"
            << QStringList{"15 60 6 240 90", "11 30 0 163 100"};
        QTest::newRow("counters that went back unannounced start a new count")
            << "end 30 90 9 180 90; unload 12 48 0 240 100"
            << QStringList{"30 90 9 180 90", "12 48 0 240 100"};
        QTest::newRow("no keystrokes at all") << "unload 11 0 0 0 0" << QStringList{};
    }
    void runsAreRecordedAsChangesAboveTheFloor() {
        QFETCH(QString, script);
        QFETCH(QStringList, rows);
        QTemporaryDir dir;
        HistoryStore store(dir.filePath(HistoryStore::kFileName));
        ProgressRecorder recorder(&store, PracticeMode::Keys);
        QDateTime now = at("2026-12-01T10:00:00");
        recorder.setClock([&now] { return now; });
        for (const QString& step : script.split(u';')) {
            const QStringList f = step.simplified().split(u' ');
            const ProgressRecorder::Totals totals{f[1].toInt(), f[2].toInt(), f[3].toInt(),
                                                  f[4].toInt(), f[5].toInt()};
            if (f[0] == "end")
                recorder.runEnded("Lesson  2", totals);
            else if (f[0] == "unload")
                recorder.windowUnloaded("Lesson  2", totals);
            else
                recorder.countersReset("Lesson  2", totals);
            now = now.addSecs(60);
        }
        // Nothing was opened for a window that never recorded anything.
        QCOMPARE(QFileInfo::exists(store.path()), !rows.isEmpty());
        QStringList got;
        const QList<PracticeRun> runs = store.runs();
        for (const PracticeRun& run : runs) {
            got << QStringLiteral("%1 %2 %3 %4 %5")
                       .arg(run.activeSeconds)
                       .arg(run.keystrokes)
                       .arg(run.wrongKeystrokes)
                       .arg(run.speed)
                       .arg(run.accuracy);
            QCOMPARE(run.mode, PracticeMode::Keys);
            QCOMPARE(run.item, QStringLiteral("Lesson  2"));
        }
        QCOMPARE(got, rows);
    }

    void aRunStartsAtItsFirstKeystroke() {
        QTemporaryDir dir;
        HistoryStore store(dir.filePath(HistoryStore::kFileName));
        ProgressRecorder recorder(&store, PracticeMode::Words);
        QDateTime now = at("2026-12-01T10:00:00");
        recorder.setClock([&now] { return now; });
        recorder.keyJudged('A', false);
        now = at("2026-12-01T10:05:00");
        recorder.runEnded("Common words 1", {40, 160, 2});
        // Without keystrokes to go by, the run is dated back by its active time.
        now = at("2026-12-01T11:00:00");
        recorder.windowUnloaded("Common words 1", {60, 200, 2});
        const QList<PracticeRun> runs = store.runs();
        QCOMPARE(runs.size(), 2);
        QCOMPARE(runs[0].started, at("2026-12-01T10:00:00"));
        QCOMPARE(runs[1].started, at("2026-12-01T10:59:40"));
        QCOMPARE(store.recentRuns(1).value(0).started, runs[1].started);
    }

    // Typing "gas" as "gqs", then "the" right, then "sea" as "swa" and "see" as "sea".
    void keyCountsFollowTheExpectedKey() {
        QTemporaryDir dir;
        const QString path = dir.filePath(HistoryStore::kFileName);
        {
            HistoryStore store(path);
            ProgressRecorder recorder(&store, PracticeMode::Words);
            const char* expected = "gasthe"
                                   "seasee";
            const char* typed = "gqsthe"
                                "swasea";
            for (int i = 0; expected[i]; ++i)
                recorder.keyJudged(QChar(expected[i]).toUpper().unicode(), expected[i] != typed[i]);
            // Too short for a row: the key counts are still kept when the window unloads.
            QVERIFY(!recorder.windowUnloaded("Common words 1", {4, 12, 3}));
            QCOMPARE(store.runCount(), 0);
        }
        HistoryStore reopened(path);
        {
            ProgressRecorder again(&reopened, PracticeMode::Keys);
            again.keyJudged('A', true);
            again.keyJudged(0, true); // a keystroke with no known key counts nowhere
            again.windowUnloaded("Lesson  1", {1, 2, 2});
        }
        QStringList got;
        for (const KeyTally& key : reopened.keyTallies())
            got << QStringLiteral("%1:%2/%3").arg(QChar(key.code)).arg(key.wrong).arg(key.expected);
        QCOMPARE(got, (QStringList{"A:2/3", "E:2/4", "G:0/1", "H:0/1", "S:0/3", "T:0/1"}));
    }

    // A judged key counts for its key and, when the keystroke before typed the character
    // before it right, for the pair of the two; a right key's time goes to both. A capital or
    // a shifted mark counts for its key; a wrong key or one after a pause leaves no time. Each
    // day keeps its figures, and days add up.
    void keyFiguresAreKeptByDayAndAddUp() {
        QTemporaryDir dir;
        HistoryStore store(dir.filePath(HistoryStore::kFileName));
        QDateTime now = at("2026-12-01T10:00:00");
        const qint64 day = now.date().toJulianDay();
        {
            ProgressRecorder recorder(&store, PracticeMode::Keys);
            recorder.setClock([&now] { return now; });
            // "The!" with g where h is due, then h.
            for (const KeyJudgement& key :
                 {KeyJudgement{84, true, u'T', {}, -1}, KeyJudgement{72, false, u'h', u'T', 140},
                  KeyJudgement{72, true, u'h', {}, 300}, KeyJudgement{69, true, u'e', u'h', 120},
                  KeyJudgement{49, true, u'!', u'e', 200}})
                recorder.keyJudged(key);
            QVERIFY(!recorder.windowUnloaded("Lesson  8: y t", {3, 5, 1}));
        }
        QCOMPARE(counts(store.gramStats(day, day)),
                 (QStringList{"1 0/1", "e 0/1", "e1 0/1", "h 1/2", "he 0/1", "t 0/1", "th 1/1"}));
        const QList<GramStats> first = store.gramStats(day, day);
        QCOMPARE(first[0].timed(), 1); // "!" after e
        QCOMPARE(first[5].timed(), 0); // T came first
        QCOMPARE(first[6].timed(), 0); // th was missed

        // A day later: the median of many times, read from the buckets they fall in.
        now = now.addDays(1);
        {
            ProgressRecorder recorder(&store, PracticeMode::Words);
            recorder.setClock([&now] { return now; });
            for (int ms = 100; ms <= 300; ms += 10)
                recorder.keyJudged(KeyJudgement{72, true, u'h', u't', ms});
            recorder.windowUnloaded("Common words 1", {5, 21, 0});
        }
        QCOMPARE(store.lastGramDay(), day + 1);
        QCOMPARE(counts(store.gramStats(day + 1, day + 1)), (QStringList{"h 0/21", "th 0/21"}));
        const QList<GramStats> both = store.gramStats(day, day + 1);
        QCOMPARE(counts(both),
                 (QStringList{"1 0/1", "e 0/1", "e1 0/1", "h 1/23", "he 0/1", "t 0/1", "th 1/22"}));
        QVERIFY2(qAbs(both[6].medianMs() - 200) <= 200 / 12,
                 qPrintable(QString::number(both[6].medianMs())));
    }

    // How weak a key or pair is: its misses and its time together, once it was typed often
    // enough; a pair only when it is clearly weaker than its second key. Each figure is
    // "gram keystrokes missed milliseconds".
    void theWeakestAreTheMissedAndTheSlow_data() {
        QTest::addColumn<QStringList>("figures");
        QTest::addColumn<QStringList>("weakest");
        QTest::newRow("two misses in three presses do not count")
            << QStringList{"a 40 0 200", "s 40 0 200", "q 3 2 200", "d 40 4 200"}
            << QStringList{"d", "a", "s"};
        QTest::newRow("a key missed often before a slower one")
            << QStringList{"f 40 12 200", "j 40 0 380", "k 40 0 200"} << QStringList{"f", "j", "k"};
        QTest::newRow("a slow pair of fast keys")
            << QStringList{"t 40 0 200", "h 40 0 200", "th 20 0 400"}
            << QStringList{"th", "h", "t"};
        QTest::newRow("a pair no slower than its key")
            << QStringList{"t 40 0 200", "h 40 0 380", "th 20 0 400"} << QStringList{"h", "t"};
        QTest::newRow("a pair typed too seldom")
            << QStringList{"t 40 0 200", "h 40 0 200", "th 5 0 900"} << QStringList{"h", "t"};
        QTest::newRow("Space, between all words anyway")
            << QStringList{"  40 10 400", "a 40 0 200"} << QStringList{"a"};
        QTest::newRow("five at most") << QStringList{"a 20 1 200", "b 20 2 200", "c 20 3 200",
                                                     "d 20 4 200", "e 20 5 200", "f 20 6 200"}
                                      << QStringList{"f", "e", "d", "c", "b"};
    }
    void theWeakestAreTheMissedAndTheSlow() {
        QFETCH(QStringList, figures);
        QFETCH(QStringList, weakest);
        QList<GramStats> stats;
        for (const QString& figure : figures) {
            // The gram is one or two characters, Space among them.
            const qsizetype split = figure.indexOf(u' ', figure.startsWith(u' ') ? 1 : 0);
            const QStringList numbers = figure.mid(split + 1).split(u' ');
            stats << gram(figure.left(split), numbers[0].toInt(), numbers[1].toInt(),
                          numbers[2].toInt());
        }
        QStringList got;
        for (const KeyWeakness::Figure& figure : KeyWeakness::analyse(stats).weakest)
            got << figure.gram();
        QCOMPARE(got, weakest);
    }

    // A learner who types "th" and "er" slowly, never wrong, and every key quickly elsewhere:
    // the drill built from the history practises those two pairs, in many words.
    void twoSlowPairsNeverMissedGoIntoTheDrill() {
        QTemporaryDir dir;
        HistoryStore store(dir.filePath(HistoryStore::kFileName));
        const QStringList slow{"the", "then", "other", "here", "her", "very", "over", "ever"};
        const QStringList fast{"she",  "hand", "hold", "him",  "has", "who", "ship",
                               "road", "run",  "from", "word", "car", "for", "our",
                               "rain", "dry",  "try",  "art",  "or",  "shop"};
        {
            ProgressRecorder recorder(&store, PracticeMode::Words);
            for (int round = 0; round < 5; ++round) {
                for (const QString& word : slow + fast) {
                    for (qsizetype i = 0; i < word.size(); ++i) {
                        const QChar before = i > 0 ? word[i - 1] : QChar();
                        const QString pair = QString(before) + word[i];
                        const int ms = pair == u"th" || pair == u"er" ? 450 : 150;
                        recorder.keyJudged(KeyJudgement{KeyboardTable::codeOf(word[i]), true,
                                                        word[i], before, ms});
                    }
                }
            }
            recorder.windowUnloaded("Common words 1", {60, 400, 0});
        }
        const DrillMaker::Made made =
            DrillMaker::make(&store, ProgramFolder(QStringLiteral(DATA_DIR)), 17);
        QStringList targets;
        for (const WeakKeyDrill::Target& target : made.drill.targets)
            targets << target.gram;
        QVERIFY2(targets.size() >= 2 && targets.mid(0, 2).contains("th") &&
                     targets.mid(0, 2).contains("er"),
                 qPrintable(targets.join(u',')));
        QVERIFY2(made.drill.heading.startsWith("Drill: ") && made.drill.heading.contains(" th") &&
                     made.drill.heading.contains(" er"),
                 qPrintable(made.drill.heading));
        QVERIFY2(made.note.contains("th ") && made.note.contains(" ms"), qPrintable(made.note));
        const QStringList words = made.drill.lines.join(u' ').split(u' ');
        for (const char* pair : {"th", "er"}) {
            const auto with = std::count_if(words.begin(), words.end(), [pair](const QString& w) {
                return w.contains(QLatin1String(pair));
            });
            QVERIFY2(with * 4 >= words.size(), qPrintable(made.drill.lines.join(u'/')));
        }
    }

    void anOlderHistoryIsCarriedForward() {
        QTemporaryDir dir;
        const QString path = dir.filePath(HistoryStore::kFileName);
        runSql(path,
               {"CREATE TABLE runs(id INTEGER PRIMARY KEY, mode TEXT NOT NULL,"
                " item TEXT NOT NULL, started INTEGER NOT NULL,"
                " active_seconds INTEGER NOT NULL, keystrokes INTEGER NOT NULL,"
                " wrong INTEGER NOT NULL)",
                "CREATE TABLE key_counts(code INTEGER PRIMARY KEY,"
                " expected INTEGER NOT NULL, wrong INTEGER NOT NULL)",
                "INSERT INTO runs VALUES(1, 'articles', 'Halloween', 1764000000, 120, 500, 20)",
                "INSERT INTO runs VALUES(2, 'game', 'Letters', 1764100000, 60, 100, 20)",
                "INSERT INTO key_counts VALUES(81, 40, 7)", "PRAGMA user_version = 1"});
        {
            HistoryStore store(path);
            ProgressRecorder recorder(&store, PracticeMode::Keys);
            recorder.keyJudged(KeyJudgement{81, false, u'q', u'a', 240});
            QVERIFY(recorder.runEnded("Lesson  4", {30, 60, 6, 120, 90}).recorded);
            // The figures of keys and pairs, which the first version did not keep.
            const qint64 today = QDate::currentDate().toJulianDay();
            QCOMPARE(counts(store.gramStats(today, today)), (QStringList{"aq 1/1", "q 1/1"}));
            QVERIFY(store.notice().isEmpty());
            const QList<PracticeRun> runs = store.runs();
            QCOMPARE(runs.size(), 3);
            QCOMPARE(runs[0].item, QStringLiteral("Halloween"));
            QCOMPARE(runs[0].mode, PracticeMode::Articles);
            QCOMPARE(runs[0].speed, 250);
            QCOMPARE(runs[0].accuracy, 96);
            // A game's speed is its result's: 80 hits in a minute, not 100 inputs.
            QCOMPARE(runs[1].speed, 80);
            QCOMPARE(runs[1].accuracy, 80);
            QCOMPARE(runs[2].speed, 120);
            QCOMPARE(store.keyTallies().value(0).expected, 41);
            QCOMPARE(store.keyTallies().value(0).wrong, 8);
        }
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "check");
        db.setDatabaseName(path);
        QVERIFY(db.open());
        QSqlQuery version(db);
        QVERIFY(version.exec("PRAGMA user_version") && version.next());
        QCOMPARE(version.value(0).toInt(), HistoryStore::kSchemaVersion);
        version.finish();
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase("check");
        QVERIFY(asideFiles(dir.path()).isEmpty());
    }

    void aDamagedHistoryIsPutAsideAndANewOneStarted_data() {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<int>("runsAfter"); // the run recorded now, plus any carried over
        QTest::newRow("garbage bytes") << "garbage" << 1;
        QTest::newRow("a folder in its place") << "folder" << 1;
        QTest::newRow("a read-only file") << "read-only" << 2;
        QTest::newRow("a read-only file with a run still in its log") << "read-only log" << 3;
        QTest::newRow("another program's database") << "foreign" << 1;
        QTest::newRow("an edited history whose runs lost their numbers") << "edited" << 1;
        QTest::newRow("a link to a file elsewhere") << "link" << 1;
    }
    void aDamagedHistoryIsPutAsideAndANewOneStarted() {
        QFETCH(QString, damage);
        QFETCH(int, runsAfter);
        QTemporaryDir dir;
        const QString path = dir.filePath(HistoryStore::kFileName);
        const QByteArray garbage = QByteArray("\x89not a database at all\r\n").repeated(300);
        if (damage == "garbage") {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(garbage);
        } else if (damage == "folder") {
            QVERIFY(QDir().mkpath(path + "/inside"));
        } else if (damage == "read-only") {
            {
                HistoryStore earlier(path);
                QVERIFY(earlier.record(sampleRun(60, 240, 12), {}));
            }
            QFile::remove(path + "-wal"); // as a copy of the file alone would be
            QFile::remove(path + "-shm");
            QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup));
        } else if (damage == "read-only log") {
            // A copy taken while the program ran: the second run is still in the log only.
            {
                HistoryStore earlier(dir.filePath("running.db"));
                QVERIFY(earlier.record(sampleRun(60, 240, 12), {}));
                QVERIFY(earlier.record(sampleRun(40, 200, 10), {}));
                for (const char* suffix : {"", "-wal"})
                    QVERIFY(QFile::copy(dir.filePath("running.db") + suffix, path + suffix));
            }
            for (const char* suffix : {"", "-wal"})
                QVERIFY(QFile::setPermissions(path + suffix,
                                              QFileDevice::ReadOwner | QFileDevice::ReadGroup));
        } else if (damage == "foreign") {
            runSql(path, {"CREATE TABLE notes(body TEXT)", "INSERT INTO notes VALUES('mine')"});
        } else if (damage == "edited") {
            // Runs would go in, but never come out in order of their number.
            runSql(path, {"CREATE TABLE runs(iZ INTEGER PRIMARY KEY, mode TEXT NOT NULL,"
                          " item TEXT NOT NULL, started INTEGER NOT NULL,"
                          " active_seconds INTEGER NOT NULL, keystrokes INTEGER NOT NULL,"
                          " wrong INTEGER NOT NULL)",
                          "CREATE TABLE key_counts(code INTEGER PRIMARY KEY,"
                          " expected INTEGER NOT NULL, wrong INTEGER NOT NULL)",
                          "PRAGMA user_version = 1"});
        } else if (damage == "link") {
            QFile target(dir.filePath("elsewhere.db"));
            QVERIFY(target.open(QIODevice::WriteOnly));
            target.close();
            QVERIFY(QFile::link(target.fileName(), path));
        }
        const PermissionsHonoured permissions;

        std::optional<HistoryStore> store(std::in_place, path);
        QVERIFY(store->record(sampleRun(30, 120, 3), {{'Q', 5, 2}}));
        QCOMPARE(store->runs().size(), runsAfter);
        QCOMPARE(store->keyTallies().size(), 1);
        QVERIFY(QFileInfo(path).isFile() && !QFileInfo(path).isSymLink());
        QVERIFY(!store->notice().contains(u'\n'));

        // The old file is kept, whole, under a dated name.
        const QStringList aside = asideFiles(dir.path());
        QCOMPARE(aside.size(), 1);
        QCOMPARE(aside[0],
                 QStringLiteral("history.db.broken-") + QDate::currentDate().toString(Qt::ISODate));
        const QFileInfo kept(dir.filePath(aside[0]));
        QVERIFY2(store->notice().contains(aside[0]), qPrintable(store->notice()));
        if (damage == "garbage") {
            QFile file(kept.filePath());
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll(), garbage);
        }
        if (damage == "folder")
            QVERIFY(QFileInfo::exists(kept.filePath() + "/inside"));
        if (damage == "link")
            QVERIFY(kept.isSymLink() && QFileInfo::exists(dir.filePath("elsewhere.db")));
        // The journals a read-only file was given only to be read are not left beside it.
        QCOMPARE(QFileInfo::exists(kept.filePath() + "-wal"), damage == "read-only log");
        QVERIFY(!QFileInfo::exists(kept.filePath() + "-shm"));

        // A second put-aside on the same day takes a new name.
        store.emplace(path);
        QFile::remove(path);
        QVERIFY(QDir().mkdir(path));
        QVERIFY(store->record(sampleRun(30, 120, 3), {}));
        QCOMPARE(asideFiles(dir.path()).size(), 2);
    }

    // A history from a failing disk: a row lost from its index by time. SQLite comes upon it
    // only part-way through a look, after a run went in. The file is put aside, what can be read
    // of it goes on in a new one, and everything the window shows comes from that one history.
    void damageMetPartWayPutsTheHistoryAsideAndKeepsWhatCanBeRead() {
        QTemporaryDir dir;
        const QString path = dir.filePath(HistoryStore::kFileName);
        writeBytes(path, readAll(QStringLiteral(FIXTURES_DIR "/history/lost-index-row.db")));
        HistoryStore store(path);
        QVERIFY(store.record(sampleRun(30, 120, 3), {}));

        ProgressWindow window(&store, PracticeMode::Keys);
        const QString summary = window.findChild<QLabel*>("ProgressSummary")->text();
        QVERIFY2(summary.startsWith(QStringLiteral("3 runs")), qPrintable(summary));
        QCOMPARE(window.findChild<QTableWidget*>("RecentRuns")->rowCount(), 3);
        QCOMPARE(window.findChild<ProgressChart*>()->points().size(), 1); // the Keys run
        const QStringList aside = asideFiles(dir.path());
        QCOMPARE(aside.size(), 1);
        auto* notice = window.findChild<QLabel*>("HistoryNotice");
        QVERIFY2(!notice->isHidden() && notice->text().contains(aside[0]) &&
                     notice->text().contains("damaged"),
                 qPrintable(notice->text()));

        // The new history is sound: the next start reads it whole, without a word.
        HistoryStore again(path);
        QCOMPARE(again.runs().size(), 3);
        QCOMPARE(again.totals().runs, 3);
        QVERIFY2(again.notice().isEmpty(), qPrintable(again.notice()));
    }

    // A row someone else wrote, a copy of a sound one but for one figure that no run can have,
    // in each numeric column: it is left out of every list, sum and chart and counted in the
    // notice. Nothing is shown that a run cannot come to, and nothing blames a full disk.
    void rowsNoRunCanMakeAreLeftOutAndCounted_data() {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("value");
        const std::pair<const char*, QStringList> columns[] = {
            {"runs", {"started", "active_seconds", "keystrokes", "wrong", "speed", "accuracy"}},
            {"key_counts", {"code", "expected", "wrong"}},
            {"gram_stats", {"day", "expected", "wrong", "t0", "t23"}}};
        for (const char* value : {"9223372036854775807", "-5"}) {
            for (const auto& [table, names] : columns) {
                for (const QString& column : names)
                    QTest::addRow("%s.%s = %s", table, qPrintable(column), value)
                        << table << column << value;
            }
        }
    }
    void rowsNoRunCanMakeAreLeftOutAndCounted() {
        QFETCH(QString, table);
        QFETCH(QString, column);
        QFETCH(QString, value);
        QTemporaryDir dir;
        const QString path = dir.filePath(HistoryStore::kFileName);
        const qint64 today = QDate::currentDate().toJulianDay();
        {
            HistoryStore store(path);
            GramStats f = gram("f", 40, 4, 150);
            f.day = today;
            QVERIFY(store.record(sampleRun(30, 120, 6), {{'F', 40, 4}, {'J', 40, 2}}, {f}));
            QVERIFY(store.record(
                sampleRun(60, 300, 3, PracticeMode::Keys, at("2026-12-02T09:30:00")), {}));
        }
        const QString copy =
            table == "runs"
                ? "INSERT INTO runs(mode, item, started, active_seconds, keystrokes, wrong,"
                  " speed, accuracy) SELECT mode, item, started, active_seconds, keystrokes,"
                  " wrong, speed, accuracy FROM runs WHERE id = 1"
            : table == "key_counts"
                ? "INSERT INTO key_counts VALUES(75, 40, 3)"
                : QStringLiteral("INSERT INTO gram_stats(day, gram, expected, wrong)"
                                 " SELECT %1, gram, expected, wrong FROM gram_stats")
                      .arg(today - 1);
        const QString where = table == "runs"         ? "id = 3"
                              : table == "key_counts" ? "code = 75"
                                                      : QStringLiteral("day = %1").arg(today - 1);
        runSql(path,
               {copy,
                QStringLiteral("UPDATE %1 SET %2 = %3 WHERE %4").arg(table, column, value, where)});

        HistoryStore store(path);
        ProgressWindow window(&store, PracticeMode::Keys);
        QCOMPARE(store.runs().size(), 2);
        const HistoryStore::Totals totals = store.totals();
        QCOMPARE(totals.runs, 2);
        QCOMPARE(totals.activeSeconds, 90);
        QCOMPARE(store.chartPoints(PracticeMode::Keys).size(), 2);
        QStringList keys;
        for (const KeyTally& key : store.keyTallies())
            keys << QStringLiteral("%1:%2/%3").arg(key.code).arg(key.wrong).arg(key.expected);
        QCOMPARE(keys, (QStringList{"70:4/40", "74:2/40"}));
        QCOMPARE(counts(store.gramStats(0, std::numeric_limits<int>::max())),
                 QStringList{"f 4/40"});

        const QString summary = window.findChild<QLabel*>("ProgressSummary")->text();
        QVERIFY2(summary.startsWith(QStringLiteral("2 runs in 1 min 30 s")), qPrintable(summary));
        auto* recent = window.findChild<QTableWidget*>("RecentRuns");
        QCOMPARE(recent->rowCount(), 2);
        for (int row = 0; row < recent->rowCount(); ++row) {
            for (int column = 3; column < recent->columnCount(); ++column)
                QVERIFY2(!recent->item(row, column)->text().startsWith(u'-'),
                         qPrintable(recent->item(row, column)->text()));
        }
        QCOMPARE(window.findChild<QLabel*>("HistoryNotice")->text(),
                 QStringLiteral("1 entry of the practice history is damaged and left out."));
    }

    // The most the program keeps waiting: 500 runs with items at their longest, a count for
    // each key and 1,200 days' figures of keys and pairs, over 300 KB as the program writes
    // them. All of it goes in. One run more and the oldest gives way, whole, and the notice
    // says so.
    void thePendingFileHoldsAllTheProgramKeepsWaiting() {
        QTemporaryDir dir;
        const QString path = dir.filePath(HistoryStore::kFileName);
        const QString pending = dir.filePath(HistoryStore::kPendingFileName);
        PendingRuns most;
        for (int i = 0; i < PendingRuns::kMaxRuns; ++i) {
            PracticeRun run = sampleRun(60 + i % 7, 300, 12, PracticeMode::Articles,
                                        at("2026-01-01T09:00:00").addSecs(600 * i));
            run.item = QStringLiteral("%1 ").arg(i, 3, 10, QChar(u'0')) + QString(120, u'\u00e9');
            most.runs << run;
        }
        for (int code : KeyboardLayout::characterKeys())
            most.addKeys({{code, 1234567, 12345}});
        for (int i = 0; i < PendingRuns::kMaxGrams; ++i) {
            GramStats g = gram(QString(QChar(u'a' + i % 30)), 30000, 300, 0);
            for (int b = 0; b < KeyTiming::kBuckets; ++b)
                g.times[size_t(b)] = 1000 + b;
            g.day = 2461000 + i / 30;
            most.addGrams({g});
        }
        const QByteArray bytes = PendingFile::bytes(most);
        QVERIFY2(bytes.size() > 300 * 1024, qPrintable(QString::number(bytes.size())));
        writeBytes(pending, bytes);
        {
            HistoryStore store(path);
            QVERIFY(store.writePending());
            const QList<PracticeRun> runs = store.runs();
            QCOMPARE(runs.size(), PendingRuns::kMaxRuns);
            QVERIFY(runs.last().item.startsWith(QStringLiteral("499 \u00e9")));
            QCOMPARE(store.keyTallies().size(), KeyboardLayout::characterKeys().size());
            const QList<GramStats> grams = store.gramStats(0, std::numeric_limits<int>::max());
            QCOMPARE(grams.size(), 30);
            for (const GramStats& g : grams)
                QCOMPARE(g.expected, 40 * 30000);
            QVERIFY(!QFileInfo::exists(pending));
            QVERIFY(store.notice().isEmpty());
        }

        // The history held by another program: the file is written again with one run more.
        writeBytes(pending, bytes);
        LockHolder holder;
        if (!holder.take(path))
            QSKIP("no python3 with sqlite3 to hold the lock");
        HistoryStore store(path);
        QVERIFY(!store.record(sampleRun(30, 120, 3), {}));
        QVERIFY2(store.notice().contains(
                     "1 of the oldest runs and 0 of the oldest days' key figures gave way"),
                 qPrintable(store.notice()));
        const PendingFile::Contents kept = PendingFile::parse(readAll(pending));
        QCOMPARE(kept.damaged, 0);
        QCOMPARE(kept.runs.runs.size(), PendingRuns::kMaxRuns);
        QVERIFY(kept.runs.runs.first().item.startsWith(QStringLiteral("001 ")));
        QCOMPARE(kept.runs.runs.last().item, sampleRun(30, 120, 3).item);
        QCOMPARE(kept.runs.grams.size(), PendingRuns::kMaxGrams);
    }

    // A pending file longer than the program ever writes it: the runs read from it go in, and
    // the file is kept whole beside, since its end was not read.
    void aPendingFileLongerThanTheProgramWritesIsKeptWhole() {
        QTemporaryDir dir;
        const QString path = dir.filePath(HistoryStore::kFileName);
        QByteArray bytes = "Zephkin pending runs 1\r\n";
        for (int i = 0; bytes.size() <= PendingFile::kCap; ++i)
            bytes += "run\twords\t" + QByteArray::number(1796000000 + i) +
                     "\t30\t120\t6\tCommon%20words%201\r\n";
        writeBytes(dir.filePath(HistoryStore::kPendingFileName), bytes);
        HistoryStore store(path);
        QVERIFY(store.writePending());
        const int read = int(store.runs().size());
        QVERIFY2(read > 20000, qPrintable(QString::number(read)));
        const QString aside = dir.filePath(HistoryStore::kPendingFileName) + ".broken-" +
                              QDate::currentDate().toString(Qt::ISODate);
        QCOMPARE(readAll(aside), bytes);
        QVERIFY(!QFileInfo::exists(dir.filePath(HistoryStore::kPendingFileName)));
        QVERIFY2(store.notice().contains(QFileInfo(aside).fileName()), qPrintable(store.notice()));
    }

    // Counts up to what a key can come to are compared exactly, though their products do not
    // fit in 64 bits; a count no key can have is left out.
    void theWeakestKeysCompareTheLargestCountsExactly() {
        const qint64 most = RunLimits::kMostKeyCount;
        const QList<KeyTally> tallies{{'A', most - 1, most / 2},
                                      {'B', most, most / 2},
                                      {'C', most, most / 2 + 1},
                                      {'D', 20, 25},
                                      {'E', most + 1, most}};
        QStringList order;
        for (const KeyTally& key : ProgressSummary::weakestKeys(tallies))
            order << QString(QChar(key.code));
        QCOMPARE(order, (QStringList{"C", "A", "B"}));
    }

    // A history SQLite cannot write just now is sound: it stays where it is, the learner
    // reads why in one line, the run practised meanwhile waits beside it, and the next start
    // finds every run. On a full disk the run waits in the room kept for it.
    void aHistoryThatCannotBeWrittenNowStaysAndTheRunWaits_data() {
        QTest::addColumn<QString>("obstacle");
        QTest::newRow("an input/output error") << "io error";
        QTest::newRow("a lock held by another program") << "lock";
        QTest::newRow("a full disk") << "full disk";
    }
    void aHistoryThatCannotBeWrittenNowStaysAndTheRunWaits() {
        QFETCH(QString, obstacle);
        QTemporaryDir dir;
        std::optional<SmallDisk> disk;
        QString folder = dir.path();
        if (obstacle == "full disk") {
            disk.emplace(4 * 1024 * 1024);
            if (!disk->available())
                QSKIP(qPrintable("no small disk to fill: " + disk->why()));
            folder = disk->path();
        }
        const QString path = folder + u'/' + HistoryStore::kFileName;
        {
            HistoryStore store(path);
            for (int i = 0; i < 300; ++i)
                QVERIFY(store.record(sampleRun(60, 240, 12, PracticeMode::Words,
                                               at("2026-10-01T09:00:00").addSecs(3600 * i)),
                                     {}));
        }
        std::optional<FileSizeLimit> limit;
        LockHolder holder;
        if (obstacle == "io error")
            limit.emplace(4096); // no room for the shared-memory index of the log
        else if (obstacle == "lock" && !holder.take(path))
            QSKIP("no python3 with sqlite3 to hold the lock");
        else if (disk)
            disk->fill();

        {
            HistoryStore store(path);
            ProgressRecorder recorder(&store, PracticeMode::Keys);
            for (int i = 0; i < 70; ++i)
                recorder.keyJudged(KeyJudgement{70, i % 14 != 0, u'f', u'f', 150});
            QVERIFY(!recorder.runEnded("Lesson  1", {14, 70, 5, 300, 92}).recorded);
            // The room kept for the run is all it took: the disk is full again.
            if (disk)
                disk->fill();
            QVERIFY(asideFiles(folder).isEmpty());
            QVERIFY2(store.notice().contains("just now") && !store.notice().contains(u'\n'),
                     qPrintable(store.notice()));
            ProgressWindow window(&store, PracticeMode::Keys);
            QCOMPARE(window.findChild<QLabel*>("HistoryNotice")->text(), store.notice());
            QVERIFY(!window.findChild<QLabel*>("HistoryNotice")->isHidden());
        }
        const QByteArray pending = readAll(folder + u'/' + HistoryStore::kPendingFileName);
        QVERIFY2(pending.contains("\r\nrun\tkeys\t") && pending.contains("\tLesson%20%201\r\n") &&
                     pending.contains("\r\ngram\t"),
                 pending);
        limit.reset();
        holder.letGo();
        if (disk)
            disk->makeRoom();

        // Started again: the Progress window shows every run, and nothing was put aside.
        HistoryStore again(path);
        ProgressWindow window(&again, PracticeMode::Keys);
        const QString summary = window.findChild<QLabel*>("ProgressSummary")->text();
        QVERIFY2(summary.startsWith(QStringLiteral("301 runs")), qPrintable(summary));
        QCOMPARE(again.keyTallies().size(), 1);
        QCOMPARE(counts(again.gramStats(0, std::numeric_limits<int>::max())),
                 (QStringList{"f 5/70", "ff 5/70"}));
        QVERIFY(window.findChild<QLabel*>("HistoryNotice")->isHidden());
        QVERIFY(asideFiles(folder).isEmpty());
        QVERIFY(!QFileInfo::exists(folder + u'/' + HistoryStore::kPendingFileName));
    }

    // The pending file is the learner's folder's like any other: what is not a run or a key
    // count of ours in it is passed over, and a line with figures no run can have is counted.
    void runsThatWaitedGoInAtTheNextLook() {
        QTemporaryDir dir;
        const QString path = dir.filePath(HistoryStore::kFileName);
        writeBytes(dir.filePath(HistoryStore::kPendingFileName),
                   "Zephkin pending runs 1\r\n"
                   "run\tkeys\t1796000000\t30\t120\t6\tLesson%20%203\r\n"
                   "run\tnosuchmode\t1796000000\t30\t120\t6\tx\r\n"
                   "run\tkeys\tsoon\t30\t120\t6\tx\r\n"
                   "run\tkeys\t1796000000\t30\t120\t900\tx\r\n"
                   "run\tkeys\t9223372036854775807\t30\t120\t6\tx\r\n"
                   "run\tkeys\t1796000000\t-5\t120\t6\tx\r\n"
                   "key\t66\t9223372036854775807\t0\r\n"
                   "key\t65\t10\t2\r\n"
                   "key\t65\t5\t9\r\n"
                   "key\t-3\t5\t1\r\n"
                   "run\twords\t1796003600\t15\t60\t0\tCommon%20words%201\r\n"
                   "key\t65\t1\t1\r\n"
                   "gram\t2461000\tq\t10\t2\t" +
                       QByteArray("0,").repeated(23) +
                       "8\r\n"
                       "gram\t2461000\t%20t\t4\t0\t" +
                       QByteArray("0,").repeated(23) +
                       "4\r\n"
                       "gram\t2461000\tq\t5\t0\t" +
                       QByteArray("1,").repeated(23) +
                       "1\r\n"
                       "gram\t2461000\tqqq\t5\t0\t" +
                       QByteArray("0,").repeated(23) +
                       "5\r\n"
                       "gram\t2461000\tq\t1\t2\t" +
                       QByteArray("0,").repeated(23) +
                       "0\r\n"
                       "gram\t2461000\tq\t5\t0\t1,2\r\n"
                       "gram\t2461000\tq\t5\t0\t" +
                       QByteArray("-1,").repeated(23) + "5\r\n");
        HistoryStore store(path);
        QVERIFY(store.hasPending());
        ProgressWindow window(&store, PracticeMode::Keys);
        const QList<PracticeRun> runs = store.runs();
        QCOMPARE(runs.size(), 2);
        QCOMPARE(runs[0].item, QStringLiteral("Lesson  3"));
        QCOMPARE(runs[0].speed, 240);
        QCOMPARE(runs[0].accuracy, 95);
        QCOMPARE(runs[1].item, QStringLiteral("Common words 1"));
        QCOMPARE(runs[1].mode, PracticeMode::Words);
        QCOMPARE(store.keyTallies().size(), 1);
        QCOMPARE(store.keyTallies()[0].expected, 11);
        QCOMPARE(store.keyTallies()[0].wrong, 3);
        QCOMPARE(counts(store.gramStats(2461000, 2461000)), (QStringList{" t 0/4", "q 2/15"}));
        QCOMPARE(store.gramStats(2461000, 2461000)[1].timed(), 8 + 24);
        QVERIFY(!store.hasPending());
        QVERIFY(!QFileInfo::exists(dir.filePath(HistoryStore::kPendingFileName)));
        // Lines no run or key can make are left out, and counted.
        QCOMPARE(window.findChild<QLabel*>("HistoryNotice")->text(),
                 QStringLiteral("12 entries of the practice history are damaged and left out."));
    }

    void aHistoryThatCannotBeKeptLeavesPracticeAlone() {
        QTemporaryDir dir;
        HistoryStore store(dir.filePath("missing/folder/") + HistoryStore::kFileName);
        ProgressRecorder recorder(&store, PracticeMode::Articles);
        for (int i = 0; i < 100; ++i)
            recorder.keyJudged('E', i % 3 == 0);
        QVERIFY(!recorder.runEnded("Halloween", {30, 100, 33}).recorded);
        QVERIFY(!recorder.windowUnloaded("Halloween", {60, 200, 40}));
        QVERIFY(store.runs().isEmpty());
        QVERIFY(!store.notice().isEmpty());
        QVERIFY(!QFileInfo::exists(dir.filePath("missing")));
    }

    void aNewerHistoryIsLeftAsItIs() {
        QTemporaryDir dir;
        const QString path = dir.filePath(HistoryStore::kFileName);
        runSql(path, {"CREATE TABLE runs(id INTEGER PRIMARY KEY, future BLOB)",
                      "PRAGMA user_version = 9"});
        const QByteArray before = [&] {
            QFile file(path);
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        }();
        HistoryStore store(path);
        QVERIFY(!store.record(sampleRun(30, 120, 3), {}));
        QVERIFY(store.notice().contains(QStringLiteral("newer")));
        QVERIFY(asideFiles(dir.path()).isEmpty());
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), before);
    }

    void manyRunsAreChartedOnePointPerDay() {
        QTemporaryDir dir;
        HistoryStore store(dir.filePath(HistoryStore::kFileName));
        // Two days; a long slow run outweighs a short fast one on the first.
        store.record(sampleRun(600, 1200, 120, PracticeMode::Words, at("2026-12-01T09:00:00")), {});
        store.record(sampleRun(60, 400, 0, PracticeMode::Words, at("2026-12-01T21:00:00")), {});
        store.record(sampleRun(60, 300, 30, PracticeMode::Words, at("2026-12-02T08:00:00")), {});
        store.record(sampleRun(60, 999, 0, PracticeMode::Game, at("2026-12-03T08:00:00")), {});
        QCOMPARE(store.chartPoints(PracticeMode::Words).size(), 3);
        const QList<ChartPoint> days = store.chartPoints(PracticeMode::Words, 2);
        QCOMPARE(days.size(), 2);
        QCOMPARE(days[0].when, at("2026-12-01T12:00:00"));
        QCOMPARE(days[0].runs, 2);
        QCOMPARE(days[0].speed, 1600 * 60 / 660);
        QCOMPARE(days[0].accuracy, (1600 - 120) * 100 / 1600);
        QCOMPARE(days[1].speed, 300);
    }

    void theDateAxisTicksAtRoundMoments_data() {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QStringList>("labels");
        QTest::newRow("an evening")
            << "2026-12-01T17:40:00"
            << "2026-12-01T21:10:00" << QStringList{"18:00", "19:00", "20:00", "21:00"};
        QTest::newRow("a day") << "2026-12-01T07:10:00"
                               << "2026-12-02T01:00:00"
                               << QStringList{"09:00", "12:00", "15:00", "18:00", "21:00", "2 Dec"};
        QTest::newRow("three weeks")
            << "2026-11-20T10:00:00"
            << "2026-12-10T10:00:00" << QStringList{"23 Nov", "30 Nov", "7 Dec"};
        QTest::newRow("over new year")
            << "2026-10-15T00:00:00"
            << "2027-03-20T00:00:00" << QStringList{"Nov", "Dec", "Jan 2027", "Feb", "Mar"};
    }
    void theDateAxisTicksAtRoundMoments() {
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QStringList, labels);
        const QDateTime first = QDateTime::fromString(from, Qt::ISODate);
        const QDateTime last = QDateTime::fromString(to, Qt::ISODate);
        QStringList got;
        for (const ProgressChart::Tick& tick : ProgressChart::dateTicks(first, last)) {
            QVERIFY(tick.when >= first && tick.when <= last);
            got << tick.label;
        }
        QCOMPARE(got, labels);
    }

    void theWindowShowsRunsChartsAndWeakKeys() {
        QTemporaryDir dir;
        HistoryStore store(dir.filePath(HistoryStore::kFileName));
        for (int i = 0; i < 8; ++i) {
            const PracticeMode mode = i < 5 ? PracticeMode::Keys : PracticeMode::Articles;
            PracticeRun run = sampleRun(60 + i, 200 + 10 * i, i, mode,
                                        at("2026-12-01T09:00:00").addSecs(3600 * i));
            run.item = QStringLiteral("run %1").arg(i);
            store.record(run, {});
        }
        // Q missed most often by rate; A too rarely typed to judge; space missed most by count.
        store.record(std::nullopt, {{'Q', 20, 8},
                                    {'A', 4, 4},
                                    {'S', 50, 5},
                                    {'D', 40, 2},
                                    {32, 400, 60},
                                    {'K', 30, 0},
                                    {'L', 30, 3},
                                    {186, 10, 5}});

        ProgressWindow window(&store, PracticeMode::Words); // no runs of its own: the latest
        window.show();
        QCOMPARE(window.shownMode(), PracticeMode::Articles);
        auto* chart = window.findChild<ProgressChart*>();
        QCOMPARE(chart->points().size(), 3);
        QTest::mouseClick(window.findChild<QPushButton*>("Mode_keys"), Qt::LeftButton);
        QCOMPARE(chart->points().size(), 5);
        QCOMPARE(window.shownMode(), PracticeMode::Keys);

        auto* table = window.findChild<QTableWidget*>("RecentRuns");
        QCOMPARE(table->rowCount(), 8);
        QCOMPARE(table->item(0, 2)->text(), QStringLiteral("run 7"));
        QCOMPARE(table->item(0, 1)->text(), QStringLiteral("Articles"));
        QCOMPARE(table->item(0, 1)->toolTip(), QStringLiteral("Article practice"));
        QCOMPARE(table->item(7, 2)->text(), QStringLiteral("run 0"));

        QList<int> weakest;
        for (const KeyTally& key : window.findChild<WeakestKeysView*>()->keys())
            weakest << key.code;
        QCOMPARE(weakest, (QList<int>{186, 'Q', 32, 'S', 'L'}));

        // Every key the lessons use sits inside the heat map, none over another.
        auto* heatMap = window.findChild<KeyHeatMap*>();
        QList<QRectF> drawn;
        for (const KeyboardTable::Place& place : KeyboardTable::keysKeyboardLabels()) {
            const KeyboardTable::Key* key = KeyboardTable::find(place.code);
            if (place.index == KeyboardTable::kEnterLowerLabel || !key ||
                key->finger == KeyboardTable::Finger::None)
                continue;
            const QRectF cap = heatMap->keyRect(place.code);
            QVERIFY2(QRectF(heatMap->rect()).contains(cap),
                     qPrintable(QString::number(place.code)));
            for (const QRectF& other : drawn)
                QVERIFY2(!other.intersects(cap), qPrintable(QString::number(place.code)));
            drawn << cap;
        }
        QVERIFY(!window.findChild<QLabel*>("HistoryNotice")->isVisible());
    }

    // Each key's misses and time, in the latest weeks and in its latest week against the week
    // before; the weakest keys and pairs; and the button that leads on to their drill.
    void theWindowShowsEachKeysFiguresAndLeadsToTheDrill() {
        QTemporaryDir dir;
        HistoryStore store(dir.filePath(HistoryStore::kFileName));
        const qint64 today = QDate(2026, 12, 14).toJulianDay();
        auto on = [](qint64 day, GramStats g) {
            g.day = day;
            return g;
        };
        // Q got better, K worse, A stayed; "th" is slow throughout.
        store.record(std::nullopt, {},
                     {on(today - 9, gram("q", 20, 6, 400)), on(today - 9, gram("k", 20, 0, 200)),
                      on(today - 9, gram("a", 20, 0, 200)), on(today - 9, gram("t", 20, 0, 200)),
                      on(today - 9, gram("h", 20, 0, 200)), on(today - 9, gram("th", 12, 0, 500)),
                      on(today, gram("q", 20, 1, 250)), on(today, gram("k", 20, 4, 300)),
                      on(today, gram("a", 20, 0, 200))});
        ProgressWindow window(&store, PracticeMode::Keys);
        auto* table = window.findChild<QTableWidget*>("KeyFigures");
        QHash<QString, QStringList> rows;
        for (int row = 0; row < table->rowCount(); ++row) {
            QStringList cells;
            for (int column = 1; column < table->columnCount(); ++column)
                cells << table->item(row, column)->text();
            rows.insert(table->item(row, 0)->text(), cells);
        }
        QCOMPARE(rows.value("Q").value(0), QStringLiteral("40"));
        QCOMPARE(rows.value("Q").value(1), QStringLiteral("17.5 %"));
        QCOMPARE(rows.value("Q").last(), QStringLiteral("better"));
        QCOMPARE(rows.value("K").last(), QStringLiteral("worse"));
        QCOMPARE(rows.value("A").last(), QStringLiteral("steady"));
        QCOMPARE(rows.value("T").last(), QString()); // not typed in the latest week
        QVERIFY(rows.value("K").value(3).startsWith(QStringLiteral("20 %, ")));
        const QString weakest = window.findChild<QLabel*>("WeakestGrams")->text();
        QVERIFY2(weakest.contains(QStringLiteral("th")) && weakest.contains(QStringLiteral("q")),
                 qPrintable(weakest));

        window.show();
        QVERIFY(!window.drillWanted());
        window.findChild<QPushButton*>("PractiseWeakKeys")->click();
        QVERIFY(window.drillWanted());
        QVERIFY(!window.isVisible());
        QCOMPARE(window.result(), int(QDialog::Accepted));
    }

    void theWindowTellsOfAHistoryPutAside() {
        QTemporaryDir dir;
        const QString path = dir.filePath(HistoryStore::kFileName);
        QVERIFY(QDir().mkdir(path));
        HistoryStore store(path);
        ProgressWindow window(&store, PracticeMode::Game);
        window.show();
        auto* notice = window.findChild<QLabel*>("HistoryNotice");
        QVERIFY(notice->isVisible());
        QVERIFY(notice->text().contains("history.db.broken-"));
        QCOMPARE(window.findChild<QTableWidget*>("RecentRuns")->rowCount(), 0);
        QVERIFY(window.findChild<ProgressChart*>()->points().isEmpty());
    }
};

QTEST_MAIN(ProgressTest)
#include "test_progress.moc"
