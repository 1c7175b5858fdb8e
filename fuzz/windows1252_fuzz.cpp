// The code page: every byte string decodes to as many characters and encodes
// back to itself; text from anywhere either encodes or is refused, never
// encoded into other characters.
#include "text/Windows1252.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString text = Windows1252::decode(bytes);
    QByteArray back;
    if (text.size() != bytes.size() || !Windows1252::encode(text, back) || back != bytes)
        std::abort();
    const QString any = QString::fromUtf8(bytes);
    if (Windows1252::encode(any, back) && Windows1252::decode(back) != any)
        std::abort();
    return 0;
}
