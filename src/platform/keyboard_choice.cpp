#include "platform/keyboard_choice.h"

#include "core/state_file.h"
#include "platform/xkb_keyboard.h"

const QString KeyboardChoice::kChoiceFile = QStringLiteral("\\layout.txt");
const QString KeyboardChoice::kCacheFile = QStringLiteral("\\keyboard.txt");
const QString KeyboardChoice::kAutomatic = QStringLiteral("auto");

namespace {

constexpr qint64 kCacheCap = 64 * 1024;

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

} // namespace

KeyboardChoice::Source KeyboardChoice::Source::xkb() {
    return {XkbKeyboard::activeLayoutName, XkbKeyboard::compile, XkbKeyboard::sourceStamp};
}

KeyboardChoice::KeyboardChoice(ProgramFolder folder, Source source)
    : m_folder(std::move(folder)), m_source(std::move(source)) {}

void KeyboardChoice::load() {
    m_systemName = m_source.activeName ? m_source.activeName() : QString();
    const QString kept = StateFile::readFirstField(m_folder.path(kChoiceFile)).trimmed();
    m_choice = kept == kAutomatic ? QString() : kept.left(64);
    m_layout = read(m_choice.isEmpty() ? m_systemName : m_choice);
}

bool KeyboardChoice::choose(const QString& name) {
    const QString choice = name == kAutomatic ? QString() : name.trimmed();
    if (choice != m_choice)
        StateFile::writeLine(m_folder.path(kChoiceFile), choice.isEmpty() ? kAutomatic : choice);
    m_choice = choice;
    const KeyboardLayout before = m_layout;
    m_layout = read(m_choice.isEmpty() ? m_systemName : m_choice);
    return m_layout.signature() != before.signature() || m_layout.name() != before.name();
}

// The US layout needs no reading; any other comes from the copy kept in keyboard.txt while the
// layout data it was compiled from stay the same, else it is compiled and kept.
KeyboardLayout KeyboardChoice::read(const QString& name) const {
    if (name.isEmpty() || isPlainUs(name) || !m_source.compile)
        return KeyboardLayout::us();
    const QString stamp = QStringLiteral("source ") + (m_source.stamp ? m_source.stamp(name) : name);
    const QString cachePath = m_folder.path(kCacheFile);
    const StateFile::ReadResult cached = StateFile::readBytes(cachePath, kCacheCap);
    if (cached.status == StateFile::ReadStatus::Complete) {
        const QString text = QString::fromUtf8(cached.bytes);
        if (text.section(u'\n', 0, 0) == stamp) {
            if (auto layout = KeyboardLayout::fromText(text.section(u'\n', 1));
                layout && layout->name() == name)
                return *layout;
        }
    }
    const std::optional<KeyboardLayout> compiled = m_source.compile(name);
    if (!compiled)
        return KeyboardLayout::us();
    StateFile::writeBytes(cachePath, (stamp + u'\n' + compiled->toText()).toUtf8(), false);
    return *compiled;
}

QString KeyboardChoice::automaticCaption() const {
    return QStringLiteral("Keyboard: automatic (%1)")
        .arg(m_systemName.isEmpty() ? QStringLiteral("us") : m_systemName);
}

QList<KeyboardChoice::Option> KeyboardChoice::options() const {
    QList<Option> options;
    bool listed = m_choice.isEmpty();
    for (const Option& option : commonLayouts()) {
        options.append({option.name, QStringLiteral("Keyboard: %1").arg(option.caption)});
        listed = listed || option.name == m_choice;
    }
    if (!listed)
        options.append({m_choice, QStringLiteral("Keyboard: %1").arg(m_choice)});
    return options;
}
