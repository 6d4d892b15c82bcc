#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

// Every file the program reads goes through these readers, and every state file it writes
// through writeLine or writeBytes. The folder is the learner's, and anything may sit in it: a FIFO,
// a link to a device or out of the folder, a file of gigabytes. So:
//  - a reader opens only regular files (checked before opening, opened without blocking and
//    checked again once open); anything else reads as a missing file;
//  - a reader reads at most `cap` bytes, the cap of the file's kind below, and says when it
//    cut the file short;
//  - a write replaces the entry in the folder itself, never the target of a link, and is
//    atomic: a failed write leaves the old file as it was.
//
// Usage for a new kind of file:
//   bool found = false, cut = false;
//   const QString text = StateFile::readText(path, &found, StateFile::kArticleCap, &cut);
//   const QStringList lines = StateFile::splitLines(text, {.maxLines = 3000}, &cut);
//   if (cut) ... show StateFile::cutNotice(fileName) in the window's message line.
namespace StateFile {

// Size caps, by kind of file.
constexpr qint64 kStateCap = 4 * 1024;          // one-line state files: sz*.txt, face.txt, ...
constexpr qint64 kListCap = 1024 * 1024;        // word lists, key lessons, game lists
constexpr qint64 kArticleCap = 1024 * 1024;     // articles
constexpr qint64 kSkinCap = 64 * 1024;          // .urf skins
constexpr qint64 kPictureCap = 8 * 1024 * 1024; // pictures a skin names
constexpr qint64 kSoundCap = 4 * 1024 * 1024;   // type.wav, error.wav

enum class ReadStatus {
    Missing,  // absent, not a regular file, or unreadable
    Complete, // the whole file
    Cut,      // the file is longer than the cap: the first `cap` bytes
};

struct ReadResult {
    QByteArray bytes;
    ReadStatus status = ReadStatus::Missing;
    bool found() const { return status != ReadStatus::Missing; }
    bool cut() const { return status == ReadStatus::Cut; }
};

// True when `path` names a regular file (a link is followed). A FIFO, a device, a folder or
// a socket is not one.
bool isRegularFile(const QString& path);

// The file's bytes, at most `cap` of them.
ReadResult readBytes(const QString& path, qint64 cap);

// First field of a line: leading blanks skipped; a field opening with a double quote runs to
// the next double quote and loses the quotes; otherwise it runs to the first comma or the end.
QString firstField(const QString& line);

// First field of the first line of the file; empty when the file is missing or unreadable.
QString readFirstField(const QString& path, bool* found = nullptr, qint64 cap = kStateCap);

// The whole file as text (GBK); empty when it cannot be read. `cut` is set when the file was
// longer than `cap` and only its beginning was read.
QString readText(const QString& path, bool* found = nullptr, qint64 cap = kListCap,
                 bool* cut = nullptr);

// Limits for splitting a text into lines.
struct LineLimits {
    int maxLines = 10000;
    int maxLineLength = 200;
};

// Splits at LF and CR LF in one pass (a lone CR stays in its line). Keeps the first
// `maxLines` lines and the first `maxLineLength` characters of each; `cut` is set when
// anything was left out. A text ending in a line break ends with an empty line.
QStringList splitLines(const QString& text, const LineLimits& limits = {}, bool* cut = nullptr);

// The one-line message a window shows when a file it reads was cut to fit the limits.
QString cutNotice(const QString& fileName);

// Writes `line` + CR LF in GBK, atomically: a failed write leaves the old file as it was.
bool writeLine(const QString& path, const QString& line);

// Writes `bytes` as the whole file, the same way as writeLine. A scratch file that the
// learner's place does not depend on passes `reportFailure` false.
bool writeBytes(const QString& path, const QByteArray& bytes, bool reportFailure = true);

// Writes `bytes` as writeBytes does, but reports nothing: 0, or the error that kept the file
// from being written (ENOSPC for a full disk).
int writeQuietly(const QString& path, const QByteArray& bytes);
// Whether a write that failed with `error` failed for want of room (a full disk, a quota), so
// that making room and writing again can mend it.
bool wantsRoom(int error);

// Makes `path` a file of `bytes` bytes that take their room on the disk, so that removing it
// frees that room for a write that must go through. Made in the folder itself, never through a
// link; false, and no file, when there is no room for it.
bool reserve(const QString& path, qint64 bytes);

// Writes a file that the program makes again whenever it is missing or damaged (a cache, the
// lessons built for a keyboard layout): atomically as writeBytes, but without waiting for the
// disk, and a failure is only returned.
bool writeRegenerable(const QString& path, const QByteArray& bytes);

// Called once, on the first write that fails (a folder that cannot be written, a full disk),
// with a one-line message for the user. Setting a new handler arms it again and forgets the
// failed writes below.
void setWriteFailureHandler(std::function<void(const QString& message)> handler);

// The writes that failed and were reported, each file's latest, till a later write of that
// file goes through. The program asks about them before it ends.
bool hasFailedWrites();
// True when every failed write failed for want of room (a full disk, a quota): making room
// and writing again can mend them. A folder in the file's place or a read-only folder cannot.
bool failedWritesMayPass();
// Writes each failed file again with its latest bytes; true when every one went through.
bool retryFailedWrites();

// A write works in a temporary file beside its target, ".<name>.XXXXXX", and renames it over
// the target; a program killed in between leaves it behind. Returns <name> for such a file
// name, else an empty string.
QString temporaryTarget(const QString& fileName);
// Removes `path` when it is a temporary file that no write is working in any more: a regular
// file, not a link, that no running copy of the program holds. True when it was removed.
bool removeStaleTemporary(const QString& path);

} // namespace StateFile
