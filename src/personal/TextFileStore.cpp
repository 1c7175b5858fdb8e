#include "personal/TextFileStore.h"

#include "platform/Windows1252.h"

#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
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

void appendEscape(QString& out)
{
    out.append(QChar(kEscapeHigh));
    out.append(QChar(kEscapeLow));
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

QString AreaTextOf(const QString& fileText)
{
    const QStringView in(fileText);
    QString out;
    out.reserve(in.size());
    qsizetype from = 0;
    for (qsizetype i = 0; i < in.size(); ++i) {
        const char16_t c = in[i].unicode();
        if (!needsStandIn(c))
            continue;
        out.append(in.sliced(from, i - from));
        from = i + 1;
        if (c == u'\r' && i + 1 < in.size() && in[i + 1] == u'\n') {
            out.append(QLatin1Char('\n'));  // CR LF is the line break
            ++i;
            from = i + 1;
        } else if (c == kEscapeHigh) {
            // The escape is doubled; a high surrogate alone is copied.
            if (isEscapeAt(in, i)) {
                appendEscape(out);
                appendEscape(out);
                ++i;
                from = i + 1;
            } else {
                out.append(in[i]);
            }
        } else {
            for (const StandIn& s : kStandIns) {
                if (s.character == c) {
                    appendEscape(out);
                    out.append(QChar(s.mark));
                }
            }
        }
    }
    out.append(in.sliced(from));
    return out;
}

QString FileTextOf(QStringView in)
{
    QString out;
    out.reserve(in.size() + in.size() / 32 + 2);
    qsizetype from = 0;
    for (qsizetype i = 0; i < in.size(); ++i) {
        const char16_t c = in[i].unicode();
        if (c != u'\n' && c != 0x2029 && c != kEscapeHigh)
            continue;
        if (c == kEscapeHigh && !isEscapeAt(in, i))
            continue;
        out.append(in.sliced(from, i - from));
        from = i + 1;
        if (c != kEscapeHigh) {
            out.append(kCrLf);  // a line break of the area
            continue;
        }
        // An escape: what follows it says which character it stands for.
        const qsizetype next = i + 2;
        if (isEscapeAt(in, next)) {
            appendEscape(out);
            i = next + 1;
        } else if (next < in.size()) {
            const char16_t mark = in[next].unicode();
            const StandIn* found = nullptr;
            for (const StandIn& s : kStandIns)
                if (s.mark == mark)
                    found = &s;
            if (found) {
                out.append(QChar(found->character));
                i = next;
            } else {
                appendEscape(out);  // an escape on its own stays itself
                i = next - 1;
            }
        } else {
            appendEscape(out);
            i = next - 1;
        }
        from = i + 1;
    }
    out.append(in.sliced(from));
    return out;
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
    QString text = FileTextOf(area->document()->toRawText());
    text.append(kCrLf);
    TextEncoding encoding = FileEncoding(area);
    // A text that starts with U+FEFF is written after a byte-order mark, so the
    // reader, which takes one mark off, gives the character back.
    if (encoding == TextEncoding::Utf8 && text.startsWith(QChar(0xFEFF)))
        encoding = TextEncoding::Utf8WithBom;
    const QByteArray bytes = EncodeFileText(text, encoding);
    text = QString();
    if (!WriteFileAtomically(path, bytes, error))
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
            entry = QString::fromUtf8(line);
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
