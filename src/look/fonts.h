#pragma once

#include <QFont>
#include <QString>

struct WindowsVersion {
    int major = 10;
    int minor = 0;
};

// The version as the program writes it: the major number with the one leading blank of a
// non-negative number, ".", then the minor number (" 6.1" for Windows 7).
QString versionText(WindowsVersion version);

// Which of the two typewriter faces a practice window asks for, by Windows version.
enum class PracticeFontWindow { Words, Keys, Articles };

struct FontChoice {
    QString family;
    double pointSize = 0;
    bool bold = false;
};

FontChoice practiceFontChoice(PracticeFontWindow window, WindowsVersion version);

// A font that is monospaced in fact: where the named face is missing, the style hint
// brings in the system's fixed-pitch font (DejaVu Sans Mono on Debian).
QFont monospaceFont(const QString& family, double pointSize, bool bold);
QFont monospaceFont(const FontChoice& choice);
