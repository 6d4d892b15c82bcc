#include "words/ui/keyboard_panel.h"

#include "core/keyboard_table.h"
#include "look/look.h"
#include "words/model/keyboard_hint.h"
#include "words/ui/word_look.h"
#include "core/twips.h"

#include <QLabel>
#include <QPainter>

namespace {

// The keyboard picture behind the letter squares, drawn from the same key table so that
// every square and frame sits on a key cap.
class KeyboardPicture : public QWidget {
  public:
    explicit KeyboardPicture(KeyboardPanel* panel) : QWidget(panel), m_panel(panel) {
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
            const QString label = m_panel->keyboardLayout().label(place.code);
            if (label.size() == 1 && label[0].isLetter()) {
                // A letter of the layout on a key around the squares: large and in the middle,
                // where the hint's frame leaves it clear.
                p.setFont(Look::uiFont(13, true));
                p.drawText(key, Qt::AlignCenter, label);
                return;
            }
            p.setFont(Look::uiFont(10, true));
            p.drawText(key.adjusted(6, 4, -6, -4), Qt::AlignLeft | Qt::AlignTop, label);
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

  private:
    const KeyboardPanel* m_panel;
};

// A letter square: its capital letter on the hint colour.
class HintSquare : public QLabel {
  public:
    using QLabel::QLabel;

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        WordLook::paintHintSquare(p, rect(), font(), text());
    }
};

// The red and white frames of the shown hint, each a rectangle drawn only as its border,
// like a shape control, over the letter squares.
class HintFrames : public QWidget {
  public:
    explicit HintFrames(const KeyboardPanel* panel)
        : QWidget(const_cast<KeyboardPanel*>(panel)), m_panel(panel) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        const int shown = m_panel->shownHint();
        if (shown < 0)
            return;
        QPainter p(this);
        outline(p, m_panel->whiteFrame(shown), WordLook::kHintHalo, 1);
        outline(p, m_panel->redFrame(shown), WordLook::kHintFrame, 4);
    }

  private:
    static void outline(QPainter& p, const QRect& frame, const QColor& colour, int width) {
        const qreal half = width / 2.0;
        p.setPen(QPen(colour, width, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(frame).adjusted(half, half, -half, -half));
    }

    const KeyboardPanel* m_panel;
};

} // namespace

KeyboardPanel::KeyboardPanel(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Picture5"));
    // One sheet for the 26 squares, kept under every skin.
    Look::setOwnStyle(this, QString()); // the squares paint themselves
    resize(twipsSize(kDesignWidthTwips, kDesignHeightTwips));
    m_picture = new KeyboardPicture(this);
    m_picture->setGeometry(rect());

    for (const KeyboardTable::Place& key : KeyboardTable::wordHintSquares()) {
        const QRect square = twipsRect(key.twips);
        auto* label = new HintSquare(m_layout.label(key.code), this);
        label->setObjectName(QStringLiteral("Label2(%1)").arg(key.index));
        label->setAlignment(Qt::AlignCenter);
        label->setGeometry(square);
        m_squares[key.index] = label;
    }
    m_frames = new HintFrames(this);
    m_frames->setGeometry(rect());
}

void KeyboardPanel::setKeyboardLayout(const KeyboardLayout& layout) {
    m_layout = layout;
    for (const KeyboardTable::Place& key : KeyboardTable::wordHintSquares())
        m_squares[key.index]->setText(m_layout.label(key.code));
    m_picture->update();
}

QRect KeyboardPanel::redFrame(int index) const {
    if (index >= 0 && index < 26)
        return m_squares[index]->geometry().adjusted(-1, -1, 1, 1);
    // A key around the squares, as the picture draws it.
    const int code = KeyboardHint::codeOfHint(index);
    for (const KeyboardTable::Place& key : KeyboardTable::wordHintSurround()) {
        if (key.code == code)
            return twipsRect(key.twips).adjusted(-1, -1, 1, 1);
    }
    return {};
}

QRect KeyboardPanel::whiteFrame(int index) const {
    return redFrame(index).adjusted(-3, -3, 3, 3);
}

KeyboardPanel::Frame KeyboardPanel::frame(const QString& name) const {
    for (int i = 0; i < KeyboardHint::hintCount(); ++i) {
        if (name == QStringLiteral("Shape1(%1)").arg(i))
            return {redFrame(i), i == m_shown};
        if (name == QStringLiteral("Shape2(%1)").arg(i))
            return {whiteFrame(i), i == m_shown};
    }
    return {};
}

void KeyboardPanel::loadScaling(int referenceHeightPixels) {
    const int squareHeight = m_squares[0]->height();
    m_scale = double(squareHeight) / referenceHeightPixels;
    resize(qRound(width() * m_scale), qRound(height() * m_scale));
    m_picture->setGeometry(rect());
    m_frames->setGeometry(rect());
    for (QLabel* square : m_squares) {
        QFont font = Look::uiFont(10, true);
        font.setPointSizeF(double(toTwips(square->height())) * 36 / toTwips(referenceHeightPixels));
        square->setFont(font);
    }
}

void KeyboardPanel::showHint(int index) {
    if (index == m_shown)
        return;
    m_shown = index;
    m_frames->update();
}
