#include "shell/platform.h"

#include "shell/maker.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QOperatingSystemVersion>
#include <QUrl>

void QtPlatform::tell(QWidget* parent, const QString& title, const QString& text) {
    QMessageBox::information(parent, title, text, QMessageBox::Ok);
}

bool QtPlatform::ask(QWidget* parent, const QString& title, const QString& text) {
    return QMessageBox::question(parent, title, text, QMessageBox::Ok | QMessageBox::Cancel) ==
           QMessageBox::Ok;
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
    // Read from the key event state where it matters; this is the fallback.
    return false;
}
