#include "runtime/MainBrowser.h"

#include "ports/BrowserControl.h"

#include <QEvent>
#include <QWidget>

void MainBrowser::Attach(BrowserControl* control)
{
    if (m_control) {
        m_control->disconnect(this);
        if (QWidget* view = m_control->widget())
            view->removeEventFilter(this);
    }
    m_control = control;
    if (control) {
        connect(control, &BrowserControl::LocationChanged, this, &MainBrowser::Changed);
        if (QWidget* view = control->widget())
            view->installEventFilter(this);
    }
    emit Changed();
}

bool MainBrowser::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Resize && m_control && watched == m_control->widget())
        emit Changed();
    return false;
}

QString MainBrowser::LocationURL() const
{
    return m_control ? m_control->LocationURL() : QString();
}

QString MainBrowser::LocationName() const
{
    return m_control ? m_control->LocationName() : QString();
}

QSize MainBrowser::ViewSize() const
{
    return m_control ? m_control->widget()->size() : QSize();
}

bool MainBrowser::Navigate(const QString& address)
{
    return m_control && m_control->Navigate(address);
}

void MainBrowser::SetProgressLine(const QString& line)
{
    m_progressLine = line;
    emit ProgressLineChanged();
}
