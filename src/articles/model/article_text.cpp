#include "articles/model/article_text.h"

#include <QFileInfo>
#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <optional>

namespace ArticleText {

QString fillRun() {
    return QString(kFillRunLength, kFill);
}

QString decode(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError()) {
        if (text.startsWith(QChar(0xfeff)))
            text.remove(0, 1);
        return text;
    }
    QStringDecoder gbk("GBK");
    return gbk.isValid() ? QString(gbk.decode(bytes)) : QString::fromLatin1(bytes);
}

bool looksBinary(const QByteArray& bytes) {
    return bytes.contains('\0');
}

QByteArray wholePart(const QByteArray& cutBytes) {
    const qsizetype lineEnd = std::max(cutBytes.lastIndexOf('\n'), cutBytes.lastIndexOf('\r'));
    if (lineEnd >= 0)
        return cutBytes.left(lineEnd + 1);

    // A single line: first as UTF-8, the way the article is decoded. A lead byte whose
    // continuation bytes are not all there goes.
    qsizetype keep = cutBytes.size();
    qsizetype start = keep;
    while (start > 0 && keep - start < 3 && (uchar(cutBytes[start - 1]) & 0xC0) == 0x80)
        --start;
    const qsizetype lead = start - 1;
    if (lead >= 0 && uchar(cutBytes[lead]) >= 0xC0) {
        const uchar b = uchar(cutBytes[lead]);
        const qsizetype length = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : 2;
        if (keep - lead < length)
            keep = lead;
    }
    const QByteArray utf8 = cutBytes.left(keep);
    QStringDecoder check(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    (void)QString(check.decode(utf8));
    if (!check.hasError())
        return utf8;

    // GBK: a lead byte at the very end lost its trail byte.
    qsizetype i = 0;
    const qsizetype n = cutBytes.size();
    while (i < n)
        i += uchar(cutBytes[i]) >= 0x81 && uchar(cutBytes[i]) <= 0xFE ? 2 : 1;
    return i > n ? cutBytes.left(n - 1) : cutBytes;
}

QStringList splitLines(const QString& text, int maxLines) {
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    while (start < n && lines.size() < maxLines) {
        qsizetype end = start;
        while (end < n && text[end] != u'\r' && text[end] != u'\n')
            ++end;
        lines.append(text.mid(start, end - start));
        if (end < n && text[end] == u'\r' && end + 1 < n && text[end + 1] == u'\n')
            ++end;
        start = end + 1;
    }
    return lines;
}

QByteArray encodeGbkLossy(const QString& text) {
    QByteArray out;
    out.reserve(text.size());
    std::optional<QStringEncoder> gbk; // opened on the first character beyond ASCII
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.unicode() < 0x80) {
            out.append(char(c.unicode()));
            continue;
        }
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            ++i; // outside GBK
            out.append('?');
            continue;
        }
        if (!gbk)
            gbk.emplace("GBK");
        if (c.isSurrogate() || !gbk->isValid()) {
            out.append('?');
            continue;
        }
        const QByteArray bytes = gbk->encode(QStringView(text).mid(i, 1));
        if (gbk->hasError() || bytes.isEmpty()) {
            out.append('?');
            gbk.emplace("GBK"); // the error sticks to the converter
        } else {
            out.append(bytes);
        }
    }
    return out;
}

QByteArray scratchBytes(const QStringList& lines) {
    QByteArray bytes = encodeGbkLossy(lines.join(QString()));
    for (int i = 0; i < kFillRunLength; ++i)
        bytes.append("\xA1\xA1", 2);
    bytes.append("\r\n", 2);
    return bytes;
}

// One display character per cell: a control character shows as a blank, and a character
// outside the basic plane (no single cell can hold it) as "?".
static QString cellText(const QString& joined) {
    QString cells;
    cells.reserve(joined.size());
    for (qsizetype i = 0; i < joined.size(); ++i) {
        const QChar c = joined[i];
        if (c.isHighSurrogate() && i + 1 < joined.size() && joined[i + 1].isLowSurrogate()) {
            ++i;
            cells.append(u'?');
        } else if (c.isSurrogate()) {
            cells.append(u'?');
        } else if (c.unicode() < 0x20 || c.unicode() == 0x7f) {
            cells.append(u' ');
        } else {
            cells.append(c);
        }
    }
    return cells;
}

QStringList displayLines(const QString& joined) {
    const QString cells = cellText(joined);
    const qsizetype length = cells.size();
    // The read-back of new.txt goes on while 124 bytes (62 double-byte characters) are left
    // after the next position: for a text of J characters that gives (J + 69) / 62 + 1 lines.
    const qsizetype read = qMin<qsizetype>(kMaxDisplayLines, (length + 69) / kLineWidth + 1);
    QStringList lines;
    lines.reserve(kLastLineIndex + 1);
    for (qsizetype k = 0; k < read; ++k) {
        QString line = cells.mid(k * kLineWidth, kLineWidth);
        line.append(QString(kLineWidth - line.size(), kFill));
        lines.append(line);
    }
    // One shared copy for every line past the text: no allocation each.
    const QString run = fillRun();
    while (lines.size() <= kLastLineIndex)
        lines.append(run);
    return lines;
}

} // namespace ArticleText

StateFile::ReadResult FolderArticleFiles::readArticle(const QString& path, bool relative) {
    QString file = path;
    if (relative) {
        file = m_folder.path(path);
        // A catalogue article must really lie in the folder "text".
        const QString textDir =
            QFileInfo(m_folder.path(QStringLiteral("\\text"))).canonicalFilePath();
        const QString target = QFileInfo(file).canonicalFilePath();
        if (textDir.isEmpty() || !target.startsWith(textDir + u'/'))
            return {};
    }
    StateFile::ReadResult result = StateFile::readBytes(file, m_cap);
    if (result.cut())
        result.bytes = ArticleText::wholePart(result.bytes);
    return result;
}

bool FolderArticleFiles::writeScratch(const QByteArray& bytes) {
    const QString path = m_folder.path(QStringLiteral("\\new.txt"));
    // A page turn writes what is already there: the disk is spared. A link is always
    // replaced by a file of the folder's own.
    if (!QFileInfo(path).isSymLink()) {
        const StateFile::ReadResult old = StateFile::readBytes(path, bytes.size());
        if (old.status == StateFile::ReadStatus::Complete && old.bytes == bytes)
            return true;
    }
    // A scratch file: the learner's place does not depend on it, so a failure is not told.
    return StateFile::writeBytes(path, bytes, false);
}
