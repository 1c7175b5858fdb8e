#include "text/PageText.h"

// Every character taken out lies in the Basic Multilingual Plane, so the text
// is read a UTF-16 unit at a time: a surrogate is never taken out, and a pair
// (or a stray half of one) passes through as it stands.

namespace PageText {

bool IsNeutralised(char32_t c)
{
    if (c < 0x20 || (c >= 0x7F && c <= 0x9F))  // C0, DEL and C1 controls
        return true;
    switch (c) {
    case 0x061C:  // Arabic letter mark
    case 0x200E:  // left-to-right mark
    case 0x200F:  // right-to-left mark
    case 0x2028:  // line separator
    case 0x2029:  // paragraph separator
        return true;
    default:
        break;
    }
    return (c >= 0x202A && c <= 0x202E)     // embeddings, their pop and overrides
           || (c >= 0x2066 && c <= 0x2069);  // isolates and their pop
}

QString Shown(QStringView text)
{
    QString shown;
    shown.reserve(text.size());
    for (const QChar c : text)
        if (!IsNeutralised(c.unicode()))
            shown.append(c);
    return shown;
}

QString ShownAddress(QStringView address)
{
    QString shown;
    shown.reserve(address.size());
    for (const QChar c : address) {
        if (!IsNeutralised(c.unicode())) {
            shown.append(c);
            continue;
        }
        for (const char byte : QString(c).toUtf8())
            shown += QLatin1Char('%') + QString::number(static_cast<uchar>(byte), 16).rightJustified(2, QLatin1Char('0')).toUpper();
    }
    return shown;
}

}  // namespace PageText
