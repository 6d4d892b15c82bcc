#include "articles/model/article_catalogue.h"

#include "articles/model/article_state.h"

namespace ArticleCatalogue {

const QStringList& titles() {
    static const QStringList list = {
        QStringLiteral("a girl selling matches"),
        QStringLiteral("American census"),
        QStringLiteral("American personal hygiene"),
        QStringLiteral("An Italian fairy"),
        QStringLiteral("anti globalization"),
        QStringLiteral("Christmas Stockings' legend"),
        QStringLiteral("Christmas"),
        QStringLiteral("contact lenses"),
        QStringLiteral("Quennet's story"),
        QStringLiteral("Europe history"),
        QStringLiteral("five scientific breakthroughs"),
        QStringLiteral("great books"),
        QStringLiteral("Halloween"),
        QStringLiteral("how to deal with rubbish"),
        QStringLiteral("I Have a Dream"),
        QStringLiteral("Keep your goal in mind"),
        QStringLiteral("lunch"),
        QStringLiteral("make resolutions"),
        QStringLiteral("Milkman vs. Mailman"),
        QStringLiteral("Varlow's election victory speech"),
        QStringLiteral("Oscar Awards"),
        QStringLiteral("Romantic works"),
        QStringLiteral("Thanksgiving Day"),
        QStringLiteral("The Grand Canyon"),
        QStringLiteral("The rhythm of life"),
        QStringLiteral("The Strength of trust"),
    };
    return list;
}

bool isSafeTitle(const QString& title) {
    if (title.trimmed().isEmpty() || title.size() > Articles::kMaxTitleLength || title.contains(QStringLiteral("..")))
        return false;
    for (const QChar c : title) {
        if (c == u'/' || c == u'\\' || c == u':' || c.unicode() < 0x20 || c.unicode() == 0x7f)
            return false;
    }
    return true;
}

} // namespace ArticleCatalogue
