#include "shell/program_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

ProgramFolder::ProgramFolder(QString dir) : m_dir(std::move(dir)) {
    while (m_dir.size() > 1 && (m_dir.endsWith(u'/') || m_dir.endsWith(u'\\')))
        m_dir.chop(1);
}

ProgramFolder ProgramFolder::ofExecutable() {
    return ProgramFolder(QCoreApplication::applicationDirPath());
}

QString ProgramFolder::path(const QString& resourceName) const {
    QString name = resourceName;
    name.replace(u'\\', u'/');
    if (!name.startsWith(u'/'))
        name.prepend(u'/');
    return QDir::cleanPath(m_dir + name);
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
