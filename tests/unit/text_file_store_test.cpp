// The notes and favourites stores against real files in a temporary
// directory: the formats byte for byte, the choice of encoding, bad input,
// directories that refuse writes, and writes killed half-way.
#include "personal/FavouritesList.h"
#include "personal/NotesArea.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QThread>
#include "support/Files.h"

#include <gtest/gtest.h>

#ifdef __linux__
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

#include <cstdlib>

using namespace ravel32;

namespace {

const char kWriterChildVariable[] = "NIMBREL_STORE_WRITER_CHILD";

// The two contents the writer child alternates between; each is a whole file.
QByteArray writerContent(char letter, int lines)
{
    QByteArray line(200, letter);
    line += "\r\n";
    return line.repeated(lines);
}

// Run as a child process by the crash test: rewrites the file for ever until
// it is killed, alternating between two contents of different sizes.
[[noreturn]] void runWriterChild(const QString& path)
{
    const QByteArray a = writerContent('A', 1500);
    const QByteArray b = writerContent('B', 2500);
    fputs("ready\n", stdout);
    fflush(stdout);
    for (bool first = true;; first = !first)
        WriteFileAtomically(path, first ? a : b);
}

// The test binary doubles as the writer child: started with the variable set,
// it writes before any test runs and never returns.
[[maybe_unused]] const bool kWriterChildStarted = [] {
    if (qEnvironmentVariableIsSet(kWriterChildVariable))
        runWriterChild(qEnvironmentVariable(kWriterChildVariable));
    return false;
}();

QStringList entries(const QListWidget& list)
{
    QStringList out;
    for (int i = 0; i < list.count(); ++i)
        out << ListEntryText(list.item(i));
    return out;
}

bool noEvents() { return true; }

// The area's text with its line breaks as "\n"; unlike toPlainText() it keeps
// non-breaking spaces as they are.
QString rawText(const QPlainTextEdit& area)
{
    return area.document()->toRawText().replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
}

class TextFileStoreTest : public ::testing::Test {
protected:
    QString path(const QString& name) const { return dir.path() + name; }
    QStringList readList(const QString& file)
    {
        QListWidget list;
        ReadListFile(file, &list, noEvents);
        return entries(list);
    }
    QTemporaryDir dir;
};

TEST_F(TextFileStoreTest, NotesAreStoredWithOneTerminatingCrLfAndReadBackUnchanged)
{
    const QString notes = path("/Notes.TXT");
    QPlainTextEdit area;

    area.setPlainText("abc");
    WriteTextFile(&area, notes);
    EXPECT_EQ(fileBytes(notes), QByteArray("abc\r\n"));
    QPlainTextEdit reread;
    ReadTextFile(&reread, notes);
    EXPECT_EQ(reread.toPlainText(), "abc");

    area.clear();
    WriteTextFile(&area, notes);
    EXPECT_EQ(fileBytes(notes), QByteArray("\r\n"));
    QPlainTextEdit empty;
    ReadTextFile(&empty, notes);
    EXPECT_EQ(empty.toPlainText(), "");

    // A text ending in a line break keeps it however often it goes round;
    // a non-breaking space stays what it is.
    area.setPlainText(QString("first\n\nthird\u00A0line\n"));
    for (int round = 0; round < 3; ++round) {
        WriteTextFile(&area, notes);
        ASSERT_EQ(fileBytes(notes), QByteArray("first\r\n\r\nthird\xC2\xA0line\r\n\r\n"));
        ReadTextFile(&area, notes);
        ASSERT_EQ(rawText(area), QString("first\n\nthird\u00A0line\n"));
    }

    putFile(notes, "no terminator");
    ReadTextFile(&area, notes);
    EXPECT_EQ(area.toPlainText(), "no terminator");

    // A file that cannot be read empties the area.
    ReadTextFile(&area, path("/Missing.TXT"));
    EXPECT_EQ(area.toPlainText(), "");
}

// The writer copies runs of ASCII apart from the rest: every awkward character
// right beside ASCII, at the start and at the end, comes back byte for byte.
TEST_F(TextFileStoreTest, AwkwardCharactersBesideAsciiComeBackByteForByte)
{
    const QString notes = path("/Notes.TXT");
    const QByteArray files[] = {
        "a\rb\r\r\nc\r",                                  // lone CRs, CR before CR LF
        "\xE2\x80\xA9x\xE2\x80\xA9",                     // U+2029 at both ends
        "x\xEF\xB7\x90y\xEF\xB7\x91\r\n",             // the frame noncharacters
        "\xF4\x8F\xBF\xBDz\xF4\x8F\xBF\xBD\xF4\x8F\xBF\xBD", // the escape alone, then doubled
        "\xF4\x8F\xBF\xBD\xE2\x90\x8D a",                // the escape before a stand-in's own mark
        "\xF0\x9F\x98\x80" "a\xC3\xA9\r\n\xE6\x97\xA5", // a pair, two-byte, CR LF, three-byte
        "\xEF\xBB\xBFmarked\r\n",                          // a byte-order mark
    };
    for (const QByteArray& bytes : files) {
        putFile(notes, bytes);
        QPlainTextEdit area;
        ReadTextFile(&area, notes);
        ASSERT_TRUE(WriteTextFile(&area, notes));
        const QByteArray expected = bytes.endsWith("\r\n") ? bytes : bytes + "\r\n";
        EXPECT_EQ(fileBytes(notes).toHex(' '), expected.toHex(' ')) << bytes.toHex(' ').constData();
    }
}

TEST_F(TextFileStoreTest, ReadingTheSameTextRaisesNoChange)
{
    const QString notes = path("/Notes.TXT");
    putFile(notes, "same\r\n");
    QPlainTextEdit area;
    int changes = 0;
    QObject::connect(&area, &QPlainTextEdit::textChanged, &area, [&changes] { ++changes; });
    ReadTextFile(&area, notes);
    EXPECT_EQ(changes, 1);
    ReadTextFile(&area, notes);
    EXPECT_EQ(changes, 1);
    QPlainTextEdit fresh;
    QObject::connect(&fresh, &QPlainTextEdit::textChanged, &fresh, [&changes] { ++changes; });
    ReadTextFile(&fresh, path("/Missing.TXT"));
    EXPECT_EQ(changes, 1);
}

TEST_F(TextFileStoreTest, ListFormatIsOneCrLfLinePerEntry)
{
    const QString fav = path("/FavPlaces.TXT");
    QListWidget list;
    list.addItems({"a", "b"});
    WriteListFile(fav, &list);
    EXPECT_EQ(fileBytes(fav), QByteArray("a\r\nb\r\n"));
    EXPECT_EQ(readList(fav), QStringList({"a", "b"}));

    list.clear();
    WriteListFile(fav, &list);
    EXPECT_TRUE(QFile::exists(fav));
    EXPECT_EQ(fileBytes(fav), QByteArray());
    EXPECT_EQ(readList(fav), QStringList());

    // Reading adds to what is there; a missing file changes nothing.
    QListWidget kept;
    kept.addItem("kept");
    EXPECT_FALSE(ReadListFile(path("/Missing.TXT"), &kept, noEvents));
    EXPECT_EQ(entries(kept), QStringList({"kept"}));

    putFile(fav, "  lead, with \"quotes\"\r\n\r\nunix\nold mac\rlast without end");
    EXPECT_EQ(readList(fav),
              QStringList({"  lead, with \"quotes\"", "", "unix", "old mac", "last without end"}));
}

TEST_F(TextFileStoreTest, SingleByteFilesComeBackByteForByte)
{
    // Windows-1252, with every byte from 0x80 to 0xFF, the five unassigned
    // ones included: each keeps a character and is written back as itself.
    QByteArray legacy("caf\xE9 \x80uro");
    for (int b = 0x80; b <= 0xFF; ++b)
        if (b != 0x0D && b != 0x0A)
            legacy += char(b);
    const QString fav = path("/FavPlaces.TXT");
    putFile(fav, legacy + "\r\nna\xEFve\r\n");

    QListWidget list;
    ReadListFile(fav, &list, noEvents);
    ASSERT_EQ(list.count(), 2);
    EXPECT_TRUE(list.item(0)->text().startsWith(QString("caf\u00E9 \u20ACuro")));
    EXPECT_EQ(list.item(0)->text().size(), legacy.size());
    EXPECT_EQ(list.item(1)->text(), QString("na\u00EFve"));
    WriteListFile(fav, &list);
    EXPECT_EQ(fileBytes(fav), legacy + "\r\nna\xEFve\r\n");

    // A new entry the code page holds keeps the file single-byte.
    AppendListEntry(&list, QString("\u201Cquoted\u201D"));
    WriteListFile(fav, &list);
    EXPECT_TRUE(fileBytes(fav).endsWith("\r\n\x93quoted\x94\r\n"));

    // One it cannot hold is UTF-8 on its own line; every other line keeps its bytes.
    AppendListEntry(&list, QString("\u0141\u00F3d\u017A \u65E5\u672C"));
    WriteListFile(fav, &list);
    EXPECT_EQ(fileBytes(fav), legacy + "\r\nna\xEFve\r\n\x93quoted\x94\r\n"
                                       "\xC5\x81\xC3\xB3" "d\xC5\xBA \xE6\x97\xA5\xE6\x9C\xAC\r\n");
    const QStringList before = entries(list);
    EXPECT_EQ(readList(fav), before);

    // With a UTF-8 line in the file, later entries are UTF-8 too.
    AppendListEntry(&list, QString("caf\u00E9"));
    WriteListFile(fav, &list);
    EXPECT_TRUE(fileBytes(fav).endsWith("\xE6\x9C\xAC\r\ncaf\xC3\xA9\r\n"));

    // Notes take the same way: read single-byte, written back the same.
    const QString notes = path("/Notes.TXT");
    putFile(notes, "Gr\xFC\xDF" "e\r\n\x85\r\n");
    QPlainTextEdit area;
    ReadTextFile(&area, notes);
    EXPECT_EQ(area.toPlainText(), QString("Gr\u00FC\u00DFe\n\u2026"));
    WriteTextFile(&area, notes);
    EXPECT_EQ(fileBytes(notes), QByteArray("Gr\xFC\xDF" "e\r\n\x85\r\n"));
    area.appendPlainText(QString("\u03A9"));
    WriteTextFile(&area, notes);
    EXPECT_EQ(fileBytes(notes), QByteArray("Gr\xC3\xBC\xC3\x9F" "e\r\n\xE2\x80\xA6\r\n\xCE\xA9\r\n"));
}

TEST_F(TextFileStoreTest, Utf8FilesKeepTheirFormAndNewFilesHaveNoMark)
{
    const QString fav = path("/FavPlaces.TXT");
    QListWidget fresh;
    fresh.addItem(QString("www.m\u00FCnchen.de"));
    WriteListFile(fav, &fresh);
    EXPECT_EQ(fileBytes(fav), QByteArray("www.m\xC3\xBCnchen.de\r\n"));

    const QByteArray marked("\xEF\xBB\xBFwww.\xC3\xA9t\xC3\xA9.fr\r\n");
    putFile(fav, marked);
    QListWidget list;
    ReadListFile(fav, &list, noEvents);
    EXPECT_EQ(entries(list), QStringList({QString("www.\u00E9t\u00E9.fr")}));
    WriteListFile(fav, &list);
    EXPECT_EQ(fileBytes(fav), marked);

    // Bytes that are not UTF-8 (a cut sequence, an overlong form, a lone
    // continuation byte) make the file single-byte, byte by byte.
    for (const QByteArray& bad : {QByteArray("abc\xC3"), QByteArray("\xC0\xAF"), QByteArray("x\x80y")}) {
        const DecodedText decoded = DecodeFileText(bad);
        EXPECT_EQ(decoded.encoding, TextEncoding::Windows1252) << bad.toHex().constData();
        EXPECT_EQ(decoded.text.size(), bad.size());
        TextEncoding encoding = decoded.encoding;
        EXPECT_EQ(EncodeFileText(decoded.text, encoding), bad);
    }
}

TEST_F(TextFileStoreTest, BadFavouritesFilesAreReadWithoutLoss)
{
    const QString fav = path("/FavPlaces.TXT");

    // Binary junk: every byte lands in some entry or line end, and the list
    // is written back as the same bytes.
    QRandomGenerator random(20240605);
    QByteArray junk(256 * 1024, Qt::Uninitialized);
    for (char& c : junk)
        c = static_cast<char>(random.bounded(256));
    putFile(fav, junk);
    QListWidget list;
    EXPECT_TRUE(ReadListFile(fav, &list, noEvents));
    EXPECT_TRUE(WriteListFile(fav, &list));
    EXPECT_EQ(fileBytes(fav), junk);

    // NUL bytes are characters like any other.
    const QByteArray nuls("a\0b\r\n\0\r\n", 8);
    putFile(fav, nuls);
    QListWidget nulList;
    ReadListFile(fav, &nulList, noEvents);
    ASSERT_EQ(nulList.count(), 2);
    EXPECT_EQ(nulList.item(0)->text(), QString::fromLatin1("a\0b", 3));
    WriteListFile(fav, &nulList);
    EXPECT_EQ(fileBytes(fav), nuls);

    // A line of one megabyte is one entry.
    const QByteArray longLine = QByteArray("www.") + QByteArray(1024 * 1024, 'x');
    putFile(fav, longLine + "\r\nshort\r\n");
    EXPECT_EQ(readList(fav), QStringList({QString::fromLatin1(longLine), "short"}));
}

TEST_F(TextFileStoreTest, HundredThousandEntriesEachGetAnEventTurn)
{
    const QString fav = path("/FavPlaces.TXT");
    QByteArray bytes;
    for (int i = 0; i < 100000; ++i)
        bytes += "www.site" + QByteArray::number(i) + ".example\r\n";
    putFile(fav, bytes);

    QListWidget list;
    int turns = 0;
    int countAtTurn = -1;
    const auto turn = [&] {
        // The turn comes before its entry is added.
        countAtTurn = list.count();
        ++turns;
        return true;
    };
    EXPECT_TRUE(ReadListFile(fav, &list, turn));
    EXPECT_EQ(turns, 100000);
    EXPECT_EQ(countAtTurn, 99999);
    ASSERT_EQ(list.count(), 100000);
    EXPECT_EQ(list.item(99999)->text(), "www.site99999.example");
    WriteListFile(fav, &list);
    EXPECT_EQ(fileBytes(fav), bytes);
}

TEST_F(TextFileStoreTest, ReadingStopsWhenTheTurnSaysSoOrTheListIsGone)
{
    const QString fav = path("/FavPlaces.TXT");
    putFile(fav, "a\r\nb\r\nc\r\nd\r\n");
    QListWidget list;
    int turns = 0;
    EXPECT_FALSE(ReadListFile(fav, &list, [&turns] { return ++turns < 3; }));
    EXPECT_EQ(entries(list), QStringList({"a", "b"}));

    auto* doomed = new QListWidget;
    EXPECT_FALSE(ReadListFile(fav, doomed, [&doomed] {
        delete doomed;
        return true;
    }));
}

TEST_F(TextFileStoreTest, TenMegabytesOfNotesGoRoundUnchanged)
{
    const QString notes = path("/Notes.TXT");
    QByteArray line = QByteArray("0123456789 the quick brown fox ").repeated(3) + "\r\n";
    QByteArray bytes = line.repeated(10 * 1024 * 1024 / line.size());
    putFile(notes, bytes);
    QPlainTextEdit area;
    ReadTextFile(&area, notes);
    EXPECT_EQ(area.toPlainText().count(QLatin1Char('\n')), bytes.count('\n') - 1);
    WriteTextFile(&area, notes);
    EXPECT_EQ(fileBytes(notes), bytes);
}

#ifdef __linux__
// Root passes every permission check; for the duration of a test the process
// gives up that privilege (and takes it back afterwards).
class WithoutFileOverride {
public:
    WithoutFileOverride() { m_dropped = geteuid() == 0 && setOverride(false); }
    ~WithoutFileOverride()
    {
        if (m_dropped)
            setOverride(true);
    }
    bool ok() const { return geteuid() != 0 || m_dropped; }

private:
    static bool setOverride(bool on)
    {
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        __user_cap_data_struct data[2]{};
        if (syscall(SYS_capget, &header, data) != 0)
            return false;
        const unsigned mask = (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH) | (1u << CAP_FOWNER);
        data[0].effective = on ? (data[0].effective | (mask & data[0].permitted)) : (data[0].effective & ~mask);
        return syscall(SYS_capset, &header, data) == 0;
    }
    bool m_dropped = false;
};

TEST_F(TextFileStoreTest, ReadOnlyPlacesAreLeftAsTheyWere)
{
    WithoutFileOverride guard;
    ASSERT_TRUE(guard.ok());
    const QString fav = path("/FavPlaces.TXT");
    const QString notes = path("/Notes.TXT");
    putFile(notes, "old notes\r\n");
    const QFileDevice::Permissions readOnlyDir =
        QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadUser | QFileDevice::ExeUser;
    ASSERT_TRUE(QFile::setPermissions(dir.path(), readOnlyDir));

    // No new file can be made: nothing is written, the list stays.
    QListWidget list;
    list.addItems({"one", "two"});
    EXPECT_FALSE(WriteListFile(fav, &list));
    EXPECT_FALSE(QFile::exists(fav));
    EXPECT_EQ(entries(list), QStringList({"one", "two"}));

    // The existing notes file may be written, but never in place: a write
    // that cannot be atomic is not made, and the file keeps its old content.
    QPlainTextEdit area;
    area.setPlainText("new notes");
    QString error;
    EXPECT_FALSE(WriteTextFile(&area, notes, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(fileBytes(notes), QByteArray("old notes\r\n"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList({"Notes.TXT"}));

    // A read-only file in a writable directory is not replaced.
    ASSERT_TRUE(QFile::setPermissions(dir.path(), readOnlyDir | QFileDevice::WriteOwner | QFileDevice::WriteUser));
    ASSERT_TRUE(QFile::setPermissions(notes, QFileDevice::ReadOwner | QFileDevice::ReadUser));
    area.setPlainText("newer notes");
    EXPECT_FALSE(WriteTextFile(&area, notes));
    EXPECT_EQ(fileBytes(notes), QByteArray("old notes\r\n"));
    EXPECT_EQ(area.toPlainText(), "newer notes");
    QFile::setPermissions(notes, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}
#endif

TEST_F(TextFileStoreTest, AKilledWriterLeavesTheOldOrTheNewFile)
{
    const QString file = path("/FavPlaces.TXT");
    const QByteArray a = writerContent('A', 1500);
    const QByteArray b = writerContent('B', 2500);
    putFile(file, a);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(kWriterChildVariable, file);
    QRandomGenerator random(7);
    int sawA = 0;
    int sawB = 0;
    for (int round = 0; round < 30; ++round) {
        QProcess child;
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), {});
        ASSERT_TRUE(child.waitForReadyRead(10000));
        QThread::usleep(random.bounded(500, 15000));
        child.kill();
        ASSERT_TRUE(child.waitForFinished(10000));
        const QByteArray found = fileBytes(file);
        ASSERT_TRUE(found == a || found == b) << "round " << round << ": " << found.size() << " bytes";
        (found == a ? sawA : sawB)++;
    }
    // Both contents were seen, so the kills did land between and during writes.
    EXPECT_GT(sawA, 0);
    EXPECT_GT(sawB, 0);
}

}  // namespace
