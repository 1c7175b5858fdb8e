#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

// The favourite places file: one entry a line, CR LF after each.
//
// The unit is the line. Each line is decoded on its own (ASCII as it is,
// valid UTF-8 as UTF-8, anything else as Windows-1252, where every byte keeps
// a character of its own) and remembers how it was stored: its encoding and
// its line end (CR LF, or a lone LF or CR from another system, or none on a
// last line). So every line is written back byte for byte, and adding or
// removing an entry never changes another entry's bytes. A UTF-8 byte-order
// mark at the start belongs to the file, not to its first entry, when the
// first line is UTF-8 with it; it is written back at the start, also when no
// entry is left. Any other mark is a character of its entry.
//
// A new entry is UTF-8, or Windows-1252 when every line with a character
// beyond ASCII is Windows-1252 (and there is one) and the entry reads back
// the same from the code page.
namespace FavouritesFile {

enum class LineEnd : quint8 { CrLf, Lf, Cr, None };

// How an entry's line is stored. The default is how a new entry is stored.
struct LineForm {
    bool codePage = false;  // Windows-1252; otherwise UTF-8 (an ASCII line is both)
    LineEnd end = LineEnd::CrLf;

    friend bool operator==(LineForm, LineForm) = default;
};

struct Entry {
    QString text;
    LineForm form;
};

// The lines that tell the encodings apart, those with a character beyond
// ASCII, counted by the encoding they are stored in: what the rule for a new
// entry's encoding looks at.
struct Tally {
    qsizetype utf8Lines = 0;
    qsizetype codePageLines = 0;

    // Counts `entry` in (times 1) or out again (times -1).
    void Count(const Entry& entry, int times = 1);
    void Add(const Tally& other)
    {
        utf8Lines += other.utf8Lines;
        codePageLines += other.codePageLines;
    }
};

// Reads the entries of a file's bytes one line at a time, so a caller can do
// other work between them. The bytes must stay as they are while it reads.
class Reader {
public:
    explicit Reader(QByteArrayView bytes);

    // True when the file starts with a byte-order mark of its own (see above).
    bool ByteOrderMark() const { return m_marked; }
    bool AtEnd() const { return m_at >= m_bytes.size(); }
    // The next line's entry. Only while !AtEnd().
    Entry Next();
    // The lines read so far, tallied.
    const Tally& Tallied() const { return m_tally; }

private:
    QByteArrayView m_bytes;
    qsizetype m_at = 0;
    bool m_marked = false;
    Tally m_tally;
};

// How a new entry with `text` is stored, given the lines already there.
LineForm NewEntryForm(QStringView text, const Tally& tally);

// How a line is stored once another line follows it: a last line read
// without a line end gets CR LF.
LineForm Followed(LineForm form);

// The bytes an entry is stored as, without its line end.
QByteArray EntryBytes(const Entry& entry);

// Appends the entry's line to `out`: its bytes and its line end. A line
// without an end gets CR LF unless it is the `last` line of the file.
void AppendLine(QByteArray& out, const Entry& entry, bool last);

// The byte-order mark a marked file starts with.
inline constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";

// A whole file as values: what it holds, and its bytes again.
class File {
public:
    static File Read(QByteArrayView bytes);
    QByteArray Bytes() const;

    const QList<Entry>& Entries() const { return m_entries; }
    bool ByteOrderMark() const { return m_marked; }

    // Adds an entry at the end, stored as the rule above says.
    void Append(const QString& text);
    // Removes the entry at `index` (nothing if there is none).
    void Remove(qsizetype index);

private:
    QList<Entry> m_entries;
    Tally m_tally;
    bool m_marked = false;
};

}  // namespace FavouritesFile
