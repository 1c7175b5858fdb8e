// The favourites file as values, on generated files: any bytes come back
// byte for byte, edits of the values never touch another entry's bytes, and
// the favourites list, which keeps the same format in its items, makes the
// same bytes as the values after the same edits.
#include "personal/FavouritesList.h"
#include "userfiles/FavouritesFile.h"

#include <QListWidget>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include "support/Files.h"

#include <gtest/gtest.h>

namespace {

using FavouritesFile::File;

constexpr int kRounds = 300;

// Bytes weighted towards what the format tells apart: line ends, the mark,
// UTF-8 sequences whole and cut, code-page bytes.
QByteArray randomFileBytes(QRandomGenerator& random)
{
    static const QByteArray pieces[] = {
        "\r\n", "\r", "\n", "\xEF\xBB\xBF", "www.site", "\xC3\xA9", "\xE6\x97\xA5", "\xF0\x9F\x98\x80",
        "\xC3", "\xE9", "\x80", "\x93quoted\x94", "\xEF\xB7\x90", QByteArray("\0", 1),
    };
    QByteArray bytes;
    if (random.bounded(3) == 0)
        bytes += "\xEF\xBB\xBF";
    const int count = random.bounded(16);
    for (int i = 0; i < count; ++i) {
        if (random.bounded(4) == 0)
            bytes += char(random.bounded(256));
        else
            bytes += pieces[random.bounded(int(std::size(pieces)))];
    }
    return bytes;
}

QString randomEntryText(QRandomGenerator& random)
{
    static const char16_t characters[] = {u'w', u'.', 0x00E9, 0x201C, 0x20AC, 0x65E5, 0x00C3, 0x00A9, 0xFEFF, 0x0081};
    QString text;
    const int length = random.bounded(6);
    for (int i = 0; i < length; ++i)
        text += QChar(characters[random.bounded(int(std::size(characters)))]);
    return text;
}

// The bytes of each entry's line as the file writes it; when `followed`, as
// it writes them once another line follows the last.
QList<QByteArray> linesOf(const File& file, bool followed = false)
{
    QList<QByteArray> lines;
    for (qsizetype i = 0; i < file.Entries().size(); ++i) {
        QByteArray line;
        FavouritesFile::AppendLine(line, file.Entries()[i], !followed && i + 1 == file.Entries().size());
        lines << line;
    }
    return lines;
}

QStringList textsOf(const File& file)
{
    QStringList texts;
    for (const FavouritesFile::Entry& entry : file.Entries())
        texts << entry.text;
    return texts;
}

}  // namespace

TEST(FavouritesFile, AnyBytesAreReadAndWrittenBackByteForByte)
{
    QRandomGenerator random(41);
    for (int round = 0; round < 3000; ++round) {
        const QByteArray bytes = randomFileBytes(random);
        const File file = File::Read(bytes);
        ASSERT_EQ(file.Bytes(), bytes) << round << ": " << bytes.toHex(' ').constData();
        // The reader hands out the same entries one at a time, and tallies
        // them as the tally counts entries in.
        FavouritesFile::Reader reader(bytes);
        FavouritesFile::Tally counted;
        qsizetype i = 0;
        for (; !reader.AtEnd(); ++i) {
            const FavouritesFile::Entry entry = reader.Next();
            ASSERT_LT(i, file.Entries().size());
            ASSERT_EQ(entry.text, file.Entries()[i].text);
            ASSERT_TRUE(entry.form == file.Entries()[i].form);
            counted.Count(entry);
        }
        ASSERT_EQ(i, file.Entries().size());
        ASSERT_EQ(reader.Tallied().utf8Lines, counted.utf8Lines) << bytes.toHex(' ').constData();
        ASSERT_EQ(reader.Tallied().codePageLines, counted.codePageLines) << bytes.toHex(' ').constData();
    }
}

TEST(FavouritesFile, EditsOfTheValuesKeepEveryOtherEntrysBytes)
{
    QRandomGenerator random(43);
    for (int round = 0; round < kRounds; ++round) {
        const QByteArray bytes = randomFileBytes(random);
        File file = File::Read(bytes);
        const bool marked = file.ByteOrderMark();
        for (int step = 0; step < 10; ++step) {
            QList<QByteArray> expected;
            if (random.bounded(3) == 0 && !file.Entries().isEmpty()) {
                const qsizetype at = random.bounded(int(file.Entries().size()));
                expected = linesOf(file);
                file.Remove(at);
                expected.removeAt(at);
            } else {
                // The old last line gains a line end if it had none.
                expected = linesOf(file, true);
                const QString text = randomEntryText(random);
                file.Append(text);
                ASSERT_EQ(file.Entries().back().text, text);
                expected << linesOf(file).back();  // the new entry's, whatever it is
            }
            ASSERT_EQ(linesOf(file), expected) << round << "/" << step << " from " << bytes.toHex(' ').constData();
            const QByteArray written = file.Bytes();
            ASSERT_EQ(written.startsWith("\xEF\xBB\xBF") && marked, marked) << round << "/" << step;
            // Where the file starts with the mark's bytes the reader tells from
            // the first line whether they are the file's mark, so the first
            // entry may read back otherwise; such files are left out here.
            if (!written.startsWith("\xEF\xBB\xBF")) {
                ASSERT_EQ(textsOf(File::Read(written)), textsOf(file)) << round << "/" << step;
            }
        }
    }
}

TEST(FavouritesFile, TheListMakesTheSameBytesAsTheValuesAfterTheSameEdits)
{
    QTemporaryDir dir;
    const QString fav = dir.path() + QStringLiteral("/FavPlaces.TXT");
    QRandomGenerator random(47);
    for (int round = 0; round < kRounds; ++round) {
        const QByteArray bytes = randomFileBytes(random);
        putFile(fav, bytes);
        File file = File::Read(bytes);
        QListWidget list;
        ASSERT_TRUE(ravel32::ReadListFile(fav, &list, [] { return true; }));
        for (int step = 0; step < 8; ++step) {
            if (random.bounded(3) == 0 && list.count() > 0) {
                const int row = random.bounded(list.count());
                ravel32::RemoveListEntry(&list, row);
                file.Remove(row);
            } else {
                const QString text = randomEntryText(random);
                ravel32::AppendListEntry(&list, text);
                file.Append(text);
            }
            ASSERT_TRUE(ravel32::WriteListFile(fav, &list));
            ASSERT_EQ(fileBytes(fav).toHex(' '), file.Bytes().toHex(' '))
                << round << "/" << step << " from " << bytes.toHex(' ').constData();
        }
    }
}
