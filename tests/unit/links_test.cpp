#include "browser/MainFRM.h"
#include "personal/LinksFRM.h"
#include "personal/RuleLines.h"
#include "runtime/ImageControl.h"
#include "runtime/Look.h"
#include "runtime/Twips.h"
#include "support/TestApp.h"
#include "support/WindowAccess.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QSet>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class Links : public ::testing::Test {
protected:
    LinksFRM* Open()
    {
        auto* form = t.app->forms().Show<LinksFRM>();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(form));
        return form;
    }
    // Moves the pointer to the middle of `widget`, or to `at` within it.
    void MoveOver(QWidget* widget, QPoint at = QPoint(-1, -1))
    {
        QTest::mouseMove(widget, at == QPoint(-1, -1) ? widget->rect().center() : at);
    }

    TestApp t;
};

}  // namespace

TEST_F(Links, LoadsWithItsLayoutLookAndEmptyDescription)
{
    auto* form = t.app->forms().Get<LinksFRM>();
    EXPECT_EQ(t.log.entries(), QStringList({"sound /OpenWin.WAV", "picture /Main.BMP"}));
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(form->Caption(), "Links" + QString(32, ' ') + "NB");
    EXPECT_EQ(form->windowType(), Qt::Tool);
    EXPECT_EQ(form->minimumSize(), form->maximumSize());
    EXPECT_EQ(form->size(), QSize(337, 241));
    EXPECT_EQ(ui(form).BGImage->geometry(), form->rect());
    EXPECT_EQ(ui(form).One->geometry(), QRect(8, 40, 153, 19));
    EXPECT_EQ(ui(form).Fifteen->geometry(), QRect(8, 8, 153, 19));
    EXPECT_EQ(ui(form).Fourteen->geometry(), QRect(176, 56, 153, 19));
    EXPECT_EQ(ui(form).Twelve->geometry(), QRect(8, 216, 153, 19));
    EXPECT_EQ(ui(form).DesY->geometry(), QRect(176, 168, 153, 65));
    EXPECT_EQ(ui(form).Data->geometry(), QRect(8, 16, 137, 41));
    EXPECT_EQ(ui(form).DesY->title(), "Description");
    EXPECT_EQ(ui(form).DesY->palette().color(QPalette::Window), Look::darkRed());
    EXPECT_EQ(ui(form).Data->palette().color(QPalette::WindowText), Look::highlightText());
    EXPECT_FALSE(ui(form).Data->autoFillBackground());
    EXPECT_TRUE(ui(form).Data->wordWrap());
    EXPECT_EQ(ui(form).Data->text(), "");
    EXPECT_EQ(ui(form).Rules->lines().size(), 8);
    EXPECT_TRUE(ui(form).Rules->lines().contains(QLineF(2520, 480, 0, 480)));

    // Tab order runs One to Fifteen; every slot looks alike.
    for (int n = 1; n <= LinksFRM::kSlotCount; ++n) {
        QLineEdit* slot = ui(form).Slot(n);
        EXPECT_EQ(slot->size(), QSize(153, 19));
        EXPECT_EQ(slot->palette().color(QPalette::Base), Look::windowFrame());
        EXPECT_EQ(slot->palette().color(QPalette::Text), Look::titleBarText());
        EXPECT_EQ(slot->text(), LinksFRM::PresetAddress(n));
        if (n < LinksFRM::kSlotCount) {
            EXPECT_EQ(slot->nextInFocusChain(), ui(form).Slot(n + 1)) << n;
        }
    }
    EXPECT_EQ(ui(form).Three->objectName(), "Three");
}

TEST_F(Links, PresetsKeepTheGroupsAndTheVarietyOfAddressForms)
{
    QSet<QString> addresses;
    for (int n = 1; n <= LinksFRM::kSlotCount; ++n)
        addresses.insert(LinksFRM::PresetAddress(n));
    EXPECT_EQ(addresses.size(), 15);
    const auto some = [&addresses](const QString& pattern) {
        const QRegularExpression re(pattern);
        return std::any_of(addresses.begin(), addresses.end(), [&re](const QString& a) { return re.match(a).hasMatch(); });
    };
    EXPECT_TRUE(some("^www\\."));
    EXPECT_TRUE(some("^http://"));
    EXPECT_TRUE(some("^https://"));
    EXPECT_TRUE(some("^HTTP://"));
    EXPECT_TRUE(some("^HTTPS://"));
    EXPECT_TRUE(some("^[A-Za-z]+://[^/]+/.+"));

    // Three groups of three share a text; the six others each have their own.
    const auto d = &LinksFRM::Description;
    for (const auto& group : {std::vector{5, 6, 12}, std::vector{7, 8, 14}, std::vector{9, 10, 11}})
        for (int n : group)
            EXPECT_EQ(d(n), d(group.front())) << n;
    QSet<QString> distinct;
    for (int n : {1, 2, 3, 4, 13, 15, 5, 7, 9})
        distinct.insert(d(n));
    EXPECT_EQ(distinct.size(), 9);

    // Every description fits the description box in its lettering.
    LinksFRM form(*t.app);
    const QFontMetrics metrics(ui(&form).Data->font());
    for (int n = 1; n <= LinksFRM::kSlotCount; ++n) {
        const QRect needed = metrics.boundingRect(ui(&form).Data->rect(), Qt::AlignCenter | Qt::TextWordWrap, d(n));
        EXPECT_TRUE(ui(&form).Data->rect().contains(needed)) << n << " " << d(n).toStdString();
    }
}

TEST_F(Links, TheDescriptionFollowsThePointer)
{
    auto* form = Open();
    MoveOver(ui(form).One);
    EXPECT_EQ(ui(form).Data->text(), LinksFRM::Description(1));
    MoveOver(ui(form).Two);
    EXPECT_EQ(ui(form).Data->text(), LinksFRM::Description(2));
    EXPECT_NE(LinksFRM::Description(1), LinksFRM::Description(2));
    MoveOver(ui(form).Seven);
    const QString shared = ui(form).Data->text();
    MoveOver(ui(form).Eight);
    EXPECT_EQ(ui(form).Data->text(), shared);
    MoveOver(ui(form).Fifteen);
    EXPECT_EQ(ui(form).Data->text(), LinksFRM::Description(15));

    // The frame outside the label changes nothing; the label and the
    // background do.
    MoveOver(ui(form).DesY, QPoint(3, ui(form).DesY->height() - 3));
    EXPECT_EQ(ui(form).Data->text(), LinksFRM::Description(15));
    MoveOver(ui(form).Data);
    EXPECT_EQ(ui(form).Data->text(), "Description.");
    MoveOver(ui(form).BGImage, QPoint(Twips::toPixels(1300), Twips::toPixels(500)));
    EXPECT_EQ(ui(form).Data->text(), "");
}

TEST_F(Links, DoubleClickOpensTheSlotAsItReadsNow)
{
    auto* main = t.app->forms().Get<MainFRM>();
    auto* form = Open();
    t.log.Clear();
    QTest::mouseDClick(ui(form).Nine, Qt::LeftButton);
    QTest::mouseDClick(ui(form).Thirteen, Qt::LeftButton);
    EXPECT_EQ(t.log.entries(), QStringList({"browser 0 Navigate " + LinksFRM::PresetAddress(9),
                                            "browser 0 Navigate " + LinksFRM::PresetAddress(13)}));
    EXPECT_FALSE(main->isVisible());
    EXPECT_TRUE(form->isVisible());

    ui(form).Four->setText("www.edited.example");
    t.log.Clear();
    QTest::mouseDClick(ui(form).Four, Qt::LeftButton);
    EXPECT_EQ(t.log.entries(), QStringList({"browser 0 Navigate www.edited.example"}));

    // Edits are never kept: the next opening has the preset again.
    form->Unload();
    EXPECT_EQ(t.log.entries().last(), "sound /CloseWin.WAV");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    form = t.app->forms().Get<LinksFRM>();
    EXPECT_EQ(ui(form).Four->text(), LinksFRM::PresetAddress(4));
}
