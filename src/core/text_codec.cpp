#include "core/text_codec.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <algorithm>

// Every shipped list is plain ASCII, which reads the same in GBK: such text skips the
// converter, whose tables cost about a megabyte once loaded.

QString decodeGbk(const QByteArray& bytes) {
    if (std::all_of(bytes.begin(), bytes.end(), [](char c) { return uchar(c) < 0x80; }))
        return QString::fromLatin1(bytes);
    QStringDecoder decoder("GBK");
    if (!decoder.isValid())
        return QString::fromLatin1(bytes);
    return decoder.decode(bytes);
}

QByteArray encodeGbk(const QString& text) {
    if (std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; }))
        return text.toLatin1();
    QStringEncoder encoder("GBK");
    if (!encoder.isValid())
        return text.toLatin1();
    return encoder.encode(text);
}
