// The web page decoder: the first line of the input is taken as the
// Content-Type header, the rest as the body. Whatever arrives, decoding ends
// and yields text; a body that declares nothing and is valid UTF-8 reads as
// UTF-8.
#include "text/Utf8.h"
#include "text/WebTextDecoder.h"

#include <QStringConverter>

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    const qsizetype cut = input.indexOf('\n');
    const QByteArray header = cut < 0 ? QByteArray() : input.left(cut);
    const QByteArray body = cut < 0 ? input : input.mid(cut + 1);
    const QString text = WebTextDecoder::Decode(body, header);
    (void)WebTextDecoder::CharsetOfContentType(header);
    (void)WebTextDecoder::CharsetOfPage(body);
    if (header.isEmpty() && WebTextDecoder::CharsetOfPage(body).isEmpty()
        && !QStringConverter::encodingForData(body) && Utf8::IsValid(body)
        && text != QString::fromUtf8(body))
        std::abort();
    return 0;
}
