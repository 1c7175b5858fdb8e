#include "platform/MainBrowser.h"

#include "platform/BrowserControl.h"

#include <QWidget>

void MainBrowser::Attach(BrowserControl* control)
{
    m_control = control;
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
