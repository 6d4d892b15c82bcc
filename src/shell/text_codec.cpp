#include "shell/text_codec.h"

#include <QStringDecoder>
#include <QStringEncoder>

QString decodeGbk(const QByteArray& bytes) {
    QStringDecoder decoder("GBK");
    if (!decoder.isValid())
        return QString::fromLatin1(bytes);
    return decoder.decode(bytes);
}

QByteArray encodeGbk(const QString& text) {
    QStringEncoder encoder("GBK");
    if (!encoder.isValid())
        return text.toLatin1();
    return encoder.encode(text);
}
