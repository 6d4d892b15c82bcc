#include "keys/model/weak_key_drill.h"

#include "core/state_file.h"
#include "keys/model/key_lessons.h"

#include <QDir>
#include <QRandomGenerator>

#include <algorithm>
#include <functional>
#include <map>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace WeakKeyDrill {

namespace {

constexpr int kMaxWordLength = 12;
constexpr int kCandidates = 60; // the commonest words of each target a drill picks from
constexpr int kShortWord = 7;
constexpr int kFillers = 120;
constexpr int kMaxFiller = 5;
constexpr int kMaxFiles = 100; // of each kind: a folder full of files costs no more
// The home row's keys, from the left little finger's to the right little finger's.
constexpr int kHomeKeys[] = {65, 83, 68, 70, 71, 72, 74, 75, 76, 186};
const QString kMarks = QStringLiteral(",.;:?!");

bool isWordCharacter(QChar c) {
    return (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9');
}

// A word a drill may use, as the text has it: lower-case letters and digits, an apostrophe
// or hyphen inside, and at most one mark after it (when `marks`). Quotes and brackets around
// it are left off; anything else (capitals, characters no key types) gives an empty view.
QStringView usableWord(QStringView token, bool marks) {
    auto quote = [](QChar c) { return c == u'"' || c == u'\'' || c == u'(' || c == u')'; };
    while (!token.isEmpty() && quote(token.front()))
        token = token.mid(1);
    while (!token.isEmpty() && quote(token.back()))
        token.chop(1);
    QStringView body = token;
    if (marks && !body.isEmpty() && kMarks.contains(body.back()))
        body.chop(1);
    if (body.isEmpty() || body.size() > kMaxWordLength || !isWordCharacter(body.front()) ||
        !isWordCharacter(body.back()))
        return {};
    for (qsizetype i = 0; i < body.size(); ++i) {
        const QChar c = body[i];
        if (isWordCharacter(c))
            continue;
        // An apostrophe or hyphen, between two letters or digits.
        if ((c != u'\'' && c != u'-') || !isWordCharacter(body[i + 1]))
            return {};
    }
    return token;
}

// Numbers in the order of their digits: "Lesson 2.txt" before "Lesson 10.txt". The lists of
// other languages are UTF-8, marked as such; the rest is GBK.
QStringList filesIn(const QString& folder, const QString& pattern) {
    QStringList names = QDir(folder).entryList({pattern}, QDir::Files | QDir::Readable);
    std::stable_sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        return a.size() != b.size() ? a.size() < b.size() : a < b;
    });
    names = names.mid(0, kMaxFiles);
    QStringList texts;
    for (const QString& name : names) {
        const StateFile::ReadResult read =
            StateFile::readBytes(QDir(folder).filePath(name), StateFile::kListCap);
        if (read.found())
            texts << KeyLessons::decode(read.bytes);
    }
    return texts;
}

// A word of another language's list: lower-case letters, an apostrophe or hyphen inside.
bool languageWord(const QString& word) {
    if (word.isEmpty() || word.size() > kMaxWordLength || !word.front().isLower() ||
        !word.back().isLower())
        return false;
    return std::all_of(word.begin(), word.end(),
                       [](QChar c) { return c.isLower() || c == u'\'' || c == u'-'; });
}

// Every character of the word on a key of the layout, alone or with Shift.
bool typeable(const QString& word, const KeyboardLayout& layout) {
    return std::all_of(word.begin(), word.end(), [&](QChar c) { return layout.codeOf(c) != 0; });
}

// Picks from the front of a list more often: the commoner words come first.
// Never the word just before it, when there is another.
const QString& pickCommon(const QStringList& words, QRandomGenerator& random,
                          const QString& avoid) {
    const QString* word = &words.front();
    for (int attempt = 0; attempt < 4; ++attempt) {
        const double u = random.generateDouble();
        word = &words[qsizetype(u * u * words.size())];
        if (*word != avoid)
            break;
    }
    return *word;
}

// Lays the words out in lines of at most kLineLength characters, kLines of them.
QStringList layOut(const std::function<QString(const QString& last)>& nextWord) {
    QStringList lines;
    QString line;
    QString last;
    // Enough words for the lines whatever their length, and never an endless loop.
    for (int n = 0; n < kLines * kLineLength && lines.size() < kLines; ++n) {
        const QString word = nextWord(last);
        if (word.isEmpty() || word.size() > kLineLength)
            continue;
        if (!line.isEmpty() && line.size() + 1 + word.size() > kLineLength) {
            lines << line;
            line.clear();
        }
        if (lines.size() < kLines)
            line += (line.isEmpty() ? QString() : QStringLiteral(" ")) + word;
        last = word;
    }
    if (!line.isEmpty() && lines.size() < kLines)
        lines << line;
    return lines;
}

} // namespace

QString keysOf(const QString& word, const KeyboardLayout& layout) {
    QString keys = word;
    for (QChar& c : keys) {
        const QChar key = layout.keyCharacter(c);
        c = key.isNull() ? c : key;
    }
    return keys;
}

QStringList Vocabulary::wordsFor(const KeyboardLayout& layout) const {
    QStringList all = words;
    for (const Language& language : languages) {
        if (std::all_of(language.letters.begin(), language.letters.end(),
                        [&](QChar c) { return layout.codeOf(c) != 0; }))
            all += language.words;
    }
    return all;
}

Vocabulary parseVocabulary(const QStringList& lists, const QStringList& articles,
                           const QStringList& languages) {
    // Words are looked at in place, as views into the texts, which live till the end; only
    // the words kept are copied.
    using View = std::u16string_view;
    auto view = [](QStringView word) { return View(word.utf16(), size_t(word.size())); };
    Vocabulary vocabulary;
    std::unordered_set<View> seen;
    seen.reserve(16384);
    auto add = [&](QStringView word) {
        if (!word.isEmpty() && seen.insert(view(word)).second)
            vocabulary.words << word.toString();
    };
    std::vector<QStringList> listLines;
    listLines.reserve(size_t(lists.size()));
    for (const QString& list : lists) {
        listLines.push_back(StateFile::splitLines(list, {.maxLines = 20000}));
        const QStringList& lines = listLines.back();
        for (qsizetype i = 1; i < lines.size(); ++i) {
            for (QStringView token : QStringView(lines[i]).tokenize(u' ', Qt::SkipEmptyParts))
                add(usableWord(token, false));
        }
    }
    // The articles' words by how often they come, the first seen first among equals.
    std::unordered_map<View, size_t> index;
    index.reserve(16384);
    struct Counted {
        QStringView word;
        int count;
    };
    std::vector<Counted> counted;
    std::vector<QString> texts;
    texts.reserve(size_t(articles.size()));
    for (const QString& article : articles) {
        texts.push_back(article.simplified());
        for (QStringView token : QStringView(texts.back()).tokenize(u' ', Qt::SkipEmptyParts)) {
            const QStringView word = usableWord(token, true);
            if (word.isEmpty())
                continue;
            const auto [at, added] = index.try_emplace(view(word), counted.size());
            if (added)
                counted.push_back({word, 0});
            ++counted[at->second].count;
        }
    }
    std::stable_sort(counted.begin(), counted.end(),
                     [](const Counted& a, const Counted& b) { return a.count > b.count; });
    for (const Counted& word : counted)
        add(word.word);
    vocabulary.keys.reserve(vocabulary.words.size());
    for (const QString& word : std::as_const(vocabulary.words))
        vocabulary.keys << keysOf(word);
    for (const QString& text : languages) {
        Vocabulary::Language language;
        const QStringList lines = StateFile::splitLines(text, {.maxLines = 20000});
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const QString word = lines[i].trimmed();
            if (!languageWord(word) || seen.count(view(word)))
                continue;
            language.words << word;
            for (QChar c : word) {
                if (c.unicode() >= 0x80 && !language.letters.contains(c))
                    language.letters += c;
            }
        }
        if (!language.words.isEmpty())
            vocabulary.languages << language;
    }
    return vocabulary;
}

const Vocabulary& vocabulary(const ProgramFolder& folder) {
    static std::map<QString, Vocabulary> read;
    const auto it = read.find(folder.dir());
    if (it != read.end())
        return it->second;
    const QString lists = folder.path(QStringLiteral("\\2"));
    const Vocabulary words =
        parseVocabulary(filesIn(lists, QStringLiteral("Lesson *.txt")),
                        filesIn(folder.path(QStringLiteral("\\text")), QStringLiteral("*.txt")),
                        filesIn(lists, QStringLiteral("words-*.txt")));
    return read.emplace(folder.dir(), words).first->second;
}

QString Drill::text() const {
    QString text = heading + QStringLiteral("\r\n");
    for (const QString& line : lines)
        text += line + QStringLiteral("\r\n");
    return text;
}

Drill build(const QList<Target>& targets, const Vocabulary& vocabulary, quint32 seed,
            const KeyboardLayout& layout) {
    // The words and their keys on this layout; the US keys are known already.
    const QStringList words = vocabulary.wordsFor(layout);
    auto keysAt = [&](qsizetype i) {
        return layout.isUs() && i < vocabulary.keys.size() ? vocabulary.keys[i]
                                                           : keysOf(words[i], layout);
    };
    // Each target's commonest short words; a target without any is left out.
    QList<Target> kept;
    QList<QStringList> candidates;
    for (const Target& target : targets) {
        if (target.gram.isEmpty() || target.weight <= 0)
            continue;
        // Short words first: they bring the target more often for the same length of text.
        QStringList found, longer;
        for (qsizetype i = 0; i < words.size(); ++i) {
            if (!keysAt(i).contains(target.gram) || !typeable(words[i], layout))
                continue;
            const QString& word = words[i];
            (word.size() <= kShortWord ? found : longer) << word;
            if (found.size() == kCandidates)
                break;
        }
        found += longer.mid(0, kCandidates - found.size());
        if (!found.isEmpty()) {
            kept << target;
            candidates << found;
        }
    }
    if (kept.isEmpty())
        return homeRow(vocabulary, seed, layout);

    // Easy words between them: short, common, without any target.
    QStringList fillers;
    for (qsizetype i = 0; i < words.size(); ++i) {
        const QString& word = words[i];
        if (word.size() < 2 || word.size() > kMaxFiller ||
            !std::all_of(word.begin(), word.end(),
                         [](QChar c) { return c >= u'a' && c <= u'z'; }) ||
            !typeable(word, layout))
            continue;
        const QString keys = keysAt(i);
        if (std::none_of(kept.begin(), kept.end(),
                         [&keys](const Target& t) { return keys.contains(t.gram); })) {
            fillers << word;
            if (fillers.size() == kFillers)
                break;
        }
    }

    double total = 0;
    for (const Target& target : kept)
        total += target.weight;
    QRandomGenerator random(seed);
    int slot = 0;
    const QStringList lines = layOut([&](const QString& last) {
        // Two words of weak keys, then an easy one.
        const bool filler = slot++ % 3 == 2 && !fillers.isEmpty();
        if (filler)
            return pickCommon(fillers, random, last);
        double at = random.generateDouble() * total;
        qsizetype i = 0;
        while (i + 1 < kept.size() && at >= kept[i].weight) {
            at -= kept[i].weight;
            ++i;
        }
        return pickCommon(candidates[i], random, last);
    });

    Drill drill;
    QStringList names;
    for (const Target& target : kept)
        names << target.gram;
    drill.heading = QStringLiteral("Drill: ") + names.join(u' ');
    drill.lines = lines;
    drill.targets = kept;
    return drill;
}

Drill homeRow(const Vocabulary& vocabulary, quint32 seed, const KeyboardLayout& layout) {
    QString row; // what the home row's keys type alone: "asdfghjkl;" on a US keyboard
    for (int code : kHomeKeys)
        row += layout.typed(code, false);
    row.remove(QChar());
    QString letters = row; // the words are of its letters
    letters.removeIf([](QChar c) { return !c.isLetter(); });
    QStringList homeWords;
    for (const QString& word : vocabulary.wordsFor(layout)) {
        if (word.size() >= 2 &&
            std::all_of(word.begin(), word.end(), [&](QChar c) { return letters.contains(c); })) {
            homeWords << word;
            if (homeWords.size() == kCandidates)
                break;
        }
    }
    // Without words (a folder without lists), the keys themselves: "asdf", "jkl;", "fdsa" ...
    if (homeWords.size() < 5) {
        const QString left = row.left(4), right = row.mid(6, 4);
        QString leftBack = left, rightBack = right;
        std::reverse(leftBack.begin(), leftBack.end());
        std::reverse(rightBack.begin(), rightBack.end());
        homeWords = QStringList{left, right, leftBack, rightBack};
        for (int i = 0; i < 4; ++i)
            homeWords << QString(left.at(3 - i)) + right.at(i);
        homeWords << row.mid(4, 2);
        homeWords.removeAll(QString());
    }
    QRandomGenerator random(seed);
    Drill drill;
    drill.heading = QStringLiteral("Drill: home row");
    drill.lines = layOut([&](const QString& last) { return pickCommon(homeWords, random, last); });
    return drill;
}

} // namespace WeakKeyDrill
