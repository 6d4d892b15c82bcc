#include "platform/wayland_keyboard.h"

#include <QDeadlineTimer>
#include <QSocketNotifier>

#ifdef TUTOR_HAVE_WAYLAND
#include <algorithm>
#include <cstring>
#include <poll.h>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>
#endif

namespace {

// A keymap is some 70 KB: a far larger one is not mapped.
constexpr quint32 kMaxKeymapBytes = 4 * 1024 * 1024;
// WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, the only format of text keymaps.
constexpr quint32 kXkbV1 = 1;

} // namespace

#ifdef TUTOR_HAVE_WAYLAND

struct WaylandKeyboard::Connection {
    WaylandKeyboard* owner = nullptr;
    wl_display* display = nullptr;
    wl_registry* registry = nullptr;
    wl_seat* seat = nullptr;
    wl_keyboard* keyboard = nullptr;
    std::unique_ptr<QSocketNotifier> notifier;

    ~Connection() {
        notifier.reset();
        if (keyboard)
            wl_keyboard_destroy(keyboard);
        if (seat)
            wl_seat_destroy(seat);
        if (registry)
            wl_registry_destroy(registry);
        if (display)
            wl_display_disconnect(display);
    }

    static void keymap(void* data, wl_keyboard*, uint32_t format, int32_t fd, uint32_t size) {
        auto* c = static_cast<Connection*>(data);
        QByteArray text;
        if (format == kXkbV1 && size > 0 && size <= kMaxKeymapBytes) {
            void* mapped = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
            if (mapped != MAP_FAILED) {
                // The text ends with a NUL, which is not part of it.
                const auto* chars = static_cast<const char*>(mapped);
                text = QByteArray(chars, qsizetype(strnlen(chars, size)));
                munmap(mapped, size);
            }
        }
        close(fd);
        if (!text.isEmpty())
            c->owner->keymapReceived(text);
    }
    static void enter(void*, wl_keyboard*, uint32_t, wl_surface*, wl_array*) {}
    static void leave(void*, wl_keyboard*, uint32_t, wl_surface*) {}
    static void key(void*, wl_keyboard*, uint32_t, uint32_t, uint32_t, uint32_t) {}
    static void modifiers(void* data, wl_keyboard*, uint32_t, uint32_t, uint32_t, uint32_t,
                          uint32_t group) {
        static_cast<Connection*>(data)->owner->groupReceived(int(group));
    }
    static void repeatInfo(void*, wl_keyboard*, int32_t, int32_t) {}
    static constexpr wl_keyboard_listener kKeyboardListener = {keymap, enter,     leave,
                                                               key,    modifiers, repeatInfo};

    static void capabilities(void* data, wl_seat* seat, uint32_t caps) {
        auto* c = static_cast<Connection*>(data);
        const bool hasKeyboard = caps & WL_SEAT_CAPABILITY_KEYBOARD;
        if (hasKeyboard && !c->keyboard) {
            c->keyboard = wl_seat_get_keyboard(seat);
            wl_keyboard_add_listener(c->keyboard, &kKeyboardListener, c);
        } else if (!hasKeyboard && c->keyboard) {
            wl_keyboard_destroy(c->keyboard);
            c->keyboard = nullptr;
        }
    }
    static void seatName(void*, wl_seat*, const char*) {}
    static constexpr wl_seat_listener kSeatListener = {capabilities, seatName};

    static void global(void* data, wl_registry* registry, uint32_t name, const char* interface,
                       uint32_t version) {
        auto* c = static_cast<Connection*>(data);
        if (c->seat || std::strcmp(interface, wl_seat_interface.name) != 0)
            return;
        // Version 5 has every event this listens to; the keymap has been sent since version 1.
        c->seat = static_cast<wl_seat*>(
            wl_registry_bind(registry, name, &wl_seat_interface, std::min(version, 5u)));
        wl_seat_add_listener(c->seat, &kSeatListener, c);
    }
    static void globalRemove(void*, wl_registry*, uint32_t) {}
    static constexpr wl_registry_listener kRegistryListener = {global, globalRemove};

    // Reads what the compositor sent, waiting at most `ms` for it; false when the connection
    // is lost.
    bool read(int ms) {
        while (wl_display_prepare_read(display) != 0) {
            if (wl_display_dispatch_pending(display) < 0)
                return false;
        }
        wl_display_flush(display);
        pollfd fd{wl_display_get_fd(display), POLLIN, 0};
        if (poll(&fd, 1, ms) > 0 && (fd.revents & POLLIN)) {
            if (wl_display_read_events(display) < 0)
                return false;
        } else {
            wl_display_cancel_read(display);
        }
        return wl_display_dispatch_pending(display) >= 0 && wl_display_flush(display) >= 0;
    }
};

WaylandKeyboard::WaylandKeyboard(QObject* parent) : QObject(parent) {
    auto connection = std::make_unique<Connection>();
    connection->owner = this;
    connection->display = wl_display_connect(nullptr);
    if (!connection->display)
        return;
    connection->registry = wl_display_get_registry(connection->display);
    wl_registry_add_listener(connection->registry, &Connection::kRegistryListener,
                             connection.get());
    wl_display_flush(connection->display);
    connection->notifier = std::make_unique<QSocketNotifier>(wl_display_get_fd(connection->display),
                                                             QSocketNotifier::Read);
    connect(connection->notifier.get(), &QSocketNotifier::activated, this,
            &WaylandKeyboard::readEvents);
    m_connection = std::move(connection);
}

WaylandKeyboard::~WaylandKeyboard() = default;

bool WaylandKeyboard::connected() const {
    return m_connection != nullptr;
}

QByteArray WaylandKeyboard::waitForKeymap(int ms) {
    const QDeadlineTimer deadline(ms);
    while (m_connection && m_keymap.isEmpty() && !deadline.hasExpired()) {
        if (!m_connection->read(int(deadline.remainingTime())))
            m_connection.reset();
    }
    return m_keymap;
}

void WaylandKeyboard::readEvents() {
    if (!m_connection || m_connection->read(0))
        return;
    // The compositor went away: the keyboard stays as it was. The notifier that called is let
    // go once its call is over.
    m_connection->notifier->setEnabled(false);
    QMetaObject::invokeMethod(
        this, [this] { m_connection.reset(); }, Qt::QueuedConnection);
}

#else

struct WaylandKeyboard::Connection {};

WaylandKeyboard::WaylandKeyboard(QObject* parent) : QObject(parent) {}
WaylandKeyboard::~WaylandKeyboard() = default;
bool WaylandKeyboard::connected() const {
    return false;
}
QByteArray WaylandKeyboard::waitForKeymap(int) {
    return {};
}
void WaylandKeyboard::readEvents() {}

#endif

void WaylandKeyboard::keymapReceived(QByteArray text) {
    if (text == m_keymap)
        return;
    m_keymap = std::move(text);
    m_group = -1; // a new keymap starts at its first group
    emit keymapChanged();
}

void WaylandKeyboard::groupReceived(int group) {
    if (group == m_group)
        return;
    m_group = group;
    emit groupChanged(group);
}
