#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// A text file that belongs to the user (the notes, the favourite places, a page
// opened in the HTML editor): how its bytes become text, how the text goes back
// to bytes in the encoding it was read in, and how the file is replaced.
//
// A file that is valid UTF-8 is read as UTF-8, any other file as Windows-1252,
// where every byte keeps a character of its own, so a file comes back byte for
// byte. Text that now holds a character Windows-1252 cannot store is written
// as UTF-8 instead, so nothing is ever dropped.
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

// Text to bytes in `encoding`. When the text holds a character that
// Windows-1252 cannot store, it is encoded as UTF-8 and `encoding` is changed
// to Utf8; a caller that keeps the changed value writes UTF-8 from then on.
QByteArray Encode(QStringView text, Encoding& encoding);

// What a write does where the directory holds the file but refuses new files
// (so the replacement cannot be renamed into place).
enum class Fallback {
    None,     // the write fails
    InPlace,  // the file itself is rewritten in place
};

// Replaces the whole file with `bytes` atomically: a crash leaves the old or
// the new content. An existing file that cannot be opened for writing is left
// as it is. False if nothing was written; `error` then tells why.
bool Write(const QString& path, const QByteArray& bytes, Fallback fallback, QString* error = nullptr);

}  // namespace UserTextFile
