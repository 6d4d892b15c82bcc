#pragma once

// A small disk of a test's own, to fill up and free again: a tmpfs mounted in a mount
// namespace private to the test (so no one else on the machine sees it). Mounting needs the
// right to (root, or a user namespace that allows it); without it available() is false and
// why() says so in one line, for the test to skip with.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

class SmallDisk {
  public:
    explicit SmallDisk(qint64 bytes) {
        if (!privateMounts()) {
            m_why = QStringLiteral("no mount namespace of our own (%1)").arg(privateMountsError());
            return;
        }
        const QByteArray options = "size=" + QByteArray::number(bytes) + ",mode=0755";
        if (::mount("tmpfs", QFile::encodeName(m_point.path()).constData(), "tmpfs",
                    MS_NOSUID | MS_NODEV, options.constData()) != 0) {
            m_why = QStringLiteral("cannot mount a tmpfs (%1)").arg(QString::fromLocal8Bit(
                                                                     std::strerror(errno)));
            return;
        }
        m_mounted = true;
    }
    ~SmallDisk() {
        if (m_mounted)
            ::umount2(QFile::encodeName(m_point.path()).constData(), MNT_DETACH);
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool available() const { return m_mounted; }
    QString why() const { return m_why; }
    QString path() const { return m_point.path(); }
    QString filePath(const QString& name) const { return m_point.filePath(name); }

    // Takes every free byte, as another program filling the disk would.
    void fill() {
        const int fd = ::open(QFile::encodeName(filePath(".filler")).constData(),
                              O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
        const QByteArray chunk(4096, 'f');
        while (fd >= 0 && ::write(fd, chunk.constData(), size_t(chunk.size())) > 0) {
        }
        // The last partial page too.
        while (fd >= 0 && ::write(fd, "f", 1) > 0) {
        }
        if (fd >= 0)
            ::close(fd);
    }
    void makeRoom() { QFile::remove(filePath(".filler")); }

  private:
    // Once a process: this thread's mounts become its own, and none of them is shared back.
    static bool privateMounts() {
        static const int error = [] {
            if (::unshare(CLONE_NEWNS) != 0)
                return errno;
            if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
                return errno;
            return 0;
        }();
        privateMountsError() = QString::fromLocal8Bit(std::strerror(error));
        return error == 0;
    }
    static QString& privateMountsError() {
        static QString text;
        return text;
    }

    QTemporaryDir m_point;
    bool m_mounted = false;
    QString m_why;
};
