#include "services/QtFileDialogs.h"

#include <QFileDialog>
#include <QFileInfo>

QString QtFileDialogs::ShowOpen(QWidget* parent, const QString& filter)
{
    const QString file = QFileDialog::getOpenFileName(parent, QString(), m_lastDir, filter);
    if (!file.isEmpty())
        m_lastDir = QFileInfo(file).absolutePath();
    return file;
}

QString QtFileDialogs::ShowSave(QWidget* parent, const QString& filter)
{
    const QString file = QFileDialog::getSaveFileName(parent, QString(), m_lastDir, filter);
    if (!file.isEmpty())
        m_lastDir = QFileInfo(file).absolutePath();
    return file;
}
