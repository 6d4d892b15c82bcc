#pragma once

#include "history/key_timing.h"
#include "history/practice_run.h"

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

// The learner's practice history: a SQLite file, "history.db" in the folder that keeps the
// program's state. It is opened on the first record or the first look at it, never at start.
// A file that SQLite finds damaged, that is no database of ours, cannot be written or is no
// file at all is put aside under a dated name and a new history is started; the one-line
// notice() then says so. A history that cannot be written just now (another program holds
// it, the disk is full, an input/output error) stays where it is: the runs recorded meanwhile
// wait in "history-pending.txt" beside it and go in at the next record, the next look or the
// next start. Nothing here ever stops practice: when no history can be kept, recording does
// nothing, and a lock is never waited for longer than a moment.
class HistoryStore {
  public:
    static constexpr int kSchemaVersion = 4;
    static const QString kFileName;
    static const QString kPendingFileName;
    // The runs that wait at most; the oldest give way to newer ones.
    static constexpr int kMaxPendingRuns = 500;
    // The figures of keys and pairs that wait at most, one per gram and day.
    static constexpr int kMaxPendingGrams = 1200;

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

    // A one-line message when a damaged file was put aside, no history can be kept, or it
    // cannot be written just now.
    QString notice() const { return m_notice.isEmpty() ? m_laterNotice : m_notice; }

  private:
    QList<PracticeRun> selectRuns(const QString& order, int limit);
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
    QString moveAside();
    void removeOwnJournals(const QStringList& keep);
    bool exec(const QString& sql);
    Outcome classify(int nativeCode) const;
    void handleFailure(int nativeCode);
    void notWrittenNow(Outcome outcome);
    Write recordOnce(const QList<PracticeRun>& runs, const QList<KeyTally>& keys,
                     const QList<GramStats>& grams);

    using GramKey = std::pair<qint64, QString>; // day, gram
    struct Pending {
        QList<PracticeRun> runs;
        QMap<int, KeyTally> keys;
        QMap<GramKey, GramStats> grams;
        bool isEmpty() const { return runs.isEmpty() && keys.isEmpty() && grams.isEmpty(); }
        void addGrams(const QList<GramStats>& more);
    };
    void loadPending();
    void keepForLater(const std::optional<PracticeRun>& run, const QList<KeyTally>& keys,
                      const QList<GramStats>& grams);
    void clearPending();

    struct Connection;
    QString m_path;
    QString m_connectionName;
    State m_state = State::Closed;
    int m_suspectedFailure = 0; // the SQLite code of a failed write, till the file is checked
    QString m_notice;
    QString m_laterNotice; // while the history cannot be written just now
    QStringList m_journalsBefore; // the journal files there were before this open
    Pending m_pending;
    bool m_pendingLoaded = false;
    bool m_pendingInFile = false;
    std::unique_ptr<Connection> m_connection;
};
