#pragma once

#include <QtGlobal>
#include <optional>

class QKeyEvent;

// Follows Caps Lock through the key events the program gets, for a window system that offers
// no query of the keyboard's lamps, as Wayland does not.
//  - Where each key event carries the xkb modifier mask as its native modifiers (Qt on Wayland
//    gives the depressed, latched and locked modifiers the compositor last sent), a key tells
//    the lock as it stood before the key; a Caps Lock press turns it over.
//  - Where nothing reports it, a letter typed tells it by its case (Shift turns it round),
//    and a Caps Lock press turns a known state over.
// Before the first such key the state is unknown.
class CapsLockTracker {
  public:
    enum class Source { XkbModifiers, KeysOnly };
    // The Lock modifier's bit in an xkb modifier mask: xkbcommon gives the eight real
    // modifiers of every keymap the same places, Lock the second.
    static constexpr quint32 kXkbLockMask = 1u << 1;

    explicit CapsLockTracker(Source source) : m_source(source) {}

    // A key press or release as its first receiver gets it.
    void keyEvent(const QKeyEvent& event);
    std::optional<bool> on() const { return m_on; }

  private:
    Source m_source;
    std::optional<bool> m_on;
};
