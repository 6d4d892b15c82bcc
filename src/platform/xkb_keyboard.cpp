#include "platform/xkb_keyboard.h"

#include <QDateTime>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHash>
#include <QStringList>

#ifdef TUTOR_HAVE_XKB
#include <xcb/xcb.h>
// The XKB protocol header names a field `explicit`, a word C++ keeps for itself.
#define explicit explicit_
#include <xcb/xkb.h>
#undef explicit
#include <xkbcommon/xkbcommon.h>
#ifdef TUTOR_HAVE_XKBREGISTRY
#include <xkbcommon/xkbregistry.h>
#endif

#include <algorithm>
#include <memory>
#endif

namespace XkbKeyboard {

namespace {

// "us(dvorak)" -> layout "us", variant "dvorak".
std::pair<QString, QString> splitName(const QString& name) {
    const qsizetype open = name.indexOf(u'(');
    if (open < 0 || !name.endsWith(u')'))
        return {name.trimmed(), QString()};
    return {name.left(open).trimmed(), name.mid(open + 1, name.size() - open - 2).trimmed()};
}

// Names XKB could mean: letters, digits and a few marks, as xkeyboard-config spells them. Anything
// else (a path, blanks) is not passed on.
bool plausible(const QString& part) {
    if (part.size() > 64)
        return false;
    for (QChar c : part) {
        if (!(c.isLetterOrNumber() && c.unicode() < 0x80) && c != u'_' && c != u'-' && c != u'+')
            return false;
    }
    return true;
}

} // namespace

QString layoutOfRulesNames(const QByteArray& value, int group) {
    // rules, model, layout, variant, options: strings ended by NUL.
    const QList<QByteArray> fields = value.split('\0');
    if (fields.size() < 3)
        return QString();
    const QStringList layouts = QString::fromLatin1(fields[2]).split(u',');
    const QStringList variants =
        fields.size() > 3 ? QString::fromLatin1(fields[3]).split(u',') : QStringList();
    if (group < 0 || group >= layouts.size())
        group = 0;
    const QString layout = layouts[group].trimmed();
    const QString variant = variants.value(group).trimmed();
    if (layout.isEmpty())
        return QString();
    return variant.isEmpty() ? layout : layout + u'(' + variant + u')';
}

#ifdef TUTOR_HAVE_XKB

namespace {

// The main block of a keyboard by XKB's key names, each with the key of the keyboard table in
// its place.
struct NamedKey {
    const char* name;
    int code;
};
constexpr NamedKey kNamedKeys[] = {
    {"TLDE", 192}, {"AE01", 49},  {"AE02", 50},  {"AE03", 51},  {"AE04", 52},  {"AE05", 53},
    {"AE06", 54},  {"AE07", 55},  {"AE08", 56},  {"AE09", 57},  {"AE10", 48},  {"AE11", 189},
    {"AE12", 187}, {"AD01", 81},  {"AD02", 87},  {"AD03", 69},  {"AD04", 82},  {"AD05", 84},
    {"AD06", 89},  {"AD07", 85},  {"AD08", 73},  {"AD09", 79},  {"AD10", 80},  {"AD11", 219},
    {"AD12", 221}, {"BKSL", 220}, {"AC01", 65},  {"AC02", 83},  {"AC03", 68},  {"AC04", 70},
    {"AC05", 71},  {"AC06", 72},  {"AC07", 74},  {"AC08", 75},  {"AC09", 76},  {"AC10", 186},
    {"AC11", 222}, {"AB01", 90},  {"AB02", 88},  {"AB03", 67},  {"AB04", 86},  {"AB05", 66},
    {"AB06", 78},  {"AB07", 77},  {"AB08", 188}, {"AB09", 190}, {"AB10", 191},
};

// The mark a dead key shows on its cap.
QChar deadMark(xkb_keysym_t sym) {
    switch (sym) {
    case XKB_KEY_dead_grave:
        return u'`';
    case XKB_KEY_dead_acute:
        return QChar(0x00b4);
    case XKB_KEY_dead_circumflex:
        return u'^';
    case XKB_KEY_dead_tilde:
        return u'~';
    case XKB_KEY_dead_macron:
        return QChar(0x00af);
    case XKB_KEY_dead_breve:
        return QChar(0x02d8);
    case XKB_KEY_dead_abovedot:
        return QChar(0x02d9);
    case XKB_KEY_dead_diaeresis:
        return QChar(0x00a8);
    case XKB_KEY_dead_abovering:
        return QChar(0x02da);
    case XKB_KEY_dead_doubleacute:
        return QChar(0x02dd);
    case XKB_KEY_dead_caron:
        return QChar(0x02c7);
    case XKB_KEY_dead_cedilla:
        return QChar(0x00b8);
    case XKB_KEY_dead_ogonek:
        return QChar(0x02db);
    default:
        return QChar(0x25cc); // a dotted circle stands for any other mark
    }
}

bool isDead(xkb_keysym_t sym) {
    return sym >= XKB_KEY_dead_grave && sym <= XKB_KEY_dead_greek;
}

// A printable character of the Basic Multilingual Plane, or null.
QChar printable(uint32_t c) {
    if (c > 0xffff || !QChar(char16_t(c)).isPrint() || QChar(char16_t(c)).isSpace())
        return QChar();
    return QChar(char16_t(c));
}

KeyboardLayout::Level levelOf(xkb_state* state, xkb_keycode_t key) {
    const xkb_keysym_t sym = xkb_state_key_get_one_sym(state, key);
    if (isDead(sym))
        return {deadMark(sym), true};
    return {printable(xkb_state_key_get_utf32(state, key)), false};
}

struct ContextFree {
    void operator()(xkb_context* c) const { xkb_context_unref(c); }
};
struct KeymapFree {
    void operator()(xkb_keymap* k) const { xkb_keymap_unref(k); }
};
struct StateFree {
    void operator()(xkb_state* s) const { xkb_state_unref(s); }
};

// A keymap is some 70 KB; a compositor that sends far more is not sending a keymap.
constexpr qsizetype kMaxKeymapBytes = 4 * 1024 * 1024;
// XKB's own bound on the groups of a keymap.
constexpr xkb_layout_index_t kMaxGroups = 4;

QString xkbRoot() {
    const QString root = qEnvironmentVariable("XKB_CONFIG_ROOT");
    return root.isEmpty() ? QStringLiteral(TUTOR_XKB_BASE) : root;
}

} // namespace

bool available() {
    return true;
}

QString activeLayoutName() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* c = x11 ? x11->connection() : nullptr;
    if (!c || xcb_connection_has_error(c))
        return QString();
    static const char kAtom[] = "_XKB_RULES_NAMES";
    const xcb_intern_atom_cookie_t atomCookie = xcb_intern_atom(c, 1, sizeof kAtom - 1, kAtom);
    // The group is asked for at once; Qt has taken the XKB extension into use on its connection.
    const xcb_query_extension_reply_t* xkb = xcb_get_extension_data(c, &xcb_xkb_id);
    xcb_xkb_get_state_cookie_t stateCookie{};
    const bool askState = xkb && xkb->present;
    if (askState)
        stateCookie = xcb_xkb_get_state(c, XCB_XKB_ID_USE_CORE_KBD);
    std::unique_ptr<xcb_intern_atom_reply_t, decltype(&free)> atom(
        xcb_intern_atom_reply(c, atomCookie, nullptr), &free);
    int group = 0;
    if (askState) {
        std::unique_ptr<xcb_xkb_get_state_reply_t, decltype(&free)> state(
            xcb_xkb_get_state_reply(c, stateCookie, nullptr), &free);
        if (state)
            group = state->group;
    }
    if (!atom || atom->atom == XCB_ATOM_NONE)
        return QString();
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    if (!screen)
        return QString();
    std::unique_ptr<xcb_get_property_reply_t, decltype(&free)> property(
        xcb_get_property_reply(
            c, xcb_get_property(c, 0, screen->root, atom->atom, XCB_ATOM_STRING, 0, 1024), nullptr),
        &free);
    if (!property || property->format != 8)
        return QString();
    return layoutOfRulesNames(
        QByteArray(static_cast<const char*>(xcb_get_property_value(property.get())),
                   xcb_get_property_value_length(property.get())),
        group);
}

namespace {

// What each key of `keymap` types in its group `group`: the keys of the table alone and with
// Shift, the keys beside them, and AltGr's characters.
std::optional<KeyboardLayout> layoutOf(xkb_keymap* keymap, const QString& name,
                                       xkb_layout_index_t group) {
    const std::unique_ptr<xkb_state, StateFree> plain(xkb_state_new(keymap));
    const std::unique_ptr<xkb_state, StateFree> shifted(xkb_state_new(keymap));
    const xkb_mod_index_t shift = xkb_keymap_mod_get_index(keymap, XKB_MOD_NAME_SHIFT);
    if (!plain || !shifted || shift == XKB_MOD_INVALID)
        return std::nullopt;
    xkb_state_update_mask(plain.get(), 0, 0, 0, 0, 0, group);
    xkb_state_update_mask(shifted.get(), 1u << shift, 0, 0, 0, 0, group);

    KeyboardLayout result(name);
    for (const NamedKey& named : kNamedKeys) {
        const xkb_keycode_t key = xkb_keymap_key_by_name(keymap, named.name);
        if (key == XKB_KEYCODE_INVALID)
            continue;
        const KeyboardLayout::Key levels{levelOf(plain.get(), key), levelOf(shifted.get(), key)};
        result.setKey(named.code, levels);
        result.setScanCode(named.code, key);
    }
    if (!result.typesCharacters())
        return std::nullopt;

    // What the other keys type, and what every key types with AltGr (the third and fourth
    // levels), so that a character off the table can be told apart from one nowhere.
    struct Collect {
        xkb_state* plain;
        xkb_state* shifted;
        xkb_layout_index_t group;
        KeyboardLayout* layout;
    } collect{plain.get(), shifted.get(), group, &result};
    xkb_keymap_key_for_each(
        keymap,
        [](xkb_keymap* keymap, xkb_keycode_t key, void* data) {
            auto* into = static_cast<Collect*>(data);
            const char* keyName = xkb_keymap_key_get_name(keymap, key);
            const bool onTable =
                keyName && std::any_of(std::begin(kNamedKeys), std::end(kNamedKeys),
                                       [keyName](const NamedKey& named) {
                                           return qstrcmp(named.name, keyName) == 0;
                                       });
            if (!onTable && keyName && qstrcmp(keyName, "SPCE") != 0) {
                for (xkb_state* state : {into->plain, into->shifted}) {
                    const KeyboardLayout::Level level = levelOf(state, key);
                    if (!level.dead && !level.character.isNull())
                        into->layout->addOffTable(level.character);
                }
            }
            // A key with fewer groups than the keymap types its first group's characters.
            const xkb_layout_index_t group =
                into->group < xkb_keymap_num_layouts_for_key(keymap, key) ? into->group : 0;
            const xkb_level_index_t levels = xkb_keymap_num_levels_for_key(keymap, key, group);
            for (xkb_level_index_t level = 2; level < levels && level < 4; ++level) {
                const xkb_keysym_t* syms = nullptr;
                if (xkb_keymap_key_get_syms_by_level(keymap, key, group, level, &syms) == 1) {
                    const QChar c = printable(xkb_keysym_to_utf32(syms[0]));
                    if (!c.isNull())
                        into->layout->addAltGr(c);
                }
            }
        },
        &collect);
    return result;
}

std::unique_ptr<xkb_context, ContextFree> newContext() {
    std::unique_ptr<xkb_context, ContextFree> context(
        xkb_context_new(XKB_CONTEXT_NO_ENVIRONMENT_NAMES));
    if (context)
        xkb_context_set_log_level(context.get(), XKB_LOG_LEVEL_CRITICAL);
    return context;
}

} // namespace

std::optional<KeyboardLayout> compile(const QString& name) {
    const auto [layoutName, variantName] = splitName(name);
    if (layoutName.isEmpty() || !plausible(layoutName) || !plausible(variantName))
        return std::nullopt;
    const auto context = newContext();
    if (!context)
        return std::nullopt;
    const QByteArray layout = layoutName.toLatin1();
    const QByteArray variant = variantName.toLatin1();
    const xkb_rule_names names{"evdev", "pc105", layout.constData(), variant.constData(), ""};
    const std::unique_ptr<xkb_keymap, KeymapFree> keymap(
        xkb_keymap_new_from_names(context.get(), &names, XKB_KEYMAP_COMPILE_NO_FLAGS));
    if (!keymap || xkb_keymap_num_layouts(keymap.get()) < 1)
        return std::nullopt;
    return layoutOf(keymap.get(), name, 0);
}

QList<KeyboardLayout> compileKeymap(const QByteArray& text) {
    QList<KeyboardLayout> groups;
    const auto context = newContext();
    if (!context || text.isEmpty() || text.size() > kMaxKeymapBytes)
        return groups;
    const std::unique_ptr<xkb_keymap, KeymapFree> keymap(
        xkb_keymap_new_from_buffer(context.get(), text.constData(), size_t(text.size()),
                                   XKB_KEYMAP_FORMAT_TEXT_V1, XKB_KEYMAP_COMPILE_NO_FLAGS));
    if (!keymap)
        return groups;
    const xkb_layout_index_t count = std::min(xkb_keymap_num_layouts(keymap.get()), kMaxGroups);
    for (xkb_layout_index_t group = 0; group < count; ++group) {
        // A group is named by its description ("German"), which the registry turns back into
        // the layout's name ("de").
        const QString description =
            QString::fromUtf8(xkb_keymap_layout_get_name(keymap.get(), group));
        QString name = nameOfDescription(description);
        if (name.isEmpty())
            name = description.isEmpty() ? QStringLiteral("group%1").arg(group + 1) : description;
        std::optional<KeyboardLayout> layout = layoutOf(keymap.get(), name, group);
        if (!layout)
            break; // the groups keep their numbers: none after one that types nothing
        groups << *layout;
    }
    return groups;
}

QString sourceStamp(const QString& name) {
    const QString layout = splitName(name).first;
    if (!plausible(layout))
        return QString();
    const QFileInfo symbols(xkbRoot() + QStringLiteral("/symbols/") + layout);
    return QStringLiteral("%1 %2 %3")
        .arg(name, symbols.filePath())
        .arg(symbols.exists() ? symbols.lastModified().toSecsSinceEpoch() : 0);
}

#else

bool available() {
    return false;
}
QString activeLayoutName() {
    return QString();
}
std::optional<KeyboardLayout> compile(const QString&) {
    return std::nullopt;
}
QList<KeyboardLayout> compileKeymap(const QByteArray&) {
    return {};
}
QString sourceStamp(const QString& name) {
    return name;
}

#endif

// --- the names people know layouts by, from xkeyboard-config's registry ---

namespace {

struct Registry {
    QHash<QString, QString> descriptions; // "us(dvorak)" -> "English (Dvorak)"
    QHash<QString, QString> names;        // and back
};

const Registry& registry() {
    // Read once, on whichever thread asks first: some thousand entries, a few milliseconds.
    static const Registry read = [] {
        Registry r;
#ifdef TUTOR_HAVE_XKBREGISTRY
        rxkb_context* context = rxkb_context_new(RXKB_CONTEXT_NO_FLAGS);
        if (!context)
            return r;
        rxkb_context_set_log_level(context, RXKB_LOG_LEVEL_CRITICAL);
        if (rxkb_context_parse_default_ruleset(context)) {
            for (rxkb_layout* layout = rxkb_layout_first(context); layout;
                 layout = rxkb_layout_next(layout)) {
                const QString name = QString::fromUtf8(rxkb_layout_get_name(layout));
                const char* variant = rxkb_layout_get_variant(layout);
                const QString full =
                    variant && *variant ? name + u'(' + QString::fromUtf8(variant) + u')' : name;
                const QString description = QString::fromUtf8(rxkb_layout_get_description(layout));
                if (name.isEmpty() || description.isEmpty())
                    continue;
                r.descriptions.insert(full, description);
                if (!r.names.contains(description))
                    r.names.insert(description, full);
            }
        }
        rxkb_context_unref(context);
#endif
        return r;
    }();
    return read;
}

} // namespace

QString description(const QString& name) {
    const QString trimmed = name.trimmed();
    const QString found = registry().descriptions.value(trimmed);
    if (!found.isEmpty())
        return found;
    // "us(basic)" is the plain layout.
    const auto [layout, variant] = splitName(trimmed);
    return variant == u"basic" ? registry().descriptions.value(layout) : QString();
}

QString nameOfDescription(const QString& description) {
    return registry().names.value(description);
}

} // namespace XkbKeyboard
