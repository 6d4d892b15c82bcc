// The Article practice exercise driven by random keystrokes, Backspace, pastes, page turns and
// timer ticks. The input is an article, a zero byte, then one byte per action.

#include "articles/model/article_exercise.h"
#include "core/key_codes.h"
#include "fuzz_support.h"

namespace {

class MemoryFiles : public ArticleFiles {
  public:
    explicit MemoryFiles(QByteArray article) : m_article(std::move(article)) {}
    StateFile::ReadResult readArticle(const QString&, bool) override {
        return {m_article, StateFile::ReadStatus::Complete};
    }
    bool writeScratch(const QByteArray&) override { return true; }

  private:
    QByteArray m_article;
};

void type(ArticleExercise& e, const QString& text) {
    if (text == u" ")
        e.keyPress(KeyCode::Space);
    e.textChanged(text);
}

void checkState(const ArticleExercise& e) {
    Fuzz::check(e.column() >= 1 && e.column() <= ArticleExercise::kColumns, "column is 1-62");
    Fuzz::check(e.pageRow() >= ArticleExercise::kFirstRow &&
                    e.pageRow() <= ArticleExercise::kLastRow,
                "pageRow is 2-7");
    Fuzz::check(e.lineNumber() >= 2 && e.lineNumber() - 2 <= ArticleText::kLastLineIndex,
                "lineNumber names a display line");
    Fuzz::check(e.pageNumber() >= 1 && e.nextLine() >= 0, "page counters never go below 1 and 0");
    Fuzz::check(e.articleLines().size() == ArticleText::kLastLineIndex + 1,
                "articleLines has 501 entries");
    for (const QChar c : e.keyRecord())
        Fuzz::check(c == u'0' || c == u'1', "keyRecord holds only 0 and 1");
    Fuzz::check(!e.speedText().startsWith(u'-') && !e.accuracyText().startsWith(u'-') &&
                    !e.clockText().contains(u'-'),
                "meters never go negative");
    const QPoint caret = e.caretCell();
    Fuzz::check(caret.x() >= 1 && caret.x() <= ArticleExercise::kColumns &&
                    caret.y() >= ArticleExercise::kFirstRow &&
                    caret.y() <= ArticleExercise::kLastRow,
                "the caret stays on the page");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const qsizetype split = bytes.indexOf('\0');
    if (split < 0)
        return 0;
    MemoryFiles files(bytes.left(split));
    ArticleExercise e(files);
    bool answer = false;
    QObject::connect(&e, &PracticeModel::changed, [&e, &answer](const ModelEvents& events) {
        if (events.message && events.message->asks)
            e.messageAnswered(answer);
    });
    e.restore(Articles::Sz2::parse(QStringLiteral("1lunch")));
    checkState(e);
    const QByteArray actions = bytes.mid(split + 1);
    for (qsizetype i = 0; i < actions.size(); ++i) {
        const uint8_t a = uint8_t(actions[i]);
        const int arg = a / 12;
        switch (a % 12) {
        case 0:
        case 1:
        case 2: // the character the cursor is under, whatever it is
            type(e, e.articleLines().value(e.lineNumber() - 2).mid(e.column() - 1, 1));
            break;
        case 3: // any character
            type(e, QString(QChar(u' ' + arg % 95)));
            break;
        case 4:
            e.keyPress(KeyCode::Backspace);
            break;
        case 5: // a paste of several characters
            e.textChanged(QString(2 + arg % 4, QChar(u'a' + arg % 26)));
            break;
        case 6:
            e.previousPage();
            break;
        case 7:
            e.nextPage();
            break;
        case 8:
            e.blinkTick();
            break;
        case 9:
            e.clockTick();
            break;
        case 10:
            e.meterReset();
            break;
        default:
            answer = arg & 1;
            if (arg & 2)
                e.setKeystrokeSound(arg & 4);
            if (arg == 20)
                e.openCatalogueArticle(QStringLiteral("lunch"));
            break;
        }
        checkState(e);
    }
    return 0;
}
