#pragma once

#include <QByteArray>
#include <cstdlib>
#include <xkbcommon/xkbcommon.h>

// A keymap in XKB's text form as a Wayland compositor hands it to its clients, compiled from
// xkeyboard-config's names: keymapText("de,us", ","). Empty for names XKB does not know.
inline QByteArray keymapText(const char* layouts, const char* variants) {
    xkb_context* context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    const xkb_rule_names names{"evdev", "pc105", layouts, variants, ""};
    xkb_keymap* keymap =
        context ? xkb_keymap_new_from_names(context, &names, XKB_KEYMAP_COMPILE_NO_FLAGS) : nullptr;
    char* text = keymap ? xkb_keymap_get_as_string(keymap, XKB_KEYMAP_FORMAT_TEXT_V1) : nullptr;
    const QByteArray out(text ? text : "");
    free(text);
    xkb_keymap_unref(keymap);
    xkb_context_unref(context);
    return out;
}
