#pragma once

#include "core/program_folder.h"
#include "keys/model/weak_key_drill.h"

class HistoryStore;

// Builds the drill of the learner's weak keys from the latest figures of the history, and the
// one line that says what it drills. A drill of the home row when the history does not know
// enough yet (or there is none).
namespace DrillMaker {

struct Made {
    WeakKeyDrill::Drill drill;
    QString note;
};

// The drill's words are typed on `layout`, whose keys the history's figures name.
Made make(HistoryStore* history, const ProgramFolder& folder, quint32 seed,
          const KeyboardLayout& layout = KeyboardLayout::us());

} // namespace DrillMaker
