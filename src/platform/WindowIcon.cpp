#include "platform/WindowIcon.h"

#include <QDir>
#include <QFileInfo>

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

}  // namespace WindowIcon
