#include "startup/WindowIcon.h"

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QWidget>

#include <utility>

namespace WindowIcon {

QIcon Load(const QString& programDir)
{
    QIcon icon = QIcon::fromTheme(QStringLiteral("nimbrel"));
    if (!icon.isNull())
        return icon;
    // build/program beside build/icons; PREFIX/lib/nimbrel under PREFIX/share/icons.
    for (const QString& tree : {QStringLiteral("/../icons/hicolor"), QStringLiteral("/../../share/icons/hicolor")}) {
        const QDir dir(programDir + tree);
        for (int size : {16, 32, 48, 64, 128, 256}) {
            const QString file = dir.filePath(QStringLiteral("%1x%1/apps/nimbrel.png").arg(size));
            if (QFileInfo::exists(file))
                icon.addFile(file, QSize(size, size));
        }
        if (!icon.isNull())
            return icon;
    }
    return icon;
}

SetOnFirstManagedWindow::SetOnFirstManagedWindow(QString programDir, QObject* parent)
    : QObject(parent), m_programDir(std::move(programDir))
{
    QCoreApplication::instance()->installEventFilter(this);
}

SetOnFirstManagedWindow::~SetOnFirstManagedWindow()
{
    if (!m_done && QCoreApplication::instance())
        QCoreApplication::instance()->removeEventFilter(this);
}

bool SetOnFirstManagedWindow::eventFilter(QObject* watched, QEvent* event)
{
    // A widget's show event comes before its native window is mapped, so the
    // window manager finds the icon there when it takes the window on.
    if (event->type() != QEvent::Show || m_done)
        return false;
    const auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || !widget->isWindow() || widget->windowFlags().testFlag(Qt::X11BypassWindowManagerHint))
        return false;
    m_done = true;
    QCoreApplication::instance()->removeEventFilter(this);
    QApplication::setWindowIcon(Load(m_programDir));
    return false;
}

}  // namespace WindowIcon
