#include "game/model/game_item_sets.h"

#include <algorithm>
#include <cmath>

namespace GameItemSets {

namespace {
const QString kLetters = QStringLiteral("qwertyuioplkjhgfdsazxcvbnmQWERTYUIOPLKJHGFDSAZXCVBNM");

// Nearest whole number with halves to even, the way the colour draw rounds.
int roundHalfEven(double value) {
    return int(std::nearbyint(value));
}
} // namespace

const std::array<GameItemSet, kCount>& table() {
    static const std::array<GameItemSet, kCount> sets{{
        {QStringLiteral("Key exercises\uFF08Case insensitive letters\uFF09"), 0, 1, kLetters, {}},
        {QStringLiteral("Letter exercise\uFF08Case-sensitive\uFF09"), 1, 1, kLetters, {}},
        {QStringLiteral("Numbers exercises"), 2, 1, QStringLiteral("1234567890"), {}},
        {QStringLiteral("Digital keyboard exercises"), 3, 1, QStringLiteral("1234567890/*.-+"), {}},
        {QStringLiteral("Word exercises 1"), 4, 2, {}, QStringLiteral("game-cz2.txt")},
        {QStringLiteral("Word exercises 2"), 4, 3, {}, QStringLiteral("game-cz3.txt")},
        {QStringLiteral("Word exercises 3"), 4, 4, {}, QStringLiteral("game-cz4.txt")},
    }};
    return sets;
}

QString cutItem(const QString& source, int n, double u) {
    const qsizetype length = source.size();
    if (length == 0)
        return {};
    if (n <= 1)
        return source.mid(std::min<qsizetype>(qsizetype(u * double(length)), length - 1), 1);
    const qsizetype start = qsizetype(n) * qsizetype(u * double(length) / n);
    return source.mid(std::min(start, length - 1), n + 2);
}

ItemColour colour(double u1, double u2, double u3, int greenScale) {
    return {std::min(255, roundHalfEven(u1 * 255 + 170)), roundHalfEven(u2 * greenScale),
            roundHalfEven(u3 * 255)};
}

} // namespace GameItemSets
