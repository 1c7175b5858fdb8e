#include "platform/WebTextDecoder.h"

#include "platform/UserTextFile.h"
#include "platform/Windows1252.h"

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
    if (const auto bom = QStringConverter::encodingForData(body)) {
        QStringDecoder decoder(*bom, QStringDecoder::Flag::Stateless);
        return decoder.decode(body);
    }
    QString text;
    if (DecodeAs(CharsetOfContentType(contentType), body, text))
        return text;
    const QByteArray declared = CharsetOfPage(body);
    if (!declared.isEmpty()) {
        // The code-page labels are read as Windows-1252, as browsers do;
        // any other declaration is found and read by Qt's own sniffing.
        if (isWindows1252Label(declared.trimmed().toLower()))
            return Windows1252::decode(body);
        if (const auto encoding = QStringConverter::encodingForHtml(body)) {
            QStringDecoder decoder(*encoding, QStringDecoder::Flag::Stateless);
            return decoder.decode(body);
        }
        QStringDecoder decoder = QStringDecoder::decoderForHtml(body);
        if (decoder.isValid())
            return decoder.decode(body);
        if (DecodeAs(declared, body, text))
            return text;
    }
    // Nothing declared: text that is valid UTF-8 is UTF-8; anything else is
    // the code page, where every byte is a character.
    if (UserTextFile::IsUtf8(body))
        return QString::fromUtf8(body);
    return Windows1252::decode(body);
}
