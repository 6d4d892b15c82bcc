#include "frame/practice_host.h"

#include "core/twips.h"
#include "frame/practice_window.h"

#include <QCloseEvent>
#include <QStackedLayout>

PracticeHost::PracticeHost(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("PracticeHost"));
    setFixedSize(twipsSize(kWindowWidthTwips, kWindowHeightTwips));
    m_pages = new QStackedLayout(this);
    m_pages->setContentsMargins(0, 0, 0, 0);
}

void PracticeHost::showPage(PracticeWindow* page) {
    if (!page || page == m_page)
        return;
    m_page = page;
    setWindowTitle(page->windowTitle());
    connect(page, &QWidget::windowTitleChanged, this, [this, page](const QString& title) {
        if (page == m_page)
            setWindowTitle(title);
    });
    m_pages->addWidget(page);
    // The stack hides the page left and shows the new one with updates off: the window
    // never paints without a page.
    m_pages->setCurrentWidget(page);
    // The keyboard focus stays in the window and goes to the new page's input box, as it
    // went to a newly opened window's.
    QWidget* box = page->inputBox();
    if (box && box->isVisibleTo(page))
        box->setFocus(Qt::OtherFocusReason);
}

void PracticeHost::closeEvent(QCloseEvent* event) {
    // The page's own close runs its unload chores; closed by the user or the system, it ends
    // the program.
    if (m_page)
        m_page->close();
    event->accept();
}
