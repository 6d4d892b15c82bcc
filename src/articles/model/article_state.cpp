#include "articles/model/article_state.h"

namespace Articles {

Sz2 Sz2::parse(const QString& firstField) {
    Sz2 state;
    if (firstField.isEmpty())
        return state;
    state.keystrokeSound = firstField[0] == u'1';
    const QString title = firstField.mid(1);
    if (!title.trimmed().isEmpty() && title.size() <= kMaxTitleLength)
        state.articleTitle = title;
    return state;
}

QString Sz2::format() const {
    return QString(keystrokeSound ? u'1' : u'0') + articleTitle;
}

QString articleResource(const QString& title) {
    return QStringLiteral("\\text\\") + title + QStringLiteral(".txt");
}

} // namespace Articles
