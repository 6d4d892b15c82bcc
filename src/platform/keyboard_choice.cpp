#include "platform/keyboard_choice.h"

#include "core/state_file.h"
#include "platform/xkb_keyboard.h"

#include <system_error>

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

KeyboardChoice::~KeyboardChoice() {
    if (m_compiling.valid())
        m_compiling.wait();
}

void KeyboardChoice::load() {
    finish();
    m_systemName = m_source.activeName ? m_source.activeName() : QString();
    const QString kept = StateFile::readFirstField(m_folder.path(kChoiceFile)).trimmed();
    m_choice = kept == kAutomatic ? QString() : kept.left(64);
    start(m_choice.isEmpty() ? m_systemName : m_choice);
}

const KeyboardLayout& KeyboardChoice::layout() {
    finish();
    return m_layout;
}

bool KeyboardChoice::choose(const QString& name) {
    finish();
    const QString choice = name == kAutomatic ? QString() : name.trimmed();
    if (choice != m_choice)
        StateFile::writeLine(m_folder.path(kChoiceFile), choice.isEmpty() ? kAutomatic : choice);
    m_choice = choice;
    const KeyboardLayout before = m_layout;
    start(m_choice.isEmpty() ? m_systemName : m_choice);
    finish();
    return m_layout.signature() != before.signature() || m_layout.name() != before.name();
}

// The copy kept in keyboard.txt serves while the layout data it was compiled from stay the
// same.
std::optional<KeyboardLayout> KeyboardChoice::kept(const QString& name,
                                                   const QString& stamp) const {
    const StateFile::ReadResult cached = StateFile::readBytes(m_folder.path(kCacheFile), kCacheCap);
    if (cached.status != StateFile::ReadStatus::Complete)
        return std::nullopt;
    const QString text = QString::fromUtf8(cached.bytes);
    if (text.section(u'\n', 0, 0) != stamp)
        return std::nullopt;
    std::optional<KeyboardLayout> layout = KeyboardLayout::fromText(text.section(u'\n', 1));
    if (!layout || layout->name() != name)
        return std::nullopt;
    return layout;
}

// The US layout needs no reading; any other comes from its kept copy, or is compiled (about
// as long as all the rest of the first window's reading together, so not in its way).
void KeyboardChoice::start(const QString& name) {
    m_layout = KeyboardLayout::us();
    if (name.isEmpty() || isPlainUs(name) || !m_source.compile)
        return;
    const QString stamp =
        QStringLiteral("source ") + (m_source.stamp ? m_source.stamp(name) : name);
    if (std::optional<KeyboardLayout> layout = kept(name, stamp)) {
        m_layout = *layout;
        return;
    }
    m_compilingStamp = stamp;
    try {
        m_compiling = std::async(std::launch::async, m_source.compile, name);
    } catch (const std::system_error&) { // no thread to be had: compiled when it is wanted
        m_compiling = std::async(std::launch::deferred, m_source.compile, name);
    }
}

void KeyboardChoice::finish() {
    if (!m_compiling.valid())
        return;
    const std::optional<KeyboardLayout> compiled = m_compiling.get();
    if (!compiled)
        return; // a name XKB does not know: the US keys
    m_layout = *compiled;
    StateFile::writeRegenerable(m_folder.path(kCacheFile),
                                (m_compilingStamp + u'\n' + compiled->toText()).toUtf8());
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
