// The article loader on any file: read through the shared reader with a small cap (so that
// cutting shows up), decoded, split into lines, written to new.txt and cut into display lines.
// The input: one byte choosing the cap and the way the file is opened, then the file.

#include "articles/model/article_exercise.h"
#include "fuzz_support.h"

namespace {

// A display line is 62 cells; past the text read, a line may be the fill run.
void checkLine(const QString& line) {
    Fuzz::check(line.size() == ArticleText::kLineWidth || line == ArticleText::fillRun(),
                "a display line is 62 cells");
    for (const QChar c : line)
        Fuzz::check(!c.isSurrogate() && c.unicode() >= 0x20 && c.unicode() != 0x7f,
                    "a display cell holds one printable character");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1)
        return 0;
    static const QString folder = [] {
        QDir(Fuzz::scratch()).mkpath(QStringLiteral("text"));
        return Fuzz::scratch();
    }();
    const qint64 cap = 16 + qint64(data[0] >> 1) * 32; // 16 to 4080 bytes
    const bool optional = data[0] & 1;
    const QByteArray file(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    const QString path = folder + QStringLiteral("/text/lunch.txt");
    const QString scratchPath = folder + QStringLiteral("/new.txt");
    Fuzz::put(path, data + 1, size - 1);
    QFile::remove(scratchPath);

    FolderArticleFiles files(ProgramFolder(folder), cap);
    ArticleExercise e(files);
    if (optional)
        e.openFile(path);
    else
        e.restore(Articles::Sz2::parse(QStringLiteral("0lunch")));
    Fuzz::check(e.articleTitle() == QStringLiteral("lunch") || optional, "the article opens");

    const bool cut = file.size() > cap;
    Fuzz::check(e.fileNotice().isEmpty() != cut, "a cut file says so, and only then");
    if (cut) {
        const QByteArray read = file.left(qsizetype(cap));
        const QByteArray kept = ArticleText::wholePart(read);
        Fuzz::check(read.startsWith(kept), "what is kept is the beginning of what was read");
        const bool hasBreak = read.contains('\n') || read.contains('\r');
        Fuzz::check(!hasBreak || kept.endsWith('\n') || kept.endsWith('\r'),
                    "a cut file keeps whole lines");
        Fuzz::check(hasBreak || read.size() - kept.size() <= 3, "one line loses one character");
    }

    const QStringList& lines = e.articleLines();
    Fuzz::check(lines.size() == ArticleText::kLastLineIndex + 1, "articleLines has 501 entries");
    for (const QString& line : lines)
        checkLine(line);
    Fuzz::check(e.pageLine(ArticleExercise::kFirstRow) == lines[0], "page 1 starts the article");

    // new.txt: the article's lines joined without breaks, then the fill run and CR LF.
    const StateFile::ReadResult scratch = StateFile::readBytes(scratchPath, 64 * 1024);
    Fuzz::check(scratch.status == StateFile::ReadStatus::Complete, "new.txt is written whole");
    Fuzz::check(scratch.bytes.endsWith(QByteArray(2 * ArticleText::kFillRunLength, '\xA1') +
                                       "\r\n"),
                "new.txt ends with the fill run and CR LF");
    const QByteArray body = scratch.bytes.chopped(2 * ArticleText::kFillRunLength + 2);
    Fuzz::check(!body.contains('\r') && !body.contains('\n'), "new.txt holds no line break");
    return 0;
}
