// The Word practice exercise driven by random keystrokes, clicks and timer ticks. The input
// is a word list, a zero byte, then one byte per action.

#include "fuzz_support.h"
#include "core/key_codes.h"
#include "core/text_codec.h"
#include "words/model/word_exercise.h"
#include "words/model/word_lessons.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const qsizetype split = bytes.indexOf('\0');
    if (split < 1)
        return 0;
    const QStringList lines = WordLessons::splitList(decodeGbk(bytes.left(split)));
    const QByteArray actions = bytes.mid(split + 1);
    WordExercise e;
    e.loadList({QStringLiteral("Lesson 1"), 1 + uint8_t(bytes[0]) % 8, lines});
    static const int kKeys[] = {KeyCode::Backspace, KeyCode::Enter, KeyCode::Space, KeyCode::Left,
                                KeyCode::Right};
    for (qsizetype i = 0; i < actions.size(); ++i) {
        const uint8_t a = uint8_t(actions[i]);
        switch (a % 12) {
        case 0:
        case 1:
        case 2: { // a character, typed the way the window feeds it
            const QChar c = QChar(u' ' + (a / 12) % 95);
            e.keyDown(c.toUpper().unicode());
            if (!(c == u' ' && e.keyPress(KeyCode::Space)))
                e.textChanged(e.typedText() + c);
            break;
        }
        case 3: // Backspace
            e.keyDown(KeyCode::Backspace);
            e.textChanged(e.typedText().chopped(e.typedText().isEmpty() ? 0 : 1));
            break;
        case 4: {
            const int key = kKeys[(a / 12) % 5];
            e.keyDown(key);
            e.keyPress(key);
            break;
        }
        case 5:
            e.stepPrevious();
            break;
        case 6:
            e.stepNext();
            break;
        case 7:
            e.restart();
            break;
        case 8:
            e.clickInput();
            break;
        case 9:
            e.clockTick();
            break;
        case 10:
            e.idleTick();
            break;
        default:
            e.setKeyedTips(a & 0x80);
            e.messageTimeout();
            break;
        }
        Fuzz::check(e.wordIndex() >= 1, "the word index starts at 1");
        Fuzz::check(e.correctCount() >= 0 && e.wrongCount() >= 0, "counts never go negative");
        (void)e.hintKey();
    }
    return 0;
}
