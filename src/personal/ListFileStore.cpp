#include "personal/TextFileStore.h"

#include "text/Utf8.h"
#include "text/Windows1252.h"

#include <QListWidget>
#include <QPointer>
#include <QStringDecoder>
#include <QVariant>

// The favourites half of the text-file stores: the list file, read and written
// line by line so that every entry keeps the bytes it was stored as.

namespace ravel32 {

namespace {

const char kCodePageLinesProperty[] = "nimbrelCodePageLines";
const char kUtf8LinesProperty[] = "nimbrelUtf8Lines";
const char kMarkedProperty[] = "nimbrelByteOrderMark";
const QByteArray kUtf8Bom("\xEF\xBB\xBF");
const QLatin1StringView kCrLf("\r\n");

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
        marked = Utf8::IsValid(QByteArrayView(data, end));
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
        if (Utf8::IsAscii(line)) {
            entry = QString::fromLatin1(line);
        } else if (Utf8::IsValid(line)) {
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
    // The mark stays though every entry is gone: a file that held only the
    // mark is written back as it was.
    if (list->property(kMarkedProperty).toBool())
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
        codePage = Windows1252::encode(text, bytes) && !Utf8::IsValid(bytes);
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
