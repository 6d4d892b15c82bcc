#pragma once

#include <QString>
#include <QStringList>

// The sixteen key lessons: their chooser titles and their files "\1\<index>.txt", each a
// heading line followed by the practice lines.
namespace KeyLessons {

constexpr int kLessons = 16;
// The counters of a lesson are 16-bit: a lesson holds at most this many lines and practice
// characters.
constexpr int kMaxCount = 32767;
// Bigger files are not lessons; only this much of them is read.
constexpr qint64 kMaxFileBytes = 256 * 1024;

// The chooser titles, in list order.
const QStringList& catalogue();

// Resource name of lesson `index`'s file in a lesson folder: "\1\7.txt", "\1-de\7.txt".
QString lessonResource(int index, const QString& folder = QStringLiteral("\\1\\"));

struct Lesson {
    QString heading;           // line 0, shown above the practice line
    QStringList practiceLines; // lines 1.., never empty
    int practiceCharCount = 0; // characters of all practice lines

    int lineCount() const { return int(practiceLines.size()); }
};

// A lesson from the text of its file. Empty lines are left out: they could never be typed.
// Tabs become blanks, since the Tab key never types. A text with other control characters
// (a binary file) or more than kMaxCount lines or characters gives no practice lines and a
// heading that says why.
Lesson parseLesson(const QString& text, const QString& fileName);

// The text of a lesson file: UTF-8 after its byte order mark (the lessons built for a
// layout), else GBK as every file of the program.
QString decode(const QByteArray& bytes);

// Reads and parses the lesson file at `path` through the one reader of the program's files.
// A missing (or not regular), empty, binary or huge file gives a lesson without practice
// lines whose heading says what is wrong.
Lesson readLesson(const QString& path, const QString& fileName);

} // namespace KeyLessons
