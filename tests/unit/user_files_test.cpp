// Where the user's files live and how they are replaced: the program
// directory when it takes new files, the data folder otherwise (seeded once),
// owner-only permissions, leftovers of killed writes, and paths that would
// block a reader or writer (pipes, devices, the kernel's files).
#include "authoring/EditorFRM.h"
#include "personal/FavoritePlacesFRM.h"
#include "personal/NotePadFRM.h"
#include "userfiles/UserFiles.h"
#include "userfiles/UserTextFile.h"
#include "support/Files.h"
#include "support/TestApp.h"
#include "support/WindowAccess.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

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

mode_t modeOf(const QString& path)
{
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? (st.st_mode & 0777) : 0;
}

const QFileDevice::Permissions kReadOnlyDir =
    QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadUser | QFileDevice::ExeUser;
const QFileDevice::Permissions kWritableDir = kReadOnlyDir | QFileDevice::WriteOwner | QFileDevice::WriteUser;

// A data folder of its own for each test.
class UserFilesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        qputenv("XDG_DATA_HOME", QFile::encodeName(home.path()));
        UserFiles::ForgetReported();
    }
    void TearDown() override
    {
        QFile::setPermissions(program.path(), kWritableDir);
        qunsetenv("XDG_DATA_HOME");
    }
    QTemporaryDir home;
    QTemporaryDir program;
};

}  // namespace

TEST_F(UserFilesTest, AWritableProgramDirectoryKeepsTheFilesWithTheProgram)
{
    EXPECT_EQ(UserFiles::Locate(program.path(), "Notes.TXT"), program.path() + "/Notes.TXT");
    EXPECT_FALSE(QFileInfo::exists(UserFiles::DataFolder()));
    // New files are the owner's alone; a replaced file keeps its permissions.
    const QString notes = program.path() + "/Notes.TXT";
    ASSERT_TRUE(UserTextFile::Write(notes, "x\r\n", nullptr, UserTextFile::NewFile::OwnerOnly));
    EXPECT_EQ(modeOf(notes), mode_t(0600));
    ASSERT_EQ(::chmod(QFile::encodeName(notes).constData(), 0640), 0);
    ASSERT_TRUE(UserTextFile::Write(notes, "y\r\n", nullptr, UserTextFile::NewFile::OwnerOnly));
    EXPECT_EQ(modeOf(notes), mode_t(0640));
    EXPECT_EQ(fileBytes(notes), QByteArray("y\r\n"));
}

TEST_F(UserFilesTest, AReadOnlyProgramDirectorySendsTheFilesToTheDataFolderSeededOnce)
{
    WithoutFileOverride guard;
    ASSERT_TRUE(guard.ok());
    putFile(program.path() + "/FavPlaces.TXT", "www.seed\r\n");
    ASSERT_TRUE(QFile::setPermissions(program.path(), kReadOnlyDir));

    const QString fav = UserFiles::Locate(program.path(), "FavPlaces.TXT");
    EXPECT_EQ(fav, UserFiles::DataFolder() + "/FavPlaces.TXT");
    EXPECT_EQ(fileBytes(fav), QByteArray("www.seed\r\n"));
    EXPECT_EQ(modeOf(fav), mode_t(0600));

    // Later changes are kept there; the seed is not copied over them again.
    ASSERT_TRUE(UserTextFile::Write(fav, "www.later\r\n"));
    EXPECT_EQ(UserFiles::Locate(program.path(), "FavPlaces.TXT"), fav);
    EXPECT_EQ(fileBytes(fav), QByteArray("www.later\r\n"));
    EXPECT_EQ(fileBytes(program.path() + "/FavPlaces.TXT"), QByteArray("www.seed\r\n"));

    // A read-only file in a writable program directory is left alone too.
    ASSERT_TRUE(QFile::setPermissions(program.path(), kWritableDir));
    putFile(program.path() + "/Notes.TXT", "kept\r\n");
    ASSERT_TRUE(QFile::setPermissions(program.path() + "/Notes.TXT", QFileDevice::ReadOwner));
    EXPECT_EQ(UserFiles::Locate(program.path(), "Notes.TXT"), UserFiles::DataFolder() + "/Notes.TXT");
}

TEST_F(UserFilesTest, TheNotepadTellsOnceWhenNoPlaceTakesTheNotesAndKeepsTheText)
{
    WithoutFileOverride guard;
    ASSERT_TRUE(guard.ok());
    TestApp t;
    qputenv("XDG_DATA_HOME", "/proc/no-such-place");
    ASSERT_TRUE(QFile::setPermissions(t.dir(), kReadOnlyDir));
    NotePadFRM* pad = t.app->forms().Show<NotePadFRM>();
    QTest::keyClicks(ui(pad).Data, "abc");
    const QStringList told = t.messages.TextsOver(pad);
    ASSERT_EQ(told.size(), 1);
    EXPECT_TRUE(told.first().contains("Notes.TXT")) << told.first().toStdString();
    EXPECT_EQ(ui(pad).Data->toPlainText(), "abc");
    QFile::setPermissions(t.dir(), kWritableDir);
}

TEST_F(UserFilesTest, TheFavouritesFollowTheDataFolderWhenTheProgramDirectoryIsReadOnly)
{
    WithoutFileOverride guard;
    ASSERT_TRUE(guard.ok());
    TestApp t;
    putFile(t.File("/FavPlaces.TXT"), "www.one\r\n");
    ASSERT_TRUE(QFile::setPermissions(t.dir(), kReadOnlyDir));
    FavoritePlacesFRM* form = t.app->forms().Show<FavoritePlacesFRM>();
    ui(form).URL->setText("www.two");
    form->Add_Click();
    EXPECT_TRUE(t.messages.shown.empty());
    EXPECT_EQ(fileBytes(UserFiles::DataFolder() + "/FavPlaces.TXT"), QByteArray("www.one\r\nwww.two\r\n"));
    EXPECT_EQ(fileBytes(t.File("/FavPlaces.TXT")), QByteArray("www.one\r\n"));
    QFile::setPermissions(t.dir(), kWritableDir);
}

TEST_F(UserFilesTest, LeftoversOfAKilledWriteGoAtTheNextWrite)
{
    const QString notes = program.path() + "/Notes.TXT";
    // A process id no process has (above the kernel's limit), and one that runs.
    const QString dead = program.path() + "/.Notes.TXT.4194399.part";
    const QString alive = program.path() + "/.Notes.TXT.1.part";
    putFile(dead, "half a wri");
    putFile(alive, "another writer");
    ASSERT_TRUE(UserTextFile::Write(notes, "whole\r\n"));
    EXPECT_FALSE(QFileInfo::exists(dead));
    EXPECT_TRUE(QFileInfo::exists(alive));
    EXPECT_EQ(QDir(program.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList({".Notes.TXT.1.part", "Notes.TXT"}));
}

TEST_F(UserFilesTest, PipesDevicesAndKernelFilesAreRefusedWithoutWaiting)
{
    const QString fifo = program.path() + "/pipe.html";
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QElapsedTimer clock;
    clock.start();
    QByteArray bytes;
    QString error;
    for (const QString& path : {fifo, QString("/dev/zero"), QString("/proc/self/status"),
                                QString("/sys/kernel/mm/transparent_hugepage/enabled"), program.path()}) {
        error.clear();
        EXPECT_FALSE(UserTextFile::ReadAll(path, bytes, &error)) << path.toStdString();
        EXPECT_FALSE(error.isEmpty()) << path.toStdString();
        EXPECT_FALSE(UserTextFile::Write(path, "x", &error)) << path.toStdString();
    }
    EXPECT_LT(clock.elapsed(), 2000);
    // The pipe is still a pipe: nothing was renamed over it.
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(fifo).constData(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

TEST_F(UserFilesTest, TheEditorSaysSoWhenOpenOrSaveNamesAPipe)
{
    TestApp t;
    const QString fifo = t.File("/pipe.html");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EditorFRM* editor = t.app->forms().Show<EditorFRM>();
    const QString before = editor->Text();
    t.dialogs.answers = {fifo, fifo};
    editor->Command4_Click();
    editor->Command3_Click();
    const QStringList texts = t.messages.TextsOver(editor);
    ASSERT_EQ(texts.size(), 2);
    for (const QString& text : texts)
        EXPECT_TRUE(text.contains("pipe")) << text.toStdString();
    EXPECT_EQ(editor->Text(), before);
}
