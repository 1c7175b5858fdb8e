// The user-file decoder: any bytes decode to a text that encodes back to the
// same bytes, with the byte-order mark remembered or kept in the text.
#include "text/Utf8.h"
#include "userfiles/UserTextFile.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    for (const auto bom : {UserTextFile::Bom::Remember, UserTextFile::Bom::KeepInText}) {
        const UserTextFile::Decoded decoded = UserTextFile::Decode(bytes, bom);
        UserTextFile::Encoding encoding = decoded.encoding;
        if (UserTextFile::Encode(decoded.text, encoding) != bytes)
            std::abort();
        if (encoding != decoded.encoding)
            std::abort();
    }
    // The validity check agrees with the decoder that decides the encoding.
    if (Utf8::IsValid(bytes) != (UserTextFile::Decode(bytes, UserTextFile::Bom::KeepInText).encoding
                                 == UserTextFile::Encoding::Utf8))
        std::abort();
    return 0;
}
