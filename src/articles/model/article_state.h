#pragma once

#include <QString>

namespace Articles {

// The article everyone starts with.
inline const QString kDefaultTitle = QStringLiteral("a girl selling matches");

// No title is longer; a longer one in sz2.txt is not a title at all.
inline constexpr int kMaxTitleLength = 200;

// The Article practice state kept in sz2.txt: the keystroke sound switch immediately
// followed by the article title, as in "1The Grand Canyon".
struct Sz2 {
    bool keystrokeSound = false;
    QString articleTitle = kDefaultTitle;

    // Parses the first field of sz2.txt. The sound is on only for "1"; an empty field, a
    // field without a title or with one longer than kMaxTitleLength keeps the default article.
    static Sz2 parse(const QString& firstField);
    QString format() const;
    bool operator==(const Sz2&) const = default;
};

// The article file of a title, relative to the program folder.
QString articleResource(const QString& title);

} // namespace Articles
