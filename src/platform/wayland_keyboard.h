#pragma once

#include <QByteArray>
#include <QObject>
#include <memory>

// The keymap a Wayland compositor hands to its clients, read on a connection of our own: Qt
// 6.4 offers no public way to its own seat. The connection binds the first wl_seat, takes its
// wl_keyboard and keeps the text of each `keymap` event (GNOME's mutter, KWin and the wlroots
// compositors send one at once and another at every change of layout). A `modifiers` event
// tells the group in use, where the compositor sends it to a client without focus.
class WaylandKeyboard : public QObject {
    Q_OBJECT
  public:
    // Connects to the compositor of WAYLAND_DISPLAY; connected() tells whether it could.
    explicit WaylandKeyboard(QObject* parent = nullptr);
    ~WaylandKeyboard() override;

    bool connected() const;
    // Waits up to `ms` milliseconds for the first keymap, without running the event loop.
    // The keymap, or empty when none came in time (a compositor with no keyboard yet).
    QByteArray waitForKeymap(int ms);
    const QByteArray& keymap() const { return m_keymap; }

  signals:
    // Another keymap came; it is keymap() now.
    void keymapChanged();
    void groupChanged(int group);

  private:
    struct Connection;
    void readEvents();
    void keymapReceived(QByteArray text);
    void groupReceived(int group);

    std::unique_ptr<Connection> m_connection;
    QByteArray m_keymap;
    int m_group = -1;
};
