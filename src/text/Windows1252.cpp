#include "text/Windows1252.h"

namespace Windows1252 {

namespace {

// Bytes 0x80 to 0x9F; the rest of the code page is Latin-1.
constexpr char16_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

bool encodeChar(char16_t c, char& out)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
        out = static_cast<char>(c);
        return true;
    }
    for (int i = 0; i < 32; ++i) {
        if (kHigh[i] == c) {
            out = static_cast<char>(0x80 + i);
            return true;
        }
    }
    return false;
}

}  // namespace

QString decode(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char b : bytes) {
        const auto u = static_cast<unsigned char>(b);
        *out++ = QChar(u >= 0x80 && u < 0xA0 ? kHigh[u - 0x80] : char16_t(u));
    }
    return text;
}

bool encode(QStringView text, QByteArray& out)
{
    out.resize(text.size());
    char* p = out.data();
    for (const QChar c : text) {
        if (!encodeChar(c.unicode(), *p++))
            return false;
    }
    return true;
}

}  // namespace Windows1252
