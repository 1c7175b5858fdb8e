#pragma once

#include <QByteArray>
#include <QString>

// Turns the body of a fetched web resource into text. The character set is
// taken, in this order, from a byte-order mark (certain, as browsers hold),
// from the server's Content-Type header, from the page's own <meta charset> or http-equiv
// declaration near its top; a body that declares nothing is UTF-8 when it is
// valid UTF-8 and Windows-1252 otherwise. A label that names no known
// character set is passed over for the next source. A multi-byte sequence
// cut off at the end of the body gives a replacement character.
// "iso-8859-1", "us-ascii" and their aliases are read as Windows-1252, as
// browsers do, because servers that send them mostly mean that code page.
class WebTextDecoder {
public:
    static QString Decode(const QByteArray& body, const QByteArray& contentType);

    // The charset parameter of a Content-Type value ("text/html; charset=utf-8"), or empty.
    static QByteArray CharsetOfContentType(const QByteArray& contentType);
    // The charset a page declares in a meta element in its first bytes, or empty.
    static QByteArray CharsetOfPage(const QByteArray& body);

private:
    static bool DecodeAs(const QByteArray& label, const QByteArray& body, QString& text);
};
