#include "frame/shortcut.h"

#include <QAbstractButton>
#include <QEvent>
#include <QLabel>
#include <QShortcut>

namespace {

// The practice window the target is on, which may be a page of the program's window: its
// shortcuts come and go with it. Elsewhere, the target's window.
QWidget* shortcutOwner(QWidget* target) {
    QWidget* owner = target;
    while (!owner->isWindow() && !owner->property("practiceWindow").toBool())
        owner = owner->parentWidget();
    return owner;
}

// Keeps a shortcut enabled exactly while the watched widget is shown.
class WhileShown : public QObject {
  public:
    WhileShown(QWidget* watched, QShortcut* shortcut) : QObject(shortcut), m_shortcut(shortcut) {
        shortcut->setEnabled(watched->isVisible());
        watched->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Show || event->type() == QEvent::Hide)
            m_shortcut->setEnabled(event->type() == QEvent::Show);
        return false;
    }

  private:
    QShortcut* m_shortcut;
};

} // namespace

void closeWithEscape(QWidget* panel, std::function<void()> close) {
    auto* shortcut = new QShortcut(QKeySequence(Qt::Key_Escape), shortcutOwner(panel));
    shortcut->setContext(Qt::WindowShortcut);
    QObject::connect(shortcut, &QShortcut::activated, panel, std::move(close));
    new WhileShown(panel, shortcut);
}

QShortcut* addShortcut(QWidget* target, const QKeySequence& keys, std::function<void()> action) {
    auto* shortcut = new QShortcut(keys, shortcutOwner(target));
    shortcut->setContext(Qt::WindowShortcut);
    shortcut->setAutoRepeat(false);
    QObject::connect(shortcut, &QShortcut::activated, target, std::move(action));

    QString name = target->toolTip();
    if (name.isEmpty()) {
        if (auto* button = qobject_cast<QAbstractButton*>(target))
            name = button->text();
        else if (auto* label = qobject_cast<QLabel*>(target))
            name = label->text();
    }
    const QString keyText = keys.toString(QKeySequence::NativeText);
    target->setToolTip(name.isEmpty() ? keyText : QStringLiteral("%1 (%2)").arg(name, keyText));
    return shortcut;
}
