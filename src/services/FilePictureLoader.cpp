#include "services/FilePictureLoader.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>

namespace {

// Qt asks each of its picture plugins whether it knows a file before its own
// BMP reader is tried, and that loads every plugin, some milliseconds the
// first window waits for. The skins are BMP files, so a file that starts as
// one goes to that reader alone; anything else, and a BMP it cannot read, is
// read the usual way.
QPixmap Read(const QString& path)
{
    QFile file(path);
    if (file.open(QIODevice::ReadOnly) && file.peek(2) == "BM") {
        // Read from the file already open; the reader still knows its name
        // (a double-size "@2x" file gets its pixel ratio from it).
        QImageReader bitmap(&file, "bmp");
        bitmap.setAutoDetectImageFormat(false);
        const QImage image = bitmap.read();
        if (!image.isNull())
            return QPixmap::fromImage(image);
    }
    return QPixmap(path);
}

}  // namespace

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
    const QPixmap pixmap = Read(path);
    if (pixmap.isNull()) {
        m_cache.remove(path);
        return {};
    }
    m_cache.insert(path, {pixmap, info.size(), modified});
    return pixmap;
}
