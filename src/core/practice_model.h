#pragma once

#include "core/practice_sound.h"

#include <QChar>
#include <QList>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

// A practice run's counters as its window shows them: active seconds on the clock, the
// keystrokes judged and the wrong ones among them, and the speed (characters per minute) and
// accuracy (per cent) its meters or its result show.
struct RunTotals {
    qint64 activeSeconds = 0;
    qint64 keystrokes = 0;
    qint64 wrongKeystrokes = 0;
    int speed = 0;
    int accuracy = 0;
};

// A keystroke judged against the key that was due, and how long after the keystroke before it
// came.
struct KeyJudgement {
    int expectedKey = 0; // key code of the character that was due
    bool right = false;
    QChar character; // the character that was due; null when the model does not know it
    // The character the keystroke before typed right, null when that keystroke was no right
    // one (or there was none, or a pause came between).
    QChar previous;
    // Milliseconds since the keystroke before, -1 at the first keystroke or after a pause.
    int intervalMs = -1;
    bool operator==(const KeyJudgement&) const = default;
};

// A message box for the user. One that asks has OK and Cancel, and its answer goes back to the
// model (PracticeModel::messageAnswered).
struct ModelMessage {
    QString title;
    QString text;
    bool asks = false;
};

// What one input of a practice model brought about, reported once the input is done.
struct ModelEvents {
    unsigned display = 0; // the model's own flags: what only its window draws
    QList<PracticeSound> sounds;
    QList<KeyJudgement> judged;
    bool keystroke = false;                 // a keystroke of the user reached the model
    std::optional<RunTotals> runEnded;      // a run came to its end, with these totals
    std::optional<RunTotals> countersReset; // the counters went back to zero; what they held
    QString runItem;                        // what the run that ended or was reset practised
    std::optional<bool> clockRunning;       // the clock started (true) or stopped (false)
    std::optional<ModelMessage> message;

    bool any() const {
        return display || !sounds.isEmpty() || !judged.isEmpty() || keystroke || runEnded ||
               countersReset || clockRunning || message;
    }
};

// The base of the four practice models: one change batch and one set of events. Each public
// input opens a Batch; what happens inside it is gathered, and `changed` is emitted once, when
// the outermost batch closes. The window's frame acts on the events (sounds, the history, the
// clock timer, messages); the window draws what the display flags name.
class PracticeModel : public QObject {
    Q_OBJECT
  public:
    using QObject::QObject;

    // The run's counters since the model started or since their last reset.
    virtual RunTotals totals() const = 0;
    // What the run practises, as the history names it: lesson, list, article or item set.
    virtual QString runItem() const = 0;
    // Whether the practice clock runs; the frame's clock timer follows it.
    virtual bool clockRunning() const = 0;
    // The answer to a message that asks; true for OK.
    virtual void messageAnswered(bool /*ok*/) {}

    // A gap between two keystrokes longer than this is a pause, not a timing.
    static constexpr int kPauseMs = 2000;
    // The clock keystrokes are timed by, in milliseconds; tests set one they step themselves.
    void setKeyClock(std::function<qint64()> clock) { m_keyClock = std::move(clock); }

  signals:
    void changed(const ModelEvents& events);

  protected:
    // Gathers the events of one input; nested batches report with the outermost one.
    class Batch {
      public:
        explicit Batch(PracticeModel* model) : m_model(model) { ++m_model->m_depth; }
        ~Batch() {
            if (--m_model->m_depth == 0)
                m_model->flush();
        }
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

      private:
        PracticeModel* m_model;
    };

    void display(unsigned flags) { m_pending.display |= flags; }
    void sound(PracticeSound sound) { m_pending.sounds.append(sound); }
    // A keystroke of the user; the next judged key is timed from it.
    void keystroke() { m_pending.keystroke = true; }
    // A keystroke judged against `character`, whose key is `expectedKey`.
    void judged(int expectedKey, bool right, QChar character = {});
    // Call at the end of a run, before its counters change.
    void runEnded() {
        m_pending.runEnded = totals();
        m_pending.runItem = runItem();
    }
    // Call just before the counters go back to zero (and before the lesson changes).
    void resettingCounters() {
        // A new run's first key is not timed from the last one of the run before.
        m_lastKeystrokeMs = -1;
        m_previousRight = QChar();
        if (m_pending.countersReset)
            return;
        m_pending.countersReset = totals();
        if (!m_pending.runEnded)
            m_pending.runItem = runItem();
    }
    void message(const QString& title, const QString& text, bool asks = false) {
        m_pending.message = ModelMessage{title, text, asks};
    }
    // Called as a change is about to be reported, before `changed` is emitted: a model that
    // gathers details of its own display flags hands them over here.
    virtual void reporting() {}

  private:
    void flush();

    ModelEvents m_pending;
    int m_depth = 0;
    bool m_reportedClock = false;
    std::function<qint64()> m_keyClock;
    qint64 m_lastKeystrokeMs = -1; // when the last keystroke reached the model
    QChar m_previousRight;         // the character the last keystroke typed right
    bool m_timedInBatch = false;   // a judged key of this batch took the time already
};
