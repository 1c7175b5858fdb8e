// Skin pictures follow their window from a screen of one device pixel ratio
// to a screen of another. The offscreen platform is given two screens side
// by side, a plain one and one with two device pixels a pixel.
#include "services/FilePictureLoader.h"
#include "runtime/ImageControl.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>
#include <gtest/gtest.h>

namespace {

// Runs before the test main makes the application, so the platform reads it.
// The offscreen platform makes the two screens; the device pixel ratio of
// each comes from QT_SCREEN_SCALE_FACTORS, by screen name, which Qt's own
// high-DPI scaling applies on every Qt 6 (the offscreen platform's own "dpr"
// setting no longer reaches the windows on later ones).
const bool twoScreens = [] {
    const QString config = QDir::temp().filePath(QStringLiteral("nimbrel-two-screens-%1.json").arg(QCoreApplication::applicationPid()));
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(R"({"screens": [
        {"name": "plain", "x": 0, "y": 0, "width": 800, "height": 600, "logicalDpi": 96, "logicalBaseDpi": 96},
        {"name": "double", "x": 800, "y": 0, "width": 800, "height": 600, "logicalDpi": 96, "logicalBaseDpi": 96}
    ]})");
    file.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(config));
    qputenv("QT_SCREEN_SCALE_FACTORS", "plain=1;double=2");
    return true;
}();

QScreen* ScreenNamed(const QString& name)
{
    for (QScreen* screen : QGuiApplication::screens())
        if (screen->name() == name)
            return screen;
    return nullptr;
}

}  // namespace

TEST(ScreenRatio, PicturesAreChosenAgainWhenTheWindowChangesScreen)
{
    ASSERT_TRUE(twoScreens);
    QScreen* plain = ScreenNamed(QStringLiteral("plain"));
    QScreen* sharp = ScreenNamed(QStringLiteral("double"));
    ASSERT_NE(plain, nullptr);
    ASSERT_NE(sharp, nullptr);
    ASSERT_EQ(sharp->devicePixelRatio(), 2.0);

    QTemporaryDir dir;
    QImage red(74, 17, QImage::Format_RGB32);
    red.fill(Qt::red);
    QImage blue(148, 34, QImage::Format_RGB32);
    blue.fill(Qt::blue);
    ASSERT_TRUE(red.save(dir.filePath("GoUP.BMP"), "BMP"));
    ASSERT_TRUE(blue.save(dir.filePath("GoUP@2x.BMP"), "BMP"));
    QImage green(74, 17, QImage::Format_RGB32);
    green.fill(Qt::green);
    ASSERT_TRUE(green.save(dir.filePath("StopUP.BMP"), "BMP"));
    FilePictureLoader loader;

    QWidget window;
    window.resize(200, 100);
    ImageControl go(loader, ImageControl::Mode::BitmapSize, &window);
    ImageControl stop(loader, ImageControl::Mode::Stretch, &window);
    stop.setGeometry(0, 40, 74, 17);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    window.windowHandle()->setScreen(plain);
    ASSERT_TRUE(go.LoadPicture(dir.filePath("GoUP.BMP")));
    ASSERT_TRUE(stop.LoadPicture(dir.filePath("StopUP.BMP")));
    EXPECT_EQ(go.picture().devicePixelRatio(), 1.0);

    window.windowHandle()->setScreen(sharp);
    EXPECT_EQ(go.devicePixelRatioF(), 2.0);
    EXPECT_EQ(go.picture().size(), QSize(148, 34));
    EXPECT_EQ(go.picture().devicePixelRatio(), 2.0);
    EXPECT_EQ(go.picture().toImage().pixelColor(3, 3), QColor(Qt::blue));
    EXPECT_EQ(go.size(), QSize(74, 17));
    EXPECT_EQ(go.PictureFile(), dir.filePath("GoUP.BMP"));
    // Without a double-size file the plain one stays.
    EXPECT_EQ(stop.picture().toImage().pixelColor(3, 3), QColor(Qt::green));
    EXPECT_EQ(stop.PictureFile(), dir.filePath("StopUP.BMP"));

    window.windowHandle()->setScreen(plain);
    EXPECT_EQ(go.picture().size(), QSize(74, 17));
    EXPECT_EQ(go.picture().toImage().pixelColor(3, 3), QColor(Qt::red));

    // A picture loaded while the window is on the sharp screen is the sharp one,
    // and a face changed there (a button pressed) goes back with the window.
    window.windowHandle()->setScreen(sharp);
    ASSERT_TRUE(go.LoadPicture(dir.filePath("StopUP.BMP")));
    EXPECT_EQ(go.picture().devicePixelRatio(), 1.0);
    ASSERT_TRUE(go.LoadPicture(dir.filePath("GoUP.BMP")));
    EXPECT_EQ(go.picture().devicePixelRatio(), 2.0);
    window.windowHandle()->setScreen(plain);
    EXPECT_EQ(go.picture().devicePixelRatio(), 1.0);
    QFile::remove(QDir::temp().filePath(QStringLiteral("nimbrel-two-screens-%1.json").arg(QCoreApplication::applicationPid())));
}
