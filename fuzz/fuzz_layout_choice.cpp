// layout.txt, the keyboard layout the learner chose, read at start the way the program reads
// it and compiled from the system's layout data: whatever it holds, the layout shown is the one
// chosen or the US one, every character it types has its key, and a layout chosen and compiled
// is chosen again at the next start.

#include "fuzz_support.h"
#include "platform/keyboard_choice.h"
#include "platform/xkb_keyboard.h"

namespace {

KeyboardChoice::Source source() {
    return {[] { return QStringLiteral("us"); }, XkbKeyboard::compile, XkbKeyboard::sourceStamp};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The copy compiled before stays in keyboard.txt from one input to the next, as from one
    // start to the next.
    const QString dir = Fuzz::scratch() + QStringLiteral("/choice");
    QDir().mkpath(dir);
    Fuzz::put(dir + QStringLiteral("/layout.txt"), data, size);

    KeyboardChoice choice{ProgramFolder(dir), source()};
    choice.load();
    const KeyboardLayout layout = choice.layout();
    Fuzz::check(choice.choice().size() <= 64, "a choice is a name, not a text");
    Fuzz::check(layout.isUs() || layout.name() == choice.choice(),
                "the layout shown is the one chosen");
    for (int code : KeyboardLayout::characterKeys()) {
        for (bool shift : {false, true}) {
            const QChar c = layout.typed(code, shift);
            Fuzz::check(c.isNull() || layout.codeOf(c) != 0, "a character typed has its key");
        }
    }
    const QList<KeyboardChoice::Option> options = choice.options();
    Fuzz::check(choice.choice().isEmpty() || std::count_if(options.begin(), options.end(),
                                                           [&](const KeyboardChoice::Option& o) {
                                                               return o.name == choice.choice();
                                                           }) == 1,
                "the choice is offered once");

    if (!layout.isUs()) {
        const QString again = Fuzz::scratch() + QStringLiteral("/again");
        QDir(again).removeRecursively();
        QDir().mkpath(again);
        KeyboardChoice(ProgramFolder(again), source()).choose(choice.choice());
        KeyboardChoice next{ProgramFolder(again), source()};
        next.load();
        Fuzz::check(next.choice() == choice.choice(), "the choice is kept");
        Fuzz::check(next.layout().name() == layout.name() &&
                        next.layout().signature() == layout.signature(),
                    "the same layout comes back");
    }
    return 0;
}
