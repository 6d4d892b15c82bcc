#pragma once

#include "core/keyboard_layout.h"
#include "core/program_folder.h"

#include <QList>
#include <QString>
#include <QStringList>

// A drill of the learner's weak keys: a Keys lesson of real words from the shipped word lists
// and articles, in which the weak keys and pairs come several times as often as in ordinary
// text, with common easy words between them. It is a lesson file like any other: a heading
// ("Drill: f g th") and practice lines.
namespace WeakKeyDrill {

constexpr int kLines = 10;
constexpr int kLineLength = 30;
// The file the drill is kept in, beside the state files.
inline const QString kResource = QStringLiteral("\\drill.txt");

// The words a drill is made of: every word of the lists and articles that a drill can use,
// lower case, the commonest first (the common-word lessons in their order, then the other
// lists, then the articles' words by how often they come). An article's word keeps a comma,
// full stop or other mark that follows it, so that punctuation keys have words too.
//
// Words of other languages come from lists of their own ("\2\words-de.txt": a caption line,
// then a word a line, UTF-8), so that a drill of "ö" on a German keyboard has real words with
// ö. Such a list serves a layout that types all its letters outside ASCII on its keys
// ("äöüß"), after the English words.
struct Vocabulary {
    struct Language {
        QString letters; // its letters outside ASCII
        QStringList words;
    };
    QStringList words;
    QStringList keys; // the keys of each word on a US keyboard (keysOf), in the same order
    QList<Language> languages;
    bool isEmpty() const { return words.isEmpty(); }
    // The words a drill on `layout` may use, the English ones first.
    QStringList wordsFor(const KeyboardLayout& layout) const;
};
// `lists` are the texts of word lists (a caption line, then a word or phrase a line),
// `articles` the texts of articles, `languages` the texts of other languages' lists.
Vocabulary parseVocabulary(const QStringList& lists, const QStringList& articles,
                           const QStringList& languages = {});
// The vocabulary of the word lists "\2\Lesson *.txt", the articles "\text\*.txt" and the
// other languages' lists "\2\words-*.txt" of the folder, read once and kept for the rest of
// the program.
const Vocabulary& vocabulary(const ProgramFolder& folder);

// What a drill practises: a key ("f") or a pair ("th") as the learner's layout names keys
// (KeyboardLayout::keyCharacter), and how weak it is (its share of the drill grows with it).
struct Target {
    QString gram;
    double weight = 1;
};

struct Drill {
    QString heading;
    QStringList lines;
    QList<Target> targets; // empty for the home-row drill
    // The lesson file's text: the heading and the lines, each ended by CR LF.
    QString text() const;
};

// A drill of `targets` on `layout`, the weakest first, of words the layout types. A target no
// word has is left out; without any left, the drill is the home row's.
Drill build(const QList<Target>& targets, const Vocabulary& words, quint32 seed,
            const KeyboardLayout& layout = KeyboardLayout::us());
// Words of the home row's letters of `layout`, for a learner whose weak keys are not known yet.
Drill homeRow(const Vocabulary& words, quint32 seed,
              const KeyboardLayout& layout = KeyboardLayout::us());

// The keys of a word as `layout` names them: "why?" is "why/" on a US keyboard and "whyß" on
// a German one. A character no key types stands for itself.
QString keysOf(const QString& word, const KeyboardLayout& layout = KeyboardLayout::us());

} // namespace WeakKeyDrill
