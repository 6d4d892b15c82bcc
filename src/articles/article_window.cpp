#include "articles/article_window.h"

#include "shell/click_label.h"
#include "shell/look.h"
#include "shell/maker.h"
#include "shell/platform.h"
#include "shell/state_file.h"
#include "shell/twips.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>

namespace {

// Design values, twips.
constexpr int kAreaTop = 1050;
constexpr int kAreaHeight = 7725;
constexpr int kPageLeft = 300;
constexpr int kPageWidth = 8580;
constexpr int kSideLeft = 9090;
constexpr int kSideWidth = 2700;
constexpr int kSideInset = 240;
constexpr int kButtonWidth = kSideWidth - 2 * kSideInset;
constexpr int kButtonHeight = 510;
constexpr int kSelectTop = 5400;
constexpr int kSettingsTop = 6030;
constexpr int kPanelLeftOfButton = 1000;

} // namespace

// The page: a sheet of paper with the article's title and its lines in pairs, the line to
// copy over the ruled box it is typed in.
class ArticlePage : public QWidget {
  public:
    static constexpr int kLinePairs = 6;

    explicit ArticlePage(QWidget* parent) : QWidget(parent) {
        setObjectName(QStringLiteral("Picture2"));
        setMouseTracking(true);
    }

    void setHeading(const QString& heading) {
        m_heading = heading;
        update();
    }
    // Where the line to copy and the line typed under it sit, in page coordinates.
    QRect copyLine(int pair) const {
        return QRect(kInset, kFirstLine + pair * kPitch, lineWidth(), 28);
    }
    QRect typingLine(int pair) const {
        return copyLine(pair).translated(0, 30).adjusted(-4, 0, 4, 4);
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const QRectF sheet = QRectF(rect()).adjusted(3.5, 2.5, -4.5, -5.5);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x1f, 0x2a, 0x37, 22));
        p.drawRoundedRect(sheet.translated(1, 3), 10, 10);
        p.setPen(QColor(0xd5, 0xde, 0xe8));
        p.setBrush(QColor(0xff, 0xff, 0xff));
        p.drawRoundedRect(sheet, 10, 10);

        // The heading and its rule.
        p.setPen(QColor(0x1b, 0x3b, 0x63));
        p.setFont(Look::uiFont(13, true));
        const QRectF heading(kInset, 12, lineWidth(), 30);
        p.drawText(heading, Qt::AlignHCenter | Qt::AlignVCenter,
                   p.fontMetrics().elidedText(m_heading, Qt::ElideRight, lineWidth()));
        p.setPen(QPen(QColor(0x2f, 0x6f, 0xb8), 2));
        const qreal ruleWidth = 64;
        p.drawLine(QPointF((width() - ruleWidth) / 2, 47), QPointF((width() + ruleWidth) / 2, 47));

        for (int pair = 0; pair < kLinePairs; ++pair) {
            const QRectF copy = copyLine(pair);
            p.setPen(QPen(QColor(0xe3, 0xe9, 0xf0), 1, Qt::DotLine));
            p.drawLine(copy.bottomLeft() + QPointF(0, -2), copy.bottomRight() + QPointF(0, -2));
            const QRectF typing = QRectF(typingLine(pair)).adjusted(0.5, 0.5, -0.5, -0.5);
            p.setPen(QColor(0xdc, 0xe5, 0xef));
            p.setBrush(QColor(0xf6, 0xf9, 0xfc));
            p.drawRoundedRect(typing, 7, 7);
        }
    }

  private:
    static constexpr int kInset = 26;
    static constexpr int kFirstLine = 62;
    static constexpr int kPitch = 72;
    int lineWidth() const { return width() - 2 * kInset; }

    QString m_heading;
};

ArticleWindow::ArticleWindow(const AppContext& context, QWidget* parent)
    : PracticeWindow(context, QStringLiteral("Form11"), 2, parent) {
    setWindowTitle(QStringLiteral("Article practice"));
    buildWidgets();
    buildSettingsPanel();
    commonLoadChores();

    const QFont pageFont = monospaceFont(fontChoice(PracticeFontWindow::Articles));
    m_page->setFont(pageFont);
    m_input->setFont(pageFont);
    m_lineText->setFont(pageFont);
    restoreState();
}

void ArticleWindow::buildWidgets() {
    m_page = new ArticlePage(this);
    m_page->setGeometry(twipsRect(kPageLeft, kAreaTop, kPageWidth, kAreaHeight));
    Look::setOwnStyle(m_page, QStringLiteral("QLabel { background: transparent; }"));
    m_page->installEventFilter(this);

    m_title = new QLabel(this);
    m_title->setObjectName(QStringLiteral("Label10"));
    m_title->hide();

    // The line being typed sits in the first ruled box of the page; the line to copy is kept
    // as text for the practice to come.
    m_input = new QLineEdit(this);
    m_input->setObjectName(QStringLiteral("Text2"));
    m_input->setAttribute(Qt::WA_InputMethodEnabled, false);
    m_input->setGeometry(m_page->typingLine(0).translated(m_page->pos()));
    Look::setOwnStyle(
        m_input,
        QStringLiteral("QLineEdit { color: #1f2a37; background: white; border: 2px solid #8fb0d3;"
                       " border-radius: 7px; padding: 0 2px; selection-background-color: #2f6fb8; }"
                       "QLineEdit:focus { border-color: #2f6fb8; }"));
    m_lineText = new QLineEdit(this);
    m_lineText->setObjectName(QStringLiteral("Text3"));
    m_lineText->setReadOnly(true);
    Look::setOwnStyle(m_lineText,
                      QStringLiteral("QLineEdit { color: #1f2a37; background: white; }"));
    m_lineText->hide();

    m_side = new QWidget(this);
    m_side->setObjectName(QStringLiteral("Picture3"));
    m_side->setAttribute(Qt::WA_StyledBackground);
    m_side->setMouseTracking(true);
    m_side->setGeometry(twipsRect(kSideLeft, kAreaTop, kSideWidth, kAreaHeight - 90));
    Look::setOwnStyle(
        m_side,
        QStringLiteral(
            "#Picture3 { background: qlineargradient(x1:0, y1:0, x2:0, y2:1,"
            " stop:0 #f7fafd, stop:1 #ecf2f8); border: 1px solid #d5dee8; border-radius: 10px; }"));
    m_side->installEventFilter(this);

    Look::addMeters(m_side,
                    {{"Page", "Label18", "1", &m_pageNumber},
                     {"Time", "Label40", "0:00:00", &m_clock},
                     {"Speed", "Label16", "0 WPM", &m_speed},
                     {"Accuracy", "Label22z", "0 %", &m_accuracy}},
                    Look::MeterLayout::CaptionAbove, kSideInset, 210, kButtonWidth);
    for (QLabel* label : m_side->findChildren<QLabel*>())
        label->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_pageNumber->setStyleSheet(
        QStringLiteral("QLabel { color: white; background: #2f6fb8; border-radius: 7px; }"));

    m_selectLesson = new QPushButton(QStringLiteral("Select lesson"), this);
    m_selectLesson->setObjectName(QStringLiteral("Command4"));
    m_selectLesson->setGeometry(
        twipsRect(kSideLeft + kSideInset, kSelectTop, kButtonWidth, kButtonHeight));
    m_selectLesson->setMouseTracking(true);
    m_selectLesson->installEventFilter(this);
    m_settings = new QPushButton(QStringLiteral("Settings"), this);
    m_settings->setObjectName(QStringLiteral("Command6"));
    m_settings->setGeometry(
        twipsRect(kSideLeft + kSideInset, kSettingsTop, kButtonWidth, kButtonHeight));
    for (QPushButton* button : {m_selectLesson, m_settings})
        button->setFocusPolicy(Qt::NoFocus);
    connect(m_selectLesson, &QPushButton::clicked, this, [this] {
        hideSettingsPanel();
        focusInputBox();
    });
    connect(m_settings, &QPushButton::clicked, this, &ArticleWindow::openSettings);

    m_gamesLink = new ClickLabel(QStringLiteral("Online Typing Game"), this);
    m_gamesLink->setObjectName(QStringLiteral("Label6"));
    m_gamesLink->setFont(Look::uiFont(9));
    m_gamesLink->setAlignment(Qt::AlignCenter);
    m_gamesLink->setCursor(Qt::PointingHandCursor);
    m_gamesLink->setStyleSheet(
        QStringLiteral("QLabel { color: #2f6fb8; background: transparent; }"
                       "QLabel:hover { color: #23568f; text-decoration: underline; }"));
    m_gamesLink->setGeometry(twipsRect(kSideLeft, kAreaTop + kAreaHeight - 630, kSideWidth, 330));
    connect(m_gamesLink, &ClickLabel::clicked, this, [this] {
        if (m_context.platform)
            m_context.platform->openUrl(Maker::kGamesPage);
    });
}

void ArticleWindow::buildSettingsPanel() {
    QWidget* panel = makeSettingsPanel(QStringLiteral("Picture1"), 2760, 1260);
    makeThemesButton(panel, QStringLiteral("Command7"));
    m_sound = makeSwitch(panel, QStringLiteral("Check1qq"), QStringLiteral("Keystroke sound"), 750);
}

// The typing box is Text2, one of the controls that keep their own look under every skin,
// as the Word practice window's typing box does.
QWidget* ArticleWindow::inputBox() const {
    return m_input;
}

QList<QWidget*> ArticleWindow::exemptControls() const {
    return {m_page, m_side, m_input, m_lineText};
}

void ArticleWindow::setArticleTitle(const QString& title) {
    m_articleTitle = title;
    m_title->setText(title);
    m_page->setHeading(title);
    setWindowTitle(QStringLiteral("Article practice --- ") + title);
    Articles::articlePath = Articles::articleResource(title);
    Articles::articlePathRelative = true;
}

void ArticleWindow::restoreState() {
    const Articles::Sz2 state = Articles::Sz2::parse(
        StateFile::readFirstField(m_context.folder.path(QStringLiteral("\\sz2.txt"))));
    m_sound->setChecked(state.keystrokeSound);
    setArticleTitle(state.articleTitle);
}

void ArticleWindow::saveState() {
    Articles::Sz2 state;
    state.keystrokeSound = m_sound->isChecked();
    state.articleTitle = m_articleTitle;
    StateFile::writeLine(m_context.folder.path(QStringLiteral("\\sz2.txt")), state.format());
}

void ArticleWindow::openSettings() {
    const QRect button = m_settings->geometry();
    showSettingsPanel(QPoint(button.left() - twips(kPanelLeftOfButton), button.top()));
}

bool ArticleWindow::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (watched == m_selectLesson && type == QEvent::MouseMove)
        hideSettingsPanel();
    if (watched == m_page || watched == m_side) {
        if (type == QEvent::MouseMove) {
            hideSettingsPanel();
        } else if (type == QEvent::MouseButtonPress) {
            hideSettingsPanel();
            focusInputBox();
            return true;
        } else if (type == QEvent::MouseButtonRelease) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::RightButton) {
                // After the menu from the page or the meters the focus stays where it was.
                popThemeMenu(mouse->globalPosition().toPoint(), false);
                return true;
            }
        }
    }
    return PracticeWindow::eventFilter(watched, event);
}

void ArticleWindow::mousePressEvent(QMouseEvent* event) {
    // A click on the window's background only brings the focus back to the typing box.
    focusInputBox();
    PracticeWindow::mousePressEvent(event);
}
