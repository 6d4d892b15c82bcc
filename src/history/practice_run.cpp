#include "history/practice_run.h"

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
