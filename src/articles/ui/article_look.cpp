#include "articles/ui/article_look.h"

#include "look/look.h"

#include <QLabel>

namespace ArticleLook {

void styleNotice(QLabel* label) {
    label->setStyleSheet(QStringLiteral("QLabel { color: white; background: %1;"
                                        " border-radius: 6px; }")
                             .arg(Look::kWrong.name()));
    label->setFont(Look::uiFont(11, true));
    label->setAlignment(Qt::AlignCenter);
}

} // namespace ArticleLook
