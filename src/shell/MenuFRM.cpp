#include "shell/MenuFRM.h"

#include "authoring/EditorFRM.h"
#include "authoring/HTMLVeiwerFRM.h"
#include "browser/MainFRM.h"
#include "monitor/BrowserStatusFRM.h"
#include "monitor/DriveExplorer.h"
#include "monitor/IdleFRM.h"
#include "personal/FavoritePlacesFRM.h"
#include "personal/LinksFRM.h"
#include "personal/NotePadFRM.h"
#include "runtime/App.h"
#include "runtime/Look.h"
#include "shell/AboutFRM.h"

#include <QMenu>

MenuFRM::MenuFRM(App& app) : Form(app)
{
    SetCaption(QStringLiteral("Menu"));
    setFont(Look::font(8.25));

    FileMNU = new QMenu(QStringLiteral("File"), this);
    FPMNU = FileMNU->addAction(QStringLiteral("Favorite Places"), this, &MenuFRM::FPMNU_Click);
    L1 = FileMNU->addSeparator();
    AMNU = FileMNU->addAction(QStringLiteral("About"), this, &MenuFRM::AMNU_Click);
    WndsMNU = FileMNU->addMenu(QStringLiteral("Windows"));
    LnksMNU = WndsMNU->addAction(QStringLiteral("Links"), this, &MenuFRM::LnksMNU_Click);
    HTML = WndsMNU->addMenu(QStringLiteral("HTML "));
    HTMLED = HTML->addAction(QStringLiteral("HTML Editor"), this, &MenuFRM::HTMLED_Click);
    HTMLV = HTML->addAction(QStringLiteral("HTML Veiwer"), this, &MenuFRM::HTMLV_Click);
    misc = WndsMNU->addMenu(QStringLiteral("Misc."));
    BRSTATUS = misc->addAction(QStringLiteral("Browser Status"), this, &MenuFRM::BRSTATUS_Click);
    CriveExplorer = misc->addAction(QStringLiteral("Drive Explorer"), this, &MenuFRM::CriveExplorer_Click);
    LMNU = misc->addAction(QStringLiteral("Notepad"), this, &MenuFRM::LMNU_Click);
    Godle = misc->addAction(QStringLiteral("Go Idle"), this, &MenuFRM::Godle_Click);
    l2 = FileMNU->addSeparator();
    EMNU = FileMNU->addAction(QStringLiteral("Exit"), this, &MenuFRM::EMNU_Click);

    for (QMenu* menu : {FileMNU, WndsMNU, HTML, misc})
        menu->setFont(font());
}

MenuFRM::~MenuFRM() = default;

void MenuFRM::Form_Load()
{
    hide();
}

void MenuFRM::PopUp(const QPoint& at)
{
    FileMNU->exec(at);
}

void MenuFRM::FPMNU_Click()
{
    app().forms().Show<FavoritePlacesFRM>();
}

void MenuFRM::AMNU_Click()
{
    app().forms().Show<AboutFRM>();
}

void MenuFRM::LnksMNU_Click()
{
    app().forms().Show<LinksFRM>();
}

void MenuFRM::HTMLED_Click()
{
    PlayWave(AssetPath(QStringLiteral("/OpenWin.WAV")));
    app().forms().Show<EditorFRM>();
}

void MenuFRM::HTMLV_Click()
{
    app().forms().Show<HTMLVeiwerFRM>();
}

void MenuFRM::BRSTATUS_Click()
{
    PlayWave(AssetPath(QStringLiteral("/OpenWin.WAV")));
    app().forms().Show<BrowserStatusFRM>();
}

void MenuFRM::CriveExplorer_Click()
{
    app().forms().Show<DriveExplorer>();
}

void MenuFRM::LMNU_Click()
{
    app().forms().Show<NotePadFRM>();
}

void MenuFRM::Godle_Click()
{
    // The main window is only hidden: its page and history stay for the way back.
    if (MainFRM* main = app().forms().Find<MainFRM>())
        main->hide();
    app().forms().Show<IdleFRM>();
}

void MenuFRM::EMNU_Click()
{
    app().EndProgram();
}
