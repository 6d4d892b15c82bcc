#pragma once

#include <QChar>
#include <QString>

#include <array>

// How fast and how surely the learner types each key and each pair of keys. A key is named by
// the character it types alone in the learner's layout (KeyboardLayout::keyCharacter: "a" for
// A and a, "1" for 1 and ! on a US keyboard, "ö" for ö and Ö on a German one, " " for Space),
// a pair by the two such characters in the order typed ("th"); both are "grams". Times go into
// a histogram of fixed buckets, so the figures of many days add up and still give a median.
namespace KeyTiming {

// The bucket edges in milliseconds: bucket i holds times from kEdges[i] up to kEdges[i + 1].
// They grow by about a sixth each, so a median read from them is off by less than a twelfth.
constexpr int kBuckets = 24;
constexpr std::array<int, kBuckets + 1> kEdges = {0,   50,  59,   69,   81,   95,   111, 131, 153,
                                                  180, 211, 248,  291,  342,  401,  471, 553, 649,
                                                  762, 894, 1050, 1232, 1447, 1698, 2001};
// The bucket of a time; times past the last edge go into the last bucket.
int bucketOf(int ms);

} // namespace KeyTiming

// One gram's figures: how often it was due, how often missed, and its times.
struct GramStats {
    // The most one day's figures come to, and the days they may be of (Julian days of
    // 1970-01-01 and 9999-12-31). Sums over every day of them still fit in 53 bits.
    static constexpr qint64 kMostDayCount = 1'000'000'000;
    static constexpr qint64 kFirstDay = 2'440'588;
    static constexpr qint64 kLastDay = 5'373'484;

    QString gram;
    qint64 day = 0; // the day typed, as a Julian day, for one day's figures
    qint64 expected = 0;
    qint64 wrong = 0;
    std::array<qint64, KeyTiming::kBuckets> times{};

    void addTime(int ms) { ++times[size_t(KeyTiming::bucketOf(ms))]; }
    void add(const GramStats& other);
    qint64 timed() const;
    // The median time, read from the histogram; -1 without times.
    int medianMs() const;
    double missRate() const { return expected > 0 ? double(wrong) / double(expected) : 0.0; }
    // Whether these are figures one day of typing can come to.
    bool isPlausibleDay() const;
};
