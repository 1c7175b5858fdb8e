#include "text/WebTextDecoder.h"

#include "text/Utf8.h"
#include "text/Windows1252.h"

#include <QRegularExpression>
#include <QStringDecoder>

namespace {

// Browsers look for a meta declaration in the first 1024 bytes; a little more
// room costs nothing and catches pages with long comments in their head.
constexpr qsizetype kPageSniffBytes = 4096;

bool isWindows1252Label(const QByteArray& lower)
{
    static const QByteArray labels[] = {
        "windows-1252", "cp1252", "x-cp1252", "iso-8859-1", "iso8859-1", "iso_8859-1",
        "latin1", "l1", "us-ascii", "ascii", "ansi_x3.4-1968", "cp819", "ibm819",
    };
    for (const QByteArray& label : labels)
        if (lower == label)
            return true;
    return false;
}

// UTF-8 as browsers read it: a multi-byte sequence cut off by the end of the
// body is one replacement character (Qt's own decoder would give one per byte
// or, keeping state, none).
QString decodeUtf8(QByteArrayView body)
{
    qsizetype lead = body.size();
    for (int back = 1; back <= 3 && back <= body.size(); ++back) {
        const auto b = static_cast<unsigned char>(body[body.size() - back]);
        if ((b & 0xC0) != 0x80) {
            lead = body.size() - back;
            break;
        }
    }
    if (lead < body.size()) {
        const auto b = static_cast<unsigned char>(body[lead]);
        const qsizetype need = b >= 0xF0 && b <= 0xF4 ? 4 : b >= 0xE0 ? 3 : b >= 0xC2 && b < 0xE0 ? 2 : 0;
        if (need > body.size() - lead && b < 0xF5)
            return QString::fromUtf8(body.first(lead)) + QChar(QChar::ReplacementCharacter);
    }
    return QString::fromUtf8(body);
}

QString decodeWith(QStringConverter::Encoding encoding, QByteArrayView body)
{
    if (encoding == QStringConverter::Utf8)
        return decodeUtf8(body.startsWith("\xEF\xBB\xBF") ? body.sliced(3) : body);
    QStringDecoder decoder(encoding, QStringDecoder::Flag::Stateless);
    return decoder.decode(body);
}

}  // namespace

QByteArray WebTextDecoder::CharsetOfContentType(const QByteArray& contentType)
{
    static const QRegularExpression re(
        QStringLiteral(R"(;\s*charset\s*=\s*["']?([^"';\s]+))"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = re.match(QString::fromLatin1(contentType));
    return m.hasMatch() ? m.captured(1).toLatin1() : QByteArray();
}

QByteArray WebTextDecoder::CharsetOfPage(const QByteArray& body)
{
    // <meta charset="x"> and <meta http-equiv="Content-Type" content="text/html; charset=x">
    static const QRegularExpression re(
        QStringLiteral(R"(<meta\b[^>]*?\bcharset\s*=\s*["']?\s*([A-Za-z0-9_.:\-]+))"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = re.match(QString::fromLatin1(body.left(kPageSniffBytes)));
    return m.hasMatch() ? m.captured(1).toLatin1() : QByteArray();
}

bool WebTextDecoder::DecodeAs(const QByteArray& label, const QByteArray& body, QString& text)
{
    const QByteArray lower = label.trimmed().toLower();
    if (lower.isEmpty())
        return false;
    if (isWindows1252Label(lower)) {
        text = Windows1252::decode(body);
        return true;
    }
    if (const auto known = QStringConverter::encodingForName(lower.constData())) {
        text = decodeWith(*known, body);
        return true;
    }
    // Stateless: a sequence cut off at the end of the body gives a
    // replacement character instead of vanishing.
    QStringDecoder decoder(lower.constData(), QStringDecoder::Flag::Stateless);
    if (!decoder.isValid())
        return false;
    text = decoder.decode(body);
    return true;
}

QString WebTextDecoder::Decode(const QByteArray& body, const QByteArray& contentType)
{
    // A byte-order mark is certain, so it goes first, as in browsers.
    if (const auto bom = QStringConverter::encodingForData(body))
        return decodeWith(*bom, body);
    QString text;
    if (DecodeAs(CharsetOfContentType(contentType), body, text))
        return text;
    const QByteArray declared = CharsetOfPage(body);
    if (!declared.isEmpty()) {
        // The code-page labels are read as Windows-1252, as browsers do;
        // any other declaration is found and read by Qt's own sniffing.
        if (isWindows1252Label(declared.trimmed().toLower()))
            return Windows1252::decode(body);
        if (const auto encoding = QStringConverter::encodingForHtml(body))
            return decodeWith(*encoding, body);
        QStringDecoder decoder = QStringDecoder::decoderForHtml(body);
        if (decoder.isValid())
            return decoder.decode(body);
        if (DecodeAs(declared, body, text))
            return text;
    }
    // Nothing declared: text that is valid UTF-8 is UTF-8; anything else is
    // the code page, where every byte is a character.
    if (Utf8::IsValid(body))
        return decodeUtf8(body);
    return Windows1252::decode(body);
}
