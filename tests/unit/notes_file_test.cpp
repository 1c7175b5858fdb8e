// The notes file's writer and the UTF-8 check under it, on what the text
// area tests cannot give them: text that is not well-formed UTF-16 (a text
// area's text can hold a surrogate without its partner) and bytes long enough
// that the check reads them in slices.
#include "text/Utf8.h"
#include "userfiles/NotesFile.h"

#include <QRandomGenerator>
#include <QStringDecoder>

#include <gtest/gtest.h>

namespace {

// UTF-16 units weighted towards the ones the writer treats apart: surrogates
// alone and in pairs, the escape of a stand-in and the stand-ins' marks, line
// breaks, and runs of ASCII.
QString randomUnits(QRandomGenerator& random, int maxLength)
{
    static const char16_t awkward[] = {
        0xD83D, 0xDE00, 0xDBFF, 0xDFFD, 0x240D, 0x2424, 0x00B6, 0x2402, 0x2403, u'\n', u'\r', 0x2028,
        0x2029, 0xFEFF, 0x00E9, 0x07FF, 0x0800, 0xFFFF, 0x007F, 0x0080, 0x0000,
    };
    QString text;
    const int length = random.bounded(maxLength + 1);
    for (int i = 0; i < length; ++i) {
        switch (random.bounded(3)) {
        case 0: text += QChar(awkward[random.bounded(int(std::size(awkward)))]); break;
        case 1: text += QChar(char16_t(random.bounded(0x20, 0x7F))); break;
        default: text += QChar(char16_t(random.bounded(0x10000))); break;
        }
    }
    return text;
}

// The text with every surrogate that has no partner replaced by U+FFFD, as
// the writer writes it (QString::toUtf8() would write '?').
QString withLoneSurrogatesReplaced(QString text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        else if (text[i].isSurrogate())
            text[i] = QChar::ReplacementCharacter;
    }
    return text;
}

}  // namespace

TEST(NotesFile, TheUtf8WriterWritesAnyUnitsAsUtf8)
{
    QRandomGenerator random(53);
    // One buffer for every round, as the notepad keeps one: a short text
    // after a long one must not keep the long one's tail.
    QByteArray out;
    for (int round = 0; round < 5000; ++round) {
        const QString area = randomUnits(random, round % 50 == 0 ? 4000 : 40);
        for (const auto start : {NotesFile::Encoding::Utf8, NotesFile::Encoding::Utf8WithBom}) {
            NotesFile::Encoding encoding = start;
            NotesFile::Encode(area, encoding, out);
            QByteArray expected = withLoneSurrogatesReplaced(NotesFile::FileTextOf(area)).toUtf8() + "\r\n";
            const bool marked = start == NotesFile::Encoding::Utf8WithBom || area.startsWith(QChar(0xFEFF));
            if (marked)
                expected.prepend("\xEF\xBB\xBF");
            ASSERT_EQ(out.toHex(' ').toStdString(), expected.toHex(' ').toStdString()) << round;
            EXPECT_EQ(encoding, marked ? NotesFile::Encoding::Utf8WithBom : NotesFile::Encoding::Utf8);
        }
    }
}

TEST(NotesFile, ACodePageTextTheCodePageCannotHoldIsWrittenAsUtf8)
{
    // The code page cannot hold a lone surrogate, nor does it give back a
    // text whose bytes are valid UTF-8: both are written as UTF-8.
    for (const QString& area : {QString(QChar(0xD800)) + "x", QStringLiteral("\u00C3\u00A9")}) {
        NotesFile::Encoding encoding = NotesFile::Encoding::Windows1252;
        QByteArray out;
        NotesFile::Encode(area, encoding, out);
        EXPECT_EQ(encoding, NotesFile::Encoding::Utf8);
        const QByteArray expected = withLoneSurrogatesReplaced(NotesFile::FileTextOf(area)).toUtf8() + "\r\n";
        EXPECT_EQ(out.toHex(' ').toStdString(), expected.toHex(' ').toStdString());
    }
}

TEST(Utf8, TheCheckAgreesWithQtAcrossItsSlices)
{
    // The check reads 1 MiB at a time: every sequence, whole or cut, that
    // straddles the cut is found as the decoder of the whole bytes finds it.
    constexpr qsizetype kSlice = 1 << 20;
    const QByteArray sequences[] = {"\xC3\xA9", "\xE6\x97\xA5", "\xF0\x9F\x98\x80", "\xE6\x97", "\xF0\x9F\x98",
                                    "\x80", "\xC3", "\xED\xA0\x80", "\xC0\xAF", "\xF4\x90\x80\x80"};
    for (const QByteArray& sequence : sequences) {
        for (qsizetype before = 1; before <= 4; ++before) {
            QByteArray bytes(kSlice - before, 'a');
            bytes += sequence;
            bytes += QByteArray(10, 'b');
            QStringDecoder whole(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
            const QString decoded = whole.decode(bytes);
            EXPECT_EQ(Utf8::IsValid(bytes), !whole.hasError())
                << sequence.toHex(' ').constData() << " at " << before << " before the cut";
        }
    }
    EXPECT_TRUE(Utf8::IsValid(QByteArray(3 * kSlice, 'a')));
    EXPECT_FALSE(Utf8::IsValid(QByteArray(2 * kSlice, 'a') + "\xE6\x97"));
    EXPECT_FALSE(Utf8::IsValid(QByteArray(kSlice + 7, '\x80')));
}
