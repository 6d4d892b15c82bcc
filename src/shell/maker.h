#pragma once

#include <QString>

// Who makes the program and where to find them: the one place for these addresses.
namespace Maker {
inline const QString kAuthor = QStringLiteral("The Zephkin developers");
inline const QString kHomePage = QStringLiteral("https://zephkin.example.org/");
inline const QString kHomePageTarget = QStringLiteral("https://zephkin.example.org/about.html");
inline const QString kEmail = QStringLiteral("hello@zephkin.example.org");
inline const QString kGamesPage = QStringLiteral("https://zephkin.example.org/games/");
} // namespace Maker
