#pragma once

#include <QString>

// The folder that holds the executable. Every resource name ("\sz1.txt", "\2\Lesson 1.txt")
// is appended to it; back-slashes become the platform's separator.
//
// The files the program rewrites as it is used (face.txt, sz*.txt, GameSet.txt, new.txt,
// the keyboard pictures, the history, the keyboard layout and its key lessons) live in the
// state folder. That is the program folder itself when this user may write to it (the build
// tree, a portable copy); for an installed copy it is the user's own data folder, so each user
// keeps their own place.
class ProgramFolder {
  public:
    explicit ProgramFolder(QString dir = QString(), QString stateDir = QString());

    // Decides once where the state lives, for the folder of the running executable.
    static ProgramFolder ofExecutable();

    // The folder `dir` keeps its own state when `dirWritable`; otherwise the state goes to
    // `userDataDir`, which is created and given the defaults shipped in `dir` that it lacks.
    // Falls back to `dir` when `userDataDir` cannot be created.
    static ProgramFolder choose(const QString& dir, bool dirWritable, const QString& userDataDir);

    const QString& dir() const { return m_dir; }
    const QString& stateDir() const { return m_stateDir; }

    // The path of a resource; names of state files resolve in the state folder.
    QString path(const QString& resourceName) const;

    // Looks a file up in the folder without regard to letter case, so that the name
    // "pixos.urf" finds "PixOS.urf" on a case-sensitive file system. Returns the path of
    // the exact match when there is one, else of a case-insensitive match, else path(name).
    QString findFile(const QString& resourceName) const;

    // True for the files the program writes: top-level face.txt, sz*.txt, GameSet.txt,
    // new.txt, test*.bmp, history.db, history-pending.txt, drill.txt, layout.txt and
    // keyboard.txt, and the key lessons built for a layout, in 1-<layout>/.
    static bool isStateName(const QString& resourceName);

    // Removes the temporary files that writes of state files left in the state folder, and in
    // the layouts' folders 1-<layout> in it, when the program was killed in the middle of
    // them; returns how many.
    int removeStaleTemporaries() const;

  private:
    QString m_dir;
    QString m_stateDir;
};
