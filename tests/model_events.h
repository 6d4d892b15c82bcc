#pragma once

#include "core/practice_model.h"

#include <QList>
#include <QObject>

#include <algorithm>

// Every change a practice model reports, in order, for tests to read.
class EventLog {
  public:
    explicit EventLog(PracticeModel& model) {
        QObject::connect(&model, &PracticeModel::changed, &m_context,
                         [this](const ModelEvents& events) { changes.append(events); });
    }

    int count() const { return int(changes.size()); }
    void clear() { changes.clear(); }
    const ModelEvents& last() const { return changes.last(); }
    // How many reported changes carry the display flag.
    int displayed(unsigned flag) const {
        return int(std::count_if(changes.begin(), changes.end(),
                                 [flag](const ModelEvents& e) { return e.display & flag; }));
    }
    int runsEnded() const {
        return int(std::count_if(changes.begin(), changes.end(),
                                 [](const ModelEvents& e) { return e.runEnded.has_value(); }));
    }
    QList<PracticeSound> sounds() const {
        QList<PracticeSound> all;
        for (const ModelEvents& e : changes)
            all += e.sounds;
        return all;
    }
    QList<KeyJudgement> judged() const {
        QList<KeyJudgement> all;
        for (const ModelEvents& e : changes)
            all += e.judged;
        return all;
    }

    QList<ModelEvents> changes;

  private:
    QObject m_context;
};
