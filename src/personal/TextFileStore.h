#pragma once

#include "userfiles/UserTextFile.h"

#include <QByteArray>
#include <QString>
#include <functional>

class QListWidget;
class QListWidgetItem;
class QObject;
class QPlainTextEdit;

// The two small text-file stores of the program: the notepad's text and the
// list of favourite places, each a plain text file with CR LF line ends.
//
// Notes: the whole file is one text. A file that is valid UTF-8 is read as
// UTF-8 (a leading byte-order mark is remembered), any other file as
// Windows-1252, where every byte keeps a character of its own. The text is
// written back in the encoding it was read in as long as reading the result
// gives the same text; otherwise it is written as UTF-8 and stays UTF-8.
// Characters a text area cannot hold as they are (a lone CR, U+2029, the
// noncharacters the document uses for its own frames) are shown as a stand-in
// pair and written back as themselves, so a file comes back byte for byte.
//
// Favourites: the unit is the line. Each line is decoded on its own (valid
// UTF-8 as UTF-8, otherwise Windows-1252) and remembers how it was stored, so
// it is written back byte for byte; an Add or Del never changes another
// entry's bytes. A new entry is UTF-8, or Windows-1252 when every non-ASCII
// line of the list is Windows-1252 and the entry reads back the same in it.
// An entry longer than the list can sensibly draw is shown cut short; the
// whole entry is kept, written and navigated to.
//
// Writes replace the file atomically (a kill leaves the old or the new
// content) and never write in place; new files are readable by their owner
// only.
namespace ravel32 {

using TextEncoding = UserTextFile::Encoding;
using DecodedText = UserTextFile::Decoded;

// Bytes of a file to text, choosing the encoding as described above.
inline DecodedText DecodeFileText(const QByteArray& bytes)
{
    return UserTextFile::Decode(bytes);
}

// Text to bytes in `encoding`, so that DecodeFileText gives the same text
// back; switches `encoding` to UTF-8 when the code page cannot do that.
QByteArray EncodeFileText(const QString& text, TextEncoding& encoding);

// The encoding remembered for the text a control holds (Utf8 if it read none).
TextEncoding FileEncoding(const QObject* control);
void SetFileEncoding(QObject* control, TextEncoding encoding);

// Replaces the whole file with `bytes` atomically, with owner-only
// permissions if it is new. False if nothing was written.
inline bool WriteFileAtomically(const QString& path, const QByteArray& bytes, QString* error = nullptr)
{
    return UserTextFile::Write(path, bytes, error, UserTextFile::NewFile::OwnerOnly);
}

// The notes text as the text area shows it, and back. AreaTextOf maps the
// characters a text area cannot hold to stand-ins and makes CR LF the line
// break; FileTextOf undoes both exactly: FileTextOf(AreaTextOf(x)) == x for
// every text x. The stand-in of a character is the escape U+10FFFD followed by
// a visible mark; the escape itself is doubled.
QString AreaTextOf(const QString& fileText);
QString FileTextOf(QStringView areaText);

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

// Lets pending events run once. Returns false when the caller must stop at
// once (its window is gone or the program has ended).
using EventTurn = std::function<bool()>;

// Appends the file's entries, one per line, to the list. Before each entry it
// lets pending events run through `doEvents`; when that returns false, or the
// list is destroyed meanwhile, it stops without touching the list again.
// A file that cannot be opened leaves the list as it was. Returns true when
// the whole file was read.
bool ReadListFile(const QString& path, QListWidget* list, const EventTurn& doEvents);

// Writes every entry of the list, each followed by its line end (CR LF for
// all but a last line read without one); an empty list gives a zero-byte
// file. Entries appended with addItem() directly are written as UTF-8.
// False if the file could not be written; `error` then tells why.
bool WriteListFile(const QString& path, QListWidget* list, QString* error = nullptr);

// Appends `text` as a new entry, choosing its encoding as described above.
void AppendListEntry(QListWidget* list, const QString& text);
// Removes the entry at `row` (nothing if there is none).
void RemoveListEntry(QListWidget* list, int row);
// The whole text of an entry (the list may show it cut short).
QString ListEntryText(const QListWidgetItem* item);
// The bytes an entry is written as, without its line end.
QByteArray ListEntryBytes(const QListWidgetItem* item);

// How many characters of an entry the list shows.
constexpr int kShownEntryCharacters = 512;

}  // namespace ravel32
