#pragma once

// Shared bits of the fuzz targets: a scratch folder, and a check that stops the run.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

namespace Fuzz {

// A folder that lives as long as the fuzzing process; in memory where there is such a place,
// since a disk makes the file readers twenty times slower.
inline const QString& scratch() {
    static QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists()
                                 ? QStringLiteral("/dev/shm/zephkin-fuzz-XXXXXX")
                                 : QDir::tempPath() + QStringLiteral("/zephkin-fuzz-XXXXXX"));
    static const QString path = dir.path();
    return path;
}

inline void put(const QString& path, const uint8_t* data, size_t size) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(reinterpret_cast<const char*>(data), qint64(size));
}

// A broken promise of the code under test: reported as a crash, so libFuzzer keeps the input.
inline void check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "check failed: %s\n", what);
        std::abort();
    }
}

} // namespace Fuzz
