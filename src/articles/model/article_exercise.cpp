#include "articles/model/article_exercise.h"

#include "articles/model/article_catalogue.h"
#include "core/key_codes.h"
#include "core/number_parse.h"
#include "core/state_file.h"

#include <QFileInfo>

#include <cmath>

const QString ArticleExercise::kPromptTitle = QStringLiteral("Prompt");
const QString ArticleExercise::kEndQuestion =
    QStringLiteral("You have finished the exercise of the selected articles, continue to choose "
                   "other training courses?\r\n\r\n\r\n          ");
const QString ArticleExercise::kNotice = QStringLiteral("Last article\uFF01");
const QString ArticleExercise::kOptionalCaption =
    QStringLiteral("Article practice --- Optional article");
const QString ArticleExercise::kBackspaceMark = QStringLiteral("backspace");
const QString ArticleExercise::kSpaceMark = QStringLiteral("Kpace");

namespace {
const QString kCaptionPrefix = QStringLiteral("Article practice --- ");
const QString kNotText = QStringLiteral("This file is not a text file.");
const QString kEmpty = QStringLiteral("This article is empty.");
const QString kUnreadable = QStringLiteral("This article could not be opened.");
} // namespace

ArticleExercise::ArticleExercise(ArticleFiles& files, QObject* parent)
    : PracticeModel(parent), m_files(files) {
    m_articleLines = ArticleText::displayLines(QString());
}

// --- loading -------------------------------------------------------------------------------

QString ArticleExercise::caption() const {
    return m_articlePathRelative ? kCaptionPrefix + m_articleTitle : kOptionalCaption;
}

Articles::Sz2 ArticleExercise::state() const {
    Articles::Sz2 s;
    s.keystrokeSound = m_keystrokeSound;
    s.articleTitle = m_articleTitle;
    return s;
}

void ArticleExercise::openArticle(const QString& path, bool relative) {
    m_articlePath = path;
    m_articlePathRelative = relative;
    m_articleLines.clear(); // a file that cannot be read shows nothing of the last article
    m_nextLine = 0;
    m_lineNumber = 2;
    loadtext();
}

// The first page of the article just opened, the notice gone and only "Next" to turn to.
void ArticleExercise::showOpenedArticle() {
    m_noticeVisible = false;
    m_previousEnabled = false;
    m_nextEnabled = true;
    geng();
    display(ArticleUpdate::Article | ArticleUpdate::Buttons);
}

void ArticleExercise::restore(const Articles::Sz2& state) {
    const Batch batch(this);
    m_keystrokeSound = state.keystrokeSound;
    openCatalogueArticle(state.articleTitle);
}

void ArticleExercise::openCatalogueArticle(const QString& title) {
    const Batch batch(this);
    requestMeterReset();
    const QString first = ArticleCatalogue::titles().first();
    m_articleTitle = ArticleCatalogue::isSafeTitle(title) ? title : first;
    setPageNumber(1);
    openArticle(Articles::articleResource(m_articleTitle), true);
    if (m_pageMessage == kUnreadable && m_articleTitle != first) {
        // A saved title whose file is gone: the first article instead.
        m_articleTitle = first;
        openArticle(Articles::articleResource(m_articleTitle), true);
    }
    showOpenedArticle();
}

void ArticleExercise::openFile(const QString& path) {
    const Batch batch(this);
    requestMeterReset();
    if (!path.isEmpty()) {
        openArticle(path, false);
        setPageNumber(1);
        showOpenedArticle();
    }
}

void ArticleExercise::setKeystrokeSound(bool on) {
    const Batch batch(this);
    if (m_keystrokeSound == on)
        return;
    m_keystrokeSound = on;
    display(ArticleUpdate::Article);
}

void ArticleExercise::loadtext() {
    const StateFile::ReadResult file = m_files.readArticle(m_articlePath, m_articlePathRelative);
    if (file.found()) {
        QStringList lines;
        if (ArticleText::looksBinary(file.bytes)) {
            m_pageMessage = kNotText;
        } else {
            lines = ArticleText::splitLines(ArticleText::decode(file.bytes));
            m_pageMessage = lines.join(QString()).trimmed().isEmpty() ? kEmpty : QString();
        }
        setFileNotice(file.cut() ? StateFile::cutNotice(fileName()) : QString());
        // The page comes from the text itself; a scratch file that cannot be written
        // costs nothing on screen.
        m_files.writeScratch(ArticleText::scratchBytes(lines));
        m_articleLines = ArticleText::displayLines(lines.join(QString()));
    } else if (m_articleLines.isEmpty()) {
        m_pageMessage = kUnreadable;
        setFileNotice(QString());
        m_articleLines = ArticleText::displayLines(QString());
    }
    // Otherwise a page turn could not re-read the file: the lines already loaded stay.

    clearPage();
    m_pageFirstLine = m_nextLine;
    m_nextLine += kRows;
    m_column = 1;
    m_pageRow = kFirstRow;
}

QString ArticleExercise::fileName() const {
    if (m_articlePathRelative)
        return m_articleTitle + QStringLiteral(".txt");
    return QFileInfo(m_articlePath).fileName();
}

void ArticleExercise::setFileNotice(const QString& notice) {
    if (notice == m_fileNotice)
        return;
    m_fileNotice = notice;
    display(ArticleUpdate::Article);
}

// --- the page ------------------------------------------------------------------------------

QString ArticleExercise::pageLine(int row) const {
    const int index = m_pageFirstLine + row - kFirstRow;
    if (row < kFirstRow || row > kLastRow || index > ArticleText::kLastLineIndex)
        return QString();
    return m_articleLines.value(index);
}

const ArticleExercise::Cell& ArticleExercise::cell(int column, int row) const {
    static const Cell empty;
    if (column < 1 || column > kColumns || row < kFirstRow || row > kLastRow)
        return empty;
    return m_cells[row - kFirstRow][column - 1];
}

void ArticleExercise::clearPage() {
    for (auto& row : m_cells)
        row.fill(Cell());
    m_caretVisible = false;
    display(ArticleUpdate::Page);
}

void ArticleExercise::setCell(int column, int row, const QString& text, Ink ink) {
    if (column < 1 || column > kColumns || row < kFirstRow || row > kLastRow)
        return;
    m_cells[row - kFirstRow][column - 1] = Cell{text, ink};
    display(ArticleUpdate::Cells);
    m_changedCells.append(QPoint(column, row));
}

// The whole cell goes, whatever it holds.
void ArticleExercise::eraseCell(int column, int row) {
    if (cell(column, row).ink != Ink::None)
        setCell(column, row, QString(), Ink::None);
}

void ArticleExercise::showCaret(int column, int row) {
    const QPoint at(column, row);
    if (m_caretVisible && m_caretCell == at)
        return;
    eraseCaret();
    m_caretCell = at;
    m_caretVisible = true;
    display(ArticleUpdate::Cells);
    m_changedCells.append(at);
}

void ArticleExercise::eraseCaret() {
    if (!m_caretVisible)
        return;
    m_caretVisible = false;
    display(ArticleUpdate::Cells);
    m_changedCells.append(m_caretCell);
}

void ArticleExercise::geng() {
    display(ArticleUpdate::Cursor);
}

QString ArticleExercise::characterAt(const QString& line, int column) const {
    return column >= 1 ? line.mid(column - 1, 1) : QString();
}

// --- counters ------------------------------------------------------------------------------

void ArticleExercise::setKeyRecord(const QString& record) {
    if (record == m_keyRecord)
        return;
    m_keyRecord = record;
    // Every change of the record starts the clock.
    m_clockRunning = true;
    display(ArticleUpdate::Meters);
}

void ArticleExercise::setPageNumber(int number) {
    if (number == m_pageNumber)
        return;
    m_pageNumber = number;
    if (number >= 2)
        m_previousEnabled = true;
    display(ArticleUpdate::Buttons);
}

void ArticleExercise::updateAccuracy() {
    if (m_keyRecord.isEmpty()) {
        m_accuracyText = QStringLiteral("0 %");
    } else {
        const double ones = double(m_keyRecord.count(u'1'));
        const auto value = static_cast<long long>(std::floor(ones / m_keyRecord.size() * 100));
        m_accuracyText = QString::number(value) + QStringLiteral(" %");
    }
    display(ArticleUpdate::Meters);
}

void ArticleExercise::requestMeterReset() {
    display(ArticleUpdate::MeterReset);
}

void ArticleExercise::meterReset() {
    const Batch batch(this);
    resettingCounters();
    m_clock.reset();
    m_keyRecord.clear();
    m_speedText = QStringLiteral("0 WPM");
    m_tickCount = 0;
    m_clockRunning = false;
    m_accuracyText = QStringLiteral("0 %");
    display(ArticleUpdate::Meters);
}

void ArticleExercise::clockTick() {
    const Batch batch(this);
    if (!m_clockRunning)
        return;
    ++m_tickCount;
    ++m_phase;
    if (m_phase == 2) {
        m_phase = 0;
        m_clock.addSecond();
    }
    // One tick is half a second, so this is characters per minute, always even.
    const double perMinute = double(m_keyRecord.size()) / m_tickCount * 60;
    m_speedText =
        QString::number(2 * static_cast<long long>(std::floor(perMinute))) + QStringLiteral(" WPM");
    display(ArticleUpdate::Meters);
}

void ArticleExercise::blinkTick() {
    const Batch batch(this);
    ++m_blinkCount;
    if (m_blinkCount != 2) {
        showCaret(m_column, m_pageRow);
    } else {
        eraseCaret();
        m_blinkCount = 0;
    }
}

// --- keystrokes ----------------------------------------------------------------------------

void ArticleExercise::keyPress(int keyAscii) {
    const Batch batch(this);
    if (keyAscii == KeyCode::Backspace) {
        keystroke();
        m_typedText.clear();
        m_lastKeyMark = kBackspaceMark;
        tof();
    } else if (keyAscii == KeyCode::Space) {
        m_lastKeyMark = kSpaceMark;
    }
}

void ArticleExercise::textChanged(const QString& text) {
    const Batch batch(this);
    keystroke();
    if (text.isEmpty())
        return;
    m_typedText = text;
    tof();
}

void ArticleExercise::tof() {
    const QString line = m_articleLines.value(m_lineNumber - 2);
    const QString fill(ArticleText::kFill);

    bool backspace = false;
    if (m_lastKeyMark == kBackspaceMark) {
        backspace = true;
        m_lastKeyMark = QStringLiteral(" ");
    }

    // Space past the end of the text: the run ends, and the question offers another article.
    if (m_lastKeyMark == kSpaceMark && characterAt(line, m_column) == fill &&
        characterAt(line, m_column + 1) == fill && characterAt(line, m_column + 2) == fill &&
        !m_typingOnAtEnd) {
        runEnded();
        message(kPromptTitle, kEndQuestion, true);
        m_spaceAtEnd = true;
        return;
    }

    if (m_keystrokeSound)
        sound(PracticeSound::Keystroke);
    eraseCaret();

    const QString expected = characterAt(line, m_column);
    // The fill past a line's end is no character of the text: typing there is not judged.
    if (!backspace && !expected.isEmpty() && expected != fill)
        judged(m_layout.codeOf(expected.front()), m_typedText == expected, expected.front());
    if (!backspace && m_typedText == expected) {
        setKeyRecord(m_keyRecord + u'1');
        setCell(m_column, m_pageRow, m_typedText, Ink::Match);
    } else if (backspace) {
        if (!m_keyRecord.isEmpty())
            setKeyRecord(m_keyRecord.chopped(1));
        eraseCell(m_column - 1, m_pageRow);
        if (m_pageRow == kFirstRow && m_column == 1 && m_lineNumber == 2) {
            showCaret(m_column, m_pageRow);
            return;
        }
        --m_column;
    } else {
        setKeyRecord(m_keyRecord + u'0');
        setCell(m_column, m_pageRow, m_typedText, Ink::Mismatch);
        if (m_typedText != u" " && m_typedText != fill && m_keystrokeSound)
            sound(PracticeSound::Error);
    }

    if (!backspace)
        ++m_column;

    // Wrap, down to the last display line; there the cursor stays in the last column.
    if (m_column > kColumns) {
        if (m_lineNumber - 2 < ArticleText::kLastLineIndex) {
            m_column = 1;
            ++m_pageRow;
            ++m_lineNumber;
        } else {
            m_column = kColumns;
        }
    }

    // Back over a line start.
    if (m_column == 0 && m_lineNumber >= 3) {
        --m_pageRow;
        m_column = kColumns;
        --m_lineNumber;
        eraseCell(kColumns, m_pageRow);
        if (m_pageRow == 1 && m_nextLine > 11) {
            m_nextLine -= 12;
            loadtext();
            m_column = kColumns;
            m_pageRow = kLastRow;
            showCaret(m_column, m_pageRow);
            if (m_pageNumber != 1)
                setPageNumber(m_pageNumber - 1);
            geng();
            return;
        }
    }
    m_column = qMax(m_column, 1);
    m_pageRow = qMax(m_pageRow, int(kFirstRow));

    // Forward a page.
    if (m_pageRow > kLastRow) {
        setPageNumber(m_pageNumber + 1);
        loadtext();
    }

    geng();
    showCaret(m_column, m_pageRow);
    updateAccuracy();
}

// --- page turns ----------------------------------------------------------------------------

void ArticleExercise::pageTurn(int index) {
    const bool next = index == 1;
    m_clockRunning = false;
    display(ArticleUpdate::Meters);
    if (!next) {
        m_noticeVisible = false;
        display(ArticleUpdate::Buttons);
    } else if (m_noticeVisible) {
        return;
    }

    const int r = (m_lineNumber - 2) % kRows;
    if (next) {
        const int target = m_lineNumber + kRows - r;
        // Never past the page that holds the last display line.
        if ((r != 0 || m_lineNumber < 365) && target - 2 <= ArticleText::kLastLineIndex)
            m_lineNumber = target;
    } else {
        if (m_lineNumber <= 7)
            return;
        m_lineNumber = m_lineNumber - kRows - r;
    }

    if (!next) {
        if (m_pageNumber != 1)
            setPageNumber(m_pageNumber - 1);
    } else {
        setPageNumber(m_pageNumber + 1);
    }
    if (m_pageNumber > kNoticePage)
        m_noticeVisible = true;

    m_nextLine = (m_lineNumber / kRows) * kRows;
    loadtext();
    showCaret(1, kFirstRow);
    geng();
}

void ArticleExercise::previousPage() {
    const Batch batch(this);
    pageTurn(0);
    m_nextEnabled = true;
    if (m_pageNumber == 1)
        m_previousEnabled = false;
    display(ArticleUpdate::Buttons);
}

void ArticleExercise::nextPage() {
    const Batch batch(this);
    m_previousEnabled = true;
    pageTurn(1);
    const int after = m_lineNumber + 4;
    const QString first = after <= ArticleText::kLastLineIndex ? m_articleLines.value(after).left(1)
                                                               : QString(ArticleText::kFill);
    if (first == QString(ArticleText::kFill))
        m_nextEnabled = false;
    display(ArticleUpdate::Buttons);
}

RunTotals ArticleExercise::totals() const {
    return {m_tickCount / 2, m_keyRecord.size(), m_keyRecord.count(u'0'), valInt(m_speedText),
            valInt(m_accuracyText)};
}

void ArticleExercise::messageAnswered(bool ok) {
    const Batch batch(this);
    if (!std::exchange(m_spaceAtEnd, false))
        return;
    if (ok) {
        display(ArticleUpdate::OpenChooser);
        return;
    }
    m_typingOnAtEnd = true;
    tof();
    m_typingOnAtEnd = false;
}

void ArticleExercise::reporting() {
    m_reportedCells = std::exchange(m_changedCells, {});
}
