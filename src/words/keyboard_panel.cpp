#include "words/keyboard_panel.h"

#include "shell/keyboard_table.h"
#include "shell/look.h"
#include "shell/twips.h"

#include <QLabel>
#include <QPainter>

namespace {

// The keyboard picture behind the letter squares, drawn from the same key table so that
// every square and frame sits on a key cap.
class KeyboardPicture : public QWidget {
  public:
    explicit KeyboardPicture(QWidget* parent) : QWidget(parent) {
        setObjectName(QStringLiteral("Image6"));
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        Look::paintKeyboardBody(p, rect(), palette(), 0);

        auto cap = [&](const KeyboardTable::Place& place) {
            const QRectF key = twipsRect(place.twips);
            Look::drawLightKey(p, key, palette(), QColor(), 7);
            p.setPen(Look::keyLabelInk(palette()));
            p.setFont(Look::uiFont(10, true));
            p.drawText(key.adjusted(6, 4, -6, -4), Qt::AlignLeft | Qt::AlignTop,
                       QString::fromLatin1(KeyboardTable::find(place.code)->label));
        };
        // The keys around the letters: modifiers on the left, punctuation on the right.
        for (const KeyboardTable::Place& place : KeyboardTable::wordHintSurround())
            cap(place);
        // The letter keys' wells: the squares lie on them.
        p.setPen(Qt::NoPen);
        p.setBrush(Look::keyWell(palette()));
        for (const KeyboardTable::Place& square : KeyboardTable::wordHintSquares()) {
            p.drawRoundedRect(QRectF(twipsRect(square.twips)).translated(0, 2), 7, 7);
        }
    }
};

// A letter square: its capital letter on the hint colour.
class HintSquare : public QLabel {
  public:
    using QLabel::QLabel;

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        Look::paintHintSquare(p, rect(), font(), text());
    }
};

// A rectangle drawn only as its border, like a shape control.
class FrameShape : public QWidget {
  public:
    FrameShape(const QString& name, QColor colour, int width, QWidget* parent)
        : QWidget(parent), m_colour(colour), m_width(width) {
        setObjectName(name);
        setAttribute(Qt::WA_TransparentForMouseEvents);
        hide();
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        const qreal half = m_width / 2.0;
        p.setPen(QPen(m_colour, m_width, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        p.drawRect(QRectF(rect()).adjusted(half, half, -half, -half));
    }

  private:
    QColor m_colour;
    int m_width;
};

} // namespace

KeyboardPanel::KeyboardPanel(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Picture5"));
    resize(twipsSize(kDesignWidthTwips, kDesignHeightTwips));
    m_picture = new KeyboardPicture(this);
    m_picture->setGeometry(rect());

    for (const KeyboardTable::Place& key : KeyboardTable::wordHintSquares()) {
        const QRect square = twipsRect(key.twips);
        auto* label =
            new HintSquare(QString::fromLatin1(KeyboardTable::find(key.code)->label), this);
        label->setObjectName(QStringLiteral("Label2(%1)").arg(key.index));
        label->setAlignment(Qt::AlignCenter);
        label->setGeometry(square);
        m_squares[key.index] = label;

        const QRect red = square.adjusted(-1, -1, 1, 1);
        m_redFrames[key.index] =
            new FrameShape(QStringLiteral("Shape1(%1)").arg(key.index), Look::kHintFrame, 4, this);
        m_redFrames[key.index]->setGeometry(red);
        m_whiteFrames[key.index] =
            new FrameShape(QStringLiteral("Shape2(%1)").arg(key.index), Look::kHintHalo, 1, this);
        m_whiteFrames[key.index]->setGeometry(red.adjusted(-3, -3, 3, 3));
    }
}

void KeyboardPanel::loadScaling(int referenceHeightPixels) {
    const int squareHeight = m_squares[0]->height();
    m_scale = double(squareHeight) / referenceHeightPixels;
    resize(qRound(width() * m_scale), qRound(height() * m_scale));
    m_picture->setGeometry(rect());
    for (QLabel* square : m_squares) {
        QFont font = Look::uiFont(10, true);
        font.setPointSizeF(double(toTwips(square->height())) * 36 / toTwips(referenceHeightPixels));
        square->setFont(font);
    }
}

void KeyboardPanel::showHint(int index) {
    for (int i = 0; i < 26; ++i) {
        m_redFrames[i]->setVisible(i == index);
        m_whiteFrames[i]->setVisible(i == index);
        if (i == index) {
            m_whiteFrames[i]->raise();
            m_redFrames[i]->raise();
        }
    }
    m_shown = index;
}
