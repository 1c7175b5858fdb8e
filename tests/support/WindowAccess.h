#pragma once

// The one way tests and benchmarks reach a window's controls: ui(window)
// gives the controls under the names the window's design gives them.
#include "authoring/EditorBrowserFRM.h"
#include "authoring/EditorFRM.h"
#include "authoring/HTMLVeiwerFRM.h"
#include "browser/MainFRM.h"
#include "monitor/BrowserStatusFRM.h"
#include "monitor/DriveExplorer.h"
#include "monitor/IdleFRM.h"
#include "personal/FavoritePlacesFRM.h"
#include "personal/LinksFRM.h"
#include "personal/NotePadFRM.h"
#include "shell/AboutFRM.h"
#include "shell/BlankWrappingLabel.h"
#include "shell/IntroFRM.h"
#include "shell/MenuFRM.h"

#include <QPointer>

template <>
struct TestAccess<MainFRM> {
    explicit TestAccess(const MainFRM* w)
        : Idle(w->Idle), BP(w->BP), URLC(w->URLC), ResizeMe(w->ResizeMe), CheckData(w->CheckData), Mnu(w->Mnu),
          StopS(w->StopS), RefreshR(w->RefreshR), ForwardF(w->ForwardF), Back(w->Back), Go(w->Go),
          MainFBackGroundImage(w->MainFBackGroundImage), AllowPopup(w->AllowPopup), BrowserWindow(w->m_browser)
    {
    }
    QPushButton* Idle;
    QCheckBox* BP;
    QComboBox* URLC;
    QTimer* ResizeMe;
    QLabel* CheckData;
    ImageControl* Mnu;
    ImageControl* StopS;
    ImageControl* RefreshR;
    ImageControl* ForwardF;
    ImageControl* Back;
    ImageControl* Go;
    ImageControl* MainFBackGroundImage;
    bool AllowPopup;
    BrowserControl* BrowserWindow;
};

template <>
struct TestAccess<BrowserStatusFRM> {
    explicit TestAccess(const BrowserStatusFRM* w)
        : ImageOne(w->ImageOne), Info(w->Info), PercentageLoaded(w->PercentageLoaded), LocationName(w->LocationName),
          LocationURLL(w->LocationURLL), HeightQ(w->HeightQ), WidthQ(w->WidthQ), Timer(w->Timer)
    {
    }
    ImageControl* ImageOne;
    std::array<QLabel*, 5> Info;
    QLabel* PercentageLoaded;
    QLabel* LocationName;
    QLabel* LocationURLL;
    QLabel* HeightQ;
    QLabel* WidthQ;
    QTimer* Timer;
};

template <>
struct TestAccess<IdleFRM> {
    explicit TestAccess(const IdleFRM* w) : EffectTimer(w->EffectTimer) {}
    QTimer* EffectTimer;
};

template <>
struct TestAccess<LinksFRM> {
    explicit TestAccess(const LinksFRM* w)
        : One(w->One), Two(w->Two), Three(w->Three), Four(w->Four), Five(w->Five), Six(w->Six), Seven(w->Seven),
          Eight(w->Eight), Nine(w->Nine), Ten(w->Ten), Eleven(w->Eleven), Twelve(w->Twelve), Thirteen(w->Thirteen),
          Fourteen(w->Fourteen), Fifteen(w->Fifteen), DesY(w->DesY), Data(w->Data), Rules(w->Rules),
          BGImage(w->BGImage), m_window(w)
    {
    }
    // The slot of that number (1 to 15).
    QLineEdit* Slot(int number) const { return m_window->Slot(number); }
    QLineEdit *One, *Two, *Three, *Four, *Five, *Six, *Seven, *Eight, *Nine, *Ten, *Eleven, *Twelve, *Thirteen,
        *Fourteen, *Fifteen;
    QGroupBox* DesY;
    QLabel* Data;
    RuleLines* Rules;
    ImageControl* BGImage;

private:
    const LinksFRM* m_window;
};

template <>
struct TestAccess<FavoritePlacesFRM> {
    explicit TestAccess(const FavoritePlacesFRM* w)
        : URL(w->URL), ListBox(w->ListBox), Add(w->Add), Del(w->Del), Line(w->Line), BGPic(w->BGPic)
    {
    }
    QLineEdit* URL;
    QListWidget* ListBox;
    ImageControl* Add;
    ImageControl* Del;
    RuleLines* Line;
    ImageControl* BGPic;
};

template <>
struct TestAccess<MenuFRM> {
    explicit TestAccess(const MenuFRM* w)
        : FileMNU(w->FileMNU), WndsMNU(w->WndsMNU), HTML(w->HTML), misc(w->misc), FPMNU(w->FPMNU), L1(w->L1),
          AMNU(w->AMNU), LnksMNU(w->LnksMNU), HTMLED(w->HTMLED), HTMLV(w->HTMLV), BRSTATUS(w->BRSTATUS),
          CriveExplorer(w->CriveExplorer), LMNU(w->LMNU), Godle(w->Godle), l2(w->l2), EMNU(w->EMNU)
    {
    }
    QMenu *FileMNU, *WndsMNU, *HTML, *misc;
    QAction *FPMNU, *L1, *AMNU, *LnksMNU, *HTMLED, *HTMLV, *BRSTATUS, *CriveExplorer, *LMNU, *Godle, *l2, *EMNU;
};

template <>
struct TestAccess<EditorFRM> {
    explicit TestAccess(const EditorFRM* w)
        : RichText(w->RichText), Command1(w->Command1), Command2(w->Command2), Command3(w->Command3),
          Command4(w->Command4), Command5(w->Command5), ImagePic(w->ImagePic)
    {
    }
    QPlainTextEdit* RichText;
    QPushButton *Command1, *Command2, *Command3, *Command4, *Command5;
    ImageControl* ImagePic;
};

template <>
struct TestAccess<EditorBrowserFRM> {
    explicit TestAccess(const EditorBrowserFRM* w)
        : TBToolBar(w->TBToolBar), picAddress(w->picAddress), lblAddress(w->lblAddress), CBOAddress(w->CBOAddress),
          TimTimer(w->TimTimer), BrowserWindow(w->m_browser)
    {
    }
    QToolBar* TBToolBar;
    QWidget* picAddress;
    QLabel* lblAddress;
    QComboBox* CBOAddress;
    QTimer* TimTimer;
    BrowserControl* BrowserWindow;
};

template <>
struct TestAccess<HTMLVeiwerFRM> {
    explicit TestAccess(const HTMLVeiwerFRM* w)
        : data(w->data), URL(w->URL), VS(w->VS), LineOne(w->LineOne), OpenInEd(w->OpenInEd), HTML(w->HTML),
          ImagePic(w->ImagePic)
    {
    }
    QLabel* data;
    QLineEdit* URL;
    QPushButton* VS;
    QFrame* LineOne;
    QPushButton* OpenInEd;
    QPlainTextEdit* HTML;
    ImageControl* ImagePic;
};

template <>
struct TestAccess<AboutFRM> {
    explicit TestAccess(const AboutFRM* w) : BGI(w->BGI), Data(w->Data) {}
    ImageControl* BGI;
    std::array<QLabel*, 13> Data;
};

template <>
struct TestAccess<IntroFRM> {
    explicit TestAccess(const IntroFRM* w)
        : ClickAnywhereToEnter(w->ClickAnywhereToEnter), IntroImage(w->IntroImage), IntroFormBorder(w->IntroFormBorder)
    {
    }
    BlankWrappingLabel* ClickAnywhereToEnter;
    ImageControl* IntroImage;
    QFrame* IntroFormBorder;
};

template <>
struct TestAccess<NotePadFRM> {
    explicit TestAccess(const NotePadFRM* w) : Data(w->Data) {}
    QPlainTextEdit* Data;
};

template <>
struct TestAccess<DriveExplorer> {
    explicit TestAccess(const DriveExplorer* w) : DriveExplorerWindow(w->DriveExplorerWindow) {}
    BrowserControl* DriveExplorerWindow;
};

template <class Window>
TestAccess<Window> ui(const Window* window)
{
    return TestAccess<Window>(window);
}

template <class Window>
TestAccess<Window> ui(const QPointer<Window>& window)
{
    return TestAccess<Window>(window.data());
}
