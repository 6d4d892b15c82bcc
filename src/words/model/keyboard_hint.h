#pragma once

#include <QChar>
#include <QString>

// Which letter square of the Word practice keyboard to frame. The squares' places and letters
// are in the keyboard table (core/keyboard_table.h).
namespace KeyboardHint {

// The square index (0..25) of a letter, either case; -1 for anything that is not a letter A-Z.
int indexOf(QChar c);

// The key a learner should press next: -1 when the tips are off, when nothing remains to be
// typed, or when the next character is not a letter.
int nextKey(bool keyedTips, const QString& typed, const QString& target);

} // namespace KeyboardHint
