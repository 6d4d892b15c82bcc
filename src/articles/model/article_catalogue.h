#pragma once

#include <QString>
#include <QStringList>

// The built-in articles, in the order the chooser offers them (not sorted).
namespace ArticleCatalogue {

const QStringList& titles();

// A catalogue article is the file "\text\" + title + ".txt" in the program folder. A title
// that could name anything outside that folder (a separator, "..", a control character) is
// never used as a file name.
bool isSafeTitle(const QString& title);

} // namespace ArticleCatalogue
