#pragma once

#include <QChar>
#include <QRect>
#include <QString>
#include <span>

// The one table of the keyboard's keys, and the geometry of each keyboard the program draws.
// Every keyboard that is drawn, marked or hinted takes its keys from here, so a mark always
// sits on the key it names.
namespace KeyboardTable {

// The finger that strikes a key; the thumbs share the space bar.
enum class Finger {
    LeftLittle,
    LeftRing,
    LeftMiddle,
    LeftIndex,
    RightIndex,
    RightMiddle,
    RightRing,
    RightLittle,
    Thumbs,
    None, // keys the lessons leave alone
};

struct Key {
    int code;            // Windows key code
    const char* label;   // the unshifted label as printed on the cap
    const char* shifted; // the shifted symbol, "" when the cap shows only one
    Finger finger;
    bool bump; // the home-row bump under an index finger
};

// Every key of a US main block, row by row, each key once.
std::span<const Key> keys();
// The key of a code; nullptr for codes without a key.
const Key* find(int code);
// The code of the key that types `c`, shifted or not; 0 when no key types it.
int codeOf(QChar c);
// The character the key that types `c` types unshifted ('a' for 'A', '1' for '!', ' ' for a
// space); null when no key types it.
QChar keyCharacter(QChar c);
// The name a learner reads for a key: its cap's label, "Space" or "Caps Lock".
QString keyName(int code);

// A rectangle of one drawn keyboard, in twips inside that keyboard.
struct Place {
    int index; // the keyboard's own index of the rectangle
    int code;  // the key it shows
    QRect twips;
};

// --- the Keys practice keyboard ---
// The key labels A(index) inside the keyboard area: the index is the key code, except for
// Tab and the lower-left part of the L-shaped Enter key.
constexpr int kTabLabel = 527;
constexpr int kEnterLowerLabel = 888;
std::span<const Place> keysKeyboardLabels();
// Keys that are drawn but carry no label and are never marked: Shift, Ctrl and Alt.
std::span<const Place> keysKeyboardUnlabelled();
// The label of an index; nullptr for an index the keyboard has no label for.
const Place* keysKeyboardLabel(int index);
// The keyboard area the labels lie in, after its stretch at load.
constexpr int kKeysKeyboardWidthTwips = 10420;
constexpr int kKeysKeyboardHeightTwips = 3346;

// --- the Word practice keyboard hint ---
// The 26 letter squares, indexed 0..25 as Label2(index), Shape1(index) and Shape2(index).
constexpr int kHintSquareTwips = 975;
constexpr int kHintPitchTwips = 1095;
std::span<const Place> wordHintSquares();
// The right edge of every row's last key, inside the hint keyboard after its load scaling.
constexpr int kHintRightTwips = 11700;
// The keys drawn around the letters (punctuation, Caps, Shift), without squares.
std::span<const Place> wordHintSurround();

} // namespace KeyboardTable
