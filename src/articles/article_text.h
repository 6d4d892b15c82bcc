#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

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
// a temporary folder in tests.
class ArticleFiles {
  public:
    virtual ~ArticleFiles() = default;
    // The article at `path`: relative to the program folder ("\text\lunch.txt") when
    // `relative`, else a full path. Nothing when it cannot be read.
    virtual std::optional<QByteArray> readArticle(const QString& path, bool relative) = 0;
    virtual bool writeScratch(const QByteArray& bytes) = 0;
};

// The program folder's files. A relative article path must stay inside the folder "text"
// (no link leads out of it); an article is a regular file, read up to its last whole line
// within kMaxArticleBytes.
class FolderArticleFiles : public ArticleFiles {
  public:
    static constexpr qint64 kMaxArticleBytes = 4 * 1024 * 1024;

    explicit FolderArticleFiles(QString folder) : m_folder(std::move(folder)) {}
    std::optional<QByteArray> readArticle(const QString& path, bool relative) override;
    bool writeScratch(const QByteArray& bytes) override;

  private:
    QString m_folder;
};
