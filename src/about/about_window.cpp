#include "about/about_window.h"

#include "core/maker.h"
#include "core/twips.h"
#include "frame/click_label.h"
#include "look/look.h"
#include "platform/platform.h"

#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>

const QString AboutWindow::kVersion = QStringLiteral("2.7");

namespace {

// Design values, twips.
constexpr int kWidth = 6630;
constexpr int kHeight = 4875;
constexpr int kBandHeight = 1200;
constexpr int kTitleLeft = 2460;
constexpr int kTitleTop = 360;
constexpr int kShadowOffsetX = 30;  // the title sits right of its red copy
constexpr int kShadowOffsetY = -15; // and above it
constexpr int kCaptionLeft = 600;
constexpr int kValueLeft = 2400;
constexpr int kFirstRowTop = 1410;
constexpr int kRowPitch = 423;
constexpr int kRowHeight = 330;
constexpr int kRows = 6;
constexpr int kButtonWidth = 1350;
constexpr int kButtonHeight = 450;
constexpr int kButtonTop = 4200;

// A colour for a style sheet, its alpha included.
QString cssColour(const QColor& colour) {
    return QStringLiteral("rgba(%1, %2, %3, %4)")
        .arg(colour.red())
        .arg(colour.green())
        .arg(colour.blue())
        .arg(colour.alpha());
}

// The picture in the title band: a small keyboard with the program's Z key in front. Like the
// keyboards of the practice windows, it keeps the program's own colours under every skin.
QPixmap logoPicture() {
    const QPalette own = Look::basePalette();
    const QColor accent = own.color(QPalette::Highlight);
    const QSize size(120, 67);
    const qreal dpr = qGuiApp ? qGuiApp->devicePixelRatio() : 1.0;
    QPixmap pixmap((QSizeF(size) * dpr).toSize());
    pixmap.setDevicePixelRatio(dpr);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);

    const QRectF body(3, 5, 96, 52);
    QColor shadow = accent.darker(230);
    shadow.setAlpha(90);
    p.setBrush(shadow);
    p.drawRoundedRect(body.translated(0, 3), 8, 8);
    QLinearGradient bodyFill(body.topLeft(), body.bottomLeft());
    bodyFill.setColorAt(0, own.color(QPalette::Base));
    bodyFill.setColorAt(1, own.color(QPalette::Mid).lighter(105));
    p.setBrush(bodyFill);
    p.drawRoundedRect(body, 8, 8);

    const qreal pitch = 8.6;
    const qreal key = 7;
    const int counts[] = {10, 9, 7};
    const QColor keyEdge = own.color(QPalette::Mid).darker(118);
    const QColor keyFace = own.color(QPalette::AlternateBase);
    for (int row = 0; row < 3; ++row) {
        const qreal top = body.top() + 7 + row * pitch;
        const qreal left = body.left() + 6 + row * 3;
        for (int i = 0; i < counts[row]; ++i) {
            p.setBrush(keyEdge);
            p.drawRoundedRect(QRectF(left + i * pitch, top + 0.8, key, key), 1.8, 1.8);
            p.setBrush(keyFace);
            p.drawRoundedRect(QRectF(left + i * pitch, top, key, key), 1.8, 1.8);
        }
    }
    p.setBrush(keyEdge);
    p.drawRoundedRect(QRectF(body.left() + 22, body.top() + 34.8, 44, key), 2, 2);
    p.setBrush(keyFace);
    p.drawRoundedRect(QRectF(body.left() + 22, body.top() + 34, 44, key), 2, 2);

    // The Z key in the status orange, so that it stands out on the accent band.
    Look::drawLogoKey(p, QRectF(80, 26, 34, 34),
                      {Look::kOrange.lighter(125), Look::kOrange.darker(106), accent.darker(200),
                       own.color(QPalette::HighlightedText)},
                      15, 7);
    return pixmap;
}

// The band across the top, in the skin's accent.
class TitleBand : public QLabel {
  public:
    explicit TitleBand(QWidget* parent) : QLabel(parent) {
        setObjectName(QStringLiteral("Label10"));
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        const QColor accent = palette().color(QPalette::Highlight);
        QLinearGradient fill(0, 0, 0, height());
        fill.setColorAt(0, accent.lighter(111));
        fill.setColorAt(1, accent.darker(129));
        p.fillRect(rect(), fill);
    }
};

// A rule of `colour`: a palette(role) or a colour from cssColour().
QFrame* line(const QString& name, const QRect& geometry, const QString& colour, QWidget* parent) {
    auto* frame = new QFrame(parent);
    frame->setObjectName(name);
    frame->setFrameShape(QFrame::NoFrame);
    frame->setGeometry(geometry);
    frame->setStyleSheet(QStringLiteral("QFrame { background: %1; border: none; }").arg(colour));
    return frame;
}

} // namespace

AboutWindow::AboutWindow(Platform* platform, QWidget* parent)
    : QDialog(parent), m_platform(platform) {
    setObjectName(QStringLiteral("Form32"));
    setWindowTitle(QStringLiteral(" About"));
    setModal(true);
    setFixedSize(twipsSize(kWidth, kHeight));
    // A card of the skin's paper under its title band in the skin's accent.
    setStyleSheet(QStringLiteral("#Form32 { background: palette(alternate-base); }"));
    const QColor accent = palette().color(QPalette::Highlight);
    const QColor onAccent = palette().color(QPalette::HighlightedText);

    auto* band = new TitleBand(this);
    band->setGeometry(twipsRect(0, 0, kWidth, kBandHeight));
    line(QStringLiteral("Line2"), QRect(0, band->height(), width(), 2),
         cssColour(accent.darker(155)), this);

    auto* logo = new QLabel(band);
    logo->setObjectName(QStringLiteral("Image1"));
    logo->setPixmap(logoPicture());
    logo->setGeometry(twips(180), (band->height() - 67) / 2, 120, 67);
    logo->setStyleSheet(QStringLiteral("QLabel { background: transparent; }"));
    QColor bandRule = onAccent;
    bandRule.setAlpha(90);
    line(QStringLiteral("Line4"), QRect(twips(2265), twips(300), 1, band->height() - twips(600)),
         cssColour(bandRule), band);

    const QString title = QStringLiteral("Typing Test Zephkin");
    const QRect titleRect = twipsRect(kTitleLeft, kTitleTop, kWidth - kTitleLeft - 120, 480);
    auto* shadow = new QLabel(title, band);
    shadow->setObjectName(QStringLiteral("Label12(1)"));
    shadow->setGeometry(titleRect);
    shadow->setStyleSheet(Look::labelStyle(Look::kWrong));
    auto* face = new QLabel(title, band);
    face->setObjectName(QStringLiteral("Label12(0)"));
    face->setGeometry(titleRect.translated(twips(kShadowOffsetX), twips(kShadowOffsetY)));
    face->setStyleSheet(
        QStringLiteral("QLabel { color: palette(highlighted-text); background: transparent; }"));
    for (QLabel* label : {shadow, face})
        label->setFont(Look::uiFont(15, true));

    const QString valueStyle =
        QStringLiteral("QLabel { color: palette(text); background: transparent; }");
    const QString linkStyle = QStringLiteral(
        "QLabel { color: palette(link); background: transparent; text-decoration: underline; }");
    const struct {
        const char* captionName;
        const char* caption;
        const char* valueName;
        QString value;
        bool link;
    } rows[kRows] = {
        {"Label1", "Software name:", "Label13", QStringLiteral("Typing test Zephkin"), false},
        {"Label4", "Version:", "Label14", kVersion, false},
        {"Label9", "Author:", "Label11", Maker::kAuthor, false},
        {"Label2", "Home page:", "Label6", Maker::kHomePage, true},
        {"Label3", "E-mail:", "Label5", Maker::kEmail, true},
        // Free software; the caption does nothing on a click, its value names the licence.
        {"Label7", "Free", "Label8", Maker::kLicence, false}};
    int top = kFirstRowTop;
    for (const auto& row : rows) {
        auto* caption = new QLabel(QString::fromLatin1(row.caption), this);
        caption->setObjectName(QString::fromLatin1(row.captionName));
        Look::styleCaption(caption, 9);
        caption->setGeometry(
            twipsRect(kCaptionLeft, top, kValueLeft - kCaptionLeft - 240, kRowHeight));
        QLabel* value = row.link ? new ClickLabel(row.value, this) : new QLabel(row.value, this);
        value->setObjectName(QString::fromLatin1(row.valueName));
        value->setStyleSheet(row.link ? linkStyle : valueStyle);
        value->setFont(Look::uiFont(9, !row.link));
        value->setGeometry(twipsRect(kValueLeft, top, kWidth - kValueLeft - 240, kRowHeight));
        if (row.link)
            value->setCursor(Qt::PointingHandCursor);
        top += kRowPitch;
    }
    line(QStringLiteral("Line3"),
         QRect(twips(kValueLeft - 180), twips(kFirstRowTop), 1,
               twips((kRows - 1) * kRowPitch + kRowHeight)),
         QStringLiteral("palette(mid)"), this);

    auto open = [this](const QString& url) {
        if (m_platform)
            m_platform->openUrl(url);
    };
    connect(findChild<ClickLabel*>(QStringLiteral("Label6")), &ClickLabel::clicked, this,
            [open] { open(Maker::kHomePageTarget); });
    connect(findChild<ClickLabel*>(QStringLiteral("Label5")), &ClickLabel::clicked, this,
            [open] { open(QStringLiteral("mailto:") + Maker::kEmail); });

    // An etched rule over the button.
    const int ruleTop = twips(kButtonTop) - 16;
    line(QStringLiteral("Line1(0)"), QRect(twips(300), ruleTop, width() - 2 * twips(300), 1),
         QStringLiteral("palette(mid)"), this);
    line(QStringLiteral("Line1(1)"), QRect(twips(300), ruleTop + 1, width() - 2 * twips(300), 1),
         QStringLiteral("palette(light)"), this);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("Command1"));
    ok->setGeometry(
        twipsRect((kWidth - kButtonWidth) / 2, kButtonTop, kButtonWidth, kButtonHeight));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}
