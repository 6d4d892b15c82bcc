// The X server's _XKB_RULES_NAMES property, as the program reads the layout of the active group
// from it, and that layout compiled: whatever the property holds, the name is the group's
// layout and variant or nothing, and what XKB makes of it is that layout or nothing.

#include "fuzz_support.h"
#include "platform/xkb_keyboard.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    // The first byte is the active group, as the server's state gives it.
    const int group = data[0];
    const QByteArray value(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    const QString name = XkbKeyboard::layoutOfRulesNames(value, group);
    Fuzz::check(name.size() <= value.size() + 2, "the name comes from the property");
    Fuzz::check(!name.contains(u'\0') && !name.contains(u','), "one group's layout");
    Fuzz::check(name.isEmpty() || (!name.startsWith(u' ') && !name.endsWith(u' ')),
                "the name is trimmed");
    if (name.isEmpty())
        return 0;
    const std::optional<KeyboardLayout> layout = XkbKeyboard::compile(name);
    Fuzz::check(!layout || (layout->name() == name && layout->typesCharacters()),
                "what XKB compiles is the layout named");
    XkbKeyboard::sourceStamp(name);
    return 0;
}
