#pragma once

#include "userfiles/UserTextFile.h"

#include <QByteArray>
#include <QString>
#include <QStringView>

// The notes file: the whole file is one text, with CR LF line ends and one
// CR LF after the last line.
//
// A file that is valid UTF-8 is read as UTF-8 (a leading byte-order mark is
// remembered), any other file as Windows-1252, where every byte keeps a
// character of its own. The text is written back in the encoding it was read
// in as long as reading the result gives the same text; otherwise it is
// written as UTF-8 and stays UTF-8 (see UserTextFile).
//
// The text is read into, and written from, a text area. Characters a text
// area cannot hold as they are (a lone CR, U+2028, U+2029, the noncharacters
// a text document uses for its own frames) are shown there as a stand-in and
// written back as themselves, so a file comes back byte for byte. In the
// area's text a line break is LF, U+2028 or U+2029; the file's is CR LF.
namespace NotesFile {

using Encoding = UserTextFile::Encoding;

struct Decoded {
    QString areaText;  // the text as the text area shows it
    Encoding encoding = Encoding::Utf8;
};

// A file's bytes to the area's text, less the one final CR LF the writer
// appends, and the encoding to write it back in. The bytes are let go of
// before the text is mapped, so a long file is not held three times over.
Decoded Decode(QByteArray bytes);

// The area's text to the whole file's bytes, its final CR LF included, in
// `out`, whose memory is reused from one call to the next. The bytes are in
// `encoding` when they read back as the same text; otherwise they are UTF-8
// and `encoding` is changed to say so. A text that starts with U+FEFF is
// written after a byte-order mark, so the reader, which takes one mark off,
// gives the character back.
void Encode(QStringView areaText, Encoding& encoding, QByteArray& out);

// The file's text as the text area shows it, and back. AreaTextOf maps the
// characters a text area cannot hold to stand-ins and makes CR LF the line
// break; FileTextOf undoes both exactly: FileTextOf(AreaTextOf(x)) == x for
// every text x. The stand-in of a character is the escape U+10FFFD followed by
// a visible mark; the escape itself is doubled.
QString AreaTextOf(const QString& fileText);
QString FileTextOf(QStringView areaText);

}  // namespace NotesFile
