#pragma once

#include "ports/PictureLoader.h"

#include <QHash>

// Reads bitmaps from disk. Button faces are swapped on every press and
// click, so each file is decoded once and kept; a file that changes on disk
// (by size or time) is read again.
class FilePictureLoader final : public PictureLoader {
public:
    QPixmap Load(const QString& path) override;

private:
    struct Cached {
        QPixmap pixmap;
        qint64 size = -1;
        qint64 modified = 0;
    };
    QHash<QString, Cached> m_cache;
};
