#pragma once

#include "core/keyboard_layout.h"

#include <QChar>
#include <QString>

// Which key of the Word practice keyboard to frame. The squares' places and letters are in the
// keyboard table (core/keyboard_table.h).
namespace KeyboardHint {

// The square index (0..25) of a letter on a US keyboard, either case; -1 for anything that is
// not a letter A-Z.
int indexOf(QChar c);

// The keys of the hint keyboard that can be framed: the 26 letter squares (0..25), then the
// keys around them that type characters (26 on), in the order of the keyboard table.
int hintCount();
// The key code of hint index `index`; 0 for none.
int codeOfHint(int index);
// The hint index of the key with code `code`; -1 when the hint keyboard does not draw it.
int hintOfCode(int code);

// The key a learner should press next: -1 when the tips are off, when nothing remains to be
// typed, or when the next character is not a letter. A letter that `layout` types on a key the
// hint keyboard does not draw (or only with AltGr) frames no key either.
int nextKey(bool keyedTips, const QString& typed, const QString& target,
            const KeyboardLayout& layout = KeyboardLayout::us());

} // namespace KeyboardHint
