#pragma once

#include "history/practice_run.h"

#include <QList>

namespace ProgressSummary {

// The `count` keys with the highest error rate among those expected at least `minExpected`
// times; ties go to the key missed more often. Counts no key can have are left out.
QList<KeyTally> weakestKeys(const QList<KeyTally>& tallies, int count = 5, int minExpected = 10);

} // namespace ProgressSummary
