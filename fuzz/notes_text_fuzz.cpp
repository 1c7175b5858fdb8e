// The notes file: whatever text a file holds, the text area's version of it
// maps back to exactly that text and holds none of the characters a text
// area would change; a file as the writer makes it is read and written back
// byte for byte; and the writer's own UTF-8 is Qt's, but for a lone
// surrogate, which it writes as U+FFFD.
#include "userfiles/NotesFile.h"

#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QString text = UserTextFile::Decode(bytes).text;
    // A lone LF is a line break the store writes as CR LF, not a character.
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    const QString area = NotesFile::AreaTextOf(text);
    for (const QChar c : area)
        if (c == u'\r' || c == QChar(0x2029) || c == QChar(0xFDD0) || c == QChar(0xFDD1))
            std::abort();
    if (NotesFile::FileTextOf(area) != text)
        std::abort();

    // The input as the writer would have written it: every line feed in a
    // CR LF, and one CR LF at the end.
    QByteArray file = bytes.toByteArray();
    file.replace("\r\n", "\n");
    file.replace('\n', "\r\n");
    file += "\r\n";
    NotesFile::Decoded decoded = NotesFile::Decode(file);
    QByteArray written;
    NotesFile::Encoding encoding = decoded.encoding;
    NotesFile::Encode(decoded.areaText, encoding, written);
    if (written != file || encoding != decoded.encoding)
        std::abort();

    // The input's bytes as UTF-16 units, as an area's text: written as UTF-8
    // they are Qt's UTF-8 of the file text with every surrogate that has no
    // partner as U+FFFD, after a mark when the text starts with U+FEFF.
    QString units(qsizetype(size / 2), Qt::Uninitialized);
    std::memcpy(units.data(), data, size_t(units.size()) * sizeof(char16_t));
    encoding = NotesFile::Encoding::Utf8;
    NotesFile::Encode(units, encoding, written);
    QString fileText = NotesFile::FileTextOf(units);
    for (qsizetype i = 0; i < fileText.size(); ++i) {
        if (fileText[i].isHighSurrogate() && i + 1 < fileText.size() && fileText[i + 1].isLowSurrogate())
            ++i;
        else if (fileText[i].isSurrogate())
            fileText[i] = QChar::ReplacementCharacter;
    }
    QByteArray expected = fileText.toUtf8() + "\r\n";
    if (units.startsWith(QChar(0xFEFF)))
        expected.prepend("\xEF\xBB\xBF");
    if (written != expected)
        std::abort();
    return 0;
}
