// Files that pages offer for download, saved by the real engine into the
// download folder of a home folder made for this test program.
#include "web/engine/DownloadKeeper.h"
#include "web/engine/WebEngineBrowserFactory.h"
#include "support/Doubles.h"
#include "support/EngineTest.h"
#include "support/Eventually.h"
#include "support/LocalHttpServer.h"
#include "support/TestMain.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace {

constexpr int kTimeout = 20000;

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

LocalHttpServer::Response Attachment(const QByteArray& body)
{
    LocalHttpServer::Response response;
    response.contentType = "text/plain";
    response.body = body;
    response.headers.append(qMakePair(QByteArray("Content-Disposition"), QByteArray("attachment; filename=\"notes.txt\"")));
    return response;
}


class DownloadsTest : public EngineTest {
protected:
    // The download folder lies in the home folder; this program gets a home
    // of its own so that no real download folder is touched.
    static void SetUpTestSuite() { UseOwnHome(); }
    static void TearDownTestSuite() { LeaveOwnHome(); }


    // The index of the first notice not yet taken whose text begins with `start`.
    int FindNotice(const QString& start) const
    {
        for (size_t i = 0; i < messages.shown.size(); ++i)
            if (messages.shown[i].text.startsWith(start))
                return static_cast<int>(i);
        return -1;
    }

    // Waits for the notice of a finished download and takes it.
    QString TakeNotice(const QString& start)
    {
        int index = -1;
        [&] { ASSERT_EVENTUALLY((index = FindNotice(start)) >= 0, kTimeout); }();
        if (index < 0)
            return {};
        const RecordingMessages::Shown notice = messages.shown[index];
        messages.shown.erase(messages.shown.begin() + index);
        EXPECT_EQ(notice.title, QStringLiteral("Download"));
        EXPECT_EQ(notice.modality, Messages::Modality::None);
        EXPECT_EQ(notice.parent.data(), host.get());
        return notice.text;
    }

    LocalHttpServer server;
};

TEST_F(DownloadsTest, AttachmentsAreSavedWithoutOverwritingAndTheUserIsTold)
{
    const QString folder = QDir(OwnHome()).filePath(QStringLiteral("Downloads"));
    ASSERT_EQ(DownloadKeeper::Folder(), folder);
    ASSERT_TRUE(QDir(folder).exists());  // made when it was missing

    const QByteArray first("first copy\r\nwith two lines\n");
    server.route(QStringLiteral("/notes"), Attachment(first));
    ASSERT_TRUE(control->Navigate(server.url(QStringLiteral("/notes"))));
    const QString firstPath = QDir(folder).filePath(QStringLiteral("notes.txt"));
    EXPECT_EQ(TakeNotice(QStringLiteral("Saved ")),
              QStringLiteral("Saved notes.txt in %1.").arg(QDir::toNativeSeparators(folder)));
    EXPECT_EQ(ReadAll(firstPath), first);

    // The same name again goes to a new file; the first one stays as it was.
    const QByteArray second("second copy\n");
    server.route(QStringLiteral("/notes"), Attachment(second));
    ASSERT_TRUE(control->Navigate(server.url(QStringLiteral("/notes"))));
    const QString text = TakeNotice(QStringLiteral("Saved "));
    const QStringList files = QDir(folder).entryList(QDir::Files, QDir::Name);
    ASSERT_EQ(files.size(), 2) << files.join(QLatin1Char(',')).toStdString();
    const QString other = files.at(0) == QLatin1String("notes.txt") ? files.at(1) : files.at(0);
    EXPECT_NE(other, QStringLiteral("notes.txt"));
    EXPECT_EQ(ReadAll(QDir(folder).filePath(other)), second);
    EXPECT_EQ(ReadAll(firstPath), first);
    EXPECT_EQ(text, QStringLiteral("Saved %1 in %2.").arg(other, QDir::toNativeSeparators(folder)));
}

TEST(DownloadNameTest, TakenNamesOnDiskOrInProgressGetANumber)
{
    QTemporaryDir dir;
    const QDir folder(dir.path());
    EXPECT_EQ(DownloadKeeper::FreeName(dir.path(), QStringLiteral("a.txt"), {}), QStringLiteral("a.txt"));
    QFile(folder.filePath(QStringLiteral("a.txt"))).open(QIODevice::WriteOnly);
    EXPECT_EQ(DownloadKeeper::FreeName(dir.path(), QStringLiteral("a.txt"), {}), QStringLiteral("a (1).txt"));
    // A download still running holds its name although nothing is on disk yet.
    const QSet<QString> running{folder.filePath(QStringLiteral("a (1).txt"))};
    EXPECT_EQ(DownloadKeeper::FreeName(dir.path(), QStringLiteral("a.txt"), running), QStringLiteral("a (2).txt"));
    // A folder of that name counts as taken too; names without a suffix and
    // hidden files keep their whole name in front of the number.
    folder.mkdir(QStringLiteral("README"));
    EXPECT_EQ(DownloadKeeper::FreeName(dir.path(), QStringLiteral("README"), {}), QStringLiteral("README (1)"));
    QFile(folder.filePath(QStringLiteral(".profile"))).open(QIODevice::WriteOnly);
    EXPECT_EQ(DownloadKeeper::FreeName(dir.path(), QStringLiteral(".profile"), {}), QStringLiteral(".profile (1)"));
    QFile(folder.filePath(QStringLiteral("x.tar.gz"))).open(QIODevice::WriteOnly);
    EXPECT_EQ(DownloadKeeper::FreeName(dir.path(), QStringLiteral("x.tar.gz"), {}), QStringLiteral("x.tar (1).gz"));
}

}  // namespace
