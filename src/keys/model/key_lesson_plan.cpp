#include "keys/model/key_lesson_plan.h"

#include "core/key_codes.h"
#include "core/keyboard_table.h"
#include "core/state_file.h"
#include "keys/model/key_lessons.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <algorithm>
#include <span>

namespace KeyLessonPlan {

namespace {

using KeyboardTable::Finger;

constexpr int kMaxLine = 26; // characters of a practice line, as in the shipped lessons
constexpr int kLines = 14;   // practice lines of a lesson

// clang-format off
// The lessons that only place the fingers, and the home row's first drills, written as the keys
// they use are labelled on a US keyboard: each character stands for its key.
const char* const kLayoutLesson[] = {
    "asdf jkl;",         "fff jjj fff jjj",     "fj fj jf jf fj jf",   "aaa sss ddd fff",
    "jjj kkk lll ;;;",   "asdf ;lkj asdf ;lkj", "qwert yuiop",         "asdfg hjkl;",
    "zxcvb nm,./",       "1234567890",          "qaz wsx edc rfv tgb", "yhn ujm ik, ol. p;/",
    "a s d f g h j k l ;", "fj dk sl a; fj dk sl a;",
};
const char* const kColumnsLesson[] = {
    "frf fvf ftf fgf fbf frvtgb", "jujm jyj jhj jnj jmj juymhn", "ded dcd ded dcd edc cde",
    "kik k,k kik k,k ik, ,ki",    "sws sxs sws sxs wsx xsw",     "lol l.l lol l.l ol. .lo",
    "aqa aza aqa aza qaz zaq",    ";p; ;/; ;p; ;/; p;/ /;p",     "frv juym ded kik",
    "sws lol aqa ;p;",            "f4f j7j d3d k8k s2s l9l",     "a1a ;0; f5f j6j",
    "ftgb jyhn frv jum",          "qaz wsx edc rfv tgb",         "yhn ujm ik, ol. p;/",
};
const char* const kHomeDrills[] = {"asdf jkl; asdf jkl;", "fdsa ;lkj fdsa ;lkj",
                                   "aa ss dd ff jj kk ll ;;", "fj dk sl a; fj dk sl a;"};

// The keys lessons 3 to 13 bring in, in the order of the shipped lessons.
const QList<QList<int>>& newKeys() {
    static const QList<QList<int>> keys = {
        {65, 83, 68, 70, 74, 75, 76, 186}, // the home row
        {69, 73},  {82, 85}, {71, 72}, {67, 188}, {89, 84}, {77, 86},
        {66, 78},  {79, 87}, {80, 81, 90},        {88, 190},
    };
    return keys;
}
constexpr int kFirstKeyLesson = 2;
constexpr int kDigitLesson = 13, kCapitalLesson = 14, kPunctuationLesson = 15;
const int kDigitKeys[] = {48, 49, 50, 51, 52, 53, 54, 55, 56, 57}; // the keys of 0 to 9
const int kHomeRow[] = {65, 83, 68, 70, 71, 72, 74, 75, 76, 186, 222};
const int kUpperRow[] = {81, 87, 69, 82, 84, 89, 85, 73, 79, 80, 219, 221};
const int kLowerRow[] = {90, 88, 67, 86, 66, 78, 77, 188, 190, 191};
// clang-format on

// The home key of the finger that strikes `code`.
int homeKey(int code) {
    const KeyboardTable::Key* key = KeyboardTable::find(code);
    switch (key ? key->finger : Finger::None) {
    case Finger::LeftLittle:
        return 65;
    case Finger::LeftRing:
        return 83;
    case Finger::LeftMiddle:
        return 68;
    case Finger::LeftIndex:
        return 70;
    case Finger::RightIndex:
        return 74;
    case Finger::RightMiddle:
        return 75;
    case Finger::RightRing:
        return 76;
    default:
        return 186;
    }
}

// What a key types without Shift; with Shift when it types nothing alone.
QChar keyChar(const KeyboardLayout& layout, int code) {
    const QChar alone = layout.typed(code, false);
    return alone.isNull() ? layout.typed(code, true) : alone;
}

// What a key is called in a title: what it types, or the mark of a dead key.
QString keyTitle(const KeyboardLayout& layout, int code) {
    const QChar c = keyChar(layout, code);
    if (!c.isNull())
        return QString(c);
    const QChar mark = layout.key(code).normal.character;
    return mark.isNull() ? QString() : QString(mark);
}

// The digit a key of the top row types, alone or with Shift; else what it types.
QChar digitOf(const KeyboardLayout& layout, int code) {
    for (bool shift : {false, true}) {
        const QChar c = layout.typed(code, shift);
        if (c.isDigit())
            return c;
    }
    return keyChar(layout, code);
}

QString simplified(const QString& line) {
    return line.simplified();
}

// A line written in US key labels, typed on `layout`: each character by the key in its place.
QString onLayout(const KeyboardLayout& layout, const char* usLine) {
    QString out;
    for (const char* p = usLine; *p; ++p) {
        if (*p == ' ') {
            out += u' ';
            continue;
        }
        const QChar c = keyChar(layout, KeyboardLayout::us().codeOf(QLatin1Char(*p)));
        if (!c.isNull())
            out += c;
    }
    return simplified(out);
}

// The name of a character in a heading.
QString nameOf(QChar c) {
    switch (c.unicode()) {
    case u',':
        return QStringLiteral("comma");
    case u'.':
        return QStringLiteral("full stop");
    case u';':
        return QStringLiteral("semicolon");
    case u':':
        return QStringLiteral("colon");
    case u'-':
        return QStringLiteral("hyphen");
    case u'\'':
        return QStringLiteral("apostrophe");
    case u'/':
        return QStringLiteral("slash");
    default:
        return QString(c);
    }
}

QString listed(const QStringList& names) {
    if (names.size() < 2)
        return names.join(QString());
    if (names.size() == 2)
        return names[0] + QStringLiteral(" and ") + names[1];
    return names.mid(0, names.size() - 1).join(QStringLiteral(", ")) + QStringLiteral(" and ") +
           names.last();
}

// A small, fixed sequence of numbers: the same layout always gets the same lessons.
struct Sequence {
    quint32 state;
    int next(int bound) {
        state = state * 1103515245u + 12345u;
        return int((state >> 16) % quint32(bound));
    }
};

void shuffle(QStringList& list, Sequence& seq) {
    for (qsizetype i = list.size() - 1; i > 0; --i)
        list.swapItemsAt(i, seq.next(int(i + 1)));
}

// `lines` lines of at most kMaxLine characters from `tokens`, taken in turn from `start`; when
// they run out, again in another order, so that no line merely repeats an earlier one.
QStringList lay(const QStringList& tokens, int lines, Sequence& seq, int start = 0) {
    QStringList out;
    if (tokens.isEmpty())
        return out;
    QStringList round = tokens;
    qsizetype i = std::clamp<qsizetype>(start, 0, round.size() - 1);
    while (out.size() < lines) {
        QString line;
        for (int guard = 0; guard < 64; ++guard) {
            if (i == round.size()) {
                shuffle(round, seq);
                i = 0;
            }
            const QString& token = round[i];
            if (!line.isEmpty() && line.size() + 1 + token.size() > kMaxLine)
                break;
            line += (line.isEmpty() ? QString() : QStringLiteral(" ")) + token;
            ++i;
        }
        out << line;
    }
    return out;
}

// The tokens in lines of at most kMaxLine characters, each token once.
QStringList layOnce(const QStringList& tokens) {
    QStringList out;
    QString line;
    for (const QString& token : tokens) {
        if (!line.isEmpty() && line.size() + 1 + token.size() > kMaxLine) {
            out << line;
            line.clear();
        }
        line += (line.isEmpty() ? QString() : QStringLiteral(" ")) + token;
    }
    if (!line.isEmpty())
        out << line;
    return out;
}

bool madeOf(const QString& word, const QString& learnt) {
    for (QChar c : word) {
        if (!learnt.contains(c))
            return false;
    }
    return true;
}

bool holdsAny(const QString& word, const QString& chars) {
    for (QChar c : chars) {
        if (word.contains(c))
            return true;
    }
    return false;
}

// Made-up syllables of the learnt letters, each with a new one, where the lists have too few
// words with the new keys.
QStringList syllables(const QString& learnt, const QString& fresh, int count, Sequence& seq) {
    QStringList out;
    QString letters, with;
    for (QChar c : learnt) {
        if (c.isLetter())
            letters += c;
    }
    for (QChar c : fresh) {
        if (c.isLetter())
            with += c;
    }
    if (letters.isEmpty() || with.isEmpty())
        return out;
    for (int i = 0; i < count; ++i) {
        const int length = 3 + seq.next(3);
        QString s;
        const int place = seq.next(length);
        for (int k = 0; k < length; ++k)
            s += k == place ? with[seq.next(int(with.size()))]
                            : letters[seq.next(int(letters.size()))];
        out << s;
    }
    return out;
}

// The words made of the learnt characters, those with a new one first, and, where the lists
// have too few of those, syllables with the new letters to make up the list.
QStringList practiceWords(const QStringList& words, const QString& learnt, const QString& fresh,
                          Sequence& seq, int wanted = 60) {
    QStringList withNew, others;
    for (const QString& word : words) {
        if (!madeOf(word, learnt))
            continue;
        if (holdsAny(word, fresh))
            withNew << word;
        else
            others << word;
    }
    QStringList chosen = withNew.mid(0, wanted);
    // A few words without a new key keep the old ones in hand.
    chosen += others.mid(0, std::max<qsizetype>(wanted / 4, wanted - chosen.size()));
    if (!fresh.isEmpty() && withNew.size() < 12)
        chosen += syllables(learnt, fresh, int(24 - withNew.size()), seq);
    // Mixed, so that a line does not hold only the longest or the shortest words.
    shuffle(chosen, seq);
    return chosen;
}

// The drill of a lesson's new keys, each between its finger's home key: "ded kik ded kik eie".
QString keyDrill(const KeyboardLayout& layout, const QList<int>& keys) {
    QStringList tokens;
    auto around = [&](int code) {
        return QString(keyChar(layout, homeKey(code))) + keyChar(layout, code) +
               keyChar(layout, homeKey(code));
    };
    QString fresh;
    for (int code : keys)
        fresh += keyChar(layout, code);
    if (keys.size() == 2) {
        tokens << around(keys[0]) << around(keys[1]) << around(keys[0]) << around(keys[1]);
        tokens << QString(fresh[0]) + fresh[1] + fresh[0]
               << QString(fresh[1]) + fresh[0] + fresh[1];
    } else {
        for (int code : keys)
            tokens << around(code);
        QString back = fresh;
        std::reverse(back.begin(), back.end());
        tokens << fresh << back << around(keys[0]);
    }
    return simplified(tokens.join(u' '));
}

// The new keys beside the home row's: "ea ie de ei ka ik".
QString pairDrill(const QString& fresh, const QString& home) {
    QStringList tokens;
    for (int i = 0; tokens.size() < 8 && !home.isEmpty() && !fresh.isEmpty(); ++i) {
        const QChar n = fresh[i % fresh.size()];
        const QChar h = home[i % home.size()];
        tokens << (i % 2 ? QString(h) + n : QString(n) + h);
    }
    Sequence seq{1u};
    return lay(tokens, 1, seq).value(0);
}

QString homeChars(const KeyboardLayout& layout) {
    QString out;
    for (int code : newKeys()[0]) {
        const QChar c = keyChar(layout, code);
        if (!c.isNull())
            out += c;
    }
    return out;
}

// What the lessons before `lesson` and `lesson` itself have brought in.
QString learntUpTo(const KeyboardLayout& layout, int lesson) {
    QString learnt = QStringLiteral(" ");
    for (int i = kFirstKeyLesson; i <= std::min(lesson, kDigitLesson - 1); ++i) {
        for (int code : newKeys()[i - kFirstKeyLesson]) {
            const QChar c = layout.typed(code, false);
            if (!c.isNull())
                learnt += c;
        }
    }
    return learnt;
}

QString lettersLesson(const KeyboardLayout& layout, const QStringList& words, int lesson) {
    const QList<int>& keys = newKeys()[lesson - kFirstKeyLesson];
    QString fresh;
    QStringList names;
    for (int code : keys) {
        const QChar c = keyChar(layout, code);
        if (!c.isNull())
            fresh += c;
        const QString title = keyTitle(layout, code);
        names << (title.isEmpty() ? title : nameOf(title[0]));
    }
    QStringList lines;
    if (lesson == kFirstKeyLesson) {
        QStringList left, right;
        for (int i = 0; i < keys.size(); ++i)
            (i < 4 ? left : right) << keyTitle(layout, keys[i]);
        lines << QStringLiteral("Home row: %1 and %2").arg(left.join(u' '), right.join(u' '));
        for (const char* drill : kHomeDrills)
            lines << onLayout(layout, drill);
    } else {
        lines << QStringLiteral("New keys: ") + listed(names);
        lines << keyDrill(layout, keys);
        lines << pairDrill(fresh, homeChars(layout));
    }
    Sequence seq{quint32(lesson) * 7919u + 17u};
    const QStringList pool = practiceWords(words, learntUpTo(layout, lesson), fresh, seq);
    lines += lay(pool, kLines + 1 - int(lines.size()), seq);
    return lines.join(QStringLiteral("\r\n"));
}

QString digitsLesson(const KeyboardLayout& layout, const QStringList& words) {
    QString d; // d[i] types digit i
    for (int code : kDigitKeys)
        d += digitOf(layout, code);
    auto number = [&d](const char* digits) {
        QString out;
        for (const char* p = digits; *p; ++p)
            out += *p == ' ' ? QChar(u' ') : d[*p - '0'];
        return out;
    };
    auto around = [&](int digit) {
        const QChar home = keyChar(layout, homeKey(kDigitKeys[digit]));
        return QString(home) + d[digit] + home;
    };
    QStringList lines;
    lines << QStringLiteral("Digits: the top row, %1 to %2").arg(d[1]).arg(d[0]);
    lines << QStringList{around(1), around(2), around(3), around(4), around(5)}.join(u' ');
    lines << QStringList{around(6), around(7), around(8), around(9), around(0)}.join(u' ');
    lines << number("12345 67890 12345 67890") << number("10 20 30 40 50 60 70 80 90")
          << number("11 22 33 44 55 66 77 88 99");
    Sequence seq{4242u};
    const QStringList pool =
        practiceWords(words, learntUpTo(layout, kDigitLesson), QString(), seq, 40);
    QStringList tokens;
    for (qsizetype i = 0; i < pool.size(); ++i) {
        tokens << pool[i];
        if (i % 2 == 1) {
            QString n;
            const int length = 1 + seq.next(4);
            for (int k = 0; k < length; ++k)
                n += d[seq.next(10)];
            tokens << n;
        }
    }
    lines += lay(tokens, kLines + 1 - int(lines.size()), seq);
    return lines.join(QStringLiteral("\r\n"));
}

// A letter key whose Shift gives its capital.
bool hasCapital(const KeyboardLayout& layout, int code) {
    const QChar alone = layout.typed(code, false);
    return alone.isLetter() && layout.typed(code, true) == alone.toUpper() &&
           alone.toUpper() != alone;
}

QString capitalsLesson(const KeyboardLayout& layout, const QStringList& words) {
    QStringList lines;
    lines << QStringLiteral("Capitals: Shift with the other hand");
    for (const auto& row : {std::span<const int>(kHomeRow), std::span<const int>(kUpperRow),
                            std::span<const int>(kLowerRow)}) {
        QStringList pairs;
        for (int code : row) {
            if (hasCapital(layout, code))
                pairs << QString(layout.typed(code, true)) + layout.typed(code, false);
        }
        lines += layOnce(pairs);
    }
    QString learnt = learntUpTo(layout, kCapitalLesson);
    for (const int code : KeyboardLayout::characterKeys()) {
        if (hasCapital(layout, code) && learnt.contains(layout.typed(code, false)))
            learnt += layout.typed(code, true);
    }
    Sequence seq{1414u};
    const QStringList pool = practiceWords(words, learnt, QString(), seq, 60);
    QStringList tokens;
    for (qsizetype i = 0; i < pool.size(); ++i) {
        QString word = pool[i];
        const int key = layout.codeOf(word[0]);
        // Every other word starts with a capital.
        if (i % 2 == 0 && hasCapital(layout, key) && layout.typed(key, false) == word[0])
            word[0] = layout.typed(key, true);
        tokens << word;
    }
    lines += lay(tokens, kLines + 1 - int(lines.size()), seq);
    return lines.join(QStringLiteral("\r\n"));
}

// How a mark stands by a word: after it, around it, or on its own between words.
QString withMark(QChar mark, const QString& word, const QString& typeable) {
    static const QString after = QStringLiteral(",.;:!?%\u2026");
    static const QList<std::pair<QChar, QChar>> pairs = {
        {u'(', u')'},        {u'[', u']'},        {u'{', u'}'}, {QChar(0xab), QChar(0xbb)},
        {QChar(0xbf), u'?'}, {QChar(0xa1), u'!'}, {u'<', u'>'}};
    if (after.contains(mark))
        return word + mark;
    for (const auto& [open, close] : pairs) {
        if ((mark == open || mark == close) && typeable.contains(open) && typeable.contains(close))
            return QString(open) + word + close;
    }
    if (mark == u'"' || mark == u'\'' || mark == u'`')
        return QString(mark) + word + mark;
    return QString(mark) + word;
}

QString punctuationLesson(const KeyboardLayout& layout, const QStringList& words) {
    // Every character the layout types and the lessons before have not brought in: marks, and
    // letters on keys outside the plan's rows.
    const QString learnt = learntUpTo(layout, kPunctuationLesson);
    QString marks, letters;
    for (const int code : KeyboardLayout::characterKeys()) {
        for (bool shift : {false, true}) {
            const QChar c = layout.typed(code, shift);
            if (c.isNull() || learnt.contains(c) || c.isDigit())
                continue;
            if (c.isLetter()) {
                if (!shift || !hasCapital(layout, code))
                    letters += c;
            } else if (!marks.contains(c)) {
                marks += c;
            }
        }
    }
    QString typeable;
    for (const int code : KeyboardLayout::characterKeys())
        typeable += QString(layout.typed(code, false)) + layout.typed(code, true);

    QStringList lines;
    QStringList others;
    for (QChar c : letters)
        others << QString(c);
    lines << (letters.isEmpty() ? QStringLiteral("Punctuation: marks around the words")
                                : QStringLiteral("Punctuation, and ") + others.join(u' '));
    if (!letters.isEmpty()) {
        QStringList drill;
        for (QChar c : letters) {
            const QChar home = keyChar(layout, homeKey(layout.codeOf(c)));
            drill << QString(home) + c + home << QString(c) + c;
        }
        lines += layOnce(drill);
    }
    Sequence seq{2718u};
    const QStringList pool =
        practiceWords(words, learntUpTo(layout, kDigitLesson - 1), QString(), seq, 60);
    QStringList tokens;
    qsizetype w = 0;
    const QString home = homeChars(layout);
    auto word = [&]() { return pool.isEmpty() ? home : pool[w++ % pool.size()]; };
    // Each mark at least twice, each time by another word, with a plain word between, until the
    // lesson has its lines.
    const qsizetype before = lines.size();
    for (int round = 0; round < 8; ++round) {
        if (round >= 2 && before + layOnce(tokens).size() >= kLines + 1)
            break;
        for (QChar mark : marks) {
            tokens << withMark(mark, word(), typeable);
            if (mark == u'(' || mark == u'[' || mark == u'{' || marks.size() < 12)
                tokens << word();
        }
        if (marks.isEmpty())
            tokens << word() << word() << word();
    }
    lines += layOnce(tokens);
    return lines.join(QStringLiteral("\r\n"));
}

QString positionsLesson(const KeyboardLayout& layout, const QString& heading,
                        std::span<const char* const> usLines) {
    QStringList lines{heading};
    for (const char* line : usLines) {
        const QString typed = onLayout(layout, line);
        if (!typed.isEmpty())
            lines << typed;
    }
    return lines.join(QStringLiteral("\r\n"));
}

// Whether a lesson stands where it should: a file of its own with something in it (a lesson
// cut short by a crash before it reached the disk is empty, and is built again).
bool lessonKept(const QString& path) {
    const QFileInfo info(path);
    return info.isFile() && !info.isSymLink() && info.size() > 0;
}

} // namespace

QStringList titles(const KeyboardLayout& layout) {
    if (layout.isUs())
        return KeyLessons::catalogue();
    QStringList titles = KeyLessons::catalogue();
    for (int lesson = kFirstKeyLesson; lesson < kDigitLesson; ++lesson) {
        const QList<int>& keys = newKeys()[lesson - kFirstKeyLesson];
        QStringList names;
        for (int code : keys)
            names << keyTitle(layout, code);
        const QString caption = lesson == kFirstKeyLesson ? names.mid(0, 4).join(QString()) + u' ' +
                                                                names.mid(4).join(QString())
                                                          : names.join(u' ');
        titles[lesson] = titles[lesson].left(titles[lesson].indexOf(u':') + 2) + caption;
    }
    return titles;
}

QStringList build(const KeyboardLayout& layout, const QStringList& words) {
    QStringList lessons;
    lessons << positionsLesson(layout, QStringLiteral("Keyboard layout: the home row"),
                               kLayoutLesson);
    lessons << positionsLesson(layout, QStringLiteral("One column of keys for each finger"),
                               kColumnsLesson);
    for (int lesson = kFirstKeyLesson; lesson < kDigitLesson; ++lesson)
        lessons << lettersLesson(layout, words, lesson);
    lessons << digitsLesson(layout, words);
    lessons << capitalsLesson(layout, words);
    lessons << punctuationLesson(layout, words);
    // A key that types nothing leaves a gap in a drill: the gaps close, and a line left empty
    // goes, since an empty practice line could never be finished. A lesson left without any
    // has the characters of the home row, or of any key, to type.
    QString fallback = homeChars(layout).remove(QChar());
    for (int code : KeyboardLayout::characterKeys()) {
        if (fallback.size() < 4 && !layout.typed(code, false).isNull())
            fallback += layout.typed(code, false);
    }
    for (QString& text : lessons) {
        QStringList lines = text.split(QStringLiteral("\r\n"));
        for (qsizetype i = lines.size() - 1; i >= 0; --i) {
            lines[i] = lines[i].remove(QChar()).simplified();
            if (lines[i].isEmpty() && i > 0)
                lines.removeAt(i);
        }
        if (lines.size() < 2)
            lines << fallback;
        text = lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
    }
    return lessons;
}

QStringList readWords(const ProgramFolder& folder) {
    QStringList words;
    QSet<QString> seen;
    for (int list = 1; list <= 12; ++list) {
        const QString text =
            StateFile::readText(folder.path(QStringLiteral("\\2\\Lesson %1.txt").arg(list)),
                                nullptr, StateFile::kListCap);
        const QStringList lines = StateFile::splitLines(text);
        for (qsizetype i = 1; i < lines.size(); ++i) {
            for (const QString& word : lines[i].split(u' ', Qt::SkipEmptyParts)) {
                if (word.size() <= 12 && !seen.contains(word)) {
                    seen.insert(word);
                    words << word;
                }
            }
        }
    }
    return words;
}

QString lessonFolder(const KeyboardLayout& layout) {
    return layout.isUs() ? QStringLiteral("\\1\\")
                         : QStringLiteral("\\1-") + layout.fileName() + u'\\';
}

QString stampResource(const KeyboardLayout& layout) {
    return lessonFolder(layout) + QStringLiteral("keys.txt");
}

Prepared prepare(const ProgramFolder& folder, const KeyboardLayout& layout) {
    if (layout.isUs())
        return Prepared::Shipped;
    const QString stamp = QStringLiteral("Key lessons %1 for %2: %3")
                              .arg(kVersion)
                              .arg(layout.name(), layout.signature());
    const QString stampPath = folder.path(stampResource(layout));
    const StateFile::ReadResult kept = StateFile::readBytes(stampPath, StateFile::kListCap);
    bool complete = kept.found() && KeyLessons::decode(kept.bytes).trimmed() == stamp;
    for (int i = 0; complete && i < KeyLessons::kLessons; ++i)
        complete = lessonKept(folder.path(lessonFolder(layout) + QString::number(i) + ".txt"));
    if (complete)
        return Prepared::Kept;

    // The folder is the folder's own entry: a link or a file there is taken away, not followed.
    const QString dir = QFileInfo(stampPath).absolutePath();
    const QFileInfo dirInfo(dir);
    if (dirInfo.isSymLink() || (dirInfo.exists() && !dirInfo.isDir()))
        QFile::remove(dir);
    if (!QDir().mkpath(dir) || QFileInfo(dir).isSymLink())
        return Prepared::Failed;
    const QStringList lessons = build(layout, readWords(folder));
    for (int i = 0; i < lessons.size(); ++i) {
        // UTF-8 with its mark: the layouts' letters are not all in GBK.
        const QByteArray bytes = "\xEF\xBB\xBF" + lessons[i].toUtf8();
        if (!StateFile::writeRegenerable(
                folder.path(lessonFolder(layout) + QString::number(i) + ".txt"), bytes))
            return Prepared::Failed;
    }
    // The stamp last: lessons only partly written are built again at the next look.
    if (!StateFile::writeRegenerable(stampPath, "\xEF\xBB\xBF" + stamp.toUtf8() + "\r\n"))
        return Prepared::Failed;
    return Prepared::Built;
}

} // namespace KeyLessonPlan
