// The keyboard layout kept in keyboard.txt, read back at start the way the program reads it,
// and the sixteen key lessons built for whatever layout it holds: every lesson has lines to
// type, and every character of them is typed by a key of that layout.

#include "fuzz_support.h"
#include "keys/model/key_lesson_plan.h"
#include "keys/model/key_lessons.h"
#include "platform/keyboard_choice.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString& dir = Fuzz::scratch();
    // The kept copy of a layout "xx" whose data have not changed since: its stamp line, then
    // the bytes as the layout.
    QByteArray kept = "source xx\n";
    kept.append(reinterpret_cast<const char*>(data), qsizetype(size));
    QFile file(dir + QStringLiteral("/keyboard.txt"));
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(kept);
    file.close();

    KeyboardChoice choice(ProgramFolder(dir),
                          {[] { return QStringLiteral("xx"); },
                           [](const QString&) { return std::optional<KeyboardLayout>(); },
                           [](const QString& name) { return name; }});
    choice.load();
    const KeyboardLayout& layout = choice.layout();
    if (layout.isUs())
        return 0;
    Fuzz::check(layout.name() == u"xx", "the layout kept is the one asked for");
    for (int code : KeyboardLayout::characterKeys()) {
        for (bool shift : {false, true}) {
            const QChar c = layout.typed(code, shift);
            Fuzz::check(c.isNull() || layout.codeOf(c) != 0, "a character typed has its key");
        }
    }
    static const QStringList words = {"a", "the", "of", "and", "salad", "Zoe", "x", "quiz"};
    const QStringList lessons = KeyLessonPlan::build(layout, words);
    Fuzz::check(lessons.size() == KeyLessons::kLessons, "sixteen lessons");
    for (const QString& text : lessons) {
        const KeyLessons::Lesson lesson = KeyLessons::parseLesson(text, QStringLiteral("x"));
        Fuzz::check(lesson.lineCount() > 0, "a lesson has a line to type");
        for (const QString& line : lesson.practiceLines) {
            for (QChar c : line)
                Fuzz::check(c == u' ' || layout.codeOf(c) != 0, "every character has a key");
        }
        // Written and read back as the Keys window reads it, the lesson is the same.
        const QByteArray bytes = "\xEF\xBB\xBF" + text.toUtf8();
        Fuzz::check(KeyLessons::decode(bytes) == text, "the lesson reads back as written");
    }
    return 0;
}
