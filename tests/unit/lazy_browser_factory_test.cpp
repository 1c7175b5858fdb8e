#include "platform/LazyBrowserFactory.h"
#include "support/Doubles.h"

#include <QLabel>
#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>

TEST(LazyBrowserFactory, AMissingEngineGivesAControlThatSaysWhyAndRefusesEverything)
{
    QTemporaryDir dir;
    RecordingMessages messages;
    LazyBrowserFactory factory(dir.filePath("nimbrelengine"), messages);
    QWidget host;
    BrowserControl* control = factory.Create(&host);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(control->parent(), &host);
    EXPECT_EQ(control->widget()->parentWidget(), &host);
    const auto* view = qobject_cast<QLabel*>(control->widget());
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(view->text().startsWith("The web engine could not be started"));
    EXPECT_FALSE(control->Navigate("http://127.0.0.1/"));
    EXPECT_FALSE(control->GoBack());
    EXPECT_FALSE(control->Refresh());
    EXPECT_TRUE(control->LocationURL().isEmpty());
    EXPECT_FALSE(control->Busy());
    // The module is looked for once; the next window gets the same answer at once.
    BrowserControl* second = factory.Create(&host);
    EXPECT_FALSE(second->Navigate("x"));
}
