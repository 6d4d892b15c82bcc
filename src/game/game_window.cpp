#include "game/game_window.h"

#include "shell/click_label.h"
#include "shell/input_box.h"
#include "shell/look.h"
#include "shell/maker.h"
#include "shell/platform.h"
#include "shell/twips.h"

#include <QLabel>
#include <QLineEdit>
#include <QPainter>

namespace {

// Design values, twips.
constexpr int kFieldTop = 860;
constexpr int kBarHeight = 900;

} // namespace

// The playing field: a night sky with stars and a moon over two ridges of forest.
class GameField : public ClickLabel {
  public:
    explicit GameField(QWidget* parent) : ClickLabel(QString(), parent) {
        setObjectName(QStringLiteral("Picture2"));
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

  protected:
    void resizeEvent(QResizeEvent* event) override {
        m_scene = QPixmap();
        ClickLabel::resizeEvent(event);
    }
    void paintEvent(QPaintEvent*) override {
        const qreal dpr = devicePixelRatioF();
        if (m_scene.isNull() || m_scene.devicePixelRatio() != dpr) {
            m_scene = QPixmap((QSizeF(size()) * dpr).toSize());
            m_scene.setDevicePixelRatio(dpr);
            QPainter scene(&m_scene);
            Look::paintNightScene(scene, rect());
        }
        QPainter p(this);
        p.drawPixmap(0, 0, m_scene);
    }

  private:
    QPixmap m_scene;
};

GameWindow::GameWindow(const AppContext& context, QWidget* parent)
    : PracticeWindow(context, QStringLiteral("Form10"), 3, parent) {
    setWindowTitle(QStringLiteral("Typing Zephkin"));
    buildWidgets();
    route({{"Picture2", Route::On::RightRelease, Route::ThemeMenu}});
}

void GameWindow::buildWidgets() {
    const int barTop = kWindowHeightTwips - kBarHeight;
    m_field = new GameField(this);
    m_field->setGeometry(twipsRect(0, kFieldTop, kWindowWidthTwips, barTop - kFieldTop));
    Look::setOwnStyle(m_field, QStringLiteral("QLabel { background: transparent; }"));

    m_bar = new QWidget(this);
    m_bar->setObjectName(QStringLiteral("Picture1"));
    m_bar->setAttribute(Qt::WA_StyledBackground);
    m_bar->setGeometry(twipsRect(0, barTop, kWindowWidthTwips, kBarHeight));
    Look::styleNightBar(m_bar);

    auto* clockCaption = new QLabel(QStringLiteral("Time"), m_bar);
    clockCaption->setStyleSheet(Look::labelStyle(Look::nightCaption()));
    clockCaption->setFont(Look::uiFont(9));
    clockCaption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    clockCaption->setGeometry(twipsRect(300, 225, 900, 450));
    m_clock = new QLabel(QStringLiteral("0"), m_bar);
    m_clock->setObjectName(QStringLiteral("Label8"));
    Look::styleNightChip(m_clock);
    m_clock->setGeometry(twipsRect(1320, 210, 1080, 480));

    m_input = new InputBox(QStringLiteral("Text1"), m_bar);
    m_input->setToolTip(QStringLiteral("Type the falling letters."));
    m_input->setFont(monospaceFont(QStringLiteral("Consolas"), 16, true));
    m_input->setAlignment(Qt::AlignCenter);
    m_input->setGeometry(twipsRect((kWindowWidthTwips - 3600) / 2, 165, 3600, 570));

    m_gamesLink = new ClickLabel(QStringLiteral("Online Typing Games"), m_bar);
    m_gamesLink->setObjectName(QStringLiteral("Label15"));
    Look::styleGamesLink(m_gamesLink, true);
    m_gamesLink->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_gamesLink->setGeometry(twipsRect(8700, 225, 3000, 450));
    connect(m_gamesLink, &ClickLabel::clicked, this, [this] {
        if (m_context.platform)
            m_context.platform->openUrl(Maker::kGamesPage);
    });
}

QWidget* GameWindow::inputBox() const {
    return m_input;
}

QList<QWidget*> GameWindow::exemptControls() const {
    return {m_field, m_bar, m_input};
}

// After a theme pop-up only the field and the input box are given their look back; the bar
// keeps the look it was given at load.
QList<QWidget*> GameWindow::reExemptControls() const {
    return {m_field, m_input};
}
