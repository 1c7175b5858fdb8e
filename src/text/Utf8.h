#pragma once

#include <QByteArrayView>
#include <QChar>
#include <QtGlobal>

// UTF-8: whether bytes are well-formed UTF-8, and a writer that turns UTF-16
// into UTF-8 in memory sized in advance, for texts written so often that
// QString::toUtf8() and its allocation show.
namespace Utf8 {

// True when `bytes` are well-formed UTF-8 as a whole (a sequence cut off at
// the end is not).
bool IsValid(QByteArrayView bytes);

// True when every byte is below 0x80.
bool IsAscii(QByteArrayView bytes);

// Writes UTF-16 code units as UTF-8 from `out` on. A surrogate without its
// partner is written as U+FFFD, the replacement character (where
// QString::toUtf8() writes a question mark). A unit never
// takes more than kMostBytesPerUnit bytes, Finish() included, so memory of
// that many bytes a unit is enough.
class Writer {
public:
    static constexpr qsizetype kMostBytesPerUnit = 3;

    explicit Writer(char* out) : m_out(reinterpret_cast<unsigned char*>(out)) {}

    void Unit(char16_t u)
    {
        if (m_high) {
            if (QChar::isLowSurrogate(u)) {
                Put(QChar::surrogateToUcs4(m_high, u));
                m_high = 0;
                return;
            }
            Put(QChar::ReplacementCharacter);
            m_high = 0;
        }
        if (QChar::isHighSurrogate(u))
            m_high = u;
        else if (QChar::isLowSurrogate(u))
            Put(QChar::ReplacementCharacter);
        else
            Put(u);
    }

    // Units below 0x80 from `from` up to `to`, copied as they are.
    void Ascii(const QChar* from, const QChar* to)
    {
        if (m_high) {
            Put(QChar::ReplacementCharacter);
            m_high = 0;
        }
        for (; from != to; ++from)
            *m_out++ = static_cast<unsigned char>(from->unicode());
    }

    // Writes out a high surrogate still waiting for its partner.
    void Finish()
    {
        if (m_high) {
            Put(QChar::ReplacementCharacter);
            m_high = 0;
        }
    }

    // Where the next byte goes.
    char* End() const { return reinterpret_cast<char*>(m_out); }

private:
    void Put(char32_t c)
    {
        if (c < 0x80) {
            *m_out++ = static_cast<unsigned char>(c);
        } else if (c < 0x800) {
            *m_out++ = static_cast<unsigned char>(0xC0 | (c >> 6));
            *m_out++ = static_cast<unsigned char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            *m_out++ = static_cast<unsigned char>(0xE0 | (c >> 12));
            *m_out++ = static_cast<unsigned char>(0x80 | ((c >> 6) & 0x3F));
            *m_out++ = static_cast<unsigned char>(0x80 | (c & 0x3F));
        } else {
            *m_out++ = static_cast<unsigned char>(0xF0 | (c >> 18));
            *m_out++ = static_cast<unsigned char>(0x80 | ((c >> 12) & 0x3F));
            *m_out++ = static_cast<unsigned char>(0x80 | ((c >> 6) & 0x3F));
            *m_out++ = static_cast<unsigned char>(0x80 | (c & 0x3F));
        }
    }

    unsigned char* m_out;
    char16_t m_high = 0;  // a high surrogate waiting for its partner
};

}  // namespace Utf8
