#pragma once

#include <QString>

// The Keys practice state kept in sz0.txt: "0115" is keyed tips off, keystroke sound on,
// lesson 15. The lessons are numbered 0..15.
struct Sz0 {
    static constexpr int kLessons = 16;

    bool keyedTips = false;
    bool keystrokeSound = false;
    int lessonIndex = 0;

    // Parses the first field of sz0.txt. A switch is on only for "1"; the lesson is the
    // number the third and fourth characters start with, and anything missing, not a number
    // or outside 0..15 gives lesson 0.
    static Sz0 parse(const QString& field);
    // Two switches and the lesson as two digits.
    QString format() const;
    bool operator==(const Sz0&) const = default;
};
