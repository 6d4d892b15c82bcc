#include "articles/article_window.h"

#include "shell/click_label.h"
#include "shell/input_box.h"
#include "shell/look.h"
#include "shell/maker.h"
#include "shell/navigator.h"
#include "shell/platform.h"
#include "shell/settings_panel.h"
#include "shell/state_file.h"
#include "shell/twips.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
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
        const QPalette& colours = palette();
        p.setPen(Qt::NoPen);
        QColor shadow = colours.color(QPalette::Text);
        shadow.setAlpha(22);
        p.setBrush(shadow);
        p.drawRoundedRect(sheet.translated(1, 3), 10, 10);
        p.setPen(colours.color(QPalette::Mid));
        p.setBrush(colours.color(QPalette::Base));
        p.drawRoundedRect(sheet, 10, 10);

        // The heading and its rule.
        p.setPen(colours.color(QPalette::Text));
        p.setFont(Look::uiFont(13, true));
        const QRectF heading(kInset, 12, lineWidth(), 30);
        p.drawText(heading, Qt::AlignHCenter | Qt::AlignVCenter,
                   p.fontMetrics().elidedText(m_heading, Qt::ElideRight, lineWidth()));
        p.setPen(QPen(colours.color(QPalette::Highlight), 2));
        const qreal ruleWidth = 64;
        p.drawLine(QPointF((width() - ruleWidth) / 2, 47), QPointF((width() + ruleWidth) / 2, 47));

        for (int pair = 0; pair < kLinePairs; ++pair) {
            const QRectF copy = copyLine(pair);
            p.setPen(QPen(colours.color(QPalette::Mid), 1, Qt::DotLine));
            p.drawLine(copy.bottomLeft() + QPointF(0, -2), copy.bottomRight() + QPointF(0, -2));
            const QRectF typing = QRectF(typingLine(pair)).adjusted(0.5, 0.5, -0.5, -0.5);
            p.setPen(colours.color(QPalette::Mid));
            p.setBrush(colours.color(QPalette::AlternateBase));
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

ArticleWindow::ArticleWindow(const AppContext& context, const HandOver& handOver,
                             QWidget* parent)
    : PracticeWindow(context, QStringLiteral("Form11"), 2, parent),
      m_articlePath(handOver.articlePath), m_articlePathRelative(handOver.articlePathRelative) {
    setWindowTitle(QStringLiteral("Article practice"));
    buildWidgets();
    buildSettingsPanel();
    // A right-button menu from the page or the meters leaves the focus where it was.
    constexpr Route::Actions close = Route::HidePanel | Route::FocusInput | Route::Swallow;
    constexpr Route::Actions menu = Route::ThemeMenuKeepFocus | Route::Swallow;
    route({
        {"Picture2", Route::On::Move, Route::HidePanel},
        {"Picture2", Route::On::Press, close},
        {"Picture2", Route::On::RightRelease, menu},
        {"Picture3", Route::On::Move, Route::HidePanel},
        {"Picture3", Route::On::Press, close},
        {"Picture3", Route::On::RightRelease, menu},
        {"Command4", Route::On::Move, Route::HidePanel},
        // A click on the window's background only brings the focus back to the typing box.
        {"Form11", Route::On::Press, Route::FocusInput},
        {"Command7", Route::On::Release, Route::ThemeMenu},
    });

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

    m_title = new QLabel(this);
    m_title->setObjectName(QStringLiteral("Label10"));
    m_title->hide();

    // The line being typed sits in the first ruled box of the page; the line to copy is kept
    // as text for the practice to come.
    m_input = new InputBox(QStringLiteral("Text2"), this);
    m_input->setTextMargins(2, 0, 2, 0);
    m_input->setGeometry(m_page->typingLine(0).translated(m_page->pos()));
    m_lineText = new QLineEdit(this);
    m_lineText->setObjectName(QStringLiteral("Text3"));
    m_lineText->setReadOnly(true);
    Look::styleTextHolder(m_lineText);
    m_lineText->hide();

    m_side = new QWidget(this);
    m_side->setObjectName(QStringLiteral("Picture3"));
    m_side->setAttribute(Qt::WA_StyledBackground);
    m_side->setGeometry(twipsRect(kSideLeft, kAreaTop, kSideWidth, kAreaHeight - 90));
    Look::stylePaperPanel(m_side);

    Look::addMeters(m_side,
                    {{"Page", "Label18", "1", &m_pageNumber},
                     {"Time", "Label40", "0:00:00", &m_clock},
                     {"Speed", "Label16", "0 WPM", &m_speed},
                     {"Accuracy", "Label22z", "0 %", &m_accuracy}},
                    Look::MeterLayout::CaptionAbove, kSideInset, 210, kButtonWidth);
    for (QLabel* label : m_side->findChildren<QLabel*>())
        label->setAttribute(Qt::WA_TransparentForMouseEvents);
    Look::styleBadge(m_pageNumber, 7);
    m_pageNumber->setFont(Look::uiFont(11, true));

    m_selectLesson = new QPushButton(QStringLiteral("Select lesson"), this);
    m_selectLesson->setObjectName(QStringLiteral("Command4"));
    m_selectLesson->setGeometry(
        twipsRect(kSideLeft + kSideInset, kSelectTop, kButtonWidth, kButtonHeight));
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
    Look::styleGamesLink(m_gamesLink);
    m_gamesLink->setAlignment(Qt::AlignCenter);
    m_gamesLink->setGeometry(twipsRect(kSideLeft, kAreaTop + kAreaHeight - 630, kSideWidth, 330));
    connect(m_gamesLink, &ClickLabel::clicked, this, [this] {
        if (m_context.platform)
            m_context.platform->openUrl(Maker::kGamesPage);
    });
}

void ArticleWindow::buildSettingsPanel() {
    SettingsPanel* panel = addSettingsPanel(QStringLiteral("Picture1"), 2760, 1260);
    panel->addThemesButton(QStringLiteral("Command7"));
    m_sound = panel->addSwitch(QStringLiteral("Check1qq"), QStringLiteral("Keystroke sound"), 750);
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
    m_articlePath = Articles::articleResource(title);
    m_articlePathRelative = true;
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
