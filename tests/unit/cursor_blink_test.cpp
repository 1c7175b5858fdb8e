#include "runtime/CursorBlinkRest.h"

#include <QGuiApplication>
#include <QLineEdit>
#include <QStyleHints>
#include <QTest>
#include <gtest/gtest.h>

#include "support/Eventually.h"

// The text cursor stops blinking once input has rested, and blinks again at
// the next key or click; leaving the program puts the blinking back.
TEST(CursorBlinkRest, CursorStandsStillAfterRestAndBlinksAgainOnInput)
{
    const int flash = QGuiApplication::styleHints()->cursorFlashTime();
    ASSERT_GT(flash, 0);
    QLineEdit box;
    box.show();
    box.setFocus();
    {
        CursorBlinkRest rest(100);
        EXPECT_FALSE(rest.Resting());
        EXPECT_EVENTUALLY(rest.Resting(), 3000);
        EXPECT_EQ(QGuiApplication::styleHints()->cursorFlashTime(), 0);

        // A key typed into the box: blinking again, then resting again.
        QTest::keyClick(&box, Qt::Key_A);
        EXPECT_FALSE(rest.Resting());
        EXPECT_EQ(QGuiApplication::styleHints()->cursorFlashTime(), flash);
        EXPECT_EQ(box.text(), "a");
        EXPECT_EVENTUALLY(rest.Resting(), 3000);

        QTest::mouseClick(&box, Qt::LeftButton);
        EXPECT_EQ(QGuiApplication::styleHints()->cursorFlashTime(), flash);
        EXPECT_EVENTUALLY(rest.Resting(), 3000);
    }
    EXPECT_EQ(QGuiApplication::styleHints()->cursorFlashTime(), flash);
}
