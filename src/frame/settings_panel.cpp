#include "frame/settings_panel.h"

#include "frame/shortcut.h"
#include "core/twips.h"

#include <QCheckBox>
#include <QPushButton>

SettingsPanel::SettingsPanel(const QString& name, int widthTwips, int heightTwips, QWidget* window)
    : QWidget(window) {
    setObjectName(name);
    setAttribute(Qt::WA_StyledBackground);
    setAutoFillBackground(true);
    resize(twipsSize(widthTwips, heightTwips));
    m_frame = new QWidget(this);
    m_frame->setObjectName(QStringLiteral("Shape3"));
    m_frame->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_frame->setAttribute(Qt::WA_StyledBackground);
    hide();
}

QPushButton* SettingsPanel::addThemesButton(const QString& name) {
    auto* button = new QPushButton(QStringLiteral("Themes"), this);
    button->setObjectName(name);
    button->setGeometry(twipsRect(240, 180, 2280, 450));
    button->setFocusPolicy(Qt::NoFocus);
    addShortcut(button, QKeySequence(Qt::ALT | Qt::Key_T), [this] { emit themesRequested(); });
    m_themes = button;
    return button;
}

QCheckBox* SettingsPanel::addSwitch(const QString& name, const QString& caption, int topTwips) {
    auto* box = new QCheckBox(caption, this);
    box->setObjectName(name);
    box->setGeometry(twipsRect(240, topTwips, 2400, 360));
    box->setFocusPolicy(Qt::NoFocus);
    connect(box, &QCheckBox::clicked, this, &SettingsPanel::switchClicked);
    const QKeySequence keys = caption == u"Keyed tips"        ? QKeySequence(Qt::ALT | Qt::Key_K)
                              : caption == u"Keystroke sound" ? QKeySequence(Qt::ALT | Qt::Key_O)
                                                              : QKeySequence();
    if (!keys.isEmpty())
        addShortcut(box, keys, [box] { box->click(); });
    return box;
}

void SettingsPanel::showAt(QPoint topLeft) {
    move(topLeft);
    m_frame->setGeometry(1, 1, width() - 1, height() - 1);
    show();
    raise();
}
