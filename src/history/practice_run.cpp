#include "history/practice_run.h"

#include "core/keyboard_table.h"

#include <QStringList>

#include <algorithm>

namespace PracticeModes {

namespace {
struct ModeName {
    PracticeMode mode;
    const char* key;
    const char* title;
};
constexpr ModeName kNames[] = {
    {PracticeMode::Keys, "keys", "Keys practice"},
    {PracticeMode::Words, "words", "Word practice"},
    {PracticeMode::Articles, "articles", "Article practice"},
    {PracticeMode::Game, "game", "Typing Zephkin"},
};
} // namespace

QString key(PracticeMode mode) {
    for (const ModeName& name : kNames) {
        if (name.mode == mode)
            return QString::fromLatin1(name.key);
    }
    return {};
}

bool fromKey(const QString& key, PracticeMode* mode) {
    for (const ModeName& name : kNames) {
        if (key == QLatin1String(name.key)) {
            *mode = name.mode;
            return true;
        }
    }
    return false;
}

QString title(PracticeMode mode) {
    for (const ModeName& name : kNames) {
        if (name.mode == mode)
            return QString::fromLatin1(name.title);
    }
    return {};
}

} // namespace PracticeModes

void PracticeRun::computeMeters() {
    speed = activeSeconds > 0 ? int(qint64(keystrokes) * 60 / activeSeconds) : 0;
    accuracy = keystrokes > 0 ? int(qint64(keystrokes - wrongKeystrokes) * 100 / keystrokes) : 0;
}

bool PracticeRun::isPlausible() const {
    using namespace RunLimits;
    const qint64 start = started.isValid() ? started.toSecsSinceEpoch() : -1;
    return start >= 0 && start <= kLatestStart && activeSeconds >= 0 &&
           activeSeconds <= kMostSeconds && keystrokes >= 0 && keystrokes <= kMostKeystrokes &&
           wrongKeystrokes >= 0 && wrongKeystrokes <= keystrokes && speed >= 0 &&
           speed <= kMostSpeed && accuracy >= 0 && accuracy <= 100;
}

PracticeRun PracticeRun::bounded() const {
    using namespace RunLimits;
    PracticeRun run = *this;
    const qint64 start = started.isValid() ? started.toSecsSinceEpoch() : 0;
    run.started = QDateTime::fromSecsSinceEpoch(std::clamp<qint64>(start, 0, kLatestStart));
    run.activeSeconds = std::clamp(activeSeconds, 0, kMostSeconds);
    run.keystrokes = std::clamp(keystrokes, 0, kMostKeystrokes);
    run.wrongKeystrokes = std::clamp(wrongKeystrokes, 0, run.keystrokes);
    run.speed = std::clamp(speed, 0, kMostSpeed);
    run.accuracy = std::clamp(accuracy, 0, 100);
    return run;
}

QString RunResult::text(const KeyboardLayout& layout) const {
    const int seconds = run.activeSeconds;
    QStringList lines;
    lines << (seconds >= 60
                  ? QStringLiteral("Time: %1 min %2 s").arg(seconds / 60).arg(seconds % 60)
                  : QStringLiteral("Time: %1 s").arg(seconds));
    lines << QStringLiteral("Speed: %1 characters per minute (%2 words per minute)")
                 .arg(run.speed)
                 .arg(run.speed / 5);
    lines << QStringLiteral("Accuracy: %1 %").arg(run.accuracy);
    lines << QStringLiteral("Keystrokes: %1, %2 of them wrong")
                 .arg(run.keystrokes)
                 .arg(run.wrongKeystrokes);
    if (!missed.isEmpty()) {
        QStringList keys;
        for (const KeyTally& key : missed)
            keys << QStringLiteral("%1 (%2)").arg(layout.keyName(key.code)).arg(key.wrong);
        lines << QStringLiteral("Missed most: ") + keys.join(QStringLiteral(", "));
    }
    if (run.keystrokes > 0 && best > 0 && run.speed > best)
        lines << QStringLiteral("Best so far!");
    if (last) {
        const int change = run.speed - last->speed;
        lines << (change == 0 ? QStringLiteral("The same speed as last time")
                              : QStringLiteral("%1%2 characters per minute on last time")
                                    .arg(change > 0 ? QStringLiteral("+") : QString())
                                    .arg(change));
    } else if (run.keystrokes > 0) {
        lines << QStringLiteral("Your first run of this lesson");
    }
    if (!recorded && run.keystrokes > 0 && run.activeSeconds < floorSeconds)
        lines << QStringLiteral("Shorter than %1 seconds: not kept in Progress.").arg(floorSeconds);
    return lines.join(u'\n');
}
