#pragma once

#include "platform/UserTextFile.h"

#include <QByteArray>
#include <QString>
#include <functional>

class QListWidget;
class QObject;
class QPlainTextEdit;

// The two small text-file stores of the program: the notepad's text and the
// list of favourite places, each a plain text file with CR LF line ends.
//
// Encoding: a file that is valid UTF-8 is read as UTF-8 (a leading byte-order
// mark is remembered), any other file as Windows-1252, where every byte keeps
// a character of its own. The encoding a text was read in travels with the
// control that holds it, and the text is written back in it, so a file comes
// back byte for byte; when the text now holds a character Windows-1252 cannot
// store, it is written as UTF-8 instead and stays UTF-8 from then on. A control
// that never read a file writes UTF-8 without a byte-order mark.
//
// Writes replace the file atomically (a crash leaves the old or the new
// content). Where the directory lets the file be written but not a new file
// be created, the file is written in place. A file that cannot be written is
// left as it was; nothing is reported to the user.
namespace ravel32 {

using TextEncoding = UserTextFile::Encoding;
using DecodedText = UserTextFile::Decoded;

// Bytes of a file to text, choosing the encoding as described above.
inline DecodedText DecodeFileText(const QByteArray& bytes)
{
    return UserTextFile::Decode(bytes);
}

// Text to bytes in `encoding`; switches `encoding` to Utf8 when the text holds
// a character Windows-1252 cannot store.
inline QByteArray EncodeFileText(const QString& text, TextEncoding& encoding)
{
    return UserTextFile::Encode(text, encoding);
}

// The encoding remembered for the text a control holds (Utf8 if it read none).
TextEncoding FileEncoding(const QObject* control);
void SetFileEncoding(QObject* control, TextEncoding encoding);

// Replaces the whole file with `bytes`, atomically where the directory allows
// a new file to be created, in place otherwise. False if nothing was written.
inline bool WriteFileAtomically(const QString& path, const QByteArray& bytes)
{
    return UserTextFile::Write(path, bytes, UserTextFile::Fallback::InPlace);
}

// Replaces the text area's text with the file's text, less the one final
// CR LF the writer appends. A file that cannot be read gives the empty text.
// The text is only set when it differs, so the area's change event runs
// exactly when its text really changes.
void ReadTextFile(QPlainTextEdit* area, const QString& path);

// Writes the text area's text followed by CR LF; line breaks are CR LF.
void WriteTextFile(QPlainTextEdit* area, const QString& path);

// Lets pending events run once. Returns false when the caller must stop at
// once (its window is gone or the program has ended).
using EventTurn = std::function<bool()>;

// Appends the file's entries, one per line, to the list. Before each entry it
// lets pending events run through `doEvents`; when that returns false, or the
// list is destroyed meanwhile, it stops without touching the list again.
// A file that cannot be opened leaves the list as it was. Returns true when
// the whole file was read.
bool ReadListFile(const QString& path, QListWidget* list, const EventTurn& doEvents);

// Writes every entry of the list, each followed by CR LF; an empty list gives
// a zero-byte file.
void WriteListFile(const QString& path, QListWidget* list);

}  // namespace ravel32
