#include "platform/platform.h"

#include "core/maker.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLibrary>
#include <QMessageBox>
#include <QOperatingSystemVersion>
#include <QUrl>

namespace {

// A message box with the text as given and, beneath it, the details in a smaller hand.
int showMessage(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text,
                const QString& details, QMessageBox::StandardButtons buttons) {
    QMessageBox box(icon, title, text, buttons, parent);
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
