#include "personal/TextFileStore.h"

#include <QFile>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTextDocument>
#include <QVariant>

namespace ravel32 {

namespace {

const char kEncodingProperty[] = "nimbrelFileEncoding";
const QLatin1StringView kCrLf("\r\n");

bool readWholeFile(const QString& path, QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    bytes = file.readAll();
    return file.error() == QFileDevice::NoError;
}

// The text of a plain text area as it is stored: every line break becomes
// CR LF and one CR LF ends it. The document's raw text is used because its
// plain text would turn non-breaking spaces into ordinary ones. Built by
// appending whole lines, which is several times faster on a long text than
// replacing the breaks in place.
QString storedText(const QPlainTextEdit* area)
{
    const QString raw = area->document()->toRawText();
    const QStringView view(raw);
    QString text;
    text.reserve(raw.size() + area->document()->blockCount() + 2);
    qsizetype from = 0;
    for (qsizetype at; (at = raw.indexOf(QChar::ParagraphSeparator, from)) >= 0; from = at + 1) {
        text.append(view.sliced(from, at - from));
        text.append(kCrLf);
    }
    text.append(view.sliced(from));
    text.append(kCrLf);
    return text;
}

}  // namespace

TextEncoding FileEncoding(const QObject* control)
{
    const QVariant v = control->property(kEncodingProperty);
    return v.isValid() ? static_cast<TextEncoding>(v.toInt()) : TextEncoding::Utf8;
}

void SetFileEncoding(QObject* control, TextEncoding encoding)
{
    control->setProperty(kEncodingProperty, static_cast<int>(encoding));
}

void ReadTextFile(QPlainTextEdit* area, const QString& path)
{
    QByteArray bytes;
    DecodedText decoded;
    if (readWholeFile(path, bytes))
        decoded = DecodeFileText(bytes);
    QString& text = decoded.text;
    if (text.endsWith(kCrLf))
        text.chop(2);
    text.replace(kCrLf, QLatin1StringView("\n"));
    SetFileEncoding(area, decoded.encoding);
    if (area->document()->toRawText().replace(QChar::ParagraphSeparator, QLatin1Char('\n')) != text)
        area->setPlainText(text);
}

void WriteTextFile(QPlainTextEdit* area, const QString& path)
{
    TextEncoding encoding = FileEncoding(area);
    const QByteArray bytes = EncodeFileText(storedText(area), encoding);
    if (WriteFileAtomically(path, bytes))
        SetFileEncoding(area, encoding);
}

bool ReadListFile(const QString& path, QListWidget* list, const EventTurn& doEvents)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const DecodedText decoded = DecodeFileText(file.readAll());
    file.close();
    SetFileEncoding(list, decoded.encoding);

    const QPointer<QListWidget> target(list);
    const QString& text = decoded.text;
    const qsizetype size = text.size();
    qsizetype start = 0;
    while (start < size) {
        // A line ends at CR LF, or at a lone CR or LF from another system.
        qsizetype end = start;
        while (end < size && text[end] != QLatin1Char('\r') && text[end] != QLatin1Char('\n'))
            ++end;
        const QString entry = text.mid(start, end - start);
        start = end;
        if (start < size) {
            const bool crLf = text[start] == QLatin1Char('\r') && start + 1 < size
                              && text[start + 1] == QLatin1Char('\n');
            start += crLf ? 2 : 1;
        }

        if (!doEvents() || !target)
            return false;
        target->addItem(entry);
    }
    return true;
}

void WriteListFile(const QString& path, QListWidget* list)
{
    QString text;
    for (int i = 0; i < list->count(); ++i) {
        text += list->item(i)->text();
        text += kCrLf;
    }
    TextEncoding encoding = FileEncoding(list);
    if (WriteFileAtomically(path, EncodeFileText(text, encoding)))
        SetFileEncoding(list, encoding);
}

}  // namespace ravel32
