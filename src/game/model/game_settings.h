#pragma once

#include <QString>

// The game settings edited on the panel Picture3 and kept in GameSet.txt as one line of
// eight comma-separated fields: time limit, drop on wrong input, drop on miss, keystroke
// sound, speed-up, start speed, item count, end mode ("60,0,1,1,1,60,4,1").
struct GameSettings {
    // Bounds that keep the arithmetic sane: an item never falls further than the field is
    // high in one tick (so the doubled step stays well inside 16 bits), and a time limit
    // stays within a day.
    static constexpr int kMaxStartSpeed = 7410;
    static constexpr int kMaxTimeLimit = 86400;
    static constexpr int kTimeLimitFloor = 60;
    static constexpr int kStartSpeedFloor = 30;

    bool spriteDownEnd = true; // endMode: Option1 (elf falls to the bottom) or Option2 (time)
    bool dropOnWrong = false;  // Check1
    bool dropOnMiss = true;    // Check2
    int timeLimit = 0;         // Label5, seconds
    bool keySound = true;      // Check6
    bool speedUp = true;       // Check3
    int startSpeed = 60;       // Label11, twips per fall tick
    int itemCount = 4;         // Option3 to Option6

    // The record as written to GameSet.txt (without the line end).
    QString line() const;
    // Applies the fields of a record in order. A field that holds no number, or is missing,
    // leaves its value as it was; numbers out of range are brought into range.
    void applyLine(const QString& line);

    // A step button: adds `step`; a step down that would leave less than one more step
    // above `floor` lands on `floor` ("-50" turns 150 into 60, 160 into 110).
    static int stepped(int value, int step, int floor, int max);

    friend bool operator==(const GameSettings&, const GameSettings&) = default;
};
