#pragma once

#include <QString>

#include <array>

// One entry of the "Select game item" menu: what the falling items are made of.
struct GameItemSet {
    QString caption;  // the menu entry
    int setKind;      // 0 compares without regard to case; 1 to 4 compare exactly
    int itemLength;   // n: 1 for single characters, 2 to 4 for word pieces of n + 2 letters
    QString itemSource; // the characters items are cut from; empty for the word lists
    QString wordFile;   // the word list beside the program that gives the source, or empty
};

// A slot's foreground colour.
struct ItemColour {
    int red = 255, green = 255, blue = 255;
    friend bool operator==(const ItemColour&, const ItemColour&) = default;
};

namespace GameItemSets {

constexpr int kCount = 7;

// The seven sets in menu order (the menu array new1).
const std::array<GameItemSet, kCount>& table();

// An item cut from `source` for the random draw u in [0, 1): one character for n = 1,
// otherwise n + 2 characters from a multiple of n (fewer where the source ends).
QString cutItem(const QString& source, int n, double u);

// The colour of a new item from three draws in [0, 1): red 170 to 255, green and blue
// anywhere. `greenScale` is 255, or 250 for the fourth slot.
ItemColour colour(double u1, double u2, double u3, int greenScale);

} // namespace GameItemSets
