#pragma once

#include <QPixmap>
#include <QSize>

// The elf sprite's two pictures: Image1 faces right, Image2 is its mirror image. Drawn in
// code, so they stay sharp at any scale.
namespace ElfSprite {
QPixmap picture(QSize logicalSize, qreal devicePixelRatio, bool facingLeft);
}
