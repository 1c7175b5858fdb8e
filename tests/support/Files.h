#pragma once

#include <QByteArray>
#include <QString>

// Bytes of a file as the disk holds them; "<missing>" when it cannot be read.
QByteArray fileBytes(const QString& path);
// Writes a file whole (the test fails if it cannot).
void putFile(const QString& path, const QByteArray& bytes);
