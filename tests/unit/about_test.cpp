#include "runtime/ImageControl.h"
#include "runtime/Twips.h"
#include "shell/AboutFRM.h"
#include "support/TestApp.h"
#include "support/WindowAccess.h"

#include <QFontMetrics>
#include <QLabel>
#include <gtest/gtest.h>

namespace {

struct Expected {
    int index;
    double left, top, width, height;
    QString text;  // empty: a free text of the program's own
};

const std::vector<Expected> kTable{
    {0, 0, 0, 6495, 495, "Nimbrel"},
    {1, 120, 720, 4095, 255, {}},
    {2, 120, 1200, 1095, 255, "Thanks To:"},
    {3, 240, 1440, 3735, 615, {}},
    {4, 120, 2280, 1215, 255, "Form Count:"},
    {5, 240, 2520, 2295, 255, "12 Plus 1 Unveiwable."},
    {6, 120, 3000, 855, 255, "Version:"},
    {7, 240, 3240, 375, 255, "1.0"},
    {9, 120, 3720, 3735, 255, "Files Included with Executive File:"},
    {10, 240, 3960, 4095, 255, "All Skins (buttons, backgrounds, etc.)"},
    {11, 120, 4440, 735, 255, "Other:"},
    {12, 240, 4680, 2295, 255, {}},
    {8, 120, 5040, 6255, 255, {}},
};

QRect twipsRect(double left, double top, double width, double height)
{
    return {Twips::toPixels(left), Twips::toPixels(top), Twips::toPixels(width), Twips::toPixels(height)};
}

}  // namespace

TEST(About, EveryLabelHasItsTextPlaceAndLook)
{
    TestApp t;
    AboutFRM* about = t.app->forms().Get<AboutFRM>();
    EXPECT_TRUE(about->Caption().isEmpty());
    EXPECT_EQ(about->size(), QSize(Twips::toPixels(6495), Twips::toPixels(5295)));
    EXPECT_EQ(about->minimumSize(), about->maximumSize());  // not resizable
    EXPECT_EQ(about->windowFlags() & Qt::WindowType_Mask, Qt::Tool);
    EXPECT_FALSE(about->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(ui(about).BGI->geometry(), twipsRect(0, 0, 6495, 5295));
    EXPECT_EQ(ui(about).BGI->PictureFile(), t.File("/Main.BMP"));

    for (const Expected& e : kTable) {
        SCOPED_TRACE(e.index);
        QLabel* label = ui(about).Data.at(e.index);
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->geometry(), twipsRect(e.left, e.top, e.width, e.height));
        if (!e.text.isEmpty())
            EXPECT_EQ(label->text(), e.text);
        else
            EXPECT_GE(label->text().trimmed().size(), 5);
        EXPECT_EQ(label->font().family(), "OCR A Extended");
        EXPECT_DOUBLE_EQ(label->font().pointSizeF(), e.index == 0 ? 20.25 : 8.25);
        EXPECT_FALSE(label->font().bold());
        EXPECT_FALSE(label->autoFillBackground());
        EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(Qt::white));
        const bool centred = e.index == 0 || e.index == 8;
        EXPECT_EQ(bool(label->alignment() & Qt::AlignHCenter), centred);
        EXPECT_EQ(label->parentWidget(), about);
        EXPECT_TRUE(ui(about).BGI->geometry().contains(label->geometry()));
    }
    // The background lies beneath every label.
    EXPECT_EQ(about->children().indexOf(ui(about).BGI), 0);
}

TEST(About, EveryTextFitsItsRectangleInTheFont)
{
    TestApp t;
    AboutFRM* about = t.app->forms().Get<AboutFRM>();
    for (int i = 0; i < 13; ++i) {
        SCOPED_TRACE(i);
        QLabel* label = ui(about).Data.at(i);
        const QFontMetrics metrics(label->font());
        const int flags = int(label->alignment()) | (label->wordWrap() ? Qt::TextWordWrap : 0);
        const QRect needed = metrics.boundingRect(QRect(QPoint(0, 0), label->size()), flags, label->text());
        EXPECT_LE(needed.width(), label->width()) << label->text().toStdString();
        // The free texts must fit whole; the table's own texts at least in width.
        const bool freeText = i == 1 || i == 3 || i == 8 || i == 12;
        if (freeText) {
            EXPECT_LE(needed.height(), label->height()) << label->text().toStdString();
        }
    }
    // The list of people thanked does use its room for more than one line.
    EXPECT_TRUE(ui(about).Data[3]->wordWrap());
}

TEST(About, OpensOnceWithSoundThenBackgroundAndClosesWithSound)
{
    TestApp t;
    t.app->forms().Show<AboutFRM>();
    t.app->forms().Show<AboutFRM>();
    EXPECT_EQ(t.log.entries(), (QStringList{"sound /OpenWin.WAV", "picture /Main.BMP"}));
    t.app->forms().Find<AboutFRM>()->close();
    EXPECT_EQ(t.log.entries().last(), "sound /CloseWin.WAV");
    EXPECT_EQ(t.app->forms().Find<AboutFRM>(), nullptr);
}

TEST(About, AMissingBackgroundStillOpensAReadableWindow)
{
    TestApp t;
    t.pictures.missing.insert("/Main.BMP");
    AboutFRM* about = t.app->forms().Show<AboutFRM>();
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(about->isVisible());
    EXPECT_TRUE(ui(about).BGI->picture().isNull());
    // White texts over a dark window background, not the light default.
    EXPECT_LT(about->palette().color(QPalette::Window).lightness(), 64);
}
