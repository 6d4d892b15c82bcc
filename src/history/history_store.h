#pragma once

#include "history/key_timing.h"
#include "history/pending_file.h"
#include "history/practice_run.h"

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <functional>
#include <memory>
#include <optional>

class QSqlQuery;

// The learner's practice history: a SQLite file, "history.db" in the folder that keeps the
// program's state. It is opened on the first record or the first look at it, never at start.
// A file that SQLite finds damaged, that is no database of ours, cannot be written or is no
// file at all is put aside under a dated name and a new history is started; the one-line
// notice() then says so. That holds for damage SQLite comes upon part-way through a look or a
// record as well: what can still be read of the file is copied into the new history, and the
// look is made again there, so no list ends early in silence. A row whose figures no run
// can have is left out, and the notice counts it. A history that cannot be written just now
// (another program holds it, the disk is full, an input/output error) stays where it is: the
// runs recorded meanwhile wait in "history-pending.txt" beside it and go in at the next
// record, the next look or the next start. Room for that file is kept beside the history
// (".history-reserve"), given up when the disk is full, so that a run practised then still
// reaches the disk. Nothing here ever stops practice: when no history can be kept, recording
// does nothing, and a lock is never waited for longer than a moment.
class HistoryStore {
  public:
    static constexpr int kSchemaVersion = 4;
    static const QString kFileName;
    static const QString kPendingFileName;
    static const QString kReserveName;
    // The room kept for the runs that wait.
    static constexpr qint64 kReserveBytes = 256 * 1024;

    explicit HistoryStore(QString path);
    ~HistoryStore();
    HistoryStore(const HistoryStore&) = delete;
    HistoryStore& operator=(const HistoryStore&) = delete;

    const QString& path() const { return m_path; }
    // Opens the file when it is not open yet; false when no history can be kept.
    bool open();
    bool isOpen() const { return m_state == State::Open; }

    // Writes a run (if any) and adds the key counts and the figures of keys and pairs (each
    // to its day), in one transaction, together with the runs that wait. True when they are
    // in the history; a run that cannot be written just now is kept to be written later.
    bool record(const std::optional<PracticeRun>& run, const QList<KeyTally>& keys,
                const QList<GramStats>& grams = {});
    // Opens the history and writes the runs that wait, if any; true when none wait any more.
    bool writePending();
    // Whether runs wait to be written, here or in the file of a run before.
    bool hasPending() const;
    QString pendingPath() const;
    // Whether runs wait in memory only, their file could not be written either; and whether
    // for want of room, which making room can mend. The end of the program asks about them.
    bool hasUnsavedRuns() const { return m_unsavedError != 0; }
    bool unsavedForWantOfRoom() const;
    // Writes the runs that wait in memory only into the history or their file; true when none
    // is left in memory only.
    bool saveUnsavedRuns();

    // Every run, oldest first.
    QList<PracticeRun> runs();
    // The newest `limit` runs, newest first.
    QList<PracticeRun> recentRuns(int limit);
    // The newest run of one lesson (mode and item), and the best speed among its runs (0 for
    // none): what a lesson's results compare with.
    std::optional<PracticeRun> lastRun(PracticeMode mode, const QString& item);
    int bestSpeed(PracticeMode mode, const QString& item);
    // The counts of every key, summed over the modes.
    QList<KeyTally> keyTallies();
    // The figures of every key and pair typed on the days `firstDay` to `lastDay` (Julian
    // days), summed over those days, in the order of their grams.
    QList<GramStats> gramStats(qint64 firstDay, qint64 lastDay);
    // The latest day with figures of keys and pairs; 0 when there is none.
    qint64 lastGramDay();
    int runCount();

    // The points of the speed and accuracy chart of one mode, oldest first: each run while
    // there are at most `maxPoints`, else one point per day (at its noon) with the meters
    // taken over all the day's keystrokes, so a long run weighs more than a short one.
    QList<ChartPoint> chartPoints(PracticeMode mode, int maxPoints = 150);

    struct Totals {
        int runs = 0;
        qint64 activeSeconds = 0;
        QDateTime first;
    };
    Totals totals();

    // A one-line message when a damaged file was put aside, no history can be kept, it cannot
    // be written or read just now, rows were left out as damaged or runs that waited had to
    // give way.
    QString notice() const;

  private:
    enum class State { Closed, Open, Unavailable };
    enum class Outcome {
        Ok,
        NotAFile,
        NotADatabase,
        Unwritable,
        Busy,   // another program holds the file: tried again later
        NotNow, // a full disk, an input/output error: tried again later
        Newer,
        CannotOpen
    };
    enum class Write { Done, Later, Lost };

    Outcome tryOpen();
    Outcome createOrMigrate(int version);
    void closeConnection();
    QString moveAside(const QString& path);
    bool salvage(const QString& aside);
    void removeOwnJournals(const QStringList& keep);
    bool exec(const QString& sql);
    Outcome classify(int nativeCode) const;
    void handleFailure(int nativeCode);
    void notWrittenNow(Outcome outcome);
    Write recordOnce(const QList<PracticeRun>& runs, const QList<KeyTally>& keys,
                     const QList<GramStats>& grams);

    // Runs `sql` with `values` bound and hands each row to `row`, after `restart`; false when
    // the history cannot be read. Damage met part-way puts the file aside, and the query is
    // made again, after `restart`, in the new one.
    bool read(const QString& sql, const QVariantList& values, const std::function<void()>& restart,
              const std::function<void(const QSqlQuery&)>& row);
    // One number, or `none` when there is no history or no row.
    qint64 readNumber(const QString& sql, const QVariantList& values, qint64 none = 0);
    QList<PracticeRun> selectRuns(const QString& where, const QString& order,
                                  const QVariantList& values);

    void loadPending();
    void writePendingFile();
    void clearPending();
    QString reservePath() const;
    void keepRoom();
    bool giveUpRoom();

    struct Connection;
    QString m_path;
    QString m_connectionName;
    State m_state = State::Closed;
    int m_suspectedFailure = 0; // the SQLite code of a failed write, till the file is opened again
    bool m_damageMet = false;   // SQLite came upon damage: the file is put aside at the next open
    QString m_notice;
    QString m_laterNotice; // while the history cannot be written just now
    QString m_readNotice;  // while the history cannot be read just now
    QString m_pendingNotice;
    QStringList m_journalsBefore; // the journal files there were before this open
    // The rows left out as damaged, by table, as the latest looks found them; and the lines of
    // pending files.
    QMap<QString, qint64> m_damagedRows;
    int m_damagedLines = 0;
    PendingRuns::Dropped m_dropped;
    PendingRuns m_pending;
    bool m_pendingLoaded = false;
    bool m_pendingInFile = false;
    int m_unsavedError = 0; // why the runs in memory could not be written to their file
    std::unique_ptr<Connection> m_connection;
};
