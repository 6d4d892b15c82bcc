#pragma once

#include "core/keyboard_layout.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

// Keyboard layouts as XKB knows them: the one the X server uses now, and any layout of
// xkeyboard-config compiled with libxkbcommon. Names are XKB's: "de", "us(dvorak)".
namespace XkbKeyboard {

// Whether the program was built with libxkbcommon; without it nothing here finds a layout.
bool available();

// The layout of the X server's active group, from its _XKB_RULES_NAMES property: "de",
// "us(dvorak)". Empty without an X11 connection or the property.
QString activeLayoutName();

// The layout of `group` in the value of an _XKB_RULES_NAMES property (rules, model, layouts,
// variants and options, each ended by NUL; layouts and variants listed by group, split by
// commas), or of the first group when there is no such group. Empty when it names none.
QString layoutOfRulesNames(const QByteArray& value, int group);

// The layout `name` compiled from xkeyboard-config: for each key of the keyboard table the
// characters it types alone and with Shift, and its X key code. Nothing for a name XKB does not
// know.
std::optional<KeyboardLayout> compile(const QString& name);

// The layouts of a keymap in XKB's text form, as a Wayland compositor hands it to its clients:
// one for each group, in the order of the groups, each named by xkeyboard-config's name where
// the registry knows the group's description ("de" for "German"). Empty for text that is no
// keymap.
QList<KeyboardLayout> compileKeymap(const QByteArray& text);

// The name people know a layout by, from xkeyboard-config's registry (libxkbregistry):
// "German" for "de", "English (Dvorak)" for "us(dvorak)"; empty for a name it does not know.
// The registry is read at the first call.
QString description(const QString& name);
// The layout of a description: "de" for "German"; empty when the registry has none.
QString nameOfDescription(const QString& description);

// What tells a compiled copy of `name` is still good: the name and the time of the
// xkeyboard-config symbols file it comes from.
QString sourceStamp(const QString& name);

} // namespace XkbKeyboard
