#include "words/model/keyboard_hint.h"

#include "core/keyboard_table.h"

namespace KeyboardHint {

int indexOf(QChar c) {
    const char16_t u = c.toUpper().unicode();
    if (u < u'A' || u > u'Z')
        return -1;
    for (const KeyboardTable::Place& square : KeyboardTable::wordHintSquares()) {
        if (square.code == u)
            return square.index;
    }
    return -1;
}

int nextKey(bool keyedTips, const QString& typed, const QString& target) {
    if (!keyedTips)
        return -1;
    const qsizetype p = typed.size() + 1;
    if (p > target.size())
        return -1;
    return indexOf(target[p - 1]);
}

} // namespace KeyboardHint
