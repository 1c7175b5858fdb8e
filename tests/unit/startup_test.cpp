// What the program does at start-up to show its first window sooner: the
// application icon given to the first managed window, the sound module loaded
// on the audio thread, the network module loaded with the first fetch, and
// the splash caption drawn by a widget of its own.
#include "net/LazyTransfer.h"
#include "sound/QtSoundPlayer.h"
#include "startup/WindowIcon.h"
#include "shell/BlankWrappingLabel.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>

TEST(WindowIconOnFirstManagedWindow, TheSplashDoesNotLoadItTheFirstManagedWindowCarriesIt)
{
    QApplication::setWindowIcon(QIcon());
    WindowIcon::SetOnFirstManagedWindow icon(QStringLiteral(NIMBREL_PROGRAM_DIR));

    QWidget splash;
    splash.setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint);
    QWidget child(&splash);
    splash.show();
    child.show();
    EXPECT_FALSE(icon.done());
    EXPECT_TRUE(QApplication::windowIcon().isNull());

    QWidget main;
    main.show();
    EXPECT_TRUE(icon.done());
    ASSERT_FALSE(QApplication::windowIcon().isNull());
    // The icon of the build tree (the theme has none here), at every size.
    EXPECT_EQ(QApplication::windowIcon().availableSizes().size(), 6);
    EXPECT_FALSE(main.windowIcon().isNull());

    // Once only: a later icon of the user's own choosing is not replaced.
    QApplication::setWindowIcon(QIcon());
    QWidget tool;
    tool.show();
    EXPECT_TRUE(QApplication::windowIcon().isNull());
}

TEST(SoundPlayerModule, AMissingModuleMeansSilenceAndNeitherAHangNorACrash)
{
    QTemporaryDir dir;
    const auto start = std::chrono::steady_clock::now();
    {
        QtSoundPlayer player(dir.filePath(QStringLiteral("nimbrelsound")));
        player.PlayWave(QStringLiteral("/no/such/Click.WAV"));
        player.PlayWave(QStringLiteral("/no/such/Click.WAV"));
        QCoreApplication::processEvents();  // the audio thread starts here
    }
    {
        // Gone before the event loop ran: the thread never starts, and the
        // sounds queued to it go with the player.
        QtSoundPlayer player(dir.filePath(QStringLiteral("nimbrelsound")));
        player.PlayWave(QStringLiteral("/no/such/Click.WAV"));
    }
    // The player waits for its thread on the way out; the thread must end at once.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1500));
    // A player that never played starts no thread and ends at once.
    QtSoundPlayer unused(dir.filePath(QStringLiteral("nimbrelsound")));
}

TEST(TransferModule, WithoutTheModuleEveryFetchFailsWithASentenceForTheUser)
{
    QTemporaryDir dir;
    LazyTransfer transfer(dir.filePath(QStringLiteral("nimbrelnetwork")));
    for (int attempt = 0; attempt < 2; ++attempt) {
        const TransferResult result = transfer.OpenURL(QStringLiteral("http://127.0.0.1:9/"));
        EXPECT_FALSE(result.ok);
        EXPECT_TRUE(result.text.isEmpty());
        EXPECT_TRUE(result.error.startsWith(QStringLiteral("Nimbrel cannot fetch pages"))) << result.error.toStdString();
        EXPECT_TRUE(result.error.contains(QStringLiteral("nimbrelnetwork"))) << "the reason names the module";
    }
}

namespace {

// Rows of the image that hold some light pixel.
QList<int> LitRows(const QImage& image)
{
    QList<int> rows;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) > 128) {
                rows.append(y);
                break;
            }
    return rows;
}

}  // namespace

TEST(SplashCaption, BlanksFillWholeLinesAndTheWordsStayInViewAtTheBottom)
{
    QWidget back;
    back.resize(300, 120);
    QPalette black;
    black.setColor(QPalette::Window, Qt::black);
    back.setPalette(black);
    back.setAutoFillBackground(true);
    auto* caption = new BlankWrappingLabel(QString(400, QLatin1Char(' ')) + QStringLiteral("Words."), &back);
    QPalette white = caption->palette();
    white.setColor(QPalette::WindowText, Qt::white);
    caption->setPalette(white);
    caption->setGeometry(0, 0, 300, 120);
    caption->setContentsMargins(10, 0, 0, 10);
    EXPECT_EQ(caption->text().size(), 406);

    const QImage shot = back.grab().toImage();
    const QList<int> rows = LitRows(shot);
    ASSERT_FALSE(rows.isEmpty()) << "the words are drawn";
    // Only the line of words is lit, in the lower part, clear of the bottom margin.
    EXPECT_GT(rows.first(), 60);
    EXPECT_LE(rows.last(), 110);
    EXPECT_LT(rows.last() - rows.first(), 30) << "one line of words";

    // A short text is not pushed down: it starts at the top.
    BlankWrappingLabel shortCaption(QStringLiteral("Words."), nullptr);
    shortCaption.setPalette(white);
    shortCaption.resize(300, 120);
    QImage image(300, 120, QImage::Format_RGB32);
    image.fill(Qt::black);
    shortCaption.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    const QList<int> top = LitRows(image);
    ASSERT_FALSE(top.isEmpty());
    EXPECT_LT(top.first(), 20);
}
