#include "game/model/game_settings.h"

#include <QStringList>

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

// A field that holds a number, cut to a whole number; nothing for text, blanks or no field.
std::optional<int> number(const QStringList& fields, int index) {
    if (index >= fields.size())
        return std::nullopt;
    bool ok = false;
    const double value = fields[index].trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return int(std::clamp(std::trunc(value), -1e9, 1e9));
}

QChar flag(bool on) {
    return on ? u'1' : u'0';
}

} // namespace

QString GameSettings::line() const {
    return QStringLiteral("%1,%2,%3,%4,%5,%6,%7,%8")
        .arg(timeLimit)
        .arg(flag(dropOnWrong))
        .arg(flag(dropOnMiss))
        .arg(flag(keySound))
        .arg(flag(speedUp))
        .arg(startSpeed)
        .arg(itemCount)
        .arg(QChar(spriteDownEnd ? u'1' : u'2'));
}

void GameSettings::applyLine(const QString& text) {
    QString first = text.section(u'\n', 0, 0);
    if (first.endsWith(u'\r'))
        first.chop(1);
    const QStringList fields = first.split(u',');
    if (auto v = number(fields, 0))
        timeLimit = std::clamp(*v, 0, kMaxTimeLimit);
    if (auto v = number(fields, 1))
        dropOnWrong = *v != 0;
    if (auto v = number(fields, 2))
        dropOnMiss = *v != 0;
    if (auto v = number(fields, 3))
        keySound = *v != 0;
    if (auto v = number(fields, 4))
        speedUp = *v != 0;
    if (auto v = number(fields, 5))
        startSpeed = std::clamp(*v, 1, kMaxStartSpeed);
    if (auto v = number(fields, 6); v && *v >= 1 && *v <= 4)
        itemCount = *v;
    if (auto v = number(fields, 7))
        spriteDownEnd = *v == 1;
}

int GameSettings::stepped(int value, int step, int floor, int max) {
    int result = std::min(value + step, max);
    if (step < 0 && result + step < floor)
        result = floor;
    return result;
}
