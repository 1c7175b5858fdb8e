// The program as a desktop application: crisp pictures on HiDPI screens,
// the sandbox notice, and keys and names in the tool windows.
#include "authoring/EditorBrowserFRM.h"
#include "personal/FavoritePlacesFRM.h"
#include "web/EngineEnvironment.h"
#include "services/FilePictureLoader.h"
#include "runtime/ImageControl.h"
#include "support/TestApp.h"
#include "support/WindowAccess.h"

#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QWidget* focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr);
    QTest::keyClick(focus, key, modifiers);
}

bool WriteBitmap(const QString& path, QSize size, QColor color)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);
    return image.save(path, "BMP");
}

}  // namespace

TEST(HiDpiPictures, DoubleSizeFileIsUsedAboveRatioOneAndKeepsTheLogicalSize)
{
    EXPECT_EQ(ImageControl::DoubleSizeName("/dir/BackUP.BMP"), "/dir/BackUP@2x.BMP");
    EXPECT_EQ(ImageControl::DoubleSizeName("/dir.x/Plain"), "/dir.x/Plain@2x");

    QTemporaryDir dir;
    ASSERT_TRUE(WriteBitmap(dir.filePath("GoUP.BMP"), {74, 17}, Qt::red));
    ASSERT_TRUE(WriteBitmap(dir.filePath("GoUP@2x.BMP"), {148, 34}, Qt::blue));
    ASSERT_TRUE(WriteBitmap(dir.filePath("StopUP.BMP"), {74, 17}, Qt::green));
    FilePictureLoader loader;

    const QPixmap sharp = ImageControl::LoadFor(loader, dir.filePath("GoUP.BMP"), 2.0);
    EXPECT_EQ(sharp.size(), QSize(148, 34));
    EXPECT_EQ(sharp.deviceIndependentSize().toSize(), QSize(74, 17));
    EXPECT_EQ(sharp.toImage().pixelColor(5, 5), QColor(Qt::blue));

    const QPixmap plain = ImageControl::LoadFor(loader, dir.filePath("GoUP.BMP"), 1.0);
    EXPECT_EQ(plain.size(), QSize(74, 17));
    EXPECT_EQ(plain.toImage().pixelColor(5, 5), QColor(Qt::red));

    // A skin without the double-size file still works on a HiDPI screen.
    const QPixmap only = ImageControl::LoadFor(loader, dir.filePath("StopUP.BMP"), 2.0);
    EXPECT_EQ(only.size(), QSize(74, 17));
    EXPECT_EQ(only.devicePixelRatio(), 1.0);
    EXPECT_TRUE(ImageControl::LoadFor(loader, dir.filePath("Missing.BMP"), 2.0).isNull());
}

TEST(FilePictures, WhatAFileHoldsIsReadWhateverItsName)
{
    QTemporaryDir dir;
    ASSERT_TRUE(WriteBitmap(dir.filePath("Plain.BMP"), {20, 10}, Qt::red));
    QImage other(12, 6, QImage::Format_RGB32);
    other.fill(Qt::green);
    // Pictures of other kinds under a bitmap's name, as skins sometimes hold.
    ASSERT_TRUE(other.save(dir.filePath("Png.BMP"), "PNG"));
    ASSERT_TRUE(other.save(dir.filePath("Jpeg.BMP"), "JPEG", 100));
    QFile broken(dir.filePath("Broken.BMP"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("BM not a picture at all");
    broken.close();

    FilePictureLoader loader;
    const QPixmap plain = loader.Load(dir.filePath("Plain.BMP"));
    EXPECT_EQ(plain.size(), QSize(20, 10));
    EXPECT_EQ(plain.toImage().pixelColor(3, 3), QColor(Qt::red));
    for (const char* name : {"Png.BMP", "Jpeg.BMP"}) {
        const QPixmap read = loader.Load(dir.filePath(name));
        EXPECT_EQ(read.size(), QSize(12, 6)) << name;
        const QColor color = read.toImage().pixelColor(3, 3);
        EXPECT_GT(color.green(), 240) << name;
        EXPECT_LT(color.red() + color.blue(), 30) << name;
    }
    EXPECT_TRUE(loader.Load(dir.filePath("Broken.BMP")).isNull());
    EXPECT_TRUE(loader.Load(dir.filePath("Missing.BMP")).isNull());
}

namespace {

class CountingImage final : public ImageControl {
public:
    using ImageControl::ImageControl;
    int paints = 0;

protected:
    void paintEvent(QPaintEvent* event) override
    {
        ++paints;
        ImageControl::paintEvent(event);
    }
};

}  // namespace

TEST(FilePictures, APictureIsDrawnAgainOnlyWhenWhatItShowsChanges)
{
    QTemporaryDir dir;
    const QString up = dir.filePath("GoUP.BMP");
    const QString down = dir.filePath("GoDOWN.BMP");
    ASSERT_TRUE(WriteBitmap(up, {74, 17}, Qt::red));
    ASSERT_TRUE(WriteBitmap(down, {74, 17}, Qt::blue));
    FilePictureLoader loader;
    QWidget host;
    host.resize(100, 40);
    CountingImage go(loader, ImageControl::Mode::BitmapSize, &host);
    ASSERT_TRUE(go.LoadPicture(up));
    host.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
    const auto paintsAfter = [&](const QString& path) {
        QCoreApplication::processEvents();
        go.paints = 0;
        EXPECT_TRUE(go.LoadPicture(path));
        QCoreApplication::processEvents();
        return go.paints;
    };

    EXPECT_EQ(paintsAfter(up), 0) << "the face on show, put back";
    EXPECT_GE(paintsAfter(down), 1) << "pressed";
    EXPECT_GE(paintsAfter(up), 1) << "released";
    EXPECT_EQ(go.picture().toImage().pixelColor(3, 3), QColor(Qt::red));

    // The same file with new pixels (a skin edited while the program runs).
    ASSERT_TRUE(WriteBitmap(up, {74, 17}, Qt::green));
    QFile file(up);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.setFileTime(QDateTime::currentDateTime().addSecs(60), QFileDevice::FileModificationTime));
    file.close();
    EXPECT_GE(paintsAfter(up), 1) << "changed on disk";
    EXPECT_EQ(go.picture().toImage().pixelColor(3, 3), QColor(Qt::green));
    EXPECT_EQ(go.PictureFile(), up);
}

TEST(HiDpiPictures, ImageKeepsTheCatalogueNameAndLogicalSize)
{
    TestApp t;
    QWidget host;
    ImageControl image(t.pictures, ImageControl::Mode::BitmapSize, &host);
    ASSERT_TRUE(image.LoadPicture(t.File("/GoUP.BMP")));
    EXPECT_EQ(image.PictureFile(), t.File("/GoUP.BMP"));
    EXPECT_EQ(image.size(), t.pictures.size);
}

TEST(SandboxNotice, SaysSoWheneverTheSandboxIsOff)
{
    EXPECT_FALSE(EngineEnvironment::SandboxOff(false, "", ""));
    EXPECT_FALSE(EngineEnvironment::SandboxOff(false, "0", "--proxy-server=http://127.0.0.1:9"));
    EXPECT_TRUE(EngineEnvironment::SandboxOff(true, "", ""));
    EXPECT_TRUE(EngineEnvironment::SandboxOff(false, "1", ""));
    EXPECT_TRUE(EngineEnvironment::SandboxOff(false, "", "--no-first-run --no-sandbox"));
    EXPECT_FALSE(EngineEnvironment::SandboxOff(false, "", "--no-sandboxes"));
    for (bool root : {true, false}) {
        const QString line = EngineEnvironment::SandboxNotice(root);
        EXPECT_TRUE(line.contains("sandbox is")) << line.toStdString();
        EXPECT_FALSE(line.contains('\n'));
    }
    EXPECT_TRUE(EngineEnvironment::SandboxNotice(true).contains("root"));
}

TEST(ToolWindowNames, FavouritesButtonsAreNamedAndPressedFromTheKeyboard)
{
    TestApp t;
    auto* form = t.app->forms().Show<FavoritePlacesFRM>();
    EXPECT_EQ(ui(form).Add->accessibleName(), "Add");
    EXPECT_EQ(ui(form).Add->toolTip(), "Add");
    EXPECT_EQ(ui(form).Del->accessibleName(), "Del");
    EXPECT_EQ(ui(form).Del->toolTip(), "Del");
    EXPECT_NE(ui(form).Add->focusPolicy() & Qt::TabFocus, 0);
    EXPECT_NE(ui(form).Del->focusPolicy() & Qt::TabFocus, 0);
}

TEST(PreviewBrowserKeys, NavigationKeysRunTheToolbarButtons)
{
    TestApp t;
    auto* form = t.app->forms().Get<EditorBrowserFRM>();
    ScriptedBrowser* browser = t.BrowserOf(form);
    ASSERT_NE(browser, nullptr);
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form));
    ui(form).CBOAddress->setEditText("http://127.0.0.1/here");
    browser->widget()->setFocus();
    const std::pair<Qt::Key, Qt::KeyboardModifiers> keys[] = {
        {Qt::Key_Left, Qt::AltModifier}, {Qt::Key_Right, Qt::AltModifier}, {Qt::Key_F5, Qt::NoModifier},
        {Qt::Key_R, Qt::ControlModifier}, {Qt::Key_Escape, Qt::NoModifier}};
    const char* calls[] = {"GoBack", "GoForward", "Refresh", "Refresh", "Stop"};
    for (size_t i = 0; i < std::size(keys); ++i) {
        t.log.Clear();
        Key(keys[i].first, keys[i].second);
        EXPECT_EQ(t.log.entries(), (QStringList{"sound /Click.WAV", QStringLiteral("browser 0 ") + calls[i]})) << calls[i];
    }
    for (auto [key, modifiers] : {std::pair{Qt::Key_L, Qt::ControlModifier}, std::pair{Qt::Key_F6, Qt::NoModifier}}) {
        browser->widget()->setFocus();
        Key(key, modifiers);
        EXPECT_EQ(QApplication::focusWidget(), ui(form).CBOAddress);
        EXPECT_EQ(ui(form).CBOAddress->lineEdit()->selectedText(), "http://127.0.0.1/here");
    }
    EXPECT_EQ(ui(form).CBOAddress->accessibleName(), "Address");
}
