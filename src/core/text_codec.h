#pragma once

#include <QByteArray>
#include <QString>

// The program's files are bytes in GBK (code page 936); English text is plain ASCII in it.
// A1 A1 is U+3000, the ideographic space that pads article pages.
QString decodeGbk(const QByteArray& bytes);
QByteArray encodeGbk(const QString& text);
