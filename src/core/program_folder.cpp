#include "core/program_folder.h"

#include "core/state_file.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace {

QString withoutTrailingSeparators(QString dir) {
    while (dir.size() > 1 && (dir.endsWith(u'/') || dir.endsWith(u'\\')))
        dir.chop(1);
    return dir;
}

QString normalizedName(const QString& resourceName) {
    QString name = resourceName;
    name.replace(u'\\', u'/');
    if (!name.startsWith(u'/'))
        name.prepend(u'/');
    return name;
}

// The largest shipped default of `name` that is copied, or -1 for a file that is never
// copied: the practice history and the runs waiting for it are the learner's own, so a new
// user starts with none, and the keyboard pictures are drawn for this user's screen.
qint64 seedCap(const QString& name) {
    if (name == QLatin1String("history.db") || name == QLatin1String("history-pending.txt") ||
        name.endsWith(QLatin1String(".bmp")))
        return -1;
    return name == QLatin1String("new.txt") ? StateFile::kArticleCap : StateFile::kStateCap;
}

// Copies the state files shipped in `dir` that `stateDir` does not have yet. A learner's
// own files are never replaced. Each default is read as every state file is: a regular file
// within the cap of its kind, else it is not copied. The copies are the user's to rewrite,
// whatever the permissions of the shipped files.
void seedState(const QDir& dir, const QDir& stateDir) {
    const QStringList shipped = dir.entryList(QDir::Files | QDir::NoSymLinks);
    for (const QString& name : shipped) {
        if (!ProgramFolder::isStateName(name))
            continue;
        const qint64 cap = seedCap(name);
        if (cap < 0)
            continue;
        const QString target = stateDir.filePath(name);
        if (QFileInfo::exists(target) || QFileInfo(target).isSymLink())
            continue;
        const StateFile::ReadResult defaults = StateFile::readBytes(dir.filePath(name), cap);
        if (defaults.status == StateFile::ReadStatus::Complete)
            StateFile::writeBytes(target, defaults.bytes, false);
    }
}

// Whether this user can create files in `dir`, as every state write does. Trying it is the one
// answer that holds for permission bits, access lists and read-only mounts alike.
bool canCreateFilesIn(const QString& dir) {
    QTemporaryFile probe(dir + QStringLiteral("/.zephkin-probe-XXXXXX"));
    return probe.open();
}

} // namespace

ProgramFolder::ProgramFolder(QString dir, QString stateDir)
    : m_dir(withoutTrailingSeparators(std::move(dir))),
      m_stateDir(stateDir.isEmpty() ? m_dir : withoutTrailingSeparators(std::move(stateDir))) {}

ProgramFolder ProgramFolder::ofExecutable() {
    const QString dir = QCoreApplication::applicationDirPath();
    return choose(dir, canCreateFilesIn(dir),
                  QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
}

ProgramFolder ProgramFolder::choose(const QString& dir, bool dirWritable,
                                    const QString& userDataDir) {
    if (dirWritable || userDataDir.isEmpty() || !QDir().mkpath(userDataDir))
        return ProgramFolder(dir);
    seedState(QDir(dir), QDir(userDataDir));
    return ProgramFolder(dir, userDataDir);
}

int ProgramFolder::removeStaleTemporaries() const {
    const QDir folder(m_stateDir);
    int removed = 0;
    for (const QString& name : folder.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        const QString target = StateFile::temporaryTarget(name);
        if (!target.isEmpty() && isStateName(target) &&
            StateFile::removeStaleTemporary(folder.filePath(name)))
            ++removed;
    }
    return removed;
}

QString ProgramFolder::path(const QString& resourceName) const {
    const QString name = normalizedName(resourceName);
    return QDir::cleanPath((isStateName(name) ? m_stateDir : m_dir) + name);
}

QString ProgramFolder::findFile(const QString& resourceName) const {
    const QString exact = path(resourceName);
    if (QFileInfo::exists(exact))
        return exact;
    const QFileInfo info(exact);
    const QDir dir = info.dir();
    const QStringList entries = dir.entryList(QDir::Files | QDir::Hidden);
    for (const QString& entry : entries) {
        if (entry.compare(info.fileName(), Qt::CaseInsensitive) == 0)
            return dir.filePath(entry);
    }
    return exact;
}

bool ProgramFolder::isStateName(const QString& resourceName) {
    static const QRegularExpression state(
        QStringLiteral("^/?(face\\.txt|sz\\d[^/]*\\.txt|GameSet\\.txt|new\\.txt|"
                       "test\\d+(-[a-z0-9_-]+)?\\.bmp|history\\.db|history-pending\\.txt|drill\\.txt|"
                       "layout\\.txt|keyboard\\.txt|1-[a-z0-9_-]+(/[^/]+)?)$"));
    return state.match(QDir::cleanPath(normalizedName(resourceName))).hasMatch();
}
