#pragma once

#include <QChar>
#include <QRect>
#include <array>

// The 26 letter keys of the Word practice keyboard. Each key has one index into the letter
// squares and their red and white frames; positions are twips inside the keyboard panel.
namespace KeyboardHint {

struct Key {
    int index;
    char letter;
    int left;
    int top;
};

constexpr int kSquareTwips = 975;
constexpr int kPitchTwips = 1095;
constexpr int kReferenceHeightTwips = 780; // the hidden Command1, used as a measuring stick

const std::array<Key, 26>& keys();

// The key index of a letter (either case); -1 for anything that is not a letter A-Z.
int indexOf(QChar c);

// The key a learner should press next: -1 when the tips are off, when nothing remains to be
// typed, or when the next character is not a letter.
int nextKey(bool keyedTips, const QString& typed, const QString& target);

} // namespace KeyboardHint
