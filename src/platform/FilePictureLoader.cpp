#include "platform/FilePictureLoader.h"

#include <QFileInfo>

QPixmap FilePictureLoader::Load(const QString& path)
{
    const QFileInfo info(path);
    if (!info.isFile() || !info.isReadable()) {
        m_cache.remove(path);
        return {};
    }
    const qint64 modified = info.lastModified().toMSecsSinceEpoch();
    auto it = m_cache.find(path);
    if (it != m_cache.end() && it->size == info.size() && it->modified == modified)
        return it->pixmap;
    QPixmap pixmap(path);
    if (pixmap.isNull()) {
        m_cache.remove(path);
        return {};
    }
    m_cache.insert(path, {pixmap, info.size(), modified});
    return pixmap;
}
