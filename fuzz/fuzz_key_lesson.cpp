// Key lessons and sz0.txt, read from disk the way the Keys practice window reads them: the
// first four bytes are the state file, the rest the lesson file. Then the lesson is typed
// with keys taken from the same bytes.

#include "fuzz_support.h"
#include "keys/model/key_lessons.h"
#include "keys/model/keys_exercise.h"
#include "keys/model/keys_state.h"
#include "core/keyboard_table.h"
#include "core/state_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString& dir = Fuzz::scratch();
    static const bool folders = [&] {
        QDir().mkpath(dir + QStringLiteral("/1"));
        // Every lesson index reads the same file.
        for (int i = 1; i < KeyLessons::kLessons; ++i)
            QFile::link(QStringLiteral("0.txt"), dir + QStringLiteral("/1/%1.txt").arg(i));
        return true;
    }();
    (void)folders;
    const size_t split = std::min<size_t>(size, 4);
    Fuzz::put(dir + QStringLiteral("/sz0.txt"), data, split);
    Fuzz::put(dir + QStringLiteral("/1/0.txt"), data + split, size - split);

    const Sz0 state = Sz0::parse(StateFile::readFirstField(dir + QStringLiteral("/sz0.txt")));
    Fuzz::check(state.lessonIndex >= 0 && state.lessonIndex < KeyLessons::kLessons,
                "the lesson is one of the sixteen");
    Fuzz::check(state.format().size() == 4, "sz0.txt is written as four characters");
    Fuzz::check(Sz0::parse(state.format()) == state, "the state round-trips");

    KeysExercise exercise{ProgramFolder(dir)};
    exercise.restore(state);
    Fuzz::check(exercise.lineCount() <= KeyLessons::kMaxCount &&
                    exercise.practiceCharCount() <= KeyLessons::kMaxCount,
                "the counters stay 16-bit");
    for (int k = 1; k <= exercise.lineCount(); ++k)
        Fuzz::check(!exercise.TextBoxGetLine(k).isEmpty(), "no practice line is empty");

    // Each byte a key; a byte equal to the character expected types it right.
    QString history;
    for (size_t i = split; i < size && i < split + 2000; ++i) {
        const QChar c{char16_t(data[i])};
        const int code = KeyboardTable::codeOf(c);
        exercise.keyDown(code, data[i]);
        history.prepend(c);
        exercise.textChanged(history);
        exercise.keyUp(code, data[i]);
        if (i % 7 == 0)
            exercise.clockTick();
        Fuzz::check(exercise.cursorPos() >= 1 && exercise.cursorPos() <= exercise.lineLength() + 1,
                    "the cursor stays on the line");
        Fuzz::check(exercise.wrongCount() <= exercise.typedCount(), "wrong keys are typed keys");
    }
    return 0;
}
