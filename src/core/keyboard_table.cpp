#include "core/keyboard_table.h"

#include "core/key_codes.h"

#include <QString>
#include <algorithm>
#include <array>

namespace KeyboardTable {

namespace {

using F = Finger;

// clang-format off
constexpr Key kKeys[] = {
    {192, "`", "~", F::LeftLittle, false}, {49, "1", "!", F::LeftLittle, false},
    {50, "2", "@", F::LeftRing, false},    {51, "3", "#", F::LeftMiddle, false},
    {52, "4", "$", F::LeftIndex, false},   {53, "5", "%", F::LeftIndex, false},
    {54, "6", "^", F::RightIndex, false},  {55, "7", "&", F::RightIndex, false},
    {56, "8", "*", F::RightMiddle, false}, {57, "9", "(", F::RightRing, false},
    {48, "0", ")", F::RightLittle, false}, {189, "-", "_", F::RightLittle, false},
    {187, "=", "+", F::RightLittle, false},
    {KeyCode::Backspace, "Backspace", "", F::None, false},

    {KeyCode::Tab, "Tab", "", F::None, false},
    {81, "Q", "", F::LeftLittle, false},   {87, "W", "", F::LeftRing, false},
    {69, "E", "", F::LeftMiddle, false},   {82, "R", "", F::LeftIndex, false},
    {84, "T", "", F::LeftIndex, false},    {89, "Y", "", F::RightIndex, false},
    {85, "U", "", F::RightIndex, false},   {73, "I", "", F::RightMiddle, false},
    {79, "O", "", F::RightRing, false},    {80, "P", "", F::RightLittle, false},
    {219, "[", "{", F::RightLittle, false}, {221, "]", "}", F::RightLittle, false},
    {220, "\\", "|", F::RightLittle, false},

    {KeyCode::CapsLock, "Caps", "", F::None, false},
    {65, "A", "", F::LeftLittle, false},   {83, "S", "", F::LeftRing, false},
    {68, "D", "", F::LeftMiddle, false},   {70, "F", "", F::LeftIndex, true},
    {71, "G", "", F::LeftIndex, false},    {72, "H", "", F::RightIndex, false},
    {74, "J", "", F::RightIndex, true},    {75, "K", "", F::RightMiddle, false},
    {76, "L", "", F::RightRing, false},    {186, ";", ":", F::RightLittle, false},
    {222, "'", "\"", F::RightLittle, false},
    {KeyCode::Enter, "Enter", "", F::None, false},

    {KeyCode::Shift, "Shift", "", F::None, false},
    {90, "Z", "", F::LeftLittle, false},   {88, "X", "", F::LeftRing, false},
    {67, "C", "", F::LeftMiddle, false},   {86, "V", "", F::LeftIndex, false},
    {66, "B", "", F::LeftIndex, false},    {78, "N", "", F::RightIndex, false},
    {77, "M", "", F::RightIndex, false},   {188, ",", "<", F::RightMiddle, false},
    {190, ".", ">", F::RightRing, false},  {191, "/", "?", F::RightLittle, false},

    {17, "Ctrl", "", F::None, false},      {18, "Alt", "", F::None, false},
    {91, "Win", "", F::None, false},       {KeyCode::Space, "", "", F::Thumbs, false},
    {92, "Win", "", F::None, false},       {93, "Menu", "", F::None, false},
};

// The key labels of the Keys practice keyboard, at 15 twips per pixel of its picture.
constexpr Place kKeysLabels[] = {
    {192, 192, {0, 24, 696, 636}},     {49, 49, {696, 24, 696, 636}},
    {50, 50, {1392, 24, 696, 636}},    {51, 51, {2088, 24, 696, 636}},
    {52, 52, {2784, 24, 696, 636}},    {53, 53, {3480, 24, 696, 636}},
    {54, 54, {4176, 24, 696, 636}},    {55, 55, {4872, 24, 696, 636}},
    {56, 56, {5568, 24, 696, 636}},    {57, 57, {6264, 24, 696, 636}},
    {48, 48, {6960, 24, 696, 636}},    {189, 189, {7656, 24, 696, 636}},
    {187, 187, {8352, 24, 696, 636}},  {220, 220, {9048, 24, 696, 636}},
    {8, 8, {9740, 24, 660, 636}},
    {kTabLabel, KeyCode::Tab, {0, 690, 948, 636}},
    {81, 81, {960, 690, 696, 636}},    {87, 87, {1680, 690, 696, 636}},
    {69, 69, {2376, 690, 696, 636}},   {82, 82, {3072, 690, 696, 636}},
    {84, 84, {3780, 690, 696, 636}},   {89, 89, {4464, 690, 696, 636}},
    {85, 85, {5172, 690, 696, 636}},   {73, 73, {5868, 696, 696, 636}},
    {79, 79, {6564, 690, 696, 636}},   {80, 80, {7260, 690, 696, 636}},
    {219, 219, {7956, 690, 696, 636}}, {221, 221, {8676, 690, 696, 636}},
    {13, 13, {9312, 696, 1116, 1296}},
    {20, 20, {0, 1358, 1185, 636}},
    {65, 65, {1200, 1358, 696, 636}},  {83, 83, {1896, 1358, 696, 636}},
    {68, 68, {2604, 1358, 696, 636}},  {70, 70, {3300, 1358, 696, 636}},
    {71, 71, {3996, 1358, 696, 636}},  {72, 72, {4680, 1356, 696, 636}},
    {74, 74, {5376, 1356, 696, 636}},  {75, 75, {6048, 1356, 696, 636}},
    {76, 76, {6756, 1356, 696, 636}},  {186, 186, {7452, 1356, 696, 636}},
    {222, 222, {8160, 1356, 696, 636}},
    {kEnterLowerLabel, KeyCode::Enter, {8844, 1356, 600, 660}},
    {90, 90, {1620, 2013, 696, 636}},  {88, 88, {2328, 2013, 696, 636}},
    {67, 67, {3012, 2013, 696, 636}},  {86, 86, {3708, 2013, 696, 636}},
    {66, 66, {4416, 2013, 696, 636}},  {78, 78, {5064, 2016, 696, 636}},
    {77, 77, {5772, 2016, 696, 636}},  {188, 188, {6480, 2016, 696, 636}},
    {190, 190, {7164, 2016, 696, 636}}, {191, 191, {7860, 2016, 696, 636}},
    {91, 91, {960, 2610, 810, 630}},   {32, 32, {2600, 2680, 4476, 636}},
    {92, 92, {7920, 2580, 780, 630}},  {93, 93, {8730, 2580, 780, 630}},
};

// Shift, Ctrl and Alt fill the gaps the labels leave on the picture.
constexpr Place kKeysUnlabelled[] = {
    {0, KeyCode::Shift, {0, 2013, 1608, 636}},  {0, KeyCode::Shift, {8556, 2016, 1872, 636}},
    {0, 17, {0, 2610, 948, 630}},               {0, 18, {1782, 2610, 806, 630}},
    {0, 18, {7088, 2580, 820, 630}},            {0, 17, {9522, 2580, 906, 630}},
};

// The letter squares of the Word practice hint, row by row with their stagger.
constexpr QRect square(int left, int top) {
    return {left, top, kHintSquareTwips, kHintSquareTwips};
}
constexpr int kUpper = 300, kMiddle = 1365, kLower = 2460;
constexpr int col(int first, int i) { return first + i * kHintPitchTwips; }
constexpr Place kHintSquares[] = {
    {0, 'Q', square(col(330, 0), kUpper)},  {1, 'W', square(col(330, 1), kUpper)},
    {2, 'E', square(col(330, 2), kUpper)},  {3, 'R', square(col(330, 3), kUpper)},
    {4, 'T', square(col(330, 4), kUpper)},  {5, 'Y', square(col(330, 5), kUpper)},
    {6, 'U', square(col(330, 6), kUpper)},  {7, 'I', square(col(330, 7), kUpper)},
    {8, 'O', square(col(330, 8), kUpper)},  {24, 'P', square(col(330, 9), kUpper)},
    {9, 'A', square(col(940, 0), kMiddle)}, {10, 'S', square(col(940, 1), kMiddle)},
    {11, 'D', square(col(940, 2), kMiddle)}, {12, 'F', square(col(940, 3), kMiddle)},
    {13, 'G', square(col(940, 4), kMiddle)}, {14, 'H', square(col(940, 5), kMiddle)},
    {15, 'J', square(col(940, 6), kMiddle)}, {16, 'K', square(col(940, 7), kMiddle)},
    {17, 'L', square(col(940, 8), kMiddle)},
    {25, 'Z', square(col(1470, 0), kLower)}, {18, 'X', square(col(1470, 1), kLower)},
    {19, 'C', square(col(1470, 2), kLower)}, {20, 'V', square(col(1470, 3), kLower)},
    {21, 'B', square(col(1470, 4), kLower)}, {22, 'N', square(col(1470, 5), kLower)},
    {23, 'M', square(col(1470, 6), kLower)},
};
// Every row ends at the same right edge with whole keys: the side keys that do not fit at
// full size are narrower, and "]" is left out so that the apostrophe keeps its key.
constexpr int kGap = kHintPitchTwips - kHintSquareTwips;
constexpr QRect sideKey(int left, int top, int right) {
    return {left, top, right - left, kHintSquareTwips};
}
constexpr int kUpperEnd = col(330, 10), kMiddleEnd = col(940, 9), kLowerEnd = col(1470, 7);
constexpr int kMiddleSide = (kHintRightTwips - kMiddleEnd - kGap) / 2;
constexpr int kLowerSide = (kHintRightTwips - kLowerEnd - 2 * kGap) / 3;
constexpr Place kHintSurround[] = {
    {-1, 219, sideKey(kUpperEnd, kUpper, kHintRightTwips)},
    {-1, KeyCode::CapsLock, {60, kMiddle, 760, kHintSquareTwips}},
    {-1, 186, sideKey(kMiddleEnd, kMiddle, kMiddleEnd + kMiddleSide)},
    {-1, 222, sideKey(kHintRightTwips - kMiddleSide, kMiddle, kHintRightTwips)},
    {-1, KeyCode::Shift, {60, kLower, 1290, kHintSquareTwips}},
    {-1, 188, sideKey(kLowerEnd, kLower, kLowerEnd + kLowerSide)},
    {-1, 190, sideKey(kLowerEnd + kLowerSide + kGap, kLower, kLowerEnd + 2 * kLowerSide + kGap)},
    {-1, 191, sideKey(kHintRightTwips - kLowerSide, kLower, kHintRightTwips)},
};
// clang-format on

} // namespace

std::span<const Key> keys() {
    return kKeys;
}

const Key* find(int code) {
    const auto it = std::find_if(std::begin(kKeys), std::end(kKeys),
                                 [code](const Key& key) { return key.code == code; });
    return it == std::end(kKeys) ? nullptr : it;
}

int codeOf(QChar c) {
    if (c == u' ')
        return KeyCode::Space;
    const QString text(c.toUpper());
    for (const Key& key : kKeys) {
        const bool printable = !key.label[0] || !key.label[1]; // one character
        if (printable && (text == QLatin1String(key.label) || text == QLatin1String(key.shifted)))
            return key.code;
    }
    return 0;
}

QChar keyCharacter(QChar c) {
    // Asked at every keystroke: the printable ASCII characters are looked up once.
    static const std::array<char16_t, 128> table = [] {
        std::array<char16_t, 128> keys{};
        keys[u' '] = u' ';
        for (char16_t ch = 0x21; ch < 0x7f; ++ch) {
            const Key* key = find(codeOf(QChar(ch)));
            if (key && key->label[0] && !key->label[1])
                keys[ch] = QChar(key->label[0]).toLower().unicode();
        }
        return keys;
    }();
    return c.unicode() < table.size() ? QChar(table[c.unicode()]) : QChar();
}

std::span<const Place> keysKeyboardLabels() {
    return kKeysLabels;
}

std::span<const Place> keysKeyboardUnlabelled() {
    return kKeysUnlabelled;
}

const Place* keysKeyboardLabel(int index) {
    const auto it = std::find_if(std::begin(kKeysLabels), std::end(kKeysLabels),
                                 [index](const Place& place) { return place.index == index; });
    return it == std::end(kKeysLabels) ? nullptr : it;
}

std::span<const Place> wordHintSquares() {
    return kHintSquares;
}

std::span<const Place> wordHintSurround() {
    return kHintSurround;
}

QString keyName(int code) {
    switch (code) {
    case KeyCode::CapsLock:
        return QStringLiteral("Caps Lock");
    case KeyCode::Space:
        return QStringLiteral("Space");
    default:
        break;
    }
    const Key* key = find(code);
    return key ? QString::fromLatin1(key->label) : QString::number(code);
}

} // namespace KeyboardTable
