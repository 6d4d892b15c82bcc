#pragma once

#include "core/program_folder.h"
#include "core/state_file.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// The article loader's formats: an article file read as lines, the scratch file new.txt
// written from them, and the display lines of 62 characters cut from the joined text.
namespace ArticleText {

inline constexpr QChar kFill = QChar(0x3000); // the ideographic space, A1 A1 in GBK
inline constexpr int kFillRunLength = 96;
inline constexpr int kLineWidth = 62;
inline constexpr int kMaxFileLines = 500;
inline constexpr int kMaxDisplayLines = 500;
inline constexpr int kLastLineIndex = 500; // articleLines holds indices 0 to 500

QString fillRun();

// An article file's text: UTF-8 when the bytes are valid UTF-8 (a byte-order mark is dropped),
// otherwise GBK, the program's code page.
QString decode(const QByteArray& bytes);

// A file with NUL bytes is not a text file.
bool looksBinary(const QByteArray& bytes);

// The beginning of an article cut short at a size cap, trimmed to what it holds whole: up to
// its last line break, or, in a single line, without the character cut in two at its end
// (UTF-8, or GBK when the bytes are not UTF-8).
QByteArray wholePart(const QByteArray& cutBytes);

// The file's lines without their breaks (CR LF, LF or CR), at most `maxLines`.
QStringList splitLines(const QString& text, int maxLines = kMaxFileLines);

// GBK bytes of `text`; a character GBK cannot hold becomes "?".
QByteArray encodeGbkLossy(const QString& text);

// new.txt: the lines joined with nothing between them, the fill run, CR LF.
QByteArray scratchBytes(const QStringList& lines);

// articleLines: display line k holds characters 62k+1 to 62k+62 of the joined text, the
// line holding its end is filled up with fill characters, and at least one line of fill
// characters follows; lines past the last one read hold the fill run. Always 501 entries.
QStringList displayLines(const QString& joined);

} // namespace ArticleText

// Where the article model gets its files from. The program folder on disk in the program,
// memory in tests.
class ArticleFiles {
  public:
    virtual ~ArticleFiles() = default;
    // The article at `path`: relative to the program folder ("\text\lunch.txt") when
    // `relative`, else a full path. Missing when it cannot be read; cut when only its
    // beginning could be read.
    virtual StateFile::ReadResult readArticle(const QString& path, bool relative) = 0;
    virtual bool writeScratch(const QByteArray& bytes) = 0;
};

// The program folder's files, through the shared reader and writer. A relative article path
// must stay inside the folder "text" (no link leads out of it); an article is a regular file,
// read up to its last whole line within `cap` bytes. new.txt is written in the state folder
// and replaces the entry there, never the target of a link.
class FolderArticleFiles : public ArticleFiles {
  public:
    explicit FolderArticleFiles(ProgramFolder folder, qint64 cap = StateFile::kArticleCap)
        : m_folder(std::move(folder)), m_cap(cap) {}
    StateFile::ReadResult readArticle(const QString& path, bool relative) override;
    bool writeScratch(const QByteArray& bytes) override;

  private:
    ProgramFolder m_folder;
    qint64 m_cap;
};
