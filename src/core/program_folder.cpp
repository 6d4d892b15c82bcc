#include "core/program_folder.h"

#include "core/state_file.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <algorithm>

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
    const QDir stateDir(m_stateDir);
    // The state folder, and the folders of the layouts' key lessons in it: not a link to a
    // folder elsewhere, which holds nothing of ours.
    QStringList folders{QString()};
    for (const QString& name : stateDir.entryList({QStringLiteral("1-*")},
                                                  QDir::Dirs | QDir::NoSymLinks | QDir::Hidden)) {
        if (isStateName(name))
            folders << name;
    }
    int removed = 0;
    for (const QString& folder : std::as_const(folders)) {
        const QDir dir(stateDir.filePath(folder));
        const QString prefix = folder.isEmpty() ? QString() : folder + u'/';
        for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
            const QString target = StateFile::temporaryTarget(name);
            if (!target.isEmpty() && isStateName(prefix + target) &&
                StateFile::removeStaleTemporary(dir.filePath(name)))
                ++removed;
        }
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

// Matched by hand: every path the program asks for passes here, and a regular expression
// would bring its engine into memory for these few names.
bool ProgramFolder::isStateName(const QString& resourceName) {
    const QString clean = QDir::cleanPath(normalizedName(resourceName));
    QStringView name(clean);
    if (name.startsWith(u'/'))
        name = name.mid(1);
    const auto digit = [](QChar c) { return c >= u'0' && c <= u'9'; };
    // A layout's name: small letters, digits, "_" and "-".
    const auto layout = [digit](QStringView s) {
        return !s.isEmpty() && std::all_of(s.begin(), s.end(), [digit](QChar c) {
            return (c >= u'a' && c <= u'z') || digit(c) || c == u'_' || c == u'-';
        });
    };
    // A layout's own folder, 1-<layout>, and the files in it.
    if (name.startsWith(u"1-")) {
        const qsizetype slash = name.indexOf(u'/');
        if (slash < 0)
            return layout(name.mid(2));
        const QStringView file = name.mid(slash + 1);
        return layout(name.mid(2, slash - 2)) && !file.isEmpty() && !file.contains(u'/');
    }
    if (name.contains(u'/'))
        return false;
    for (const char* state : {"face.txt", "GameSet.txt", "new.txt", "history.db",
                              "history-pending.txt", "drill.txt", "layout.txt", "keyboard.txt"}) {
        if (name == QLatin1String(state))
            return true;
    }
    // sz0.txt, sz1.txt, sz1-yj.txt ...: "sz", a digit, anything, ".txt".
    if (name.size() >= 7 && name.startsWith(u"sz") && digit(name[2]) && name.endsWith(u".txt"))
        return true;
    // The keyboard pictures: "test", digits, "-" and a layout for all but the US one, "@", a
    // scale and "x" for a scaled screen, ".bmp".
    if (name.size() >= 9 && name.startsWith(u"test") && name.endsWith(u".bmp")) {
        QStringView middle = name.mid(4, name.size() - 8);
        const qsizetype at = middle.indexOf(u'@');
        if (at >= 0) {
            const QStringView scale = middle.mid(at + 1);
            const bool scaleOk = scale.size() >= 2 && scale.endsWith(u'x') &&
                                 digit(scale.front()) &&
                                 std::all_of(scale.begin(), scale.end() - 1,
                                             [digit](QChar c) { return digit(c) || c == u'.'; });
            if (!scaleOk)
                return false;
            middle = middle.left(at);
        }
        const qsizetype dash = middle.indexOf(u'-');
        const QStringView number = dash < 0 ? middle : middle.left(dash);
        return !number.isEmpty() && std::all_of(number.begin(), number.end(), digit) &&
               (dash < 0 || layout(middle.mid(dash + 1)));
    }
    return false;
}
