#pragma once

#include "core/keyboard_layout.h"
#include "core/program_folder.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <functional>
#include <future>
#include <optional>

// The learner's keyboard layout: the system's, or one chosen in the Keys settings and kept in
// layout.txt. The system's is the layout of the group in use: under X11 named by the X server
// ("de") and compiled from the system's layout data; on Wayland the compositor's keymap,
// compiled as it is. A compiled layout is kept in keyboard.txt, so that later starts read it
// back rather than compile it again, until its source changes. Where no layout can be read,
// the keyboard is the US one.
//
// The system's keyboard can change while the program runs (another layout, another group):
// KeyboardWatch tells this choice, which follows when the system's layout is the one used and
// says so with layoutChanged().
class KeyboardChoice : public QObject {
    Q_OBJECT
  public:
    // Where layouts come from; XKB unless a test gives its own.
    struct Source {
        std::function<QString()> activeName; // X11: the active group's layout, "" elsewhere
        // Called on a thread of its own at start (see load()), else on the caller's.
        std::function<std::optional<KeyboardLayout>(const QString&)> compile;
        std::function<QString(const QString&)> stamp;
        // A keymap's text: a layout for each of its groups.
        std::function<QList<KeyboardLayout>(const QByteArray&)> compileKeymap;
        // The name people know a layout by: "German" for "de"; empty when unknown.
        std::function<QString(const QString&)> describe;
        static Source xkb();
    };
    struct Option {
        QString name;
        QString caption;
    };

    static const QString kChoiceFile; // "\layout.txt"
    static const QString kCacheFile;  // "\keyboard.txt"
    // What layout.txt holds for the system's layout.
    static const QString kAutomatic;

    explicit KeyboardChoice(ProgramFolder folder, Source source = Source::xkb());
    ~KeyboardChoice() override;

    // Reads the choice kept in layout.txt and the layout it names, else the system's as the X
    // server names it. A layout that must be compiled first (the first start in it) is
    // compiled on a thread of its own while the program builds its first window; layout()
    // waits for it.
    void load();
    // The same where the system's keyboard is a Wayland compositor's keymap: `keymap` is the
    // one it handed over at start, or empty when none came in time; then the layout kept from
    // the last start serves (the US one at a first start) until keymapChanged() brings it.
    void load(const QByteArray& keymap);

    const KeyboardLayout& layout();
    // The chosen layout's name; empty when the system's is used.
    const QString& choice() const { return m_choice; }
    // The system's layout name ("de"); empty when it cannot be read.
    const QString& systemName();
    // Takes the layout `name`, or the system's for an empty name, and keeps the choice in
    // layout.txt. True when the keys type something else now (layoutChanged() says so too).
    bool choose(const QString& name);

    // What the display server tells: under X11 something of its keyboard changed (its names,
    // its keymap or its group: read again); on Wayland another keymap, or another group.
    void systemChanged();
    void keymapChanged(const QByteArray& keymap);
    void groupChanged(int group);
    // A key typed, with the character it gave. On Wayland the group in use reaches only the
    // client with the focus: with a keymap of several groups, a character that the layout
    // in use does not give on that key, and another group does, tells that group is in use.
    // True when it brought another layout.
    bool keyTyped(quint32 scanCode, const QString& text);

    // The name people know the system's layout by: "German"; its XKB name where the registry
    // does not know it, "English (US)" without any.
    QString systemCaption();
    // The caption of the automatic choice: "Automatic: German".
    QString automaticCaption();
    // The name people know the layout in use by: the chosen one's, else the system's.
    QString layoutCaption();
    // The layouts offered beside the automatic choice; a chosen layout not among them is added.
    QList<Option> options() const;

  signals:
    // The keys type something else now: the system's layout changed while it is the one
    // used, or another layout was chosen.
    void layoutChanged();
    // The system's layout changed, used or not: the automatic choice's caption with it.
    void systemLayoutChanged();

  private:
    struct Compiled {
        QList<KeyboardLayout> groups; // a keymap's every group; a named layout's one
    };
    // A layout's copy in keyboard.txt: with a stamp, only while its source is the same; with
    // none, whatever it was (the last start's layout).
    std::optional<KeyboardLayout> kept(const QString& stamp) const;
    // Starts reading a layout: at once from the US keys, a layout compiled before or the kept
    // copy, else compiled.
    void startName(const QString& name);
    void startKeymap(const QByteArray& keymap, int group);
    void startCompiling(const QString& stamp, std::function<QList<KeyboardLayout>()> compile,
                        int group);
    void take(const KeyboardLayout& layout, const QString& stamp);
    void finish();
    // Runs a reading to its end; says layoutChanged() when the keys changed with it.
    bool follow(const std::function<void()>& read);
    QString keymapStamp() const;
    const QList<KeyboardLayout>& keymapGroups();
    QString described(const QString& name) const;

    ProgramFolder m_folder;
    Source m_source;
    QString m_choice;
    QString m_systemName;
    bool m_wayland = false;
    QByteArray m_keymap; // Wayland: the compositor's keymap, empty till it comes
    int m_group = 0;     // Wayland: the group in use
    KeyboardLayout m_layout = KeyboardLayout::us();
    QString m_keptStamp; // the stamp of the copy in keyboard.txt, as this program wrote it
    QHash<QString, Compiled> m_compiled; // by stamp: a group switch compiles nothing again
    std::future<QList<KeyboardLayout>> m_compiling;
    QString m_compilingStamp;
    int m_compilingGroup = 0;
    bool m_compilingSystem = false; // the reading gives the system's name too
};
