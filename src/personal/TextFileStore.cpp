#include "personal/TextFileStore.h"

#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>
#include <QVariant>

// The notes half of the text-file stores (and the encoding both remember):
// the text area's text to the file's bytes and back.

namespace ravel32 {

namespace {

const char kEncodingProperty[] = "nimbrelFileEncoding";
const QLatin1StringView kCrLf("\r\n");

// ---- Notes: characters a text area cannot hold -----------------------------

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

}  // namespace

QByteArray EncodeFileText(const QString& text, TextEncoding& encoding)
{
    return UserTextFile::Encode(text, encoding);
}

TextEncoding FileEncoding(const QObject* control)
{
    const QVariant v = control->property(kEncodingProperty);
    return v.isValid() ? static_cast<TextEncoding>(v.toInt()) : TextEncoding::Utf8;
}

void SetFileEncoding(QObject* control, TextEncoding encoding)
{
    control->setProperty(kEncodingProperty, static_cast<int>(encoding));
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

namespace {

// The file bytes of an area's text (its terminator included) in UTF-8, built
// in one pass into `out`, whose memory is reused from one keystroke to the next.
void areaTextToUtf8(QStringView text, bool bom, QByteArray& out)
{
    const qsizetype most = 3 * text.size() + 2 * 2 + 3;
    if (out.capacity() > 4 * most + (1 << 20))
        out = QByteArray();  // a much smaller text than before: give the memory back
    out.resize(most);
    auto* o = reinterpret_cast<unsigned char*>(out.data());
    auto* const start = o;
    if (bom) {
        *o++ = 0xEF;
        *o++ = 0xBB;
        *o++ = 0xBF;
    }
    char16_t high = 0;
    const auto put = [&](char32_t c) {
        if (c < 0x80) {
            *o++ = static_cast<unsigned char>(c);
        } else if (c < 0x800) {
            *o++ = static_cast<unsigned char>(0xC0 | (c >> 6));
            *o++ = static_cast<unsigned char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            *o++ = static_cast<unsigned char>(0xE0 | (c >> 12));
            *o++ = static_cast<unsigned char>(0x80 | ((c >> 6) & 0x3F));
            *o++ = static_cast<unsigned char>(0x80 | (c & 0x3F));
        } else {
            *o++ = static_cast<unsigned char>(0xF0 | (c >> 18));
            *o++ = static_cast<unsigned char>(0x80 | ((c >> 12) & 0x3F));
            *o++ = static_cast<unsigned char>(0x80 | ((c >> 6) & 0x3F));
            *o++ = static_cast<unsigned char>(0x80 | (c & 0x3F));
        }
    };
    const auto unit = [&](char16_t u) {
        if (high) {
            if (QChar::isLowSurrogate(u)) {
                put(QChar::surrogateToUcs4(high, u));
                high = 0;
                return;
            }
            put(QChar::ReplacementCharacter);  // a high surrogate alone, as Qt writes it
            high = 0;
        }
        if (QChar::isHighSurrogate(u))
            high = u;
        else if (QChar::isLowSurrogate(u))
            put(QChar::ReplacementCharacter);
        else
            put(u);
    };
    // Runs of plain ASCII, most of a typical note, are copied in a tight loop;
    // line breaks and everything beyond ASCII go through the file-unit rules.
    // Every stand-in and escape is made of units beyond ASCII, so cutting the
    // text where a plain run starts and ends never splits one.
    const auto plain = [](char16_t c) { return c < 0x80 && c != u'\n'; };
    const QChar* const in = text.data();
    const qsizetype size = text.size();
    qsizetype i = 0;
    while (i < size) {
        if (plain(in[i].unicode())) {
            if (high) {
                put(QChar::ReplacementCharacter);
                high = 0;
            }
            do
                *o++ = static_cast<unsigned char>(in[i].unicode());
            while (++i < size && plain(in[i].unicode()));
            continue;
        }
        qsizetype end = i + 1;
        while (end < size && !plain(in[end].unicode()))
            ++end;
        forEachFileUnit(text.sliced(i, end - i), unit);
        i = end;
    }
    if (high)
        put(QChar::ReplacementCharacter);
    put(U'\r');
    put(U'\n');
    out.truncate(o - start);
}

}  // namespace

namespace {

// A copy of a text area's raw text (blocks apart by U+2029), kept up to date
// from the document's change reports. Taking the whole raw text from a
// document of fifty megabytes costs more than the rest of a keystroke's write;
// the copy costs one move of memory per change. A copy whose length stops
// matching the document's is dropped and taken afresh.
class AreaTextCopy final : public QObject {
    Q_OBJECT

public:
    explicit AreaTextCopy(QTextDocument* document) : QObject(document), m_document(document)
    {
        setObjectName(QStringLiteral("nimbrelAreaTextCopy"));
        connect(document, &QTextDocument::contentsChange, this, &AreaTextCopy::Change);
    }

    // The document's raw text was just set to `raw`: the copy takes it as it
    // is instead of asking the document for it again.
    void Take(QString raw)
    {
        m_text = std::move(raw);
        m_valid = m_text.size() == m_document->characterCount() - 1;
    }

    static AreaTextCopy* Of(QTextDocument* document)
    {
        auto* copy = document->findChild<AreaTextCopy*>(QStringLiteral("nimbrelAreaTextCopy"),
                                                        Qt::FindDirectChildrenOnly);
        return copy ? copy : new AreaTextCopy(document);
    }

    const QString& Text()
    {
        if (!m_valid || m_text.size() != m_document->characterCount() - 1) {
            m_text = m_document->toRawText();
            m_valid = true;
        }
        return m_text;
    }

private:
    void Change(int position, int removed, int added)
    {
        if (!m_valid)
            return;
        // Counts may take in the document's closing separator, which the raw
        // text leaves out: both are cut at the end of the text.
        const int length = m_document->characterCount() - 1;
        if (position < 0 || position > m_text.size()) {
            m_valid = false;
            return;
        }
        m_text.remove(position, std::min<qsizetype>(removed, m_text.size() - position));
        const int end = std::min(position + added, length);
        if (end > position) {
            QTextCursor cursor(m_document);
            cursor.setPosition(position);
            cursor.setPosition(end, QTextCursor::KeepAnchor);
            m_text.insert(position, cursor.selectedText());
        }
        if (m_text.size() != length)
            m_valid = false;
    }

    QTextDocument* m_document;
    QString m_text;
    bool m_valid = false;
};

}  // namespace

QString AreaRawText(QPlainTextEdit* area)
{
    return AreaTextCopy::Of(area->document())->Text();
}

namespace {

// A text document spends microseconds on every block it builds, so a text of
// a million lines would take many seconds to show. In a long text only every
// kLinesPerGroup-th line break stays a block separator; the others become
// line separators, which look and edit the same and cost nothing to build.
// The writer writes both as CR LF, and a U+2028 of the file itself is held
// as a stand-in, so the file does not change.
constexpr qsizetype kGroupLinesFrom = 1 << 20;
constexpr int kLinesPerGroup = 64;

void GroupLines(QString& text)
{
    QChar* c = text.data();
    QChar* const end = c + text.size();
    int inGroup = 0;
    for (; c != end; ++c) {
        if (*c == u'\n' && ++inGroup < kLinesPerGroup)
            *c = QChar::LineSeparator;
        else if (*c == u'\n')
            inGroup = 0;
    }
}

}  // namespace

void ReadTextFile(QPlainTextEdit* area, const QString& path)
{
    QByteArray bytes;
    DecodedText decoded;
    if (UserTextFile::ReadAll(path, bytes))
        decoded = DecodeFileText(bytes);
    bytes = QByteArray();
    QString& text = decoded.text;
    if (text.endsWith(kCrLf))
        text.chop(2);
    text = AreaTextOf(text);
    if (text.size() >= kGroupLinesFrom)
        GroupLines(text);
    SetFileEncoding(area, decoded.encoding);
    QTextDocument* document = area->document();
    if (document->isEmpty() ? text.isEmpty()
                            : document->toRawText().replace(QChar::ParagraphSeparator, QLatin1Char('\n')) == text)
        return;
    area->setPlainText(text);
    // The document holds the text with its line feeds as block separators;
    // the writer's copy is made from the text in place rather than asked of
    // the document, which for a long text costs most of a second.
    text.replace(QLatin1Char('\n'), QChar::ParagraphSeparator);
    AreaTextCopy::Of(document)->Take(std::move(text));
}

bool WriteTextFile(QPlainTextEdit* area, const QString& path, QString* error)
{
    const QString raw = AreaRawText(area);
    TextEncoding encoding = FileEncoding(area);
    static QByteArray buffer;
    if (encoding == TextEncoding::Windows1252) {
        QString text = FileTextOf(raw);
        text.append(kCrLf);
        const QByteArray bytes = EncodeFileText(text, encoding);
        if (encoding == TextEncoding::Windows1252)
            buffer = bytes;
    }
    if (encoding != TextEncoding::Windows1252) {
        // A text that starts with U+FEFF is written after a byte-order mark,
        // so the reader, which takes one mark off, gives the character back.
        if (encoding == TextEncoding::Utf8 && raw.startsWith(QChar(0xFEFF)))
            encoding = TextEncoding::Utf8WithBom;
        areaTextToUtf8(raw, encoding == TextEncoding::Utf8WithBom, buffer);
    }
    if (!WriteFileAtomically(path, buffer, error))
        return false;
    SetFileEncoding(area, encoding);
    return true;
}

}  // namespace ravel32

// AreaTextCopy is a QObject declared in this file (findChild needs its meta-object).
#include "TextFileStore.moc"
