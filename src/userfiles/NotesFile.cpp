#include "userfiles/NotesFile.h"

#include "text/Utf8.h"

namespace NotesFile {

namespace {

const QLatin1StringView kCrLf("\r\n");

// ---- Characters a text area cannot hold ------------------------------------

// The escape that starts a stand-in: U+10FFFD, the last private-use code
// point, which no keyboard or text in the wild produces.
constexpr char16_t kEscapeHigh = 0xDBFF;
constexpr char16_t kEscapeLow = 0xDFFD;

struct StandIn {
    char16_t character;  // what the file holds
    char16_t mark;       // shown after the escape in the text area
};

// A lone CR and U+2029 become line breaks in a text area, and U+2028 is the
// area's own line break inside a group of lines (see ReadTextFile); U+FDD0
// and U+FDD1 are the markers a text document uses for the start and end of a
// frame.
constexpr StandIn kStandIns[] = {
    {u'\r', 0x240D},    // SYMBOL FOR CARRIAGE RETURN
    {0x2028, 0x2424},   // SYMBOL FOR NEWLINE
    {0x2029, 0x00B6},   // PILCROW SIGN
    {0xFDD0, 0x2402},   // SYMBOL FOR START OF TEXT
    {0xFDD1, 0x2403},   // SYMBOL FOR END OF TEXT
};

bool needsStandIn(char16_t c)
{
    return c == u'\r' || c == 0x2028 || c == 0x2029 || c == 0xFDD0 || c == 0xFDD1 || c == kEscapeHigh;
}

// What the text area shows as a line break, and the writer writes as CR LF.
bool isAreaLineBreak(char16_t c)
{
    return c == u'\n' || c == 0x2028 || c == 0x2029;
}

bool isEscapeAt(QStringView text, qsizetype i)
{
    return i + 1 < text.size() && text[i].unicode() == kEscapeHigh && text[i + 1].unicode() == kEscapeLow;
}

// Hands `sink` the UTF-16 units of the file text of an area's text one by
// one: line breaks become CR LF, stand-ins the characters they stand for.
template <typename Sink>
void forEachFileUnit(QStringView text, Sink&& sink)
{
    const QChar* in = text.data();
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t c = in[i].unicode();
        if (isAreaLineBreak(c)) {
            sink(u'\r');
            sink(u'\n');
            continue;
        }
        if (c != kEscapeHigh || !isEscapeAt(text, i)) {
            sink(c);
            continue;
        }
        // An escape: what follows it says which character it stands for.
        const qsizetype next = i + 2;
        if (isEscapeAt(text, next)) {
            sink(kEscapeHigh);
            sink(kEscapeLow);
            i = next + 1;
            continue;
        }
        const StandIn* found = nullptr;
        if (next < size)
            for (const StandIn& standIn : kStandIns)
                if (standIn.mark == in[next].unicode())
                    found = &standIn;
        if (found) {
            sink(found->character);
            i = next;
        } else {
            // An escape on its own stays itself.
            sink(kEscapeHigh);
            sink(kEscapeLow);
            i = next - 1;
        }
    }
}

// The file bytes of an area's text (its terminator included) in UTF-8, built
// in one pass into `out`, whose memory is reused from one keystroke to the next.
void areaTextToUtf8(QStringView text, bool bom, QByteArray& out)
{
    const qsizetype most = Utf8::Writer::kMostBytesPerUnit * text.size() + 2 * 2 + 3;
    if (out.capacity() > 4 * most + (1 << 20))
        out = QByteArray();  // a much smaller text than before: give the memory back
    out.resize(most);
    char* const start = out.data();
    Utf8::Writer writer(start);
    if (bom)
        writer.Unit(0xFEFF);
    // Runs of plain ASCII, most of a typical note, are copied as they are;
    // line breaks and everything beyond ASCII go through the file-unit rules.
    // Every stand-in and escape is made of units beyond ASCII, so cutting the
    // text where a plain run starts and ends never splits one.
    const auto lineFeed = [](char16_t c) { return c == u'\n'; };
    const auto plain = [](char16_t c) { return c < 0x80 && c != u'\n'; };
    const QChar* const in = text.data();
    const qsizetype size = text.size();
    qsizetype i = 0;
    while (i < size) {
        qsizetype end = writer.Ascii(in + i, in + size, lineFeed) - in;
        if (end == i) {
            end = i + 1;
            while (end < size && !plain(in[end].unicode()))
                ++end;
            forEachFileUnit(text.sliced(i, end - i), writer);
        }
        i = end;
    }
    writer.Unit(u'\r');
    writer.Unit(u'\n');
    out.truncate(writer.End() - start);
}

}  // namespace

Decoded Decode(QByteArray bytes)
{
    UserTextFile::Decoded decoded = UserTextFile::Decode(bytes);
    bytes = QByteArray();
    QString& text = decoded.text;
    if (text.endsWith(kCrLf))
        text.chop(2);
    return {AreaTextOf(text), decoded.encoding};
}

void Encode(QStringView areaText, Encoding& encoding, QByteArray& out)
{
    if (encoding == Encoding::Windows1252) {
        QString text = FileTextOf(areaText);
        text.append(kCrLf);
        QByteArray bytes = UserTextFile::Encode(text, encoding);
        if (encoding == Encoding::Windows1252) {
            out = std::move(bytes);
            return;
        }
    }
    if (encoding == Encoding::Utf8 && areaText.startsWith(QChar(0xFEFF)))
        encoding = Encoding::Utf8WithBom;
    areaTextToUtf8(areaText, encoding == Encoding::Utf8WithBom, out);
}

// Both directions work on raw buffers sized in advance: a notes file of tens
// of megabytes goes through here on every keystroke.

QString AreaTextOf(const QString& fileText)
{
    const QChar* in = fileText.constData();
    const qsizetype size = fileText.size();
    qsizetype specials = 0;
    for (qsizetype i = 0; i < size; ++i)
        specials += needsStandIn(in[i].unicode());
    if (specials == 0)
        return fileText;

    QString out(size + 2 * specials, Qt::Uninitialized);
    QChar* o = out.data();
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t c = in[i].unicode();
        if (!needsStandIn(c)) {
            *o++ = in[i];
        } else if (c == u'\r' && i + 1 < size && in[i + 1] == u'\n') {
            *o++ = QLatin1Char('\n');  // CR LF is the line break
            ++i;
        } else if (c == kEscapeHigh) {
            if (i + 1 < size && in[i + 1].unicode() == kEscapeLow) {
                // The escape itself is doubled.
                *o++ = QChar(kEscapeHigh);
                *o++ = QChar(kEscapeLow);
                *o++ = QChar(kEscapeHigh);
                *o++ = QChar(kEscapeLow);
                ++i;
            } else {
                *o++ = in[i];  // a high surrogate alone is copied
            }
        } else {
            for (const StandIn& standIn : kStandIns) {
                if (standIn.character == c) {
                    *o++ = QChar(kEscapeHigh);
                    *o++ = QChar(kEscapeLow);
                    *o++ = QChar(standIn.mark);
                }
            }
        }
    }
    out.truncate(o - out.constData());
    return out;
}

QString FileTextOf(QStringView text)
{
    qsizetype breaks = 0;
    for (const QChar c : text)
        breaks += isAreaLineBreak(c.unicode());
    QString out(text.size() + breaks, Qt::Uninitialized);
    QChar* o = out.data();
    forEachFileUnit(text, [&o](char16_t unit) { *o++ = QChar(unit); });
    out.truncate(o - out.constData());
    return out;
}

}  // namespace NotesFile
