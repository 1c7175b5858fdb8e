#pragma once

#include "userfiles/UserTextFile.h"

#include <QByteArray>
#include <QString>

namespace ravel32 {

// Replaces the whole file with `bytes` atomically (a kill leaves the old or
// the new content; the file is never written in place), with owner-only
// permissions if it is new: how the notes and the favourites are written.
// False if nothing was written; `error` then tells why.
inline bool WriteFileAtomically(const QString& path, const QByteArray& bytes, QString* error = nullptr)
{
    return UserTextFile::Write(path, bytes, error, UserTextFile::NewFile::OwnerOnly);
}

}  // namespace ravel32
