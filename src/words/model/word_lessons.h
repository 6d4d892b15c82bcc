#pragma once

#include <QString>
#include <QStringList>

class ProgramFolder;

// The twelve word lessons and the two small files that bring the window back to the same
// lesson and word: sz1.txt (switches, word index, lesson) and sz1-yj.txt (the lesson).
namespace WordLessons {

// The chooser captions, in list order.
const QStringList& catalogue();

// "Lesson 7: Words in ..." -> "Lesson 7"; "Lesson 10: ..." -> "Lesson 10". The name is cut
// before the colon: 8 characters when the 9th is ":", otherwise 9.
QString lessonNameFromCaption(const QString& caption);

// Resource name of a lesson's word list, "\2\Lesson 5.txt".
QString listResource(const QString& lessonName);

// Limits of a word list: the title (line 0) and every item are one line each.
constexpr int kMaxListLines = 10000;
constexpr int kMaxItemLength = 200;

// The word list as lines; line 0 is the title. A CR LF is appended first, so the line after
// the last item always reads as empty, even without a final line break. Lines past
// kMaxListLines and characters past kMaxItemLength are left out; `cut` says so.
QStringList splitList(const QString& fileText, bool* cut = nullptr);

// Line k of the list without its line break; empty when there is no such line.
QString TextBoxGetLine(const QStringList& lines, int k);

struct Sz1 {
    bool keyedTips = false;
    bool keystrokeSound = false;
    int wordIndex = 1;
    QString lessonName = QStringLiteral("Lesson 1");

    // Parses the first field of sz1.txt. Anything that does not make sense (too short, an
    // index below 1, a lesson that is not one of ours) falls back to the defaults above.
    static Sz1 parse(const QString& field);
    // "1000037Lesson 5": switches, five-digit index, lesson name.
    QString format() const;
    bool operator==(const Sz1&) const = default;
};

bool isKnownLesson(const QString& lessonName);

// A lesson's word list as it is practised: the lesson and item it starts at, and its lines.
struct WordList {
    QString lessonName;
    int wordIndex = 1;
    QStringList lines;
    bool cut = false; // the file was longer than a list may be: only its beginning is used
};

// Reads the list of `lessonName` from the program folder. A lesson whose list is gone falls
// back to Lesson 1 at its first word, and a word beyond the end of the list to word 1, so the
// learner never faces an empty screen.
WordList readList(const ProgramFolder& folder, const QString& lessonName, int wordIndex);

} // namespace WordLessons
