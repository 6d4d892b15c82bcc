// The keyboard pictures of Keys practice (test2.bmp ... test6.bmp), read from disk the way
// the keyboard reads its copies: a copy is taken only when it is a BMP of the size wanted.

#include "fuzz_support.h"
#include "keys/ui/keys_keyboard.h"

#include <QBuffer>
#include <QImageReader>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString path = Fuzz::scratch() + QStringLiteral("/test5.bmp");
    Fuzz::put(path, data, size);
    // The size the header claims, so that the decoder runs; a keyboard is never larger.
    QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader header(&buffer, "BMP");
    QSize claimed = header.size();
    if (!claimed.isValid() || claimed.width() > 2048 || claimed.height() > 1024)
        claimed = QSize(16, 8);
    for (const QSize wanted : {claimed, QSize(16, 8)}) {
        const QImage copy = KeysPictures::readCopy(path, wanted);
        if (copy.isNull())
            continue;
        Fuzz::check(copy.size() == wanted, "a copy has the size wanted");
        Fuzz::check(copy.format() == QImage::Format_RGB32, "a copy is drawn as the keyboard is");
    }
    return 0;
}
