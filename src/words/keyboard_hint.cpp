#include "words/keyboard_hint.h"

#include <QString>

namespace KeyboardHint {

namespace {

struct Row {
    const char* letters;
    const int* indices;
    int left;
    int top;
};

constexpr int kUpper[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 24};
constexpr int kMiddle[] = {9, 10, 11, 12, 13, 14, 15, 16, 17};
constexpr int kLower[] = {25, 18, 19, 20, 21, 22, 23};

std::array<Key, 26> buildKeys() {
    const Row rows[] = {{"QWERTYUIOP", kUpper, 330, 300},
                        {"ASDFGHJKL", kMiddle, 940, 1365},
                        {"ZXCVBNM", kLower, 1470, 2460}};
    std::array<Key, 26> table{};
    for (const Row& row : rows) {
        for (int i = 0; row.letters[i]; ++i) {
            const int index = row.indices[i];
            table[index] = Key{index, row.letters[i], row.left + i * kPitchTwips, row.top};
        }
    }
    return table;
}

} // namespace

const std::array<Key, 26>& keys() {
    static const std::array<Key, 26> table = buildKeys();
    return table;
}

int indexOf(QChar c) {
    const char16_t u = c.toUpper().unicode();
    if (u < u'A' || u > u'Z')
        return -1;
    for (const Key& key : keys()) {
        if (key.letter == char(u))
            return key.index;
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
