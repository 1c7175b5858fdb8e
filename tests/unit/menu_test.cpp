#include "browser/MainFRM.h"
#include "monitor/BrowserStatusFRM.h"
#include "monitor/IdleFRM.h"
#include "shell/MenuFRM.h"
#include "support/TestApp.h"
#include "support/WindowAccess.h"

#include <QApplication>
#include <QMenu>
#include <gtest/gtest.h>

namespace {

// The menu as "caption" lines, nested entries indented by two blanks a level.
void describe(const QMenu* menu, int level, QStringList& out)
{
    for (QAction* a : menu->actions()) {
        const QString indent(level * 2, QLatin1Char(' '));
        if (a->isSeparator())
            out << indent + "-";
        else
            out << indent + a->text();
        if (a->menu())
            describe(a->menu(), level + 1, out);
    }
}

}  // namespace

TEST(ToolsMenu, TreeHasItsCaptionsOrderNestingAndSeparators)
{
    TestApp t;
    MenuFRM* menu = t.app->forms().Get<MenuFRM>();
    EXPECT_EQ(menu->Caption(), "Menu");
    EXPECT_EQ(ui(menu).FileMNU->title(), "File");
    QStringList tree;
    describe(ui(menu).FileMNU, 0, tree);
    EXPECT_EQ(tree, (QStringList{
                        "Favorite Places", "-", "About", "Windows",
                        "  Links", "  HTML ", "    HTML Editor", "    HTML Veiwer",
                        "  Misc.", "    Browser Status", "    Drive Explorer", "    Notepad", "    Go Idle",
                        "-", "Exit",
                    }));
    EXPECT_FALSE(menu->isVisible());
}

TEST(ToolsMenu, BrowserStatusPlaysEveryTimeAndReusesTheWindow)
{
    TestApp t;
    t.app->forms().Get<MainFRM>();
    MenuFRM* menu = t.app->forms().Get<MenuFRM>();
    t.sound.played.clear();
    ui(menu).BRSTATUS->trigger();
    auto* status = t.app->forms().Find<BrowserStatusFRM>();
    ASSERT_NE(status, nullptr);
    EXPECT_TRUE(status->isVisible());
    // The menu's sound, then the window's own load.
    EXPECT_EQ(t.sound.played, (QStringList{"/OpenWin.WAV", "/OpenWin.WAV"}));
    ui(menu).BRSTATUS->trigger();
    EXPECT_EQ(t.app->forms().Find<BrowserStatusFRM>(), status);
    EXPECT_EQ(t.sound.played.count("/OpenWin.WAV"), 3);
}

TEST(ToolsMenu, GoIdleHidesTheMainWindowWithoutClosingIt)
{
    TestApp t;
    MainFRM* main = t.app->forms().Get<MainFRM>();
    main->show();
    ui(t.app->forms().Get<MenuFRM>()).Godle->trigger();
    EXPECT_FALSE(main->isVisible());
    EXPECT_EQ(t.app->forms().Find<MainFRM>(), main);
    EXPECT_FALSE(t.sound.played.contains("/CloseWin.WAV"));
}

TEST(ToolsMenu, ExitEndsAtOnceWithoutClosingSounds)
{
    TestApp t;
    t.app->forms().Get<MainFRM>()->show();
    t.app->forms().Show<BrowserStatusFRM>();
    MenuFRM* menu = t.app->forms().Get<MenuFRM>();
    t.log.Clear();
    ui(menu).EMNU->trigger();
    EXPECT_EQ(t.log.entries(), QStringList{"end"});
    EXPECT_FALSE(t.app->forms().Find<MainFRM>()->isVisible());
    EXPECT_FALSE(t.app->forms().Find<BrowserStatusFRM>()->isVisible());
}

TEST(ToolsMenu, EntriesShowTheirSingleWindowAndBringItForwardAgain)
{
    TestApp t;
    t.app->forms().Get<MainFRM>();
    MenuFRM* menu = t.app->forms().Get<MenuFRM>();
    struct Entry { QAction* action; const char* title; };
    const Entry entries[] = {
        {ui(menu).FPMNU, "Favorite Places"}, {ui(menu).AMNU, ""}, {ui(menu).LnksMNU, "Links"},
        {ui(menu).HTMLV, "HTML Viewer"}, {ui(menu).CriveExplorer, "C: Explorer"}, {ui(menu).LMNU, "Notepad"},
    };
    for (const Entry& e : entries) {
        e.action->trigger();
        const int opens = static_cast<int>(t.sound.played.count("/OpenWin.WAV"));
        // Chosen again while open: no second window and no second opening sound.
        const int before = static_cast<int>(QApplication::topLevelWidgets().size());
        e.action->trigger();
        EXPECT_EQ(QApplication::topLevelWidgets().size(), before) << e.title;
        EXPECT_EQ(t.sound.played.count("/OpenWin.WAV"), opens) << e.title;
    }
    int visible = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        visible += w->isVisible() && w->isWindow() && !qobject_cast<QMenu*>(w) ? 1 : 0;
    EXPECT_EQ(visible, 6);
}

TEST(ToolsMenu, HtmlEditorPlaysItsSoundEveryTime)
{
    TestApp t;
    t.app->forms().Get<MainFRM>();
    MenuFRM* menu = t.app->forms().Get<MenuFRM>();
    t.sound.played.clear();
    ui(menu).HTMLED->trigger();
    ui(menu).HTMLED->trigger();
    EXPECT_EQ(t.sound.played, (QStringList{"/OpenWin.WAV", "/OpenWin.WAV"}));
}

TEST(ToolsMenu, GoIdleShowsTheIdleScreenAndTheButtonDoesToo)
{
    TestApp t;
    MainFRM* main = t.app->forms().Get<MainFRM>();
    main->show();
    t.sound.played.clear();
    main->Idle_Click();
    EXPECT_FALSE(main->isVisible());
    auto* idle = t.app->forms().Find<IdleFRM>();
    ASSERT_NE(idle, nullptr);
    EXPECT_TRUE(idle->isVisible());
    EXPECT_EQ(t.sound.played, (QStringList{"/Click.WAV", "/OpenWin.WAV"}));
    idle->hide();
    main->show();
    // The second time the idle screen opens without a sound of its own.
    t.sound.played.clear();
    ui(t.app->forms().Get<MenuFRM>()).Godle->trigger();
    EXPECT_TRUE(idle->isVisible());
    EXPECT_TRUE(t.sound.played.isEmpty());
}
