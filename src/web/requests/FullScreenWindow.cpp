#include "web/requests/FullScreenWindow.h"

#include <QCloseEvent>
#include <QScreen>
#include <QShortcut>
#include <QVBoxLayout>
#include <QWebEnginePage>
#include <QWebEngineView>

FullScreenWindow::FullScreenWindow(QWebEngineView* original)
    : QWidget(nullptr), m_original(original), m_view(new QWebEngineView(this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
    // Escape always gives the screen back, whatever the page does with keys.
    auto* leave = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    leave->setContext(Qt::WindowShortcut);
    connect(leave, &QShortcut::activated, this, &FullScreenWindow::AskPageToLeave);

    m_page = original->page();
    m_view->setPage(m_page);
    connect(m_page, &QWebEnginePage::titleChanged, this, &FullScreenWindow::ShowPageInCaption);
    // The view the page came from may go (its window closed): the page goes with it.
    connect(original, &QObject::destroyed, this, &QObject::deleteLater);
    ShowPageInCaption();
    if (QScreen* screen = original->window()->screen())
        setGeometry(screen->geometry());
    showFullScreen();
    activateWindow();
    m_view->setFocus();
}

FullScreenWindow::~FullScreenWindow()
{
    GiveBack();
}

void FullScreenWindow::GiveBack()
{
    hide();
    if (!m_page)
        return;
    m_page->disconnect(this);
    if (m_original) {
        m_original->setPage(m_page);
        m_original->setFocus();
    }
}

void FullScreenWindow::closeEvent(QCloseEvent* event)
{
    // The page is told, and its answer deletes this window.
    event->ignore();
    AskPageToLeave();
}

void FullScreenWindow::AskPageToLeave()
{
    if (m_page)
        m_page->triggerAction(QWebEnginePage::ExitFullScreen);
    else
        deleteLater();
}

void FullScreenWindow::ShowPageInCaption()
{
    const QString title = m_page ? m_page->title() : QString();
    const QString host = m_page ? m_page->url().host() : QString();
    setWindowTitle(host.isEmpty() || title == host ? title : title + QStringLiteral(" - ") + host);
}
