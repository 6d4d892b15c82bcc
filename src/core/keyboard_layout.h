#pragma once

#include <QChar>
#include <QHash>
#include <QList>
#include <QString>
#include <optional>

// What a keyboard layout types on each key of the keyboard table, alone and with Shift. The
// keys are the table's physical keys, named by their code (the key code a US keyboard gives in
// that place); a layout only says what each of them types. The US layout is the table's own.
class KeyboardLayout {
  public:
    // One shift level of a key.
    struct Level {
        QChar character;   // null when the level types nothing
        bool dead = false; // a dead key: it types nothing alone, `character` is its mark
        bool operator==(const Level&) const = default;
    };
    struct Key {
        Level normal;
        Level shifted;
        bool operator==(const Key&) const = default;
    };
    // How a character is typed on this layout.
    enum class Reach {
        OnKey,    // a key of the table gives it, alone or with Shift
        AltGr,    // only with AltGr
        OffTable, // on a key the table does not draw (the key beside the left Shift, the keypad)
        Nowhere,
    };

    // The US layout, from the labels of the keyboard table.
    static const KeyboardLayout& us();

    // A layout called `name` ("de", "us(dvorak)") that types nothing yet.
    explicit KeyboardLayout(QString name = QString());

    const QString& name() const { return m_name; }
    // The name as part of a file name, safe whatever the name holds: "us-dvorak".
    QString fileName() const;
    // True when every key types what it types on the US layout, whatever the name.
    bool isUs() const;
    // True when some key types a character (not only dead keys): a layout lessons can use.
    bool typesCharacters() const;

    // The keys that type characters: the table's keys whose caps show one character.
    static const QList<int>& characterKeys();

    Key key(int code) const;
    void setKey(int code, const Key& key); // codes not in characterKeys() are left out
    void addAltGr(QChar c);
    void addOffTable(QChar c);
    // The platform's scan code of a key, where it is known.
    void setScanCode(int code, quint32 scanCode);
    int codeOfScanCode(quint32 scanCode) const;

    // The key that types `c` alone or with Shift (a dead key types nothing); Space for a blank;
    // 0 when no key of the table does. A character on two keys is the one it types alone.
    int codeOf(QChar c) const;
    // The character that names the key typing `c` in figures, pairs and drills: what the key
    // types alone ("a" for A, "6" for & on a German keyboard, " " for a blank), or with Shift
    // where it types nothing alone; null when no key of the table types `c`.
    QChar keyCharacter(QChar c) const;
    Reach reach(QChar c) const;
    // The key types a letter or a digit, alone or with Shift.
    bool typesLetterOrDigit(int code) const;
    // The caps: the big label, and the small shifted one above it ("" when the cap shows only
    // one). A letter key shows its capital alone; keys that type nothing keep the table's label.
    QString label(int code) const;
    QString shiftedLabel(int code) const;
    // The name a learner reads for a key: its cap's label, "Space" or "Caps Lock".
    QString keyName(int code) const;
    // The character key's character at a level, null for none or a dead key.
    QChar typed(int code, bool shift) const;

    // The keys in one line ("`~ 1! 2@ ... /?", a dead level marked with *), to tell whether
    // two layouts type the same.
    QString signature() const;
    // A text form that fromText reads back; lines it does not know are passed over.
    QString toText() const;
    static std::optional<KeyboardLayout> fromText(const QString& text);

  private:
    static int indexOf(int code);
    void indexCharacters();

    QString m_name;
    QList<Key> m_keys; // in the order of characterKeys()
    QString m_altGr;
    QString m_offTable;
    QHash<quint32, int> m_scanCodes;
    QHash<char16_t, int> m_codes; // codeOf, asked at every keystroke
};
