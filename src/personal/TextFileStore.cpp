#include "personal/TextFileStore.h"

#include "platform/Windows1252.h"

#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QStringDecoder>
#include <QTextCursor>
#include <QTextDocument>
#include <QVariant>

#include <cstring>

namespace ravel32 {

namespace {

const char kEncodingProperty[] = "nimbrelFileEncoding";
const char kCodePageLinesProperty[] = "nimbrelCodePageLines";
const char kUtf8LinesProperty[] = "nimbrelUtf8Lines";
const char kMarkedProperty[] = "nimbrelByteOrderMark";
const QByteArray kUtf8Bom("\xEF\xBB\xBF");
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

// A lone CR and U+2029 become line breaks in a text area; U+FDD0 and U+FDD1
// are the markers a text document uses for the start and end of a frame.
constexpr StandIn kStandIns[] = {
    {u'\r', 0x240D},    // SYMBOL FOR CARRIAGE RETURN
    {0x2029, 0x00B6},   // PILCROW SIGN
    {0xFDD0, 0x2402},   // SYMBOL FOR START OF TEXT
    {0xFDD1, 0x2403},   // SYMBOL FOR END OF TEXT
};

bool needsStandIn(char16_t c)
{
    return c == u'\r' || c == 0x2029 || c == 0xFDD0 || c == 0xFDD1 || c == kEscapeHigh;
}

bool isEscapeAt(QStringView text, qsizetype i)
{
    return i + 1 < text.size() && text[i].unicode() == kEscapeHigh && text[i + 1].unicode() == kEscapeLow;
}

// ---- Favourites: how each line was stored ----------------------------------

// The item data that keeps an entry's whole text when the list shows it cut
// short, and how the entry's line was stored when that is not UTF-8 with CR LF.
constexpr int kWholeTextRole = Qt::UserRole + 1;
constexpr int kLineFormRole = Qt::UserRole + 2;

constexpr int kCodePageBit = 1;
enum LineEnd { CrLf = 0, Lf = 1, Cr = 2, NoEnd = 3 };
constexpr int lineEndOf(int form) { return (form >> 1) & 3; }
constexpr int formOf(bool codePage, LineEnd end) { return (codePage ? kCodePageBit : 0) | (end << 1); }

int lineForm(const QListWidgetItem* item)
{
    const QVariant v = item->data(kLineFormRole);
    return v.isValid() ? v.toInt() : 0;
}

bool isAscii(QStringView text)
{
    for (const QChar c : text)
        if (c.unicode() >= 0x80)
            return false;
    return true;
}

int counter(const QObject* list, const char* name)
{
    return list->property(name).toInt();
}

void addToCounter(QObject* list, const char* name, int delta)
{
    list->setProperty(name, counter(list, name) + delta);
}

// Which of the two counters an entry counts in, if any: only entries with a
// character beyond ASCII tell the encodings apart.
const char* counterOf(const QString& text, int form)
{
    if (isAscii(text))
        return nullptr;
    return (form & kCodePageBit) ? kCodePageLinesProperty : kUtf8LinesProperty;
}

QListWidgetItem* newEntryItem(const QString& text, int form)
{
    const bool cut = text.size() > kShownEntryCharacters;
    auto* item = new QListWidgetItem(cut ? text.left(kShownEntryCharacters) + QChar(0x2026) : text);
    if (cut)
        item->setData(kWholeTextRole, text);
    if (form != 0)
        item->setData(kLineFormRole, form);
    return item;
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
        if (c == u'\n' || c == 0x2029) {
            sink(u'\r');  // a line break of the area
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
        breaks += c == u'\n' || c == QChar(0x2029);
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
    forEachFileUnit(text, unit);
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
public:
    explicit AreaTextCopy(QTextDocument* document) : QObject(document), m_document(document)
    {
        setObjectName(QStringLiteral("nimbrelAreaTextCopy"));
        connect(document, &QTextDocument::contentsChange, this, &AreaTextCopy::Change);
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
    SetFileEncoding(area, decoded.encoding);
    QTextDocument* document = area->document();
    if (document->isEmpty() ? !text.isEmpty()
                            : document->toRawText().replace(QChar::ParagraphSeparator, QLatin1Char('\n')) != text)
        area->setPlainText(text);
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

bool ReadListFile(const QString& path, QListWidget* list, const EventTurn& doEvents)
{
    QByteArray bytes;
    if (!UserTextFile::ReadAll(path, bytes))
        return false;

    const QPointer<QListWidget> target(list);
    const int entriesBefore = list->count();
    int codePageLines = 0;
    int utf8Lines = 0;
    const char* const data = bytes.constData();
    const qsizetype size = bytes.size();
    qsizetype start = 0;
    // A byte-order mark belongs to the file, not to its first entry; it is
    // kept when the first line is UTF-8 and written back at the start.
    bool marked = false;
    if (bytes.startsWith(kUtf8Bom)) {
        qsizetype end = 0;
        while (end < size && data[end] != '\r' && data[end] != '\n')
            ++end;
        marked = UserTextFile::IsUtf8(QByteArrayView(data, end));
        if (marked)
            start = kUtf8Bom.size();
    }
    while (start < size) {
        // A line ends at CR LF, or at a lone CR or LF from another system.
        qsizetype end = start;
        while (end < size && data[end] != '\r' && data[end] != '\n')
            ++end;
        const QByteArrayView line(data + start, end - start);
        LineEnd lineEnd = NoEnd;
        start = end;
        if (start < size) {
            if (data[start] == '\r' && start + 1 < size && data[start + 1] == '\n') {
                lineEnd = CrLf;
                start += 2;
            } else {
                lineEnd = data[start] == '\r' ? Cr : Lf;
                start += 1;
            }
        }

        QString entry;
        bool codePage = false;
        if (UserTextFile::IsAscii(line)) {
            entry = QString::fromLatin1(line);
        } else if (UserTextFile::IsUtf8(line)) {
            if (line.startsWith(kUtf8Bom)) {
                // QString::fromUtf8 would drop a leading U+FEFF, a character of the entry.
                QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
                entry = utf8.decode(line);
            } else {
                entry = QString::fromUtf8(line);
            }
            ++utf8Lines;
        } else {
            entry = Windows1252::decode(line);
            codePage = true;
            ++codePageLines;
        }

        if (!doEvents() || !target)
            return false;
        target->addItem(newEntryItem(entry, formOf(codePage, lineEnd)));
    }
    if (marked && entriesBefore == 0)
        list->setProperty(kMarkedProperty, true);
    addToCounter(list, kCodePageLinesProperty, codePageLines);
    addToCounter(list, kUtf8LinesProperty, utf8Lines);
    SetFileEncoding(list, codePageLines > 0 && utf8Lines == 0 ? TextEncoding::Windows1252 : TextEncoding::Utf8);
    return true;
}

QString ListEntryText(const QListWidgetItem* item)
{
    const QVariant whole = item->data(kWholeTextRole);
    return whole.isValid() ? whole.toString() : item->text();
}

QByteArray ListEntryBytes(const QListWidgetItem* item)
{
    const QString text = ListEntryText(item);
    if (lineForm(item) & kCodePageBit) {
        QByteArray bytes;
        if (Windows1252::encode(text, bytes))
            return bytes;
    }
    return text.toUtf8();
}

bool WriteListFile(const QString& path, QListWidget* list, QString* error)
{
    QByteArray bytes;
    const int count = list->count();
    if (count > 0 && list->property(kMarkedProperty).toBool())
        bytes += kUtf8Bom;
    for (int i = 0; i < count; ++i) {
        const QListWidgetItem* item = list->item(i);
        bytes += ListEntryBytes(item);
        switch (lineEndOf(lineForm(item))) {
        case Lf: bytes += '\n'; break;
        case Cr: bytes += '\r'; break;
        case NoEnd:
            // Only a last line may go without its end.
            if (i + 1 < count)
                bytes += kCrLf;
            break;
        default: bytes += kCrLf; break;
        }
    }
    return WriteFileAtomically(path, bytes, error);
}

void AppendListEntry(QListWidget* list, const QString& text)
{
    bool codePage = false;
    if (!isAscii(text) && counter(list, kUtf8LinesProperty) == 0 && counter(list, kCodePageLinesProperty) > 0) {
        QByteArray bytes;
        codePage = Windows1252::encode(text, bytes) && !UserTextFile::IsUtf8(bytes);
    }
    // A last line read without its line end gets one now that a line follows.
    if (const int count = list->count(); count > 0) {
        QListWidgetItem* last = list->item(count - 1);
        const int form = lineForm(last);
        if (lineEndOf(form) == NoEnd)
            last->setData(kLineFormRole, form & kCodePageBit);
    }
    const int form = formOf(codePage, CrLf);
    if (const char* name = counterOf(text, form))
        addToCounter(list, name, 1);
    list->addItem(newEntryItem(text, form));
}

void RemoveListEntry(QListWidget* list, int row)
{
    QListWidgetItem* item = list->takeItem(row);
    if (!item)
        return;
    if (const char* name = counterOf(ListEntryText(item), lineForm(item)))
        addToCounter(list, name, -1);
    delete item;
}

}  // namespace ravel32
