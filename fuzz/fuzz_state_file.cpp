// The one-line state files, read from disk the way every window reads them: the first field
// of the first line, and the Word and Article practice states parsed from it.

#include "articles/model/article_state.h"
#include "fuzz_support.h"
#include "core/state_file.h"
#include "words/model/word_lessons.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString path = Fuzz::scratch() + QStringLiteral("/sz1.txt");
    Fuzz::put(path, data, size);
    bool found = false;
    const QString field = StateFile::readFirstField(path, &found);
    Fuzz::check(found, "a regular file is found");
    Fuzz::check(field.size() <= StateFile::kStateCap, "the field is within the cap");
    const WordLessons::Sz1 state = WordLessons::Sz1::parse(field);
    Fuzz::check(state.wordIndex >= 1, "the word index starts at 1");
    Fuzz::check(WordLessons::isKnownLesson(state.lessonName), "the lesson is one of ours");
    // What is written back reads as the same state.
    Fuzz::check(WordLessons::Sz1::parse(state.format()) == state || state.wordIndex > 99999,
                "the state round-trips");
    const Articles::Sz2 sz2 = Articles::Sz2::parse(field);
    Fuzz::check(!sz2.articleTitle.trimmed().isEmpty() &&
                    sz2.articleTitle.size() <= Articles::kMaxTitleLength,
                "the article title is short and not blank");
    Fuzz::check(Articles::Sz2::parse(sz2.format()) == sz2, "sz2.txt round-trips");
    bool cut = false;
    const QString text = StateFile::readText(path, &found, 64, &cut);
    Fuzz::check(cut == (size > 64), "a longer file is cut");
    return 0;
}
