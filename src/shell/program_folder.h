#pragma once

#include <QString>

// The folder that holds the executable. Every resource name ("\sz1.txt", "\2\Lesson 1.txt")
// is appended to it; back-slashes become the platform's separator.
class ProgramFolder {
  public:
    explicit ProgramFolder(QString dir = QString());

    static ProgramFolder ofExecutable();

    const QString& dir() const { return m_dir; }
    QString path(const QString& resourceName) const;

    // Looks a file up in the folder without regard to letter case, so that the name
    // "pixos.urf" finds "PixOS.urf" on a case-sensitive file system. Returns the path of
    // the exact match when there is one, else of a case-insensitive match, else path(name).
    QString findFile(const QString& resourceName) const;

  private:
    QString m_dir;
};
