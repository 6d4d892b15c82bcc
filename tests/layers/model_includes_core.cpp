// The control of the layer probes: the same kind of target, with only what a model may
// include, builds.
#include "core/state_file.h"
#include "words/model/word_exercise.h"

#include <QString>

int probe() { return int(QString().size()); }
