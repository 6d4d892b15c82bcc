#include "keys/ui/drill_maker.h"

#include "history/history_store.h"
#include "history/key_weakness.h"

namespace DrillMaker {

namespace {

// Three targets always; a fourth and fifth when they are clearly weaker than the learner's
// typical key.
constexpr int kFewest = 3;
constexpr double kClearlyWeak = 1.25;

// What a target is weak in most, for the note: "g 45 % missed" or "th 410 ms".
QString weakness(const KeyWeakness::Figure& figure, int typicalMs) {
    const double missing = 1 + KeyWeakness::kMissWeight * figure.stats.missRate();
    const double slowness =
        figure.medianMs > 0 && typicalMs > 0 ? double(figure.medianMs) / typicalMs : 0;
    const QString what =
        missing >= slowness
            ? QStringLiteral("%1 % missed").arg(int(figure.stats.missRate() * 100 + 0.5))
            : QStringLiteral("%1 ms").arg(figure.medianMs);
    return KeyWeakness::displayName(figure.gram()) + u' ' + what;
}

} // namespace

Made make(HistoryStore* history, const ProgramFolder& folder, quint32 seed,
          const KeyboardLayout& layout) {
    const WeakKeyDrill::Vocabulary& words = WeakKeyDrill::vocabulary(folder);
    KeyWeakness::Report report;
    if (history)
        report = KeyWeakness::fromHistory(*history);

    QList<WeakKeyDrill::Target> targets;
    QHash<QString, const KeyWeakness::Figure*> figures;
    for (const KeyWeakness::Figure& figure : std::as_const(report.weakest)) {
        if (targets.size() >= kFewest && figure.score < kClearlyWeak)
            break;
        // The share of a target grows with how much weaker than typical it is.
        targets.append({figure.gram(), std::max(0.25, figure.score - 0.75)});
        figures.insert(figure.gram(), &figure);
    }
    Made made;
    made.drill = WeakKeyDrill::build(targets, words, seed, layout);
    if (made.drill.targets.isEmpty()) {
        made.note = QStringLiteral("Too little practice is recorded yet to find your weak keys: "
                                   "this drill is the home row.");
        return made;
    }
    QStringList parts;
    for (const WeakKeyDrill::Target& target : std::as_const(made.drill.targets))
        parts << weakness(*figures.value(target.gram), report.typicalMs);
    made.note = QStringLiteral("Your weakest lately: ") + parts.join(QStringLiteral("; "));
    return made;
}

} // namespace DrillMaker
