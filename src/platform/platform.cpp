#include "platform/platform.h"

#include "core/maker.h"
#include "platform/caps_lock_tracker.h"

#include <QApplication>
#include <QDesktopServices>
#include <QAbstractButton>
#include <QClipboard>
#include <QFileDialog>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLibrary>
#include <QMessageBox>
#include <QOperatingSystemVersion>
#include <QUrl>

// Hands each key press and release to the Caps Lock tracker once, as it reaches its first
// receiver (the widget with the focus, or the window when none has it); the same event sent
// on to the parents is passed over.
class QtPlatform::KeyWatch : public QObject {
  public:
    explicit KeyWatch(CapsLockTracker& tracker) : m_tracker(tracker) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        if ((type == QEvent::KeyPress || type == QEvent::KeyRelease) && watched->isWidgetType()) {
            const QWidget* focus = QApplication::focusWidget();
            const auto* widget = static_cast<const QWidget*>(watched);
            if (focus ? widget == focus : widget->isWindow())
                m_tracker.keyEvent(*static_cast<const QKeyEvent*>(event));
        }
        return false;
    }

  private:
    CapsLockTracker& m_tracker;
};

namespace {

// An X server to ask (the offscreen platform offers the X11 interface without one).
bool onX11() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 && x11->display();
}

} // namespace

QtPlatform::QtPlatform(QString programDir) : m_programDir(std::move(programDir)) {
    if (!qApp || onX11())
        return;
    const bool wayland = QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
    m_capsLock = std::make_unique<CapsLockTracker>(wayland ? CapsLockTracker::Source::XkbModifiers
                                                           : CapsLockTracker::Source::KeysOnly);
    m_keyWatch = std::make_unique<KeyWatch>(*m_capsLock);
    qApp->installEventFilter(m_keyWatch.get());
}

QtPlatform::~QtPlatform() = default;

namespace {

// A message box whose Ctrl+C copies its title, text, details and buttons to the clipboard,
// as message boxes on Windows do, so that a learner can keep the results of a run.
class CopyableMessageBox : public QMessageBox {
  public:
    using QMessageBox::QMessageBox;

  protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (!event->matches(QKeySequence::Copy)) {
            QMessageBox::keyPressEvent(event);
            return;
        }
        const QString separator = QStringLiteral("---------------------------\n");
        QString copied = separator + windowTitle() + u'\n' + separator + text() + u'\n' + separator;
        if (!informativeText().isEmpty())
            copied += informativeText() + u'\n' + separator;
        QStringList buttons;
        for (QAbstractButton* button : this->buttons())
            buttons << button->text().remove(u'&');
        copied += buttons.join(QStringLiteral("   ")) + u'\n' + separator;
        QGuiApplication::clipboard()->setText(copied);
        event->accept();
    }
};

// A message box with the text as given and, beneath it, the details in a smaller hand.
int showMessage(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text,
                const QString& details, QMessageBox::StandardButtons buttons) {
    CopyableMessageBox box(icon, title, text, buttons, parent);
    if (!details.isEmpty())
        box.setInformativeText(details);
    return box.exec();
}

} // namespace

void QtPlatform::tell(QWidget* parent, const QString& title, const QString& text,
                      const QString& details) {
    showMessage(parent, QMessageBox::Information, title, text, details, QMessageBox::Ok);
}

bool QtPlatform::ask(QWidget* parent, const QString& title, const QString& text,
                     const QString& details) {
    return showMessage(parent, QMessageBox::Question, title, text, details,
                       QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok;
}

void QtPlatform::openUrl(const QString& url) {
    QDesktopServices::openUrl(QUrl(Maker::reachableUrl(url, m_programDir)));
}

QString QtPlatform::pickTextFile(QWidget* parent, const QString& title, const QString& filter,
                                 const QString& startDir) {
    return QFileDialog::getOpenFileName(parent, title, startDir, filter);
}

WindowsVersion QtPlatform::windowsVersion() const {
    const QOperatingSystemVersion os = QOperatingSystemVersion::current();
    if (os.type() == QOperatingSystemVersion::Windows)
        return {os.majorVersion(), os.minorVersion()};
    return {10, 0}; // other systems get the modern fonts
}

bool QtPlatform::capsLockOn() const {
    // Elsewhere: what the keys have told.
    if (m_capsLock)
        return m_capsLock->on().value_or(false);
    // X11: the Caps Lock lamp of the core keyboard, through Xlib loaded when first asked, so
    // that the program needs no X library where it runs on another platform.
    using Display = void;
    using GetIndicatorState = int (*)(Display*, unsigned int, unsigned int*);
    static GetIndicatorState getState = [] {
        QLibrary x11(QStringLiteral("X11"), 6);
        return reinterpret_cast<GetIndicatorState>(x11.resolve("XkbGetIndicatorState"));
    }();
    auto* x11App =
        qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!getState || !x11App || !x11App->display())
        return false;
    unsigned int state = 0;
    constexpr unsigned int kUseCoreKeyboard = 0x0100;
    if (getState(x11App->display(), kUseCoreKeyboard, &state) != 0)
        return false;
    return state & 1u; // indicator 0 is Caps Lock
}
