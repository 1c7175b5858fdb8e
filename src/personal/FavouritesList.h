#pragma once

#include "personal/AtomicWrite.h"

#include <QByteArray>
#include <QString>
#include <functional>

class QListWidget;
class QListWidgetItem;

// The favourite places window's list and the file it is kept in
// (FavouritesFile holds the format): the file read into the list entry by
// entry while other events go on, and the list written back whole after each
// change. Each item remembers how its line was stored, and the list what the
// file as a whole does (its byte-order mark, the encodings of its lines), so
// an Add or Del never changes another entry's bytes. An entry longer than the
// list can sensibly draw is shown cut short; the whole entry is kept, written
// and navigated to. Writes replace the file atomically and never write in
// place; a new file is readable by its owner only.
namespace ravel32 {

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

// Appends `text` as a new entry, stored as FavouritesFile says a new entry is.
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
