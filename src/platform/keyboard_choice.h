#pragma once

#include "core/keyboard_layout.h"
#include "core/program_folder.h"

#include <QList>
#include <QString>
#include <functional>
#include <future>
#include <optional>

// The learner's keyboard layout: the system's, or one chosen in the Keys settings and kept in
// layout.txt. A layout compiled from the system's layout data is kept in keyboard.txt, so that
// later starts read it back rather than compile it again, until its data change. Where no
// layout can be read, the keyboard is the US one.
class KeyboardChoice {
  public:
    // Where layouts come from; XKB unless a test gives its own.
    struct Source {
        std::function<QString()> activeName;
        // Called on a thread of its own at start (see load()).
        std::function<std::optional<KeyboardLayout>(const QString&)> compile;
        std::function<QString(const QString&)> stamp;
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
    ~KeyboardChoice();

    // Reads the choice kept in layout.txt and the layout it names, else the system's. A layout
    // that must be compiled first (the first start in it) is compiled on a thread of its own
    // while the program builds its first window; layout() waits for it.
    void load();

    const KeyboardLayout& layout();
    // The chosen layout's name; empty when the system's is used.
    const QString& choice() const { return m_choice; }
    // The system's layout name ("de"); empty when it cannot be read.
    const QString& systemName() const { return m_systemName; }
    // Takes the layout `name`, or the system's for an empty name, and keeps the choice in
    // layout.txt. True when the keys type something else now.
    bool choose(const QString& name);

    // The caption of the automatic choice: "Keyboard: automatic (de)".
    QString automaticCaption() const;
    // The layouts offered beside the automatic choice; a chosen layout not among them is added.
    QList<Option> options() const;

  private:
    // The layout from its copy in keyboard.txt, or nothing when the copy is missing or stale.
    std::optional<KeyboardLayout> kept(const QString& name, const QString& stamp) const;
    // Starts reading `name`: at once from the US keys or the kept copy, else compiled.
    void start(const QString& name);
    void finish();

    ProgramFolder m_folder;
    Source m_source;
    QString m_choice;
    QString m_systemName;
    KeyboardLayout m_layout = KeyboardLayout::us();
    std::future<std::optional<KeyboardLayout>> m_compiling;
    QString m_compilingStamp;
};
