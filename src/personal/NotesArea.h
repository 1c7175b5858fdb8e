#pragma once

#include "personal/AtomicWrite.h"
#include "userfiles/NotesFile.h"
#include "userfiles/UserTextFile.h"

#include <QByteArray>
#include <QString>

class QPlainTextEdit;

// The notepad's text area and the notes file it is kept in (NotesFile holds
// the format): the file read into the area, and the area's text written back
// whole, with the encoding the file was read in remembered in between.
// Writes replace the file atomically and never write in place; a new file is
// readable by its owner only.
namespace ravel32 {

using TextEncoding = NotesFile::Encoding;
using DecodedText = UserTextFile::Decoded;

// Bytes of a file to text, choosing the encoding as the notes file does.
inline DecodedText DecodeFileText(const QByteArray& bytes)
{
    return UserTextFile::Decode(bytes);
}

// Text to bytes in `encoding`, so that DecodeFileText gives the same text
// back; switches `encoding` to UTF-8 when the code page cannot do that.
inline QByteArray EncodeFileText(const QString& text, TextEncoding& encoding)
{
    return UserTextFile::Encode(text, encoding);
}

using NotesFile::AreaTextOf;
using NotesFile::FileTextOf;

// The area's raw text (blocks apart by U+2029, lines of a long text grouped
// into blocks with U+2028 between them), as its document's
// toRawText() gives it, from a copy kept current as the text changes.
QString AreaRawText(QPlainTextEdit* area);

// Replaces the text area's text with the file's text, less the one final
// CR LF the writer appends. A file that cannot be read gives the empty text.
// The text is only set when it differs, so the area's change event runs
// exactly when its text really changes.
void ReadTextFile(QPlainTextEdit* area, const QString& path);

// Writes the text area's text followed by CR LF; line breaks (U+2029, U+2028
// and line feeds) are CR LF.
// False if the file could not be written; `error` then tells why.
bool WriteTextFile(QPlainTextEdit* area, const QString& path, QString* error = nullptr);

}  // namespace ravel32
