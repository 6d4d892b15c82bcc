#pragma once

#include "core/keyboard_layout.h"
#include "core/program_folder.h"

#include <QString>
#include <QStringList>

// The sixteen key lessons for any keyboard layout, by the plan of the shipped ones: the layout
// of the keyboard and one column of keys for each finger, the home row, then the keys above
// and below it two or three at a time, then the digits, the capitals and the punctuation. A
// lesson drills the keys it brings in, on the physical keys of the shipped lesson, whatever they
// type in the layout; from the home row on it adds words of the word lists (2/) made only of the
// characters learnt so far. The US layout keeps the shipped lessons (1/); another layout's are
// built once into a folder of its own beside the state files (1-de/), where the learner can
// read them, and built again when the layout types something else.
namespace KeyLessonPlan {

// Bumped whenever the plan builds other lessons, so that lessons built before are built again.
constexpr int kVersion = 1;

// The chooser titles, in list order: the shipped ones for the US layout.
QStringList titles(const KeyboardLayout& layout);

// The sixteen lessons' texts for a layout: a heading line, then the practice lines, CR LF.
// `words` are the words lessons may use, in order of preference.
QStringList build(const KeyboardLayout& layout, const QStringList& words);

// The words of the word lists in 2/, in list order, each once.
QStringList readWords(const ProgramFolder& folder);

// Resource name of the folder holding a layout's lessons: "\1\" for the US layout, else
// "\1-<layout>\".
QString lessonFolder(const KeyboardLayout& layout);
// The file in it that tells which keys its lessons were built for.
QString stampResource(const KeyboardLayout& layout);

enum class Prepared {
    Shipped, // the US layout: the shipped lessons
    Kept,    // the layout's folder holds its lessons already
    Built,   // they were built now
    Failed,  // they could not be written
};
// Sees that the lessons of `layout` are in its folder beside the state files, building them
// when the folder lacks any or they were built for other keys. A link or a file in the
// folder's place is replaced by a folder; nothing is written through a link.
Prepared prepare(const ProgramFolder& folder, const KeyboardLayout& layout);

} // namespace KeyLessonPlan
