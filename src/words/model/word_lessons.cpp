#include "words/model/word_lessons.h"

#include "core/number_parse.h"
#include "core/program_folder.h"
#include "core/state_file.h"

namespace WordLessons {

const QStringList& catalogue() {
    static const QStringList captions = {
        QStringLiteral("Lesson 1: Common words 1(Total 500)"),
        QStringLiteral("Lesson 2: Common words 2(Total 500)"),
        QStringLiteral("Lesson 3: Common words 3(Total 500)"),
        QStringLiteral("Lesson 4: Common words 4(Total 500)"),
        QStringLiteral("Lesson 5: Words in primary school (Total 448)"),
        QStringLiteral("Lesson 6: Words in junior middle school 1(Total 598)"),
        QStringLiteral("Lesson 7: Words in junior middle school 2(Total 599)"),
        QStringLiteral("Lesson 8: Words in junior middle school 3(Total 465)"),
        QStringLiteral("Lesson 9: Words in Senior High School 1(Total 599)"),
        QStringLiteral("Lesson 10: Words in Senior High School 2(Total 600)"),
        QStringLiteral("Lesson 11: Words in Senior High School 3(Total 766)"),
        QStringLiteral("Lesson 12: Spoken phrase (Total 400)"),
    };
    return captions;
}

QString lessonNameFromCaption(const QString& caption) {
    return caption.mid(8, 1) == u":" ? caption.left(8) : caption.left(9);
}

QString listResource(const QString& lessonName) {
    return QStringLiteral("\\2\\") + lessonName + QStringLiteral(".txt");
}

QStringList splitList(const QString& fileText, bool* cut) {
    return StateFile::splitLines(fileText + QStringLiteral("\r\n"),
                                 {.maxLines = kMaxListLines, .maxLineLength = kMaxItemLength}, cut);
}

QString TextBoxGetLine(const QStringList& lines, int k) {
    if (k < 0 || k >= lines.size())
        return QString();
    QString line = lines[k];
    if (line.endsWith(u'\r'))
        line.chop(1);
    return line;
}

bool isKnownLesson(const QString& lessonName) {
    for (const QString& caption : catalogue()) {
        if (lessonNameFromCaption(caption) == lessonName)
            return true;
    }
    return false;
}

WordList readList(const ProgramFolder& folder, const QString& lessonName, int wordIndex) {
    WordList list{lessonName, wordIndex, {}};
    bool found = false;
    bool cutRead = false;
    QString text = StateFile::readText(folder.path(listResource(lessonName)), &found,
                                       StateFile::kListCap, &cutRead);
    if (!found && lessonName != u"Lesson 1") {
        list.lessonName = QStringLiteral("Lesson 1");
        list.wordIndex = 1;
        text = StateFile::readText(folder.path(listResource(list.lessonName)), &found,
                                   StateFile::kListCap, &cutRead);
    }
    bool cutSplit = false;
    list.lines = splitList(text, &cutSplit);
    list.cut = cutRead || cutSplit;
    if (TextBoxGetLine(list.lines, list.wordIndex).isEmpty())
        list.wordIndex = 1;
    return list;
}

Sz1 Sz1::parse(const QString& field) {
    Sz1 state;
    if (field.size() < 8)
        return state;
    const QString lesson = field.mid(7);
    const int index = valInt(QStringView(field).mid(2, 5));
    if (!isKnownLesson(lesson) || index < 1)
        return state;
    state.keyedTips = field[0] == u'1';
    state.keystrokeSound = field[1] == u'1';
    state.wordIndex = index;
    state.lessonName = lesson;
    return state;
}

QString Sz1::format() const {
    const QString digits = (QStringLiteral("0000") + QString::number(wordIndex)).right(5);
    return QString(keyedTips ? u'1' : u'0') + QString(keystrokeSound ? u'1' : u'0') + digits +
           lessonName;
}

} // namespace WordLessons
