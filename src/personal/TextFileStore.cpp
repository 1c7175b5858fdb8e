#include "personal/TextFileStore.h"

#include <QFile>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QSaveFile>
#include <QStringDecoder>
#include <QTextDocument>
#include <QVariant>
#include <array>

namespace ravel32 {

namespace {

const char kEncodingProperty[] = "nimbrelFileEncoding";
const QByteArray kUtf8Bom("\xEF\xBB\xBF");
const QLatin1StringView kCrLf("\r\n");

// Windows-1252 for the bytes 0x80 to 0x9F. The five bytes the code page leaves
// unassigned (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the control characters of
// the same number, so that every byte of a file keeps a character and comes
// back as the same byte.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

QString decodeWindows1252(const QByteArray& bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        *out++ = (b >= 0x80 && b < 0xA0) ? QChar(kHighControls[b - 0x80]) : QChar(b);
    }
    return text;
}

// The Windows-1252 byte of `c`, or -1 when the code page cannot store it.
int windows1252Byte(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    for (size_t i = 0; i < kHighControls.size(); ++i)
        if (kHighControls[i] == c)
            return static_cast<int>(0x80 + i);
    return -1;
}

// False when a character cannot be stored; `out` is then incomplete.
bool encodeWindows1252(const QString& text, QByteArray& out)
{
    out.resize(text.size());
    char* dest = out.data();
    for (const QChar ch : text) {
        const int b = windows1252Byte(ch.unicode());
        if (b < 0)
            return false;
        *dest++ = static_cast<char>(b);
    }
    return true;
}

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

DecodedText DecodeFileText(const QByteArray& bytes)
{
    const bool hasBom = bytes.startsWith(kUtf8Bom);
    const QByteArrayView body = hasBom ? QByteArrayView(bytes).sliced(kUtf8Bom.size()) : QByteArrayView(bytes);
    // Any later byte-order mark is a character of the text and is kept.
    QStringDecoder utf8(QStringDecoder::Utf8,
                        QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    QString text = utf8.decode(body);
    if (!utf8.hasError())
        return {std::move(text), hasBom ? TextEncoding::Utf8WithBom : TextEncoding::Utf8};
    return {decodeWindows1252(bytes), TextEncoding::Windows1252};
}

QByteArray EncodeFileText(const QString& text, TextEncoding& encoding)
{
    if (encoding == TextEncoding::Windows1252) {
        QByteArray bytes;
        if (encodeWindows1252(text, bytes))
            return bytes;
        // A character the code page cannot hold: never drop it, switch to UTF-8.
        encoding = TextEncoding::Utf8;
    }
    QByteArray bytes = text.toUtf8();
    if (encoding == TextEncoding::Utf8WithBom)
        bytes.prepend(kUtf8Bom);
    return bytes;
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

bool WriteFileAtomically(const QString& path, const QByteArray& bytes)
{
    // An existing file that cannot be opened for writing stays as it is; the
    // replacement below would otherwise rename over a read-only file.
    QFile existing(path);
    if (existing.exists() && !existing.open(QIODevice::WriteOnly | QIODevice::Append))
        return false;
    existing.close();

    QSaveFile file(path);
    // A directory that holds the file but refuses new files (no rename
    // possible) still lets the file itself be rewritten in place.
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();  // the temporary file is discarded, the old file stays
        return false;
    }
    return file.commit();
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
