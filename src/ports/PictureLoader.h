#pragma once

#include <QPixmap>
#include <QString>

// Loads a bitmap from a file for an image control. A missing or unreadable
// file gives a null pixmap; the caller decides what to show instead.
class PictureLoader {
public:
    virtual ~PictureLoader() = default;
    virtual QPixmap Load(const QString& path) = 0;
};
