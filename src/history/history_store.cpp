#include "history/history_store.h"

#include "core/state_file.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryFile>
#include <QUrl>
#include <QVariant>
#include <QtDebug>

const QString HistoryStore::kFileName = QStringLiteral("history.db");
const QString HistoryStore::kPendingFileName = QStringLiteral("history-pending.txt");

namespace {

// SQLite's result codes, as Qt hands them over in QSqlError::nativeErrorCode().
constexpr int kSqliteBusy = 5;
constexpr int kSqliteLocked = 6;
constexpr int kSqliteReadOnly = 8;
constexpr int kSqliteCorrupt = 11;
constexpr int kSqliteCantOpen = 14;
constexpr int kSqliteNotADatabase = 26;

// How long a write waits for another running copy of the program to finish its own. A
// longer hold is not waited for: the run waits in the pending file instead.
constexpr int kBusyTimeoutMs = 100;

// The pending file: a header line, then one line a run, one a key and one a gram of a day
// (older programs pass over the lines they do not know), fields split by tabs.
constexpr qint64 kPendingCap = 256 * 1024;
constexpr qsizetype kPendingItemBytes = 300; // the item, percent-encoded, at most
const QByteArray kPendingHeader = "Zephkin pending runs 1";

// No count of the learner's comes near this: a file that holds more is not ours, and sums of
// counts within it cannot overflow.
constexpr qint64 kMostCount = 1'000'000'000'000;

// The journal files SQLite keeps beside a history.
const QString kJournalSuffixes[] = {QStringLiteral("-wal"), QStringLiteral("-shm"),
                                    QStringLiteral("-journal")};

int nativeCode(const QSqlError& error) {
    // Extended codes carry the primary code in their low byte.
    return error.nativeErrorCode().toInt() & 0xff;
}

// The first version: runs without their meters, key counts summed over the modes.
const char* const kSchemaVersion1[] = {
    "CREATE TABLE runs(id INTEGER PRIMARY KEY, mode TEXT NOT NULL, item TEXT NOT NULL,"
    " started INTEGER NOT NULL, active_seconds INTEGER NOT NULL, keystrokes INTEGER NOT NULL,"
    " wrong INTEGER NOT NULL)",
    "CREATE TABLE key_counts(code INTEGER PRIMARY KEY, expected INTEGER NOT NULL,"
    " wrong INTEGER NOT NULL)",
};

// Version 2: each run keeps its speed and accuracy, and runs are found by time.
const char* const kMigrateTo2[] = {
    "ALTER TABLE runs ADD COLUMN speed INTEGER NOT NULL DEFAULT 0",
    "ALTER TABLE runs ADD COLUMN accuracy INTEGER NOT NULL DEFAULT 0",
    "UPDATE runs SET"
    " speed = CASE WHEN active_seconds > 0 THEN keystrokes * 60 / active_seconds ELSE 0 END,"
    " accuracy = CASE WHEN keystrokes > 0 THEN (keystrokes - wrong) * 100 / keystrokes"
    " ELSE 0 END",
    "CREATE INDEX runs_by_start ON runs(started)",
};

// Version 3: a game's speed is its result's, hits × 60 ÷ seconds, as the game tells it; it
// was every input, hits and wrong ones. Its accuracy was already hits ÷ inputs.
const char* const kMigrateTo3[] = {
    "UPDATE runs SET speed = CASE WHEN active_seconds > 0"
    " THEN (keystrokes - wrong) * 60 / active_seconds ELSE 0 END WHERE mode = 'game'",
};

// Version 4: the figures of each key and pair of keys, a row for each day: how often it was
// due, how often missed, and how many of its times fell in each bucket of KeyTiming.
QString timeColumns(const QString& pattern) {
    QStringList columns;
    for (int i = 0; i < KeyTiming::kBuckets; ++i)
        columns << pattern.arg(i);
    return columns.join(QStringLiteral(", "));
}

QStringList migrateTo4() {
    return {QStringLiteral("CREATE TABLE gram_stats(day INTEGER NOT NULL, gram TEXT NOT NULL,"
                           " expected INTEGER NOT NULL DEFAULT 0, wrong INTEGER NOT NULL DEFAULT 0,"
                           " %1, PRIMARY KEY(day, gram)) WITHOUT ROWID")
                .arg(timeColumns(QStringLiteral("t%1 INTEGER NOT NULL DEFAULT 0")))};
}

const char kRunColumns[] =
    "SELECT mode, item, started, active_seconds, keystrokes, wrong, speed, accuracy FROM runs";
// Every run in the order it was practised.
const char kRunsInOrder[] = " ORDER BY started, id";

bool readRun(const QSqlQuery& query, PracticeRun* run) {
    if (!PracticeModes::fromKey(query.value(0).toString(), &run->mode))
        return false; // a mode of a newer program
    run->item = query.value(1).toString();
    run->started = QDateTime::fromSecsSinceEpoch(query.value(2).toLongLong());
    run->activeSeconds = query.value(3).toInt();
    run->keystrokes = query.value(4).toInt();
    run->wrongKeystrokes = query.value(5).toInt();
    run->speed = query.value(6).toInt();
    run->accuracy = query.value(7).toInt();
    return true;
}

} // namespace

struct HistoryStore::Connection {
    QSqlDatabase db;
    QSqlQuery insertRun;
    QSqlQuery addKey;
    QSqlQuery addGram;
};

HistoryStore::HistoryStore(QString path)
    : m_path(std::move(path)),
      m_connectionName(QStringLiteral("history-%1").arg(quintptr(this), 0, 16)) {}

HistoryStore::~HistoryStore() {
    closeConnection();
}

void HistoryStore::closeConnection() {
    if (!m_connection)
        return;
    m_connection->insertRun.finish();
    m_connection->addKey.finish();
    m_connection->addGram.finish();
    m_connection->db.close();
    m_connection.reset();
    QSqlDatabase::removeDatabase(m_connectionName);
}

bool HistoryStore::exec(const QString& sql) {
    QSqlQuery query(m_connection->db);
    return query.exec(sql);
}

HistoryStore::Outcome HistoryStore::classify(int code) const {
    switch (code) {
    case kSqliteBusy:
    case kSqliteLocked:
        return Outcome::Busy;
    case kSqliteReadOnly:
        return Outcome::Unwritable;
    case kSqliteCorrupt:
    case kSqliteNotADatabase:
        return Outcome::NotADatabase;
    case kSqliteCantOpen:
        return Outcome::CannotOpen;
    default:
        // An input/output error, a full disk, no memory: none of them says the file is
        // damaged, and it is tried again later as it is.
        return Outcome::NotNow;
    }
}

HistoryStore::Outcome HistoryStore::tryOpen() {
    const QFileInfo info(m_path);
    const bool existed = info.exists() || info.isSymLink();
    // The history lives in the folder itself: a link or a folder in its place is put aside.
    if (existed && (info.isSymLink() || !info.isFile()))
        return Outcome::NotAFile;
    // SQLite would open its journals through a link, out of the folder, or stall on a FIFO:
    // whatever stands in their place but a file of their own is cleared first.
    m_journalsBefore.clear();
    for (const QString& suffix : kJournalSuffixes) {
        const QFileInfo journal(m_path + suffix);
        if (journal.isSymLink() || (journal.exists() && !journal.isFile() && !journal.isDir()))
            QFile::remove(journal.filePath());
        else if (journal.isFile())
            m_journalsBefore << journal.filePath();
    }

    m_connection = std::make_unique<Connection>();
    m_connection->db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
    if (!m_connection->db.isValid())
        return Outcome::CannotOpen; // no SQLite driver
    m_connection->db.setDatabaseName(m_path);
    m_connection->db.setConnectOptions(
        QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(kBusyTimeoutMs));
    if (!m_connection->db.open())
        return existed ? classify(nativeCode(m_connection->db.lastError())) : Outcome::CannotOpen;
    // The file is the learner's folder's: a trigger or view someone put in it runs no
    // function that reaches out of the database.
    exec(QStringLiteral("PRAGMA trusted_schema = OFF"));

    QSqlQuery version(m_connection->db);
    if (!version.exec(QStringLiteral("PRAGMA user_version")) || !version.next())
        return existed ? classify(nativeCode(version.lastError())) : Outcome::CannotOpen;
    const int schema = version.value(0).toInt();
    version.finish();
    if (schema > kSchemaVersion)
        return Outcome::Newer;

    // Write-ahead logging: a commit costs no wait for the disk, and a second running copy
    // reads while this one writes. A crash loses at most the last run, never the file.
    exec(QStringLiteral("PRAGMA journal_mode=WAL"));
    exec(QStringLiteral("PRAGMA synchronous=NORMAL"));
    // The log is folded back into the file when the program closes it, not in the middle of
    // a lesson: a record then never waits for the disk.
    exec(QStringLiteral("PRAGMA wal_autocheckpoint=0"));

    if (existed && !info.isWritable())
        return Outcome::Unwritable;
    if (m_suspectedFailure == kSqliteCorrupt || m_suspectedFailure == kSqliteNotADatabase) {
        QSqlQuery check(m_connection->db);
        if (!check.exec(QStringLiteral("PRAGMA quick_check")) || !check.next() ||
            check.value(0).toString() != QLatin1String("ok"))
            return Outcome::NotADatabase;
    }
    // Always one write at open: it proves the file can be written, and it sets up the log, so
    // the records that follow cost no more than their own rows.
    const Outcome schemaOutcome = createOrMigrate(schema);
    if (schemaOutcome != Outcome::Ok)
        return schemaOutcome;

    m_connection->insertRun = QSqlQuery(m_connection->db);
    m_connection->addKey = QSqlQuery(m_connection->db);
    m_connection->addGram = QSqlQuery(m_connection->db);
    QStringList placeholders;
    for (int i = 0; i < KeyTiming::kBuckets + 4; ++i)
        placeholders << QStringLiteral("?");
    const bool prepared =
        m_connection->insertRun.prepare(QStringLiteral(
            "INSERT INTO runs(mode, item, started, active_seconds, keystrokes, wrong, speed,"
            " accuracy) VALUES(?, ?, ?, ?, ?, ?, ?, ?)")) &&
        m_connection->addKey.prepare(QStringLiteral(
            "INSERT INTO key_counts(code, expected, wrong) VALUES(?, ?, ?) ON CONFLICT(code)"
            " DO UPDATE SET expected = expected + excluded.expected,"
            " wrong = wrong + excluded.wrong")) &&
        m_connection->addGram.prepare(
            QStringLiteral("INSERT INTO gram_stats(day, gram, expected, wrong, %1) VALUES(%2)"
                           " ON CONFLICT(day, gram) DO UPDATE SET"
                           " expected = expected + excluded.expected,"
                           " wrong = wrong + excluded.wrong, %3")
                .arg(timeColumns(QStringLiteral("t%1")), placeholders.join(u','),
                     timeColumns(QStringLiteral("t%1 = t%1 + excluded.t%1"))));
    // The runs must also come out as they are read, by their number: tables someone edited
    // would take runs in and never give them back, and such a file is no history.
    QSqlQuery readRuns(m_connection->db);
    const bool readable = prepared && readRuns.prepare(QString::fromLatin1(kRunColumns) +
                                                       QString::fromLatin1(kRunsInOrder));
    return readable ? Outcome::Ok : Outcome::NotADatabase;
}

HistoryStore::Outcome HistoryStore::createOrMigrate(int version) {
    QSqlDatabase& db = m_connection->db;
    // Taking the write lock first also proves that the file can be written.
    QSqlQuery begin(db);
    if (!begin.exec(QStringLiteral("BEGIN IMMEDIATE")))
        return classify(nativeCode(begin.lastError()));
    QSqlQuery query(db);
    // Read again under the lock: another copy may have migrated the file meanwhile.
    if (!query.exec(QStringLiteral("PRAGMA user_version")) || !query.next()) {
        exec(QStringLiteral("ROLLBACK"));
        return classify(nativeCode(query.lastError()));
    }
    version = query.value(0).toInt();
    query.finish();

    QStringList steps;
    if (version == 0) {
        // A new file, or one that holds tables of no history: only an empty one is taken.
        QSqlQuery tables(db);
        if (!tables.exec(QStringLiteral("SELECT count(*) FROM sqlite_master")) || !tables.next()) {
            exec(QStringLiteral("ROLLBACK"));
            return classify(nativeCode(tables.lastError()));
        }
        if (tables.value(0).toInt() != 0) {
            tables.finish();
            exec(QStringLiteral("ROLLBACK"));
            return Outcome::NotADatabase;
        }
        tables.finish();
        for (const char* sql : kSchemaVersion1)
            steps << QString::fromLatin1(sql);
        version = 1;
    }
    if (version == 1) {
        for (const char* sql : kMigrateTo2)
            steps << QString::fromLatin1(sql);
        version = 2;
    }
    if (version == 2) {
        for (const char* sql : kMigrateTo3)
            steps << QString::fromLatin1(sql);
        version = 3;
    }
    if (version == 3)
        steps << migrateTo4();
    // Setting the version always writes, so a file that cannot be written shows it here.
    steps << QStringLiteral("PRAGMA user_version = %1").arg(kSchemaVersion);
    for (const QString& sql : steps) {
        if (!query.exec(sql)) {
            const int code = nativeCode(query.lastError());
            qWarning("history: %s: %s", qPrintable(sql), qPrintable(query.lastError().text()));
            exec(QStringLiteral("ROLLBACK"));
            return classify(code);
        }
    }
    if (!query.exec(QStringLiteral("COMMIT"))) {
        const int code = nativeCode(query.lastError());
        exec(QStringLiteral("ROLLBACK"));
        return classify(code);
    }
    return Outcome::Ok;
}

QString HistoryStore::moveAside() {
    const QString base = m_path + QStringLiteral(".broken-") +
                         QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
    QString aside = base;
    for (int n = 2; QFileInfo::exists(aside) || QFileInfo(aside).isSymLink(); ++n)
        aside = base + QStringLiteral("-%1").arg(n);
    QDir folder;
    if (!folder.rename(m_path, aside))
        return {};
    // The journal files belong to the file put aside; a new history must not take them up.
    for (const QString& suffix : {QStringLiteral("-wal"), QStringLiteral("-shm")}) {
        if (QFileInfo::exists(m_path + suffix))
            folder.rename(m_path + suffix, aside + suffix);
    }
    return aside;
}

void HistoryStore::removeOwnJournals(const QStringList& keep) {
    // A read-only history opened for reading gets journals it cannot clear away, read-only
    // like it; those this open made hold nothing of the history.
    for (const QString& suffix : kJournalSuffixes) {
        const QString journal = m_path + suffix;
        if (!keep.contains(journal) && QFileInfo(journal).isFile() &&
            !QFileInfo(journal).isSymLink())
            QFile::remove(journal);
    }
}

bool HistoryStore::open() {
    if (m_state != State::Closed)
        return m_state == State::Open;
    Outcome outcome = tryOpen();
    if (outcome == Outcome::NotAFile || outcome == Outcome::NotADatabase ||
        outcome == Outcome::Unwritable) {
        // A sound history that could not be written: its runs, those still in its log too,
        // are carried over into a new file, made while it is open for reading.
        std::unique_ptr<QTemporaryFile> copy;
        if (outcome == Outcome::Unwritable) {
            copy = std::make_unique<QTemporaryFile>(QFileInfo(m_path).absolutePath() +
                                                    QStringLiteral("/.") + kFileName +
                                                    QStringLiteral(".XXXXXX"));
            QSqlQuery vacuum(m_connection->db);
            if (!copy->open() || !vacuum.prepare(QStringLiteral("VACUUM INTO ?")))
                copy.reset();
            else {
                vacuum.bindValue(0, copy->fileName());
                if (!vacuum.exec())
                    copy.reset();
            }
        }
        closeConnection();
        removeOwnJournals(m_journalsBefore);
        const QString aside = moveAside();
        if (!aside.isEmpty()) {
            const QString asideName = QFileInfo(aside).fileName();
            bool copied = false;
            if (copy) {
                copy->close();
                copied = QFile::rename(copy->fileName(), m_path) &&
                         QFile::setPermissions(m_path,
                                               QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                   QFileDevice::ReadGroup | QFileDevice::ReadOther);
                if (copied)
                    copy->setAutoRemove(false);
                outcome = copied ? tryOpen() : Outcome::NotADatabase;
                if (outcome != Outcome::Ok) {
                    closeConnection();
                    QFile::remove(m_path);
                    copied = false;
                }
            }
            if (!copied)
                outcome = tryOpen();
            if (outcome == Outcome::Ok) {
                m_notice = copied ? QStringLiteral("The practice history could not be written: it "
                                                   "was kept as %1 and copied to a new file.")
                                        .arg(asideName)
                                  : QStringLiteral("The practice history could not be read: it "
                                                   "was kept as %1 and a new one was started.")
                                        .arg(asideName);
            }
        }
    }
    if (outcome == Outcome::Ok) {
        m_state = State::Open;
        m_suspectedFailure = 0;
        m_laterNotice.clear();
        if (!m_notice.isEmpty())
            qWarning("%s", qPrintable(m_notice));
        return true;
    }
    closeConnection();
    if (outcome == Outcome::Busy || outcome == Outcome::NotNow) {
        // The file is sound, or not known to be otherwise: it stays as it is and is tried
        // again next time.
        notWrittenNow(outcome);
        return false;
    }
    m_state = State::Unavailable;
    if (outcome == Outcome::Newer)
        m_notice = QStringLiteral("The practice history was written by a newer Zephkin; it is "
                                  "shown and kept by that version only.");
    else if (m_notice.isEmpty())
        m_notice = QStringLiteral("The practice history cannot be kept in %1.")
                       .arg(QDir::toNativeSeparators(QFileInfo(m_path).absolutePath()));
    qWarning("%s", qPrintable(m_notice));
    return false;
}

void HistoryStore::notWrittenNow(Outcome outcome) {
    const QString text =
        outcome == Outcome::Busy
            ? QStringLiteral("The practice history is in use by another program just now: new "
                             "runs are kept and added to it later.")
            : QStringLiteral("The practice history cannot be written just now (is the disk "
                             "full?): new runs are kept and added to it later.");
    if (text != m_laterNotice)
        qWarning("%s", qPrintable(text));
    m_laterNotice = text;
}

void HistoryStore::handleFailure(int code) {
    // A file damaged or made read-only while the program runs: it is checked again, and put
    // aside when it fails, at the next look or record.
    if (code == kSqliteCorrupt || code == kSqliteNotADatabase || code == kSqliteReadOnly) {
        closeConnection();
        m_state = State::Closed;
        m_suspectedFailure = code;
        return;
    }
    const Outcome outcome = classify(code);
    if (outcome == Outcome::Busy || outcome == Outcome::NotNow)
        notWrittenNow(outcome);
    // After an input/output error the file is opened afresh next time.
    if (outcome == Outcome::NotNow) {
        closeConnection();
        m_state = State::Closed;
    }
}

void HistoryStore::Pending::addGrams(const QList<GramStats>& more) {
    for (const GramStats& gram : more) {
        GramStats& sum = grams[{gram.day, gram.gram}];
        sum.gram = gram.gram;
        sum.day = gram.day;
        sum.add(gram);
    }
}

bool HistoryStore::record(const std::optional<PracticeRun>& run, const QList<KeyTally>& keys,
                          const QList<GramStats>& grams) {
    loadPending();
    if (!run && keys.isEmpty() && grams.isEmpty() && m_pending.isEmpty())
        return true;
    // The runs that wait go first, in the same transaction.
    QList<PracticeRun> runs = m_pending.runs;
    if (run)
        runs.append(*run);
    QMap<int, KeyTally> tallies = m_pending.keys;
    for (const KeyTally& key : keys) {
        KeyTally& sum = tallies[key.code];
        sum.code = key.code;
        sum.expected += key.expected;
        sum.wrong += key.wrong;
    }
    Pending withGrams;
    withGrams.grams = m_pending.grams;
    withGrams.addGrams(grams);
    const QList<GramStats> allGrams = withGrams.grams.values();
    Write result = recordOnce(runs, tallies.values(), allGrams);
    // Once more into a file that was checked (and put aside if need be) after the failure.
    if (result != Write::Done && m_state == State::Closed && m_suspectedFailure != 0)
        result = recordOnce(runs, tallies.values(), allGrams);
    if (result == Write::Done) {
        clearPending();
        return true;
    }
    if (result == Write::Later)
        keepForLater(run, keys, grams);
    return false;
}

bool HistoryStore::writePending() {
    loadPending();
    if (m_pending.isEmpty())
        return open();
    return record(std::nullopt, {});
}

bool HistoryStore::hasPending() const {
    return !m_pending.isEmpty() ||
           (!m_pendingLoaded && StateFile::isRegularFile(pendingPath()));
}

QString HistoryStore::pendingPath() const {
    return QFileInfo(m_path).absolutePath() + u'/' + kPendingFileName;
}

void HistoryStore::loadPending() {
    if (m_pendingLoaded)
        return;
    m_pendingLoaded = true;
    bool found = false, cut = false;
    const QString text = StateFile::readText(pendingPath(), &found, kPendingCap, &cut);
    if (!found)
        return;
    QStringList lines = StateFile::splitLines(
        text, {.maxLines = kMaxPendingRuns + 1000 + kMaxPendingGrams, .maxLineLength = 1000});
    if (lines.value(0).toLatin1() != kPendingHeader)
        return; // not ours, or of a newer program: left as it is
    m_pendingInFile = true;
    if (cut)
        lines.removeLast(); // it may end in the middle
    Pending kept;
    for (const QString& line : lines.mid(1)) {
        const QStringList f = line.split(u'\t');
        bool ok[4] = {false, false, false, false};
        if (f.size() == 7 && f[0] == u"run") {
            PracticeRun run;
            if (!PracticeModes::fromKey(f[1], &run.mode))
                continue;
            run.started = QDateTime::fromSecsSinceEpoch(f[2].toLongLong(&ok[0]));
            run.activeSeconds = f[3].toInt(&ok[1]);
            run.keystrokes = f[4].toInt(&ok[2]);
            run.wrongKeystrokes = f[5].toInt(&ok[3]);
            run.item = QUrl::fromPercentEncoding(f[6].toLatin1());
            if (!(ok[0] && ok[1] && ok[2] && ok[3]) || run.activeSeconds < 0 ||
                run.keystrokes < 0 || run.wrongKeystrokes < 0 ||
                run.wrongKeystrokes > run.keystrokes)
                continue;
            run.computeMeters();
            kept.runs.append(run);
        } else if (f.size() == 4 && f[0] == u"key") {
            KeyTally key;
            key.code = f[1].toInt(&ok[0]);
            key.expected = f[2].toLongLong(&ok[1]);
            key.wrong = f[3].toLongLong(&ok[2]);
            if (!(ok[0] && ok[1] && ok[2]) || key.code <= 0 || key.code > 255 || key.expected < 0 ||
                key.wrong < 0 || key.wrong > key.expected || key.expected > kMostCount)
                continue;
            KeyTally& sum = kept.keys[key.code];
            sum.code = key.code;
            sum.expected += key.expected;
            sum.wrong += key.wrong;
        } else if (f.size() == 6 && f[0] == u"gram") {
            GramStats gram;
            gram.day = f[1].toLongLong(&ok[0]);
            gram.gram = QUrl::fromPercentEncoding(f[2].toLatin1());
            gram.expected = f[3].toLongLong(&ok[1]);
            gram.wrong = f[4].toLongLong(&ok[2]);
            const QStringList times = f[5].split(u',');
            ok[3] = times.size() == KeyTiming::kBuckets;
            for (int i = 0; ok[3] && i < KeyTiming::kBuckets; ++i) {
                gram.times[size_t(i)] = times[i].toLongLong(&ok[3]);
                ok[3] = ok[3] && gram.times[size_t(i)] >= 0 && gram.times[size_t(i)] <= kMostCount;
            }
            if (!(ok[0] && ok[1] && ok[2] && ok[3]) || gram.gram.isEmpty() ||
                gram.gram.size() > 2 || gram.expected < 0 || gram.wrong < 0 ||
                gram.wrong > gram.expected || gram.expected > kMostCount)
                continue;
            kept.addGrams({gram});
        }
    }
    // What was kept before this run comes first.
    kept.runs += m_pending.runs;
    for (const KeyTally& key : std::as_const(m_pending.keys)) {
        KeyTally& sum = kept.keys[key.code];
        sum.code = key.code;
        sum.expected += key.expected;
        sum.wrong += key.wrong;
    }
    kept.addGrams(m_pending.grams.values());
    m_pending = kept;
}

void HistoryStore::keepForLater(const std::optional<PracticeRun>& run, const QList<KeyTally>& keys,
                                const QList<GramStats>& grams) {
    if (run)
        m_pending.runs.append(*run);
    for (const KeyTally& key : keys) {
        KeyTally& sum = m_pending.keys[key.code];
        sum.code = key.code;
        sum.expected += key.expected;
        sum.wrong += key.wrong;
    }
    if (m_pending.runs.size() > kMaxPendingRuns)
        m_pending.runs.remove(0, m_pending.runs.size() - kMaxPendingRuns);
    m_pending.addGrams(grams);
    // The oldest days' figures give way first.
    while (m_pending.grams.size() > kMaxPendingGrams)
        m_pending.grams.erase(m_pending.grams.begin());

    QByteArray bytes = kPendingHeader + "\r\n";
    for (const PracticeRun& r : std::as_const(m_pending.runs)) {
        QString item = r.item;
        QByteArray encoded = QUrl::toPercentEncoding(item);
        while (encoded.size() > kPendingItemBytes) {
            item.chop(std::max<qsizetype>(1, item.size() / 4));
            encoded = QUrl::toPercentEncoding(item);
        }
        bytes += "run\t" + PracticeModes::key(r.mode).toLatin1() + '\t' +
                 QByteArray::number(r.started.toSecsSinceEpoch()) + '\t' +
                 QByteArray::number(r.activeSeconds) + '\t' + QByteArray::number(r.keystrokes) +
                 '\t' + QByteArray::number(r.wrongKeystrokes) + '\t' + encoded + "\r\n";
    }
    for (const KeyTally& key : std::as_const(m_pending.keys))
        bytes += "key\t" + QByteArray::number(key.code) + '\t' +
                 QByteArray::number(key.expected) + '\t' + QByteArray::number(key.wrong) +
                 "\r\n";
    for (const GramStats& gram : std::as_const(m_pending.grams)) {
        QByteArrayList times;
        for (qint64 n : gram.times)
            times << QByteArray::number(n);
        bytes += "gram\t" + QByteArray::number(gram.day) + '\t' +
                 QUrl::toPercentEncoding(gram.gram) + '\t' + QByteArray::number(gram.expected) +
                 '\t' + QByteArray::number(gram.wrong) + '\t' + times.join(',') + "\r\n";
    }
    // Written as every state file is; when even that fails (the disk is full) the runs wait
    // in memory for the rest of the session.
    if (StateFile::writeBytes(pendingPath(), bytes, false))
        m_pendingInFile = true;
}

void HistoryStore::clearPending() {
    m_pending = {};
    if (m_pendingInFile && QFileInfo(pendingPath()).isFile())
        QFile::remove(pendingPath());
    m_pendingInFile = false;
}

HistoryStore::Write HistoryStore::recordOnce(const QList<PracticeRun>& runs,
                                             const QList<KeyTally>& keys,
                                             const QList<GramStats>& grams) {
    if (!open())
        return m_state == State::Closed ? Write::Later : Write::Lost;
    auto failed = [this](int code) {
        handleFailure(code);
        const Outcome outcome = classify(code);
        return outcome == Outcome::Busy || outcome == Outcome::NotNow ? Write::Later
                                                                      : Write::Lost;
    };
    QSqlDatabase& db = m_connection->db;
    if (!db.transaction())
        return failed(nativeCode(db.lastError()));
    bool ok = true;
    int failure = 0;
    QSqlQuery& insert = m_connection->insertRun;
    for (const PracticeRun& run : runs) {
        if (!ok)
            break;
        insert.bindValue(0, PracticeModes::key(run.mode));
        insert.bindValue(1, run.item);
        insert.bindValue(2, run.started.toSecsSinceEpoch());
        insert.bindValue(3, run.activeSeconds);
        insert.bindValue(4, run.keystrokes);
        insert.bindValue(5, run.wrongKeystrokes);
        insert.bindValue(6, run.speed);
        insert.bindValue(7, run.accuracy);
        ok = insert.exec();
        if (!ok)
            failure = nativeCode(insert.lastError());
        insert.finish();
    }
    QSqlQuery& add = m_connection->addKey;
    for (const KeyTally& key : keys) {
        if (!ok)
            break;
        add.bindValue(0, key.code);
        add.bindValue(1, key.expected);
        add.bindValue(2, key.wrong);
        ok = add.exec();
        if (!ok)
            failure = nativeCode(add.lastError());
        add.finish();
    }
    QSqlQuery& addGram = m_connection->addGram;
    for (const GramStats& gram : grams) {
        if (!ok)
            break;
        addGram.bindValue(0, gram.day);
        addGram.bindValue(1, gram.gram);
        addGram.bindValue(2, gram.expected);
        addGram.bindValue(3, gram.wrong);
        for (int i = 0; i < KeyTiming::kBuckets; ++i)
            addGram.bindValue(4 + i, gram.times[size_t(i)]);
        ok = addGram.exec();
        if (!ok)
            failure = nativeCode(addGram.lastError());
        addGram.finish();
    }
    if (ok && db.commit())
        return Write::Done;
    if (ok)
        failure = nativeCode(db.lastError());
    qWarning("history: a run was not recorded (SQLite code %d)", failure);
    db.rollback();
    return failed(failure);
}

QList<PracticeRun> HistoryStore::runs() {
    return selectRuns(QString::fromLatin1(kRunsInOrder), -1);
}

QList<PracticeRun> HistoryStore::recentRuns(int limit) {
    return selectRuns(QStringLiteral(" ORDER BY started DESC, id DESC LIMIT ?"), limit);
}

// The runs in `order`; `limit` is bound to its placeholder when it has one (limit >= 0).
QList<PracticeRun> HistoryStore::selectRuns(const QString& order, int limit) {
    QList<PracticeRun> result;
    if (!open())
        return result;
    QSqlQuery query(m_connection->db);
    query.setForwardOnly(true);
    query.prepare(QString::fromLatin1(kRunColumns) + order);
    if (limit >= 0)
        query.bindValue(0, limit);
    if (!query.exec()) {
        handleFailure(nativeCode(query.lastError()));
        return result;
    }
    PracticeRun run;
    while (query.next()) {
        if (readRun(query, &run))
            result.append(run);
    }
    return result;
}

QList<KeyTally> HistoryStore::keyTallies() {
    QList<KeyTally> result;
    if (!open())
        return result;
    QSqlQuery query(m_connection->db);
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT code, expected, wrong FROM key_counts ORDER BY code"))) {
        handleFailure(nativeCode(query.lastError()));
        return result;
    }
    while (query.next())
        result.append(
            {query.value(0).toInt(), query.value(1).toLongLong(), query.value(2).toLongLong()});
    return result;
}

QList<GramStats> HistoryStore::gramStats(qint64 firstDay, qint64 lastDay) {
    QList<GramStats> result;
    if (!open())
        return result;
    QSqlQuery query(m_connection->db);
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT gram, sum(expected), sum(wrong), %1 FROM gram_stats"
                                 " WHERE day BETWEEN ? AND ? GROUP BY gram ORDER BY gram")
                      .arg(timeColumns(QStringLiteral("sum(t%1)"))));
    query.bindValue(0, firstDay);
    query.bindValue(1, lastDay);
    if (!query.exec()) {
        handleFailure(nativeCode(query.lastError()));
        return result;
    }
    while (query.next()) {
        GramStats gram;
        gram.gram = query.value(0).toString();
        gram.expected = query.value(1).toLongLong();
        gram.wrong = query.value(2).toLongLong();
        for (int i = 0; i < KeyTiming::kBuckets; ++i)
            gram.times[size_t(i)] = query.value(3 + i).toLongLong();
        // A row someone else wrote may hold anything: a gram is one or two characters, and
        // every count lies between zero and more than a lifetime of typing, so sums of them
        // cannot overflow.
        const auto wild = [](qint64 n) { return n < 0 || n > kMostCount; };
        if (gram.gram.isEmpty() || gram.gram.size() > 2 || wild(gram.expected) ||
            wild(gram.wrong) || std::any_of(gram.times.begin(), gram.times.end(), wild))
            continue;
        result.append(gram);
    }
    return result;
}

// Like the lessons' last runs: a history that is not there yet is not made for asking.
qint64 HistoryStore::lastGramDay() {
    if (!QFileInfo::exists(m_path) || !open())
        return 0;
    QSqlQuery query(m_connection->db);
    if (!query.exec(QStringLiteral("SELECT max(day) FROM gram_stats"))) {
        handleFailure(nativeCode(query.lastError()));
        return 0;
    }
    return query.next() ? query.value(0).toLongLong() : 0;
}

int HistoryStore::runCount() {
    if (!open())
        return 0;
    QSqlQuery query(m_connection->db);
    if (!query.exec(QStringLiteral("SELECT count(*) FROM runs")) || !query.next())
        return 0;
    return query.value(0).toInt();
}

QList<ChartPoint> HistoryStore::chartPoints(PracticeMode mode, int maxPoints) {
    QList<ChartPoint> points;
    if (!open())
        return points;
    QSqlQuery count(m_connection->db);
    count.prepare(QStringLiteral("SELECT count(*) FROM runs WHERE mode = ?"));
    count.bindValue(0, PracticeModes::key(mode));
    if (!count.exec() || !count.next()) {
        handleFailure(nativeCode(count.lastError()));
        return points;
    }
    const bool byDay = count.value(0).toInt() > maxPoints;
    count.finish();
    QSqlQuery query(m_connection->db);
    query.setForwardOnly(true);
    query.prepare(byDay
                      ? QStringLiteral("SELECT date(started, 'unixepoch', 'localtime') AS day,"
                                       " sum(active_seconds), sum(keystrokes), sum(wrong), count(*)"
                                       " FROM runs WHERE mode = ? GROUP BY day ORDER BY day")
                      : QStringLiteral("SELECT started, active_seconds, keystrokes, wrong,"
                                       " speed, accuracy FROM runs WHERE mode = ?"
                                       " ORDER BY started, id"));
    query.bindValue(0, PracticeModes::key(mode));
    if (!query.exec()) {
        handleFailure(nativeCode(query.lastError()));
        return points;
    }
    while (query.next()) {
        ChartPoint point;
        if (byDay) {
            point.when =
                QDateTime(QDate::fromString(query.value(0).toString(), Qt::ISODate), QTime(12, 0));
            const qint64 seconds = query.value(1).toLongLong();
            const qint64 keys = query.value(2).toLongLong();
            const qint64 wrong = query.value(3).toLongLong();
            point.speed = seconds > 0 ? int(keys * 60 / seconds) : 0;
            point.accuracy = keys > 0 ? int((keys - wrong) * 100 / keys) : 0;
            point.runs = query.value(4).toInt();
        } else {
            point.when = QDateTime::fromSecsSinceEpoch(query.value(0).toLongLong());
            point.speed = query.value(4).toInt();
            point.accuracy = query.value(5).toInt();
            point.runs = 1;
        }
        points.append(point);
    }
    return points;
}

HistoryStore::Totals HistoryStore::totals() {
    Totals result;
    if (!open())
        return result;
    QSqlQuery query(m_connection->db);
    if (!query.exec(
            QStringLiteral("SELECT count(*), total(active_seconds), min(started) FROM runs")) ||
        !query.next())
        return result;
    result.runs = query.value(0).toInt();
    result.activeSeconds = qint64(query.value(1).toDouble());
    if (result.runs > 0)
        result.first = QDateTime::fromSecsSinceEpoch(query.value(2).toLongLong());
    return result;
}

// A history that is not there yet has no runs to compare with, and is not made for asking.
std::optional<PracticeRun> HistoryStore::lastRun(PracticeMode mode, const QString& item) {
    if (!QFileInfo::exists(m_path) || !open())
        return std::nullopt;
    QSqlQuery query(m_connection->db);
    query.setForwardOnly(true);
    query.prepare(QString::fromLatin1(kRunColumns) +
                  QStringLiteral(" WHERE mode = ? AND item = ? ORDER BY started DESC, id DESC"
                                 " LIMIT 1"));
    query.bindValue(0, PracticeModes::key(mode));
    query.bindValue(1, item);
    PracticeRun run;
    if (!query.exec()) {
        handleFailure(nativeCode(query.lastError()));
        return std::nullopt;
    }
    if (query.next() && readRun(query, &run))
        return run;
    return std::nullopt;
}

int HistoryStore::bestSpeed(PracticeMode mode, const QString& item) {
    if (!QFileInfo::exists(m_path) || !open())
        return 0;
    QSqlQuery query(m_connection->db);
    query.prepare(QStringLiteral("SELECT max(speed) FROM runs WHERE mode = ? AND item = ?"));
    query.bindValue(0, PracticeModes::key(mode));
    query.bindValue(1, item);
    if (!query.exec()) {
        handleFailure(nativeCode(query.lastError()));
        return 0;
    }
    return query.next() ? query.value(0).toInt() : 0;
}
