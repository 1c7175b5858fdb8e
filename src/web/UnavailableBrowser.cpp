#include "web/UnavailableBrowser.h"

#include <QLabel>

UnavailableBrowser::UnavailableBrowser(const QString& reason, QWidget* parent)
    : BrowserControl(parent), m_view(new QLabel(parent))
{
    m_view->setWordWrap(true);
    m_view->setAlignment(Qt::AlignCenter);
    m_view->setText(QStringLiteral("The web engine could not be started, so pages cannot be shown.\n\n") + reason);
}

QWidget* UnavailableBrowser::widget() const
{
    return m_view;
}
