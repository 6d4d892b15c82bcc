#pragma once

#include <QColor>

class QLabel;

// The looks of Article practice, made from the shared primitives of look/look.h.
namespace ArticleLook {

// The article in black on its white page, the same under every skin.
inline const QColor kPageInk{0, 0, 0};
inline const QColor kPageSheet{255, 255, 255};

// A notice on the page: white on red.
void styleNotice(QLabel* label);

} // namespace ArticleLook
