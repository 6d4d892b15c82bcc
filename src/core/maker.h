#pragma once

#include <QFileInfo>
#include <QString>
#include <QUrl>

// Who makes the program and where to find them: the one place for these addresses.
namespace Maker {
inline const QString kAuthor = QStringLiteral("The Zephkin developers");
inline const QString kHomePage = QStringLiteral("https://zephkin.example.org/");
inline const QString kHomePageTarget = QStringLiteral("https://zephkin.example.org/about.html");
inline const QString kEmail = QStringLiteral("hello@zephkin.example.org");
inline const QString kGamesPage = QStringLiteral("https://zephkin.example.org/games/");
inline const QString kLicence = QStringLiteral("GNU GPL, version 3 or later");

// The maker's site has no pages yet. Until it has, its addresses and the e-mail open the
// program's own README, which is installed beside the program; any other address is kept.
inline QString reachableUrl(const QString& url, const QString& programDir) {
    const bool makers = url.startsWith(kHomePage) || url == QStringLiteral("mailto:") + kEmail;
    const QString readme = programDir + QStringLiteral("/README.md");
    if (!makers || !QFileInfo(readme).isFile())
        return url;
    return QUrl::fromLocalFile(readme).toString();
}
} // namespace Maker
