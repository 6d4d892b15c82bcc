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
#include <QVariant>
#include <QtDebug>

#include <algorithm>
#include <utility>

const QString HistoryStore::kFileName = QStringLiteral("history.db");
const QString HistoryStore::kPendingFileName = QStringLiteral("history-pending.txt");
const QString HistoryStore::kReserveName = QStringLiteral(".history-reserve");

namespace {

// SQLite's result codes, as Qt hands them over in QSqlError::nativeErrorCode().
constexpr int kSqliteError = 1;
constexpr int kSqliteBusy = 5;
constexpr int kSqliteLocked = 6;
constexpr int kSqliteReadOnly = 8;
constexpr int kSqliteCorrupt = 11;
constexpr int kSqliteCantOpen = 14;
constexpr int kSqliteTooBig = 18;
constexpr int kSqliteConstraint = 19;
constexpr int kSqliteMismatch = 20;
constexpr int kSqliteRange = 25;
constexpr int kSqliteNotADatabase = 26;

// How long a write waits for another running copy of the program to finish its own. A
// longer hold is not waited for: the run waits in the pending file instead.
constexpr int kBusyTimeoutMs = 100;

// The journal files SQLite keeps beside a history.
const QString kJournalSuffixes[] = {QStringLiteral("-wal"), QStringLiteral("-shm"),
                                    QStringLiteral("-journal")};

int nativeCode(const QSqlError& error) {
    // Extended codes carry the primary code in their low byte.
    return error.nativeErrorCode().toInt() & 0xff;
}

// Whether a look that failed with `code` came upon a damaged file, rather than one that cannot
// be read just now (a lock, an input/output error, no memory) or an error of no code.
bool isDamage(int code) {
    switch (code) {
    case kSqliteError:
    case kSqliteCorrupt:
    case kSqliteTooBig:
    case kSqliteConstraint:
    case kSqliteMismatch:
    case kSqliteRange:
    case kSqliteNotADatabase:
        return true;
    default:
        return false;
    }
}

// The rows whose figures a real run can have, as SQL conditions. The type is asked first: a
// column of a file someone else wrote may hold text, a blob or a number of any size.
QString integerIn(const QString& column, qint64 least, const QString& most) {
    return QStringLiteral("typeof(%1) = 'integer' AND %1 BETWEEN %2 AND %3")
        .arg(column)
        .arg(least)
        .arg(most);
}
QString integerIn(const QString& column, qint64 least, qint64 most) {
    return integerIn(column, least, QString::number(most));
}

const QString& validRun() {
    using namespace RunLimits;
    static const QString condition =
        QStringLiteral("(typeof(mode) = 'text' AND mode IN ('keys', 'words', 'articles', 'game')"
                       " AND typeof(item) = 'text' AND ") +
        // Never through the index by time (the unary plus): see kRunsInOrder.
        QStringList{integerIn(QStringLiteral("+started"), 0, kLatestStart),
                    integerIn(QStringLiteral("active_seconds"), 0, kMostSeconds),
                    integerIn(QStringLiteral("keystrokes"), 0, kMostKeystrokes),
                    integerIn(QStringLiteral("wrong"), 0, QStringLiteral("keystrokes")),
                    integerIn(QStringLiteral("speed"), 0, kMostSpeed),
                    integerIn(QStringLiteral("accuracy"), 0, 100)}
            .join(QStringLiteral(" AND ")) +
        u')';
    return condition;
}

const QString& validKey() {
    using namespace RunLimits;
    static const QString condition =
        u'(' +
        QStringList{integerIn(QStringLiteral("code"), 1, kMostCode),
                    integerIn(QStringLiteral("expected"), 0, kMostKeyCount),
                    integerIn(QStringLiteral("wrong"), 0, QStringLiteral("expected"))}
            .join(QStringLiteral(" AND ")) +
        u')';
    return condition;
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

// One day's figures of a gram, each within what a day of typing comes to.
const QString& validGram() {
    static const QString condition = [] {
        QStringList parts{
            integerIn(QStringLiteral("day"), GramStats::kFirstDay, GramStats::kLastDay),
            QStringLiteral("typeof(gram) = 'text' AND length(gram) BETWEEN 1 AND 2"),
            integerIn(QStringLiteral("expected"), 0, GramStats::kMostDayCount),
            integerIn(QStringLiteral("wrong"), 0, QStringLiteral("expected"))};
        for (int i = 0; i < KeyTiming::kBuckets; ++i)
            parts << integerIn(QStringLiteral("t%1").arg(i), 0, GramStats::kMostDayCount);
        return u'(' + parts.join(QStringLiteral(" AND ")) + u')';
    }();
    return condition;
}

const char kRunColumns[] =
    "SELECT mode, item, started, active_seconds, keystrokes, wrong, speed, accuracy FROM runs";
// Every run in the order it was practised. The runs are read from their table, never through
// the index by time: a lost row of the index would leave a run out without a word, and every
// list and sum is to count the same runs.
const char kRunsInOrder[] = " ORDER BY +started, id";

// A row of kRunColumns that validRun() let through.
PracticeRun readRun(const QSqlQuery& query) {
    PracticeRun run;
    PracticeModes::fromKey(query.value(0).toString(), &run.mode);
    run.item = query.value(1).toString();
    run.started = QDateTime::fromSecsSinceEpoch(query.value(2).toLongLong());
    run.activeSeconds = query.value(3).toInt();
    run.keystrokes = query.value(4).toInt();
    run.wrongKeystrokes = query.value(5).toInt();
    run.speed = query.value(6).toInt();
    run.accuracy = query.value(7).toInt();
    return run;
}

QString keyTalliesQuery() {
    return QStringLiteral("SELECT code, total(expected), total(wrong) FROM key_counts WHERE %1"
                          " GROUP BY code ORDER BY code")
        .arg(validKey());
}

QString gramStatsQuery() {
    return QStringLiteral("SELECT gram, total(expected), total(wrong), %1 FROM gram_stats"
                          " WHERE day BETWEEN ? AND ? AND %2 GROUP BY gram ORDER BY gram")
        .arg(timeColumns(QStringLiteral("total(t%1)")), validGram());
}

// The date a put-aside file is named after.
QString asideName(const QString& path) {
    return path + QStringLiteral(".broken-") +
           QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
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
    // SQLite itself came upon damage in a look: a check might pass over it (a lost row of an
    // index), and the file is put aside as it is.
    if (m_damageMet)
        return Outcome::NotADatabase;
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
    // Always one write at open: it proves the file can be written, and it sets up the log, so
    // the records that follow cost no more than their own rows.
    const Outcome schemaOutcome = createOrMigrate(schema);
    if (schemaOutcome != Outcome::Ok)
        return schemaOutcome;
    // The runs are read from their table, but a row lost from the index by time, or one too
    // many there (a failing disk), is damage all the same, which no look would come upon.
    const QString digest = QStringLiteral(
        "(SELECT count(*) || ' ' || total(started) || ' ' || total(id) FROM runs %1)");
    QSqlQuery index(m_connection->db);
    const bool indexRead =
        index.exec(QStringLiteral("SELECT %1 = %2")
                       .arg(digest.arg(QStringLiteral("INDEXED BY runs_by_start")),
                            digest.arg(QStringLiteral("NOT INDEXED")))) &&
        index.next();
    if (!indexRead && !isDamage(nativeCode(index.lastError())))
        return classify(nativeCode(index.lastError()));
    if (!indexRead || !index.value(0).toBool()) {
        m_damageMet = true;
        return Outcome::NotADatabase;
    }
    index.finish();

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
    // The runs must also come out as they are read, by their number, and every look must find
    // its columns: tables someone edited would take runs in and never give them back, and such
    // a file is no history.
    bool readable = prepared;
    for (const QString& sql : {QString::fromLatin1(kRunColumns) + QStringLiteral(" WHERE ") +
                                   validRun() + QString::fromLatin1(kRunsInOrder),
                               keyTalliesQuery(), gramStatsQuery()}) {
        QSqlQuery look(m_connection->db);
        readable = readable && look.prepare(sql);
    }
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

QString HistoryStore::moveAside(const QString& path) {
    const QString base = asideName(path);
    QString aside = base;
    for (int n = 2; QFileInfo::exists(aside) || QFileInfo(aside).isSymLink(); ++n)
        aside = base + QStringLiteral("-%1").arg(n);
    QDir folder;
    if (!folder.rename(path, aside))
        return {};
    // The journal files belong to the file put aside; a new history must not take them up.
    for (const QString& suffix : {QStringLiteral("-wal"), QStringLiteral("-shm")}) {
        if (QFileInfo::exists(path + suffix))
            folder.rename(path + suffix, aside + suffix);
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
    // SQLite came upon damage in this file: it is put aside, or cannot be, now.
    const bool damaged = std::exchange(m_damageMet, false);
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
        const QString aside = moveAside(m_path);
        if (!aside.isEmpty()) {
            m_damagedRows.clear(); // what was left out of it is no longer looked at
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
            if (outcome == Outcome::Ok && damaged && salvage(aside)) {
                m_notice = QStringLiteral("The practice history was damaged: it was kept as %1, "
                                          "and what could be read of it was copied to a new file.")
                               .arg(asideName);
            } else if (outcome == Outcome::Ok) {
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
        keepRoom();
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

// The rows of a file put aside as damaged that can still be read go into the new history, each
// table by itself and row by row from the table (an index may be what is damaged); rows no run
// can have stay behind. True when any table came over.
bool HistoryStore::salvage(const QString& aside) {
    QSqlQuery query(m_connection->db);
    query.prepare(QStringLiteral("ATTACH DATABASE ? AS damaged"));
    query.bindValue(0, aside);
    if (!query.exec())
        return false;
    const QString runColumns =
        QStringLiteral("mode, item, started, active_seconds, keystrokes, wrong, speed, accuracy");
    const QString gramColumns =
        QStringLiteral("day, gram, expected, wrong, ") + timeColumns(QStringLiteral("t%1"));
    const QString copies[] = {
        QStringLiteral(
            "INSERT INTO runs(%1) SELECT %1 FROM damaged.runs WHERE %2 ORDER BY +started, id")
            .arg(runColumns, validRun()),
        QStringLiteral("INSERT OR IGNORE INTO key_counts(code, expected, wrong)"
                       " SELECT code, expected, wrong FROM damaged.key_counts WHERE %1")
            .arg(validKey()),
        QStringLiteral("INSERT OR IGNORE INTO gram_stats(%1) SELECT %1 FROM damaged.gram_stats"
                       " WHERE %2")
            .arg(gramColumns, validGram())};
    bool any = false;
    if (exec(QStringLiteral("BEGIN"))) {
        // A statement that fails takes back its own rows only.
        for (const QString& sql : copies)
            any = query.exec(sql) || any;
        if (!exec(QStringLiteral("COMMIT"))) {
            exec(QStringLiteral("ROLLBACK"));
            any = false;
        }
    }
    query.finish();
    exec(QStringLiteral("DETACH DATABASE damaged"));
    return any;
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
    // A file made read-only while the program runs is checked again, and a damaged one put
    // aside, at the next look or record. SQLite's word on damage is taken as it is: a check
    // passes over some of it (a lost row of an index), and every record would fail again.
    if (code == kSqliteReadOnly || isDamage(code)) {
        closeConnection();
        m_state = State::Closed;
        m_suspectedFailure = code;
        m_damageMet = code != kSqliteReadOnly;
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

bool HistoryStore::record(const std::optional<PracticeRun>& run, const QList<KeyTally>& keys,
                          const QList<GramStats>& grams) {
    loadPending();
    // What a window counted may go past what the history keeps (a run left open for days):
    // it is kept within those limits, so that it is never read back as damage.
    PendingRuns now;
    if (run)
        now.runs << run->bounded();
    for (const KeyTally& key : keys) {
        if (key.isPlausible())
            now.addKeys({key});
    }
    for (const GramStats& gram : grams) {
        if (gram.isPlausibleDay())
            now.addGrams({gram});
    }
    if (now.isEmpty() && m_pending.isEmpty())
        return true;
    // The runs that wait go first, in the same transaction.
    PendingRuns all = m_pending;
    all.add(now);
    const QList<KeyTally> allKeys = all.keys.values();
    const QList<GramStats> allGrams = all.grams.values();
    Write result = recordOnce(all.runs, allKeys, allGrams);
    // Once more into a file that was checked (and put aside if need be) after the failure.
    if (result != Write::Done && m_state == State::Closed && m_suspectedFailure != 0)
        result = recordOnce(all.runs, allKeys, allGrams);
    if (result == Write::Done) {
        clearPending();
        return true;
    }
    if (result == Write::Later) {
        m_pending = all;
        writePendingFile();
    }
    return false;
}

bool HistoryStore::writePending() {
    loadPending();
    if (m_pending.isEmpty())
        return open();
    return record(std::nullopt, {});
}

bool HistoryStore::hasPending() const {
    return !m_pending.isEmpty() || (!m_pendingLoaded && StateFile::isRegularFile(pendingPath()));
}

QString HistoryStore::pendingPath() const {
    return QFileInfo(m_path).absolutePath() + u'/' + kPendingFileName;
}

bool HistoryStore::unsavedForWantOfRoom() const {
    return StateFile::wantsRoom(m_unsavedError);
}

bool HistoryStore::saveUnsavedRuns() {
    if (hasUnsavedRuns())
        writePending();
    return !hasUnsavedRuns();
}

void HistoryStore::loadPending() {
    if (m_pendingLoaded)
        return;
    m_pendingLoaded = true;
    const QString path = pendingPath();
    StateFile::ReadResult file = StateFile::readBytes(path, PendingFile::kCap);
    if (!file.found())
        return;
    if (file.cut()) {
        // Longer than this program writes it: its lines are taken up to the cap, and the file
        // is kept whole beside, since what was not read must not be lost.
        file.bytes.truncate(file.bytes.lastIndexOf('\n') + 1);
    }
    PendingFile::Contents contents = PendingFile::parse(file.bytes);
    if (!contents.ours)
        return; // not ours, or of a newer program: left as it is
    m_damagedLines += contents.damaged;
    if (file.cut()) {
        const QString aside = moveAside(path);
        if (aside.isEmpty())
            return; // nothing is taken from a file that would be read again
        m_pendingNotice =
            QStringLiteral("%1 was longer than Zephkin writes it: what could be read was taken "
                           "and the file was kept as %2.")
                .arg(kPendingFileName, QFileInfo(aside).fileName());
        qWarning("%s", qPrintable(m_pendingNotice));
    } else {
        m_pendingInFile = true;
    }
    // What was kept before this run comes first.
    contents.runs.add(m_pending);
    m_pending = contents.runs;
}

void HistoryStore::writePendingFile() {
    const PendingRuns::Dropped dropped = m_pending.trim();
    m_dropped.runs += dropped.runs;
    m_dropped.grams += dropped.grams;
    const QByteArray bytes = PendingFile::bytes(m_pending);
    // Written as every state file is. On a full disk the room kept for it is given up and it
    // is written again; when even that fails, the runs wait in memory, and the end of the
    // program asks about them.
    int error = StateFile::writeQuietly(pendingPath(), bytes);
    if (error != 0 && giveUpRoom())
        error = StateFile::writeQuietly(pendingPath(), bytes);
    m_unsavedError = error;
    if (error == 0)
        m_pendingInFile = true;
    else
        qWarning("history: the runs that wait could not be written to %s",
                 qPrintable(pendingPath()));
}

void HistoryStore::clearPending() {
    m_pending = {};
    m_unsavedError = 0;
    if (m_pendingInFile && QFileInfo(pendingPath()).isFile())
        QFile::remove(pendingPath());
    m_pendingInFile = false;
    // The disk had room for the history: it may have room to keep again.
    keepRoom();
}

QString HistoryStore::reservePath() const {
    return QFileInfo(m_path).absolutePath() + u'/' + kReserveName;
}

void HistoryStore::keepRoom() {
    const QString path = reservePath();
    const QFileInfo info(path);
    if (info.isSymLink() || (info.exists() && !info.isFile()) || info.size() >= kReserveBytes)
        return; // the room is kept, or something not ours stands in its place
    if (!StateFile::reserve(path, kReserveBytes))
        qWarning("history: no room could be kept in %s", qPrintable(path));
}

bool HistoryStore::giveUpRoom() {
    const QString path = reservePath();
    const QFileInfo info(path);
    return info.isFile() && !info.isSymLink() && info.size() > 0 && QFile::remove(path);
}

HistoryStore::Write HistoryStore::recordOnce(const QList<PracticeRun>& runs,
                                             const QList<KeyTally>& keys,
                                             const QList<GramStats>& grams) {
    if (!open())
        return m_state == State::Closed ? Write::Later : Write::Lost;
    auto failed = [this](int code) {
        handleFailure(code);
        const Outcome outcome = classify(code);
        return outcome == Outcome::Busy || outcome == Outcome::NotNow ? Write::Later : Write::Lost;
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

bool HistoryStore::read(const QString& sql, const QVariantList& values,
                        const std::function<void()>& restart,
                        const std::function<void(const QSqlQuery&)>& row) {
    // Twice at most: damage puts the file aside, and the new history is read once.
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (!open())
            return false;
        restart();
        QSqlQuery query(m_connection->db);
        query.setForwardOnly(true);
        bool ok = query.prepare(sql);
        for (qsizetype i = 0; ok && i < values.size(); ++i)
            query.bindValue(int(i), values[i]);
        ok = ok && query.exec();
        while (ok && query.next())
            row(query);
        // A step that fails ends the rows as the last one does; only the error tells them apart.
        const QSqlError error = query.lastError();
        if (ok && error.type() == QSqlError::NoError) {
            m_readNotice.clear();
            return true;
        }
        query.finish();
        restart();
        const int code = nativeCode(error);
        qWarning("history: a look failed: %s", qPrintable(error.text()));
        if (!isDamage(code)) {
            const QString text =
                QStringLiteral("The practice history cannot be read just now: what it holds is "
                               "shown once it can be.");
            if (text != m_readNotice)
                qWarning("%s", qPrintable(text));
            m_readNotice = text;
            if (classify(code) == Outcome::NotNow) {
                closeConnection();
                m_state = State::Closed;
            }
            return false;
        }
        m_damageMet = true;
        closeConnection();
        m_state = State::Closed;
    }
    return false;
}

qint64 HistoryStore::readNumber(const QString& sql, const QVariantList& values, qint64 none) {
    qint64 number = none;
    read(
        sql, values, [&] { number = none; },
        [&](const QSqlQuery& query) {
            if (!query.isNull(0))
                number = query.value(0).toLongLong();
        });
    return number;
}

QList<PracticeRun> HistoryStore::selectRuns(const QString& where, const QString& order,
                                            const QVariantList& values) {
    QList<PracticeRun> result;
    read(
        QString::fromLatin1(kRunColumns) + QStringLiteral(" WHERE ") + where +
            QStringLiteral(" AND ") + validRun() + order,
        values, [&] { result.clear(); }, [&](const QSqlQuery& query) { result << readRun(query); });
    return result;
}

QList<PracticeRun> HistoryStore::runs() {
    return selectRuns(QStringLiteral("1"), QString::fromLatin1(kRunsInOrder), {});
}

QList<PracticeRun> HistoryStore::recentRuns(int limit) {
    return selectRuns(QStringLiteral("1"),
                      QStringLiteral(" ORDER BY +started DESC, id DESC LIMIT ?"), {limit});
}

QList<KeyTally> HistoryStore::keyTallies() {
    QList<KeyTally> result;
    qint64 damaged = 0;
    const bool ok = read(
        keyTalliesQuery(), {},
        [&] {
            result.clear();
            damaged = 0;
        },
        [&](const QSqlQuery& query) {
            // Rows of one key add up (a file someone else wrote may hold several), and their
            // sums, as doubles, stay exact far past what a key can come to.
            const double expected = query.value(1).toDouble();
            const double wrong = query.value(2).toDouble();
            KeyTally key{query.value(0).toInt(), 0, 0};
            if (expected > double(RunLimits::kMostKeyCount)) {
                ++damaged;
                return;
            }
            key.expected = qint64(expected);
            key.wrong = qint64(wrong);
            result << key;
        });
    if (!ok)
        return result;
    // Only the valid keys are read, however many rows there are: what is left out is counted.
    damaged +=
        readNumber(QStringLiteral("SELECT count(*) FROM key_counts WHERE NOT ") + validKey(), {});
    m_damagedRows[QStringLiteral("key_counts")] = damaged;
    return result;
}

QList<GramStats> HistoryStore::gramStats(qint64 firstDay, qint64 lastDay) {
    QList<GramStats> result;
    qint64 damaged = 0;
    const bool ok = read(
        gramStatsQuery(), {firstDay, lastDay},
        [&] {
            result.clear();
            damaged = 0;
        },
        [&](const QSqlQuery& query) {
            GramStats gram;
            gram.gram = query.value(0).toString();
            // Sums of valid days stay within 53 bits, so the doubles are exact.
            gram.expected = qint64(query.value(1).toDouble());
            gram.wrong = qint64(query.value(2).toDouble());
            for (int i = 0; i < KeyTiming::kBuckets; ++i)
                gram.times[size_t(i)] = qint64(query.value(3 + i).toDouble());
            // SQLite counts characters, a QString UTF-16 units.
            if (gram.gram.size() > 2) {
                ++damaged;
                return;
            }
            result << gram;
        });
    if (!ok)
        return result;
    damaged += readNumber(
        QStringLiteral("SELECT count(*) FROM gram_stats WHERE day BETWEEN ? AND ? AND NOT ") +
            validGram(),
        {firstDay, lastDay});
    // The looks of a week are within the look of four: the widest one counts.
    qint64& counted = m_damagedRows[QStringLiteral("gram_stats")];
    counted = std::max(counted, damaged);
    return result;
}

// Like the lessons' last runs: a history that is not there yet is not made for asking.
qint64 HistoryStore::lastGramDay() {
    if (!QFileInfo::exists(m_path))
        return 0;
    const QVariantList days{GramStats::kFirstDay, GramStats::kLastDay};
    const qint64 last =
        readNumber(QStringLiteral("SELECT max(day) FROM gram_stats WHERE day BETWEEN ? AND ?"
                                  " AND typeof(day) = 'integer'"),
                   days);
    // The rows of days there are not: no look by days ever reads them.
    m_damagedRows[QStringLiteral("gram_days")] = readNumber(
        QStringLiteral("SELECT count(*) FROM gram_stats WHERE day < ? OR day > ?"), days);
    return last;
}

int HistoryStore::runCount() {
    return int(readNumber(QStringLiteral("SELECT count(*) FROM runs WHERE ") + validRun(), {}));
}

QList<ChartPoint> HistoryStore::chartPoints(PracticeMode mode, int maxPoints) {
    QList<ChartPoint> points;
    const QString modeKey = PracticeModes::key(mode);
    const QString valid = validRun();
    const bool byDay =
        readNumber(QStringLiteral("SELECT count(*) FROM runs WHERE mode = ? AND ") + valid,
                   {modeKey}) > maxPoints;
    const QString sql =
        byDay ? QStringLiteral("SELECT date(started, 'unixepoch', 'localtime') AS day,"
                               " sum(active_seconds), sum(keystrokes), sum(wrong), count(*)"
                               " FROM runs WHERE mode = ? AND %1 GROUP BY day ORDER BY day")
                    .arg(valid)
              : QStringLiteral("SELECT started, active_seconds, keystrokes, wrong, speed, accuracy"
                               " FROM runs WHERE mode = ? AND %1 ORDER BY +started, id")
                    .arg(valid);
    read(
        sql, {modeKey}, [&] { points.clear(); },
        [&](const QSqlQuery& query) {
            ChartPoint point;
            if (byDay) {
                point.when = QDateTime(QDate::fromString(query.value(0).toString(), Qt::ISODate),
                                       QTime(12, 0));
                const qint64 seconds = query.value(1).toLongLong();
                const qint64 keys = query.value(2).toLongLong();
                const qint64 wrong = query.value(3).toLongLong();
                // Each run is within its limits, so are a day's meters.
                point.speed =
                    seconds > 0 ? int(std::min<qint64>(keys * 60 / seconds, RunLimits::kMostSpeed))
                                : 0;
                point.accuracy = keys > 0 ? int((keys - wrong) * 100 / keys) : 0;
                point.runs = query.value(4).toInt();
            } else {
                point.when = QDateTime::fromSecsSinceEpoch(query.value(0).toLongLong());
                point.speed = query.value(4).toInt();
                point.accuracy = query.value(5).toInt();
                point.runs = 1;
            }
            points.append(point);
        });
    return points;
}

HistoryStore::Totals HistoryStore::totals() {
    Totals result;
    qint64 damaged = 0;
    // The runs whose figures a run can have, and how many others there are.
    read(
        QStringLiteral("SELECT sum(valid), sum(CASE WHEN valid THEN active_seconds END),"
                       " min(CASE WHEN valid THEN started END), sum(NOT valid)"
                       " FROM (SELECT %1 AS valid, active_seconds, started FROM runs)")
            .arg(validRun()),
        {},
        [&] {
            result = {};
            damaged = 0;
        },
        [&](const QSqlQuery& query) {
            result.runs = query.value(0).toInt();
            result.activeSeconds = query.value(1).toLongLong();
            if (result.runs > 0)
                result.first = QDateTime::fromSecsSinceEpoch(query.value(2).toLongLong());
            damaged = query.value(3).toLongLong();
        });
    m_damagedRows[QStringLiteral("runs")] = damaged;
    return result;
}

// A history that is not there yet has no runs to compare with, and is not made for asking.
std::optional<PracticeRun> HistoryStore::lastRun(PracticeMode mode, const QString& item) {
    if (!QFileInfo::exists(m_path))
        return std::nullopt;
    const QList<PracticeRun> last =
        selectRuns(QStringLiteral("mode = ? AND item = ?"),
                   QStringLiteral(" ORDER BY +started DESC, id DESC LIMIT 1"),
                   {PracticeModes::key(mode), item});
    return last.isEmpty() ? std::nullopt : std::optional<PracticeRun>(last.first());
}

int HistoryStore::bestSpeed(PracticeMode mode, const QString& item) {
    if (!QFileInfo::exists(m_path))
        return 0;
    return int(readNumber(
        QStringLiteral("SELECT max(speed) FROM runs WHERE mode = ? AND item = ? AND ") + validRun(),
        {PracticeModes::key(mode), item}));
}

QString HistoryStore::notice() const {
    QStringList parts;
    for (const QString& part : {m_notice, m_laterNotice, m_readNotice, m_pendingNotice}) {
        if (!part.isEmpty())
            parts << part;
    }
    qint64 damaged = m_damagedLines;
    for (qint64 rows : m_damagedRows)
        damaged += rows;
    if (damaged > 0)
        parts << (damaged == 1
                      ? QStringLiteral("1 entry of the practice history is damaged and left out.")
                      : QStringLiteral("%1 entries of the practice history are damaged and left "
                                       "out.")
                            .arg(damaged));
    const int dropped = m_dropped.runs + m_dropped.grams;
    if (dropped > 0)
        parts << QStringLiteral("Too much waited for the practice history: %1 of the oldest runs "
                                "and %2 of the oldest days' key figures gave way to newer ones.")
                     .arg(m_dropped.runs)
                     .arg(m_dropped.grams);
    return parts.join(u' ');
}
