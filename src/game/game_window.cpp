#include "game/game_window.h"

#include "shell/click_label.h"
#include "shell/input_box.h"
#include "shell/look.h"
#include "shell/maker.h"
#include "shell/platform.h"
#include "shell/twips.h"

#include <QLabel>
#include <QLineEdit>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QRandomGenerator>

#include <cmath>

namespace {

// Design values, twips.
constexpr int kFieldTop = 860;
constexpr int kBarHeight = 900;

// A row of pine trees along a ridge: `base` is the ridge line, heights vary with `seed`.
void drawForest(QPainter& p, const QRectF& area, qreal base, qreal treeHeight, QColor colour,
                quint32 seed) {
    QRandomGenerator random(seed);
    QPainterPath forest;
    forest.moveTo(area.left(), area.bottom());
    forest.lineTo(area.left(), base);
    qreal x = area.left() - 10;
    while (x < area.right() + 20) {
        const qreal h = treeHeight * (0.6 + random.bounded(0.55));
        const qreal w = h * 0.42;
        const qreal ground = base + random.bounded(6.0);
        forest.lineTo(x, ground);
        // Three tiers of branches narrowing to the tip.
        for (int tier = 0; tier < 3; ++tier) {
            const qreal y = ground - h * (0.18 + tier * 0.27);
            const qreal half = w * (0.5 - tier * 0.12);
            forest.lineTo(x + w / 2 - half, y + h * 0.1);
            forest.lineTo(x + w / 2 - half * 0.45, y);
        }
        forest.lineTo(x + w / 2, ground - h);
        for (int tier = 2; tier >= 0; --tier) {
            const qreal y = ground - h * (0.18 + tier * 0.27);
            const qreal half = w * (0.5 - tier * 0.12);
            forest.lineTo(x + w / 2 + half * 0.45, y);
            forest.lineTo(x + w / 2 + half, y + h * 0.1);
        }
        forest.lineTo(x + w, ground);
        x += w * (0.7 + random.bounded(0.5));
    }
    forest.lineTo(area.right(), base);
    forest.lineTo(area.right(), area.bottom());
    forest.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPath(forest);
}

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
            paintScene(scene);
        }
        QPainter p(this);
        p.drawPixmap(0, 0, m_scene);
    }

  private:
    void paintScene(QPainter& p) {
        p.setRenderHint(QPainter::Antialiasing);
        const QRectF r = rect();
        QLinearGradient sky(r.topLeft(), r.bottomLeft());
        sky.setColorAt(0, QColor(0x0b, 0x14, 0x2e));
        sky.setColorAt(0.55, QColor(0x1b, 0x2c, 0x5a));
        sky.setColorAt(1, QColor(0x3a, 0x4f, 0x86));
        p.fillRect(r, sky);

        // Stars, thinning towards the horizon; the same sky every time.
        QRandomGenerator random(7);
        p.setPen(Qt::NoPen);
        for (int i = 0; i < 140; ++i) {
            const qreal x = random.bounded(r.width());
            const qreal y = r.height() * 0.75 * std::pow(random.bounded(1.0), 1.6);
            const qreal size = 0.6 + random.bounded(1.3);
            p.setBrush(QColor(255, 255, 255, 110 + random.bounded(145)));
            p.drawEllipse(QPointF(x, y), size, size);
        }

        // The moon with its glow.
        const QPointF moon(r.width() * 0.8, r.height() * 0.2);
        QRadialGradient glow(moon, 90);
        glow.setColorAt(0, QColor(255, 244, 214, 90));
        glow.setColorAt(1, QColor(255, 244, 214, 0));
        p.setBrush(glow);
        p.drawEllipse(moon, 90, 90);
        p.setBrush(QColor(0xfb, 0xf3, 0xdc));
        p.drawEllipse(moon, 30, 30);
        p.setBrush(QColor(0xe9, 0xdf, 0xc2));
        p.drawEllipse(moon + QPointF(-9, -7), 6, 6);
        p.drawEllipse(moon + QPointF(8, 9), 4.5, 4.5);
        p.drawEllipse(moon + QPointF(11, -11), 3, 3);

        drawForest(p, r, r.height() * 0.78, 70, QColor(0x22, 0x35, 0x5c), 11);
        drawForest(p, r, r.height() * 0.9, 95, QColor(0x10, 0x1c, 0x33), 23);
        p.setBrush(QColor(0x0b, 0x13, 0x24));
        p.drawRect(QRectF(0, r.height() - 10, r.width(), 10));
    }

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
