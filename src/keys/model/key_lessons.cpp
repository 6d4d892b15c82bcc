#include "keys/model/key_lessons.h"

#include "core/state_file.h"
#include "core/text_codec.h"

namespace KeyLessons {

const QStringList& catalogue() {
    static const QStringList titles = {
        QStringLiteral("Lesson  1: KeyBoard Layout"),
        QStringLiteral("Lesson  2: Partition finger exercises"),
        QStringLiteral("Lesson  3: asdf jkl;"),
        QStringLiteral("Lesson  4: e i"),
        QStringLiteral("Lesson  5: r u"),
        QStringLiteral("Lesson  6: g h"),
        QStringLiteral("Lesson  7: c ,"),
        QStringLiteral("Lesson  8: y t"),
        QStringLiteral("Lesson  9: m v"),
        QStringLiteral("Lesson 10: b n"),
        QStringLiteral("Lesson 11: o w"),
        QStringLiteral("Lesson 12: p q z"),
        QStringLiteral("Lesson 13: x ."),
        QStringLiteral("Lesson 14: 0-9"),
        QStringLiteral("Lesson 15: Capital letters exercise"),
        QStringLiteral("Lesson 16: punctuation"),
    };
    return titles;
}

QString lessonResource(int index, const QString& folder) {
    return folder + QString::number(index) + QStringLiteral(".txt");
}

namespace {

Lesson problem(const QString& fileName, const QString& what) {
    Lesson lesson;
    lesson.heading = QStringLiteral("Lesson file %1 %2").arg(fileName, what);
    return lesson;
}

} // namespace

Lesson parseLesson(const QString& text, const QString& fileName) {
    QString normal = text;
    normal.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    normal.replace(u'\r', u'\n');
    normal.replace(u'\t', u' ');
    for (const QChar c : normal) {
        if ((c.unicode() < 0x20 && c != u'\n') || c.unicode() == 0x7f ||
            c == QChar::ReplacementCharacter)
            return problem(fileName, QStringLiteral("is not text"));
    }
    const QStringList lines = normal.split(u'\n');
    Lesson lesson;
    lesson.heading = lines.value(0);
    qint64 chars = 0;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        if (lines[i].isEmpty())
            continue;
        lesson.practiceLines << lines[i];
        chars += lines[i].size();
        if (lesson.practiceLines.size() > kMaxCount || chars > kMaxCount)
            return problem(fileName, QStringLiteral("is too long"));
    }
    lesson.practiceCharCount = int(chars);
    if (lesson.practiceLines.isEmpty())
        return problem(fileName, QStringLiteral("is empty"));
    return lesson;
}

QString decode(const QByteArray& bytes) {
    static const QByteArray utf8Mark("\xEF\xBB\xBF");
    if (bytes.startsWith(utf8Mark))
        return QString::fromUtf8(bytes.mid(utf8Mark.size()));
    return decodeGbk(bytes);
}

Lesson readLesson(const QString& path, const QString& fileName) {
    const StateFile::ReadResult read = StateFile::readBytes(path, kMaxFileBytes);
    if (!read.found())
        return problem(fileName, QStringLiteral("is missing"));
    if (read.cut())
        return problem(fileName, QStringLiteral("is too long"));
    return parseLesson(decode(read.bytes), fileName);
}

} // namespace KeyLessons
