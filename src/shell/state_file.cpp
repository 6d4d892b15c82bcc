#include "shell/state_file.h"

#include "shell/text_codec.h"

#include <QFile>
#include <QSaveFile>

namespace StateFile {

QString firstField(const QString& line) {
    qsizetype i = 0;
    while (i < line.size() && (line[i] == u' ' || line[i] == u'\t'))
        ++i;
    if (i < line.size() && line[i] == u'"') {
        const qsizetype close = line.indexOf(u'"', i + 1);
        return close < 0 ? line.mid(i + 1) : line.mid(i + 1, close - i - 1);
    }
    const qsizetype comma = line.indexOf(u',', i);
    QString field = comma < 0 ? line.mid(i) : line.mid(i, comma - i);
    while (field.endsWith(u' ') || field.endsWith(u'\t'))
        field.chop(1);
    return field;
}

QString readText(const QString& path, bool* found) {
    QFile file(path);
    const bool ok = file.open(QIODevice::ReadOnly);
    if (found)
        *found = ok;
    return ok ? decodeGbk(file.readAll()) : QString();
}

QString readFirstField(const QString& path, bool* found) {
    const QString text = readText(path, found);
    qsizetype end = text.indexOf(u'\n');
    QString line = end < 0 ? text : text.left(end);
    if (line.endsWith(u'\r'))
        line.chop(1);
    return firstField(line);
}

bool writeLine(const QString& path, const QString& line) {
    QSaveFile file(path);
    // Unbuffered, so that a short write (a full disk) shows in write()'s result: QSaveFile
    // would otherwise commit the truncated file.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    const QByteArray bytes = encodeGbk(line) + "\r\n";
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace StateFile
