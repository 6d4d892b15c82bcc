#include "platform/keyboard_watch.h"

#include "platform/keyboard_choice.h"
#include "platform/wayland_keyboard.h"

#include <QApplication>
#include <QKeyEvent>
#include <QSignalBlocker>
#include <QWidget>
#include <memory>

#ifdef TUTOR_HAVE_XKB
#include <xcb/xcb.h>
// The XKB protocol header names a field `explicit`, a word C++ keeps for itself.
#define explicit explicit_
#include <xcb/xkb.h>
#undef explicit

#include <cstdlib>
#endif

#ifdef TUTOR_HAVE_XKB
namespace {

xcb_connection_t* x11Connection() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* c = x11 ? x11->connection() : nullptr;
    return c && !xcb_connection_has_error(c) ? c : nullptr;
}

} // namespace
#endif

KeyboardWatch::KeyboardWatch(KeyboardChoice& choice) : m_choice(choice) {
    m_reread.setSingleShot(true);
    m_reread.setInterval(0);
    connect(&m_reread, &QTimer::timeout, this, [this] { m_choice.systemChanged(); });
    if (!qApp)
        return;
#ifdef TUTOR_HAVE_XKB
    if (xcb_connection_t* c = x11Connection()) {
        const xcb_query_extension_reply_t* xkb = xcb_get_extension_data(c, &xcb_xkb_id);
        m_xkbEvent = xkb && xkb->present ? xkb->first_event : 0;
        static const char kAtom[] = "_XKB_RULES_NAMES";
        std::unique_ptr<xcb_intern_atom_reply_t, decltype(&free)> atom(
            xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, sizeof kAtom - 1, kAtom), nullptr),
            &free);
        m_namesAtom = atom ? atom->atom : 0;
        qApp->installNativeEventFilter(this);
        return;
    }
#endif
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
        m_wayland = std::make_unique<WaylandKeyboard>();
        if (!m_wayland->connected()) {
            m_wayland.reset();
            return;
        }
        connect(m_wayland.get(), &WaylandKeyboard::keymapChanged, this,
                [this] { m_choice.keymapChanged(m_wayland->keymap()); });
        connect(m_wayland.get(), &WaylandKeyboard::groupChanged, this,
                [this](int group) { m_choice.groupChanged(group); });
        qApp->installEventFilter(this);
    }
}

KeyboardWatch::~KeyboardWatch() {
    if (qApp) {
        qApp->removeNativeEventFilter(this);
        qApp->removeEventFilter(this);
    }
}

void KeyboardWatch::load() {
    if (!m_wayland) {
        m_choice.load();
        return;
    }
    QByteArray keymap;
    {
        // The first keymap is the one the choice loads with, not a change.
        const QSignalBlocker blocker(m_wayland.get());
        keymap = m_wayland->waitForKeymap(kKeymapWaitMs);
    }
    m_choice.load(keymap);
}

bool KeyboardWatch::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
#ifdef TUTOR_HAVE_XKB
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    const quint8 type = event->response_type & 0x7f;
    if (m_xkbEvent != 0 && type == m_xkbEvent) {
        // Every XKB event has its kind in the byte after the type.
        const quint8 kind = reinterpret_cast<const quint8*>(event)[1];
        if (kind == XCB_XKB_NEW_KEYBOARD_NOTIFY || kind == XCB_XKB_MAP_NOTIFY)
            m_reread.start();
        else if (kind == XCB_XKB_STATE_NOTIFY &&
                 (reinterpret_cast<const xcb_xkb_state_notify_event_t*>(event)->changed &
                  (XCB_XKB_STATE_PART_GROUP_STATE | XCB_XKB_STATE_PART_GROUP_LOCK)))
            m_reread.start();
    } else if (type == XCB_PROPERTY_NOTIFY && m_namesAtom != 0 &&
               reinterpret_cast<const xcb_property_notify_event_t*>(event)->atom == m_namesAtom) {
        m_reread.start();
    }
#else
    Q_UNUSED(eventType);
    Q_UNUSED(message);
#endif
    return false;
}

// Wayland: a key press as it reaches its first receiver (the widget with the focus, or the
// window when none has it). A key that shows another group is in use goes no further: the
// keyboard changes under it, and the lesson starts again without it.
bool KeyboardWatch::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
        return false;
    const QWidget* focus = QApplication::focusWidget();
    const auto* widget = static_cast<const QWidget*>(watched);
    if (focus ? widget != focus : !widget->isWindow())
        return false;
    const auto* key = static_cast<const QKeyEvent*>(event);
    if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    return m_choice.keyTyped(key->nativeScanCode(), key->text());
}
