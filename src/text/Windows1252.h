#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// The Windows-1252 code page, the single-byte text of the original program's
// files and the fallback for web pages that declare no character set. Kept
// as a table of its own so the result does not depend on whether Qt was built
// with ICU. Bytes 0x81, 0x8D, 0x8F, 0x90 and 0x9D, which the code page leaves
// unassigned, map to the C1 controls of the same value, as browsers do.
namespace Windows1252 {

QString decode(QByteArrayView bytes);

// Encodes `text`; returns false (and leaves `out` unspecified) when a
// character has no place in the code page.
bool encode(QStringView text, QByteArray& out);

}  // namespace Windows1252
