#include "look/fonts.h"

#include "core/number_parse.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QStringList>

QString versionText(WindowsVersion version) {
    const QString major = version.major >= 0 ? QStringLiteral(" %1").arg(version.major)
                                             : QString::number(version.major);
    return major + u'.' + QString::number(version.minor);
}

FontChoice practiceFontChoice(PracticeFontWindow window, WindowsVersion version) {
    const bool modern = val(versionText(version)) >= 6.1;
    switch (window) {
    case PracticeFontWindow::Words:
        return modern ? FontChoice{"Consolas", 36, true} : FontChoice{"Lucida Console", 32, true};
    case PracticeFontWindow::Keys:
        return modern ? FontChoice{"Consolas", 26.25, true}
                      : FontChoice{"Lucida Console", 21.75, true};
    case PracticeFontWindow::Articles:
        return modern ? FontChoice{"Consolas", 15.75, true}
                      : FontChoice{"Lucida Console", 15, false};
    }
    return {};
}

QFont monospaceFont(const QString& family, double pointSize, bool bold) {
    QFont font(family);
    // Where the named face is missing, DejaVu Sans Mono stands in for it.
    font.setFamilies(QStringList() << family << QStringLiteral("DejaVu Sans Mono"));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    const QFontMetricsF metrics(font);
    if (metrics.horizontalAdvance(u'i') != metrics.horizontalAdvance(u'W')) {
        // Some systems map an unknown family to a proportional face despite the hint.
        QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        fixed.setPointSizeF(pointSize);
        fixed.setBold(bold);
        return fixed;
    }
    return font;
}

QFont monospaceFont(const FontChoice& choice) {
    return monospaceFont(choice.family, choice.pointSize, choice.bold);
}
