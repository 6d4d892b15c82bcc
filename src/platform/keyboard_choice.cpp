#include "platform/keyboard_choice.h"

#include "core/state_file.h"
#include "platform/xkb_keyboard.h"

#include <QCryptographicHash>
#include <QRegularExpression>
#include <system_error>

const QString KeyboardChoice::kChoiceFile = QStringLiteral("\\layout.txt");
const QString KeyboardChoice::kCacheFile = QStringLiteral("\\keyboard.txt");
const QString KeyboardChoice::kAutomatic = QStringLiteral("auto");

namespace {

constexpr qint64 kCacheCap = 64 * 1024;

// The layouts offered, with their names for a system without xkeyboard-config's registry.
const QList<KeyboardChoice::Option>& commonLayouts() {
    static const QList<KeyboardChoice::Option> layouts = {
        {QStringLiteral("us"), QStringLiteral("English (US)")},
        {QStringLiteral("us(dvorak)"), QStringLiteral("English (Dvorak)")},
        {QStringLiteral("us(colemak)"), QStringLiteral("English (Colemak)")},
        {QStringLiteral("gb"), QStringLiteral("English (UK)")},
        {QStringLiteral("de"), QStringLiteral("German")},
        {QStringLiteral("ch"), QStringLiteral("German (Switzerland)")},
        {QStringLiteral("fr"), QStringLiteral("French")},
        {QStringLiteral("be"), QStringLiteral("Belgian")},
        {QStringLiteral("es"), QStringLiteral("Spanish")},
        {QStringLiteral("it"), QStringLiteral("Italian")},
        {QStringLiteral("pt"), QStringLiteral("Portuguese")},
        {QStringLiteral("br"), QStringLiteral("Portuguese (Brazil)")},
        {QStringLiteral("se"), QStringLiteral("Swedish")},
        {QStringLiteral("pl"), QStringLiteral("Polish")},
    };
    return layouts;
}

bool isPlainUs(const QString& name) {
    return name == u"us" || name == u"us(basic)";
}

// The copy kept in keyboard.txt of a layout from a keymap is the copy of one of its groups.
QString groupStamp(const QString& stamp, int group) {
    return stamp.startsWith(u"keymap ") ? stamp + QStringLiteral(" group %1").arg(group) : stamp;
}

// The description a keymap gives its group (counted from 0): name[Group1]="German";
QString groupDescription(const QByteArray& keymap, int group) {
    static const QRegularExpression name(
        QStringLiteral("name\\[group(\\d+)\\]\\s*=\\s*\"([^\"]{1,100})\""),
        QRegularExpression::CaseInsensitiveOption);
    auto matches = name.globalMatch(QString::fromUtf8(keymap));
    while (matches.hasNext()) {
        const QRegularExpressionMatch match = matches.next();
        if (match.captured(1).toInt() == group + 1)
            return match.captured(2);
    }
    return QString();
}

} // namespace

KeyboardChoice::Source KeyboardChoice::Source::xkb() {
    return {XkbKeyboard::activeLayoutName, XkbKeyboard::compile, XkbKeyboard::sourceStamp,
            XkbKeyboard::compileKeymap, XkbKeyboard::description};
}

KeyboardChoice::KeyboardChoice(ProgramFolder folder, Source source)
    : m_folder(std::move(folder)), m_source(std::move(source)) {}

KeyboardChoice::~KeyboardChoice() {
    if (m_compiling.valid())
        m_compiling.wait();
}

namespace {

QString readChoice(const ProgramFolder& folder) {
    const QString kept =
        StateFile::readFirstField(folder.path(KeyboardChoice::kChoiceFile)).trimmed();
    return kept == KeyboardChoice::kAutomatic ? QString() : kept.left(64);
}

} // namespace

void KeyboardChoice::load() {
    finish();
    m_wayland = false;
    m_keymap.clear();
    m_systemName = m_source.activeName ? m_source.activeName() : QString();
    m_choice = readChoice(m_folder);
    startName(m_choice.isEmpty() ? m_systemName : m_choice);
}

void KeyboardChoice::load(const QByteArray& keymap) {
    finish();
    m_wayland = true;
    m_keymap = keymap;
    m_group = 0;
    m_systemName.clear();
    m_choice = readChoice(m_folder);
    if (!m_choice.isEmpty()) {
        startName(m_choice);
    } else if (!keymap.isEmpty()) {
        startKeymap(keymap, 0);
    } else {
        // Till the compositor tells, the layout of the last start is the likeliest.
        m_layout = kept(QString()).value_or(KeyboardLayout::us());
        if (!m_layout.isUs())
            m_systemName = m_layout.name();
    }
}

const KeyboardLayout& KeyboardChoice::layout() {
    finish();
    return m_layout;
}

const QString& KeyboardChoice::systemName() {
    finish();
    return m_systemName;
}

bool KeyboardChoice::choose(const QString& name) {
    finish();
    const QString choice = name == kAutomatic ? QString() : name.trimmed();
    if (choice != m_choice)
        StateFile::writeLine(m_folder.path(kChoiceFile), choice.isEmpty() ? kAutomatic : choice);
    m_choice = choice;
    return follow([this] {
        if (!m_choice.isEmpty())
            startName(m_choice);
        else if (!m_wayland)
            startName(m_systemName);
        else if (!m_keymap.isEmpty())
            startKeymap(m_keymap, m_group);
        else
            m_layout = kept(QString()).value_or(KeyboardLayout::us());
    });
}

void KeyboardChoice::systemChanged() {
    if (m_wayland)
        return;
    finish();
    const QString name = m_source.activeName ? m_source.activeName() : QString();
    if (name == m_systemName)
        return;
    m_systemName = name;
    if (m_choice.isEmpty())
        follow([this] { startName(m_systemName); });
    emit systemLayoutChanged();
}

void KeyboardChoice::keymapChanged(const QByteArray& keymap) {
    finish();
    if (keymap.isEmpty() || keymap == m_keymap)
        return;
    m_wayland = true;
    m_keymap = keymap;
    m_group = 0;
    if (m_choice.isEmpty())
        follow([this] { startKeymap(m_keymap, 0); });
    emit systemLayoutChanged();
}

void KeyboardChoice::groupChanged(int group) {
    finish();
    if (m_keymap.isEmpty() || group == m_group || group < 0 || group >= keymapGroups().size())
        return;
    m_group = group;
    if (m_choice.isEmpty())
        follow([this] { startKeymap(m_keymap, m_group); });
    emit systemLayoutChanged();
}

bool KeyboardChoice::keyTyped(quint32 scanCode, const QString& text) {
    if (m_keymap.isEmpty() || !m_choice.isEmpty() || text.size() != 1 || !text[0].isPrint() ||
        text[0].isSpace())
        return false;
    finish();
    const QChar c = text[0];
    // Whether a layout gives `c` on the key, alone or with Shift (Caps Lock turns a letter's
    // case round).
    auto gives = [&](const KeyboardLayout& layout) {
        const int code = layout.codeOfScanCode(scanCode);
        if (code == 0)
            return false;
        for (bool shift : {false, true}) {
            const QChar typed = layout.typed(code, shift);
            if (typed == c || (c.isLetter() && typed.toLower() == c.toLower()))
                return true;
        }
        return false;
    };
    // A key off the table, or AltGr's character, tells nothing.
    if (m_layout.codeOfScanCode(scanCode) == 0 || gives(m_layout))
        return false;
    const QList<KeyboardLayout>& groups = keymapGroups();
    for (int group = 0; group < groups.size(); ++group) {
        if (group != m_group && gives(groups[group])) {
            groupChanged(group);
            return true;
        }
    }
    return false;
}

// The copy kept in keyboard.txt serves while the layout data it was compiled from stay the
// same.
std::optional<KeyboardLayout> KeyboardChoice::kept(const QString& stamp) const {
    const StateFile::ReadResult cached = StateFile::readBytes(m_folder.path(kCacheFile), kCacheCap);
    if (cached.status != StateFile::ReadStatus::Complete)
        return std::nullopt;
    const QString text = QString::fromUtf8(cached.bytes);
    if (!stamp.isEmpty() && text.section(u'\n', 0, 0) != stamp)
        return std::nullopt;
    return KeyboardLayout::fromText(text.section(u'\n', 1));
}

// The US layout needs no reading; any other comes from a copy compiled before, its kept copy,
// or is compiled (about as long as all the rest of the first window's reading together, so
// not in its way).
void KeyboardChoice::startName(const QString& name) {
    m_layout = KeyboardLayout::us();
    if (name.isEmpty() || isPlainUs(name) || !m_source.compile)
        return;
    const QString stamp =
        QStringLiteral("source ") + (m_source.stamp ? m_source.stamp(name) : name);
    if (const auto it = m_compiled.constFind(stamp); it != m_compiled.constEnd()) {
        take(it->groups.front(), stamp);
        return;
    }
    if (std::optional<KeyboardLayout> layout = kept(stamp)) {
        m_layout = *layout;
        m_keptStamp = stamp;
        m_compiled.insert(stamp, {{*layout}});
        return;
    }
    startCompiling(
        stamp,
        [compile = m_source.compile, name] {
            const std::optional<KeyboardLayout> layout = compile(name);
            return layout ? QList<KeyboardLayout>{*layout} : QList<KeyboardLayout>{};
        },
        0);
}

void KeyboardChoice::startKeymap(const QByteArray& keymap, int group) {
    m_layout = KeyboardLayout::us();
    const QString stamp = keymapStamp();
    if (const auto it = m_compiled.constFind(stamp); it != m_compiled.constEnd()) {
        if (it->groups.isEmpty())
            return; // no keymap to be compiled: the US keys
        const KeyboardLayout& layout = it->groups.value(group, it->groups.front());
        take(layout, groupStamp(stamp, group));
        m_systemName = layout.name();
        return;
    }
    // The kept copy is of one group: the others are compiled when a key tells one is in use.
    if (std::optional<KeyboardLayout> layout = kept(groupStamp(stamp, group))) {
        m_layout = *layout;
        m_keptStamp = groupStamp(stamp, group);
        m_systemName = layout->name();
        return;
    }
    if (!m_source.compileKeymap)
        return;
    startCompiling(
        stamp, [compile = m_source.compileKeymap, keymap] { return compile(keymap); }, group);
    m_compilingSystem = true;
}

void KeyboardChoice::startCompiling(const QString& stamp,
                                    std::function<QList<KeyboardLayout>()> compile, int group) {
    m_compilingStamp = stamp;
    m_compilingGroup = group;
    m_compilingSystem = false;
    try {
        m_compiling = std::async(std::launch::async, std::move(compile));
    } catch (const std::system_error&) { // no thread to be had: compiled when it is wanted
        m_compiling = std::async(std::launch::deferred, std::move(compile));
    }
}

// The layout in use from here on, with its copy in keyboard.txt for the next start.
void KeyboardChoice::take(const KeyboardLayout& layout, const QString& stamp) {
    m_layout = layout;
    if (stamp == m_keptStamp)
        return;
    m_keptStamp = stamp;
    StateFile::writeRegenerable(m_folder.path(kCacheFile),
                                (stamp + u'\n' + layout.toText()).toUtf8());
}

void KeyboardChoice::finish() {
    if (!m_compiling.valid())
        return;
    const QList<KeyboardLayout> groups = m_compiling.get();
    if (groups.isEmpty())
        return; // a name XKB does not know, or no keymap: the US keys
    m_compiled.insert(m_compilingStamp, {groups});
    const int group = m_compilingGroup < groups.size() ? m_compilingGroup : 0;
    take(groups[group], groupStamp(m_compilingStamp, group));
    if (m_compilingSystem)
        m_systemName = groups[group].name();
}

bool KeyboardChoice::follow(const std::function<void()>& read) {
    const KeyboardLayout before = m_layout;
    read();
    finish();
    const bool changed =
        m_layout.signature() != before.signature() || m_layout.name() != before.name();
    if (changed)
        emit layoutChanged();
    return changed;
}

QString KeyboardChoice::keymapStamp() const {
    return QStringLiteral("keymap ") +
           QString::fromLatin1(
               QCryptographicHash::hash(m_keymap, QCryptographicHash::Sha1).toHex());
}

const QList<KeyboardLayout>& KeyboardChoice::keymapGroups() {
    // Compiled once for each keymap: where the first group came from keyboard.txt, or the
    // keymap was no keymap, at the first call.
    const QString stamp = keymapStamp();
    auto it = m_compiled.find(stamp);
    if (it == m_compiled.end()) {
        it = m_compiled.insert(stamp, {m_source.compileKeymap ? m_source.compileKeymap(m_keymap)
                                                              : QList<KeyboardLayout>{}});
    }
    return it->groups;
}

// The registry's name of a layout, else the program's own for the common ones, else its XKB
// name.
QString KeyboardChoice::described(const QString& name) const {
    const QString description = m_source.describe ? m_source.describe(name) : QString();
    if (!description.isEmpty())
        return description;
    for (const Option& option : commonLayouts()) {
        if (option.name == name)
            return option.caption;
    }
    return name;
}

QString KeyboardChoice::systemCaption() {
    if (m_wayland && !m_keymap.isEmpty()) {
        const QString description = groupDescription(m_keymap, m_group);
        if (!description.isEmpty())
            return description;
    }
    return described(systemName().isEmpty() ? QStringLiteral("us") : systemName());
}

QString KeyboardChoice::automaticCaption() {
    return QStringLiteral("Automatic: ") + systemCaption();
}

QString KeyboardChoice::layoutCaption() {
    return m_choice.isEmpty() ? systemCaption() : described(m_choice);
}

QList<KeyboardChoice::Option> KeyboardChoice::options() const {
    QList<Option> options;
    bool listed = m_choice.isEmpty();
    for (const Option& option : commonLayouts()) {
        options.append({option.name, described(option.name)});
        listed = listed || option.name == m_choice;
    }
    if (!listed)
        options.append({m_choice, described(m_choice)});
    return options;
}
