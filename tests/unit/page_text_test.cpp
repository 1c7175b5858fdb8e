// Text a page controls, made safe for captions, on random Unicode: only
// direction controls and control characters are taken out, nothing else
// changes, and an address stays the same address.
#include "text/PageText.h"

#include <QRandomGenerator>
#include <QUrl>
#include <gtest/gtest.h>

namespace {

constexpr int kRounds = 2000;

// Judged by Unicode's own classes, not by the list the code keeps: a
// character that steers the direction of the text around it, or a control.
bool SteersOrControls(QChar c)
{
    switch (c.direction()) {
    case QChar::DirLRE:
    case QChar::DirRLE:
    case QChar::DirLRO:
    case QChar::DirRLO:
    case QChar::DirPDF:
    case QChar::DirLRI:
    case QChar::DirRLI:
    case QChar::DirFSI:
    case QChar::DirPDI:
        return true;
    default:
        return c.category() == QChar::Other_Control;
    }
}

// What may be taken out: controls, format characters (the invisible marks)
// and the line and paragraph separators.
bool MayBeTakenOut(QChar c)
{
    return SteersOrControls(c) || c.category() == QChar::Other_Format || c.category() == QChar::Separator_Line
           || c.category() == QChar::Separator_Paragraph;
}

QString RandomText(QRandomGenerator& random)
{
    static const char32_t awkward[] = {0x202E, 0x202D, 0x202A, 0x202B, 0x202C, 0x2066, 0x2067, 0x2068,
                                       0x2069, 0x200E, 0x200F, 0x061C, 0x0000, 0x0009, 0x000A, 0x001B,
                                       0x007F, 0x0085, 0x009F, 0x2028, 0x2029, 0x200D, 0xFEFF, 0x05D0,
                                       0x0627, 0x1F600, 0xD800, 0xDC00};
    QString text;
    const int length = random.bounded(0, 24);
    for (int i = 0; i < length; ++i) {
        const int pick = random.bounded(4);
        char32_t c = 0;
        if (pick == 0)
            c = awkward[random.bounded(int(std::size(awkward)))];
        else if (pick == 1)
            c = random.bounded(0x20, 0x7F);
        else if (pick == 2)
            c = random.bounded(0x80, 0x10000);
        else
            c = random.bounded(0x10000, 0x110000);
        if (c < 0x10000) {
            text.append(QChar(static_cast<char16_t>(c)));  // stray surrogate halves included
        } else {
            text.append(QChar::highSurrogate(c));
            text.append(QChar::lowSurrogate(c));
        }
    }
    return text;
}

}  // namespace

TEST(PageText, OnlyDirectionControlsAndControlCharactersAreTakenOut)
{
    QRandomGenerator random(31);
    for (int round = 0; round < kRounds; ++round) {
        const QString text = RandomText(random);
        const QString shown = PageText::Shown(text);
        // What is left is the text in its order, less some characters ...
        qsizetype at = 0;
        for (const QChar c : text) {
            if (at < shown.size() && shown.at(at) == c) {
                ++at;
                continue;
            }
            // ... and every one taken out is of the kinds that may be.
            EXPECT_TRUE(MayBeTakenOut(c)) << "took out U+" << std::hex << int(c.unicode());
        }
        ASSERT_EQ(at, shown.size()) << "the result is not the text less some characters";
        for (const QChar c : shown)
            EXPECT_FALSE(SteersOrControls(c)) << "left U+" << std::hex << int(c.unicode());
    }
}

TEST(PageText, ATitleReadsAsItsCharactersDo)
{
    EXPECT_EQ(PageText::Shown(u"Bank \u202Egnp.exe"), QStringLiteral("Bank gnp.exe"));
    EXPECT_EQ(PageText::Shown(u"\u2067abc\u2069 - \u200Fx\tY\r\n"), QStringLiteral("abc - xY"));
    EXPECT_EQ(PageText::Shown(u"日本語 עברית 😀"), QString::fromUtf8("日本語 עברית 😀"));
}

TEST(PageText, AnAddressKeepsItsMeaningAndLosesItsDirectionControls)
{
    QRandomGenerator random(7);
    for (int round = 0; round < kRounds; ++round) {
        QUrl url(QStringLiteral("http://127.0.0.1:8080/"));
        url.setPath(QLatin1Char('/') + RandomText(random));
        url.setFragment(RandomText(random));
        const QString shown = PageText::ShownAddress(url.toString());
        for (const QChar c : shown)
            EXPECT_FALSE(SteersOrControls(c)) << "left U+" << std::hex << int(c.unicode());
        EXPECT_EQ(QUrl(shown).toEncoded(), QUrl(url.toString()).toEncoded()) << shown.toStdString();
    }
    EXPECT_EQ(PageText::ShownAddress(u"http://example.org/a\u202Eb"),
              QStringLiteral("http://example.org/a%E2%80%AEb"));
}
