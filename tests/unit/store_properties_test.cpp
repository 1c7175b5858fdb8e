// The notes and favourites stores on generated data: random bytes, random
// Unicode text and files that mix encodings, line ends and the characters a
// text area cannot hold. What is written reads back as the same text, and
// entries nobody changed keep their bytes through any run of Add and Del.
#include "personal/FavouritesList.h"
#include "personal/NotesArea.h"
#include "userfiles/UserTextFile.h"
#include "text/Windows1252.h"

#include <QListWidget>
#include <QPlainTextEdit>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>
#include "support/Files.h"
#include "support/TestMain.h"

#include <gtest/gtest.h>

using namespace ravel32;

namespace {

constexpr int kRounds = 150;

QString areaText(const QPlainTextEdit& area)
{
    return area.document()->toRawText().replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
}

// One random Unicode scalar value, weighted towards the awkward ones.
char32_t randomScalar(QRandomGenerator& random, bool areaSafe)
{
    static const char32_t awkward[] = {
        0x00E9, 0x00A0, 0x20AC, 0x2028, 0x2029, 0xFDD0, 0xFDD1, 0xFDEF, 0xFFFE, 0xFFFF, 0xFEFF,
        0xFFFC, 0x0000, 0x0009, 0x0085, 0x0081, 0x1F600, 0x10FFFD, 0x10FFFF, U'\r', 0x65E5,
        0x00C3, 0x00A9, 0x00C2,
    };
    char32_t c;
    do {
        switch (random.bounded(5)) {
        case 0: c = awkward[random.bounded(int(std::size(awkward)))]; break;
        case 1: c = char32_t(random.bounded(0x20, 0x7F)); break;
        case 2: c = char32_t(random.bounded(0x80, 0x800)); break;
        case 3: c = char32_t(random.bounded(0x800, 0x10000)); break;
        default: c = char32_t(random.bounded(0x10000, 0x110000)); break;
        }
    } while ((c >= 0xD800 && c <= 0xDFFF) || c == U'\n'
             || (areaSafe
                 && (c == U'\r' || c == 0x2028 || c == 0x2029 || c == 0xFDD0 || c == 0xFDD1 || c == 0x10FFFD)));
    return c;
}

QString randomText(QRandomGenerator& random, int maxLength, bool areaSafe)
{
    QString text;
    const int length = random.bounded(maxLength + 1);
    for (int i = 0; i < length; ++i) {
        if (random.bounded(12) == 0)
            text += QLatin1Char('\n');
        else
            text += QString::fromUcs4(std::array<char32_t, 1>{randomScalar(random, areaSafe)}.data(), 1);
    }
    return text;
}

QByteArray randomBytes(QRandomGenerator& random, int maxLength)
{
    QByteArray bytes(random.bounded(maxLength + 1), Qt::Uninitialized);
    for (char& b : bytes)
        b = char(random.bounded(256));
    return bytes;
}

// A line of the kind a favourites file may hold: ASCII, UTF-8 text,
// Windows-1252 bytes, or anything at all; never a line end inside.
QByteArray randomLine(QRandomGenerator& random)
{
    QByteArray line;
    switch (random.bounded(4)) {
    case 0: line = "www.site" + QByteArray::number(random.bounded(1000)) + ".example"; break;
    case 1: line = randomText(random, 20, false).toUtf8(); break;
    case 2: {
        const QString latin = randomText(random, 20, false);
        for (const QChar c : latin)
            line += char(c.unicode() & 0xFF);
        break;
    }
    default: line = randomBytes(random, 30); break;
    }
    line.replace('\r', 'r');
    line.replace('\n', 'n');
    return line;
}

QByteArray randomLineEnd(QRandomGenerator& random)
{
    static const QByteArray ends[] = {"\r\n", "\r\n", "\r\n", "\n", "\r"};
    return ends[random.bounded(int(std::size(ends)))];
}

QStringList entriesOf(const QListWidget& list)
{
    QStringList out;
    for (int i = 0; i < list.count(); ++i)
        out << ListEntryText(list.item(i));
    return out;
}

class StoreProperties : public ::testing::Test {
protected:
    // Random text of every script has characters no installed font shapes.
    static void SetUpTestSuite() { TestMain::IgnoreWarnings(QStringLiteral("^\\s*OpenType support missing for")); }
    QString path(const QString& name) const { return dir.path() + name; }
    QTemporaryDir dir;
};

}  // namespace

TEST_F(StoreProperties, TheTextAreaHoldsEveryCharacterButTheOnesGivenStandIns)
{
    // Every code point of the first plane except the surrogates: the ones the
    // area changes must be exactly the ones the store gives stand-ins.
    QString all;
    for (char32_t c = 1; c < 0x10000; ++c)
        if ((c < 0xD800 || c > 0xDFFF) && c != U'\n' && c != U'\r' && c != 0x2029 && c != 0xFDD0 && c != 0xFDD1)
            all += QChar(char16_t(c));
    all += QString::fromUcs4(U"\U0001F600\U0010FFFF");
    // The document of a text area, without the area's layout (which would
    // look for a font of every script).
    QTextDocument document;
    document.setPlainText(all);
    EXPECT_EQ(document.toRawText(), all);
    QPlainTextEdit area;

    // And the stand-ins bring the others through the area unchanged.
    const QString awkward = QStringLiteral("a\rb\u2029c\uFDD0d\uFDD1e") + QString::fromUcs4(U"\U0010FFFD") + "f";
    area.setPlainText(AreaTextOf(awkward));
    EXPECT_EQ(FileTextOf(area.document()->toRawText()), awkward);
}

TEST_F(StoreProperties, StandInsUndoExactlyForEveryText)
{
    QRandomGenerator random(11);
    for (int round = 0; round < 2000; ++round) {
        QString text = randomText(random, 40, false);
        text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
        ASSERT_EQ(FileTextOf(AreaTextOf(text)), text) << round;
    }
    // A CR before CR LF is a character of its own, then a line break.
    EXPECT_EQ(FileTextOf(AreaTextOf("a\r\r\nb")), "a\r\r\nb");
    EXPECT_EQ(AreaTextOf("a\r\r\nb").count(QLatin1Char('\n')), 1);
}

TEST_F(StoreProperties, NotesFilesOfRandomBytesComeBackByteForByte)
{
    const QString notes = path("/Notes.TXT");
    QRandomGenerator random(5);
    for (int round = 0; round < kRounds; ++round) {
        // What the writer makes: a body whose line feeds are all CR LF, then CR LF.
        QByteArray bytes = randomBytes(random, 300);
        if (round % 3 == 0)
            bytes = randomText(random, 100, false).toUtf8();
        bytes.replace("\r\n", "\n");
        bytes.replace('\n', "\r\n");
        bytes += "\r\n";
        putFile(notes, bytes);

        QPlainTextEdit area;
        ReadTextFile(&area, notes);
        const QString shown = areaText(area);
        ASSERT_TRUE(WriteTextFile(&area, notes));
        ASSERT_EQ(fileBytes(notes), bytes) << "round " << round << ": " << bytes.toHex().constData();

        QPlainTextEdit again;
        ReadTextFile(&again, notes);
        ASSERT_EQ(areaText(again), shown) << round;
    }
}

TEST_F(StoreProperties, AnyTextTypedIntoThePadReadsBackAsItWas)
{
    const QString notes = path("/Notes.TXT");
    QRandomGenerator random(3);
    for (int round = 0; round < kRounds; ++round) {
        // The pad was last read from a file in one of the three encodings.
        static const QByteArray starts[] = {"plain\r\n", "caf\xE9\r\n", "\xEF\xBB\xBFmarked\r\n"};
        putFile(notes, starts[round % 3]);
        QPlainTextEdit area;
        ReadTextFile(&area, notes);

        const QString typed = randomText(random, 60, true);
        area.setPlainText(typed);
        ASSERT_TRUE(WriteTextFile(&area, notes));
        QPlainTextEdit reopened;
        ReadTextFile(&reopened, notes);
        ASSERT_EQ(areaText(reopened), areaText(area)) << "round " << round;
    }

    // The cases that used to change: code-page bytes that are valid UTF-8.
    for (const QString& typed : {QString("\u00C3\u00A9 text"), QString("\u00CD\u2021")}) {
        putFile(notes, "caf\xE9\r\n");
        QPlainTextEdit area;
        ReadTextFile(&area, notes);
        area.setPlainText(typed);
        ASSERT_TRUE(WriteTextFile(&area, notes));
        QPlainTextEdit reopened;
        ReadTextFile(&reopened, notes);
        EXPECT_EQ(areaText(reopened), typed);
    }
}

TEST_F(StoreProperties, ALongNoteComesBackByteForByteAndTakesEditsAnywhere)
{
    // Long enough that the area holds its lines in groups; awkward characters
    // (a line separator and a lone CR of the file's own among them) scattered through it.
    const QString notes = path("/Notes.TXT");
    QRandomGenerator random(23);
    QString text;
    while (text.size() < (1 << 20) + 5000)
        text += randomText(random, 90, false);
    text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    const QByteArray bytes = text.toUtf8() + "\r\n";
    putFile(notes, bytes);

    QPlainTextEdit area;
    ReadTextFile(&area, notes);
    ASSERT_TRUE(WriteTextFile(&area, notes));
    ASSERT_EQ(fileBytes(notes), bytes);

    // Edits at random places, line breaks among them, each written as it comes.
    QString expected = text;
    for (int edit = 0; edit < 40; ++edit) {
        // A place in the file text that is not inside a CR LF, a stand-in or a
        // surrogate pair is found by writing the area and looking at the text
        // before the area position.
        QTextCursor cursor(area.document());
        const int length = area.document()->characterCount() - 1;
        const int at = random.bounded(length + 1);
        cursor.setPosition(at);
        const QString raw = AreaRawText(&area);
        const QString before = FileTextOf(raw.left(at));
        if ((at > 0 && raw[at - 1].isHighSurrogate()) || !expected.startsWith(before))
            continue;  // a cut through a character or a stand-in: not a place the caret stands
        const bool lineBreak = edit % 4 == 0;
        cursor.insertText(lineBreak ? QStringLiteral("\n") : QStringLiteral("x"));
        expected.insert(before.size(), lineBreak ? QStringLiteral("\r\n") : QStringLiteral("x"));
        ASSERT_TRUE(WriteTextFile(&area, notes));
        ASSERT_EQ(fileBytes(notes), expected.toUtf8() + "\r\n") << "edit " << edit;
    }
    QPlainTextEdit reopened;
    ReadTextFile(&reopened, notes);
    EXPECT_EQ(reopened.toPlainText(), area.toPlainText());
}

TEST_F(StoreProperties, ALineSeparatorTypedIntoThePadIsWrittenAsTheLineBreakItShows)
{
    // A U+2028 of the file is kept; one that reaches the area from outside
    // looks like a line break there and is written as one.
    const QString notes = path("/Notes.TXT");
    putFile(notes, "one\xE2\x80\xA8two\r\n");
    QPlainTextEdit area;
    ReadTextFile(&area, notes);
    ASSERT_TRUE(WriteTextFile(&area, notes));
    EXPECT_EQ(fileBytes(notes), QByteArray("one\xE2\x80\xA8two\r\n"));
    area.setPlainText(QStringLiteral("three\u2028four"));
    ASSERT_TRUE(WriteTextFile(&area, notes));
    EXPECT_EQ(fileBytes(notes), QByteArray("three\r\nfour\r\n"));
}

TEST_F(StoreProperties, TheKeptCopyOfTheAreaTextFollowsEveryKindOfEdit)
{
    QRandomGenerator random(31);
    QPlainTextEdit area;
    area.setPlainText("first\nsecond\u00A0line\nthird");
    ASSERT_EQ(AreaRawText(&area), area.document()->toRawText());
    for (int step = 0; step < 400; ++step) {
        QTextCursor cursor(area.document());
        const int length = area.document()->characterCount() - 1;
        cursor.setPosition(random.bounded(length + 1));
        switch (random.bounded(6)) {
        case 0: cursor.insertText(randomText(random, 5, true)); break;
        case 1:
            cursor.setPosition(random.bounded(length + 1), QTextCursor::KeepAnchor);
            cursor.removeSelectedText();
            break;
        case 2: cursor.insertBlock(); break;
        case 3: area.undo(); break;
        case 4: area.redo(); break;
        default:
            cursor.setPosition(random.bounded(length + 1), QTextCursor::KeepAnchor);
            cursor.insertText(randomText(random, 8, true));
            break;
        }
        if (step % 97 == 0)
            area.setPlainText(randomText(random, 30, true));
        ASSERT_EQ(AreaRawText(&area), area.document()->toRawText()) << step;
    }
}

TEST_F(StoreProperties, MixedFavouritesFilesComeBackByteForByte)
{
    const QString fav = path("/FavPlaces.TXT");
    QRandomGenerator random(17);
    for (int round = 0; round < kRounds; ++round) {
        QByteArray bytes;
        const int lines = random.bounded(12);
        for (int i = 0; i < lines; ++i)
            bytes += randomLine(random) + randomLineEnd(random);
        if (random.bounded(3) == 0)
            bytes += randomLine(random);  // a last line without its end
        putFile(fav, bytes);
        QListWidget list;
        ASSERT_TRUE(ReadListFile(fav, &list, [] { return true; }));
        ASSERT_TRUE(WriteListFile(fav, &list));
        ASSERT_EQ(fileBytes(fav), bytes) << "round " << round << ": " << bytes.toHex().constData();
    }
}

TEST_F(StoreProperties, AddAndDelNeverChangeTheBytesOfAnotherEntry)
{
    const QString fav = path("/FavPlaces.TXT");
    QRandomGenerator random(23);
    for (int round = 0; round < kRounds; ++round) {
        // The model: the bytes each entry must keep (empty for a new entry,
        // which need only read back as its text).
        struct Expected {
            QByteArray bytes;
            QString text;
        };
        std::vector<Expected> expected;
        QByteArray file;
        const bool codePageOnly = round % 2 == 0;
        const int lines = random.bounded(8);
        for (int i = 0; i < lines; ++i) {
            QByteArray line = codePageOnly ? QByteArray("caf\xE9") + QByteArray::number(i) : randomLine(random);
            file += line + "\r\n";
        }
        putFile(fav, file);
        QListWidget list;
        ASSERT_TRUE(ReadListFile(fav, &list, [] { return true; }));
        for (int i = 0; i < list.count(); ++i)
            expected.push_back({ListEntryBytes(list.item(i)), ListEntryText(list.item(i))});

        for (int step = 0; step < 12; ++step) {
            if (random.bounded(3) == 0 && list.count() > 0) {
                const int row = random.bounded(list.count());
                RemoveListEntry(&list, row);
                expected.erase(expected.begin() + row);
            } else {
                const QString text = randomText(random, 12, true).remove(QLatin1Char('\n'));
                AppendListEntry(&list, text);
                expected.push_back({QByteArray(), text});
            }
            ASSERT_TRUE(WriteListFile(fav, &list));

            const QList<QByteArray> written = fileBytes(fav).split('\n');
            ASSERT_EQ(written.size(), qsizetype(expected.size()) + 1) << round << "/" << step;
            for (size_t i = 0; i < expected.size(); ++i) {
                QByteArray line = written.at(qsizetype(i));
                ASSERT_TRUE(line.endsWith('\r'));
                line.chop(1);
                if (!expected[i].bytes.isNull())
                    ASSERT_EQ(line, expected[i].bytes) << round << "/" << step << " entry " << i;
                else
                    expected[i].bytes = line;
            }
            QListWidget reread;
            ASSERT_TRUE(ReadListFile(fav, &reread, [] { return true; }));
            QStringList texts;
            for (const Expected& e : expected)
                texts << e.text;
            ASSERT_EQ(entriesOf(reread), texts) << round << "/" << step;
        }
    }
}

TEST_F(StoreProperties, AByteOrderMarkInsideTheFileIsACharacterOfItsEntry)
{
    // Found by fuzzing: a line that starts with U+FEFF kept its bytes only at
    // the start of the file.
    const QString fav = path("/FavPlaces.TXT");
    for (const QByteArray& bytes : {QByteArray("\r\xAD\n\xEF\xBB\xBF\xEF\xB7\x90"),
                                    QByteArray("\xEF\xBB\xBF\xEF\xBB\xBFtwice\r\n"),
                                    QByteArray("\xEF\xBB\xBF")}) {
        putFile(fav, bytes);
        QListWidget list;
        ASSERT_TRUE(ReadListFile(fav, &list, [] { return true; }));
        ASSERT_TRUE(WriteListFile(fav, &list));
        EXPECT_EQ(fileBytes(fav), bytes) << bytes.toHex().constData();
    }
}

TEST_F(StoreProperties, TheMixedFileSurvivesAnAddTheCodePageCannotHold)
{
    const QString fav = path("/FavPlaces.TXT");
    const QByteArray original("caf\xE9\r\n\xE6\x97\xA5\xE6\x9C\xAC\r\n");
    putFile(fav, original);
    QListWidget list;
    ASSERT_TRUE(ReadListFile(fav, &list, [] { return true; }));
    EXPECT_EQ(entriesOf(list), QStringList({QString("caf\u00E9"), QString("\u65E5\u672C")}));
    AppendListEntry(&list, QString("\u4E2D"));
    ASSERT_TRUE(WriteListFile(fav, &list));
    EXPECT_EQ(fileBytes(fav), original + "\xE4\xB8\xAD\r\n");
    RemoveListEntry(&list, 1);
    ASSERT_TRUE(WriteListFile(fav, &list));
    EXPECT_EQ(fileBytes(fav), QByteArray("caf\xE9\r\n\xE4\xB8\xAD\r\n"));
}

TEST_F(StoreProperties, AVeryLongEntryIsShownCutButKeptWhole)
{
    const QString fav = path("/FavPlaces.TXT");
    const QByteArray longLine = "www.example.org/" + QByteArray(5 * 1024 * 1024, 'x');
    putFile(fav, longLine + "\r\nshort\r\n");
    QListWidget list;
    ASSERT_TRUE(ReadListFile(fav, &list, [] { return true; }));
    ASSERT_EQ(list.count(), 2);
    EXPECT_EQ(list.item(0)->text().size(), kShownEntryCharacters + 1);
    EXPECT_TRUE(list.item(0)->text().endsWith(QChar(0x2026)));
    EXPECT_EQ(ListEntryText(list.item(0)), QString::fromLatin1(longLine));
    EXPECT_EQ(list.item(1)->text(), "short");
    AppendListEntry(&list, "new");
    ASSERT_TRUE(WriteListFile(fav, &list));
    EXPECT_EQ(fileBytes(fav), longLine + "\r\nshort\r\nnew\r\n");
}

TEST(WebAndFileDecoders, RoundTripAndCutSequences)
{
    // Windows-1252 is a bijection between bytes and its 256 characters.
    QByteArray every;
    for (int b = 0; b < 256; ++b)
        every += char(b);
    QByteArray back;
    ASSERT_TRUE(Windows1252::encode(Windows1252::decode(every), back));
    EXPECT_EQ(back, every);

    // Random bytes always decode to a text that encodes back to them.
    QRandomGenerator random(29);
    for (int round = 0; round < 500; ++round) {
        const QByteArray bytes = randomBytes(random, 64);
        const UserTextFile::Decoded decoded = UserTextFile::Decode(bytes);
        UserTextFile::Encoding encoding = decoded.encoding;
        ASSERT_EQ(UserTextFile::Encode(decoded.text, encoding), bytes) << bytes.toHex().constData();
    }
}
