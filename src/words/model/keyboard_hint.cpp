#include "words/model/keyboard_hint.h"

#include "core/keyboard_table.h"

#include <QList>

namespace KeyboardHint {

namespace {

// Codes by hint index: the squares by their own index, then the character keys around them.
const QList<int>& hintCodes() {
    static const QList<int> codes = [] {
        QList<int> list(KeyboardTable::wordHintSquares().size());
        for (const KeyboardTable::Place& square : KeyboardTable::wordHintSquares())
            list[square.index] = square.code;
        for (const KeyboardTable::Place& key : KeyboardTable::wordHintSurround()) {
            if (KeyboardLayout::characterKeys().contains(key.code))
                list << key.code;
        }
        return list;
    }();
    return codes;
}

} // namespace

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

int hintCount() {
    return int(hintCodes().size());
}

int codeOfHint(int index) {
    return index >= 0 && index < hintCount() ? hintCodes()[index] : 0;
}

int hintOfCode(int code) {
    return code == 0 ? -1 : int(hintCodes().indexOf(code));
}

int nextKey(bool keyedTips, const QString& typed, const QString& target,
            const KeyboardLayout& layout) {
    if (!keyedTips)
        return -1;
    const qsizetype p = typed.size() + 1;
    if (p > target.size())
        return -1;
    const QChar c = target[p - 1];
    if (!c.isLetter())
        return -1;
    return hintOfCode(layout.codeOf(c));
}

} // namespace KeyboardHint
