#include "frame/list_chooser.h"

#include "look/look.h"
#include "platform/platform.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

ListChooser::ListChooser(const Setup& setup, QWidget* parent)
    : QDialog(parent), m_enterMovesToOk(setup.enterMovesToOk) {
    setObjectName(setup.name);
    setWindowTitle(QStringLiteral(" Select lesson"));
    setModal(true);

    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("List1"));
    m_list->addItems(setup.items);
    m_list->setCurrentRow(0);
    if (setup.listMinimum.isValid())
        m_list->setMinimumSize(setup.listMinimum);
    if (m_enterMovesToOk)
        m_list->installEventFilter(this);

    m_extra = new QPushButton(setup.extraCaption, this);
    m_extra->setObjectName(QStringLiteral("Command3"));
    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_ok->setObjectName(QStringLiteral("Command1"));
    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_cancel->setObjectName(QStringLiteral("Command2"));

    if (!setup.heading.isEmpty()) {
        m_ok->setDefault(true);
        m_list->setFont(Look::uiFont(10));
        auto* heading = new QLabel(setup.heading, this);
        heading->setFont(Look::uiFont(11, true));
        auto* buttons = new QHBoxLayout;
        buttons->addWidget(m_extra);
        buttons->addStretch();
        buttons->addWidget(m_ok);
        buttons->addWidget(m_cancel);
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(16, 14, 16, 14);
        layout->setSpacing(10);
        layout->addWidget(heading);
        layout->addWidget(m_list);
        layout->addLayout(buttons);
    }

    connect(m_ok, &QPushButton::clicked, this, &ListChooser::chooseSelected);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &ListChooser::chooseSelected);
    connect(m_cancel, &QPushButton::clicked, this, &ListChooser::reject);
}

QString ListChooser::chosenText() const {
    const QListWidgetItem* item = m_row >= 0 ? m_list->item(m_row) : nullptr;
    return item ? item->text() : QString();
}

void ListChooser::linkExtraToGames(Platform* platform, const QString& gamesPage) {
    connect(m_extra, &QPushButton::clicked, this, [this, platform, gamesPage] {
        if (platform)
            platform->openUrl(gamesPage);
        reject();
    });
}

bool ListChooser::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_list && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            m_ok->setFocus();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void ListChooser::chooseSelected() {
    m_row = m_list->currentRow();
    accept();
}
