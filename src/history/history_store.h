#pragma once

#include "history/practice_run.h"

#include <QList>
#include <QString>
#include <memory>
#include <optional>

// The learner's practice history: a SQLite file, "history.db" in the folder that keeps the
// program's state. It is opened on the first record or the first look at it, never at start.
// A file that is no database, cannot be written or is no file at all is put aside under a
// dated name and a new history is started; the one-line notice() then says so. Nothing here
// ever stops practice: when no history can be kept, recording does nothing.
class HistoryStore {
  public:
    static constexpr int kSchemaVersion = 2;
    static const QString kFileName;

    explicit HistoryStore(QString path);
    ~HistoryStore();
    HistoryStore(const HistoryStore&) = delete;
    HistoryStore& operator=(const HistoryStore&) = delete;

    const QString& path() const { return m_path; }
    // Opens the file when it is not open yet; false when no history can be kept.
    bool open();
    bool isOpen() const { return m_state == State::Open; }

    // Writes a run (if any) and adds the key counts, in one transaction.
    bool record(const std::optional<PracticeRun>& run, const QList<KeyTally>& keys);

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

    // A one-line message when a damaged file was put aside or no history can be kept.
    const QString& notice() const { return m_notice; }

  private:
    QList<PracticeRun> selectRuns(const QString& order, int limit);
    enum class State { Closed, Open, Unavailable };
    enum class Outcome { Ok, NotAFile, NotADatabase, Unwritable, Busy, Newer, CannotOpen };

    Outcome tryOpen();
    Outcome createOrMigrate(int version);
    void closeConnection();
    QString moveAside();
    bool exec(const QString& sql);
    Outcome classify(int nativeCode) const;
    void handleFailure(int nativeCode);
    bool recordOnce(const std::optional<PracticeRun>& run, const QList<KeyTally>& keys);

    struct Connection;
    QString m_path;
    QString m_connectionName;
    State m_state = State::Closed;
    int m_suspectedFailure = 0; // the SQLite code of a failed write, till the file is checked
    QString m_notice;
    std::unique_ptr<Connection> m_connection;
};
