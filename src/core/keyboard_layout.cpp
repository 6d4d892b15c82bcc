#include "core/keyboard_layout.h"

#include "core/key_codes.h"
#include "core/keyboard_table.h"

#include <QStringList>
#include <algorithm>

namespace {

bool oneCharacter(const char* label) {
    return label[0] && !label[1];
}

QString levelText(const KeyboardLayout::Level& level) {
    if (level.character.isNull())
        return QStringLiteral("-");
    return QString::number(level.character.unicode(), 16) +
           (level.dead ? QStringLiteral("*") : QString());
}

std::optional<KeyboardLayout::Level> parseLevel(QString text) {
    if (text == u"-")
        return KeyboardLayout::Level{};
    KeyboardLayout::Level level;
    if (text.endsWith(u'*')) {
        level.dead = true;
        text.chop(1);
    }
    bool ok = false;
    const uint code = text.toUInt(&ok, 16);
    // A character that can stand in a lesson line: no control, no separator, no half of a
    // surrogate pair.
    if (!ok || code > 0xffff || !QChar(char16_t(code)).isPrint() || QChar(char16_t(code)).isSpace())
        return std::nullopt;
    level.character = QChar(char16_t(code));
    return level;
}

QString charactersText(const QString& characters) {
    QStringList out;
    for (QChar c : characters)
        out << QString::number(c.unicode(), 16);
    return out.join(u' ');
}

} // namespace

const QList<int>& KeyboardLayout::characterKeys() {
    static const QList<int> codes = [] {
        QList<int> list;
        for (const KeyboardTable::Key& key : KeyboardTable::keys()) {
            if (oneCharacter(key.label))
                list << key.code;
        }
        return list;
    }();
    return codes;
}

int KeyboardLayout::indexOf(int code) {
    return int(characterKeys().indexOf(code));
}

const KeyboardLayout& KeyboardLayout::us() {
    static const KeyboardLayout layout = [] {
        KeyboardLayout us(QStringLiteral("us"));
        for (int code : characterKeys()) {
            const KeyboardTable::Key* key = KeyboardTable::find(code);
            const QChar cap = QLatin1Char(key->label[0]);
            if (cap.isLetter())
                us.setKey(code, {{cap.toLower()}, {cap}});
            else
                us.setKey(code, {{cap}, {QLatin1Char(key->shifted[0])}});
        }
        return us;
    }();
    return layout;
}

KeyboardLayout::KeyboardLayout(QString name)
    : m_name(std::move(name)), m_keys(characterKeys().size()) {}

QString KeyboardLayout::fileName() const {
    QString out;
    for (QChar c : m_name.left(40).toLower()) {
        if ((c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') || c == u'_')
            out += c;
        else if (!out.isEmpty() && !out.endsWith(u'-'))
            out += u'-';
    }
    while (out.endsWith(u'-'))
        out.chop(1);
    return out.isEmpty() ? QStringLiteral("layout") : out;
}

bool KeyboardLayout::isUs() const {
    return m_keys == us().m_keys;
}

bool KeyboardLayout::typesCharacters() const {
    return std::any_of(m_keys.begin(), m_keys.end(), [](const Key& k) {
        return (!k.normal.character.isNull() && !k.normal.dead) ||
               (!k.shifted.character.isNull() && !k.shifted.dead);
    });
}

KeyboardLayout::Key KeyboardLayout::key(int code) const {
    const int i = indexOf(code);
    return i < 0 ? Key{} : m_keys[i];
}

void KeyboardLayout::setKey(int code, const Key& key) {
    const int i = indexOf(code);
    if (i < 0 || m_keys[i] == key)
        return;
    m_keys[i] = key;
    indexCharacters();
}

void KeyboardLayout::indexCharacters() {
    m_codes.clear();
    // A character on two keys is the one alone: the key that needs no Shift comes first.
    for (bool shift : {false, true}) {
        for (qsizetype i = 0; i < m_keys.size(); ++i) {
            const Level& level = shift ? m_keys[i].shifted : m_keys[i].normal;
            if (!level.character.isNull() && !level.dead &&
                !m_codes.contains(level.character.unicode()))
                m_codes.insert(level.character.unicode(), characterKeys()[i]);
        }
    }
}

void KeyboardLayout::addAltGr(QChar c) {
    if (!m_altGr.contains(c))
        m_altGr += c;
}

void KeyboardLayout::addOffTable(QChar c) {
    if (!m_offTable.contains(c))
        m_offTable += c;
}

void KeyboardLayout::setScanCode(int code, quint32 scanCode) {
    if (indexOf(code) >= 0 && scanCode != 0)
        m_scanCodes.insert(scanCode, code);
}

int KeyboardLayout::codeOfScanCode(quint32 scanCode) const {
    return m_scanCodes.value(scanCode, 0);
}

int KeyboardLayout::codeOf(QChar c) const {
    if (c == u' ')
        return KeyCode::Space;
    return c.isNull() ? 0 : m_codes.value(c.unicode(), 0);
}

QChar KeyboardLayout::keyCharacter(QChar c) const {
    const int code = codeOf(c);
    if (code == KeyCode::Space)
        return u' ';
    const QChar alone = typed(code, false);
    return alone.isNull() ? typed(code, true) : alone;
}

KeyboardLayout::Reach KeyboardLayout::reach(QChar c) const {
    if (codeOf(c) != 0)
        return Reach::OnKey;
    if (!c.isNull() && m_offTable.contains(c))
        return Reach::OffTable;
    if (!c.isNull() && m_altGr.contains(c))
        return Reach::AltGr;
    return Reach::Nowhere;
}

bool KeyboardLayout::typesLetterOrDigit(int code) const {
    const int i = indexOf(code);
    if (i < 0)
        return false;
    for (const Level& level : {m_keys[i].normal, m_keys[i].shifted}) {
        if (!level.dead && (level.character.isLetter() || level.character.isDigit()))
            return true;
    }
    return false;
}

QChar KeyboardLayout::typed(int code, bool shift) const {
    const Key k = key(code);
    const Level& level = shift ? k.shifted : k.normal;
    return level.dead ? QChar() : level.character;
}

QString KeyboardLayout::label(int code) const {
    const int i = indexOf(code);
    if (i < 0) {
        const KeyboardTable::Key* key = KeyboardTable::find(code);
        return key ? QString::fromLatin1(key->label) : QString();
    }
    const Key& k = m_keys[i];
    if (k.normal.character.isLetter() && !k.shifted.character.isNull() &&
        k.shifted.character == k.normal.character.toUpper())
        return QString(k.shifted.character);
    return k.normal.character.isNull() ? QString() : QString(k.normal.character);
}

QString KeyboardLayout::shiftedLabel(int code) const {
    const int i = indexOf(code);
    if (i < 0) {
        const KeyboardTable::Key* key = KeyboardTable::find(code);
        return key ? QString::fromLatin1(key->shifted) : QString();
    }
    const Key& k = m_keys[i];
    if (k.shifted.character.isNull() || label(code) == QString(k.shifted.character))
        return QString();
    return QString(k.shifted.character);
}

QString KeyboardLayout::keyName(int code) const {
    if (indexOf(code) < 0)
        return KeyboardTable::keyName(code);
    const QString cap = label(code);
    return cap.isEmpty() ? KeyboardTable::keyName(code) : cap;
}

QString KeyboardLayout::signature() const {
    QStringList keys;
    for (const Key& k : m_keys)
        keys << levelText(k.normal) + u',' + levelText(k.shifted);
    return keys.join(u' ');
}

QString KeyboardLayout::toText() const {
    QStringList lines;
    lines << QStringLiteral("name ") + m_name;
    for (qsizetype i = 0; i < m_keys.size(); ++i) {
        const int code = characterKeys()[i];
        QString line = QStringLiteral("key %1 %2 %3")
                           .arg(code)
                           .arg(levelText(m_keys[i].normal), levelText(m_keys[i].shifted));
        const quint32 scan = m_scanCodes.key(code, 0);
        if (scan != 0)
            line += u' ' + QString::number(scan);
        lines << line;
    }
    lines << QStringLiteral("altgr ") + charactersText(m_altGr);
    lines << QStringLiteral("offtable ") + charactersText(m_offTable);
    return lines.join(QStringLiteral("\n")) + u'\n';
}

std::optional<KeyboardLayout> KeyboardLayout::fromText(const QString& text) {
    KeyboardLayout layout;
    bool named = false;
    int keys = 0;
    for (const QString& line : text.split(u'\n')) {
        const QStringList words = line.trimmed().split(u' ', Qt::SkipEmptyParts);
        if (words.isEmpty())
            continue;
        if (words[0] == u"name" && words.size() == 2) {
            layout.m_name = words[1];
            named = true;
        } else if (words[0] == u"key" && (words.size() == 4 || words.size() == 5)) {
            bool ok = false;
            const int code = words[1].toInt(&ok);
            const auto normal = parseLevel(words[2]);
            const auto shifted = parseLevel(words[3]);
            if (!ok || indexOf(code) < 0 || !normal || !shifted)
                return std::nullopt;
            layout.setKey(code, {*normal, *shifted});
            if (words.size() == 5)
                layout.setScanCode(code, words[4].toUInt());
            ++keys;
        } else if (words[0] == u"altgr" || words[0] == u"offtable") {
            for (const QString& word : words.mid(1)) {
                const auto level = parseLevel(word);
                if (!level || level->dead)
                    return std::nullopt;
                if (words[0] == u"altgr")
                    layout.addAltGr(level->character);
                else
                    layout.addOffTable(level->character);
            }
        }
    }
    if (!named || keys != characterKeys().size() || !layout.typesCharacters())
        return std::nullopt;
    return layout;
}
