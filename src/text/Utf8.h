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
// QString::toUtf8() writes a question mark). A unit never takes more than
// kMostBytesPerUnit bytes, Finish() included, so memory of that many bytes a
// unit is enough. The writing of a unit is always inlined: a caller's loop
// then keeps the writer's state in registers, which makes a text beyond
// ASCII as quick to write as with a hand-written loop.
class Writer {
public:
    static constexpr qsizetype kMostBytesPerUnit = 3;

    explicit Writer(char* out) : m_out(reinterpret_cast<unsigned char*>(out)) {}

    Q_ALWAYS_INLINE void Unit(char16_t u)
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

    // The same as Unit(u): a writer can be handed on where a function of a
    // unit is wanted.
    Q_ALWAYS_INLINE void operator()(char16_t u) { Unit(u); }

    // Copies units below 0x80 as they are from `from` on, up to `to`, the
    // first unit from 0x80 up or the first for which `stop(unit)` holds;
    // returns where it stopped. Runs of ASCII, most of a typical text, are
    // copied in one tight loop this way.
    template <typename Stop>
    const QChar* Ascii(const QChar* from, const QChar* to, Stop stop)
    {
        const auto copied = [&stop](char16_t u) { return u < 0x80 && !stop(u); };
        if (from == to || !copied(from->unicode()))
            return from;
        Finish();
        // A local pointer: stores through the member itself could alias it,
        // which would keep the compiler from making this a tight loop.
        unsigned char* out = m_out;
        do
            *out++ = static_cast<unsigned char>(from->unicode());
        while (++from != to && copied(from->unicode()));
        m_out = out;
        return from;
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
    Q_ALWAYS_INLINE void Put(char32_t c)
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
