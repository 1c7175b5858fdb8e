#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// A text file that belongs to the user (the notes, the favourite places, a page
// opened in the HTML editor): how its bytes become text, how the text goes back
// to bytes, and how the file is read and replaced safely.
//
// A file that is valid UTF-8 is read as UTF-8, any other file as Windows-1252,
// where every byte keeps a character of its own, so a file comes back byte for
// byte. Text is written in the encoding it was read in only when reading the
// result gives the same text again; otherwise (a character the code page
// cannot hold, or code-page bytes that happen to be valid UTF-8 and would read
// back as other characters) it is written as UTF-8.
namespace UserTextFile {

enum class Encoding { Utf8, Utf8WithBom, Windows1252 };

struct Decoded {
    QString text;
    Encoding encoding = Encoding::Utf8;
};

// What becomes of a leading UTF-8 byte-order mark.
enum class Bom {
    Remember,    // taken out of the text; the encoding is Utf8WithBom
    KeepInText,  // left in the text as U+FEFF; the encoding is Utf8
};

// Bytes of a file to text, choosing the encoding as described above. Any
// byte-order mark after the first character is a character of the text.
Decoded Decode(QByteArrayView bytes, Bom bom = Bom::Remember);

// Text to bytes in `encoding`, so that Decode gives the same text back. When
// the code page cannot do that, the text is encoded as UTF-8 and `encoding` is
// changed to Utf8; a caller that keeps the changed value writes UTF-8 from
// then on.
QByteArray Encode(QStringView text, Encoding& encoding);

// Permissions of a file the write creates (a replaced file keeps its own).
enum class NewFile {
    Default,    // as the process's file-creation mask allows
    OwnerOnly,  // readable and writable by the owner only
};

// Replaces the whole file with `bytes` atomically: the bytes go to a temporary
// file beside it, are flushed to the disk, and the temporary file is renamed
// over the old one, so a crash or kill leaves the old or the new content.
// The file is never rewritten in place: a directory that will not take the
// temporary file fails the write. Temporary files that a killed earlier
// write left beside the file are removed. A path that names something other
// than a regular file (a pipe, a device) is refused without being opened, and
// an existing file that may not be written is left as it is.
// False if nothing was written; `error` then tells why.
bool Write(const QString& path, const QByteArray& bytes, QString* error = nullptr,
           NewFile newFile = NewFile::Default);

// Why a file cannot be read at once without waiting, or an empty string if it
// can: pipes, sockets, devices and the kernel's files (under /proc and /sys)
// may block a reader for ever or never end.
QString WhyNotReadable(const QString& path);

// Reads a whole regular file without ever waiting on a pipe or device.
// `maxBytes` > 0 refuses larger files. False, with `error` set, when the file
// cannot be read.
bool ReadAll(const QString& path, QByteArray& bytes, QString* error = nullptr, qint64 maxBytes = 0);

}  // namespace UserTextFile
