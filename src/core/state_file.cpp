#include "core/state_file.h"

#include "core/text_codec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>

#include <algorithm>
#include <cerrno>

#ifdef Q_OS_UNIX
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#else
#include <QSaveFile>
#endif

namespace StateFile {

namespace {

std::function<void(const QString&)>& failureHandler() {
    static std::function<void(const QString&)> handler;
    return handler;
}

bool& failureReported() {
    static bool reported = false;
    return reported;
}

// The latest bytes of each file whose latest reported write failed, and why it failed.
struct FailedWrite {
    QByteArray bytes;
    int error = 0;
};

QMap<QString, FailedWrite>& failedWrites() {
    static QMap<QString, FailedWrite> writes;
    return writes;
}

void reportWriteFailure(const QString& path) {
    if (failureReported())
        return;
    failureReported() = true;
    const QString folder = QDir::toNativeSeparators(QFileInfo(path).absolutePath());
    const QString message = QStringLiteral("Your place cannot be saved in %1.").arg(folder);
    qWarning("%s", qPrintable(message));
    if (failureHandler())
        failureHandler()(message);
}

#ifdef Q_OS_UNIX

ReadResult readOpenFile(int fd, qint64 cap) {
    ReadResult result;
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
        return result;
    QByteArray bytes;
    const qint64 expected = std::min<qint64>(qint64(st.st_size), cap);
    bytes.reserve(qsizetype(expected) + 1);
    char buffer[16 * 1024];
    // One byte past the cap tells a file of exactly `cap` bytes from a longer one.
    while (bytes.size() <= cap) {
        const size_t want = size_t(std::min<qint64>(sizeof buffer, cap + 1 - bytes.size()));
        const ssize_t got = ::read(fd, buffer, want);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return result;
        if (got == 0)
            break;
        bytes.append(buffer, qsizetype(got));
    }
    if (bytes.size() > cap) {
        bytes.truncate(qsizetype(cap));
        result.status = ReadStatus::Cut;
    } else {
        result.status = ReadStatus::Complete;
    }
    result.bytes = std::move(bytes);
    return result;
}

#endif

} // namespace

bool isRegularFile(const QString& path) {
#ifdef Q_OS_UNIX
    struct stat st {};
    return !path.isEmpty() && ::stat(QFile::encodeName(path).constData(), &st) == 0 &&
           S_ISREG(st.st_mode);
#else
    const QFileInfo info(path);
    return info.exists() && info.isFile();
#endif
}

ReadResult readBytes(const QString& path, qint64 cap) {
    if (cap < 0 || !isRegularFile(path))
        return {};
#ifdef Q_OS_UNIX
    // The check above keeps a FIFO from being opened at all; O_NONBLOCK keeps one swapped in
    // since from blocking the open, and the fstat() after it refuses it.
    int fd = -1;
    do {
        fd = ::open(QFile::encodeName(path).constData(),
                    O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return {};
    ReadResult result = readOpenFile(fd, cap);
    ::close(fd);
    return result;
#else
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    ReadResult result;
    result.bytes = file.read(cap + 1);
    if (result.bytes.size() > cap) {
        result.bytes.truncate(cap);
        result.status = ReadStatus::Cut;
    } else {
        result.status = ReadStatus::Complete;
    }
    return result;
#endif
}

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

QString readText(const QString& path, bool* found, qint64 cap, bool* cut) {
    const ReadResult result = readBytes(path, cap);
    if (found)
        *found = result.found();
    if (cut)
        *cut = result.cut();
    return result.found() ? decodeGbk(result.bytes) : QString();
}

QString readFirstField(const QString& path, bool* found, qint64 cap) {
    const QString text = readText(path, found, cap);
    qsizetype end = text.indexOf(u'\n');
    QString line = end < 0 ? text : text.left(end);
    if (line.endsWith(u'\r'))
        line.chop(1);
    return firstField(line);
}

QStringList splitLines(const QString& text, const LineLimits& limits, bool* cut) {
    QStringList lines;
    bool shortened = false;
    const int maxLines = std::max(limits.maxLines, 0);
    const qsizetype maxLength = std::max(limits.maxLineLength, 0);
    qsizetype start = 0;
    while (start <= text.size()) {
        if (lines.size() >= maxLines) {
            shortened = true;
            break;
        }
        qsizetype end = text.indexOf(u'\n', start);
        const bool last = end < 0;
        if (last)
            end = text.size();
        qsizetype length = end - start;
        if (!last && length > 0 && text[end - 1] == u'\r')
            --length;
        if (length > maxLength) {
            length = maxLength;
            shortened = true;
        }
        lines.append(text.mid(start, length));
        start = end + 1;
    }
    if (cut)
        *cut = shortened;
    return lines;
}

QString cutNotice(const QString& fileName) {
    return QStringLiteral("%1 is too long: only its beginning is used.").arg(fileName);
}

void setWriteFailureHandler(std::function<void(const QString& message)> handler) {
    failureHandler() = std::move(handler);
    failureReported() = false;
    failedWrites().clear();
}

bool hasFailedWrites() {
    return !failedWrites().isEmpty();
}

bool wantsRoom(int error) {
#ifdef EDQUOT
    if (error == EDQUOT)
        return true;
#endif
    return error == ENOSPC;
}

bool failedWritesMayPass() {
    const QMap<QString, FailedWrite>& writes = failedWrites();
    return !writes.isEmpty() && std::all_of(writes.begin(), writes.end(), [](const FailedWrite& w) {
        return wantsRoom(w.error);
    });
}

bool retryFailedWrites() {
    const QMap<QString, FailedWrite> writes = failedWrites();
    bool all = true;
    for (auto it = writes.begin(); it != writes.end(); ++it)
        all = writeBytes(it.key(), it.value().bytes) && all;
    return all;
}

QString temporaryTarget(const QString& fileName) {
    // ".", the name, ".", six letters or digits.
    const qsizetype n = fileName.size();
    if (n < 9 || fileName[0] != u'.' || fileName[n - 7] != u'.')
        return QString();
    for (qsizetype i = n - 6; i < n; ++i) {
        const QChar c = fileName[i];
        if (!((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z')))
            return QString();
    }
    const QString name = fileName.mid(1, n - 8);
    return name.contains(u'\n') ? QString() : name;
}

#ifdef Q_OS_UNIX

namespace {

// Writes all of `bytes` to `fd`: 0, or the error that stopped it (a full disk included).
int writeAll(int fd, const QByteArray& bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return errno;
        if (n == 0)
            return ENOSPC;
        done += n;
    }
    return 0;
}

mode_t newFileMode(const QByteArray& target) {
    struct stat st {};
    // An existing regular file keeps its permissions; a new one gets what the umask allows.
    if (::lstat(target.constData(), &st) == 0 && S_ISREG(st.st_mode))
        return st.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// 0, or the error that kept `bytes` from replacing the file at `path`.
int writeAtomically(const QString& path, const QByteArray& bytes, bool durable = true) {
    const QByteArray target = QFile::encodeName(path);
    const QFileInfo info(path);
    // The temporary file sits beside the target, so that rename() stays in one folder and
    // replaces the folder's entry itself: a link there is replaced, never followed.
    QByteArray temp =
        QFile::encodeName(info.absolutePath() + QStringLiteral("/.") + info.fileName()) + ".XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0)
        return errno ? errno : EIO;
    // Locked till it has its name: a start that clears away the temporary files of a killed
    // program passes over the one another running copy is writing.
    ::flock(fd, LOCK_EX);
    int error = ::fchmod(fd, newFileMode(target)) == 0 ? 0 : errno;
    if (!error)
        error = writeAll(fd, bytes);
    if (!error && durable && ::fsync(fd) != 0)
        error = errno;
    if (!error && ::rename(temp.constData(), target.constData()) != 0)
        error = errno;
    if (error)
        ::unlink(temp.constData());
    if (::close(fd) != 0 && !error)
        error = errno;
    return error;
}

} // namespace

bool removeStaleTemporary(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    struct stat named {};
    if (::lstat(name.constData(), &named) != 0 || !S_ISREG(named.st_mode))
        return false;
    const int fd =
        ::open(name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat opened {};
    // The lock is free once the writer is gone; the same file is still under the name.
    const bool stale = ::fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode) &&
                       opened.st_dev == named.st_dev && opened.st_ino == named.st_ino &&
                       ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    const bool removed = stale && ::unlink(name.constData()) == 0;
    ::close(fd);
    return removed;
}

bool reserve(const QString& path, qint64 bytes) {
    const QByteArray name = QFile::encodeName(path);
    const int fd =
        ::open(name.constData(),
               O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return false;
    }
    // Blocks of the disk's own, not a file full of holes that takes no room.
    const bool made = ::posix_fallocate(fd, 0, off_t(bytes)) == 0;
    if (!made && ::ftruncate(fd, 0) == 0)
        ::unlink(name.constData());
    ::close(fd);
    return made;
}

#else

bool reserve(const QString& path, qint64 bytes) {
    QFile file(path);
    if (QFileInfo(path).isSymLink() || !file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    const QByteArray zeros(64 * 1024, '\0');
    for (qint64 done = 0; done < bytes; done += zeros.size()) {
        if (file.write(zeros.constData(), std::min<qint64>(zeros.size(), bytes - done)) < 0) {
            file.remove();
            return false;
        }
    }
    return true;
}

namespace {

int writeAtomically(const QString& path, const QByteArray& bytes, bool /*durable*/ = true) {
    QSaveFile file(path);
    // Unbuffered, so that a short write (a full disk) shows in write()'s result: QSaveFile
    // would otherwise commit the truncated file.
    bool ok = file.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    if (ok && file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        ok = false;
    }
    ok = ok && file.commit();
    if (ok)
        return 0;
    return file.error() == QFileDevice::ResourceError ? ENOSPC : EIO;
}

} // namespace

bool removeStaleTemporary(const QString& path) {
    const QFileInfo info(path);
    return info.isFile() && !info.isSymLink() && QFile::remove(path);
}

#endif

bool writeBytes(const QString& path, const QByteArray& bytes, bool reportFailure) {
    const int error = writeAtomically(path, bytes);
    if (!reportFailure)
        return error == 0;
    if (error == 0) {
        failedWrites().remove(path);
        return true;
    }
    failedWrites().insert(path, {bytes, error});
    reportWriteFailure(path);
    return false;
}

int writeQuietly(const QString& path, const QByteArray& bytes) {
    return writeAtomically(path, bytes);
}

bool writeRegenerable(const QString& path, const QByteArray& bytes) {
    return writeAtomically(path, bytes, false) == 0;
}

bool writeLine(const QString& path, const QString& line) {
    return writeBytes(path, encodeGbk(line) + "\r\n");
}

} // namespace StateFile
