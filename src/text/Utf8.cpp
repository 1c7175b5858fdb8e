#include "text/Utf8.h"

#include <QString>
#include <QStringDecoder>

#include <algorithm>

namespace Utf8 {

bool IsValid(QByteArrayView bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    // Decoding in slices keeps the memory small for a large file; the slices
    // are cut at character starts so no sequence is split.
    constexpr qsizetype kSlice = 1 << 20;
    qsizetype from = 0;
    while (from < bytes.size()) {
        qsizetype to = std::min(bytes.size(), from + kSlice);
        while (to < bytes.size() && to > from && (static_cast<unsigned char>(bytes[to]) & 0xC0) == 0x80)
            --to;
        if (to == from)
            to = std::min(bytes.size(), from + kSlice);
        // decode() converts only when its result becomes a string.
        const QString slice = utf8.decode(bytes.sliced(from, to - from));
        if (utf8.hasError())
            return false;
        from = to;
    }
    return true;
}

bool IsAscii(QByteArrayView bytes)
{
    for (const char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

}  // namespace Utf8
