// The notes store's stand-ins: whatever text a file holds, the text area's
// version of it maps back to exactly that text, and holds none of the
// characters a text area would change.
#include "personal/TextFileStore.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QString text = UserTextFile::Decode(bytes).text;
    // A lone LF is a line break the store writes as CR LF, not a character.
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    const QString area = ravel32::AreaTextOf(text);
    for (const QChar c : area)
        if (c == u'\r' || c == QChar(0x2029) || c == QChar(0xFDD0) || c == QChar(0xFDD1))
            std::abort();
    if (ravel32::FileTextOf(area) != text)
        std::abort();
    return 0;
}
